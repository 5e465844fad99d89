// Every fault of the simulated receiver against every operation of the window. In
// each cell the operation must end with the program's message for that failure (its
// usual outcome where the fault does no harm) within the watchdog's time and a
// second, leave on the receiver only what the receiver acknowledged, touch no file,
// and the next operations must work once the fault is lifted. The matrix is printed
// at the end, and written to fault_matrix.txt in the working directory.

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "scan/ScanPage.h"
#include "slots/SlotsPage.h"
#include "support/AppHarness.h"
#include "update/UpdatePage.h"

namespace dztest {
namespace {

using Bytes = std::vector<uint8_t>;
using Records = std::array<Bytes, dzsim::SlotsJob::kSlots>;

constexpr int kSlots = dzsim::SlotsJob::kSlots;
constexpr int kRecordSize = dzsim::SlotsJob::kRecordSize;
// An operation still running this long past the watchdog is ended by closing the window: one
// hang must not cost the rest of the matrix.
constexpr int kRescueMs = 5000;
// Between two operations a person reads the box and clicks on. The program does not wait for
// every answer (the search reads once, an update's closing block goes unanswered); what is
// still on its way when the next request goes out is taken for that request's answer.
constexpr int kPersonMs = 50;

// What a fault does to an operation that it reaches.
enum Effect { kHarmless, kSilence, kDrop, kBadFrame, kUnknownRecord, kBadBlock, kEffects };

// A fault that belongs to one job reaches only the operations of that job.
enum Kind : unsigned {
    kStartUp = 1u << 0,
    kSync = 1u << 1,
    kSearch = 1u << 2,
    kUpdate = 1u << 3,
    kSlotRead = 1u << 4,
    kSlotWrite = 1u << 5,
    kSlotClear = 1u << 6,
    kScan = 1u << 7,
    kEveryKind = ~0u,
};

// The shared files: two update files of a few KB and a memory file unlike the receiver's slots.
const char kPocketFile[] = "P.KPF";
const char kLanFile[] = "L.BIN";
const char kMemoryFile[] = "W.Mem";

Bytes memoryFileRecord(int slot)
{
    Bytes r(kRecordSize);
    for (int i = 0; i < kRecordSize; ++i) {
        r[static_cast<std::size_t>(i)] = static_cast<uint8_t>(slot * 29 + i * 11 + 0xA5);
    }
    return r;
}

void writeFile(const QString& path, const Bytes& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size())),
              static_cast<qint64>(bytes.size()));
}

Bytes readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray b = f.readAll();
    return Bytes(b.begin(), b.end());
}

void writeSharedFiles(const QDir& dir)
{
    const auto pattern = [](int size) {
        Bytes b(static_cast<std::size_t>(size));
        for (int i = 0; i < size; ++i) {
            b[static_cast<std::size_t>(i)] = static_cast<uint8_t>(i * 13 + i / 256);
        }
        return b;
    };
    writeFile(dir.filePath(QString::fromLatin1(kPocketFile)), pattern(4000));
    writeFile(dir.filePath(QString::fromLatin1(kLanFile)), pattern(3000));
    Bytes memory;
    for (int slot = 1; slot <= kSlots; ++slot) {
        const Bytes r = memoryFileRecord(slot);
        memory.insert(memory.end(), r.begin(), r.end());
    }
    writeFile(dir.filePath(QString::fromLatin1(kMemoryFile)), memory);
}

// One cell's receiver, window and files.
struct Cell {
    explicit Cell(const QDir& dir) : files(dir) {}
    AppHarness h;
    const QDir files;
    dz::TFMain& w() { return *h.window; }
    dz::UpdatePage& update() { return *h.window->TS_Download; }
    dz::SlotsPage& slotsPage() { return *h.window->TS_Speicher; }
    QString path(const char* name) const { return files.filePath(QString::fromLatin1(name)); }
};

// Preparations, before the fault is set.
void nothing(Cell&) {}

void choose(Cell& c, QRadioButton* target, const char* file)
{
    target->click();
    c.h.dialogs.files.push_back(c.path(file));
    c.w().MI_OeffnenClick();
}

