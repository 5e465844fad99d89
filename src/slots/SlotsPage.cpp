#include "slots/SlotsPage.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QHeaderView>
#include <QMimeData>
#include <QStyle>

#include <bitset>
#include <numeric>
#include <set>

#include "link/AnsiText.h"
#include "slots/MemoryFile.h"
#include "slots/SlotCsv.h"
#include "slots/SlotEdit.h"
#include "slots/StoreChange.h"

namespace dz {

namespace {

constexpr int kColumns = 11;  // grid columns 1 to 11; column 0 is the vertical header
constexpr int kFixedWidth = 40;
constexpr int kRowHeight = 20;
constexpr int kColumnWidths[kColumns] = {152, 75, 60, 58, 72, 55, 48, 72, 49, 47, 41};
constexpr int kNameColumn = 1;
constexpr int kNumberColumn = 11;

const QString kClearQuestion = QStringLiteral(
    "Wirklich alle Speicherplätze im KAV72 löschen? Vorher wird eine Sicherung aller Speicherplätze angelegt.");
const QString kDiscardQuestion = QStringLiteral(
    "The memory slots have changes that were neither written to the KAV72 nor saved in a file.\n"
    "Discard them?");
// The raw records, back to back: what a paste in this program takes.
const QString kSlotsMime = QStringLiteral("application/x-dizuro-slots");

std::size_t recordOffset(int slot)
{
    return static_cast<std::size_t>(slot - 1) * slot::kRecordSize;
}

bool isCsv(const QString& path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0;
}

bool inside(const QWidget* w, const QWidget* area)
{
    return w != nullptr && (w == area || area->isAncestorOf(w));
}

}  // namespace

SlotsPage::SlotsPage(PageContext context, QWidget* parent)
    : Page(context, QStringLiteral("TS_Speicher"), parent),
      m_transfer(context.link, m_slotStream, *this),
      m_undo(new QUndoStack(this))
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
    // Room for a second line: how many slots a read missed.
    LB_Speicher->setGeometry(kSide, 170, kSideWidth, 34);
    LB_Speicher->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    LB_Speicher->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    LB_Speicher->addItem(QStringLiteral("keine"));

    Label3 = named(new QLabel(QStringLiteral("Bytes:"), this), "Label3");
    Label3->setGeometry(kSide, 206, 44, 17);
    L_SBytes = named(new QLabel(QStringLiteral("0"), this), "L_SBytes");
    L_SBytes->setGeometry(kSide + 48, 206, kSideWidth - 48, 17);
    L_Unsaved =
        named(new QLabel(QStringLiteral("Änderungen weder im KAV72 noch in einer Datei gesichert"), this), "L_Unsaved");
    L_Unsaved->setGeometry(kSide, 240, kSideWidth, 34);
    L_Unsaved->setWordWrap(true);
    L_Unsaved->setVisible(false);
    connect(m_undo, &QUndoStack::cleanChanged, this, [this](bool clean) {
        L_Unsaved->setVisible(!clean);
        emit modifiedChanged(!clean);
    });
    buildActions();

    connect(B_Laden, &QPushButton::clicked, this, &SlotsPage::B_LadenClick);
    connect(B_Speichern, &QPushButton::clicked, this, &SlotsPage::B_SpeichernClick);
    connect(B_Loeschen, &QPushButton::clicked, this, &SlotsPage::B_LoeschenClick);
}

SlotsPage::~SlotsPage()
{
    // The undo stack goes with the page's children, after this part of the page is gone;
    // what it says on its way out must not reach the page any more.
    disconnect(m_undo, nullptr, this, nullptr);
}

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
            auto* item = new QTableWidgetItem;
            // Not only the edit triggers: Tab out of an editor opens the next cell's editor whatever they say.
            if (c + 1 != kNameColumn && c + 1 != kNumberColumn) {
                item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
            }
            SG_Speicher->setItem(r, c, item);
        }
    }
    // Exactly as wide as its columns and the scroll bar: no gap, and no horizontal scrolling.
    const int width = 2 * SG_Speicher->frameWidth() + kFixedWidth +
                      std::accumulate(std::begin(kColumnWidths), std::end(kColumnWidths), 0) +
                      SG_Speicher->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, SG_Speicher);
    SG_Speicher->setGeometry(8, 24, width, 476);
    // Several rows at a time, for copying slots; the fixed column selects a whole row.
    SG_Speicher->setSelectionMode(QAbstractItemView::ExtendedSelection);
    side->setSectionsClickable(true);
    SG_Speicher->setSelectionBehavior(QAbstractItemView::SelectItems);
    SG_Speicher->setWordWrap(false);
    setEditing(false);
    SG_Speicher->setCurrentCell(-1, -1);

    connect(SG_Speicher, &QTableWidget::currentCellChanged, this,
            [this](int row, int column) { SG_SpeicherSelectCell(column + 1, row + 1); });
    // Typed text; the program writes its own texts with the grid's signals blocked.
    connect(SG_Speicher, &QTableWidget::itemChanged, this, [this] { m_storeOnLeave = m_typed = true; });
    // The cell editor has handed its text to the cell by the time the focus has moved on.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (inside(old, SG_Speicher) && !inside(now, SG_Speicher)) {
            SG_SpeicherExit();
        }
    });
}

