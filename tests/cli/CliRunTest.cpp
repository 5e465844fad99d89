// dizuro-cli as a user runs it: a process of its own, without a display, against
// the simulated receiver. What arrives at the receiver and what lands in the
// files is compared byte for byte and pixel for pixel.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

#include "ScanScreen.h"
#include "SimReceiver.h"
#include "scan/ScanPixels.h"
#include "support/LinkHarness.h"
#include "support/QtPrinting.h"

namespace dztest {
namespace {

using Bytes = std::vector<uint8_t>;

struct Outcome {
    int status = -1;
    QString out;
    QString err;
};

Bytes pattern(std::size_t size, uint8_t seed)
{
    Bytes b(size);
    for (std::size_t i = 0; i < size; ++i) {
        b[i] = static_cast<uint8_t>(seed + i * 7 + (i >> 8));
    }
    return b;
}

class CliRun : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sim.start()) << sim.error();
        ASSERT_TRUE(dir.isValid());
        sim.with([](dzsim::SimState& s) { s.update.clearMs = 30; });
    }

    // Runs the program with the simulator as its receiver; `device` false leaves the endpoint to `args`.
    Outcome cli(const QStringList& args, bool device = true)
    {
        QProcess p;
        // No display of any kind: the program must not need one.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
            env.remove(QString::fromLatin1(name));
        }
        // Its backups of the receiver's slots go to this test's folder.
        env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
        p.setProcessEnvironment(env);
        QStringList all;
        if (device) {
            all << QStringLiteral("--device") << QStringLiteral("127.0.0.1:%1").arg(sim.port());
        }
        p.start(QStringLiteral(DIZURO_CLI), all + args);
        Outcome r;
        if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit) {
            p.kill();
            p.waitForFinished();
            return r;
        }
        r.status = p.exitCode();
        r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
        r.err = QString::fromLocal8Bit(p.readAllStandardError());
        return r;
    }

    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    void writeFile(const QString& file, const Bytes& bytes)
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    }
    static Bytes readFile(const QString& file)
    {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly)) {
            return {};
        }
        const QByteArray b = f.readAll();
        return Bytes(b.begin(), b.end());
    }
    Bytes simSlots()
    {
        return sim.with([](dzsim::SimState& s) {
            Bytes all;
            for (const Bytes& r : s.memory.records) {
                all.insert(all.end(), r.begin(), r.end());
            }
            return all;
        });
    }

    dzsim::SimReceiver sim;
    QTemporaryDir dir;
};

TEST_F(CliRun, InfoTellsTheVersionsAndWhichImageRuns)
{
    struct Case {
        uint8_t answer;
        const char* image;
    };
    for (const Case c : {Case{85, "Dizuro Software active"}, Case{90, "Factory Image active"}}) {
        sim.with([&c](dzsim::SimState& s) { s.sync.imageAnswer = c.answer; });
        const Outcome r = cli({QStringLiteral("info")});
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        EXPECT_TRUE(r.out.contains(QStringLiteral("LAN V05; KAV0054 V107"))) << r.out.toStdString();
        EXPECT_TRUE(r.out.contains(QString::fromLatin1(c.image))) << r.out.toStdString();
        EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    }

    // Its own simulated receiver, on loopback, needs nothing else.
    const Outcome demo = cli({QStringLiteral("--demo"), QStringLiteral("info")}, false);
    EXPECT_EQ(demo.status, 0) << demo.err.toStdString();
    EXPECT_TRUE(demo.out.contains(QStringLiteral("Dizuro Software active"))) << demo.out.toStdString();
}

TEST_F(CliRun, UpdateSendsTheFileByteForByteToEitherTarget)
{
    struct Case {
        const char* name;
        std::size_t size;
        QStringList extra;
        dzsim::UpdateJob::Target target;
    };
    const Case cases[] = {
        {"pocket.KPF", 1000, {}, dzsim::UpdateJob::Target::Pocket},
        {"pocket.kpf", 257, {QStringLiteral("--target"), QStringLiteral("pocket")}, dzsim::UpdateJob::Target::Pocket},
        {"driver.bin", 513, {}, dzsim::UpdateJob::Target::Lan},
        {"driver.BIN", 256, {QStringLiteral("--target"), QStringLiteral("lan")}, dzsim::UpdateJob::Target::Lan},
    };
    for (const Case& c : cases) {
        const Bytes file = pattern(c.size, static_cast<uint8_t>(c.size));
        writeFile(path(c.name), file);
        const Outcome r = cli(QStringList{QStringLiteral("update"), path(c.name)} + c.extra);
        EXPECT_EQ(r.status, 0) << c.name << ": " << r.err.toStdString();
        EXPECT_EQ(r.out, QStringLiteral("File transfer finished successfully!\n")) << c.name;
        EXPECT_TRUE(r.err.contains(QStringLiteral("update: 100 %"))) << r.err.toStdString();
        sim.with([&](dzsim::SimState& s) {
            EXPECT_EQ(s.update.target, c.target) << c.name;
            EXPECT_EQ(s.update.data, file) << c.name;
            EXPECT_EQ(s.update.declaredSize, c.size);
            EXPECT_EQ(s.update.sequenceErrors, 0);
        });
    }
    // It asked which image runs before it started, as the window requires.
    EXPECT_EQ(sim.stats().byCode[0x55], 4u);
}

