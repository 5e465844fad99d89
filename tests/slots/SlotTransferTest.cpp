// The slot transfers against the simulated receiver, without widgets: the read
// with its slot blocks, the write and the clear, and how each one ends.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

#include <map>
#include <numeric>

#include "link/LinkFixture.h"
#include "slots/SlotTransfer.h"

namespace dztest {
namespace {

constexpr int kSlots = 63;

// Records what the transfer shows; a hook runs at every shown row, inside the read.
class RecordingView final : public dz::SlotView {
public:
    void setTransferButtonsEnabled(bool enabled) override { buttons.push_back(enabled); }
    void showByteCount(const QString& text) override
    {
        byteCounts << text;
        if (onByteCount) {
            onByteCount(text);
        }
    }
    void showSource(const QString& text) override { sources << text; }
    void ShowSlotRecord(const dz::SlotRecord& record, int row) override
    {
        rows[row] = Bytes(record.bytes.begin(), record.bytes.end());
        shownOrder.push_back(row);
        if (onRow) {
            onRow(row);
        }
    }
    void showMessage(const QString& text) override { messages << text; }
    void showMissing(const std::vector<int>& numbers) override { missing = numbers; }

    std::vector<bool> buttons;
    QStringList byteCounts;
    QStringList sources;
    std::map<int, Bytes> rows;
    std::vector<int> shownOrder;
    QStringList messages;
    std::vector<int> missing;
    std::function<void(int row)> onRow;
    std::function<void(const QString& count)> onByteCount;
};

Bytes concat(const std::array<Bytes, kSlots>& records)
{
    Bytes all;
    for (const Bytes& r : records) {
        all.insert(all.end(), r.begin(), r.end());
    }
    return all;
}

// What the store holds before a read, so that what a read leaves alone is seen.
Bytes oldStore()
{
    Bytes b(16128);
    for (std::size_t i = 0; i < b.size(); ++i) {
        b[i] = static_cast<uint8_t>(0xA0 ^ (i % 251));
    }
    return b;
}

Bytes recordAt(const Bytes& all, int slot)
{
    const auto at = all.begin() + (slot - 1) * 256;
    return Bytes(at, at + 256);
}

class SlotTransferTest : public LinkFixture {
protected:
    void SetUp() override
    {
        LinkFixture::SetUp();
        ASSERT_TRUE(backups.isValid());
        makeTransfer();
        sim.with([](dzsim::SimState& s) { s.stats.keepLog = true; });
    }

    void makeTransfer()
    {
        transfer = std::make_unique<dz::SlotTransfer>(*link, store, view, dz::SlotBackups(backups.path()));
    }

    // A short watchdog: a silent receiver costs every slot one wait.
    void shortWatchdog()
    {
        config.watchdogMs = 40;
        makeLink();
        makeTransfer();
    }

    QStringList backupFiles() { return QDir(backups.path()).entryList({QStringLiteral("*.Mem")}, QDir::Files); }
    Bytes backupBytes()
    {
        QFile f(QDir(backups.path()).filePath(backupFiles().value(0)));
        if (!f.open(QIODevice::ReadOnly)) {
            return {};
        }
        const QByteArray b = f.readAll();
        return Bytes(b.begin(), b.end());
    }
    QString backupLine() const { return QStringLiteral("The slots as they were before: ") + transfer->lastBackup(); }

    std::array<Bytes, kSlots> simRecords()
    {
        return sim.with([](dzsim::SimState& s) { return s.memory.records; });
    }
    template <class F>
    void onSimSlots(F f)
    {
        sim.with([&](dzsim::SimState& s) { f(s.memory); });
    }
    void fillStore(const Bytes& bytes) { ASSERT_TRUE(store.load(bytes)); }
    std::vector<Bytes> requestsOf(uint8_t code)
    {
        std::vector<Bytes> out;
        for (const Bytes& r : sim.stats().log) {
            if (r[0] == code) {
                out.push_back(r);
            }
        }
        return out;
    }

