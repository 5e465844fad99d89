#include "cli/Progress.h"

#include <algorithm>

namespace dz {

namespace {

constexpr int kBarWidth = 24;
constexpr qint64 kRedrawMs = 200;  // a terminal need not be written more often than the eye reads

QString duration(qint64 seconds)
{
    if (seconds < 60) {
        return QStringLiteral("%1 s").arg(seconds);
    }
    return QStringLiteral("%1 min %2 s").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

Progress::Progress(Style style, Sink sink, Clock clock)
    : m_style(style), m_sink(std::move(sink)), m_clock(std::move(clock))
{
    m_elapsed.start();
}

void Progress::start(const QString& task, qint64 total, const QString& unit)
{
    finish();
    m_task = task;
    m_total = std::max<qint64>(total, 1);
    m_unit = unit;
    m_done = 0;
    m_startMs = now();
    m_drawnMs = -1;
    m_tenthShown = -1;
    m_percentDrawn = -1;
    m_noteShown.clear();
}

void Progress::note(const QString& text, int seconds)
{
    if (m_style == Style::Silent) {
        return;
    }
    if (m_style == Style::Lines) {
        if (text != m_noteShown) {
            m_noteShown = text;
            m_sink(QStringLiteral("%1: %2\n").arg(m_task, text));
        }
        return;
    }
    QString line = QStringLiteral("%1: %2").arg(m_task, text);
    if (seconds >= 0) {
        line += QStringLiteral(" (%1)").arg(duration(seconds));
    }
    m_sink(QStringLiteral("\r\x1b[K") + line);
    m_lineOpen = true;
    m_percentDrawn = -1;
}

void Progress::update(qint64 done)
{
    m_done = std::clamp<qint64>(done, 0, m_total);
    if (m_style == Style::Silent) {
        return;
    }
    const int percent = static_cast<int>(m_done * 100 / m_total);
    if (m_style == Style::Lines) {
        const int tenth = percent / 10;
        if (tenth > m_tenthShown) {
            m_tenthShown = tenth;
            m_sink(QStringLiteral("%1: %2 % (%3 of %4 %5)\n")
                       .arg(m_task)
                       .arg(tenth * 10)
                       .arg(m_done)
                       .arg(m_total)
                       .arg(m_unit));
        }
        return;
    }
    const qint64 at = now();
    if (percent != m_percentDrawn || m_drawnMs < 0 || at - m_drawnMs >= kRedrawMs) {
        drawBar(at);
    }
}

void Progress::drawBar(qint64 at)
{
    const int percent = static_cast<int>(m_done * 100 / m_total);
    const int filled = static_cast<int>(m_done * kBarWidth / m_total);
    QString line = QStringLiteral("\r\x1b[K%1 [%2%3] %4 %  %5/%6 %7")
                       .arg(m_task)
                       .arg(QString(filled, QLatin1Char('#')), QString(kBarWidth - filled, QLatin1Char('.')))
                       .arg(percent, 3)
                       .arg(m_done)
                       .arg(m_total)
                       .arg(m_unit);
    const qint64 spentMs = at - m_startMs;
    if (spentMs > 0 && m_done > 0) {
        const qint64 rate = m_done * 1000 / spentMs;
        line += QStringLiteral("  %1 %2/s").arg(rate).arg(m_unit);
        if (m_done < m_total) {
            const qint64 leftSeconds = (m_total - m_done) * spentMs / m_done / 1000;
            line += QStringLiteral("  %1 left").arg(duration(leftSeconds));
        }
    }
    m_sink(line);
    m_lineOpen = true;
    m_drawnMs = at;
    m_percentDrawn = percent;
}

void Progress::finish()
{
    if (m_lineOpen) {
        m_sink(QStringLiteral("\n"));
        m_lineOpen = false;
    }
}

}  // namespace dz