TEST_F(CliRun, RefusedUpdatesSayWhyWithTheWindowsMessages)
{
    writeFile(path("notes.txt"), pattern(100, 1));
    writeFile(path("pocket.KPF"), pattern(100, 2));
    writeFile(path("mixed.Kpf"), pattern(100, 3));
    struct Case {
        QStringList args;
        const char* says;
    };
    const Case cases[] = {
        {{path("missing.KPF")}, "No connection or file available!"},
        {{path("notes.txt")}, "No Target selected!"},
        {{path("pocket.KPF"), QStringLiteral("--target"), QStringLiteral("lan")}, "No  *.BIN File!"},
        {{path("mixed.Kpf")}, "No  *.KPF File!"},
    };
    for (const Case& c : cases) {
        const Outcome r = cli(QStringList{QStringLiteral("update")} + c.args);
        EXPECT_EQ(r.status, 1) << c.says;
        EXPECT_TRUE(r.err.startsWith(QStringLiteral("dizuro-cli: ") + QString::fromLatin1(c.says)))
            << r.err.toStdString();
    }
    EXPECT_EQ(sim.stats().connections, 0u) << "nothing is sent for a file that fails its checks";

    // The receiver refuses the start: the transfer ends at once.
    sim.with([](dzsim::SimState& s) { s.update.startAnswer = 0; });
    const Outcome refused = cli({QStringLiteral("update"), path("pocket.KPF")});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("dizuro-cli: NACK_RX_Queue: Configuration can not be saved!")))
        << refused.err.toStdString();
    EXPECT_TRUE(refused.out.isEmpty());
}

TEST_F(CliRun, ScanWritesTheAreaPixelForPixelAsPngOrBmp)
{
    struct Case {
        QStringList args;
        const char* file;
        int x, y, w, h;
        bool framed;
    };
    const Case cases[] = {
        {{}, "full.png", 0, 0, 800, 480, false},
        {{QStringLiteral("--preset"), QStringLiteral("diagram-vga")}, "diagram.bmp", 0, 93, 520, 387, false},
        {{QStringLiteral("--area"), QStringLiteral("733,411,67,69")}, "corner.PNG", 733, 411, 67, 69, false},
        {{QStringLiteral("--area"), QStringLiteral("100,50,64,48"), QStringLiteral("--framed")},
         "framed.BMP",
         100,
         50,
         64,
         48,
         true},
    };
    const dzsim::ScanScreen screen;
    for (const Case& c : cases) {
        const Outcome r = cli(QStringList{QStringLiteral("scan"), QStringLiteral("-o"), path(c.file)} + c.args);
        ASSERT_EQ(r.status, 0) << c.file << ": " << r.err.toStdString();
        EXPECT_EQ(r.out, QStringLiteral("All data received!\n"));
        QImage image;
        ASSERT_TRUE(image.load(path(c.file))) << c.file;
        const QByteArray head = QByteArray(reinterpret_cast<const char*>(readFile(path(c.file)).data()), 2);
        EXPECT_EQ(head, QString::fromLatin1(c.file).endsWith(QLatin1String("png"), Qt::CaseInsensitive)
                            ? QByteArray("\x89P")
                            : QByteArray("BM"))
            << c.file;
        const int margin = c.framed ? 5 : 0;
        ASSERT_EQ(image.size(), c.framed ? QSize(810, 490) : QSize(c.w, c.h)) << c.file;
        int wrong = 0;
        for (int col = 0; col < c.w; ++col) {
            for (int row = 0; row < c.h; ++row) {
                const dz::Rgb want = dz::expandPixel(screen.at(c.x + col, c.y + row));
                const QColor got = image.pixelColor(col + margin, row + margin);
                wrong += got != QColor(want.r, want.g, want.b);
            }
        }
        EXPECT_EQ(wrong, 0) << c.file;
        if (c.framed) {
            for (const QPoint frame : {QPoint(0, 0), QPoint(4, 30), QPoint(c.w + 9, c.h + 9), QPoint(809, 489)}) {
                EXPECT_EQ(image.pixelColor(frame), QColor(Qt::black)) << frame.x() << "," << frame.y();
            }
        }
    }
    EXPECT_EQ(sim.with([](dzsim::SimState& s) { return s.scan.scans; }), 4);
}