void choosePocketFile(Cell& c)
{
    choose(c, c.update().RB_Pocket, kPocketFile);
}

void chooseLanFile(Cell& c)
{
    choose(c, c.update().RB_LAN, kLanFile);
}

// Slot operations start with the memory file in the store: a read that leaves a slot alone shows.
void openMemoryFile(Cell& c)
{
    c.w().PC_main->setCurrentWidget(&c.slotsPage());
    c.h.dialogs.files.push_back(c.path(kMemoryFile));
    c.w().MI_OeffnenClick();
}

// A small area keeps the scan short: 20 columns of 30 rows.
void chooseScanArea(Cell& c)
{
    dz::ScanPage& page = *c.w().TS_Dispcpy;
    c.w().PC_main->setCurrentWidget(&page);
    page.SE_B->setValue(20);
    page.SE_H->setValue(30);
    page.SE_X->setValue(200);
    page.SE_Y->setValue(100);
}

// The operations.
void startUp(Cell& c)
{
    c.w().FormCreate();
}

void synchronize(Cell& c)
{
    c.update().B_SyncClick();
}

void search(Cell& c)
{
    c.w().MI_WLANClick();
}

void startUpdate(Cell& c)
{
    c.update().B_StartClick();
}

void readSlots(Cell& c)
{
    c.slotsPage().B_LadenClick();
}

void writeSlots(Cell& c)
{
    c.slotsPage().B_SpeichernClick();
}

void clearSlots(Cell& c)
{
    c.slotsPage().B_LoeschenClick();
}

void scanScreen(Cell& c)
{
    c.w().TS_Dispcpy->B_DispcpyClick();
}

// What the window shows besides its boxes.
QString linkShown(Cell& c)
{
    return c.w().CB_WLAN->isChecked() ? QStringLiteral("link up") : QStringLiteral("link down");
}

QString versionShown(Cell& c)
{
    const QString text = c.w().EWLANDevice->text();
    return text.isEmpty() ? QStringLiteral("no version") : text;
}

QString imageShown(Cell& c)
{
    if (c.update().CB_Konfiguration->isChecked()) {
        return c.update().CB_Konfiguration->text();
    }
    return c.update().CB_Boot->isChecked() ? c.update().CB_Boot->text() : QStringLiteral("no image");
}

QString startUpShows(Cell& c)
{
    return linkShown(c) + QStringLiteral(", ") + versionShown(c) + QStringLiteral(", ") + imageShown(c);
}

QString syncShows(Cell& c)
{
    return linkShown(c) + QStringLiteral(", ") + imageShown(c);
}

QString searchShows(Cell& c)
{
    return linkShown(c) + QStringLiteral(", ") + versionShown(c);
}

QString readShows(Cell& c)
{
    return linkShown(c) + QStringLiteral(", ") + c.slotsPage().LB_Speicher->item(0)->text();
}

QString columnShown(Cell& c)
{
    return linkShown(c) + QStringLiteral(", Column: ") + c.w().TS_Dispcpy->L_Spalte->text();
}

QString bytesShown(Cell& c)
{
    return linkShown(c) + QStringLiteral(", Bytes: ") + c.slotsPage().L_SBytes->text();
}

struct Operation {
    const char* name;
    Kind kind;
    int at;          // the request of the operation that a fault lands on
    int splitGapMs;  // byte by byte 1 ms apart, the 16 KB of a slot read would take 16 s
    int waits;       // the most watchdog waits it may take: a read asks for every slot
    void (*prepare)(Cell&);
    void (*run)(Cell&);
    QString (*shows)(Cell&);
    bool repeatable;  // start-up runs once per window
    // What the operation ends with, by the effect of the fault: boxes | what the window shows.
    std::array<const char*, kEffects> expected;
};

const char kSynced[] = "no box | link up, Dizuro Software active";
const char kNoVersion[] = "no box | link up, no version, Dizuro Software active";
const char kUpdated[] = "File transfer finished successfully! | link up";
const char kNotLoaded[] = "File cannot be loaded into KAV! | link up";
const char kReadBroken[] = "no box | link up, Read from KAV72 incomplete!";
// 2304 bytes: the nine slots before the tenth write, where the slot operations' faults land
// (after the 63 reads of the backup).
const char kSaveError[] = "Error on saving!\nThe slots as they were before: <backup> | link up, Bytes: 2304";
const char kClearError[] = "Fehler beim Speichern!\nThe slots as they were before: <backup> | link up, Bytes: 2304";
// The tenth request of a scan is the acknowledgement that asks for column 8.
const char kScanBroken[] = "Device doesn't respond! | link up, Column: 8";

