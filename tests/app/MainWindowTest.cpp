// The main window against the simulated receiver: start-up, the search,
// "Synchronize", the About box and closing, with the real widgets offscreen.

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "app/TDLG_Info.h"
#include "support/AppHarness.h"
#include "update/UpdatePage.h"

namespace dztest {
namespace {

const QString kNotFoundAtStart = QStringLiteral("Access Point KAV Dizuro not found!");
const QString kNotFoundOnSearch = QStringLiteral("Access Point KAV7x not found!");
const QString kLinkLost = QStringLiteral("KAV doesn't respond to WLAN!");
const QString kVersion = QStringLiteral("LAN V05; KAV0054 V107");

uint64_t seen(AppHarness& h, uint8_t code)
{
    return h.sim.stats().byCode[code];
}

TEST(StartUp, WithoutReceiverShowsOneBoxAndStartsWithTheLinkDown)
{
    AppHarness h(false);
    auto& w = h.start();
    EXPECT_EQ(h.dialogs.shown, QStringList{kNotFoundAtStart});
    EXPECT_FALSE(w.CB_WLAN->isChecked());
    EXPECT_TRUE(w.EWLANDevice->text().isEmpty());
    EXPECT_FALSE(w.TS_Download->GB_Download->isEnabled());
    EXPECT_FALSE(w.TS_Download->CB_Boot->isChecked());
    EXPECT_FALSE(w.TS_Download->CB_Konfiguration->isChecked());
}

struct ModeCase {
    uint8_t answer;
    bool factory;
};

class StartUpMode : public testing::TestWithParam<ModeCase> {};

TEST_P(StartUpMode, WithReceiverTicksTheLinkShowsTheVersionAndTheMode)
{
    AppHarness h;
    h.sim.with([](dzsim::SimState& s) { s.sync.imageAnswer = GetParam().answer; });
    auto& w = h.start();
    EXPECT_TRUE(h.dialogs.shown.isEmpty()) << h.dialogs.shown.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(w.CB_WLAN->isChecked());
    EXPECT_EQ(w.EWLANDevice->text(), kVersion);
    EXPECT_EQ(w.TS_Download->CB_Boot->isChecked(), GetParam().factory);
    EXPECT_EQ(w.TS_Download->CB_Konfiguration->isChecked(), !GetParam().factory);
    EXPECT_TRUE(w.TS_Download->GB_Download->isEnabled());
    EXPECT_EQ(seen(h, 0x55), 1u);
    EXPECT_EQ(seen(h, 0x12), 1u);
}

INSTANTIATE_TEST_SUITE_P(Images, StartUpMode, testing::Values(ModeCase{90, true}, ModeCase{85, false}));

TEST(StartUp, SyncAnsweredWithNeitherImageAsksForNoVersion)
{
    AppHarness h;
    h.sim.with([](dzsim::SimState& s) { s.sync.imageAnswer = 0; });
    auto& w = h.start();
    EXPECT_TRUE(w.CB_WLAN->isChecked());
    EXPECT_FALSE(w.TS_Download->CB_Boot->isChecked());
    EXPECT_FALSE(w.TS_Download->CB_Konfiguration->isChecked());
    EXPECT_FALSE(w.TS_Download->GB_Download->isEnabled());
    EXPECT_EQ(seen(h, 0x55), 1u);
    EXPECT_EQ(seen(h, 0x12), 0u);
    EXPECT_TRUE(w.EWLANDevice->text().isEmpty());
}

TEST(StartUp, ProbeAnswersButTheLinkFailsToConnect)
{
    FullListener listener;
    AppHarness h(false);
    h.config.link.device = listener.endpoint();
    auto& w = h.start();
    EXPECT_EQ(h.dialogs.shown, QStringList{kLinkLost});
    EXPECT_FALSE(w.CB_WLAN->isChecked());
    EXPECT_FALSE(w.TS_Download->GB_Download->isEnabled());
}

TEST(StartUp, WindowHasTheMenuAndThreeVisibleTabs)
{
    AppHarness h(false);
    auto& w = h.build();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("USB / WLAN Interface to KAV Dizuro"));
    QStringList menus;
    for (QAction* a : w.MM_KAV36->actions()) {
        QStringList items;
        for (QAction* i : a->menu()->actions()) {
            items << (i->isSeparator() ? QStringLiteral("-") : i->text());
        }
        menus << a->text() + QLatin1Char(':') + items.join(QLatin1Char(','));
    }
    EXPECT_EQ(menus, (QStringList{QStringLiteral("&File:&Open,&Save,-,&Close"),
                                  QStringLiteral("&Interface:Find &WLAN Connection"), QStringLiteral("&Help:&Info")}));
    QStringList visible;
    QStringList hidden;
    for (int i = 0; i < w.PC_main->count(); ++i) {
        (w.PC_main->isTabVisible(i) ? visible : hidden) << w.PC_main->tabText(i);
    }
    EXPECT_EQ(visible, (QStringList{QStringLiteral("Update Dizuro"), QStringLiteral("Display Copy"),
                                    QStringLiteral("Speicherplätze")}));
    EXPECT_EQ(hidden, QStringList{QStringLiteral("KAV36E")});
    EXPECT_EQ(w.PC_main->currentWidget(), w.TS_Download);
    EXPECT_EQ(w.CB_WLAN->text(), QStringLiteral("WLAN Access to Device:"));
    EXPECT_FALSE(w.GroupBox2->isEnabled());
    EXPECT_TRUE(w.EWLANDevice->isReadOnly());
}

TEST(FindWlan, ReceiverGoneUntickesAndSaysNotFound)
{
    AppHarness h;
    auto& w = h.start();
    h.sim.stop();
    w.MI_WLANClick();
    EXPECT_EQ(h.dialogs.shown, QStringList{kNotFoundOnSearch});
    EXPECT_FALSE(w.CB_WLAN->isChecked());
    EXPECT_TRUE(w.EWLANDevice->text().isEmpty());
}

TEST(FindWlan, ReceiverThatAppearedLaterIsFoundAndTheModeIsLeftAlone)
{
    AppHarness h(false);
    auto& w = h.start();
    ASSERT_EQ(h.dialogs.shown, QStringList{kNotFoundAtStart});
    ASSERT_TRUE(h.sim.start("127.0.0.1", h.config.link.device.port));
    w.MI_WLANClick();
    EXPECT_TRUE(w.CB_WLAN->isChecked());
    EXPECT_TRUE(waitFor([&] { return w.EWLANDevice->text() == kVersion; }));
    EXPECT_EQ(h.dialogs.shown.size(), 1);
    EXPECT_EQ(seen(h, 0x55), 0u);
    EXPECT_FALSE(w.TS_Download->GB_Download->isEnabled());
}

TEST(Synchronize, ClickFollowsTheReceiversNewAnswer)
{
    AppHarness h;
    auto& w = h.start();
    ASSERT_TRUE(w.TS_Download->CB_Konfiguration->isChecked());
    h.sim.with([](dzsim::SimState& s) { s.sync.imageAnswer = 90; });
    QTest::mouseClick(w.TS_Download->B_Sync, Qt::LeftButton);
    EXPECT_TRUE(w.TS_Download->CB_Boot->isChecked());
    EXPECT_FALSE(w.TS_Download->CB_Konfiguration->isChecked());
    EXPECT_TRUE(w.TS_Download->GB_Download->isEnabled());
    EXPECT_TRUE(w.TS_Download->B_Sync->isEnabled());
}

TEST(Synchronize, LinkLostDuringItReportsOnceThenSendsNothingMore)
{
    AppHarness h;
    auto& w = h.start();
    h.sim.dropConnections();
    settle(30);
    QTest::mouseClick(w.TS_Download->B_Sync, Qt::LeftButton);
    EXPECT_EQ(h.dialogs.shown, QStringList{kLinkLost});
    EXPECT_FALSE(w.CB_WLAN->isChecked());
    EXPECT_TRUE(w.EWLANDevice->text().isEmpty());
    EXPECT_FALSE(w.TS_Download->GB_Download->isEnabled());

    // Without the link: the mode is reset, nothing is sent, nothing is said.
    const uint64_t before = h.sim.stats().requests;
    QTest::mouseClick(w.TS_Download->B_Sync, Qt::LeftButton);
    settle(30);
    EXPECT_EQ(h.sim.stats().requests, before);
    EXPECT_EQ(h.dialogs.shown.size(), 1);
    EXPECT_FALSE(w.TS_Download->CB_Boot->isChecked());
    EXPECT_FALSE(w.TS_Download->CB_Konfiguration->isChecked());
}

TEST(Synchronize, SilentReceiverLeavesTheModeUndeterminedWithoutAMessage)
{
    AppHarness h;
    auto& w = h.start();
    dzsim::Faults f;
    f.silenceAfter = 0;
    h.sim.setFaults(f);
    QTest::mouseClick(w.TS_Download->B_Sync, Qt::LeftButton);
    EXPECT_FALSE(w.TS_Download->CB_Konfiguration->isChecked());
    EXPECT_FALSE(w.TS_Download->GB_Download->isEnabled());
    EXPECT_TRUE(h.dialogs.shown.isEmpty());
    EXPECT_TRUE(w.TS_Download->B_Sync->isEnabled());
    EXPECT_TRUE(w.link().idle());
}

TEST(About, InfoShowsTheDialogUntilOk)
{
    AppHarness h(false);
    auto& w = h.build();
    bool sawDialog = false;
    QTimer::singleShot(0, [&] {
        sawDialog = w.DLG_Info->isVisible();
        QTest::mouseClick(w.DLG_Info->Button1, Qt::LeftButton);
    });
    w.MI_InfoClick();
    EXPECT_TRUE(sawDialog);
    EXPECT_FALSE(w.DLG_Info->isVisible());
    EXPECT_EQ(w.DLG_Info->windowTitle(), QStringLiteral("Info"));
    EXPECT_EQ(w.DLG_Info->StaticText5->text(), QStringLiteral("Interfaceprogramm für KAV72"));
    EXPECT_EQ(w.DLG_Info->StaticText7->text(), QStringLiteral("V 1.4"));
}

TEST(Closing, AnsweringNoKeepsEverythingYesDrainsAndClosesTheLink)
{
    AppHarness h;
    auto& w = h.start();
    w.show();
    h.dialogs.answers = {false};
    w.MI_BeendenClick();
    EXPECT_EQ(h.dialogs.asked, QStringList{QStringLiteral("Close application?")});
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.link().connected());

    h.dialogs.answers = {true};
    w.MI_BeendenClick();
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(w.link().connected());
}

TEST(Closing, TheCloseBoxDoesNotAsk)
{
    AppHarness h;
    auto& w = h.start();
    w.show();
    w.close();
    EXPECT_TRUE(h.dialogs.asked.isEmpty());
    EXPECT_FALSE(w.link().connected());
}

}  // namespace
}  // namespace dztest