    QTemporaryDir backups;
    dz::SlotStream store;
    RecordingView view;
    std::unique_ptr<dz::SlotTransfer> transfer;
};

QStringList countsUpTo(int last)
{
    QStringList out{QStringLiteral("0")};
    for (int slot = 1; slot <= last; ++slot) {
        out << (slot == 63 ? QStringLiteral("16128  OK!") : QString::number(slot * 256));
    }
    return out;
}

TEST_F(SlotTransferTest, CompleteReadFillsEverySlotByteForByte)
{
    openLink();
    transfer->readAll();
    const Bytes expected = concat(simRecords());
    EXPECT_EQ(store.bytes(), expected);
    EXPECT_EQ(view.rows.size(), 63u);
    for (int slot = 1; slot <= kSlots; ++slot) {
        EXPECT_EQ(view.rows[slot], recordAt(expected, slot)) << "row " << slot;
    }
    EXPECT_EQ(view.byteCounts, countsUpTo(63));
    EXPECT_EQ(view.byteCounts.last(), QStringLiteral("16128  OK!"));
    EXPECT_EQ(view.sources, (QStringList{QStringLiteral("Try to read out..."), QStringLiteral("Read from KAV72!")}));
    EXPECT_EQ(view.buttons, (std::vector<bool>{false, true}));
    EXPECT_TRUE(view.messages.isEmpty());
    EXPECT_EQ(requestsOf(0x10), std::vector<Bytes>(63, Bytes{0x10}));
    EXPECT_FALSE(transfer->running());
}

TEST_F(SlotTransferTest, ShortBlocksKeepTheEightRecordBytesTheyCannotCarry)
{
    onSimSlots([](dzsim::SlotsJob& j) { j.shortBlocks = true; });
    fillStore(oldStore());
    openLink();
    transfer->readAll();
    const Bytes fromSim = concat(simRecords());
    const Bytes old = oldStore();
    for (int slot = 1; slot <= kSlots; ++slot) {
        const Bytes r = recordAt(store.bytes(), slot);
        EXPECT_TRUE(std::equal(r.begin(), r.begin() + 248, fromSim.begin() + (slot - 1) * 256)) << slot;
        EXPECT_TRUE(std::equal(r.begin() + 248, r.end(), old.begin() + (slot - 1) * 256 + 248)) << slot;
    }
    EXPECT_EQ(view.byteCounts.last(), QStringLiteral("16128  OK!"));
}

TEST_F(SlotTransferTest, FirstReadOfAShortStoreLeavesZerosWhereNoBlockCame)
{
    onSimSlots([](dzsim::SlotsJob& j) { j.missingSlot = 63; });
    const Bytes one(256, 0x77);
    store.storeRecordBytes(1, one.data(), 256);  // a store of one record
    openLink();
    transfer->readAll();
    ASSERT_EQ(store.size(), 16128u);
    EXPECT_EQ(recordAt(store.bytes(), 63), Bytes(256, 0));
    EXPECT_EQ(recordAt(store.bytes(), 1), simRecords()[0]);
}

TEST_F(SlotTransferTest, AMissingBlockShiftsNothing)
{
    onSimSlots([](dzsim::SlotsJob& j) { j.missingSlot = 5; });
    fillStore(oldStore());
    openLink();
    transfer->readAll();
    const auto fromSim = simRecords();
    for (int slot = 1; slot <= kSlots; ++slot) {
        const Bytes expected = slot == 5 ? recordAt(oldStore(), 5) : fromSim[static_cast<std::size_t>(slot - 1)];
        EXPECT_EQ(recordAt(store.bytes(), slot), expected) << "slot " << slot;
    }
    EXPECT_EQ(view.rows.count(5), 0u);
    EXPECT_EQ(view.rows.size(), 62u);
    EXPECT_EQ(view.missing, std::vector<int>{5});
    EXPECT_TRUE(view.messages.isEmpty());
    // The read went on past the gap, and does not claim to be complete.
    EXPECT_EQ(view.sources.last(), QStringLiteral("Read from KAV72 incomplete!"));
    EXPECT_EQ(view.byteCounts.last(), QStringLiteral("16128  OK!"));
}

TEST_F(SlotTransferTest, ASilentReceiverIsAskedForEverySlotAndTheMissingOnesAreNamed)
{
    shortWatchdog();
    dzsim::Faults f;
    f.silenceAfter = 10;
    sim.setFaults(f);
    openLink();
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(transfer->readAll(), dz::SlotTransfer::Result::Failed);
    EXPECT_GE(t.elapsed(), 53 * (config.watchdogMs - 5));
    EXPECT_EQ(requestsSeen(0x10), 63u);
    EXPECT_EQ(view.rows.size(), 10u);
    std::vector<int> silent(53);
    std::iota(silent.begin(), silent.end(), 11);
    EXPECT_EQ(view.missing, silent);
    EXPECT_EQ(view.sources.last(), QStringLiteral("Read from KAV72 incomplete!"));
    for (int slot = 11; slot <= kSlots; ++slot) {
        EXPECT_FALSE(store.known(slot)) << "slot " << slot;
    }
}

struct BadBlock {
    const char* name;
    void (*set)(dzsim::SlotsJob&, int slot);
};

void PrintTo(const BadBlock& b, std::ostream* os)
{
    *os << b.name;
}

class SlotTransferBadBlock : public SlotTransferTest, public testing::WithParamInterface<BadBlock> {};

TEST_P(SlotTransferBadBlock, IsAnErrorOnReadingAndStoresNothing)
{
    onSimSlots([](dzsim::SlotsJob& j) { GetParam().set(j, 9); });
    fillStore(oldStore());
    openLink();
    transfer->readAll();
    EXPECT_EQ(view.messages, QStringList{QStringLiteral("Error on reading!")});
    const auto fromSim = simRecords();
    for (int slot = 1; slot <= kSlots; ++slot) {
        const Bytes expected = slot == 9 ? recordAt(oldStore(), 9) : fromSim[static_cast<std::size_t>(slot - 1)];
        EXPECT_EQ(recordAt(store.bytes(), slot), expected) << "slot " << slot;
    }
    EXPECT_EQ(view.rows.count(9), 0u);
    EXPECT_EQ(view.rows.count(64), 0u);
    EXPECT_EQ(store.size(), 16128u);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, SlotTransferBadBlock,
    testing::Values(BadBlock{"WrongLength", [](dzsim::SlotsJob& j, int slot) { j.wrongLengthSlot = slot; }},
                    BadBlock{"SlotOutOfRange", [](dzsim::SlotsJob& j, int slot) { j.outOfRangeSlot = slot; }}),
    [](const testing::TestParamInfo<BadBlock>& p) { return std::string(p.param.name); });

TEST_F(SlotTransferTest, LinkLostDuringAReadEndsIt)
{
    dzsim::Faults f;
    f.dropAfter = 5;  // the receiver goes away when the sixth read arrives
    sim.setFaults(f);
    fillStore(oldStore());
    openLink();
    QElapsedTimer t;
    t.start();
    transfer->readAll();
    // The wait for the sixth block ended with the link, not by the watchdog later.
    EXPECT_LT(t.elapsed(), config.watchdogMs);
    EXPECT_EQ(linkLost, 1);
    EXPECT_FALSE(link->linkUp());
    EXPECT_EQ(view.shownOrder, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(recordAt(store.bytes(), 6), recordAt(oldStore(), 6));
    EXPECT_EQ(view.sources.last(), QStringLiteral("Read from KAV72 incomplete!"));
    EXPECT_EQ(view.buttons.back(), true);
    EXPECT_FALSE(transfer->running());
}

TEST_F(SlotTransferTest, ReceiverGoneInsideAReadEndsItAndNoSearchGetsIn)
{
    // Gone while the third block is shown; a search asked for meanwhile is refused, so it
    // cannot take the link down under the read either.
    openLink();
    view.onRow = [&](int row) {
        if (row == 3) {
            sim.stop();
            EXPECT_EQ(link->FindConnection(), dz::DeviceLink::SearchResult::Refused);
        }
    };
    bool gaveUp = false;
    QTimer::singleShot(10 * config.watchdogMs, [&] {
        gaveUp = true;
        transfer->stop();
    });
    transfer->readAll();
    EXPECT_FALSE(gaveUp);
    EXPECT_EQ(view.shownOrder, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(view.sources.last(), QStringLiteral("Read from KAV72 incomplete!"));
}

TEST_F(SlotTransferTest, StopEndsAReadAfterTheExchangeThatRuns)
{
    openLink();
    view.onRow = [&](int row) {
        if (row == 3) {
            transfer->stop();
        }
    };
    transfer->readAll();
    EXPECT_EQ(requestsOf(0x10).size(), 3u);
    EXPECT_TRUE(link->linkUp());
}

TEST_F(SlotTransferTest, NothingHappensWithoutTheLink)
{
    transfer->readAll();
    transfer->writeAll();
    transfer->clearAll();
    settle(30);
    EXPECT_EQ(requestsSeen(), 0u);
    EXPECT_TRUE(view.buttons.empty());
    EXPECT_TRUE(view.byteCounts.isEmpty());
    EXPECT_TRUE(view.sources.isEmpty());
}

TEST_F(SlotTransferTest, WriteBacksUpSendsEveryRecordAndReadsThemBack)
{
    Bytes mine = oldStore();
    fillStore(mine);
    const Bytes receiverBefore = concat(simRecords());
    openLink();
    EXPECT_EQ(transfer->writeAll(), dz::SlotTransfer::Result::Done);
    EXPECT_EQ(concat(simRecords()), mine);
    EXPECT_EQ(requestsOf(0x10).size(), 2u * 63u) << "the backup and the read-back";
    ASSERT_EQ(backupFiles().size(), 1);
    EXPECT_TRUE(backupFiles()[0].startsWith(QStringLiteral("slots-")));
    EXPECT_EQ(backupBytes(), receiverBefore);
    const auto writes = requestsOf(0x11);
    ASSERT_EQ(writes.size(), 63u);
    for (int slot = 1; slot <= kSlots; ++slot) {
        const Bytes& w = writes[static_cast<std::size_t>(slot - 1)];
        ASSERT_EQ(w.size(), 260u);
        EXPECT_EQ(w[1], slot);
        EXPECT_EQ(w[2], 0);
        EXPECT_EQ(w[3], 0);
    }
    EXPECT_EQ(view.byteCounts, countsUpTo(63));
    EXPECT_EQ(view.buttons, (std::vector<bool>{false, true}));
    EXPECT_EQ(view.messages,
              QStringList{QStringLiteral("63 slots were written to KAV72 and read back the same.\n") + backupLine()});
}

TEST_F(SlotTransferTest, AnEditWhileTheWriteRunsIsNeitherSentNorTakenForAFault)
{
    fillStore(oldStore());
    const Bytes pressed = store.bytes();
    view.onByteCount = [&](const QString& count) {
        if (count == QStringLiteral("2560")) {  // slot 10 is in; slot 20 changes under the write
            const Bytes edit(256, 0xEE);
            store.storeRecordBytes(20, edit.data(), 256);
        }
    };
    openLink();
    EXPECT_EQ(transfer->writeAll(), dz::SlotTransfer::Result::Done);
    EXPECT_EQ(concat(simRecords()), pressed);
    EXPECT_TRUE(view.messages.value(0).startsWith(QStringLiteral("63 slots were written")))
        << view.messages.value(0).toStdString();
    EXPECT_EQ(recordAt(store.bytes(), 20), Bytes(256, 0xEE)) << "the edit stays in the store";
}

TEST_F(SlotTransferTest, ASlotStoredWronglyIsNamedByTheReadBack)
{
    onSimSlots([](dzsim::SlotsJob& j) { j.wrongStoreSlot = 7; });
    fillStore(oldStore());
    openLink();
    EXPECT_EQ(transfer->writeAll(), dz::SlotTransfer::Result::Failed);
    ASSERT_EQ(view.messages.size(), 1);
    EXPECT_TRUE(view.messages[0].startsWith(QStringLiteral("Slot 7 read back differently")))
        << view.messages[0].toStdString();
    EXPECT_TRUE(view.messages[0].endsWith(backupLine()));
}

TEST_F(SlotTransferTest, ShortBlocksAreComparedOnTheBytesTheyCarry)
{
    onSimSlots([](dzsim::SlotsJob& j) { j.shortBlocks = true; });
    fillStore(oldStore());
    openLink();
    EXPECT_EQ(transfer->writeAll(), dz::SlotTransfer::Result::Done);
    EXPECT_TRUE(view.messages.value(0).startsWith(QStringLiteral("63 slots were written")))
        << view.messages.value(0).toStdString();
}

TEST_F(SlotTransferTest, WriteSendsOnlyTheRecordsTheStoreHolds)
{
    const auto before = simRecords();
    const Bytes two(2 * 256 + 100, 0x42);
    store.storeRecordBytes(1, two.data(), 256);
    store.storeRecordBytes(2, two.data(), 256);
    store.storeRecordBytes(3, two.data(), 100);
    openLink();
    transfer->writeAll();
    const auto records = simRecords();
    EXPECT_EQ(records[0], Bytes(256, 0x42));
    Bytes third(256, 0);
    std::fill(third.begin(), third.begin() + 100, 0x42);
    EXPECT_EQ(records[2], third);
    for (std::size_t i = 3; i < records.size(); ++i) {
        EXPECT_EQ(records[i], before[i]) << "slot " << i + 1 << " was never read or loaded";
    }
    EXPECT_EQ(requestsOf(0x11).size(), 3u);
    EXPECT_EQ(view.messages,
              QStringList{QStringLiteral("3 slots were written to KAV72 and read back the same.\n"
                                         "Slots 4-63 were never read or loaded, so they were not written."
                                         " The receiver keeps what it had there.\n") +
                          backupLine()});
}

TEST_F(SlotTransferTest, AnIncompleteReadThenAWriteLeavesTheSlotsThatDidNotComeAlone)
{
    dzsim::Faults f;
    f.dropAfter = 9;  // the read ends with the link after nine slots
    sim.setFaults(f);
    openLink();
    transfer->readAll();
    ASSERT_FALSE(link->linkUp());
    sim.setFaults(dzsim::Faults{});
    const auto before = simRecords();
    openLink();
    transfer->writeAll();
    EXPECT_EQ(requestsOf(0x11).size(), 9u);
    EXPECT_EQ(simRecords(), before) << "nine slots written back as they were read, the rest untouched";
}

struct Refusal {
    const char* name;
    bool clear;
    const char* message;
};

void PrintTo(const Refusal& r, std::ostream* os)
{
    *os << r.name;
}

class SlotTransferRefused : public SlotTransferTest, public testing::WithParamInterface<Refusal> {};

TEST_P(SlotTransferRefused, TheTenthAnsweredBusyStopsWithAMessage)
{
    onSimSlots([](dzsim::SlotsJob& j) { j.busyWriteSlot = 10; });
    const auto before = simRecords();
    fillStore(oldStore());
    openLink();
    GetParam().clear ? transfer->clearAll() : transfer->writeAll();
    EXPECT_EQ(view.messages, QStringList{QString::fromUtf8(GetParam().message) + QLatin1Char('\n') + backupLine()});
    EXPECT_EQ(requestsOf(0x11).size(), 10u);
    EXPECT_EQ(view.byteCounts.last(), QStringLiteral("2304"));
    EXPECT_EQ(view.buttons, (std::vector<bool>{false, true}));
    const auto after = simRecords();
    for (int slot = 1; slot <= kSlots; ++slot) {
        const auto i = static_cast<std::size_t>(slot - 1);
        const Bytes written = GetParam().clear ? Bytes(256, 0) : recordAt(oldStore(), slot);
        EXPECT_EQ(after[i], slot < 10 ? written : before[i]) << "slot " << slot;
    }
}

INSTANTIATE_TEST_SUITE_P(Transfers, SlotTransferRefused,
                         testing::Values(Refusal{"Write", false, "Error on saving!"},
                                         Refusal{"Clear", true, "Fehler beim Speichern!"}),
                         [](const testing::TestParamInfo<Refusal>& p) { return std::string(p.param.name); });

TEST_F(SlotTransferTest, WithoutAWholeBackupNothingIsWritten)
{
    shortWatchdog();
    dzsim::Faults f;
    f.silenceAfter = 2;
    sim.setFaults(f);
    fillStore(oldStore());
    const auto before = simRecords();
    openLink();
    EXPECT_EQ(transfer->writeAll(), dz::SlotTransfer::Result::Failed);
    EXPECT_EQ(view.messages,
              QStringList{QStringLiteral("Error on saving!\nThe slots in KAV72 could not all be read for "
                                         "the backup (missing: 3-63). Nothing was written; check the "
                                         "connection and try again.")});
    EXPECT_EQ(requestsOf(0x11).size(), 0u);
    EXPECT_EQ(simRecords(), before);
    EXPECT_TRUE(backupFiles().isEmpty());
}

TEST_F(SlotTransferTest, ABackupThatCannotBeSavedMeansNothingIsWritten)
{
    QFile blocker(QDir(backups.path()).filePath(QStringLiteral("file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    transfer = std::make_unique<dz::SlotTransfer>(*link, store, view, dz::SlotBackups(blocker.fileName()));
    fillStore(oldStore());
    openLink();
    EXPECT_EQ(transfer->writeAll(), dz::SlotTransfer::Result::Failed);
    ASSERT_EQ(view.messages.size(), 1);
    EXPECT_TRUE(
        view.messages[0].startsWith(QStringLiteral("Error on saving!\nThe backup of the slots in KAV72 could "
                                                   "not be saved")))
        << view.messages[0].toStdString();
    EXPECT_EQ(requestsOf(0x11).size(), 0u);
}

TEST_F(SlotTransferTest, ASilentReceiverAfterTheBackupFailsTheWriteAndNamesTheBackup)
{
    dzsim::Faults f;
    f.silenceAfter = 63 + 2;
    sim.setFaults(f);
    fillStore(oldStore());
    openLink();
    transfer->writeAll();
    EXPECT_EQ(view.messages, QStringList{QStringLiteral("Error on saving!\n") + backupLine()});
    EXPECT_EQ(view.byteCounts.last(), QStringLiteral("512"));
}

TEST_F(SlotTransferTest, ClearWritesZerosToEverySlotAndLeavesTheStore)
{
    fillStore(oldStore());
    openLink();
    transfer->clearAll();
    const auto clears = requestsOf(0x11);
    ASSERT_EQ(clears.size(), 63u);
    for (int slot = 1; slot <= kSlots; ++slot) {
        Bytes expected(260, 0);
        expected[0] = 0x11;
        expected[1] = static_cast<uint8_t>(slot);
        EXPECT_EQ(clears[static_cast<std::size_t>(slot - 1)], expected) << "slot " << slot;
    }
    EXPECT_EQ(concat(simRecords()), Bytes(16128, 0));
    EXPECT_EQ(store.bytes(), oldStore());
    EXPECT_EQ(view.byteCounts.last(), QStringLiteral("16128  OK!"));
    EXPECT_TRUE(view.rows.empty());
    EXPECT_EQ(view.messages,
              QStringList{QStringLiteral("All 63 slots in KAV72 were cleared and read back empty.\n") + backupLine()});
    EXPECT_EQ(backupFiles().size(), 1);
}

}  // namespace
}  // namespace dztest

namespace dztest {
namespace {

TEST(SlotBackups, KeepTheNewestTwentyAndNeverOverwriteOne)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const dz::SlotBackups backups(QDir(dir.path()).filePath(QStringLiteral("backups")));
    dz::SlotStream records;
    ASSERT_TRUE(records.load(Bytes(16128, 0x11)));
    const QDateTime start(QDate(2026, 12, 11), QTime(9, 0, 0));
    QStringList made;
    for (int i = 0; i < 22; ++i) {
        const auto saved = backups.save(records, start.addSecs(i));
        ASSERT_TRUE(saved.error.isEmpty()) << saved.error.toStdString();
        made << QFileInfo(saved.path).fileName();
    }
    const auto again = backups.save(records, start.addSecs(21));  // the same second as the last one
    EXPECT_EQ(QFileInfo(again.path).fileName(), QStringLiteral("slots-20261211-090021-02.Mem"));
    const QStringList kept = QDir(backups.folder()).entryList({QStringLiteral("*.Mem")}, QDir::Files, QDir::Name);
    EXPECT_EQ(kept.size(), dz::SlotBackups::kKept);
    EXPECT_EQ(made.first(), QStringLiteral("slots-20261211-090000.Mem"));
    EXPECT_FALSE(kept.contains(made[0]));
    EXPECT_FALSE(kept.contains(made[2]));
    EXPECT_TRUE(kept.contains(made[3]));
    EXPECT_EQ(kept.last(), QStringLiteral("slots-20261211-090021.Mem"));
    EXPECT_TRUE(kept.contains(QStringLiteral("slots-20261211-090021-02.Mem")));
}

}  // namespace
}  // namespace dztest
