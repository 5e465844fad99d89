// A full WVGA display scan (800 columns of 480 rows, 801 round trips) through the
// program's own page and scan code (offscreen) against the simulated receiver,
// beside the floor: a bare blocking client that sends the same requests and
// reads the same answers. Also the process's peak resident memory afterwards.
//
// The process keeps to one CPU, as bench_update explains.

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>

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
#include "scan/ScanPage.h"

namespace {

double threadCpuMs()
{
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

long peakResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            return line.mid(6).trimmed().split(' ').front().toLong();
        }
    }
    return -1;
}

struct Figures {
    double wallMs = 0;
    double cpuMs = 0;
    bool ok = false;
};

class Outcome final : public dz::Dialogs {
public:
    QString text;
    void information(const QString& t) override { text = t; }
    bool confirm(const QString&) override { return true; }
    bool openFile(dz::FileDialogSettings&) override { return false; }
    bool saveFile(dz::FileDialogSettings&) override { return false; }
    std::optional<QColor> chooseColor(const QColor&) override { return std::nullopt; }
};

// "Scan" on the display-copy page with the "Full WVGA" preset.
Figures program(dzsim::SimReceiver& sim)
{
    dz::Exchange ex;
    dz::LinkConfig config;
    config.device = dz::Endpoint{"127.0.0.1", sim.port()};
    dz::DeviceLink link(ex, config);
    link.OpenAtStart();
    Outcome dialogs;
    dz::FileDialogSettings open;
    dz::FileDialogSettings save;
    dz::ScanPage page(dz::PageContext{ex, link, dialogs, open, save});
    const int acksBefore = sim.with([](dzsim::SimState& s) { return s.scan.acks; });
    QElapsedTimer wall;
    wall.start();
    const double cpu = threadCpuMs();
    page.B_DispcpyClick();
    Figures f{static_cast<double>(wall.nsecsElapsed()) / 1e6, threadCpuMs() - cpu, false};
    const int acks = sim.with([](dzsim::SimState& s) { return s.scan.acks; }) - acksBefore;
    f.ok = dialogs.text == QStringLiteral("All data received!") && acks == 800;
    link.DrainAndClose();
    return f;
}

bool readFrame(int fd, std::vector<uint8_t>& frame)
{
    uint8_t head[4];
    for (std::size_t got = 0; got < sizeof head;) {
        const ssize_t n = ::recv(fd, head + got, sizeof head - got, 0);
        if (n <= 0) {
            return false;
        }
        got += static_cast<std::size_t>(n);
    }
    const std::size_t length = head[0] | (head[1] << 8);
    if (length < 4) {
        return false;
    }
    frame.resize(length - 4);
    for (std::size_t got = 0; got < frame.size();) {
        const ssize_t n = ::recv(fd, frame.data() + got, frame.size() - got, 0);
        if (n <= 0) {
            return false;
        }
        got += static_cast<std::size_t>(n);
    }
    return true;
}

// The same request and acknowledgements, each followed by a blocking read of its answer.
Figures floor(dzsim::SimReceiver& sim)
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
    const uint8_t request[] = {0x08, 0x00, 0x00, 0x00, 0x00, 0x20, 0x03, 0xE0, 0x01, 0x00};
    const uint8_t ack = 0;
    std::vector<uint8_t> frame;
    QElapsedTimer wall;
    wall.start();
    const double cpu = threadCpuMs();
    bool ok = ::send(fd, request, sizeof request, 0) == sizeof request && readFrame(fd, frame) && frame.size() == 4;
    for (int column = 0; ok && column < 800; ++column) {
        ok = ::send(fd, &ack, 1, 0) == 1 && readFrame(fd, frame) && frame.size() == 484 &&
             (frame[0] | (frame[1] << 8)) == column;
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
    dzsim::SimReceiver sim;
    if (!sim.start()) {
        std::fprintf(stderr, "bench_scan: %s\n", sim.error().c_str());
        return 1;
    }
    int failures = 0;
    for (const int delay : {0, 2}) {
        dzsim::Faults faults;
        faults.answerDelayMs = delay;
        sim.setFaults(faults);
        const int runs = delay ? 1 : 3;
        Figures f = floor(sim);
        Figures p = program(sim);
        for (int i = 1; i < runs; ++i) {
            f = best(f, floor(sim));
            p = best(p, program(sim));
        }
        row(delay ? "full WVGA scan, 2 ms per answer" : "full WVGA scan, loopback", p, f, delay ? "< 1.05x" : "< 1.5x");
        failures += !(p.ok && f.ok);
    }
    char peak[32];
    const double peakMiB = static_cast<double>(peakResidentKiB()) / 1024.0;
    std::snprintf(peak, sizeof peak, "%.1f MiB", peakMiB);
    dzbench::row("peak resident memory after full scans", peak, "", 0, "< 80 MiB", peakMiB > 0);
    sim.stop();
    return failures == 0 ? 0 : 1;
}
