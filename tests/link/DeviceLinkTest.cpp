// The link against the simulated receiver: framing on a real socket, the watchdog,
// the keep-alive, link failures, and one operation at a time.

#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "link/EventWait.h"
#include "link/LinkFixture.h"
#include "link/TcpClient.h"

namespace dztest {
namespace {

using Link = LinkFixture;
using dz::LinkOperation;
using End = dz::Reply::End;

Bytes bytesOf(const dz::Reply& r)
{
    return Bytes(r.payload.begin(), r.payload.end());
}

class DeviceMode : public LinkFixture, public testing::WithParamInterface<int> {};

TEST_P(DeviceMode, SyncReturnsTheReceiversAnswerAndGivesTheLinkBack)
{
    sim.with([&](dzsim::SimState& s) { s.sync.imageAnswer = static_cast<uint8_t>(GetParam()); });
    openLink();
    EXPECT_EQ(link->QueryDeviceMode(), GetParam());
    EXPECT_TRUE(link->idle());
    EXPECT_FALSE(link->watchdog().isActive());
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

TEST_F(Link, FramesCoalescedInOneWriteComeOneExchangeAtATimeInOrder)
{
    dzsim::Faults f;
    Bytes both = frameOf({85, 0, 0, 0});
    const Bytes second = frameOf({18, 5, 0, 0, 0x54, 0, 7, 1});
    both.insert(both.end(), second.begin(), second.end());
    f.rawAt[1] = both;
    sim.setFaults(f);
    openLink();
    const auto held = link->claim(LinkOperation::Scan);
    ASSERT_TRUE(held);
    const dz::Reply first = link->request({0x55}, dz::Reading::Whole);
    ASSERT_EQ(first.end, End::Frame);
    EXPECT_EQ(bytesOf(first), (Bytes{85, 0, 0, 0}));
    const dz::Reply next = link->receive(dz::Reading::Records);
    ASSERT_EQ(next.end, End::Frame);
    EXPECT_EQ(bytesOf(next), (Bytes{18, 5, 0, 0, 0x54, 0, 7, 1}));
    EXPECT_EQ(versions, QStringList{QStringLiteral("LAN V05; KAV0054 V107")});
    EXPECT_EQ(requestsSeen(), 1u);
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
    EXPECT_TRUE(link->linkUp());
    // A wait that spun would use the whole wall time.
    EXPECT_LT(cpu, 0.3 * static_cast<double>(wall.elapsed())) << cpu << " ms of CPU in " << wall.elapsed() << " ms";
}

struct BadFrame {
    const char* name;
    void (*set)(dzsim::Faults&);
    End end;
};

class MalformedAnswer : public LinkFixture, public testing::WithParamInterface<BadFrame> {};

TEST_P(MalformedAnswer, EndsTheExchangeWithoutACodeOrAMessage)
{
    dzsim::Faults f;
    GetParam().set(f);
    sim.setFaults(f);
    openLink();
    const auto held = link->claim(LinkOperation::Sync);
    const dz::Reply r = link->request({0x55}, dz::Reading::Answer);
    EXPECT_EQ(r.end, GetParam().end);
    EXPECT_EQ(r.code(), -1);
    EXPECT_EQ(linkLost, 0);
    EXPECT_TRUE(link->linkUp());
}

INSTANTIATE_TEST_SUITE_P(
    Frames, MalformedAnswer,
    testing::Values(BadFrame{"LengthAbove1024", [](dzsim::Faults& f) { f.oversizeAt = 1; }, End::BadFrame},
                    BadFrame{"LengthBelow4", [](dzsim::Faults& f) { f.undersizeAt = 1; }, End::BadFrame},
                    BadFrame{"UnknownRecordCode", [](dzsim::Faults& f) { f.unknownCodeAt = 1; }, End::UnknownRecord}),
    [](const testing::TestParamInfo<BadFrame>& p) { return std::string(p.param.name); });

TEST_F(Link, NothingIsSentWithoutAClaimOrWhileTheLinkIsDown)
{
    EXPECT_EQ(link->request({0x55}).end, End::Refused);  // no claim, no link
    {
        const auto held = link->claim(LinkOperation::Sync);
        EXPECT_EQ(link->request({0x55}).end, End::Refused);  // the link is down
        EXPECT_FALSE(link->watchdog().isActive());
    }
    openLink();
    EXPECT_EQ(link->request({0x55}).end, End::Refused);  // up, but not claimed
    EXPECT_FALSE(link->send(Bytes{0x55}));
    settle(50);
    EXPECT_EQ(requestsSeen(), 0u);
}

TEST_F(Link, OneOperationAtATimeTheSecondIsRefusedWithoutAByte)
{
    openLink();
    QList<LinkOperation> changes;
    QObject::connect(link.get(), &dz::DeviceLink::operationChanged, [&](LinkOperation op) { changes << op; });
    {
        const auto held = link->claim(LinkOperation::Scan);
        ASSERT_TRUE(held);
        EXPECT_FALSE(link->idle());
        EXPECT_FALSE(link->claim(LinkOperation::SlotRead));
        EXPECT_EQ(link->QueryDeviceMode(), -1);
        EXPECT_EQ(link->FindConnection(), dz::DeviceLink::SearchResult::Refused);
        link->RequestVersion();
        EXPECT_EQ(link->operation(), LinkOperation::Scan);
        EXPECT_TRUE(link->linkUp());
    }
    settle(50);
    EXPECT_EQ(requestsSeen(), 0u);
    EXPECT_EQ(changes, (QList<LinkOperation>{LinkOperation::Scan, LinkOperation::None}));
    EXPECT_TRUE(link->idle());
    EXPECT_EQ(link->QueryDeviceMode(), 85);
}

TEST_F(Link, LateReplyOfAnAbandonedExchangeIsNotTakenForTheNextAnswer)
{
    openLink();
    {
        const auto held = link->claim(LinkOperation::Scan);
        ASSERT_TRUE(link->send(Bytes{0x55}));  // answered 85, never read
    }
    EXPECT_TRUE(waitFor([&] { return requestsSeen(0x55) == 1; }));
    settle(20);
    sim.with([](dzsim::SimState& s) { s.sync.imageAnswer = 90; });
    EXPECT_EQ(link->QueryDeviceMode(), 90);
}

TEST_F(Link, DropMidExchangeReportsOnceAndEndsTheWait)
{
    dzsim::Faults f;
    f.dropAfter = 0;
    sim.setFaults(f);
    openLink();
    EXPECT_EQ(link->QueryDeviceMode(), -1);
    EXPECT_EQ(linkLost, 1);
    EXPECT_FALSE(link->linkUp());
    EXPECT_FALSE(link->connected());
    EXPECT_FALSE(link->keepAlive().isActive());
    EXPECT_EQ(versions.last(), QString());
}

TEST_F(Link, EveryWaitEndsTheHoldersCancelAndTheClosingEndThemAtOnce)
{
    dzsim::Faults f;
    f.silenceAfter = 0;
    sim.setFaults(f);
    openLink();
    const auto held = link->claim(LinkOperation::Scan);
    QElapsedTimer t;
    t.start();
    QTimer::singleShot(30, [&] { link->interruptWait(); });
    EXPECT_EQ(link->request({0x55}).end, End::Interrupted);
    EXPECT_LT(t.elapsed(), config.watchdogMs);

    // A wait without a request still has a watchdog.
    t.restart();
    link->stopWatchdog();
    EXPECT_EQ(link->receive().end, End::Timeout);
    EXPECT_GE(t.elapsed(), config.watchdogMs - 20);

    t.restart();
    QTimer::singleShot(30, [&] { link->DrainAndClose(); });
    EXPECT_EQ(link->request({0x55}).end, End::Closed);
    EXPECT_LT(t.elapsed(), config.watchdogMs);
    EXPECT_FALSE(link->connected());
}

TEST_F(Link, KeepAliveSendsItsByteAndSwallowsTheAnswer)
{
    openLink();
    link->Timer1Timer();
    EXPECT_TRUE(waitFor([&] { return requestsSeen(0x55) == 1; }));
    settle(config.keepAliveReplyMs + 50);
    // Its answer (85) is gone: the next exchange gets its own.
    sim.with([](dzsim::SimState& s) { s.sync.imageAnswer = 90; });
    EXPECT_EQ(link->QueryDeviceMode(), 90);
}

TEST_F(Link, AnOperationStartedDuringTheKeepAlivesWaitBeginsOnceItsAnswerIsIn)
{
    openLink();
    // The keep-alive's answer comes late, well after the operation asks.
    sim.with([](dzsim::SimState& s) { s.faults.answerDelayMs = 40; });
    link->Timer1Timer();
    ASSERT_TRUE(waitFor([&] { return requestsSeen(0x55) == 1; }));
    sim.with([](dzsim::SimState& s) {
        s.sync.imageAnswer = 90;
        s.faults.answerDelayMs = 0;
    });
    EXPECT_EQ(link->QueryDeviceMode(), 90);
    EXPECT_EQ(requestsSeen(0x55), 2u);
}

TEST_F(Link, KeepAliveStaysQuietInsideAnOperationButStillTicks)
{
    openLink();
    int ticks = 0;
    QObject::connect(link.get(), &dz::DeviceLink::keepAliveTicked, [&] { ++ticks; });
    const auto held = link->claim(LinkOperation::Update);
    link->Timer1Timer();
    settle(50);
    EXPECT_EQ(requestsSeen(), 0u);
    EXPECT_EQ(ticks, 1);
}

TEST_F(Link, NoKeepAliveAfterALinkErrorUntilTheLinkIsFoundAgain)
{
    dzsim::Faults f;
    f.dropAfter = 0;
    sim.setFaults(f);
    openLink();
    link->QueryDeviceMode();
    ASSERT_FALSE(link->linkUp());
    EXPECT_FALSE(link->keepAlive().isActive());
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
    EXPECT_TRUE(link->keepAlive().isActive());
    EXPECT_EQ(link->keepAlive().interval(), 30000);
    openLink();
    link->QueryDeviceMode();
    EXPECT_TRUE(link->keepAlive().isActive());
    EXPECT_EQ(link->keepAlive().interval(), 60000);
}

}  // namespace
}  // namespace dztest

namespace dztest {
namespace {

// A peer that sends and never reads: the simulator's answers back up behind a full socket,
// and it must wait for the socket to take them, not poll it in a loop.
TEST(Simulator, WaitsWithoutSpinningWhileItsPeerDoesNotRead)
{
    dzsim::SimReceiver sim;
    ASSERT_TRUE(sim.start());
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const int small = 4096;
    ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(sim.port());
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::connect(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a), 0);
    // Thirty thousand slot reads, 8 MB of answers that nobody reads: far more than the sockets hold.
    const Bytes questions(30000, 0x10);
    std::size_t sent = 0;
    while (sent < questions.size()) {
        const ssize_t n = ::send(fd, questions.data() + sent, questions.size() - sent, MSG_NOSIGNAL);
        ASSERT_GT(n, 0);
        sent += static_cast<std::size_t>(n);
    }
    ASSERT_TRUE(waitFor([&] { return sim.stats().requests == questions.size(); }, 10000));
    settle(300);
    QElapsedTimer wall;
    wall.start();
    const double before = processCpuMs();
    settle(400);
    const double cpu = processCpuMs() - before;
    EXPECT_LT(cpu, 0.25 * static_cast<double>(wall.elapsed())) << cpu << " ms of CPU in " << wall.elapsed() << " ms";
    ::close(fd);
}

}  // namespace
}  // namespace dztest

