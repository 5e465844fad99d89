// Changes to the memory slots a user can trust: nothing wipes or discards them
// on a stray key, display-only cells take no typing, names keep every byte, and
// every change can be undone, copied as whole records and kept as CSV.

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QTest>

#include <gtest/gtest.h>

#include "app/QtDialogs.h"
#include "slots/SlotCsv.h"
#include "slots/SlotsPageFixture.h"
#include "slots/StoreChange.h"

namespace dztest {
namespace {

// The seed with a name in slot 3 that holds the bytes Windows-1252 leaves undefined.
Bytes seedWithUndefinedName()
{
    Bytes b = seed();
    const std::string name("A\x81\x8D\x8F\x90\x9D", 6);
    std::copy(name.begin(), name.end(), b.begin() + 2 * 256 + 18);
    b[2 * 256 + 18 + 6] = 0;
    return b;
}

Bytes records(const Bytes& store, int first, int count)
{
    return Bytes(store.begin() + (first - 1) * 256, store.begin() + (first - 1 + count) * 256);
}

class SlotsPageChanges : public SlotsPageTest {
protected:
    void SetUp() override
    {
        SlotsPageTest::SetUp();
        writeFile(path("seed.Mem"), seed());
        open(path("seed.Mem"));
        ASSERT_FALSE(page()->isModified());
    }
    // The window shown and active, so that keys reach the grid and its shortcuts.
    QTableWidget* activeGrid()
    {
        w().show();
        w().activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w()));
        page()->SG_Speicher->setFocus();
        return page()->SG_Speicher;
    }
    void key(int k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(page()->SG_Speicher, Qt::Key(k), m); }
    bool modifiedEverywhere()
    {
        const bool page = h.window->TS_Speicher->isModified();
        EXPECT_EQ(w().isWindowModified(), page);
        EXPECT_EQ(w().windowTitle().endsWith(QStringLiteral("[*]")), page);
        EXPECT_EQ(h.window->TS_Speicher->L_Unsaved->isVisibleTo(&w()), page);
        return page;
    }
};

// ---- the clear question

TEST_F(SlotsPageChanges, EnterOnTheClearQuestionLeavesTheSlots)
{
    const auto before = simRecords();
    h.dialogs.answers = {std::nullopt};  // Enter
    QTest::mouseClick(page()->B_Loeschen, Qt::LeftButton);
    ASSERT_EQ(h.dialogs.defaults, std::vector<dz::DefaultAnswer>{dz::DefaultAnswer::No});
    EXPECT_TRUE(h.dialogs.asked.front().endsWith(QStringLiteral("Sicherung aller Speicherplätze angelegt.")));
    settle(20);
    EXPECT_EQ(requests(0x11), 0u);
    EXPECT_EQ(simRecords(), before);
}

// The program's own boxes: Enter presses the button the question names as its default.
TEST(QtDialogsConfirm, EnterGivesTheDefaultAnswer)
{
    for (const auto& [defaultAnswer, yes] :
         {std::pair{dz::DefaultAnswer::No, false}, std::pair{dz::DefaultAnswer::Yes, true}}) {
        dz::QtDialogs dialogs;
        QTimer press;
        press.setInterval(5);
        QObject::connect(&press, &QTimer::timeout, [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                QTest::keyClick(box, Qt::Key_Return);
            }
        });
        press.start();
        EXPECT_EQ(dialogs.confirm(QStringLiteral("Wirklich?"), defaultAnswer), yes);
    }
}

// ---- display-only cells

struct TabCase {
    const char* name;
    int from;  // an editable column
    Qt::Key key;
    int to;  // the display-only column next to it
};

void PrintTo(const TabCase& c, std::ostream* os)
{
    *os << c.name;
}

class SlotsPageTab : public SlotsPageChanges, public testing::WithParamInterface<TabCase> {};

TEST_P(SlotsPageTab, OutOfAnEditorOpensNoEditorInADisplayOnlyCell)
{
    QTableWidget* g = activeGrid();
    g->setCurrentCell(2, GetParam().from - 1);
    key(Qt::Key_F2);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    const QString shown = page()->cell(GetParam().to, 3)->text();
    QTest::keyClick(editor, GetParam().key);
    ASSERT_EQ(g->currentColumn() + 1, GetParam().to);
    EXPECT_EQ(qobject_cast<QLineEdit*>(QApplication::focusWidget()), nullptr);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("999"));
    key(Qt::Key_Return);
    g->setCurrentCell(10, 0);
    EXPECT_EQ(page()->cell(GetParam().to, 3)->text(), shown);
    // Whichever way an editor is asked for, a display-only cell does not take one.
    for (int column = 2; column <= 10; ++column) {
        EXPECT_FALSE(page()->cell(column, 3)->flags() & Qt::ItemIsEditable) << "column " << column;
    }
}