// clang-format off
const Operation kOperations[] = {
    {"start-up", kStartUp, 2, 1, 1, nothing, startUp, startUpShows, false,
     {"no box | link up, LAN V05; KAV0054 V107, Dizuro Software active", kNoVersion,
      "KAV doesn't respond to WLAN! | link down, no version, Dizuro Software active", kNoVersion, kNoVersion, nullptr}},
    {"synchronize", kSync, 1, 1, 1, nothing, synchronize, syncShows, true,
     {kSynced, "no box | link up, no image", "KAV doesn't respond to WLAN! | link down, no image",
      "no box | link up, no image", "no box | link up, no image", nullptr}},
    {"search", kSearch, 1, 1, 1, nothing, search, searchShows, true,
     {"no box | link up, LAN V05; KAV0054 V107", "no box | link up, no version",
      "KAV doesn't respond to WLAN! | link down, no version", "no box | link up, no version",
      "no box | link up, no version", nullptr}},
    {"update .KPF", kUpdate, 8, 1, 1, choosePocketFile, startUpdate, linkShown, true,
     {kUpdated, "Timeout: Device doesn't respond! | link up",
      "KAV doesn't respond to WLAN! + File cannot be loaded into KAV! | link down", kNotLoaded, kNotLoaded, nullptr}},
    {"update .BIN", kUpdate, 6, 1, 1, chooseLanFile, startUpdate, linkShown, true,
     {kUpdated, "Timeout: Device doesn't respond! | link up",
      "KAV doesn't respond to WLAN! + File cannot be loaded into KAV! | link down", kNotLoaded, kNotLoaded, nullptr}},
    {"slot read", kSlotRead, 10, 0, 63, openMemoryFile, readSlots, readShows, true,
     {"no box | link up, Read from KAV72!", kReadBroken,
      "KAV doesn't respond to WLAN! | link down, Read from KAV72 incomplete!", kReadBroken, kReadBroken,
      "Error on reading! | link up, Read from KAV72 incomplete!"}},
    {"slot write", kSlotWrite, 63 + 10, 0, 1, openMemoryFile, writeSlots, bytesShown, true,
     {"63 slots were written to KAV72 and read back the same.\nThe slots as they were before: <backup> | link up, "
      "Bytes: 16128  OK!", kSaveError,
      "KAV doesn't respond to WLAN! + Error on saving!\nThe slots as they were before: <backup> | link down, "
      "Bytes: 2304", kSaveError, kSaveError, nullptr}},
    {"slot clear", kSlotClear, 63 + 10, 0, 1, openMemoryFile, clearSlots, bytesShown, true,
     {"All 63 slots in KAV72 were cleared and read back empty.\nThe slots as they were before: <backup> | link up, "
      "Bytes: 16128  OK!", kClearError,
      "KAV doesn't respond to WLAN! + Fehler beim Speichern!\nThe slots as they were before: <backup> | link down, "
      "Bytes: 2304", kClearError, kClearError, nullptr}},
    {"scan", kScan, 10, 0, 1, chooseScanArea, scanScreen, columnShown, true,
     {"All data received! | link up, Column: 20", "Timeout: Device doesn't respond! | link up, Column: 8",
      "KAV doesn't respond to WLAN! + Device doesn't respond! | link down, Column: 8", kScanBroken, kScanBroken,
      kScanBroken}},
};
// clang-format on

struct Fault {
    const char* name;
    Effect effect;
    unsigned reaches;  // the kinds of operation it does anything to
    void (*apply)(dzsim::Faults&, dzsim::SimState&, const Operation&);
};

