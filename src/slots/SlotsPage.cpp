#include "slots/SlotsPage.h"

#include <QApplication>
#include <QFileInfo>
#include <QHeaderView>
#include <QStyle>

#include <numeric>

#include "link/AnsiText.h"
#include "slots/MemoryFile.h"
#include "slots/SlotEdit.h"

namespace dz {

namespace {

constexpr int kColumns = 11;  // grid columns 1 to 11; column 0 is the vertical header
constexpr int kFixedWidth = 40;
constexpr int kRowHeight = 20;
constexpr int kColumnWidths[kColumns] = {152, 75, 60, 58, 72, 55, 48, 72, 49, 47, 41};
constexpr int kNameColumn = 1;
constexpr int kNumberColumn = 11;

const QString kClearQuestion = QStringLiteral("Wirklich alle Speicherplätze im KAV72 löschen?");

bool inside(const QWidget* w, const QWidget* area)
{
    return w != nullptr && (w == area || area->isAncestorOf(w));
}

}  // namespace

SlotsPage::SlotsPage(PageContext context, QWidget* parent)
    : Page(context, QStringLiteral("TS_Speicher"), parent), m_transfer(context.link, m_slotStream, *this)
{
    const auto named = [](auto* w, const char* name) {
        w->setObjectName(QString::fromLatin1(name));
        return w;
    };
    Label1 = named(new QLabel(QStringLiteral("Speicherplätze:"), this), "Label1");
    Label1->setGeometry(8, 4, 200, 17);
    buildGrid();

    constexpr int kSide = 816;
    constexpr int kSideWidth = 157;
    B_Laden = named(new QPushButton(QStringLiteral("Laden vom KAV72"), this), "B_Laden");
    B_Laden->setGeometry(kSide, 24, kSideWidth, 25);
    B_Speichern = named(new QPushButton(QStringLiteral("Speichern im KAV72"), this), "B_Speichern");
    B_Speichern->setGeometry(kSide, 56, kSideWidth, 25);
    B_Speichern->setEnabled(false);
    // Apart from the others: it wipes the receiver's slots.
    B_Loeschen = named(new QPushButton(QStringLiteral("Alles Löschen"), this), "B_Loeschen");
    B_Loeschen->setGeometry(kSide, 104, kSideWidth, 25);

    Label2 = named(new QLabel(QStringLiteral("Datei:"), this), "Label2");
    Label2->setGeometry(kSide, 152, kSideWidth, 17);
    LB_Speicher = named(new QListWidget(this), "LB_Speicher");
    LB_Speicher->setGeometry(kSide, 170, kSideWidth, 22);
    LB_Speicher->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    LB_Speicher->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    LB_Speicher->addItem(QStringLiteral("keine"));

    Label3 = named(new QLabel(QStringLiteral("Bytes:"), this), "Label3");
    Label3->setGeometry(kSide, 206, 44, 17);
    L_SBytes = named(new QLabel(QStringLiteral("0"), this), "L_SBytes");
    L_SBytes->setGeometry(kSide + 48, 206, kSideWidth - 48, 17);

    connect(B_Laden, &QPushButton::clicked, this, &SlotsPage::B_LadenClick);
    connect(B_Speichern, &QPushButton::clicked, this, &SlotsPage::B_SpeichernClick);
    connect(B_Loeschen, &QPushButton::clicked, this, &SlotsPage::B_LoeschenClick);
}

SlotsPage::~SlotsPage() = default;

void SlotsPage::buildGrid()
{
    SG_Speicher = new QTableWidget(slot::kCount, kColumns, this);
    SG_Speicher->setObjectName(QStringLiteral("SG_Speicher"));
    // The fixed row and column are the headers. The header row stays empty; the fixed
    // column shows the slot numbers, so that a row is known for its slot while scrolling.
    SG_Speicher->setHorizontalHeaderLabels(QStringList(kColumns, QString()));
    QHeaderView* top = SG_Speicher->horizontalHeader();
    top->setFixedHeight(kRowHeight);
    top->setSectionResizeMode(QHeaderView::Fixed);
    top->setSectionsClickable(false);
    for (int c = 0; c < kColumns; ++c) {
        SG_Speicher->setColumnWidth(c, kColumnWidths[c]);
    }
    QHeaderView* side = SG_Speicher->verticalHeader();
    side->setFixedWidth(kFixedWidth);
    side->setSectionResizeMode(QHeaderView::Fixed);
    side->setDefaultSectionSize(kRowHeight);
    side->setSectionsClickable(false);
    side->setDefaultAlignment(Qt::AlignCenter);
    for (int r = 0; r < slot::kCount; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            SG_Speicher->setItem(r, c, new QTableWidgetItem);
        }
    }
    // Exactly as wide as its columns and the scroll bar: no gap, and no horizontal scrolling.
    const int width = 2 * SG_Speicher->frameWidth() + kFixedWidth +
                      std::accumulate(std::begin(kColumnWidths), std::end(kColumnWidths), 0) +
                      SG_Speicher->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, SG_Speicher);
    SG_Speicher->setGeometry(8, 24, width, 476);
    SG_Speicher->setSelectionMode(QAbstractItemView::SingleSelection);
    SG_Speicher->setSelectionBehavior(QAbstractItemView::SelectItems);
    SG_Speicher->setWordWrap(false);
    setEditing(false);
    SG_Speicher->setCurrentCell(-1, -1);

    connect(SG_Speicher, &QTableWidget::currentCellChanged, this,
            [this](int row, int column) { SG_SpeicherSelectCell(column + 1, row + 1); });
    // The cell editor has handed its text to the cell by the time the focus has moved on.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (inside(old, SG_Speicher) && !inside(now, SG_Speicher)) {
            SG_SpeicherExit();
        }
    });
}