INSTANTIATE_TEST_SUITE_P(Keys, SlotsPageTab,
                         testing::Values(TabCase{"TabFromTheName", 1, Qt::Key_Tab, 2},
                                         TabCase{"BacktabFromTheNumber", 11, Qt::Key_Backtab, 10}),
                         [](const testing::TestParamInfo<TabCase>& p) { return std::string(p.param.name); });

// ---- name bytes

TEST_F(SlotsPageChanges, ANameByteUndefinedInTheCodePageSurvivesTheCell)
{
    writeFile(path("undefined.Mem"), seedWithUndefinedName());
    open(path("undefined.Mem"));
    edit(1, 3, page()->cell(1, 3)->text());  // passing through: the name goes back, filled with blanks
    const std::string name = page()->slotStream().record(3).name();
    EXPECT_EQ(name, std::string("A\x81\x8D\x8F\x90\x9D", 6) + std::string(11, ' '));
}

// ---- unsaved changes

class SlotsPageDiscard;

struct DiscardCase {
    const char* name;
    // Tries to replace the slots, or to close; true once it has.
    std::function<bool(SlotsPageDiscard&)> act;
};

void PrintTo(const DiscardCase& c, std::ostream* os)
{
    *os << c.name;
}

class SlotsPageDiscard : public SlotsPageChanges, public testing::WithParamInterface<DiscardCase> {
public:
    // Public for the table's actions.
    void openOther() { open(path("other.Mem")); }
    dz::SlotsPage& slotsPage() { return *page(); }
    dz::TFMain& window() { return w(); }
};

TEST_P(SlotsPageDiscard, AsksFirstAndNoOrEnterKeepsTheChanges)
{
    writeFile(path("other.Mem"), Bytes(16128, 0x42));
    w().show();
    edit(1, 2, QStringLiteral("Geändert"));
    ASSERT_TRUE(modifiedEverywhere());
    const Bytes edited = page()->slotStream().bytes();

    for (const std::optional<bool> answer : {std::optional<bool>(false), std::optional<bool>()}) {
        h.dialogs.asked.clear();
        h.dialogs.answers = {answer};
        EXPECT_FALSE(GetParam().act(*this));
        ASSERT_EQ(h.dialogs.asked.size(), 1);
        EXPECT_TRUE(h.dialogs.asked[0].contains(QStringLiteral("neither written to the KAV72 nor saved")));
        EXPECT_EQ(h.dialogs.defaults.back(), dz::DefaultAnswer::No);
        EXPECT_EQ(page()->slotStream().bytes(), edited);
        EXPECT_TRUE(w().isVisible());
        EXPECT_TRUE(modifiedEverywhere());
    }
    h.dialogs.answers = {true};
    EXPECT_TRUE(GetParam().act(*this));
}

INSTANTIATE_TEST_SUITE_P(Actions, SlotsPageDiscard,
                         testing::Values(DiscardCase{"OpenAMemoryFile",
                                                     [](SlotsPageDiscard& test) {
                                                         test.openOther();
                                                         return test.slotsPage().slotStream().bytes() ==
                                                                Bytes(16128, 0x42);
                                                     }},
                                         DiscardCase{"ReadTheReceiver",
                                                     [](SlotsPageDiscard& test) {
                                                         auto& p = test.slotsPage();
                                                         p.B_LadenClick();
                                                         return p.L_SBytes->text() == QStringLiteral("16128  OK!");
                                                     }},
                                         DiscardCase{"CloseTheWindow",
                                                     [](SlotsPageDiscard& test) {
                                                         auto& w = test.window();
                                                         w.close();
                                                         return !w.isVisible();
                                                     }}),
                         [](const testing::TestParamInfo<DiscardCase>& p) { return std::string(p.param.name); });

