// The progress on standard error: a line per tenth into a file or a pipe, a bar
// with rate and time left on a terminal, nothing when quiet.

#include <QStringList>

#include <gtest/gtest.h>

#include "cli/Progress.h"

namespace dz {
namespace {

struct Recorded {
    QString text;
    qint64 nowMs = 0;
    Progress make(Progress::Style style)
    {
        return Progress(
            style, [this](const QString& t) { text += t; }, [this] { return nowMs; });
    }
};

TEST(Progress, LinesGiveOneLinePerTenthReached)
{
    Recorded r;
    Progress p = r.make(Progress::Style::Lines);
    p.start(QStringLiteral("scan"), 800, QStringLiteral("columns"));
    for (int done = 0; done <= 800; ++done) {
        p.update(done);
    }
    p.finish();
    const QStringList lines = r.text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 11) << r.text.toStdString();
    EXPECT_EQ(lines.first(), QStringLiteral("scan: 0 % (0 of 800 columns)"));
    EXPECT_EQ(lines[3], QStringLiteral("scan: 30 % (240 of 800 columns)"));
    EXPECT_EQ(lines.last(), QStringLiteral("scan: 100 % (800 of 800 columns)"));

    // A jump over several tenths gives one line, for the tenth reached.
    r.text.clear();
    p.start(QStringLiteral("update"), 1000, QStringLiteral("bytes"));
    p.update(0);
    p.update(550);
    p.update(560);
    p.note(QStringLiteral("waiting"));
    p.note(QStringLiteral("waiting"), 3);
    EXPECT_EQ(r.text, QStringLiteral("update: 0 % (0 of 1000 bytes)\nupdate: 50 % (550 of 1000 bytes)\n"
                                     "update: waiting\n"));
}

TEST(Progress, BarShowsPercentAmountRateAndTimeLeftInPlace)
{
    Recorded r;
    Progress p = r.make(Progress::Style::Bar);
    p.start(QStringLiteral("slots read"), 16128, QStringLiteral("bytes"));
    r.nowMs = 2000;
    p.update(4032);
    EXPECT_TRUE(r.text.startsWith(QStringLiteral("\r"))) << "drawn over the line before";
    EXPECT_FALSE(r.text.contains(QLatin1Char('\n')));
    for (const char* part :
         {"slots read [######..................]", " 25 %", "4032/16128 bytes", "2016 bytes/s", "6 s left"}) {
        EXPECT_TRUE(r.text.contains(QString::fromLatin1(part))) << part << " in " << r.text.toStdString();
    }
    r.text.clear();
    r.nowMs = 2050;
    p.update(4033);
    EXPECT_TRUE(r.text.isEmpty()) << "the same percent so soon is not drawn again";
    r.nowMs = 8000;
    p.update(16128);
    EXPECT_TRUE(r.text.contains(QStringLiteral("100 %")));
    EXPECT_FALSE(r.text.contains(QStringLiteral("left")));
    p.finish();
    EXPECT_TRUE(r.text.endsWith(QLatin1Char('\n'))) << "what follows starts on its own line";
}

TEST(Progress, SilentWritesNothing)
{
    Recorded r;
    Progress p = r.make(Progress::Style::Silent);
    p.start(QStringLiteral("scan"), 10, QStringLiteral("columns"));
    p.note(QStringLiteral("waiting"), 1);
    p.update(5);
    p.update(10);
    p.finish();
    EXPECT_TRUE(r.text.isEmpty());
}

}  // namespace
}  // namespace dz