QTableWidgetItem* SlotsPage::cell(int column, int row) const
{
    return SG_Speicher->item(row - 1, column - 1);
}

NumberFormat SlotsPage::numberFormat() const
{
    return NumberFormat{locale().decimalPoint().toStdString(), locale().groupSeparator().toStdString()};
}

void SlotsPage::setEditing(bool on)
{
    SG_Speicher->setEditTriggers(on ? QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                                          QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed
                                    : QAbstractItemView::NoEditTriggers);
}

void SlotsPage::B_LadenClick()
{
    m_transfer.readAll();
}

void SlotsPage::B_SpeichernClick()
{
    m_transfer.writeAll();
}

void SlotsPage::B_LoeschenClick()
{
    if (!m_ctx.link.idle()) {
        return;
    }
    if (!m_ctx.dialogs.confirm(kClearQuestion)) {
        return;
    }
    m_transfer.clearAll();
}

void SlotsPage::SG_SpeicherSelectCell(int column, int row)
{
    StoreEditedCell();
    setEditing(column == kNameColumn || column == kNumberColumn);
    EditCol = column;
    EditRow = row;
}

void SlotsPage::SG_SpeicherExit()
{
    StoreEditedCell();
}

void SlotsPage::StoreEditedCell()
{
    if (EditRow < 1 || EditRow > slot::kCount || (EditCol != kNameColumn && EditCol != kNumberColumn)) {
        return;
    }
    QTableWidgetItem* item = cell(EditCol, EditRow);
    const QString text = item->text();
    if (EditCol == kNameColumn) {
        if (text.isEmpty()) {
            // Nothing is stored; the cell shows the name the slot keeps.
            if (m_slotStream.holds(EditRow, slot::kNameAt)) {
                item->setText(QString::fromStdString(fromAnsi(m_slotStream.record(EditRow).name())));
            }
            return;
        }
        const std::string field = nameField(toAnsi(text.toStdString()));
        m_slotStream.storeName(EditRow, field);
        item->setText(QString::fromStdString(fromAnsi(field)));
        return;
    }
    // The cell always ends up showing the number the slot holds, whatever was typed.
    if (const std::optional<int> number = slotNumber(text.toStdString())) {
        m_slotStream.storeNumber(EditRow, *number);
    }
    item->setText(m_slotStream.holds(EditRow, slot::kNumberAt) ? QString::number(m_slotStream.record(EditRow).number())
                                                               : QString());
}

void SlotsPage::finishEditing()
{
    if (QWidget* editor = SG_Speicher->indexWidget(SG_Speicher->currentIndex())) {
        QAbstractItemDelegate* delegate = SG_Speicher->itemDelegate();
        emit delegate->commitData(editor);
        emit delegate->closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
    StoreEditedCell();
}

void SlotsPage::ShowSlotRecord(const SlotRecord& record, int row)
{
    const SlotRowTexts texts = slotRowTexts(record, numberFormat());
    for (int column = 1; column <= kColumns; ++column) {
        if (const auto& text = texts[static_cast<std::size_t>(column - 1)]) {
            cell(column, row)->setText(QString::fromStdString(*text));
        }
    }
}

void SlotsPage::setTransferButtonsEnabled(bool enabled)
{
    m_writable = m_writable || enabled;
    setLinkFree(m_linkFree);
}

void SlotsPage::setLinkFree(bool free)
{
    m_linkFree = free;
    const bool startable = free && !m_transfer.running();
    B_Laden->setEnabled(startable);
    B_Speichern->setEnabled(startable && m_writable);
    B_Loeschen->setEnabled(startable);
}

void SlotsPage::showByteCount(const QString& text)
{
    L_SBytes->setText(text);
}

void SlotsPage::showSource(const QString& text)
{
    LB_Speicher->clear();
    LB_Speicher->addItem(text);
}

void SlotsPage::showMessage(const QString& text)
{
    m_ctx.dialogs.information(text);
}

void SlotsPage::fileOpen()
{
    m_ctx.OD_App.DefaultExt = QStringLiteral("*.Mem");
    m_ctx.OD_App.Filter = QStringLiteral("Memory file *.Mem|*.Mem");
    if (!m_ctx.dialogs.openFile(m_ctx.OD_App)) {
        return;
    }
    const QString path = m_ctx.OD_App.FileName;
    if (const std::optional<QString> error = loadMemoryFile(path, m_slotStream)) {
        showMessage(*error);
        return;
    }
    showSource(QFileInfo(path).fileName());
    for (int row = 1; row <= slot::kCount; ++row) {
        ShowSlotRecord(m_slotStream.record(row), row);
    }
    m_writable = true;
    setLinkFree(m_linkFree);
}

void SlotsPage::fileSave()
{
    // The menu takes no focus from the grid: a name still being typed goes into the file too.
    finishEditing();
    m_ctx.SD_Datei.DefaultExt = QStringLiteral("*.Mem");
    m_ctx.SD_Datei.Filter = QStringLiteral("Speicherplatz-Datei *.Mem|*.Mem");
    if (!m_ctx.dialogs.saveFile(m_ctx.SD_Datei)) {
        return;
    }
    const QString path = m_ctx.SD_Datei.FileName;
    if (const std::optional<QString> error = saveMemoryFile(path, m_slotStream)) {
        showMessage(*error);
        return;
    }
    showSource(QFileInfo(path).fileName());
}

}  // namespace dz