TEST_F(SlotsPageChanges, ASaveARereadOrAWriteClearsTheMark)
{
    w().show();
    edit(1, 2, QStringLiteral("Eins"));
    ASSERT_TRUE(modifiedEverywhere());
    save(path("saved.Mem"));
    EXPECT_FALSE(modifiedEverywhere());
    EXPECT_EQ(w().windowTitle(), QStringLiteral("USB / WLAN Interface to KAV Dizuro"));

    edit(1, 2, QStringLiteral("Zwei"));
    h.dialogs.answers = {true};
    page()->B_LadenClick();
    EXPECT_FALSE(modifiedEverywhere());
    EXPECT_EQ(page()->slotStream().bytes(), concat(simRecords()));
    EXPECT_FALSE(page()->undoStack()->canUndo());

    // The receiver falls silent from slot 10 on: what the store holds now is on no receiver and in no file.
    h.sim.with([](dzsim::SimState& s) { s.memory.missingSlot = 10; });
    page()->B_LadenClick();
    EXPECT_TRUE(modifiedEverywhere());

    // The write to the receiver calls this once every slot is acknowledged.
    page()->markStoreSaved();
    EXPECT_FALSE(modifiedEverywhere());
    // Nothing to lose: no question.
    h.dialogs.asked.clear();
    open(path("saved.Mem"));
    EXPECT_TRUE(h.dialogs.asked.isEmpty());
}

// ---- undo, redo, copy and paste

// A change that reaches past the end of the store: undone, the store has its old length again.
TEST(StoreChange, UndoGivesBackTheBytesAndTheLength)
{
    struct Case {
        std::size_t size;  // of the store before
        std::size_t at;
    };
    for (const Case c : {Case{0, 300}, Case{16128, 16000}, Case{16128, 256}}) {
        dz::SlotStream store;
        store.resize(c.size);
        for (std::size_t i = 0; i < c.size; ++i) {
            const auto b = static_cast<uint8_t>(i * 7);
            store.write(i, &b, 1);
        }
        const Bytes before = store.bytes();
        std::pair<int, int> shown;
        QUndoStack stack;
        stack.push(new dz::StoreChange(store, c.at, Bytes(512, 0xEE), [&](int f, int l) { shown = {f, l}; }, {}));
        Bytes after = before;
        after.resize(std::max(before.size(), c.at + 512));
        std::fill_n(after.begin() + static_cast<std::ptrdiff_t>(c.at), 512, 0xEE);
        EXPECT_EQ(store.bytes(), after) << c.at;
        EXPECT_EQ(shown, std::pair(static_cast<int>(c.at / 256) + 1, static_cast<int>((c.at + 511) / 256) + 1));
        stack.undo();
        EXPECT_EQ(store.bytes(), before) << c.at;
        stack.redo();
        EXPECT_EQ(store.bytes(), after) << c.at;
    }
}

