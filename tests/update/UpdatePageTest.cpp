// The update page end to end: file choice, target buttons, the checks before a
// transfer and a transfer driven by its buttons, with the real widgets offscreen.

#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include "scan/ScanPage.h"
#include "slots/SlotsPage.h"
#include "support/AppHarness.h"
#include "update/UpdatePage.h"

namespace dztest {
namespace {

const QString kNoFile = QStringLiteral("No connection or file available!");
const QString kSuccess = QStringLiteral("File transfer finished successfully!");

class UpdatePageTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        h.config.update.clearingTickMs = 10;
        h.sim.with([](dzsim::SimState& s) { s.update.clearMs = 20; });
    }

    dz::TFMain& start()
    {
        auto& w = h.start();
        page = w.TS_Download;
        return w;
    }

    QString file(const QString& name, int size)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        QByteArray bytes(size, '\0');
        for (int i = 0; i < size; ++i) {
            bytes[i] = static_cast<char>(i * 13);
        }
        f.write(bytes);
        return path;
    }

    // File > Open with this answer from the dialog.
    void choose(dz::TFMain& w, const QString& path)
    {
        h.dialogs.files.push_back(path);
        w.MI_OeffnenClick();
    }

    QTemporaryDir dir;
    AppHarness h;
    dz::UpdatePage* page = nullptr;
};