void SlotsPage::buildActions()
{
    const auto action = [this](QWidget* on, const char* name, const QString& text, QList<QKeySequence> keys,
                               Qt::ShortcutContext context, auto slot) {
        auto* a = new QAction(text, on);
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcuts(keys);
        a->setShortcutContext(context);
        connect(a, &QAction::triggered, this, slot);
        on->addAction(a);
        return a;
    };
    // On the page and its children: an open cell editor takes these keys for its own text first.
    QList<QKeySequence> redoKeys = QKeySequence::keyBindings(QKeySequence::Redo);
    for (const QKeySequence& k : {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}) {
        if (!redoKeys.contains(k)) {
            redoKeys << k;
        }
    }
    // A transfer writes the store directly; stepping back through it would mix two states.
    QAction* undo = action(this, "A_Undo", QStringLiteral("&Undo"), QKeySequence::keyBindings(QKeySequence::Undo),
                           Qt::WidgetWithChildrenShortcut, [this] {
                               if (!m_transfer.running()) {
                                   storeTyped();
                                   m_undo->undo();
                                   forgetCell();
                               }
                           });
    QAction* redo = action(this, "A_Redo", QStringLiteral("&Redo"), redoKeys, Qt::WidgetWithChildrenShortcut, [this] {
        if (!m_transfer.running()) {
            storeTyped();
            m_undo->redo();
            forgetCell();
        }
    });
    undo->setEnabled(false);
    redo->setEnabled(false);
    connect(m_undo, &QUndoStack::canUndoChanged, undo, &QAction::setEnabled);
    connect(m_undo, &QUndoStack::canRedoChanged, redo, &QAction::setEnabled);
    // On the grid alone, so that a cell editor keeps its own copy and paste of text.
    action(SG_Speicher, "A_Copy", QStringLiteral("&Copy"), QKeySequence::keyBindings(QKeySequence::Copy),
           Qt::WidgetShortcut, &SlotsPage::copySlots);
    action(SG_Speicher, "A_Paste", QStringLiteral("&Paste"), QKeySequence::keyBindings(QKeySequence::Paste),
           Qt::WidgetShortcut, &SlotsPage::pasteSlots);
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
    if (!m_ctx.link.idle()) {
        return;
    }
    const bool reads = m_ctx.link.linkUp();
    if (reads && !mayDiscardChanges()) {
        return;
    }
    const bool complete = m_transfer.readAll() == SlotTransfer::Result::Done;
    if (!reads) {
        return;
    }
    // What the undo stack holds was done to the slots before the read.
    m_undo->clear();
    forgetCell();
    if (!complete) {
        // Some slots are what they were before the read, the others what the receiver sent.
        m_undo->resetClean();
    }
}

void SlotsPage::B_SpeichernClick()
{
    // An edit made while the write ran was not written: it stays unsaved.
    const int before = m_undo->index();
    if (m_transfer.writeAll() == SlotTransfer::Result::Done && m_undo->index() == before) {
        markStoreSaved();
    }
}