// clang-format off
const Fault kFaults[] = {
    {"split", kHarmless, kEveryKind,
     [](dzsim::Faults& f, dzsim::SimState&, const Operation& op) { f.split = true; f.splitGapMs = op.splitGapMs; }},
    {"coalesce", kHarmless, kEveryKind, [](dzsim::Faults& f, dzsim::SimState&, const Operation&) { f.coalesce = true; }},
    {"silence", kSilence, kEveryKind,
     [](dzsim::Faults& f, dzsim::SimState&, const Operation& op) { f.silenceAfter = op.at - 1; }},
    {"drop", kDrop, kEveryKind, [](dzsim::Faults& f, dzsim::SimState&, const Operation& op) { f.dropAfter = op.at - 1; }},
    {"oversize", kBadFrame, kEveryKind,
     [](dzsim::Faults& f, dzsim::SimState&, const Operation& op) { f.oversizeAt = op.at; }},
    {"undersize", kBadFrame, kEveryKind,
     [](dzsim::Faults& f, dzsim::SimState&, const Operation& op) { f.undersizeAt = op.at; }},
    {"unknown code", kUnknownRecord, kEveryKind,
     [](dzsim::Faults& f, dzsim::SimState&, const Operation& op) { f.unknownCodeAt = op.at; }},
    {"busy storm", kHarmless, kUpdate,
     [](dzsim::Faults&, dzsim::SimState& s, const Operation&) { s.update.busyEvery = 2; s.update.busyRepeats = 3; s.update.busyGapMs = 2; }},
    {"slot > 63", kBadBlock, kSlotRead,
     [](dzsim::Faults&, dzsim::SimState& s, const Operation& op) { s.memory.outOfRangeSlot = op.at; }},
    {"column length", kBadBlock, kScan,
     [](dzsim::Faults&, dzsim::SimState& s, const Operation& op) { s.scan.wrongLengthColumn = op.at - 2; }},
};
// clang-format on

// Cells where the program ends otherwise than it should: marked ~ in the matrix until fixed.
struct Deviation {
    const char* operation;
    const char* fault;
    const char* seen;
};

// None left: the search now waits for the rest of a version record that comes in pieces.
const std::vector<Deviation> kDeviations;

const Deviation* deviationOf(const Operation& op, const Fault& fault)
{
    for (const Deviation& d : kDeviations) {
        if (std::string(d.operation) == op.name && std::string(d.fault) == fault.name) {
            return &d;
        }
    }
    return nullptr;
}

void liftFaults(dzsim::SimReceiver& sim)
{
    sim.setFaults({});
    sim.with([](dzsim::SimState& s) {
        const dzsim::UpdateJob update;
        s.update.busyEvery = update.busyEvery;
        s.update.busyRepeats = update.busyRepeats;
        s.update.busyGapMs = update.busyGapMs;
        s.update.startAnswer = update.startAnswer;
        const dzsim::SlotsJob memory;
        s.memory.shortBlocks = memory.shortBlocks;
        s.memory.wrongLengthSlot = memory.wrongLengthSlot;
        s.memory.outOfRangeSlot = memory.outOfRangeSlot;
        s.memory.missingSlot = memory.missingSlot;
        s.memory.busyWriteSlot = memory.busyWriteSlot;
        const dzsim::ScanJob scan;
        s.scan.status = scan.status;
        s.scan.wrongLengthColumn = scan.wrongLengthColumn;
        s.scan.indexBeyondColumn = scan.indexBeyondColumn;
        s.scan.outOfOrder = scan.outOfOrder;
        s.scan.silentColumn = scan.silentColumn;
        s.scan.startWithColumn = scan.startWithColumn;
    });
}

Records receiverSlots(Cell& c)
{
    return c.h.sim.with([](dzsim::SimState& s) { return s.memory.records; });
}

Bytes recordOf(const dz::SlotStream& store, int slot)
{
    const dz::SlotRecord r = store.record(slot);
    return Bytes(r.bytes.begin(), r.bytes.end());
}

// What a run may change: the receiver's slots, the page's store and the files.
struct Snapshot {
    Records receiver;
    dz::SlotStream store;
    std::map<QString, Bytes> files;
};

Snapshot snapshot(Cell& c)
{
    Snapshot s{receiverSlots(c), c.slotsPage().slotStream(), {}};
    for (const QString& name : c.files.entryList(QDir::Files | QDir::Hidden)) {
        s.files[name] = readFile(c.files.filePath(name));
    }
    return s;
}

