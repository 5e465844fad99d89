// Every operation of the window against every other one started while it waits: by a
// click, by the keyboard, by a handler call as a queued click would make it, by the
// menu, and by the keep-alive's timer. In each cell the second start must be refused
// without a byte reaching the receiver, and the first must end exactly as it does
// alone: the same boxes and window, the same receiver state, the same picture, within
// its time, and with no socket left over. Then the page control, by every route, while
// an update runs and while nothing does. The matrix is printed and written to
// interference_matrix.txt in the working directory.

#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "scan/ScanPage.h"
#include "slots/SlotsPage.h"
#include "spectrum/AudioPage.h"
#include "support/AppHarness.h"
#include "update/UpdatePage.h"

namespace dztest {
namespace {

using Bytes = std::vector<uint8_t>;

// Slow enough answers that the first operation is surely waiting when the second comes;
// an operation of a single exchange gets a longer one.
constexpr int kAnswerDelayMs = 3;
constexpr int kSingleExchangeDelayMs = 60;

void writeFile(const QString& path, int size)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>(i * 7 + i / 256);
    }
    ASSERT_EQ(f.write(bytes), size);
}

void writeMemoryFile(const QString& path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    QByteArray bytes(63 * 256, '\0');
    for (int i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(i * 5 + 0x3C);
    }
    ASSERT_EQ(f.write(bytes), bytes.size());
}

int openSockets()
{
    int sockets = 0;
    DIR* dir = ::opendir("/proc/self/fd");
    if (dir == nullptr) {
        return -1;
    }
    while (const dirent* entry = ::readdir(dir)) {
        char target[64] = {};
        const std::string path = std::string("/proc/self/fd/") + entry->d_name;
        if (::readlink(path.c_str(), target, sizeof target - 1) > 0 && std::string(target).rfind("socket:", 0) == 0) {
            ++sockets;
        }
    }
    ::closedir(dir);
    return sockets;
}

uint64_t digest(const uint8_t* p, std::size_t n, uint64_t h = 1469598103934665603ull)
{
    for (std::size_t i = 0; i < n; ++i) {
        h = (h ^ p[i]) * 1099511628211ull;
    }
    return h;
}

struct Cell {
    explicit Cell(const QDir& dir) : files(dir)
    {
        h.sim.with([](dzsim::SimState& s) { s.update.clearMs = 30; });
        h.start();
    }
    AppHarness h;
    const QDir files;
    dz::TFMain& w() { return *h.window; }
    dz::UpdatePage& update() { return *h.window->TS_Download; }
    dz::ScanPage& scanPage() { return *h.window->TS_Dispcpy; }
    dz::SlotsPage& slotsPage() { return *h.window->TS_Speicher; }
    uint64_t requests()
    {
        return h.sim.with([](dzsim::SimState& s) { return s.stats.requests; });
    }
};

struct First {
    const char* name;
    dz::LinkOperation operation;
    int answerDelayMs;
    std::function<void(Cell&)> prepare;
    std::function<void(Cell&)> run;
};

void choose(Cell& c, QRadioButton* target, const char* file)
{
    target->click();
    c.h.dialogs.files.push_back(c.files.filePath(QString::fromLatin1(file)));
    c.w().MI_OeffnenClick();
}

void openMemory(Cell& c)
{
    c.w().PC_main->setCurrentWidget(&c.slotsPage());
    c.h.dialogs.files.push_back(c.files.filePath(QStringLiteral("S.Mem")));
    c.w().MI_OeffnenClick();
}

const std::vector<First>& firsts()
{
    using Op = dz::LinkOperation;
    static const std::vector<First> all = {
        {"sync", Op::Sync, kSingleExchangeDelayMs, [](Cell&) {}, [](Cell& c) { c.update().B_SyncClick(); }},
        {"search", Op::Search, kSingleExchangeDelayMs, [](Cell&) {}, [](Cell& c) { c.w().MI_WLANClick(); }},
        {"update .KPF", Op::Update, kAnswerDelayMs, [](Cell& c) { choose(c, c.update().RB_Pocket, "P.KPF"); },
         [](Cell& c) { c.update().B_StartClick(); }},
        {"update .BIN", Op::Update, kAnswerDelayMs, [](Cell& c) { choose(c, c.update().RB_LAN, "L.BIN"); },
         [](Cell& c) { c.update().B_StartClick(); }},
        {"scan", Op::Scan, kAnswerDelayMs,
         [](Cell& c) {
             c.w().PC_main->setCurrentWidget(&c.scanPage());
             c.scanPage().SE_B->setValue(24);
             c.scanPage().SE_H->setValue(30);
             c.scanPage().SE_X->setValue(120);
         },
         [](Cell& c) { c.scanPage().B_DispcpyClick(); }},
        {"slot read", Op::SlotRead, kAnswerDelayMs, openMemory, [](Cell& c) { c.slotsPage().B_LadenClick(); }},
        {"slot write", Op::SlotWrite, kAnswerDelayMs, openMemory, [](Cell& c) { c.slotsPage().B_SpeichernClick(); }},
        {"slot clear", Op::SlotClear, kAnswerDelayMs, openMemory, [](Cell& c) { c.slotsPage().B_LoeschenClick(); }},
    };
    return all;
}

