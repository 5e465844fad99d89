// The hidden spectrum page: level counter, audio list and receive loop. The tests
// make the page current directly; the program itself never shows it.

#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTabWidget>
#include <QTimer>

#include <gtest/gtest.h>

#include "scan/ScanPage.h"
#include "spectrum/AudioPage.h"
#include "support/AppHarness.h"
#include "update/UpdatePage.h"

namespace dztest {
namespace {

class FixedAudio final : public dz::AudioOutputs {
public:
    explicit FixedAudio(std::vector<std::string> names) : m_names(std::move(names)) {}
    std::vector<std::string> productNames() override { return m_names; }

private:
    std::vector<std::string> m_names;
};

// A page of its own, with a link that is never opened.
struct LonePage {
    explicit LonePage(std::vector<std::string> devices)
        : link(fastLinkConfig(deadEndpoint())),
          page(dz::PageContext{link, dialogs, open, save}, std::make_unique<FixedAudio>(std::move(devices)))
    {
    }
    dz::DeviceLink link;
    ScriptedDialogs dialogs;
    dz::FileDialogSettings open;
    dz::FileDialogSettings save;
    dz::AudioPage page;
};

QStringList items(const QComboBox* box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i) {
        out << box->itemText(i);
    }
    return out;
}

TEST(SpectrumLevel, StaysWithinOneToSixteen)
{
    LonePage p({});
    for (int i = 0; i < 15; ++i) {
        p.page.B_MinusClick();
    }
    EXPECT_EQ(p.page.E_Ebene->text(), QStringLiteral("1"));
    p.page.B_MinusClick();
    EXPECT_EQ(p.page.E_Ebene->text(), QStringLiteral("1"));
    for (int i = 0; i < 15; ++i) {
        p.page.B_PLusClick();
    }
    EXPECT_EQ(p.page.E_Ebene->text(), QStringLiteral("16"));
    p.page.B_PLusClick();
    EXPECT_EQ(p.page.E_Ebene->text(), QStringLiteral("16"));
}

TEST(SpectrumAudio, ListsTheDevicesAfterTheNoDeviceItemAndSelectsTheLast)
{
    LonePage p({"Onboard: Analog Output", "USB Headset: USB Audio"});
    EXPECT_EQ(items(p.page.CB_Audio), QStringList{QStringLiteral("keine Audio-Device")});
    p.page.B_AudioClick();
    EXPECT_EQ(items(p.page.CB_Audio),
              (QStringList{QStringLiteral("kein Audio-Device"), QStringLiteral("Onboard: Analog Output"),
                           QStringLiteral("USB Headset: USB Audio")}));
    EXPECT_EQ(p.page.CB_Audio->currentIndex(), 2);
}

TEST(SpectrumAudio, WithoutDevicesTheNoDeviceItemIsSelected)
{
    LonePage p({});
    p.page.B_AudioClick();
    EXPECT_EQ(items(p.page.CB_Audio), QStringList{QStringLiteral("kein Audio-Device")});
    EXPECT_EQ(p.page.CB_Audio->currentIndex(), 0);
}

TEST(SpectrumAudio, ProductNamesAreCutToThirtyOneCharacters)
{
    EXPECT_EQ(dz::listedProductName("short"), "short");
    EXPECT_EQ(dz::listedProductName(std::string(40, 'x')), std::string(31, 'x'));
    // 30 letters and then "ä" and "b": the cut keeps whole characters.
    EXPECT_EQ(dz::listedProductName(std::string(30, 'a') + "\xC3\xA4"
                                                           "b"),
              std::string(30, 'a') + "\xC3\xA4");
}

TEST(SpectrumLoop, NoLoopWithoutTheLink)
{
    AppHarness h(false);
    auto& w = h.start();
    w.PC_main->setCurrentWidget(w.TS_KAV72);
    settle(30);
    EXPECT_FALSE(w.TS_KAV72->receiveLoopRunning());
}

// The loop holds the stack while it runs, as a user's actions meet it: each
// step runs as a timer event inside the running loop, polled until it returns
// true, then the next. Returns once every step is done and the loop has ended.
using Step = std::function<bool()>;

void insideTheLoop(AppHarness& h, std::vector<Step> steps)
{
    auto& w = *h.window;
    std::size_t next = 0;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (next < steps.size() && w.TS_KAV72->receiveLoopRunning() && steps[next]()) {
            ++next;
        }
    });
    poll.start();
    w.PC_main->setCurrentWidget(w.TS_KAV72);
    ASSERT_TRUE(waitFor([&] { return next == steps.size() && !w.TS_KAV72->receiveLoopRunning(); }));
}

TEST(SpectrumLoop, RunsWhileThePageIsCurrentAndDropsWhatArrives)
{
    AppHarness h;
    auto& w = h.start();
    ASSERT_TRUE(w.CB_WLAN->isChecked());
    const uint64_t before = h.sim.stats().requests;
    insideTheLoop(h, {[&] {
                          // The loop holds the link: nothing else may talk meanwhile.
                          EXPECT_EQ(w.link().operation(), dz::LinkOperation::Listen);
                          EXPECT_FALSE(w.TS_Dispcpy->B_Dispcpy->isEnabled());
                          EXPECT_FALSE(w.MI_WLAN->isEnabled());
                          EXPECT_EQ(w.link().QueryDeviceMode(), -1);
                          return true;
                      },
                      [&] {
                          w.PC_main->setCurrentWidget(w.TS_Download);
                          return true;
                      }});
    EXPECT_EQ(h.sim.stats().requests, before);
    // Back on another page, the link is free again.
    EXPECT_TRUE(w.TS_Dispcpy->B_Dispcpy->isEnabled());
    EXPECT_EQ(w.link().QueryDeviceMode(), 85);
}

TEST(SpectrumLoop, ClosingTheWindowEndsTheLoopFirst)
{
    AppHarness h;
    auto& w = h.start();
    w.show();
    insideTheLoop(h, {[&] {
                      w.close();
                      EXPECT_NE(w.PC_main->currentWidget(), w.TS_KAV72);
                      return true;
                  }});
    EXPECT_FALSE(w.link().connected());
}

TEST(SpectrumLoop, WaitingForDataSleeps)
{
    AppHarness h;
    auto& w = h.start();
    QElapsedTimer wall;
    double cpuAtStart = 0;
    double used = -1;
    insideTheLoop(h, {[&] {
                          wall.start();
                          cpuAtStart = processCpuMs();
                          return true;
                      },
                      [&] {
                          if (wall.elapsed() < 500) {
                              return false;
                          }
                          used = processCpuMs() - cpuAtStart;
                          w.PC_main->setCurrentWidget(w.TS_Download);
                          return true;
                      }});
    ASSERT_GE(used, 0.0);
    // Our 5 ms poll costs a little; a spinning loop would use the whole half second.
    EXPECT_LT(used, 150.0);
}

}  // namespace
}  // namespace dztest