void SlotsPage::B_LoeschenClick()
{
    if (!m_ctx.link.idle()) {
        return;
    }
    if (!m_ctx.dialogs.confirm(kClearQuestion, DefaultAnswer::No)) {
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
    m_storeOnLeave = true;
    m_typed = false;
}

void SlotsPage::SG_SpeicherExit()
{
    StoreEditedCell();
}

void SlotsPage::StoreEditedCell()
{
    if (!m_storeOnLeave || EditRow < 1 || EditRow > slot::kCount ||
        (EditCol != kNameColumn && EditCol != kNumberColumn)) {
        return;
    }
    m_storeOnLeave = m_typed = false;
    QTableWidgetItem* item = cell(EditCol, EditRow);
    const QString text = item->text();
    const QSignalBlocker quiet(SG_Speicher);
    if (EditCol == kNameColumn) {
        if (text.isEmpty()) {
            // Nothing is stored; the cell shows the name the slot keeps.
            if (m_slotStream.holds(EditRow, slot::kNameAt)) {
                item->setText(QString::fromStdString(fromAnsi(m_slotStream.record(EditRow).name())));
            }
            return;
        }
        const std::string field = nameField(toAnsi(text.toStdString()));
        change(recordOffset(EditRow) + slot::kNameAt, std::vector<uint8_t>(field.begin(), field.end()),
               QStringLiteral("Name of slot %1").arg(EditRow));
        item->setText(QString::fromStdString(fromAnsi(field)));
        return;
    }
    // The cell always ends up showing the number the slot holds, whatever was typed.
    if (const std::optional<int> number = slotNumber(text.toStdString())) {
        change(recordOffset(EditRow) + slot::kNumberAt, {static_cast<uint8_t>(0xC0 | *number)},
               QStringLiteral("Number of slot %1").arg(EditRow));
    }
    item->setText(m_slotStream.holds(EditRow, slot::kNumberAt) ? QString::number(m_slotStream.record(EditRow).number())
                                                               : QString());
}

void SlotsPage::storeTyped()
{
    if (m_typed) {
        StoreEditedCell();
    }
}

void SlotsPage::forgetCell()
{
    m_storeOnLeave = m_typed = false;
}

void SlotsPage::change(std::size_t offset, std::vector<uint8_t> bytes, const QString& text)
{
    const std::vector<uint8_t>& now = m_slotStream.bytes();
    if (offset + bytes.size() <= now.size() &&
        std::equal(bytes.begin(), bytes.end(), now.begin() + static_cast<std::ptrdiff_t>(offset))) {
        return;
    }
    m_undo->push(new StoreChange(
        m_slotStream, offset, std::move(bytes), [this](int first, int last) { showRows(first, last); }, text));
}

void SlotsPage::showRows(int first, int last)
{
    const QSignalBlocker quiet(SG_Speicher);
    for (int row = std::max(first, 1); row <= std::min(last, slot::kCount); ++row) {
        SlotRowTexts texts;
        if (m_slotStream.holds(row, 0)) {
            texts = slotRowTexts(m_slotStream.record(row), numberFormat());
        }
        for (int column = 1; column <= kColumns; ++column) {
            const auto& text = texts[static_cast<std::size_t>(column - 1)];
            cell(column, row)->setText(text ? QString::fromStdString(*text) : QString());
        }
    }
}

void SlotsPage::markStoreSaved()
{
    m_undo->setClean();
}

bool SlotsPage::mayDiscardChanges()
{
    // A name still being typed is a change too.
    finishEditing();
    return !isModified() || m_ctx.dialogs.confirm(kDiscardQuestion, DefaultAnswer::No);
}

void SlotsPage::copySlots()
{
    storeTyped();
    std::set<int> rows;
    for (const QModelIndex& i : SG_Speicher->selectionModel()->selectedIndexes()) {
        rows.insert(i.row() + 1);
    }
    if (rows.empty() && SG_Speicher->currentRow() >= 0) {
        rows.insert(SG_Speicher->currentRow() + 1);
    }
    if (rows.empty()) {
        return;
    }
    QByteArray raw;
    std::vector<CsvSlot> entries;
    for (const int row : rows) {
        const SlotRecord r = m_slotStream.record(row);
        raw.append(reinterpret_cast<const char*>(r.bytes.data()), slot::kRecordSize);
        entries.push_back({row, r});
    }
    auto* mime = new QMimeData;
    mime->setData(kSlotsMime, raw);
    mime->setText(QString::fromStdString(slotsToCsv(entries)));
    QGuiApplication::clipboard()->setMimeData(mime);
}

void SlotsPage::pasteSlots()
{
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    const int target = SG_Speicher->currentRow() + 1;
    if (mime == nullptr || !mime->hasFormat(kSlotsMime) || target < 1 || m_transfer.running()) {
        return;
    }
    const QByteArray raw = mime->data(kSlotsMime);
    const int copied = static_cast<int>(raw.size() / slot::kRecordSize);
    if (copied == 0 || raw.size() % slot::kRecordSize != 0) {
        return;
    }
    storeTyped();
    // Rows below the last slot are not there: what would land beyond it is left out.
    const int count = std::min(copied, slot::kCount - target + 1);
    change(recordOffset(target), std::vector<uint8_t>(raw.begin(), raw.begin() + count * slot::kRecordSize),
           count == 1 ? QStringLiteral("Paste into slot %1").arg(target)
                      : QStringLiteral("Paste into slots %1 to %2").arg(target).arg(target + count - 1));
    forgetCell();
    m_writable = true;
    setLinkFree(m_linkFree);
}

void SlotsPage::finishEditing()
{
    if (QWidget* editor = SG_Speicher->indexWidget(SG_Speicher->currentIndex())) {
        QAbstractItemDelegate* delegate = SG_Speicher->itemDelegate();
        emit delegate->commitData(editor);
        emit delegate->closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
    storeTyped();
}

void SlotsPage::ShowSlotRecord(const SlotRecord& record, int row)
{
    const QSignalBlocker quiet(SG_Speicher);
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

void SlotsPage::showMissing(const std::vector<int>& numbers)
{
    const QSignalBlocker quiet(SG_Speicher);
    const QString why = QStringLiteral("This slot did not come from KAV72: it shows what was here before the read.");
    for (int row = 1; row <= slot::kCount; ++row) {
        const bool gone = std::find(numbers.begin(), numbers.end(), row) != numbers.end();
        for (int column = 1; column <= kColumns; ++column) {
            if (QTableWidgetItem* item = cell(column, row)) {
                item->setForeground(gone ? QBrush(Qt::gray) : QBrush());
                item->setToolTip(gone ? why : QString());
            }
        }
    }
    if (!numbers.empty()) {
        LB_Speicher->addItem(QStringLiteral("%1 of 63 slots missing").arg(numbers.size()));
    }
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
    // The menu takes no focus from the grid: a name still being typed is a change to keep or discard.
    finishEditing();
    m_ctx.OD_App.DefaultExt = QStringLiteral("*.Mem");
    m_ctx.OD_App.Filter = QStringLiteral("Memory file *.Mem|*.Mem|CSV *.csv|*.csv");
    if (!m_ctx.dialogs.openFile(m_ctx.OD_App)) {
        return;
    }
    const QString path = m_ctx.OD_App.FileName;
    if (isCsv(path)) {
        importCsv(path);
    } else if (mayDiscardChanges()) {
        openMemoryFile(path);
    }
}

void SlotsPage::openMemoryFile(const QString& path)
{
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
    // A file replaces the slots as a whole; the steps that led to the old ones do not apply to it.
    m_undo->clear();
    forgetCell();
}

// An import changes the slots the file names, as one step that can be undone; it discards nothing.
void SlotsPage::importCsv(const QString& path)
{
    std::vector<CsvSlot> entries;
    if (const std::optional<QString> error = readSlotsCsv(path, m_slotStream, entries)) {
        showMessage(*error);
        return;
    }
    showSource(QFileInfo(path).fileName());
    if (entries.empty()) {
        return;
    }
    const auto [low, high] = std::minmax_element(entries.begin(), entries.end(),
                                                 [](const CsvSlot& a, const CsvSlot& b) { return a.slot < b.slot; });
    const int first = low->slot;
    std::vector<uint8_t> bytes(recordOffset(high->slot + 1) - recordOffset(first));
    for (int s = first; s <= high->slot; ++s) {
        const SlotRecord r = m_slotStream.record(s);
        std::copy(r.bytes.begin(), r.bytes.end(),
                  bytes.begin() + static_cast<std::ptrdiff_t>(recordOffset(s - first + 1)));
    }
    for (const CsvSlot& s : entries) {
        std::copy(s.record.bytes.begin(), s.record.bytes.end(),
                  bytes.begin() + static_cast<std::ptrdiff_t>(recordOffset(s.slot - first + 1)));
    }
    change(recordOffset(first), std::move(bytes), QStringLiteral("Import of %1").arg(QFileInfo(path).fileName()));
    forgetCell();
    m_writable = true;
    setLinkFree(m_linkFree);
}

void SlotsPage::fileSave()
{
    // The menu takes no focus from the grid: a name still being typed goes into the file too.
    finishEditing();
    m_ctx.SD_Datei.DefaultExt = QStringLiteral("*.Mem");
    m_ctx.SD_Datei.Filter = QStringLiteral("Speicherplatz-Datei *.Mem|*.Mem|CSV *.csv|*.csv");
    if (!m_ctx.dialogs.saveFile(m_ctx.SD_Datei)) {
        return;
    }
    const QString path = m_ctx.SD_Datei.FileName;
    const std::optional<QString> error =
        isCsv(path) ? saveSlotsCsv(path, m_slotStream) : saveMemoryFile(path, m_slotStream);
    if (error) {
        showMessage(*error);
        return;
    }
    showSource(QFileInfo(path).fileName());
    markStoreSaved();
}

}  // namespace dz