struct Run {
    QString seen;
    qint64 ms = 0;
    bool hung = false;
};

// The boxes shown since `boxesBefore`, then what the window shows.
QString seenSince(Cell& c, qsizetype boxesBefore, QString (*shows)(Cell&))
{
    // Every write makes a backup file of its own; its name is no outcome.
    static const QRegularExpression backupFile(QStringLiteral("(as they were before: )\\S*"));
    const QStringList boxes = c.h.dialogs.shown.mid(boxesBefore);
    return (boxes.isEmpty() ? QStringLiteral("no box") : boxes.join(QStringLiteral(" + ")))
               .replace(backupFile, QStringLiteral("\\1<backup>")) +
           QStringLiteral(" | ") + shows(c);
}

Run perform(Cell& c, const Operation& op)
{
    const qsizetype boxesBefore = c.h.dialogs.shown.size();
    const uint64_t requestsBefore = c.h.sim.stats().requests;
    Run run;
    QTimer rescue;
    rescue.setSingleShot(true);
    QObject::connect(&rescue, &QTimer::timeout, [&] {
        run.hung = true;
        c.w().close();  // ends every wait of the operation
    });
    const int boundMs = op.waits * c.h.config.link.watchdogMs + 1000;
    rescue.start(boundMs + kRescueMs);
    QElapsedTimer t;
    t.start();
    op.run(c);
    run.ms = t.elapsed();
    rescue.stop();
    // The search hands its version record on through the event queue.
    QCoreApplication::sendPostedEvents();
    run.seen = seenSince(c, boxesBefore, op.shows);
    EXPECT_FALSE(run.hung) << op.name << " did not end; the window was closed after " << run.ms << " ms";
    EXPECT_LT(run.ms, boundMs) << op.name;
    EXPECT_GE(c.h.sim.stats().requests - requestsBefore, static_cast<uint64_t>(op.at))
        << op.name << ": the fault's request was never sent";
    return run;
}

// The slots written by the time of the last count the page showed.
int acknowledgedSlots(Cell& c)
{
    const QString shown = c.slotsPage().L_SBytes->text();
    if (shown == QStringLiteral("16128  OK!")) {
        return kSlots;
    }
    bool number = false;
    const int bytes = shown.toInt(&number);
    EXPECT_TRUE(number && bytes % kRecordSize == 0) << shown.toStdString();
    return bytes / kRecordSize;
}

void checkReceiverSlots(Cell& c, const Operation& op, const Snapshot& before)
{
    const Records now = receiverSlots(c);
    if ((op.kind & (kSlotWrite | kSlotClear)) == 0) {
        for (int slot = 1; slot <= kSlots; ++slot) {
            EXPECT_TRUE(now[slot - 1] == before.receiver[slot - 1]) << "receiver slot " << slot << " changed";
        }
        return;
    }
    // The slot whose answer never came may or may not have been stored: the receiver cannot say.
    const int acked = acknowledgedSlots(c);
    for (int slot = 1; slot <= kSlots; ++slot) {
        const Bytes sent = op.kind == kSlotWrite ? recordOf(before.store, slot) : Bytes(kRecordSize, 0);
        const Bytes& old = before.receiver[slot - 1];
        const Bytes& is = now[slot - 1];
        if (slot <= acked) {
            EXPECT_TRUE(is == sent) << "receiver slot " << slot << " acknowledged but not stored";
        } else if (slot == acked + 1) {
            EXPECT_TRUE(is == sent || is == old) << "receiver slot " << slot << " is neither old nor sent";
        } else {
            EXPECT_TRUE(is == old) << "receiver slot " << slot << " changed without being acknowledged";
        }
    }
}

void checkStore(Cell& c, const Operation& op, const Snapshot& before, bool success)
{
    const dz::SlotStream& store = c.slotsPage().slotStream();
    const Records receiver = receiverSlots(c);
    for (int slot = 1; slot <= kSlots; ++slot) {
        const Bytes is = recordOf(store, slot);
        const Bytes old = recordOf(before.store, slot);
        if (op.kind != kSlotRead) {
            EXPECT_TRUE(is == old) << "store slot " << slot << " changed";
        } else if (success || slot < op.at) {
            EXPECT_TRUE(is == receiver[slot - 1]) << "store slot " << slot << " not read";
        } else {
            EXPECT_TRUE(is == old || is == receiver[slot - 1]) << "store slot " << slot << " holds a wrong record";
        }
    }
}

