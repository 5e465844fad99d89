// The "Display Copy" page in the window, against the simulated receiver: the
// area and its presets, the frame colour, the scan with every way it ends, and
// the picture's way out to the clipboard and into a bitmap file.

#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <csignal>
#include <functional>

#include "ScanScreen.h"
#include "scan/ScanPage.h"
#include "scan/ScanPixels.h"
#include "scan/ScanProtocol.h"
#include "support/AppHarness.h"

namespace dztest {
namespace {

const QString kComplete = QStringLiteral("All data received!");
const QString kNoAnswer = QStringLiteral("Device doesn't respond!");
const QString kTimeout = QStringLiteral("Timeout: Device doesn't respond!");
const QString kLinkLost = QStringLiteral("KAV doesn't respond to WLAN!");
const QColor kFrame(10, 200, 30);  // no pixel byte expands to it

QColor expanded(uint8_t byte)
{
    const dz::Rgb c = dz::expandPixel(byte);
    return QColor(c.r, c.g, c.b);
}

class ScanPageTest : public testing::Test {
protected:
    explicit ScanPageTest(bool withReceiver = true) : h(withReceiver) {}

    void SetUp() override
    {
        h.sim.with([](dzsim::SimState& s) { s.stats.keepLog = true; });
        h.start();
        h.dialogs.shown.clear();
        w().PC_main->setCurrentWidget(page());
        w().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w()));
    }

    dz::TFMain& w() { return *h.window; }
    dz::ScanPage* page() { return w().TS_Dispcpy; }
    QColor pixel(int x, int y) { return page()->I_Scan->bitmap().pixelColor(x, y); }
    dzsim::ScanJob scanJob()
    {
        return h.sim.with([](dzsim::SimState& s) { return s.scan; });
    }
    void setFrame(const QColor& colour)
    {
        h.dialogs.colors.push_back(colour);
        page()->S_RahmenMouseUp();
    }
    void setArea(int x, int y, int width, int height)
    {
        page()->SE_B->setValue(width);
        page()->SE_H->setValue(height);
        page()->SE_X->setValue(x);
        page()->SE_Y->setValue(y);
        ASSERT_EQ(page()->area().W, width);
        ASSERT_EQ(page()->area().H, height);
        ASSERT_EQ(page()->area().X, x);
        ASSERT_EQ(page()->area().Y, y);
    }
    // Scans and returns the boxes it showed; `timeMs` takes how long the scan ran.
    QStringList scan(qint64* timeMs = nullptr)
    {
        h.dialogs.shown.clear();
        QElapsedTimer t;
        t.start();
        page()->B_DispcpyClick();
        if (timeMs) {
            *timeMs = t.elapsed();
        }
        return h.dialogs.shown;
    }
    // Runs `action` from inside the running scan once the counter has reached `column`.
    void atColumn(int column, std::function<void()> action)
    {
        auto* poll = new QTimer(page());
        poll->setInterval(0);
        QObject::connect(poll, &QTimer::timeout, page(), [this, poll, column, action] {
            if (page()->L_Spalte->text().toInt() >= column) {
                poll->stop();
                poll->deleteLater();
                action();
            }
        });
        poll->start();
    }
    // Area columns [from, to) hold the screen as the receiver shows it, rows [0, rows).
    void expectScreenCopied(int from, int to, int rows)
    {
        const dzsim::ScanScreen screen;
        const dz::ScanArea a = page()->area();
        for (int c = from; c < to; ++c) {
            for (int r = 0; r < rows; ++r) {
                ASSERT_EQ(pixel(c + 5, r + 5), expanded(screen.at(a.X + c, a.Y + r)))
                    << "area column " << c << ", row " << r;
            }
        }
    }
    void expectColumnIs(int column, const QColor& colour, int rows)
    {
        for (int r = 0; r < rows; ++r) {
            ASSERT_EQ(pixel(column + 5, r + 5), colour) << "area column " << column << ", row " << r;
        }
    }
    void expectIdle()
    {
        EXPECT_TRUE(page()->B_Dispcpy->isEnabled());
        EXPECT_FALSE(page()->B_Abort->isEnabled());
        EXPECT_FALSE(page()->B_Abort->isVisible());
        EXPECT_TRUE(page()->I_Scan->isVisible());
        EXPECT_TRUE(w().link().idle());
        EXPECT_FALSE(page()->scan().running());
    }