TEST_F(CliRun, FailedScansWriteNothingAndSayWhy)
{
    struct Case {
        int status;
        int silentColumn;
        const char* says;
    };
    for (const Case c : {Case{3, -1, "Device doesn't respond!"}, Case{0, 7, "Timeout: Device doesn't respond!"}}) {
        sim.with([&c](dzsim::SimState& s) {
            s.scan.status = c.status;
            s.scan.silentColumn = c.silentColumn;
        });
        const Outcome r = cli({QStringLiteral("scan"), QStringLiteral("-o"), path("never.png")});
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(r.err.endsWith(QStringLiteral("dizuro-cli: %1\n").arg(QString::fromLatin1(c.says))))
            << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(path("never.png")));
    }
}

TEST_F(CliRun, SlotsGoToAFileAndBackAndAreCleared)
{
    // Read: the file holds the receiver's records.
    const Outcome read = cli({QStringLiteral("slots"), QStringLiteral("read"), QStringLiteral("-o"), path("all.Mem")});
    ASSERT_EQ(read.status, 0) << read.err.toStdString();
    const Bytes seeded = simSlots();
    EXPECT_EQ(readFile(path("all.Mem")), seeded);
    EXPECT_TRUE(read.err.contains(QStringLiteral("slots read: 100 % (16128 of 16128 bytes)")))
        << read.err.toStdString();

    // Convert keeps every byte.
    const Outcome convert =
        cli({QStringLiteral("slots"), QStringLiteral("convert"), path("all.Mem"), path("copy.mem")});
    ASSERT_EQ(convert.status, 0) << convert.err.toStdString();
    EXPECT_EQ(readFile(path("copy.mem")), seeded);

    // Write: the receiver holds the file's records.
    const Bytes other = pattern(16128, 0x31);
    writeFile(path("other.Mem"), other);
    const Outcome write =
        cli({QStringLiteral("--quiet"), QStringLiteral("slots"), QStringLiteral("write"), path("other.Mem")});
    ASSERT_EQ(write.status, 0) << write.err.toStdString();
    EXPECT_TRUE(write.err.isEmpty()) << "quiet: " << write.err.toStdString();
    EXPECT_EQ(simSlots(), other);

    // Clear asks for --yes, then empties every slot.
    const Outcome unconfirmed = cli({QStringLiteral("slots"), QStringLiteral("clear")});
    EXPECT_EQ(unconfirmed.status, 2);
    EXPECT_EQ(simSlots(), other);
    const Outcome clear = cli({QStringLiteral("slots"), QStringLiteral("clear"), QStringLiteral("--yes")});
    ASSERT_EQ(clear.status, 0) << clear.err.toStdString();
    EXPECT_EQ(simSlots(), Bytes(16128, 0));
}