// The ways a second operation may be started; each names its route.
struct Second {
    const char* name;
    std::function<QPushButton*(Cell&)> button;  // null: no button of its own
    std::function<void(Cell&)> call;            // its handler, as a queued click would run it
};

const std::vector<Second>& seconds()
{
    static const std::vector<Second> all = {
        {"sync", [](Cell& c) { return c.update().B_Sync; }, [](Cell& c) { c.update().B_SyncClick(); }},
        {"search", nullptr, [](Cell& c) { c.w().MI_WLANClick(); }},
        {"update", [](Cell& c) { return c.update().B_Start; }, [](Cell& c) { c.update().B_StartClick(); }},
        {"scan", [](Cell& c) { return c.scanPage().B_Dispcpy; }, [](Cell& c) { c.scanPage().B_DispcpyClick(); }},
        {"slot read", [](Cell& c) { return c.slotsPage().B_Laden; }, [](Cell& c) { c.slotsPage().B_LadenClick(); }},
        {"slot write", [](Cell& c) { return c.slotsPage().B_Speichern; },
         [](Cell& c) { c.slotsPage().B_SpeichernClick(); }},
        {"slot clear", [](Cell& c) { return c.slotsPage().B_Loeschen; },
         [](Cell& c) { c.slotsPage().B_LoeschenClick(); }},
        {"keep-alive", nullptr, [](Cell& c) { c.w().link().Timer1Timer(); }},
    };
    return all;
}

// Tries every route of `second` and says which ones it took.
QStringList tryToStart(Cell& c, const Second& second)
{
    QStringList routes;
    if (second.button) {
        QPushButton* b = second.button(c);
        if (b->isEnabled()) {
            routes << QStringLiteral("enabled!");
        }
        QTest::mouseClick(b, Qt::LeftButton);
        QTest::keyClick(b, Qt::Key_Space);
        routes << QStringLiteral("click") << QStringLiteral("key");
    }
    if (QString::fromLatin1(second.name) == QLatin1String("search")) {
        if (c.w().MI_WLAN->isEnabled()) {
            routes << QStringLiteral("enabled!");
        }
        c.w().MI_WLAN->trigger();
        routes << QStringLiteral("menu");
    }
    second.call(c);
    routes << QStringLiteral("call");
    return routes;
}

// What an operation leaves behind, to compare with the same operation alone.
struct Outcome {
    QString shown;
    uint64_t receiver = 0;
    uint64_t picture = 0;
    std::vector<Bytes> log;
    qint64 ms = 0;
    int socketsAdded = 0;
};

