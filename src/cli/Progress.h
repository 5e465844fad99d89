#pragma once
// The progress of a long operation, for standard error: a bar redrawn in place
// when it goes to a terminal, one line per tenth when it goes to a file or a
// pipe, nothing at all when the user asked for quiet.

#include <QElapsedTimer>
#include <QString>

#include <functional>

namespace dz {

class Progress {
public:
    enum class Style { Bar, Lines, Silent };
    using Sink = std::function<void(const QString& text)>;
    using Clock = std::function<qint64()>;  // milliseconds, from any start

    // Without a clock, the time since construction.
    Progress(Style style, Sink sink, Clock clock = {});
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // A task: its name, the amount that makes 100 % and what is counted ("bytes", "columns").
    void start(const QString& task, qint64 total, const QString& unit);
    // A phase without an amount, such as the receiver clearing its memory; `seconds` how long it has taken.
    void note(const QString& text, int seconds = -1);
    void update(qint64 done);
    // Leaves the bar's line, so that whatever follows starts on a line of its own.
    void finish();

private:
    void drawBar(qint64 at);
    qint64 now() const { return m_clock ? m_clock() : m_elapsed.elapsed(); }

    Style m_style;
    Sink m_sink;
    Clock m_clock;
    QElapsedTimer m_elapsed;
    QString m_task;
    QString m_unit;
    qint64 m_total = 0;
    qint64 m_done = 0;
    qint64 m_startMs = 0;
    qint64 m_drawnMs = -1;
    int m_tenthShown = -1;
    int m_percentDrawn = -1;
    QString m_noteShown;
    bool m_lineOpen = false;  // the bar's line has no newline yet
};

}  // namespace dz
