// A full WVGA display scan (800 columns of 480 rows, 801 round trips) through the
// program's own page and scan code (offscreen) against the simulated receiver,
// beside the floor: a bare blocking client that sends the same requests and
// reads the same answers. Also the process's peak resident memory afterwards.
//
// The process keeps to one CPU, for the reason BenchSupport.h gives.

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>
#include <vector>

#include "BenchSupport.h"
#include "SimReceiver.h"
#include "app/Dialogs.h"
#include "link/DeviceLink.h"
#include "scan/ScanPage.h"

namespace {

using dzbench::best;
using dzbench::Figures;
using dzbench::Outcome;
using dzbench::threadCpuMs;

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

// "Scan" on the display-copy page with the "Full WVGA" preset.
Figures program(dzsim::SimReceiver& sim)
{
    dz::LinkConfig config;
    config.device = dz::Endpoint{"127.0.0.1", sim.port()};
    dz::DeviceLink link(config);
    link.OpenAtStart();
    Outcome dialogs;
    dz::FileDialogSettings open;
    dz::FileDialogSettings save;
    dz::ScanPage page(dz::PageContext{link, dialogs, open, save});
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
    if (!dzbench::readExactly(fd, head, sizeof head)) {
        return false;
    }
    const std::size_t length = head[0] | (head[1] << 8);
    if (length < 4) {
        return false;
    }
    frame.resize(length - 4);
    return dzbench::readExactly(fd, frame.data(), frame.size());
}

// The same request and acknowledgements, each followed by a blocking read of its answer.
Figures floor(dzsim::SimReceiver& sim)
{
    Figures f;
    const int fd = dzbench::connectTo(sim.port());
    if (fd < 0) {
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

}  // namespace

int main(int argc, char** argv)
{
    dzbench::keepToOneCpu();
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
    for (const dzbench::Delay& delay : dzbench::kDelays) {
        dzsim::Faults faults;
        faults.answerDelayMs = delay.delayMs;
        faults.answerJitterMs = delay.jitterMs;
        sim.setFaults(faults);
        Figures f = floor(sim);
        Figures p = program(sim);
        for (int i = 1; i < delay.runs; ++i) {
            f = best(f, floor(sim));
            p = best(p, program(sim));
        }
        char name[80];
        std::snprintf(name, sizeof name, "full WVGA scan, %s", delay.name);
        dzbench::figuresRow(name, p, f, delay.target);
        failures += !(p.ok && f.ok);
    }
    char peak[32];
    const double peakMiB = static_cast<double>(peakResidentKiB()) / 1024.0;
    std::snprintf(peak, sizeof peak, "%.1f MiB", peakMiB);
    dzbench::row("peak resident memory after full scans", peak, "", 0, "< 80 MiB", peakMiB > 0);
    sim.stop();
    return failures == 0 ? 0 : 1;
}
