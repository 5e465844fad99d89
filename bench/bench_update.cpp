// A 1 MiB software transfer, both targets, through the program's own page and
// transfer code (offscreen) against the simulated receiver, beside the floor: a
// bare blocking client that sends the same requests and waits for the same
// answers, one round trip each. CPU is the measuring thread's own (the simulator
// runs on another).
//
// The process keeps to one CPU, for the reason BenchSupport.h gives.

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QRadioButton>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

#include "BenchSupport.h"
#include "SimReceiver.h"
#include "app/Dialogs.h"
#include "link/DeviceLink.h"
#include "update/UpdatePage.h"

namespace {

using dzbench::best;
using dzbench::Figures;
using dzbench::Outcome;
using dzbench::threadCpuMs;

constexpr std::size_t kFileSize = 1 << 20;

std::vector<uint8_t> content()
{
    std::vector<uint8_t> f(kFileSize);
    for (std::size_t i = 0; i < f.size(); ++i) {
        f[i] = static_cast<uint8_t>(i * 31 + (i >> 11));
    }
    return f;
}

// "Start" on the update page, with the file chosen and the target checked.
Figures program(dzsim::SimReceiver& sim, dz::UpdateTarget target, const QString& path)
{
    dz::LinkConfig config;
    config.device = dz::Endpoint{"127.0.0.1", sim.port()};
    dz::DeviceLink link(config);
    link.OpenAtStart();
    Outcome dialogs;
    dz::FileDialogSettings open;
    dz::FileDialogSettings save;
    open.FileName = path;
    dz::UpdatePage page(dz::PageContext{link, dialogs, open, save}, dz::UpdateConfig{});
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
    if (!dzbench::readExactly(fd, frame, sizeof frame)) {
        return false;
    }
    *code = frame[4];
    return true;
}

// The same requests, each followed by a blocking read of its answer.
Figures floor(dzsim::SimReceiver& sim, dz::UpdateTarget target)
{
    Figures f;
    const int fd = dzbench::connectTo(sim.port());
    if (fd < 0) {
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

}  // namespace

int main(int argc, char** argv)
{
    dzbench::keepToOneCpu();
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
    for (const dzbench::Delay& delay : dzbench::kDelays) {
        dzsim::Faults faults;
        faults.answerDelayMs = delay.delayMs;
        faults.answerJitterMs = delay.jitterMs;
        sim.setFaults(faults);
        // Over a slow link both targets cost the same round trips: the LAN driver stands for both.
        const bool loopback = delay.delayMs == 0;
        for (const auto target : {dz::UpdateTarget::Lan, dz::UpdateTarget::Pocket}) {
            if (!loopback && target == dz::UpdateTarget::Pocket) {
                continue;
            }
            const QString& path = target == dz::UpdateTarget::Lan ? lan : pocket;
            // On loopback the best of five runs, program and floor taking turns, so that a stray
            // pause of the machine counts for neither.
            Figures f = floor(sim, target);
            Figures p = program(sim, target, path);
            for (int i = 1; i < delay.runs; ++i) {
                f = best(f, floor(sim, target));
                p = best(p, program(sim, target, path));
            }
            char name[80];
            std::snprintf(name, sizeof name, "update 1 MiB, %s, %s",
                          target == dz::UpdateTarget::Lan ? "LAN driver" : "pocket package", delay.name);
            dzbench::figuresRow(name, p, f, delay.target);
            failures += !(p.ok && f.ok);
        }
    }
    sim.stop();
    return failures == 0 ? 0 : 1;
}
