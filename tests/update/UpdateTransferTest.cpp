// Whole transfers against the simulated receiver, without any window: what arrives
// at the receiver, what the page would show, and how each failure ends.

#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

#include "link/LinkFixture.h"
#include "update/UpdateTransfer.h"

namespace dztest {
namespace {

using dz::UpdateTarget;

// What the page would show, in order.
class RecordingView final : public dz::UpdateView {
public:
    QStringList sendLabels;
    QStringList bytesTexts;
    std::vector<int> progress;
    std::vector<bool> running;
    QStringList outcomes;
    bool runningWhenOutcomeShown = false;

    void setSendLabel(const QString& t) override
    {
        if (sendLabels.isEmpty() || sendLabels.last() != t) {
            sendLabels << t;
        }
    }
    void setBytesText(const QString& t) override
    {
        if (bytesTexts.isEmpty() || bytesTexts.last() != t) {
            bytesTexts << t;
        }
    }
    void setProgress(int p) override { progress.push_back(p); }
    void setTransferRunning(bool r) override { running.push_back(r); }
    void showOutcome(const QString& t) override
    {
        outcomes << t;
        runningWhenOutcomeShown = !running.empty() && running.back();
    }
};

Bytes pattern(std::size_t n)
{
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) {
        b[i] = static_cast<uint8_t>((i * 131) ^ (i >> 8));
    }
    return b;
}

class Transfer : public LinkFixture {
protected:
    void SetUp() override
    {
        LinkFixture::SetUp();
        sim.with([](dzsim::SimState& s) { s.update.clearMs = 20; });
        config.clearingTickMs = 10;
        openLink();
    }

    dz::PreparedUpdate prepared(UpdateTarget target, std::size_t size, const char* name = "RADIO.KPF")
    {
        return dz::PreparedUpdate{target, pattern(size), dz::makeNameField(name)};
    }

    QString run(dz::PreparedUpdate update)
    {
        dz::UpdateTransfer transfer(*link, view, config);
        transfer.run(std::move(update));
        EXPECT_EQ(view.outcomes.size(), 1);
        return view.outcomes.value(0);
    }