void checkUpdate(Cell& c, const Operation& op, bool success)
{
    const Bytes file = op.kind == kUpdate ? readFile(c.update().FirmwarePath) : Bytes{};
    const bool pocket = c.update().RB_Pocket->isChecked();
    c.h.sim.with([&](dzsim::SimState& s) {
        const dzsim::UpdateJob& u = s.update;
        if (op.kind != kUpdate) {
            EXPECT_EQ(u.target, dzsim::UpdateJob::Target::None);
            return;
        }
        EXPECT_EQ(u.target, pocket ? dzsim::UpdateJob::Target::Pocket : dzsim::UpdateJob::Target::Lan);
        EXPECT_EQ(u.sequenceErrors, 0);
        EXPECT_LE(u.data.size(), file.size());
        EXPECT_TRUE(std::equal(u.data.begin(), u.data.end(), file.begin())) << "the receiver got other bytes";
        if (success) {
            EXPECT_TRUE(u.data == file) << "the receiver has " << u.data.size() << " of " << file.size() << " bytes";
        }
    });
}

// The data checks that hold after any run: what the program claims, it must have done.
void checkData(Cell& c, const Operation& op, const Snapshot& before, const Run& run)
{
    const bool success = run.seen == QString::fromLatin1(op.expected[kHarmless]);
    checkReceiverSlots(c, op, before);
    checkStore(c, op, before, success);
    checkUpdate(c, op, success);
    EXPECT_TRUE(snapshot(c).files == before.files) << "files on disk changed";
}

struct Result {
    QString seen;
    QString expected;
    qint64 ms = 0;
    bool failed = false;
    bool deviation = false;
};

int failuresSoFar()
{
    return testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
}

void runCell(const QDir& dir, const Operation& op, const Fault& fault, Result& result)
{
    const Effect effect = (fault.reaches & op.kind) != 0 ? fault.effect : kHarmless;
    ASSERT_NE(op.expected[effect], nullptr) << "no outcome for this effect";
    auto cell = std::make_unique<Cell>(dir);
    Cell& c = *cell;
    c.h.config.update.clearingTickMs = 10;
    c.h.sim.with([](dzsim::SimState& s) { s.update.clearMs = 20; });
    c.h.build();
    if (op.kind != kStartUp) {
        c.w().FormCreate();
        ASSERT_TRUE(c.h.dialogs.shown.isEmpty()) << c.h.dialogs.shown.join(QLatin1Char('|')).toStdString();
        ASSERT_TRUE(c.update().deviceModeKnown());
    }
    op.prepare(c);
    ASSERT_TRUE(c.h.dialogs.shown.isEmpty()) << c.h.dialogs.shown.join(QLatin1Char('|')).toStdString();

    Snapshot before = snapshot(c);
    dzsim::Faults faults;
    c.h.sim.with([&](dzsim::SimState& s) { fault.apply(faults, s, op); });
    c.h.sim.setFaults(faults);
    const Run run = perform(c, op);
    result.seen = run.seen;
    result.expected = QString::fromLatin1(op.expected[effect]);
    result.ms = run.ms;
    const Deviation* deviation = deviationOf(op, fault);
    if (deviation != nullptr && run.seen == QString::fromLatin1(deviation->seen)) {
        result.deviation = true;
    } else {
        EXPECT_EQ(run.seen, QString::fromLatin1(op.expected[effect]));
    }
    checkData(c, op, before, run);
    if (run.hung) {
        return;
    }

    // With the fault lifted, the link comes back if it went, and the next operations work.
    liftFaults(c.h.sim);
    const qsizetype boxes = c.h.dialogs.shown.size();
    settle(kPersonMs);
    if (!c.w().CB_WLAN->isChecked()) {
        c.w().MI_WLANClick();
        EXPECT_TRUE(waitFor([&] { return c.w().EWLANDevice->text() == QStringLiteral("LAN V05; KAV0054 V107"); }))
            << "the search did not bring the link back";
        EXPECT_EQ(c.h.dialogs.shown.size(), boxes) << c.h.dialogs.shown.join(QLatin1Char('|')).toStdString();
        settle(kPersonMs);
    }
    synchronize(c);
    EXPECT_EQ(seenSince(c, boxes, syncShows), QString::fromLatin1(kSynced)) << "a synchronisation, fault lifted";
    if (op.repeatable) {
        settle(kPersonMs);
        before = snapshot(c);
        const Run again = perform(c, op);
        EXPECT_EQ(again.seen, QString::fromLatin1(op.expected[kHarmless])) << "the operation again, fault lifted";
        checkData(c, op, before, again);
    }
}

