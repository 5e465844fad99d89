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
    EXPECT_TRUE(link->TCP_Client.connected());
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

TEST_F(Search, FindsTheReceiverAndShowsItsVersionOnceThePostIsHandled)
{
    EXPECT_TRUE(link->FindConnection());
    EXPECT_TRUE(link->linkUp());
    EXPECT_TRUE(waitFor([&] { return versions.size() == 2; }));
    EXPECT_EQ(versions, (QStringList{QString(), QStringLiteral("LAN V05; KAV0054 V107")}));
    EXPECT_EQ(requestsSeen(0x12), 1u);
    EXPECT_EQ(requestsSeen(0x55), 0u);  // the search does not synchronise
}

TEST_F(Search, ReceiverGoneClearsTheLinkAndSaysNotFound)
{
    openLink();
    sim.stop();
    EXPECT_FALSE(link->FindConnection());
    EXPECT_FALSE(link->linkUp());
    EXPECT_FALSE(link->TCP_Client.connected());
    EXPECT_EQ(versions, QStringList{QString()});
    EXPECT_EQ(linkLost, 0);
}

TEST_F(Search, OnlyTheFirstTwelveBytesOfTheAnswerAreHandedOn)
{
    // A version record with an 85 record behind it in the same frame.
    sim.with([](dzsim::SimState& s) { s.sync.version = {18, 5, 0, 0, 0x54, 0, 7, 1, 85, 0, 0, 0}; });
    ex.ReplyCode = 77;
    ASSERT_TRUE(link->FindConnection());
    EXPECT_TRUE(waitFor([&] { return versions.size() == 2; }));
    EXPECT_EQ(versions.last(), QStringLiteral("LAN V05; KAV0054 V107"));
    settle(30);
    EXPECT_EQ(ex.ReplyCode, 77);
}

TEST_F(Search, SilentReceiverLeavesTheLinkUpWithoutVersion)
{
    dzsim::Faults f;
    f.silenceAfter = 0;
    sim.setFaults(f);
    ASSERT_TRUE(link->FindConnection());
    EXPECT_TRUE(link->linkUp());
    settle(50);
    EXPECT_EQ(versions, QStringList{QString()});
}

TEST_F(Search, AnswerSplitIntoBytesHandsOnOnlyWhatCame)
{
    dzsim::Faults f;
    f.split = true;
    f.splitGapMs = 5;
    sim.setFaults(f);
    ex.ReplyCode = 77;
    ASSERT_TRUE(link->FindConnection());
    settle(100);
    // One read got the first bytes only: nothing of the buffer's older contents is handed on.
    EXPECT_EQ(versions, QStringList{QString()});
    EXPECT_EQ(ex.ReplyCode, 77);
}

TEST_F(Search, ClosingDrainsAndClosesTheLink)
{
    openLink();
    ex.Busy = 0;
    link->SendRequest({0x12});  // its answer is left unread
    ASSERT_TRUE(link->TCP_Client.waitForData(2000));
    link->DrainAndClose();
    EXPECT_FALSE(link->TCP_Client.connected());
}

}  // namespace
}  // namespace dztest