namespace dztest {
namespace {

int openSocketCount()
{
    int sockets = 0;
    for (const QFileInfo& fd : QDir(QStringLiteral("/proc/self/fd")).entryInfoList(QDir::System | QDir::Files)) {
        sockets += fd.symLinkTarget().contains(QStringLiteral("socket:")) ? 1 : 0;
    }
    return sockets;
}

// An open() handled while another one waits for its connect: one socket in the end, not two.
TEST(TcpClientOpen, InsideAnotherOpenLeavesOneSocket)
{
    // Listens and never accepts: the kernel completes the connects, and no accepted socket
    // of ours is counted.
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof a;
    ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&a), sizeof a), 0);
    ASSERT_EQ(::listen(listener, 8), 0);
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&a), &length);

    dz::TcpClient client;
    client.setEndpoint(dz::Endpoint{"127.0.0.1", ntohs(a.sin_port)});
    const int before = openSocketCount();
    bool innerOpened = false;
    QTimer::singleShot(0, [&] { innerOpened = client.open(); });
    EXPECT_TRUE(client.open());
    settle(20);
    EXPECT_TRUE(innerOpened);
    EXPECT_TRUE(client.connected());
    EXPECT_EQ(openSocketCount(), before + 1);
    client.close();
    EXPECT_EQ(openSocketCount(), before);
    ::close(listener);
}

}  // namespace
}  // namespace dztest