    dz::UpdateConfig config;
    RecordingView view;
};

struct SizeCase {
    UpdateTarget target;
    std::size_t size;
};

class TransferSize : public Transfer, public testing::WithParamInterface<SizeCase> {};

TEST_P(TransferSize, DeliversEveryByteInOrderExactlyOnce)
{
    const SizeCase c = GetParam();
    EXPECT_EQ(run(prepared(c.target, c.size)), QStringLiteral("File transfer finished successfully!"));
    // One block of filler follows the last acknowledgement, unanswered.
    EXPECT_TRUE(waitFor([&] { return sim.with([](dzsim::SimState& s) { return s.update.closingBlocks; }) == 1; }));
    sim.with([&](dzsim::SimState& s) {
        EXPECT_EQ(s.update.target,
                  c.target == UpdateTarget::Pocket ? dzsim::UpdateJob::Target::Pocket : dzsim::UpdateJob::Target::Lan);
        EXPECT_EQ(s.update.declaredSize, c.size);
        EXPECT_EQ(s.update.data, pattern(c.size));
        EXPECT_EQ(s.update.sequenceErrors, 0);
        EXPECT_TRUE(s.update.closingBlocksFiller);
        if (c.target == UpdateTarget::Pocket) {
            EXPECT_EQ(s.update.nameField, dz::makeNameField("RADIO.KPF"));
        }
    });
    EXPECT_EQ(view.progress.back(), 100);
    EXPECT_EQ(view.running, (std::vector<bool>{true, false}));
    EXPECT_TRUE(view.runningWhenOutcomeShown);
}

INSTANTIATE_TEST_SUITE_P(Sizes, TransferSize,
                         testing::Values(SizeCase{UpdateTarget::Lan, 1}, SizeCase{UpdateTarget::Lan, 255},
                                         SizeCase{UpdateTarget::Lan, 256}, SizeCase{UpdateTarget::Lan, 257},
                                         SizeCase{UpdateTarget::Lan, 1000}, SizeCase{UpdateTarget::Lan, 1001},
                                         SizeCase{UpdateTarget::Lan, 70000}, SizeCase{UpdateTarget::Pocket, 1},
                                         SizeCase{UpdateTarget::Pocket, 255}, SizeCase{UpdateTarget::Pocket, 256},
                                         SizeCase{UpdateTarget::Pocket, 257}, SizeCase{UpdateTarget::Pocket, 1000},
                                         SizeCase{UpdateTarget::Pocket, 1001}, SizeCase{UpdateTarget::Pocket, 70000}));

TEST_F(Transfer, LanImageOfThousandBytesCountsUpInBlocksAndFillsTheBar)
{
    sim.with([](dzsim::SimState& s) { s.update.clearMs = 0; });
    EXPECT_EQ(run(prepared(UpdateTarget::Lan, 1000)), QStringLiteral("File transfer finished successfully!"));
    EXPECT_EQ(view.bytesTexts, (QStringList{"0", "256", "512", "768", "1024"}));
    EXPECT_EQ(view.progress, (std::vector<int>{0, 0, 25, 51, 76, 100}));
    EXPECT_EQ(view.sendLabels, (QStringList{"Clearing memory:", "Bytes sent:"}));
}

TEST_F(Transfer, ClearingPhaseCountsAndOutlastsTheWatchdog)
{
    sim.with([&](dzsim::SimState& s) { s.update.clearMs = 3 * this->LinkFixture::config.watchdogMs; });
    EXPECT_EQ(run(prepared(UpdateTarget::Pocket, 600)), QStringLiteral("File transfer finished successfully!"));
    // Counted in clearing ticks: well past 10 before the first acknowledgement put 0 back.
    ASSERT_GE(view.bytesTexts.size(), 12);
    EXPECT_EQ(view.bytesTexts.mid(0, 4), (QStringList{"0", "1", "2", "3"}));
    const int zeroAgain = static_cast<int>(view.bytesTexts.lastIndexOf(QStringLiteral("0")));
    EXPECT_GT(zeroAgain, 10);
    EXPECT_EQ(view.sendLabels.first(), QStringLiteral("Clearing memory:"));
}

TEST_F(Transfer, AcceptanceAndClearingInOneReadGoOnToTheData)
{
    dzsim::Faults f;
    f.coalesce = true;
    sim.setFaults(f);
    sim.with([](dzsim::SimState& s) { s.update.clearMs = 0; });
    EXPECT_EQ(run(prepared(UpdateTarget::Lan, 700)), QStringLiteral("File transfer finished successfully!"));
    sim.with([](dzsim::SimState& s) { EXPECT_EQ(s.update.data, pattern(700)); });
}

TEST_F(Transfer, BusyAnswersCountAndTheRealAnswerFollows)
{
    sim.with([](dzsim::SimState& s) {
        s.update.busyEvery = 2;
        s.update.busyRepeats = 2;
        s.update.busyGapMs = 20;
    });
    EXPECT_EQ(run(prepared(UpdateTarget::Lan, 1024)), QStringLiteral("File transfer finished successfully!"));
    sim.with([](dzsim::SimState& s) { EXPECT_EQ(s.update.data, pattern(1024)); });
    // After the acknowledgement of 256 bytes, two busy answers count on from there.
    EXPECT_TRUE(view.bytesTexts.contains(QStringLiteral("257")));
    EXPECT_TRUE(view.bytesTexts.contains(QStringLiteral("258")));
}

class StartAnswer : public Transfer, public testing::WithParamInterface<int> {};

TEST_P(StartAnswer, NotAcceptedEndsWithTheQueueMessageAndSendsNoData)
{
    sim.with([](dzsim::SimState& s) { s.update.startAnswer = static_cast<uint8_t>(GetParam()); });
    EXPECT_EQ(run(prepared(UpdateTarget::Pocket, 1000)),
              QStringLiteral("NACK_RX_Queue: Configuration can not be saved!"));
    sim.with([](dzsim::SimState& s) { EXPECT_EQ(s.update.requests, 0); });
    EXPECT_EQ(view.bytesTexts.last(), QStringLiteral("0"));
}

INSTANTIATE_TEST_SUITE_P(Codes, StartAnswer, testing::Values(0, 85));

struct FailureCase {
    const char* name;
    void (*set)(dzsim::Faults&);
    const char* outcome;
    int linkLost;
};

class TransferFailure : public Transfer, public testing::WithParamInterface<FailureCase> {};

TEST_P(TransferFailure, EndsWithItsMessage)
{
    dzsim::Faults f;
    GetParam().set(f);
    sim.setFaults(f);
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(run(prepared(UpdateTarget::Lan, 5000)), QString::fromLatin1(GetParam().outcome));
    EXPECT_EQ(linkLost, GetParam().linkLost);
    EXPECT_LT(t.elapsed(), LinkFixture::config.watchdogMs + 2000);
    EXPECT_TRUE(link->idle());
}

INSTANTIATE_TEST_SUITE_P(Faults, TransferFailure,
                         testing::Values(FailureCase{"SilenceMidTransfer", [](dzsim::Faults& f) { f.silenceAfter = 5; },
                                                     "Timeout: Device doesn't respond!", 0},
                                         FailureCase{"LinkClosedMidTransfer", [](dzsim::Faults& f) { f.dropAfter = 5; },
                                                     "File cannot be loaded into KAV!", 1},
                                         FailureCase{"UnknownRecord", [](dzsim::Faults& f) { f.unknownCodeAt = 5; },
                                                     "File cannot be loaded into KAV!", 0},
                                         FailureCase{"AcceptanceInTheDataPhase",
                                                     [](dzsim::Faults& f) {
                                                         f.rawAt[5] = dzsim::makeFrame({90, 0, 0, 0});
                                                     },
                                                     "Exception caused by device driver!", 0},
                                         FailureCase{"FrameTooLong", [](dzsim::Faults& f) { f.oversizeAt = 4; },
                                                     "File cannot be loaded into KAV!", 0}),
                         [](const testing::TestParamInfo<FailureCase>& p) { return std::string(p.param.name); });

TEST_F(Transfer, KeepAliveStaysQuietDuringALongClearing)
{
    sim.with([](dzsim::SimState& s) { s.update.clearMs = 300; });
    LinkFixture::config.keepAliveMs = 50;
    makeLink();
    openLink();
    EXPECT_EQ(run(prepared(UpdateTarget::Lan, 300)), QStringLiteral("File transfer finished successfully!"));
    EXPECT_EQ(requestsSeen(0x55), 0u);
}

}  // namespace
}  // namespace dztest