TEST_F(UpdatePageTest, OpenOffersTheFiltersTheTargetButtonsSet)
{
    auto& w = start();
    h.dialogs.files.push_back(std::nullopt);
    w.MI_OeffnenClick();
    ASSERT_EQ(h.dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(h.dialogs.fileDialogs[0].Filter, QStringLiteral("Dizuro Software *.KPF|*.KPF|LAN Driver *.BIN|*.BIN"));
    EXPECT_EQ(h.dialogs.fileDialogs[0].DefaultExt, QStringLiteral("*.KPF"));

    QTest::mouseClick(page->RB_Pocket, Qt::LeftButton);
    choose(w, file(QStringLiteral("A.KPF"), 10));
    EXPECT_EQ(h.dialogs.fileDialogs[1].Filter, QStringLiteral("Dizuro Software *.Kpf|*.Kpf"));
    EXPECT_EQ(h.dialogs.fileDialogs[1].DefaultExt, QStringLiteral("*.Kpf"));

    QTest::mouseClick(page->RB_LAN, Qt::LeftButton);
    h.dialogs.files.push_back(std::nullopt);
    w.MI_OeffnenClick();
    EXPECT_EQ(h.dialogs.fileDialogs[2].Filter, QStringLiteral("LAN Driver *.Bin|*.Bin"));
    EXPECT_EQ(h.dialogs.fileDialogs[2].DefaultExt, QStringLiteral("*.Bin"));
    // Cancelling kept the earlier choice; clicking a target did not test it.
    EXPECT_EQ(page->LB_Applikation->count(), 1);
    EXPECT_EQ(page->LB_Applikation->item(0)->text(), QStringLiteral("A.KPF"));
    EXPECT_EQ(page->FirmwarePath, dir.filePath(QStringLiteral("A.KPF")));
}

TEST_F(UpdatePageTest, ASecondChoiceReplacesTheFirst)
{
    auto& w = start();
    choose(w, file(QStringLiteral("A.KPF"), 10));
    choose(w, file(QStringLiteral("B.BIN"), 10));
    ASSERT_EQ(page->LB_Applikation->count(), 1);
    EXPECT_EQ(page->LB_Applikation->item(0)->text(), QStringLiteral("B.BIN"));
    EXPECT_EQ(page->FirmwarePath, dir.filePath(QStringLiteral("B.BIN")));
}

TEST_F(UpdatePageTest, OpenOnTheDisplayCopyPageDoesNothing)
{
    auto& w = start();
    w.PC_main->setCurrentWidget(w.TS_Dispcpy);
    w.MI_OeffnenClick();
    EXPECT_TRUE(h.dialogs.fileDialogs.empty());
}

TEST_F(UpdatePageTest, ChecksRefuseWithTheirMessageAndSendNothing)
{
    auto& w = start();
    QTest::mouseClick(page->B_Start, Qt::LeftButton);  // nothing chosen
    choose(w, file(QStringLiteral("A.Kpf"), 10));
    QTest::mouseClick(page->B_Start, Qt::LeftButton);  // no target
    QTest::mouseClick(page->RB_Pocket, Qt::LeftButton);
    QTest::mouseClick(page->B_Start, Qt::LeftButton);  // the extension's case
    choose(w, file(QStringLiteral("E.KPF"), 0));
    QTest::mouseClick(page->B_Start, Qt::LeftButton);  // empty
    EXPECT_EQ(h.dialogs.shown.mid(0, 3),
              (QStringList{kNoFile, QStringLiteral("No Target selected!"), QStringLiteral("No  *.KPF File!")}));
    ASSERT_EQ(h.dialogs.shown.size(), 4);
    EXPECT_TRUE(h.dialogs.shown[3].contains(QStringLiteral("is empty")));
    EXPECT_EQ(h.sim.stats().byCode[0x0C], 0u);
    EXPECT_TRUE(page->B_Start->isEnabled());
}

TEST_F(UpdatePageTest, WithTheLinkDownAValidChoiceIsStillRefused)
{
    auto& w = start();
    QTest::mouseClick(page->RB_LAN, Qt::LeftButton);
    choose(w, file(QStringLiteral("L.BIN"), 300));
    w.link().TCP_ClientError(0);
    h.dialogs.shown.clear();
    QTest::mouseClick(page->B_Start, Qt::LeftButton);
    EXPECT_EQ(h.dialogs.shown, QStringList{kNoFile});
}

TEST_F(UpdatePageTest, TransferRunsWithItsControlsLockedUntilTheOutcomeIsConfirmed)
{
    auto& w = start();
    QTest::mouseClick(page->RB_LAN, Qt::LeftButton);
    choose(w, file(QStringLiteral("L.BIN"), 1000));
    bool lockedDuringOutcome = false;
    h.dialogs.onInformation = [&](const QString&) {
        lockedDuringOutcome = !page->B_Start->isEnabled() && !page->B_Sync->isEnabled() &&
                              !w.PC_main->tabBar()->isEnabled() && !page->RB_Pocket->isEnabled();
    };
    QTest::mouseClick(page->B_Start, Qt::LeftButton);
    EXPECT_EQ(h.dialogs.shown, QStringList{kSuccess});
    EXPECT_TRUE(lockedDuringOutcome);
    EXPECT_TRUE(page->B_Start->isEnabled());
    EXPECT_TRUE(page->B_Sync->isEnabled());
    EXPECT_TRUE(w.PC_main->tabBar()->isEnabled());
    EXPECT_EQ(page->L_Bytes->text(), QStringLiteral("1024"));
    EXPECT_EQ(page->L_Send->text(), QStringLiteral("Bytes sent:"));
    EXPECT_EQ(page->PB_Sent->value(), 100);
    h.sim.with([](dzsim::SimState& s) { EXPECT_EQ(s.update.data.size(), 1000u); });
}

TEST_F(UpdatePageTest, AMemoryFileOpenedOnAnotherPageDoesNotChangeTheUpdateFile)
{
    auto& w = start();
    QTest::mouseClick(page->RB_Pocket, Qt::LeftButton);
    choose(w, file(QStringLiteral("RADIO.KPF"), 700));
    // The shared open dialog's last choice is now a memory file.
    w.PC_main->setCurrentWidget(w.TS_Speicher);
    choose(w, file(QStringLiteral("slots.Mem"), 63 * 256));
    w.PC_main->setCurrentWidget(page);
    QTest::mouseClick(page->B_Start, Qt::LeftButton);
    EXPECT_EQ(h.dialogs.shown, QStringList{kSuccess});
    h.sim.with([](dzsim::SimState& s) {
        EXPECT_EQ(s.update.data.size(), 700u);
        EXPECT_EQ(std::string(s.update.nameField.begin() + 2, s.update.nameField.begin() + 11), "RADIO.KPF");
    });
}

TEST_F(UpdatePageTest, StartDisabledWhileAnotherOperationRunsLooksDisabled)
{
    auto& w = start();
    ASSERT_TRUE(page->GB_Download->isEnabled());
    bool greyedDuringScan = false;
    h.sim.with([](dzsim::SimState& s) { s.faults.answerDelayMs = 2; });
    QTimer::singleShot(20, [&] {
        const QColor shown = page->B_Start->palette().color(QPalette::Disabled, QPalette::ButtonText);
        greyedDuringScan = !page->B_Start->isEnabled() && !page->B_Sync->isEnabled() && shown != QColor(Qt::black);
    });
    w.TS_Dispcpy->B_DispcpyClick();
    EXPECT_TRUE(greyedDuringScan);
    EXPECT_TRUE(page->B_Start->isEnabled());
}

TEST_F(UpdatePageTest, TheTargetStaysAsItWasWhenTheTransferStarted)
{
    auto& w = start();
    h.sim.with([](dzsim::SimState& s) { s.update.clearMs = 300; });
    QTest::mouseClick(page->RB_Pocket, Qt::LeftButton);
    choose(w, file(QStringLiteral("P.KPF"), 5000));
    bool clicked = false;
    QTimer::singleShot(50, [&] {
        QTest::mouseClick(page->RB_LAN, Qt::LeftButton);  // during the clearing phase
        clicked = true;
    });
    QTest::mouseClick(page->B_Start, Qt::LeftButton);
    EXPECT_TRUE(clicked);
    EXPECT_EQ(h.dialogs.shown, QStringList{kSuccess});
    EXPECT_TRUE(page->RB_Pocket->isChecked());
    h.sim.with([](dzsim::SimState& s) {
        EXPECT_EQ(s.update.target, dzsim::UpdateJob::Target::Pocket);
        EXPECT_EQ(s.update.data.size(), 5000u);
        EXPECT_EQ(s.update.sequenceErrors, 0);
    });
}

TEST_F(UpdatePageTest, LinkClosedMidTransferReportsTheLinkThenTheTransfer)
{
    auto& w = start();
    QTest::mouseClick(page->RB_LAN, Qt::LeftButton);
    choose(w, file(QStringLiteral("L.BIN"), 5000));
    dzsim::Faults f;
    f.dropAfter = 6;
    h.sim.setFaults(f);
    QTest::mouseClick(page->B_Start, Qt::LeftButton);
    EXPECT_EQ(h.dialogs.shown, (QStringList{QStringLiteral("KAV doesn't respond to WLAN!"),
                                            QStringLiteral("File cannot be loaded into KAV!")}));
    EXPECT_FALSE(w.CB_WLAN->isChecked());
}

TEST_F(UpdatePageTest, ClosingTheWindowDuringATransferEndsIt)
{
    auto& w = start();
    w.show();
    h.sim.with([](dzsim::SimState& s) { s.update.clearMs = 5000; });
    QTest::mouseClick(page->RB_LAN, Qt::LeftButton);
    choose(w, file(QStringLiteral("L.BIN"), 500));
    QTimer::singleShot(50, [&] { w.close(); });
    QElapsedTimer t;
    t.start();
    QTest::mouseClick(page->B_Start, Qt::LeftButton);
    EXPECT_LT(t.elapsed(), 2000);
    EXPECT_FALSE(page->transferRunning());
    EXPECT_FALSE(w.link().connected());
}

}  // namespace
}  // namespace dztest
