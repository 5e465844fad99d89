// The request transport against the simulated receiver: framing on a real
// socket, the watchdog, the keep-alive and link failures.

#include "link/LinkFixture.h"

#include "link/EventWait.h"

namespace dztest {
namespace {

using Link = LinkFixture;

class DeviceMode : public LinkFixture, public testing::WithParamInterface<int> {};

TEST_P(DeviceMode, SyncReturnsTheReceiversAnswer)
{
    sim.with([&](dzsim::SimState& s) { s.sync.imageAnswer = static_cast<uint8_t>(GetParam()); });
    openLink();
    EXPECT_EQ(link->QueryDeviceMode(), GetParam());
    EXPECT_EQ(ex.Busy, 0);
    EXPECT_FALSE(link->Timer.isActive());
}

INSTANTIATE_TEST_SUITE_P(Answers, DeviceMode, testing::Values(85, 90, 0));

TEST_F(Link, AnswersSplitIntoSingleBytesAreReassembled)
{
    dzsim::Faults f;
    f.split = true;
    sim.setFaults(f);
    openLink();
    EXPECT_EQ(link->QueryDeviceMode(), 85);
    link->RequestVersion();
    EXPECT_EQ(versions, QStringList{QStringLiteral("LAN V05; KAV0054 V107")});
}

TEST_F(Link, FramesCoalescedInOneWriteArePostedInOrder)
{
    dzsim::Faults f;
    Bytes both = frameOf({85, 0, 0, 0});
    const Bytes second = frameOf({18, 5, 0, 0, 0x54, 0, 7, 1});
    both.insert(both.end(), second.begin(), second.end());
    f.rawAt[1] = both;
    sim.setFaults(f);
    openLink();
    ex.ScanActive = 1;
    ex.Busy = 1;
    link->SendRequest({0x55});
    ASSERT_EQ(posted.size(), 2u);
    EXPECT_EQ(posted[0], (Bytes{85, 0, 0, 0}));
    EXPECT_EQ(posted[1], (Bytes{18, 5, 0, 0, 0x54, 0, 7, 1}));
    EXPECT_EQ(ex.Busy, 1);  // returning does not end the exchange
}

TEST_F(Link, SilentReceiverIsEndedByTheWatchdogWhileTheWaitSleeps)
{
    dzsim::Faults f;
    f.silenceAfter = 0;
    sim.setFaults(f);
    openLink();
    QElapsedTimer wall;
    wall.start();
    const double cpuBefore = processCpuMs();
    EXPECT_EQ(link->QueryDeviceMode(), dz::reply::kTimeout);
    const double cpu = processCpuMs() - cpuBefore;
    EXPECT_GE(wall.elapsed(), config.watchdogMs - 20);
    EXPECT_EQ(ex.StatusText, "Timeout: Device doesn't respond!");
    EXPECT_EQ(ex.Busy, 0);
    EXPECT_TRUE(link->linkUp());
    // A wait that spun would use the whole wall time.
    EXPECT_LT(cpu, 0.3 * static_cast<double>(wall.elapsed())) << cpu << " ms of CPU in " << wall.elapsed() << " ms";
}

struct BadFrame {
    const char* name;
    void (*set)(dzsim::Faults&);
};

class MalformedAnswer : public LinkFixture, public testing::WithParamInterface<BadFrame> {};

TEST_P(MalformedAnswer, EndsTheExchangeWithoutAPostOrAMessage)
{
    dzsim::Faults f;
    GetParam().set(f);
    sim.setFaults(f);
    openLink();
    ex.Busy = 1;
    ex.ReplyCode = dz::reply::kAwaited;
    link->SendRequest({0x55});
    EXPECT_EQ(ex.Busy, 0);
    EXPECT_EQ(ex.ReplyCode, dz::reply::kAwaited);
    EXPECT_EQ(linkLost, 0);
    EXPECT_TRUE(link->linkUp());
}

INSTANTIATE_TEST_SUITE_P(Frames, MalformedAnswer,
                         testing::Values(BadFrame{"LengthAbove1024", [](dzsim::Faults& f) { f.oversizeAt = 1; }},
                                         BadFrame{"LengthBelow4", [](dzsim::Faults& f) { f.undersizeAt = 1; }},
                                         BadFrame{"UnknownRecordCode", [](dzsim::Faults& f) { f.unknownCodeAt = 1; }}),
                         [](const testing::TestParamInfo<BadFrame>& p) { return std::string(p.param.name); });

TEST_F(Link, NothingIsSentAndNoTimerArmedWhileTheLinkIsDown)
{
    ex.Busy = 1;
    link->SendRequest({0x55});
    EXPECT_FALSE(link->Timer.isActive());
    settle(50);
    EXPECT_EQ(requestsSeen(), 0u);
}

TEST_F(Link, NotBusySendsButReadsNothingAndTheWatchdogFiresLater)
{
    openLink();
    ex.Busy = 0;
    ex.ReplyCode = 77;
    link->SendRequest({0x55});
    EXPECT_TRUE(link->Timer.isActive());
    EXPECT_EQ(ex.ReplyCode, 77);
    EXPECT_TRUE(waitFor([&] { return requestsSeen(0x55) == 1; }));
    EXPECT_TRUE(waitFor([&] { return ex.ReplyCode == dz::reply::kTimeout; }, 2000));
    EXPECT_EQ(ex.StatusText, "Timeout: Device doesn't respond!");
}

TEST_F(Link, LengthZeroSendsNothingAndTakesAFrameThatIsAlreadyThere)
{
    openLink();
    ex.Busy = 0;
    link->SendRequest({0x55});
    ASSERT_TRUE(link->TCP_Client.waitForData(2000));
    ex.Busy = 1;
    ex.ReplyCode = dz::reply::kAwaited;
    link->SendRequest(nullptr, 0);
    EXPECT_EQ(ex.ReplyCode, 85);
    EXPECT_EQ(requestsSeen(), 1u);
}

TEST_F(Link, LateReplyOfAnAbandonedExchangeIsNotTakenForTheNextAnswer)
{
    openLink();
    ex.Busy = 0;
    link->SendRequest({0x55});  // answered 85, never read
    ASSERT_TRUE(link->TCP_Client.waitForData(2000));
    sim.with([](dzsim::SimState& s) { s.sync.imageAnswer = 90; });
    EXPECT_EQ(link->QueryDeviceMode(), 90);
}

TEST_F(Link, DropMidExchangeReportsOnceAndEndsTheWait)
{
    dzsim::Faults f;
    f.dropAfter = 0;
    sim.setFaults(f);
    openLink();
    EXPECT_EQ(link->QueryDeviceMode(), dz::reply::kAwaited);
    EXPECT_EQ(linkLost, 1);
    EXPECT_FALSE(link->linkUp());
    EXPECT_FALSE(link->TCP_Client.connected());
    EXPECT_FALSE(link->Timer1.isActive());
    EXPECT_EQ(versions.last(), QString());
}

TEST_F(Link, KeepAliveSendsItsByteAndSwallowsTheAnswer)
{
    openLink();
    ex.ScanActive = 1;  // any post would show up in `posted`
    ex.ReplyCode = 77;
    link->Timer1Timer();
    EXPECT_TRUE(waitFor([&] { return requestsSeen(0x55) == 1; }));
    settle(50);
    EXPECT_TRUE(posted.empty());
    EXPECT_EQ(ex.ReplyCode, 77);
    EXPECT_FALSE(link->TCP_Client.waitForData(0));
}

TEST_F(Link, KeepAliveStaysQuietInsideAnExchange)
{
    openLink();
    ex.Busy = 1;
    link->Timer1Timer();
    settle(50);
    EXPECT_EQ(requestsSeen(), 0u);
}

TEST_F(Link, NoKeepAliveAfterALinkErrorUntilTheLinkIsFoundAgain)
{
    dzsim::Faults f;
    f.dropAfter = 0;
    sim.setFaults(f);
    openLink();
    link->QueryDeviceMode();
    ASSERT_FALSE(link->linkUp());
    EXPECT_FALSE(link->Timer1.isActive());
    const uint64_t before = requestsSeen();
    link->Timer1Timer();
    settle(50);
    EXPECT_EQ(requestsSeen(), before);
}

TEST_F(Link, EveryRequestRestartsTheKeepAliveWithItsLongInterval)
{
    config.keepAliveFirstMs = 30000;
    config.keepAliveMs = 60000;
    makeLink();
    EXPECT_TRUE(link->Timer1.isActive());
    EXPECT_EQ(link->Timer1.interval(), 30000);
    openLink();
    link->QueryDeviceMode();
    EXPECT_TRUE(link->Timer1.isActive());
    EXPECT_EQ(link->Timer1.interval(), 60000);
}

}  // namespace
}  // namespace dztest
