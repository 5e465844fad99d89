// A long run against a flaky receiver: synchronizations, full scans and updates
// in a row, with random faults in 1 % of the answers (fixed seed). Every
// operation must end with one of its messages, the window must stay usable, and
// memory must stay flat once the program has warmed up.
//
// The suite runs a short form; DIZURO_SOAK=full runs 1000 synchronizations,
// 50 full scans and 20 updates of 1 MiB.

#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>

#include "scan/ScanPage.h"
#include "support/AppHarness.h"
#include "update/UpdatePage.h"

namespace dztest {
namespace {

struct Plan {
    int syncs;
    int scans;
    int updates;
    int updateBytes;
};

Plan plan()
{
    const char* soak = std::getenv("DIZURO_SOAK");
    if (soak != nullptr && std::string(soak) == "full") {
        return {1000, 50, 20, 1 << 20};
    }
    return {150, 4, 2, 64 * 1024};
}

long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').front().toLong();
        }
    }
    return -1;
}

// Between two operations a person reads the box and clicks on; answers still on their way
// from the last one (a late one, a column trickling in byte by byte) come in meanwhile.
constexpr int kPersonMs = 20;

const QString kLinkLost = QStringLiteral("KAV doesn't respond to WLAN!");

// The messages each operation may end with, whatever the receiver did.
const std::set<QString> kScanEnds = {
    QStringLiteral("All data received!"),
    QStringLiteral("Device doesn't respond!"),
    QStringLiteral("Timeout: Device doesn't respond!"),
    QStringLiteral("No connection available!"),
};
const std::set<QString> kUpdateEnds = {
    QStringLiteral("File transfer finished successfully!"),
    QStringLiteral("File cannot be loaded into KAV!"),
    QStringLiteral("NACK_RX_Queue: Configuration can not be saved!"),
    QStringLiteral("Exception caused by device driver!"),
    QStringLiteral("Timeout: Device doesn't respond!"),
    QStringLiteral("No connection or file available!"),
};

enum class Op { Sync, Scan, Update };

