// What the program costs while it waits: CPU during 10 s idle with the link up and
// during a silent 3-second watchdog wait, and the time from start to the first paint
// of the window against the simulated receiver. Each figure stands beside its floor,
// measured in the same run: an empty Qt window doing the same.

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QMainWindow>
#include <QTimer>

#include <cstdio>
#include <ctime>
#include <functional>
#include <string>

#include "BenchTable.h"
#include "SimReceiver.h"
#include "app/AppConfig.h"
#include "app/TFMain.h"
#include "link/EventWait.h"
#include "update/UpdatePage.h"

namespace {

double cpuMs()
{
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Lets the event loop run for `ms` and returns the CPU used meanwhile, in % of one core.
double idlePercent(int ms)
{
    const double before = cpuMs();
    QElapsedTimer wall;
    wall.start();
    dz::pumpUntil([] { return false; }, ms);
    return 100.0 * (cpuMs() - before) / static_cast<double>(wall.elapsed());
}

class Silent final : public dz::Dialogs {
public:
    void information(const QString&) override {}
    bool confirm(const QString&, dz::DefaultAnswer) override { return true; }
    bool openFile(dz::FileDialogSettings&) override { return false; }
    bool saveFile(dz::FileDialogSettings&) override { return false; }
    std::optional<QColor> chooseColor(const QColor&) override { return std::nullopt; }
};

// Shows `w` and returns the milliseconds from `clock`'s start to its first paint.
double untilFirstPaint(QWidget& w, const QElapsedTimer& clock)
{
    struct Watch : QObject {
        double at = -1;
        const QElapsedTimer* clock = nullptr;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Paint && at < 0) {
                at = static_cast<double>(clock->nsecsElapsed()) / 1e6;
            }
            return false;
        }
    } watch;
    watch.clock = &clock;
    w.installEventFilter(&watch);
    w.show();
    dz::pumpUntil([&] { return watch.at >= 0; }, 5000);
    w.removeEventFilter(&watch);
    return watch.at;
}

}  // namespace

// The floor of the start: an empty Qt program with a window of the same size, in a
// process of its own, from its main() to its first paint.
int emptyStart(int argc, char** argv)
{
    QElapsedTimer clock;
    clock.start();
    QApplication app(argc, argv);
    QMainWindow empty;
    empty.resize(1007, 606);
    std::printf("%.3f\n", untilFirstPaint(empty, clock));
    return 0;
}

double floorStart(const char* self)
{
    const std::string command = std::string("'") + self + "' --empty-start";
    FILE* child = ::popen(command.c_str(), "r");
    double ms = -1;
    if (child != nullptr) {
        if (std::fscanf(child, "%lf", &ms) != 1) {
            ms = -1;
        }
        ::pclose(child);
    }
    return ms;
}

int main(int argc, char** argv)
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (argc > 1 && std::string(argv[1]) == "--empty-start") {
        return emptyStart(argc, argv);
    }
    QApplication app(argc, argv);

    dzsim::SimReceiver sim;
    if (!sim.start()) {
        std::fprintf(stderr, "bench_link: %s\n", sim.error().c_str());
        return 1;
    }
    dz::AppConfig config;  // the receiver's own intervals
    config.link.device = dz::Endpoint{"127.0.0.1", sim.port()};
    Silent dialogs;
    dz::TFMain window(config, dialogs);
    window.FormCreate();
    const double startPaint = untilFirstPaint(window, sinceStart);
    const double floorPaint = floorStart(argv[0]);
    if (!window.link().linkUp()) {
        std::fprintf(stderr, "bench_link: the link did not come up\n");
        return 1;
    }
    // Let the start-up's unanswered watchdog run out before measuring.
    dz::pumpUntil([&] { return !window.link().watchdog().isActive(); }, 5000);

    const double floorIdle = idlePercent(10000);
    const double idle = idlePercent(10000);

    dzsim::Faults silent;
    silent.silenceAfter = 0;
    sim.setFaults(silent);
    const double before = cpuMs();
    QElapsedTimer wall;
    wall.start();
    window.TS_Download->B_SyncClick();
    const double waitMs = static_cast<double>(wall.elapsed());
    const double waitPercent = 100.0 * (cpuMs() - before) / waitMs;
    const double floorWait = idlePercent(3000);

    char program[32];
    char floor[32];
    std::snprintf(program, sizeof program, "%.2f%%", idle);
    std::snprintf(floor, sizeof floor, "%.2f%%", floorIdle);
    dzbench::row("CPU, 10 s idle with the link up", program, floor, 0, "< 1 % of a core");
    std::snprintf(program, sizeof program, "%.2f%%", waitPercent);
    std::snprintf(floor, sizeof floor, "%.2f%%", floorWait);
    dzbench::row("CPU, silent watchdog wait (3 s)", program, floor, 0, "< 1 % of a core",
                 waitMs >= 2900 && waitMs < 4000);
    std::snprintf(program, sizeof program, "%.1f ms", startPaint);
    std::snprintf(floor, sizeof floor, "%.1f ms", floorPaint);
    dzbench::row("start to first paint, demo receiver", program, floor, startPaint / floorPaint, "< 300 ms");
    sim.stop();
    return 0;
}
