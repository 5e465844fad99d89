// The slot transfers against the simulated receiver, without widgets: the read
// with its slot blocks, the write and the clear, and how each one ends.

#include <QTimer>

#include <map>

#include "link/LinkFixture.h"
#include "slots/SlotTransfer.h"

namespace dztest {
namespace {

constexpr int kSlots = 63;

// Records what the transfer shows; a hook runs at every shown row, inside the read.
class RecordingView final : public dz::SlotView {
public:
    void setTransferButtonsEnabled(bool enabled) override { buttons.push_back(enabled); }
    void showByteCount(const QString& text) override { byteCounts << text; }
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

    std::vector<bool> buttons;
    QStringList byteCounts;
    QStringList sources;
    std::map<int, Bytes> rows;
    std::vector<int> shownOrder;
    QStringList messages;
    std::function<void(int row)> onRow;
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
        transfer = std::make_unique<dz::SlotTransfer>(*link, store, view);
        sim.with([](dzsim::SimState& s) { s.stats.keepLog = true; });
    }

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
    EXPECT_TRUE(view.messages.isEmpty());
    // The read went on past the gap, and does not claim to be complete.
    EXPECT_EQ(view.sources.last(), QStringLiteral("Read from KAV72 incomplete!"));
    EXPECT_EQ(view.byteCounts.last(), QStringLiteral("16128  OK!"));
}

TEST_F(SlotTransferTest, AReceiverThatFallsSilentEndsTheReadAfterTwoSlots)
{
    dzsim::Faults f;
    f.silenceAfter = 10;
    sim.setFaults(f);
    openLink();
    QElapsedTimer t;
    t.start();
    transfer->readAll();
    EXPECT_LT(t.elapsed(), 2 * config.watchdogMs + 1000);
    EXPECT_EQ(requestsSeen(0x10), 12u);
    EXPECT_EQ(view.rows.size(), 10u);
    EXPECT_EQ(view.sources.last(), QStringLiteral("Read from KAV72 incomplete!"));
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

TEST_F(SlotTransferTest, WriteSendsEveryRecordOfTheStore)
{
    Bytes mine = oldStore();
    fillStore(mine);
    openLink();
    transfer->writeAll();
    EXPECT_EQ(concat(simRecords()), mine);
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
    EXPECT_TRUE(view.messages.isEmpty());
}

TEST_F(SlotTransferTest, WriteOfAShortStoreSendsZerosForTheMissingRecords)
{
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
    EXPECT_EQ(records[62], Bytes(256, 0));
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
    EXPECT_EQ(view.messages, QStringList{QString::fromUtf8(GetParam().message)});
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

TEST_F(SlotTransferTest, ASilentReceiverFailsTheWriteByTheWatchdog)
{
    dzsim::Faults f;
    f.silenceAfter = 2;
    sim.setFaults(f);
    fillStore(oldStore());
    openLink();
    transfer->writeAll();
    EXPECT_EQ(view.messages, QStringList{QStringLiteral("Error on saving!")});
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
}

}  // namespace
}  // namespace dztest