TEST_F(CliRun, SlotsAsCsvComeBackByteForByteAndAPartialTableWritesOnlyItsSlots)
{
    const Bytes seeded = simSlots();
    const Outcome read = cli({QStringLiteral("slots"), QStringLiteral("read"), QStringLiteral("-o"), path("all.csv")});
    ASSERT_EQ(read.status, 0) << read.err.toStdString();
    QFile table(path("all.csv"));
    ASSERT_TRUE(table.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = table.readAll().split('\n');
    EXPECT_TRUE(lines[0].startsWith("Slot,Name,Frequency,Mode,")) << lines[0].toStdString();

    const Outcome convert =
        cli({QStringLiteral("slots"), QStringLiteral("convert"), path("all.csv"), path("back.Mem")});
    ASSERT_EQ(convert.status, 0) << convert.err.toStdString();
    EXPECT_EQ(readFile(path("back.Mem")), seeded);

    // A table of two slots writes those two; the receiver keeps the other 61 as they were.
    QFile two(path("two.csv"));
    ASSERT_TRUE(two.open(QIODevice::WriteOnly));
    two.write(lines[0] + '\n' + lines[2] + '\n' + lines[4] + '\n');
    two.close();
    sim.with([](dzsim::SimState& s) {
        for (auto& r : s.memory.records) {
            r.assign(r.size(), 0x5A);
        }
    });
    const Bytes before = simSlots();
    const Outcome write = cli({QStringLiteral("slots"), QStringLiteral("write"), path("two.csv")});
    ASSERT_EQ(write.status, 0) << write.err.toStdString();
    EXPECT_TRUE(write.out.contains(QStringLiteral("Slots 1, 3, 5-63 were never read or loaded")))
        << write.out.toStdString();
    const Bytes after = simSlots();
    for (int slot = 1; slot <= 63; ++slot) {
        const auto at = static_cast<std::ptrdiff_t>((slot - 1) * 256);
        const Bytes is(after.begin() + at, after.begin() + at + 256);
        const Bytes want = slot == 2 || slot == 4 ? Bytes(seeded.begin() + at, seeded.begin() + at + 256)
                                                  : Bytes(before.begin() + at, before.begin() + at + 256);
        EXPECT_EQ(is, want) << "slot " << slot;
    }
}

TEST_F(CliRun, FailedSlotTransfersSayWhy)
{
    writeFile(path("short.Mem"), pattern(100, 1));
    const Outcome tooShort = cli({QStringLiteral("slots"), QStringLiteral("write"), path("short.Mem")});
    EXPECT_EQ(tooShort.status, 1);
    EXPECT_TRUE(tooShort.err.contains(QStringLiteral("Cannot load the memory file"))) << tooShort.err.toStdString();

    writeFile(path("all.Mem"), pattern(16128, 9));
    sim.with([](dzsim::SimState& s) { s.memory.busyWriteSlot = 5; });
    const Outcome busy = cli({QStringLiteral("slots"), QStringLiteral("write"), path("all.Mem")});
    EXPECT_EQ(busy.status, 1);
    EXPECT_TRUE(busy.err.contains(QStringLiteral("dizuro-cli: Error on saving!\nThe slots as they were before: ")))
        << busy.err.toStdString();
    // The backup it names is the receiver's 63 slots as they were.
    const QStringList backups = QDir(dir.filePath(QStringLiteral("data/dizuro-link/backups")))
                                    .entryList({QStringLiteral("*.Mem")}, QDir::Files);
    ASSERT_EQ(backups.size(), 1);
    EXPECT_TRUE(busy.err.contains(backups[0])) << busy.err.toStdString();
}

TEST_F(CliRun, AMissingOrSilentReceiverIsAOneLineError)
{
    QElapsedTimer took;
    took.start();
    const dz::Endpoint dead = deadEndpoint();
    const Outcome missing =
        cli({QStringLiteral("--device"), QString::fromStdString(dead.text()), QStringLiteral("info")}, false);
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err.count(QLatin1Char('\n')), 1) << missing.err.toStdString();
    EXPECT_TRUE(missing.err.startsWith(QStringLiteral("dizuro-cli: Access Point KAV Dizuro not found!")))
        << missing.err.toStdString();
    EXPECT_LT(took.elapsed(), 5000);

    dzsim::Faults silent;
    silent.silenceAfter = 0;
    sim.setFaults(silent);
    const Outcome quiet = cli({QStringLiteral("info")});
    EXPECT_EQ(quiet.status, 1);
    EXPECT_EQ(quiet.err, QStringLiteral("dizuro-cli: Timeout: Device doesn't respond!\n"));
}

TEST_F(CliRun, UsageErrorsExitWithTwoBeforeAnyConnection)
{
    const QStringList cases[] = {
        {QStringLiteral("--bogus"), QStringLiteral("info")},
        {QStringLiteral("scan"), QStringLiteral("--area"), QStringLiteral("100,0,750,480"), QStringLiteral("-o"),
         path("a.png")},
        {QStringLiteral("frobnicate")},
    };
    for (const QStringList& args : cases) {
        const Outcome r = cli(args);
        EXPECT_EQ(r.status, 2) << args.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(r.err.startsWith(QStringLiteral("dizuro-cli: "))) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
    EXPECT_EQ(sim.stats().connections, 0u);

    const Outcome version = cli({QStringLiteral("--version")});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, QStringLiteral("dizuro-cli %1\n").arg(QStringLiteral(DIZURO_VERSION)));
}

}  // namespace
}  // namespace dztest