    AppHarness h;
};

TEST_F(ScanPageTest, FullWvgaScanCopiesTheScreenPixelForPixel)
{
    setFrame(kFrame);
    EXPECT_EQ(scan(), QStringList{kComplete});

    EXPECT_EQ(page()->L_Spalte->text(), QStringLiteral("800"));
    EXPECT_EQ(page()->PB_Scan->value(), 100);
    const dzsim::ScanJob job = scanJob();
    EXPECT_EQ(job.scans, 1);
    EXPECT_EQ(job.acks, 800) << "one after the status record and one after every column but the last";
    EXPECT_EQ(job.cancels, 0);
    const dzsim::Bytes request{0x08, 0x00, 0x00, 0x00, 0x00, 0x20, 0x03, 0xE0, 0x01, 0x00};
    const auto log = h.sim.stats().log;
    EXPECT_NE(std::find(log.begin(), log.end(), request), log.end());
    expectIdle();

    expectScreenCopied(0, 800, 480);
    for (int x = 0; x < 810; ++x) {
        for (int y : {0, 4, 485, 489}) {
            ASSERT_EQ(pixel(x, y), kFrame) << x << "," << y;
        }
    }
    for (int y = 0; y < 490; ++y) {
        for (int x : {0, 4, 805, 809}) {
            ASSERT_EQ(pixel(x, y), kFrame) << x << "," << y;
        }
    }
}

TEST_F(ScanPageTest, DiagramVgaScanCopiesTheDiagramInsideASmallerFrame)
{
    setFrame(kFrame);
    page()->RB_DVGA->click();
    EXPECT_EQ(scan(), QStringList{kComplete});

    const dzsim::ScanJob job = scanJob();
    EXPECT_EQ(std::tie(job.lastX, job.lastY, job.lastW, job.lastH), std::make_tuple(0, 93, 520, 387));
    EXPECT_EQ(job.acks, 520);
    EXPECT_EQ(page()->L_Spalte->text(), QStringLiteral("520"));
    EXPECT_EQ(page()->I_Scan->size(), QSize(530, 397));
    expectScreenCopied(0, 520, 387);
    EXPECT_EQ(pixel(529, 396), kFrame);
    EXPECT_EQ(pixel(525, 100), kFrame);
    EXPECT_EQ(pixel(100, 392), kFrame);
}

// Every way a scan ends early, each on a small area: the message, what stays
// painted, and that the next scan works once the fault is lifted.
struct EndCase {
    const char* name;
    std::function<void(dzsim::SimState&)> fault;
    QStringList messages;
    int paintedColumns;  // columns 0..n-1 hold the screen; column n keeps the frame colour
};

class ScanEnds : public ScanPageTest, public testing::WithParamInterface<EndCase> {};

TEST_P(ScanEnds, WithItsMessageAndThePaintedColumnsKept)
{
    const EndCase& c = GetParam();
    setFrame(kFrame);
    setArea(100, 40, 40, 60);
    h.sim.with(c.fault);

    qint64 ms = 0;
    EXPECT_EQ(scan(&ms), c.messages);
    EXPECT_LE(ms, h.config.link.watchdogMs + 1000);
    expectIdle();
    expectScreenCopied(0, c.paintedColumns, 60);
    expectColumnIs(c.paintedColumns, kFrame, 60);

    h.sim.with([](dzsim::SimState& s) { s.scan = dzsim::ScanJob{}; });
    h.sim.setFaults({});
    if (!w().CB_WLAN->isChecked()) {
        w().MI_WLANClick();
        ASSERT_TRUE(waitFor([this] { return !w().EWLANDevice->text().isEmpty(); }));
    }
    EXPECT_EQ(scan(), QStringList{kComplete});
    expectScreenCopied(0, 40, 60);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, ScanEnds,
    testing::Values(
        EndCase{"StatusOtherThanZero", [](dzsim::SimState& s) { s.scan.status = 3; }, {kNoAnswer}, 0},
        EndCase{"ColumnOneByteTooLong", [](dzsim::SimState& s) { s.scan.wrongLengthColumn = 10; }, {kNoAnswer}, 10},
        EndCase{"ColumnIndexEqualToW", [](dzsim::SimState& s) { s.scan.indexBeyondColumn = 10; }, {kNoAnswer}, 10},
        EndCase{"ReceiverFallsSilent", [](dzsim::SimState& s) { s.scan.silentColumn = 10; }, {kTimeout}, 10},
        EndCase{"LinkDropsMidScan",
                [](dzsim::SimState& s) { s.faults.dropAfter = s.faultRequests + 11; },
                {kLinkLost, kNoAnswer},
                10}),
    [](const testing::TestParamInfo<EndCase>& i) { return std::string(i.param.name); });

