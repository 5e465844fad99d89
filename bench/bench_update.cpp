// A 1 MiB software transfer, both targets, through the program's own page and
// transfer code (offscreen) against the simulated receiver, beside the floor: a
// bare blocking client that sends the same requests and waits for the same
// answers, one round trip each. CPU is the measuring thread's own (the simulator
// runs on another).
//
// The process keeps to one CPU: on a virtual machine a wake-up across CPUs costs
// more than the whole round trip and comes and goes from run to run, for the
// program and the floor alike; on one CPU both are measured the same way.

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QRadioButton>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sched.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <vector>

#include "BenchTable.h"
#include "SimReceiver.h"
#include "app/Dialogs.h"
#include "link/DeviceLink.h"
#include "update/UpdatePage.h"

namespace {

constexpr std::size_t kFileSize = 1 << 20;

double threadCpuMs()
{
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

struct Figures {
    double wallMs = 0;
    double cpuMs = 0;
    bool ok = false;
};

std::vector<uint8_t> content()
{
    std::vector<uint8_t> f(kFileSize);
    for (std::size_t i = 0; i < f.size(); ++i) {
        f[i] = static_cast<uint8_t>(i * 31 + (i >> 11));
    }
    return f;
}

class Outcome final : public dz::Dialogs {
public:
    QString text;
    void information(const QString& t) override { text = t; }
    bool confirm(const QString&) override { return true; }
    bool openFile(dz::FileDialogSettings&) override { return false; }
    bool saveFile(dz::FileDialogSettings&) override { return false; }
    std::optional<QColor> chooseColor(const QColor&) override { return std::nullopt; }
};

// "Start" on the update page, with the file chosen and the target checked.
Figures program(dzsim::SimReceiver& sim, dz::UpdateTarget target, const QString& path)
{
    dz::Exchange ex;
    dz::LinkConfig config;
    config.device = dz::Endpoint{"127.0.0.1", sim.port()};
    dz::DeviceLink link(ex, config);
    link.OpenAtStart();
    Outcome dialogs;
    dz::FileDialogSettings open;
    dz::FileDialogSettings save;
    open.FileName = path;
    dz::UpdatePage page(dz::PageContext{ex, link, dialogs, open, save}, dz::UpdateConfig{});
    page.GB_Download->setEnabled(true);
    (target == dz::UpdateTarget::Lan ? page.RB_LAN : page.RB_Pocket)->setChecked(true);
    page.LB_Applikation->addItem(QStringLiteral("bench"));
    page.FirmwarePath = path;
    QElapsedTimer wall;
    wall.start();
    const double cpu = threadCpuMs();
    page.B_StartClick();
    Figures f{static_cast<double>(wall.nsecsElapsed()) / 1e6, threadCpuMs() - cpu, false};
    f.ok = dialogs.text == QStringLiteral("File transfer finished successfully!") &&
           sim.with([](dzsim::SimState& s) { return s.update.data == content(); });
    link.DrainAndClose();
    return f;
}

bool readFrame(int fd, uint8_t* code)
{
    uint8_t frame[8];
    std::size_t got = 0;
    while (got < sizeof frame) {
        const ssize_t n = ::recv(fd, frame + got, sizeof frame - got, 0);
        if (n <= 0) {
            return false;
        }
        got += static_cast<std::size_t>(n);
    }
    *code = frame[4];
    return true;
}

// The same requests, each followed by a blocking read of its answer.
Figures floor(dzsim::SimReceiver& sim, dz::UpdateTarget target)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(sim.port());
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    Figures f;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        ::close(fd);
        return f;
    }
    dz::UpdateEncoder encoder(target, content(), dz::makeNameField("BENCH.KPF"));
    QElapsedTimer wall;
    wall.start();
    const double cpu = threadCpuMs();
    const auto start = dz::BuildStartRequest(target, kFileSize);
    uint8_t code = 0;
    bool ok = ::send(fd, start.data(), start.size(), 0) == 5 && readFrame(fd, &code) && code == 90 &&
              readFrame(fd, &code) && code == 0;
    while (ok && !encoder.complete()) {
        const auto block = encoder.BuildNextBlock();
        ok = ::send(fd, block.bytes.data(), block.bytes.size(), 0) == static_cast<ssize_t>(block.bytes.size()) &&
             readFrame(fd, &code) && code == 0;
    }
    f.wallMs = static_cast<double>(wall.nsecsElapsed()) / 1e6;
    f.cpuMs = threadCpuMs() - cpu;
    f.ok = ok;
    ::close(fd);
    return f;
}

Figures best(const Figures& a, const Figures& b)
{
    Figures f = a.wallMs <= b.wallMs ? a : b;
    f.ok = a.ok && b.ok;
    return f;
}

void row(const char* name, const Figures& p, const Figures& f, const char* target)
{
    char program[32];
    char floor[32];
    std::snprintf(program, sizeof program, "%.1f ms", p.wallMs);
    std::snprintf(floor, sizeof floor, "%.1f ms", f.wallMs);
    dzbench::row(name, program, floor, p.wallMs / f.wallMs, target, p.ok && f.ok);
    std::snprintf(program, sizeof program, "%.1f ms", p.cpuMs);
    std::snprintf(floor, sizeof floor, "%.1f ms", f.cpuMs);
    dzbench::row("  its CPU time", program, floor, 0, "");
}

}  // namespace

int main(int argc, char** argv)
{
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(sched_getcpu(), &one);
    ::sched_setaffinity(0, sizeof one, &one);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString lan = dir.filePath(QStringLiteral("BENCH.BIN"));
    const QString pocket = dir.filePath(QStringLiteral("BENCH.KPF"));
    for (const QString& path : {lan, pocket}) {
        QFile f(path);
        const auto bytes = content();
        if (!f.open(QIODevice::WriteOnly) ||
            f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size())) !=
                static_cast<qint64>(bytes.size())) {
            std::fprintf(stderr, "bench_update: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    dzsim::SimReceiver sim;
    if (!sim.start()) {
        std::fprintf(stderr, "bench_update: %s\n", sim.error().c_str());
        return 1;
    }
    sim.with([](dzsim::SimState& s) { s.update.clearMs = 0; });
    int failures = 0;
    for (const int delay : {0, 2}) {
        dzsim::Faults faults;
        faults.answerDelayMs = delay;
        sim.setFaults(faults);
        for (const auto target : {dz::UpdateTarget::Lan, dz::UpdateTarget::Pocket}) {
            const QString& path = target == dz::UpdateTarget::Lan ? lan : pocket;
            // On loopback the best of three runs, so that a stray pause of the machine does not count.
            const int runs = delay ? 1 : 3;
            Figures f = floor(sim, target);
            Figures p = program(sim, target, path);
            for (int i = 1; i < runs; ++i) {
                f = best(f, floor(sim, target));
                p = best(p, program(sim, target, path));
            }
            char name[80];
            std::snprintf(name, sizeof name, "update 1 MiB, %s, %s",
                          target == dz::UpdateTarget::Lan ? "LAN driver" : "pocket package",
                          delay ? "2 ms per answer" : "loopback");
            row(name, p, f, delay ? "< 1.05x" : "< 1.5x");
            failures += !(p.ok && f.ok);
        }
    }
    sim.stop();
    return failures == 0 ? 0 : 1;
}