std::string padded(const std::string& text, std::size_t width)
{
    std::string s = text;
    s.resize(std::max(s.size() + 1, width), ' ');
    return s;
}

std::string codeOf(int index)
{
    return std::string(1, static_cast<char>(index < 26 ? 'A' + index : 'a' + index - 26));
}

// The grid names each outcome by a code; the legend below it gives the outcome in full.
std::string render(const std::vector<std::vector<Result>>& results, qint64 suiteMs)
{
    constexpr std::size_t kFirst = 14;
    constexpr std::size_t kWidth = 14;
    QStringList legend;
    std::string grid = padded("", kFirst);
    for (const Fault& f : kFaults) {
        grid += padded(f.name, kWidth);
    }
    grid += '\n';
    std::string offTable;
    int failed = 0;
    int deviations = 0;
    for (std::size_t o = 0; o < results.size(); ++o) {
        grid += padded(kOperations[o].name, kFirst);
        for (std::size_t f = 0; f < results[o].size(); ++f) {
            const Result& r = results[o][f];
            if (!legend.contains(r.seen)) {
                legend << r.seen;
            }
            const std::string mark = r.failed ? "!" : r.deviation ? "~" : "";
            grid +=
                padded(codeOf(static_cast<int>(legend.indexOf(r.seen))) + mark + " " + std::to_string(r.ms), kWidth);
            failed += r.failed ? 1 : 0;
            deviations += r.deviation ? 1 : 0;
            if (r.seen != r.expected) {
                offTable += mark + " " + kOperations[o].name + " x " + kFaults[f].name +
                            " should end with: " + r.expected.toStdString() + '\n';
            }
        }
        grid += '\n';
    }
    std::string out = "\nFault matrix: operation x fault -> outcome and milliseconds (! failed, ~ known deviation)\n\n";
    out += grid + '\n';
    for (int i = 0; i < legend.size(); ++i) {
        out += codeOf(i) + "  " + QString(legend[i]).replace(QLatin1Char('\n'), QStringLiteral(" / ")).toStdString() +
               '\n';
    }
    if (!offTable.empty()) {
        out += '\n' + offTable;
    }
    out += "\n" + std::to_string(results.size() * std::size(kFaults)) + " cells, " + std::to_string(failed) +
           " failed, " + std::to_string(deviations) + " known deviations, " + std::to_string(suiteMs) + " ms\n";
    return out;
}

TEST(FaultMatrix, EveryFaultAgainstEveryOperation)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    writeSharedFiles(QDir(dir.path()));
    QElapsedTimer suite;
    suite.start();
    std::vector<std::vector<Result>> results;
    for (const Operation& op : kOperations) {
        results.emplace_back();
        for (const Fault& fault : kFaults) {
            SCOPED_TRACE(std::string("cell ") + op.name + " x " + fault.name);
            Result r;
            const int failuresBefore = failuresSoFar();
            runCell(QDir(dir.path()), op, fault, r);
            r.failed = failuresSoFar() != failuresBefore;
            results.back().push_back(r);
        }
    }
    const std::string table = render(results, suite.elapsed());
    std::fputs(table.c_str(), stdout);
    std::fflush(stdout);
    QFile file(QStringLiteral("fault_matrix.txt"));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(table.data(), static_cast<qint64>(table.size()));
    }
}

}  // namespace
}  // namespace dztest