namespace dztest {
namespace {

// A receiver that accepts and never says its memory is clear: the clearing phase stops
// counting once it has heard nothing for the keep-alive's interval, and the watchdog ends it.
TEST(TransferWaits, ClearingThatNeverEndsIsEndedAfterTheKeepAliveIntervalAndTheWatchdog)
{
    dzsim::SimReceiver sim;
    ASSERT_TRUE(sim.start());
    sim.with([](dzsim::SimState& s) { s.update.clearMs = 600000; });
    dz::LinkConfig config = fastLinkConfig(dz::Endpoint{"127.0.0.1", sim.port()});
    config.keepAliveMs = 300;
    dz::DeviceLink link(config);
    ASSERT_TRUE(link.OpenAtStart());
    RecordingView view;
    dz::UpdateTransfer transfer(link, view, dz::UpdateConfig{10, 1000});
    QElapsedTimer t;
    t.start();
    transfer.run(dz::PreparedUpdate{UpdateTarget::Lan, pattern(1000), dz::makeNameField("L.BIN")});
    EXPECT_EQ(view.outcomes, QStringList{QStringLiteral("Timeout: Device doesn't respond!")});
    EXPECT_GE(t.elapsed(), config.keepAliveMs + config.watchdogMs - 50);
    EXPECT_LT(t.elapsed(), config.keepAliveMs + config.watchdogMs + 1000);
    EXPECT_EQ(sim.stats().byCode[0x55], 0u) << "no keep-alive byte went into the running exchange";
    EXPECT_TRUE(link.idle());
}

// A search asked for between two blocks used to take the link flag down under the
// transfer, whose next block then waited for ever; now it is refused and the transfer ends
// as it would alone.
TEST_F(Transfer, SearchAskedForBetweenTwoBlocksIsRefusedAndTheTransferCompletes)
{
    dz::DeviceLink::SearchResult search = dz::DeviceLink::SearchResult::Found;
    int blocks = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (blocks == 0 && sim.with([](dzsim::SimState& s) { return s.update.requests; }) >= 3) {
            ++blocks;
            search = link->FindConnection();
        }
    });
    poll.start(1);
    sim.with([](dzsim::SimState& s) { s.faults.answerDelayMs = 2; });
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(run(prepared(UpdateTarget::Lan, 5000)), QStringLiteral("File transfer finished successfully!"));
    EXPECT_EQ(blocks, 1);
    EXPECT_EQ(search, dz::DeviceLink::SearchResult::Refused);
    EXPECT_LT(t.elapsed(), config.frameWaitMs + LinkFixture::config.watchdogMs);
    EXPECT_TRUE(link->linkUp());
}

}  // namespace
}  // namespace dztest