TEST_F(ScanPageTest, CancelEndsTheScanAndKeepsWhatCame)
{
    setFrame(kFrame);
    // Slow answers, so that the scan is still running when the cancel comes.
    h.sim.with([](dzsim::SimState& s) { s.faults.answerDelayMs = 2; });
    atColumn(10, [this] {
        EXPECT_TRUE(page()->B_Abort->isEnabled());
        EXPECT_FALSE(page()->B_Dispcpy->isEnabled());
        page()->B_AbortClick();
    });
    EXPECT_EQ(scan(), QStringList{kNoAnswer});
    expectIdle();
    // The cancel byte is on its way; the receiver takes it in its own time.
    EXPECT_TRUE(waitFor([this] { return scanJob().cancels == 1; }));
    const dzsim::ScanJob job = scanJob();
    EXPECT_EQ(job.cancels, 1);
    EXPECT_FALSE(job.active);
    const int painted = page()->L_Spalte->text().toInt();
    EXPECT_GE(painted, 10);
    EXPECT_LT(painted, 800);
    expectScreenCopied(0, painted, 480);
    expectColumnIs(painted, kFrame, 480);
}

TEST_F(ScanPageTest, ClosingTheWindowEndsTheScanAtOnce)
{
    h.sim.with([](dzsim::SimState& s) { s.faults.answerDelayMs = 2; });
    QElapsedTimer sinceClose;
    atColumn(10, [&] {
        sinceClose.start();
        w().close();
    });
    page()->B_DispcpyClick();
    EXPECT_LT(sinceClose.elapsed(), h.config.link.watchdogMs) << "the scan waited for its watchdog";
    EXPECT_FALSE(page()->scan().running());
    EXPECT_EQ(w().link().operation(), dz::LinkOperation::None);
    EXPECT_FALSE(w().link().connected());
    settle(50);  // an acknowledgement sent just before the close may still be on its way
    const int acks = scanJob().acks;
    settle(100);
    EXPECT_EQ(scanJob().acks, acks) << "nothing more was asked for";
    EXPECT_LT(acks, 800);
}

TEST_F(ScanPageTest, ColumnsOutOfOrderEndAtTheLastIndex)
{
    setFrame(kFrame);
    setArea(0, 0, 40, 50);
    h.sim.with([](dzsim::SimState& s) { s.scan.outOfOrder = true; });
    EXPECT_EQ(scan(), QStringList{kComplete});
    // 1, 0, 3, 2, ..., 39: the column sent after the last index never came.
    expectScreenCopied(0, 38, 50);
    expectColumnIs(38, kFrame, 50);
    expectScreenCopied(39, 40, 50);
    EXPECT_EQ(page()->PB_Scan->value(), 100);
}

TEST_F(ScanPageTest, ReceiverThatStartsWithColumnZeroGetsOneAcknowledgementFewer)
{
    setArea(0, 0, 30, 20);
    h.sim.with([](dzsim::SimState& s) { s.scan.startWithColumn = true; });
    EXPECT_EQ(scan(), QStringList{kComplete});
    EXPECT_EQ(scanJob().acks, 29);
    expectScreenCopied(0, 30, 20);
}

TEST_F(ScanPageTest, SingleColumnScanEndsWithAFullBar)
{
    setArea(300, 0, 1, 480);
    EXPECT_EQ(scan(), QStringList{kComplete});
    EXPECT_EQ(page()->L_Spalte->text(), QStringLiteral("1"));
    EXPECT_EQ(page()->PB_Scan->value(), 100);
    expectScreenCopied(0, 1, 480);
}