Outcome runFirst(const QDir& dir, const First& first, const Second* second, QStringList* routes)
{
    Cell c(dir);
    first.prepare(c);
    c.h.dialogs.shown.clear();
    c.h.sim.with([&](dzsim::SimState& s) {
        s.faults.answerDelayMs = first.answerDelayMs;
        s.stats.keepLog = true;
        s.stats.log.clear();
    });
    const int socketsBefore = openSockets();
    const uint64_t before = c.requests();
    QTimer inject;
    bool fired = false;
    if (second != nullptr) {
        QObject::connect(&inject, &QTimer::timeout, [&] {
            if (!fired && c.w().link().operation() == first.operation && c.requests() > before) {
                fired = true;
                *routes = tryToStart(c, *second);
            }
        });
        inject.start(1);
    }
    QElapsedTimer t;
    t.start();
    first.run(c);
    Outcome o;
    o.ms = t.elapsed();
    inject.stop();
    if (second != nullptr && !fired) {
        *routes = QStringList{QStringLiteral("never waited")};
    }
    settle(30);
    // Each run makes a backup file of its own; its name is not the outcome.
    static const QRegularExpression backupFile(QStringLiteral("(as they were before: ).*"));
    o.shown = c.h.dialogs.shown.join(QStringLiteral(" + ")).replace(backupFile, QStringLiteral("\\1<file>")) +
              QStringLiteral(" | ") +
              (c.w().CB_WLAN->isChecked() ? QStringLiteral("link up") : QStringLiteral("link down")) +
              QStringLiteral(", ") + c.w().EWLANDevice->text() + QStringLiteral(", ") +
              (c.update().GB_Download->isEnabled() ? QStringLiteral("update open") : QStringLiteral("update shut")) +
              QStringLiteral(", Column ") + c.scanPage().L_Spalte->text() + QStringLiteral(", Bytes ") +
              c.slotsPage().L_SBytes->text();
    c.h.sim.with([&](dzsim::SimState& s) {
        uint64_t h = digest(s.update.data.data(), s.update.data.size());
        for (const Bytes& r : s.memory.records) {
            h = digest(r.data(), r.size(), h);
        }
        o.receiver = h;
        o.log = s.stats.log;
    });
    const QImage picture = c.scanPage().I_Scan->bitmap();
    // Row by row: the padding at the end of each row is not the picture's.
    o.picture = 1469598103934665603ull;
    for (int y = 0; y < picture.height(); ++y) {
        o.picture = digest(picture.constScanLine(y), static_cast<std::size_t>(picture.width() * 3), o.picture);
    }
    o.socketsAdded = openSockets() - socketsBefore;
    return o;
}

QString compare(const Outcome& alone, const Outcome& o, const QStringList& routes, int boundMs)
{
    QStringList faults;
    if (routes.contains(QStringLiteral("never waited"))) {
        faults << QStringLiteral("no wait to start in");
    }
    if (routes.contains(QStringLiteral("enabled!"))) {
        faults << QStringLiteral("control enabled");
    }
    if (o.log != alone.log) {
        faults << QStringLiteral("receiver saw %1 requests, alone %2").arg(o.log.size()).arg(alone.log.size());
    }
    if (o.shown != alone.shown) {
        faults << QStringLiteral("shows \"%1\"").arg(o.shown);
    }
    if (o.receiver != alone.receiver) {
        faults << QStringLiteral("receiver state differs");
    }
    if (o.picture != alone.picture) {
        faults << QStringLiteral("picture differs");
    }
    if (o.ms > boundMs) {
        faults << QStringLiteral("took %1 ms").arg(o.ms);
    }
    if (o.socketsAdded > 0) {
        faults << QStringLiteral("%1 sockets left over").arg(o.socketsAdded);
    }
    return faults.isEmpty() ? QStringLiteral("refused (%1)").arg(routes.join(QLatin1Char(' ')))
                            : faults.join(QStringLiteral("; "));
}

void print(const QStringList& lines)
{
    const QString text = lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
    std::fputs(text.toUtf8().constData(), stdout);
    QFile out(QStringLiteral("interference_matrix.txt"));
    if (out.open(QIODevice::WriteOnly | QIODevice::Append)) {
        out.write(text.toUtf8());
    }
}

TEST(InterferenceMatrix, EverySecondStartIsRefusedAndTheFirstEndsAsAlone)
{
    QFile::remove(QStringLiteral("interference_matrix.txt"));
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QDir dir(tmp.path());
    writeFile(dir.filePath(QStringLiteral("P.KPF")), 3000);
    writeFile(dir.filePath(QStringLiteral("L.BIN")), 2000);
    writeMemoryFile(dir.filePath(QStringLiteral("S.Mem")));
    const int boundMs = fastLinkConfig(deadEndpoint()).watchdogMs + 1500;

    QStringList lines{QStringLiteral("Interference matrix: the operation in the row runs; the one in the column "
                                     "is started while it waits (routes tried in brackets)."),
                      QString()};
    int bad = 0;
    for (const First& first : firsts()) {
        const Outcome alone = runFirst(dir, first, nullptr, nullptr);
        lines << QStringLiteral("%1  (alone: %2 ms, %3 requests; %4)")
                     .arg(QString::fromLatin1(first.name))
                     .arg(alone.ms)
                     .arg(alone.log.size())
                     .arg(QString(alone.shown).replace(QLatin1Char('\n'), QStringLiteral(" / ")));
        ASSERT_FALSE(alone.log.empty()) << first.name << " sent nothing alone";
        for (const Second& second : seconds()) {
            QStringList routes;
            const Outcome o = runFirst(dir, first, &second, &routes);
            const QString verdict = compare(alone, o, routes, boundMs);
            const bool ok = verdict.startsWith(QLatin1String("refused"));
            bad += ok ? 0 : 1;
            EXPECT_TRUE(ok) << first.name << " x " << second.name << ": " << verdict.toStdString();
            lines << QStringLiteral("    %1 %2: %3")
                         .arg(ok ? QStringLiteral("ok ") : QStringLiteral("BAD"))
                         .arg(QString::fromLatin1(second.name), -10)
                         .arg(verdict);
        }
    }
    lines << QString() << QStringLiteral("%1 cells not as expected").arg(bad) << QString();
    print(lines);
}

