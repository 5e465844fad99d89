#include "link/EventWait.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

#include <ctime>

namespace dz {

namespace {

constexpr qint64 kPumpSpacingNs = 1000000;

qint64 nowNs()
{
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC_COARSE, &t);
    return static_cast<qint64>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

qint64 g_lastPumpNs = 0;

}  // namespace

void pumpOnce()
{
    g_lastPumpNs = nowNs();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void pumpIfDue()
{
    if (nowNs() - g_lastPumpNs >= kPumpSpacingNs) {
        pumpOnce();
    }
}

bool pumpUntil(const std::function<bool()>& done, int timeoutMs)
{
    if (done()) {
        return true;
    }
    const QDeadlineTimer deadline =
        timeoutMs < 0 ? QDeadlineTimer(QDeadlineTimer::Forever) : QDeadlineTimer(timeoutMs, Qt::PreciseTimer);
    // Only there to wake the dispatcher when the time is up.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    if (timeoutMs >= 0) {
        wake.start(timeoutMs);
    }
    // processEvents() rather than a nested QEventLoop: a QEventLoop returns at once
    // while the application is quitting, which would turn every wait into a spin.
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        g_lastPumpNs = nowNs();
    }
    return true;
}

}  // namespace dz