TEST_F(ScanPageTest, HeightRaisedDuringTheScanPaintsOnlyWhatTheRecordsCarry)
{
    setFrame(kFrame);  // the whole picture, 810 × 490, takes the frame colour
    setArea(0, 0, 50, 100);
    h.sim.with([](dzsim::SimState& s) { s.faults.answerDelayMs = 2; });
    atColumn(10, [this] { page()->SE_H->setValue(480); });
    EXPECT_EQ(scan(), QStringList{kComplete});
    EXPECT_EQ(page()->I_Scan->height(), 490);
    expectScreenCopied(0, 50, 100);
    // The records' padding is not picture: the rows below keep the frame colour.
    for (int r = 100; r < 480; ++r) {
        ASSERT_EQ(pixel(49 + 5, r + 5), kFrame) << "row " << r;
    }
}

TEST_F(ScanPageTest, WidthLoweredBelowAnArrivingColumnEndsTheScanAsABadRecord)
{
    setArea(0, 0, 60, 40);
    h.sim.with([](dzsim::SimState& s) { s.faults.answerDelayMs = 2; });
    atColumn(20, [this] { page()->SE_B->setValue(5); });
    EXPECT_EQ(scan(), QStringList{kNoAnswer});
    expectIdle();
}

// The presets land on their row from any area, the odd ones included.
struct PresetCase {
    const char* name;
    dz::ScanArea from;
    bool fromVga;
};

class Presets : public ScanPageTest, public testing::WithParamInterface<PresetCase> {};