// The page control's routes to another page.
struct PageRoute {
    const char* name;
    std::function<void(dz::TFMain&)> go;
};

void wheel(QWidget* target, int delta)
{
    const QPointF at(target->width() / 2.0, target->height() / 2.0);
    QWheelEvent e(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(target, &e);
}

const std::vector<PageRoute>& pageRoutes()
{
    static const std::vector<PageRoute> all = {
        {"mouse on each tab",
         [](dz::TFMain& w) {
             QTabBar* bar = w.PC_main->tabBar();
             for (int i = 0; i < bar->count(); ++i) {
                 if (bar->isTabVisible(i)) {
                     QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(i).center());
                 }
             }
         }},
        {"Ctrl+Tab", [](dz::TFMain& w) { QTest::keyClick(w.PC_main, Qt::Key_Tab, Qt::ControlModifier); }},
        {"Ctrl+Shift+Tab",
         [](dz::TFMain& w) { QTest::keyClick(w.PC_main, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier); }},
        {"arrow keys",
         [](dz::TFMain& w) {
             QTest::keyClick(w.PC_main->tabBar(), Qt::Key_Right);
             QTest::keyClick(w.PC_main->tabBar(), Qt::Key_Left);
         }},
        {"wheel", [](dz::TFMain& w) { wheel(w.PC_main->tabBar(), -120); }},
    };
    return all;
}

TEST(InterferenceMatrix, NoRouteChangesThePageDuringAnUpdateNorReachesTheHiddenPage)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QDir dir(tmp.path());
    writeFile(dir.filePath(QStringLiteral("P.KPF")), 3000);
    QStringList lines{
        QStringLiteral("Page routes: while an update runs the page stays; the hidden page "
                       "\"KAV36E\" is never reached.")};
    for (const PageRoute& route : pageRoutes()) {
        Cell c(dir);
        c.w().show();
        choose(c, c.update().RB_Pocket, "P.KPF");
        c.h.sim.with([](dzsim::SimState& s) { s.faults.answerDelayMs = kAnswerDelayMs; });
        QWidget* during = nullptr;
        bool tried = false;
        QTimer::singleShot(20, [&] {
            route.go(c.w());
            during = c.w().PC_main->currentWidget();
            tried = c.update().transferRunning();
        });
        c.update().B_StartClick();
        EXPECT_TRUE(tried) << route.name;
        EXPECT_EQ(during, &c.update()) << route.name << " changed the page during an update";
        EXPECT_EQ(c.h.dialogs.shown, QStringList{QStringLiteral("File transfer finished successfully!")});

        // Idle, from every visible page, the same route never lands on the hidden page.
        bool reached = false;
        for (QWidget* from : {static_cast<QWidget*>(&c.update()), static_cast<QWidget*>(&c.scanPage()),
                              static_cast<QWidget*>(&c.slotsPage())}) {
            for (int i = 0; i < 4; ++i) {
                c.w().PC_main->setCurrentWidget(from);
                for (int k = 0; k <= i; ++k) {
                    route.go(c.w());
                    reached = reached || c.w().PC_main->currentWidget() == c.w().TS_KAV72;
                }
            }
        }
        EXPECT_FALSE(reached) << route.name << " reached the hidden page";
        EXPECT_TRUE(c.w().link().idle());
        lines << QStringLiteral("    %1 %2: during an update %3; hidden page %4")
                     .arg(during == &c.update() && !reached ? QStringLiteral("ok ") : QStringLiteral("BAD"))
                     .arg(QString::fromLatin1(route.name), -18)
                     .arg(during == &c.update() ? QStringLiteral("stays") : QStringLiteral("CHANGED"))
                     .arg(reached ? QStringLiteral("REACHED") : QStringLiteral("not reached"));
    }
    lines << QString();
    print(lines);
}

}  // namespace
}  // namespace dztest
