// Finding the receiver: the start-up probe and open, and "Find WLAN Connection".

#include "link/LinkFixture.h"

namespace dztest {
namespace {

using Search = LinkFixture;

TEST_F(Search, StartWithNothingListeningFindsNoAccessPoint)
{
    config = fastLinkConfig(deadEndpoint());
    makeLink();
    EXPECT_FALSE(link->OpenAtStart());
    EXPECT_FALSE(link->linkUp());
    EXPECT_EQ(linkLost, 0);
}

TEST_F(Search, StartWithTheReceiverOpensTheLink)
{
    EXPECT_TRUE(link->OpenAtStart());
    EXPECT_TRUE(link->linkUp());
    EXPECT_TRUE(link->connected());
    EXPECT_EQ(requestsSeen(), 0u);  // the probe sends nothing
}

TEST_F(Search, ProbeAnswersButTheLinkCannotConnectWithinItsLimit)
{
    FullListener listener;
    config = fastLinkConfig(listener.endpoint());
    makeLink();
    QElapsedTimer t;
    t.start();
    EXPECT_TRUE(link->OpenAtStart());
    EXPECT_LT(t.elapsed(), config.probeTimeoutMs + config.connectTimeoutMs + 1000);
    EXPECT_EQ(linkLost, 1);
    EXPECT_FALSE(link->linkUp());
}

TEST_F(Search, FindsTheReceiverAndShowsItsVersion)
{
    EXPECT_EQ(link->FindConnection(), dz::DeviceLink::SearchResult::Found);
    EXPECT_TRUE(link->linkUp());
    EXPECT_TRUE(link->idle());
    EXPECT_EQ(versions, (QStringList{QString(), QStringLiteral("LAN V05; KAV0054 V107")}));
    EXPECT_EQ(requestsSeen(0x12), 1u);
    EXPECT_EQ(requestsSeen(0x55), 0u);  // the search does not synchronise
}

TEST_F(Search, ReceiverGoneClearsTheLinkAndSaysNotFound)
{
    openLink();
    sim.stop();
    EXPECT_EQ(link->FindConnection(), dz::DeviceLink::SearchResult::NotFound);
    EXPECT_FALSE(link->linkUp());
    EXPECT_FALSE(link->connected());
    EXPECT_EQ(versions, QStringList{QString()});
    EXPECT_EQ(linkLost, 0);
}

TEST_F(Search, OnlyTheFirstTwelveBytesOfTheAnswerAreHandedOn)
{
    // A version record with an 85 record behind it in the same frame.
    sim.with([](dzsim::SimState& s) { s.sync.version = {18, 5, 0, 0, 0x54, 0, 7, 1, 85, 0, 0, 0}; });
    ASSERT_EQ(link->FindConnection(), dz::DeviceLink::SearchResult::Found);
    EXPECT_EQ(versions.last(), QStringLiteral("LAN V05; KAV0054 V107"));
    // The 85 behind it was nobody's answer: the next exchange gets its own.
    sim.with([](dzsim::SimState& s) { s.sync.imageAnswer = 90; });
    EXPECT_EQ(link->QueryDeviceMode(), 90);
}

TEST_F(Search, SilentReceiverLeavesTheLinkUpWithoutVersion)
{
    dzsim::Faults f;
    f.silenceAfter = 0;
    sim.setFaults(f);
    ASSERT_EQ(link->FindConnection(), dz::DeviceLink::SearchResult::Found);
    EXPECT_TRUE(link->linkUp());
    settle(50);
    EXPECT_EQ(versions, QStringList{QString()});
}

TEST_F(Search, AnswerSplitIntoBytesIsReassembledWithinTheSearchesWait)
{
    dzsim::Faults f;
    f.split = true;
    f.splitGapMs = 5;
    sim.setFaults(f);
    ASSERT_EQ(link->FindConnection(), dz::DeviceLink::SearchResult::Found);
    EXPECT_EQ(versions, (QStringList{QString(), QStringLiteral("LAN V05; KAV0054 V107")}));
}

TEST_F(Search, AnswerTooSlowForTheSearchShowsNoVersionAndIsNotTakenLater)
{
    dzsim::Faults f;
    f.answerDelayMs = config.searchReplyMs + 100;
    sim.setFaults(f);
    ASSERT_EQ(link->FindConnection(), dz::DeviceLink::SearchResult::Found);
    EXPECT_EQ(versions, QStringList{QString()});
    settle(200);
    sim.with([](dzsim::SimState& s) {
        s.faults.answerDelayMs = 0;
        s.sync.imageAnswer = 90;
    });
    EXPECT_EQ(link->QueryDeviceMode(), 90);
}

TEST_F(Search, ClosingDrainsAndClosesTheLink)
{
    openLink();
    {
        const auto held = link->claim(dz::LinkOperation::Scan);
        ASSERT_TRUE(link->send(Bytes{0x12}));  // its answer is left unread
    }
    ASSERT_TRUE(waitFor([&] { return requestsSeen(0x12) == 1; }));
    link->DrainAndClose();
    EXPECT_FALSE(link->claim(dz::LinkOperation::Sync));
    EXPECT_FALSE(link->connected());
}

}  // namespace
}  // namespace dztest