TEST_F(SlotsPageChanges, UndoAndRedoStepThroughEditPasteAndImport)
{
    QTableWidget* g = activeGrid();
    const Bytes start = page()->slotStream().bytes();
    const QString name7 = page()->cell(1, 7)->text();
    edit(1, 3, QStringLiteral("Neu"));
    const Bytes edited = page()->slotStream().bytes();

    g->setCurrentCell(0, 4);
    key(Qt::Key_C, Qt::ControlModifier);
    g->setCurrentCell(4, 4);
    key(Qt::Key_V, Qt::ControlModifier);
    const Bytes pasted = page()->slotStream().bytes();
    ASSERT_EQ(records(pasted, 5, 1), records(start, 1, 1));

    QFile csv(path("import.csv"));
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write("Slot,Frequency,Name\n7,1234.5,\"Import, neu\"\n");
    csv.close();
    h.dialogs.asked.clear();
    open(path("import.csv"));
    EXPECT_TRUE(h.dialogs.asked.isEmpty());  // an import discards nothing
    const Bytes imported = page()->slotStream().bytes();
    ASSERT_EQ(page()->slotStream().record(7).frequency(), 12345);
    EXPECT_EQ(page()->cell(1, 7)->text(), QStringLiteral("Import, neu"));

    const std::vector<Bytes> states{start, edited, pasted, imported};
    for (int i = 3; i > 0; --i) {
        key(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(page()->slotStream().bytes(), states[static_cast<std::size_t>(i - 1)]) << "undo to " << i - 1;
    }
    EXPECT_FALSE(page()->isModified());  // back where the file left the slots
    EXPECT_EQ(page()->cell(1, 3)->text(), QStringLiteral("ATIS Frankfurt"));
    EXPECT_EQ(page()->cell(1, 7)->text(), name7);

    key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(page()->slotStream().bytes(), edited);
    key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(page()->slotStream().bytes(), pasted);
    key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(page()->slotStream().bytes(), imported);
    EXPECT_EQ(page()->cell(1, 7)->text(), QStringLiteral("Import, neu"));
    EXPECT_TRUE(page()->isModified());
}

TEST_F(SlotsPageChanges, CopyAndPasteMoveWholeRecords)
{
    QTableWidget* g = activeGrid();
    const Bytes start = page()->slotStream().bytes();
    g->setCurrentCell(1, 2);
    g->selectionModel()->select(QItemSelection(g->model()->index(1, 0), g->model()->index(3, 10)),
                                QItemSelectionModel::ClearAndSelect);
    key(Qt::Key_C, Qt::ControlModifier);

    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    const QByteArray raw = mime->data(QStringLiteral("application/x-dizuro-slots"));
    EXPECT_EQ(Bytes(raw.begin(), raw.end()), records(start, 2, 3));
    // The same rows as CSV text, for a spreadsheet: slots 2 to 4 with their whole records.
    const dz::CsvSlots text = dz::csvToSlots(mime->text().toStdString());
    ASSERT_FALSE(text.error);
    ASSERT_EQ(text.entries.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(text.entries[static_cast<std::size_t>(i)].slot, i + 2);
        EXPECT_EQ(Bytes(text.entries[static_cast<std::size_t>(i)].record.bytes.begin(),
                        text.entries[static_cast<std::size_t>(i)].record.bytes.end()),
                  records(start, i + 2, 1));
    }

    // Into slot 62: two fit, the third would be beyond the last slot.
    g->setCurrentCell(61, 3);
    key(Qt::Key_V, Qt::ControlModifier);
    Bytes expected = start;
    std::copy_n(start.begin() + 256, 512, expected.begin() + 61 * 256);
    EXPECT_EQ(page()->slotStream().bytes(), expected);
    EXPECT_EQ(rowTexts(*page(), 62), rowTexts(*page(), 2));
    EXPECT_EQ(rowTexts(*page(), 63), rowTexts(*page(), 3));

    // Pasted while on a name cell: leaving that cell does not rewrite what came; one undo takes it all back.
    g->setCurrentCell(60, 0);
    key(Qt::Key_V, Qt::ControlModifier);
    expected = start;
    std::copy_n(start.begin() + 256, 3 * 256, expected.begin() + 60 * 256);
    g->setCurrentCell(10, 0);
    EXPECT_EQ(page()->slotStream().bytes(), expected);
    key(Qt::Key_Z, Qt::ControlModifier);
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(page()->slotStream().bytes(), start);
    EXPECT_FALSE(page()->isModified());
}

// ---- CSV files

TEST_F(SlotsPageChanges, ACsvFileKeepsAndGivesBackEveryByte)
{
    Bytes withUndefined = seedWithUndefinedName();
    writeFile(path("undefined.Mem"), withUndefined);
    open(path("undefined.Mem"));
    save(path("slots.csv"));
    EXPECT_EQ(h.dialogs.fileDialogs.back().DefaultExt, QStringLiteral("*.Mem"));
    const Bytes file = readFile(path("slots.csv"));
    EXPECT_EQ(std::string(file.begin(), file.end()), dz::slotsToCsv(withUndefined));
    EXPECT_FALSE(page()->isModified());

    open(path("seed.Mem"));
    open(path("slots.csv"));
    EXPECT_EQ(page()->slotStream().bytes(), withUndefined);
    EXPECT_EQ(source(), QStringLiteral("slots.csv"));
    EXPECT_TRUE(h.dialogs.shown.isEmpty()) << h.dialogs.shown.join(QLatin1Char('|')).toStdString();
}

TEST_F(SlotsPageChanges, ABadCsvFileSaysWhereAndChangesNothing)
{
    QFile csv(path("bad.csv"));
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write("Slot,Name,Mode\n1,Eins,USB\n2,Zwei,FM\n");
    csv.close();
    open(path("bad.csv"));
    ASSERT_EQ(h.dialogs.shown.size(), 1);
    EXPECT_TRUE(h.dialogs.shown[0].contains(QStringLiteral("line 3, column Mode"))) << h.dialogs.shown[0].toStdString();
    EXPECT_EQ(page()->slotStream().bytes(), seed());
    EXPECT_EQ(page()->cell(1, 1)->text(), QStringLiteral("Tower EDDF"));
    EXPECT_FALSE(page()->undoStack()->canUndo());
    EXPECT_EQ(source(), QStringLiteral("seed.Mem"));
}

}  // namespace
}  // namespace dztest