TEST_P(Presets, LandOnTheirRowFromAnyArea)
{
    struct Row {
        QRadioButton* button;
        dz::ScanArea result;
        QSize image;
    };
    dz::ScanPage* p = page();
    const Row rows[] = {
        {p->RB_GVGA, {0, 0, 640, 480}, {650, 490}},
        {p->RB_GWVGA, {0, 0, 800, 480}, {810, 490}},
        {p->RB_DVGA, {0, 93, 520, 387}, {530, 397}},
        {p->RB_DWVGA, {0, 93, 648, 387}, {658, 397}},
    };
    for (const Row& row : rows) {
        (GetParam().fromVga ? p->RB_GVGA : p->RB_GWVGA)->setChecked(true);
        const dz::ScanArea& a = GetParam().from;
        p->SE_B->setValue(a.W);
        p->SE_H->setValue(a.H);
        p->SE_X->setValue(a.X);
        p->SE_Y->setValue(a.Y);
        row.button->click();
        const dz::ScanArea got = p->area();
        EXPECT_EQ(std::tie(got.X, got.Y, got.W, got.H),
                  std::tie(row.result.X, row.result.Y, row.result.W, row.result.H))
            << row.button->text().toStdString();
        EXPECT_EQ(p->I_Scan->size(), row.image) << row.button->text().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Areas, Presets,
                         testing::Values(PresetCase{"AtStart", {0, 0, 800, 480}, false},
                                         PresetCase{"EmptyInTheCorner", {790, 470, 0, 0}, false},
                                         PresetCase{"WideAndShifted", {50, 0, 700, 480}, false},
                                         PresetCase{"SmallInTheMiddle", {100, 200, 300, 100}, true},
                                         PresetCase{"OneByOne", {639, 479, 1, 1}, true}),
                         [](const testing::TestParamInfo<PresetCase>& i) { return std::string(i.param.name); });

TEST_F(ScanPageTest, AreaRulesHoldTheAreaInsideTheScreenAsTheUserTypes)
{
    dz::ScanPage* p = page();
    const auto type = [](dz::SpinEdit* edit, const QString& text) {
        edit->selectAll();
        QTest::keyClicks(edit, text);
    };
    // Full WVGA at full width: X cannot grow until W has been lowered.
    for (int x : {1, 10, 790}) {
        p->SE_X->setValue(x);
        EXPECT_EQ(p->SE_X->Value(), 0) << x;
    }
    p->SE_B->setValue(700);
    p->SE_X->setValue(150);
    EXPECT_EQ(p->SE_X->Value(), 100);
    EXPECT_EQ(p->I_Scan->width(), 710) << "X never resizes the picture";

    p->RB_GVGA->setChecked(true);
    p->SE_X->setValue(100);
    type(p->SE_B, QStringLiteral("700"));
    EXPECT_EQ(p->SE_B->Value(), 540);
    EXPECT_EQ(p->I_Scan->width(), 550);

    p->SE_H->setValue(100);
    p->SE_Y->setValue(200);
    type(p->SE_H, QStringLiteral("400"));
    EXPECT_EQ(p->SE_H->Value(), 280);
    EXPECT_EQ(p->I_Scan->height(), 290);

    // A text that is no number reads as 0, so the rules and the scan see 0.
    p->SE_Y->selectAll();
    QTest::keyClick(p->SE_Y, Qt::Key_Backspace);
    ASSERT_TRUE(p->SE_Y->cleanText().isEmpty());
    EXPECT_EQ(p->SE_Y->Value(), 0);
    EXPECT_EQ(p->area().Y, 0);
}

TEST_F(ScanPageTest, FrameColourFillsExactlyTheVisiblePart)
{
    dz::ScanPage* p = page();
    const QImage before = p->I_Scan->bitmap();
    p->S_RahmenMouseUp();  // cancelled
    EXPECT_EQ(p->I_Scan->bitmap(), before);
    EXPECT_EQ(p->S_Rahmen->colour(), QColor(Qt::black));
    EXPECT_EQ(p->frameColour(), QColor(Qt::black));

    p->RB_DVGA->click();
    setFrame(kFrame);
    EXPECT_EQ(p->S_Rahmen->colour(), kFrame);
    const QImage& after = p->I_Scan->bitmap();
    for (int y = 0; y < 490; ++y) {
        for (int x = 0; x < 810; ++x) {
            const bool inside = x <= 529 && y <= 396;
            ASSERT_EQ(after.pixelColor(x, y), inside ? kFrame : before.pixelColor(x, y)) << x << "," << y;
        }
    }
    // Released over the square, with any button, it opens the colour choice.
    h.dialogs.colors.push_back(QColor(Qt::blue));
    QTest::mouseClick(p->S_Rahmen, Qt::RightButton, {}, QPoint(3, 20));
    EXPECT_EQ(p->frameColour(), QColor(Qt::blue));
    EXPECT_EQ(p->I_Scan->bitmap().pixelColor(0, 0), QColor(Qt::blue));
}

TEST_F(ScanPageTest, PageAsLaidOut)
{
    dz::ScanPage* p = page();
    EXPECT_EQ(w().PC_main->indexOf(p), 1);
    EXPECT_EQ(p->I_Scan->geometry(), QRect(8, 8, 810, 490));
    EXPECT_EQ(p->GroupBox1->geometry(), QRect(832, 8, 129, 305));
    EXPECT_EQ(p->GroupBox1->title(), QStringLiteral("Area"));
    EXPECT_TRUE(p->RB_GWVGA->isChecked());
    EXPECT_EQ(p->B_Dispcpy->text(), QStringLiteral("Scan"));
    EXPECT_EQ(p->B_Clip->text(), QStringLiteral("To Clipboard"));
    EXPECT_EQ(p->L_Spaltet->text(), QStringLiteral("Column:"));
    EXPECT_FALSE(p->B_Abort->isVisible());
    for (dz::SpinEdit* e : {p->SE_X, p->SE_Y, p->SE_B, p->SE_H}) {
        EXPECT_EQ(e->minimum(), 0);
    }
    EXPECT_EQ(p->SE_X->maximum(), 790);
    EXPECT_EQ(p->SE_Y->maximum(), 470);
    EXPECT_EQ(p->SE_B->maximum(), 800);
    EXPECT_EQ(p->SE_H->maximum(), 480);
    // The start fills the picture with the frame colour, black.
    EXPECT_EQ(p->I_Scan->bitmap().format(), QImage::Format_RGB888);
    EXPECT_EQ(p->I_Scan->bitmap().pixelColor(809, 489), QColor(Qt::black));
}

TEST_F(ScanPageTest, ClipboardTakesTheWholeBitmapEarlierScanIncluded)
{
    setFrame(kFrame);
    ASSERT_EQ(scan(), QStringList{kComplete});
    page()->RB_GVGA->click();
    ASSERT_EQ(scan(), QStringList{kComplete});
    page()->B_Clip->click();

    const QImage clip = QGuiApplication::clipboard()->image();
    ASSERT_EQ(clip.size(), QSize(810, 490));
    const dzsim::ScanScreen screen;
    EXPECT_EQ(clip.pixelColor(700, 100), expanded(screen.at(695, 95))) << "from the WVGA scan";
    EXPECT_EQ(clip.pixelColor(647, 300), kFrame) << "the VGA frame";
    EXPECT_EQ(clip.pixelColor(100, 100), expanded(screen.at(95, 95)));
    EXPECT_EQ(clip.convertToFormat(QImage::Format_RGB888), page()->I_Scan->bitmap());
}

class ScanFileTest : public ScanPageTest {
protected:
    void SetUp() override
    {
        ScanPageTest::SetUp();
        ASSERT_TRUE(dir.isValid());
        setFrame(kFrame);
        ASSERT_EQ(scan(), QStringList{kComplete});
        h.dialogs.shown.clear();
    }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    void save(const QString& file)
    {
        h.dialogs.files.push_back(file);
        w().MI_SpeichernClick();
    }
    static QByteArray read(const QString& file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static uint32_t le(const QByteArray& b, int at, int width)
    {
        uint32_t v = 0;
        for (int i = width - 1; i >= 0; --i) {
            v = v << 8 | static_cast<uint8_t>(b[at + i]);
        }
        return v;
    }

    QTemporaryDir dir;
};

TEST_F(ScanFileTest, SaveWritesAnUncompressed24BitBitmapOfTheWholePicture)
{
    save(path("screen"));  // the name as the dialog returned it, no extension added
    ASSERT_EQ(h.dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(h.dialogs.fileDialogs[0].DefaultExt, QStringLiteral("*.BMP"));
    EXPECT_EQ(h.dialogs.fileDialogs[0].Filter, QStringLiteral("Bilddatei *.BMP|*.BMP|PNG-Bilddatei *.PNG|*.PNG"));
    EXPECT_EQ(h.dialogs.fileDialogs[0].FilterIndex, 1) << "the bitmap is offered first";
    EXPECT_TRUE(h.dialogs.shown.isEmpty());

    const QByteArray b = read(path("screen"));
    ASSERT_GE(b.size(), 54);
    EXPECT_EQ(b.left(2), QByteArray("BM"));
    EXPECT_EQ(le(b, 2, 4), static_cast<uint32_t>(b.size()));
    EXPECT_EQ(le(b, 18, 4), 810u);
    EXPECT_EQ(le(b, 22, 4), 490u);
    EXPECT_EQ(le(b, 28, 2), 24u);
    EXPECT_EQ(le(b, 30, 4), 0u) << "uncompressed";
    const uint32_t offset = le(b, 10, 4);
    const uint32_t rowBytes = (810 * 3 + 3) / 4 * 4;
    EXPECT_EQ(static_cast<uint32_t>(b.size()), offset + rowBytes * 490);

    // Bottom-up rows of blue, green, red: sample against the picture.
    const QImage& picture = page()->I_Scan->bitmap();
    for (const QPoint pt : {QPoint(0, 0), QPoint(5, 5), QPoint(330, 200), QPoint(804, 484), QPoint(809, 489)}) {
        const int at = static_cast<int>(offset + (489 - pt.y()) * rowBytes + pt.x() * 3);
        const QColor c(static_cast<uint8_t>(b[at + 2]), static_cast<uint8_t>(b[at + 1]), static_cast<uint8_t>(b[at]));
        EXPECT_EQ(c, picture.pixelColor(pt)) << pt.x() << "," << pt.y();
    }
    QImage back;
    ASSERT_TRUE(back.load(path("screen"), "BMP"));
    EXPECT_EQ(back.convertToFormat(QImage::Format_RGB888), picture);

    // An existing file is overwritten without a question.
    page()->RB_DVGA->click();
    setFrame(QColor(Qt::white));
    save(path("screen"));
    ASSERT_TRUE(back.load(path("screen"), "BMP"));
    EXPECT_EQ(back.pixelColor(0, 0), QColor(Qt::white));
    EXPECT_TRUE(h.dialogs.asked.isEmpty());
}

TEST_F(ScanFileTest, FormatFollowsTheTypedExtensionElseTheChosenFilter)
{
    struct Case {
        const char* name;
        int filter;
        const char* format;
    };
    const Case cases[] = {
        {"a.png", 1, "PNG"}, {"b.PNG", 1, "PNG"}, {"c.bmp", 2, "BMP"},
        {"d", 2, "PNG"},     {"e", 1, "BMP"},     {"f.txt", 2, "PNG"},
    };
    for (const Case& c : cases) {
        h.dialogs.filterChoices.push_back(c.filter);
        save(path(c.name));
        const QByteArray magic = std::string(c.format) == "PNG" ? QByteArray("\x89PNG") : QByteArray("BM");
        EXPECT_TRUE(read(path(c.name)).startsWith(magic)) << c.name;
        QImage back;
        ASSERT_TRUE(back.load(path(c.name), c.format)) << c.name;
        EXPECT_EQ(back.convertToFormat(QImage::Format_RGB888), page()->I_Scan->bitmap()) << c.name;
        // The next save offers the bitmap first again.
        EXPECT_EQ(h.dialogs.fileDialogs.back().FilterIndex, 1);
    }
    EXPECT_TRUE(h.dialogs.shown.isEmpty());
}

TEST_F(ScanFileTest, FailedSaveLeavesTheOldFileAndSaysSo)
{
    save(path("kept.BMP"));
    const QByteArray old = read(path("kept.BMP"));
    ASSERT_FALSE(old.isEmpty());
    setFrame(QColor(Qt::white));

    // A disk that fills up: the file size limit cuts the write short.
    rlimit before{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = before;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    save(path("kept.BMP"));
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);

    ASSERT_EQ(h.dialogs.shown.size(), 1);
    EXPECT_TRUE(h.dialogs.shown[0].contains(QStringLiteral("left as it was"))) << h.dialogs.shown[0].toStdString();
    EXPECT_EQ(read(path("kept.BMP")), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("kept.BMP")});

    // A folder that is not there.
    h.dialogs.shown.clear();
    save(path("gone/picture.BMP"));
    ASSERT_EQ(h.dialogs.shown.size(), 1);
    EXPECT_TRUE(h.dialogs.shown[0].startsWith(QStringLiteral("Cannot save the picture")))
        << h.dialogs.shown[0].toStdString();
}

TEST_F(ScanFileTest, SaveOnOtherPagesOrCancelledWritesNothing)
{
    h.dialogs.files.push_back(std::nullopt);
    w().MI_SpeichernClick();
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());

    w().PC_main->setCurrentIndex(0);
    const std::size_t dialogs = h.dialogs.fileDialogs.size();
    w().MI_SpeichernClick();
    EXPECT_EQ(h.dialogs.fileDialogs.size(), dialogs) << "the update page has nothing to save";
    EXPECT_TRUE(h.dialogs.shown.isEmpty());
}

class ScanWithoutLink : public ScanPageTest {
protected:
    ScanWithoutLink() : ScanPageTest(false) {}
};

TEST_F(ScanWithoutLink, FillsTheFrameSaysSoAndSendsNothing)
{
    ASSERT_FALSE(w().CB_WLAN->isChecked());
    setArea(0, 0, 100, 50);
    setFrame(kFrame);
    const QImage before = page()->I_Scan->bitmap();
    setFrame(QColor(Qt::red));
    EXPECT_EQ(scan(), QStringList{QStringLiteral("No connection available!")});
    EXPECT_EQ(pixel(0, 0), QColor(Qt::red));
    EXPECT_EQ(pixel(109, 59), QColor(Qt::red));
    EXPECT_EQ(pixel(110, 60), before.pixelColor(110, 60));
    expectIdle();
    EXPECT_EQ(page()->L_Spalte->text(), QStringLiteral("0"));

    page()->B_AbortClick();  // does nothing without the link
    EXPECT_TRUE(h.dialogs.shown.size() == 1);
}

}  // namespace
}  // namespace dztest
