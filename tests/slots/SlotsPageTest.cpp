// The memory-slot page in the window, against the simulated receiver: the grid,
// its texts, editing, the three transfers and the memory files.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <csignal>

#include "slots/SlotsPageFixture.h"
#include "update/UpdatePage.h"

namespace dztest {
namespace {

TEST_F(SlotsPageTest, GridAndControlsAsLaidOut)
{
    const QTableWidget* g = page()->SG_Speicher;
    ASSERT_EQ(g->rowCount(), 63);
    ASSERT_EQ(g->columnCount(), 11);
    QList<int> widths{g->verticalHeader()->width()};
    for (int c = 0; c < 11; ++c) {
        widths << g->columnWidth(c);
    }
    EXPECT_EQ(widths, (QList<int>{40, 152, 75, 60, 58, 72, 55, 48, 72, 49, 47, 41}));
    EXPECT_EQ(g->horizontalHeader()->height(), 20);
    EXPECT_EQ(g->rowHeight(0), 20);
    EXPECT_EQ(g->rowHeight(62), 20);
    for (int c = 0; c < 11; ++c) {
        EXPECT_TRUE(g->model()->headerData(c, Qt::Horizontal).toString().isEmpty()) << c;
    }
    // The fixed column numbers the slots.
    EXPECT_EQ(g->model()->headerData(0, Qt::Vertical).toString(), QStringLiteral("1"));
    EXPECT_EQ(g->model()->headerData(62, Qt::Vertical).toString(), QStringLiteral("63"));
    EXPECT_EQ(page()->Label1->text(), QStringLiteral("Speicherplätze:"));
    EXPECT_EQ(page()->Label2->text(), QStringLiteral("Datei:"));
    EXPECT_EQ(page()->Label3->text(), QStringLiteral("Bytes:"));
    EXPECT_EQ(page()->L_SBytes->text(), QStringLiteral("0"));
    EXPECT_EQ(page()->LB_Speicher->count(), 1);
    EXPECT_EQ(source(), QStringLiteral("keine"));
    EXPECT_EQ(page()->B_Laden->text(), QStringLiteral("Laden vom KAV72"));
    EXPECT_EQ(page()->B_Speichern->text(), QStringLiteral("Speichern im KAV72"));
    EXPECT_EQ(page()->B_Loeschen->text(), QStringLiteral("Alles Löschen"));
    EXPECT_TRUE(page()->B_Laden->isEnabled());
    EXPECT_FALSE(page()->B_Speichern->isEnabled());
    EXPECT_TRUE(page()->B_Loeschen->isEnabled());
    EXPECT_EQ(page()->findChild<QTableWidget*>(QStringLiteral("SG_Speicher")), g);

    // Everything fits on the page beside the grid, and the grid scrolls to its last row.
    w().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w()));
    const QRect area = page()->rect();
    for (const QWidget* c : {static_cast<const QWidget*>(g), static_cast<const QWidget*>(page()->B_Loeschen),
                             static_cast<const QWidget*>(page()->L_SBytes)}) {
        EXPECT_TRUE(area.contains(c->geometry())) << c->objectName().toStdString();
    }
    EXPECT_FALSE(g->geometry().intersects(page()->B_Laden->geometry()));
    EXPECT_GT(g->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(g->horizontalScrollBar()->maximum(), 0);
}

struct LocaleCase {
    const char* name;
    QLocale locale;
    QStringList slot12;
    QStringList zero;
};

void PrintTo(const LocaleCase& c, std::ostream* os)
{
    *os << c.name;
}

class SlotsPageLocale : public SlotsPageTest, public testing::WithParamInterface<LocaleCase> {};

TEST_P(SlotsPageLocale, ReadShowsEverySlotInItsRow)
{
    h.sim.with([](dzsim::SimState& s) { s.memory.records[6] = Bytes(256, 0); });
    page()->setLocale(GetParam().locale);
    // Clicked on the shown page: its replies are not taken for the spectrum page's.
    QTest::mouseClick(page()->B_Laden, Qt::LeftButton);
    EXPECT_EQ(rowTexts(*page(), 12), GetParam().slot12);
    EXPECT_EQ(rowTexts(*page(), 7), GetParam().zero);
    EXPECT_EQ(page()->cell(1, 4)->text(), QStringLiteral("Flughafen Köln"));
    for (int row = 1; row <= 63; ++row) {
        EXPECT_FALSE(page()->cell(2, row)->text().isEmpty()) << "row " << row;
    }
    EXPECT_EQ(page()->slotStream().bytes(), concat(simRecords()));
    EXPECT_EQ(page()->L_SBytes->text(), QStringLiteral("16128  OK!"));
    EXPECT_EQ(source(), QStringLiteral("Read from KAV72!"));
    EXPECT_TRUE(page()->B_Speichern->isEnabled());
    EXPECT_TRUE(page()->B_Laden->isEnabled());
    EXPECT_TRUE(h.dialogs.shown.isEmpty()) << h.dialogs.shown.join(QLatin1Char('|')).toStdString();
}

const QStringList kSlot12German{
    QStringLiteral("2m FM Anruf"), QStringLiteral("00.145.500,0"), QStringLiteral("Auto"),   QStringLiteral("12.500"),
    QStringLiteral(" +1.500"),     QStringLiteral("75 kHz"),       QStringLiteral("50 Ohm"), QStringLiteral(" 0 dB"),
    QStringLiteral("Auto"),        QStringLiteral("Auto"),         QStringLiteral("12")};
const QStringList kSlot12English{
    QStringLiteral("2m FM Anruf"), QStringLiteral("00.145,500.0"), QStringLiteral("Auto"),   QStringLiteral("12,500"),
    QStringLiteral(" +1,500"),     QStringLiteral("75 kHz"),       QStringLiteral("50 Ohm"), QStringLiteral(" 0 dB"),
    QStringLiteral("Auto"),        QStringLiteral("Auto"),         QStringLiteral("12")};
QStringList zeroRow(const char* frequency)
{
    return {QString(),
            QString::fromLatin1(frequency),
            QStringLiteral("Auto"),
            QStringLiteral("0"),
            QStringLiteral("  0"),
            QStringLiteral("75 kHz"),
            QStringLiteral("50 Ohm"),
            QStringLiteral(" 0 dB"),
            QStringLiteral("Auto"),
            QStringLiteral("Auto"),
            QStringLiteral("0")};
}

INSTANTIATE_TEST_SUITE_P(Locales, SlotsPageLocale,
                         testing::Values(LocaleCase{"German", QLocale(QLocale::German, QLocale::Germany), kSlot12German,
                                                    zeroRow("00.000.000,0")},
                                         LocaleCase{"English", QLocale(QLocale::English, QLocale::UnitedStates),
                                                    kSlot12English, zeroRow("00.000.000.0")}),
                         [](const testing::TestParamInfo<LocaleCase>& p) { return std::string(p.param.name); });

TEST_F(SlotsPageTest, FileMenuOpensMemoryFilesOnlyOnThisPage)
{
    const QString memOpen = QStringLiteral("Memory file *.Mem|*.Mem|CSV *.csv|*.csv");
    w().PC_main->setCurrentWidget(w().TS_Download);
    w().MI_OeffnenClick();
    for (const auto& d : h.dialogs.fileDialogs) {
        EXPECT_NE(d.Filter, memOpen);
    }
    h.dialogs.fileDialogs.clear();

    w().PC_main->setCurrentWidget(page());
    w().MI_OeffnenClick();  // cancelled
    w().MI_SpeichernClick();
    ASSERT_EQ(h.dialogs.fileDialogs.size(), 2u);
    EXPECT_EQ(h.dialogs.fileDialogs[0].DefaultExt, QStringLiteral("*.Mem"));
    EXPECT_EQ(h.dialogs.fileDialogs[0].Filter, memOpen);
    EXPECT_EQ(h.dialogs.fileDialogs[1].DefaultExt, QStringLiteral("*.Mem"));
    EXPECT_EQ(h.dialogs.fileDialogs[1].Filter, QStringLiteral("Speicherplatz-Datei *.Mem|*.Mem|CSV *.csv|*.csv"));
    // The shared dialogs keep what this page set.
    EXPECT_EQ(w().OD_App.Filter, memOpen);
    EXPECT_EQ(w().SD_Datei.DefaultExt, QStringLiteral("*.Mem"));
    EXPECT_EQ(source(), QStringLiteral("keine"));
    EXPECT_FALSE(page()->B_Speichern->isEnabled());
}

TEST_F(SlotsPageTest, SaveThenOpenGivesBackTheSameBytesAndRows)
{
    page()->B_LadenClick();
    const Bytes read = page()->slotStream().bytes();
    QStringList rows;
    for (int row = 1; row <= 63; ++row) {
        rows << rowTexts(*page(), row).join(QLatin1Char('|'));
    }
    save(path("backup.Mem"));
    EXPECT_EQ(readFile(path("backup.Mem")), read);
    EXPECT_EQ(source(), QStringLiteral("backup.Mem"));

    edit(1, 2, QStringLiteral("Anders"));
    ASSERT_NE(page()->slotStream().bytes(), read);
    open(path("backup.Mem"));
    EXPECT_EQ(page()->slotStream().bytes(), read);
    QStringList reopened;
    for (int row = 1; row <= 63; ++row) {
        reopened << rowTexts(*page(), row).join(QLatin1Char('|'));
    }
    EXPECT_EQ(reopened, rows);
    EXPECT_EQ(source(), QStringLiteral("backup.Mem"));
    EXPECT_TRUE(h.dialogs.shown.isEmpty()) << h.dialogs.shown.join(QLatin1Char('|')).toStdString();
}

TEST_F(SlotsPageTest, ReadSaveOpenWriteLeavesTheReceiverAsItWas)
{
    const Bytes original = concat(simRecords());
    page()->B_LadenClick();
    save(path("all.Mem"));
    h.dialogs.answers = {true};
    page()->B_LoeschenClick();
    ASSERT_EQ(concat(simRecords()), Bytes(16128, 0));

    open(path("all.Mem"));
    ASSERT_TRUE(page()->B_Speichern->isEnabled());
    QTest::mouseClick(page()->B_Speichern, Qt::LeftButton);
    EXPECT_EQ(concat(simRecords()), original);
    EXPECT_EQ(page()->L_SBytes->text(), QStringLiteral("16128  OK!"));
    // The clear and the write each say what the read-back found and where the backup went.
    ASSERT_EQ(h.dialogs.shown.size(), 2) << h.dialogs.shown.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(
        h.dialogs.shown[0].startsWith(QStringLiteral("All 63 slots in KAV72 were cleared and read back empty.")));
    EXPECT_TRUE(
        h.dialogs.shown[1].startsWith(QStringLiteral("63 slots were written to KAV72 and read back the same.")));
    EXPECT_TRUE(h.dialogs.shown[1].contains(QStringLiteral("The slots as they were before: ")));
    EXPECT_FALSE(w().isWindowModified()) << "a verified write leaves nothing unsaved";
}

TEST_F(SlotsPageTest, SlotsThatDidNotComeAreGreyedAndCounted)
{
    h.sim.with([](dzsim::SimState& s) { s.memory.missingSlot = 7; });
    page()->B_LadenClick();
    EXPECT_EQ(page()->LB_Speicher->count(), 2);
    EXPECT_EQ(page()->LB_Speicher->item(0)->text(), QStringLiteral("Read from KAV72 incomplete!"));
    EXPECT_EQ(page()->LB_Speicher->item(1)->text(), QStringLiteral("1 of 63 slots missing"));
    const QTableWidgetItem* missing = page()->SG_Speicher->item(6, 1);
    const QTableWidgetItem* came = page()->SG_Speicher->item(7, 1);
    ASSERT_NE(missing, nullptr);
    ASSERT_NE(came, nullptr);
    EXPECT_EQ(missing->foreground().color(), QColor(Qt::gray));
    EXPECT_FALSE(missing->toolTip().isEmpty());
    EXPECT_TRUE(came->toolTip().isEmpty());
}

TEST_F(SlotsPageTest, ClearAsksAndDoesNothingOnNo)
{
    const auto before = simRecords();
    h.dialogs.answers = {false};
    QTest::mouseClick(page()->B_Loeschen, Qt::LeftButton);
    EXPECT_EQ(h.dialogs.asked, QStringList{QStringLiteral("Wirklich alle Speicherplätze im KAV72 löschen? Vorher wird "
                                                          "eine Sicherung aller Speicherplätze angelegt.")});
    settle(20);
    EXPECT_EQ(requests(0x11), 0u);
    EXPECT_EQ(simRecords(), before);
    EXPECT_FALSE(page()->B_Speichern->isEnabled());

    h.dialogs.answers = {true};
    QTest::mouseClick(page()->B_Loeschen, Qt::LeftButton);
    EXPECT_EQ(requests(0x11), 63u);
    EXPECT_EQ(concat(simRecords()), Bytes(16128, 0));
    EXPECT_EQ(page()->L_SBytes->text(), QStringLiteral("16128  OK!"));
    // Clearing touches neither the store nor the grid.
    EXPECT_EQ(page()->slotStream().size(), 0u);
    EXPECT_TRUE(page()->cell(1, 1)->text().isEmpty());
    EXPECT_TRUE(page()->B_Speichern->isEnabled());
}

TEST_F(SlotsPageTest, ClosingTheWindowEndsAReadWithoutReconnecting)
{
    w().show();
    const uint64_t connections = h.sim.stats().connections;
    readWith(4, [&] { w().close(); });
    EXPECT_EQ(requests(0x10), 4u);
    settle(2 * h.config.link.watchdogMs);
    EXPECT_EQ(requests(0x10), 4u);
    EXPECT_EQ(h.sim.stats().connections, connections);
    EXPECT_FALSE(w().link().connected());
}

TEST_F(SlotsPageTest, AnEditDuringAReadMovesNoBlock)
{
    readWith(11, [&] { edit(1, 2, QStringLiteral("X")); });
    Bytes expected = concat(simRecords());
    const std::string name = "X" + std::string(16, ' ');
    std::copy(name.begin(), name.end(), expected.begin() + 256 + 18);
    std::fill_n(expected.begin() + 10 * 256, 256, 0);  // slot 11 never came
    EXPECT_EQ(page()->slotStream().bytes(), expected);
    EXPECT_EQ(page()->L_SBytes->text(), QStringLiteral("16128  OK!"));
}

struct FileFault {
    const char* name;
    void (*make)(const QString& path);
    const char* mentions;
};

void PrintTo(const FileFault& f, std::ostream* os)
{
    *os << f.name;
}

class SlotsPageBadFile : public SlotsPageTest, public testing::WithParamInterface<FileFault> {};

TEST_P(SlotsPageBadFile, IsRefusedAndChangesNothing)
{
    const QString file = path("bad.Mem");
    GetParam().make(file);
    open(file);
    ASSERT_EQ(h.dialogs.shown.size(), 1);
    EXPECT_TRUE(h.dialogs.shown[0].contains(QDir::toNativeSeparators(file))) << h.dialogs.shown[0].toStdString();
    EXPECT_TRUE(h.dialogs.shown[0].contains(QString::fromLatin1(GetParam().mentions)))
        << h.dialogs.shown[0].toStdString();
    EXPECT_EQ(page()->slotStream().size(), 0u);
    EXPECT_EQ(source(), QStringLiteral("keine"));
    EXPECT_FALSE(page()->B_Speichern->isEnabled());
    EXPECT_TRUE(page()->cell(2, 1)->text().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Files, SlotsPageBadFile,
                         testing::Values(FileFault{"OneByteShort",
                                                   [](const QString& p) { writeFile(p, Bytes(16127, 1)); }, "16127"},
                                         FileFault{"Empty", [](const QString& p) { writeFile(p, {}); }, "16128"},
                                         FileFault{"Missing", [](const QString&) {}, "Cannot load"},
                                         FileFault{"FarTooLarge",
                                                   [](const QString& p) {
                                                       writeFile(p, {});
                                                       QFile::resize(p, 64 * 1024 * 1024 + 1);  // sparse: costs no disk
                                                   },
                                                   "far too large"}),
                         [](const testing::TestParamInfo<FileFault>& p) { return std::string(p.param.name); });

TEST_F(SlotsPageTest, ALongerFileLoadsAndSavesWhole)
{
    Bytes longer = seed();
    longer.resize(16128 + 300, 0x5A);
    writeFile(path("long.Mem"), longer);
    open(path("long.Mem"));
    EXPECT_EQ(page()->cell(1, 1)->text(), QStringLiteral("Tower EDDF"));
    EXPECT_FALSE(page()->cell(1, 63)->text().isEmpty());
    save(path("again.Mem"));
    EXPECT_EQ(readFile(path("again.Mem")), longer);
}

TEST_F(SlotsPageTest, SavingAnEmptyStoreWritesAnEmptyFile)
{
    writeFile(path("empty.Mem"), Bytes(10, 1));
    save(path("empty.Mem"));
    EXPECT_TRUE(QFile::exists(path("empty.Mem")));
    EXPECT_EQ(readFile(path("empty.Mem")), Bytes{});
}

TEST_F(SlotsPageTest, ASaveThatCannotBeMadeSaysSo)
{
    writeFile(path("plain"), Bytes(3, 1));
    const QString below = path("plain") + QStringLiteral("/slots.Mem");  // a folder that is a file
    page()->B_LadenClick();
    save(below);
    ASSERT_EQ(h.dialogs.shown.size(), 1);
    EXPECT_TRUE(h.dialogs.shown[0].contains(QStringLiteral("Cannot save"))) << h.dialogs.shown[0].toStdString();
    EXPECT_TRUE(h.dialogs.shown[0].contains(QDir::toNativeSeparators(below)));
    EXPECT_EQ(readFile(path("plain")), Bytes(3, 1));
    EXPECT_EQ(source(), QStringLiteral("Read from KAV72!"));
}

TEST_F(SlotsPageTest, ASaveThatFailsHalfWayKeepsTheOldFile)
{
    const Bytes old(100, 0x0F);
    writeFile(path("kept.Mem"), old);
    page()->B_LadenClick();
    // Files may grow to 4 KiB only: the write of 16128 bytes fails on the way, as on a full disk.
    rlimit before{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = before;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    save(path("kept.Mem"));
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);

    ASSERT_EQ(h.dialogs.shown.size(), 1);
    EXPECT_TRUE(h.dialogs.shown[0].contains(QStringLiteral("left as it was"))) << h.dialogs.shown[0].toStdString();
    EXPECT_EQ(readFile(path("kept.Mem")), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("kept.Mem")});
    EXPECT_EQ(source(), QStringLiteral("Read from KAV72!"));
}

// Edits of a store loaded from the simulator's records.
struct EditCase {
    const char* name;
    int column;
    const char* typed;  // UTF-8
    const char* cell;   // what the cell shows afterwards
    int at;             // where in slot 3's record the edit writes; -1: nothing
    const char* bytes;  // what it writes there, Windows-1252
};

void PrintTo(const EditCase& c, std::ostream* os)
{
    *os << c.name;
}

class SlotsPageEdit : public SlotsPageTest, public testing::WithParamInterface<EditCase> {};

TEST_P(SlotsPageEdit, StoresWhatTheCellShows)
{
    writeFile(path("seed.Mem"), seed());
    open(path("seed.Mem"));
    ASSERT_EQ(page()->cell(1, 3)->text(), QStringLiteral("ATIS Frankfurt"));
    edit(GetParam().column, 3, QString::fromUtf8(GetParam().typed));
    EXPECT_EQ(page()->cell(GetParam().column, 3)->text(), QString::fromUtf8(GetParam().cell));
    Bytes expected = seed();
    if (GetParam().at >= 0) {
        const std::string b = GetParam().bytes;
        std::copy(b.begin(), b.end(), expected.begin() + 2 * 256 + GetParam().at);
    }
    EXPECT_EQ(page()->slotStream().bytes(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cells, SlotsPageEdit,
    testing::Values(EditCase{"ThreeLetters", 1, "Abc", "Abc              ", 18, "Abc              "},
                    EditCase{"TwentyLetters", 1, "ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLMNOPQ", 18, "ABCDEFGHIJKLMNOPQ"},
                    EditCase{"Untouched", 1, "ATIS Frankfurt", "ATIS Frankfurt   ", 18, "ATIS Frankfurt   "},
                    EditCase{"Emptied", 1, "", "ATIS Frankfurt", -1, ""},
                    EditCase{"Umlaut", 1, "M\u00FChle \u20AC", "M\u00FChle \u20AC          ", 18,
                             "M\xFChle \x80          "},
                    EditCase{"NotInTheCodePage", 1, "\u0141\u00F3d\u017A", "?\u00F3d?             ", 18,
                             "?\xF3"
                             "d?             "},
                    EditCase{"Number7", 11, "7", "7", 1, "\xC7"}, EditCase{"Number12", 11, "12", "12", 1, "\xCC"},
                    EditCase{"NumberLetter", 11, "A", "3", -1, ""}, EditCase{"Number16", 11, "16", "3", -1, ""},
                    EditCase{"NumberEmptied", 11, "", "3", -1, ""}),
    [](const testing::TestParamInfo<EditCase>& p) { return std::string(p.param.name); });

TEST_F(SlotsPageTest, OnlyNameAndNumberCellsTakeTyping)
{
    QTableWidget* g = page()->SG_Speicher;
    for (int column = 1; column <= 11; ++column) {
        g->setCurrentCell(0, column - 1);
        const bool editable = g->editTriggers() != QAbstractItemView::NoEditTriggers;
        EXPECT_EQ(editable, column == 1 || column == 11) << "column " << column;
        EXPECT_EQ(page()->EditCol, column);
        EXPECT_EQ(page()->EditRow, 1);
    }
    writeFile(path("seed.Mem"), seed());
    open(path("seed.Mem"));
    w().show();
    w().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w()));
    g->setFocus();
    g->setCurrentCell(2, 1);
    QTest::keyClick(g, Qt::Key_F2);
    QTest::keyClicks(g, QStringLiteral("999"));
    g->setCurrentCell(2, 0);
    EXPECT_EQ(page()->cell(2, 3)->text(), QStringLiteral("00.118.125,0"));
    EXPECT_EQ(page()->slotStream().bytes(), seed());
}

class SlotsPageTyping : public SlotsPageTest {
protected:
    // Types `text` into the name cell of slot 3 through the cell editor and leaves it open.
    QLineEdit* typeName(const QString& text)
    {
        writeFile(path("seed.Mem"), seed());
        open(path("seed.Mem"));
        w().show();
        w().activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w()));
        QTableWidget* g = page()->SG_Speicher;
        g->setFocus();
        g->setCurrentCell(2, 0);
        QTest::keyClick(g, Qt::Key_F2);
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        EXPECT_NE(editor, nullptr);
        if (editor != nullptr) {
            editor->selectAll();
            QTest::keyClicks(editor, text);
        }
        return editor;
    }
    std::string storedName() { return page()->slotStream().record(3).name(); }
};

TEST_F(SlotsPageTyping, LeavingTheGridStoresTheTypedName)
{
    ASSERT_NE(typeName(QStringLiteral("Neu")), nullptr);
    page()->LB_Speicher->setFocus();
    EXPECT_EQ(storedName(), "Neu" + std::string(14, ' '));
    EXPECT_EQ(page()->cell(1, 3)->text(), QStringLiteral("Neu              "));
}

TEST_F(SlotsPageTyping, SavingFromTheMenuWhileTypingSavesTheTypedName)
{
    ASSERT_NE(typeName(QStringLiteral("Neu")), nullptr);
    save(path("typed.Mem"));
    const Bytes saved = readFile(path("typed.Mem"));
    ASSERT_EQ(saved.size(), 16128u);
    EXPECT_EQ(std::string(saved.begin() + 2 * 256 + 18, saved.begin() + 2 * 256 + 35), "Neu" + std::string(14, ' '));
}

}  // namespace
}  // namespace dztest