TEST(Soak, FlakyReceiverNeverLeavesAnOperationWithoutItsEnd)
{
    const Plan p = plan();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    AppHarness h;
    h.config.update.clearingTickMs = 10;
    h.sim.with([](dzsim::SimState& s) { s.update.clearMs = 20; });
    dz::TFMain& w = h.start();
    ASSERT_TRUE(w.CB_WLAN->isChecked());

    const QString image = dir.filePath(QStringLiteral("SOAK.BIN"));
    {
        QFile f(image);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        QByteArray bytes(p.updateBytes, '\0');
        for (int i = 0; i < bytes.size(); ++i) {
            bytes[i] = static_cast<char>(i * 7 + (i >> 9));
        }
        ASSERT_EQ(f.write(bytes), bytes.size());
    }
    h.dialogs.files.push_back(image);
    w.TS_Download->RB_LAN->setChecked(true);
    w.MI_OeffnenClick();
    ASSERT_EQ(w.TS_Download->FirmwarePath, image);

    // One clean scan and update first: the buffers they need once (the update file, the
    // picture) are then in place before memory is watched.
    w.TS_Dispcpy->B_DispcpyClick();
    w.TS_Download->B_StartClick();
    ASSERT_EQ(h.dialogs.shown, (QStringList{QStringLiteral("All data received!"),
                                            QStringLiteral("File transfer finished successfully!")}));

    dzsim::Faults faults;
    faults.randomPerMille = 10;
    faults.randomSeed = 20261211;
    h.sim.setFaults(faults);

    // The scans and updates spread evenly among the synchronizations.
    std::vector<Op> ops(static_cast<std::size_t>(p.syncs), Op::Sync);
    const auto spread = [&ops](int count, Op op) {
        const std::size_t step = ops.size() / static_cast<std::size_t>(count + 1);
        for (int i = count; i >= 1; --i) {
            ops.insert(ops.begin() + static_cast<std::ptrdiff_t>(step * static_cast<std::size_t>(i)), op);
        }
    };
    spread(p.scans, Op::Scan);
    spread(p.updates, Op::Update);

    std::map<QString, int> outcomes;
    int refinds = 0;
    long rssAt100 = 0;
    qint64 longestMs = 0;
    const qint64 bound = h.config.link.watchdogMs + 1000;
    QElapsedTimer whole;
    whole.start();
    for (std::size_t n = 0; n < ops.size(); ++n) {
        if (!w.CB_WLAN->isChecked()) {
            ++refinds;
            w.MI_WLANClick();
            waitFor([&w] { return !w.EWLANDevice->text().isEmpty(); }, bound);
        }
        settle(kPersonMs);
        h.dialogs.shown.clear();
        QElapsedTimer t;
        t.start();
        QString end;
        switch (ops[n]) {
            case Op::Sync:
                w.TS_Download->B_SyncClick();
                end = w.TS_Download->deviceModeKnown() ? QStringLiteral("sync: answered")
                                                       : QStringLiteral("sync: no answer");
                // Synchronize shows no box of its own; only the link may have said something.
                for (const QString& shown : h.dialogs.shown) {
                    ASSERT_EQ(shown, kLinkLost) << "operation " << n;
                }
                break;
            case Op::Scan: {
                w.PC_main->setCurrentWidget(w.TS_Dispcpy);
                w.TS_Dispcpy->B_DispcpyClick();
                ASSERT_FALSE(h.dialogs.shown.isEmpty()) << "scan " << n << " ended without a message";
                end = h.dialogs.shown.back();
                ASSERT_TRUE(kScanEnds.count(end)) << end.toStdString();
                ASSERT_LE(h.dialogs.shown.size(), 2);
                EXPECT_TRUE(w.TS_Dispcpy->B_Dispcpy->isEnabled());
                end = QStringLiteral("scan: ") + end;
                break;
            }
            case Op::Update:
                w.PC_main->setCurrentWidget(w.TS_Download);
                w.TS_Download->B_SyncClick();
                if (!w.TS_Download->deviceModeKnown()) {
                    end = QStringLiteral("update: not started, no sync");
                    break;
                }
                w.TS_Download->B_StartClick();
                ASSERT_FALSE(h.dialogs.shown.isEmpty()) << "update " << n << " ended without a message";
                end = h.dialogs.shown.back();
                ASSERT_TRUE(kUpdateEnds.count(end)) << end.toStdString();
                EXPECT_TRUE(w.PC_main->tabBar()->isEnabled());
                end = QStringLiteral("update: ") + end;
                break;
        }
        ++outcomes[end];
        longestMs = std::max(longestMs, t.elapsed());
        EXPECT_TRUE(w.link().idle());
        if (n + 1 == 100) {
            rssAt100 = residentKiB();
        }
    }
    const long rssEnd = residentKiB();
    const dzsim::Stats stats = h.sim.stats();

    std::printf("\nsoak: %zu operations in %.1f s, %llu requests, %llu random faults, %d re-finds of the link\n",
                ops.size(), static_cast<double>(whole.elapsed()) / 1000.0,
                static_cast<unsigned long long>(stats.requests), static_cast<unsigned long long>(stats.randomFaults),
                refinds);
    for (const auto& [end, count] : outcomes) {
        std::printf("  %6d  %s\n", count, qPrintable(end));
    }
    std::printf("  longest operation %lld ms; resident %ld KiB after op 100, %ld KiB at the end (%+ld KiB)\n",
                static_cast<long long>(longestMs), rssAt100, rssEnd, rssEnd - rssAt100);

    EXPECT_GT(stats.randomFaults, 0u);
    EXPECT_LT(rssEnd - rssAt100, 1024) << "memory grew from the 100th operation on";
    // A scan or update that ran into a fault must still have ended: no operation may
    // wait longer than a scan's full run plus one watchdog.
    EXPECT_LT(longestMs, 20000);

    // With the faults lifted the receiver is fully usable again, once the answers
    // still on their way (late ones, or a column trickling in byte by byte) are in.
    h.sim.setFaults({});
    settle(dzsim::kLateAnswerMs + 600);
    if (!w.CB_WLAN->isChecked()) {
        w.MI_WLANClick();
        ASSERT_TRUE(waitFor([&w] { return !w.EWLANDevice->text().isEmpty(); }));
    }
    h.dialogs.shown.clear();
    w.TS_Dispcpy->B_DispcpyClick();
    EXPECT_EQ(h.dialogs.shown, QStringList{QStringLiteral("All data received!")});
}

}  // namespace
}  // namespace dztest
