#include "cli/CliViews.h"

#include <QRegularExpression>

#include <algorithm>

#include "scan/ScanPixels.h"

namespace dz {

namespace {

constexpr int kPictureWidth = 810;  // the window's picture, whatever the area
constexpr int kPictureHeight = 490;
constexpr int kMargin = 5;

// "8192" and "16128  OK!" alike: the number the counter starts with.
qint64 leadingNumber(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("^\\s*(\\d+)"));
    const QRegularExpressionMatch m = number.match(text);
    return m.hasMatch() ? m.captured(1).toLongLong() : 0;
}

}  // namespace

CliUpdateView::CliUpdateView(Progress& progress, qint64 fileSize) : m_progress(progress)
{
    m_progress.start(QStringLiteral("update"), fileSize, QStringLiteral("bytes"));
}

void CliUpdateView::setSendLabel(const QString& text)
{
    // The label says "Clearing memory:" from the receiver's acceptance until the data flows.
    if (text.startsWith(QLatin1String("Clearing"))) {
        m_clearing = true;
        m_progress.note(QStringLiteral("the receiver clears its memory"), 0);
    }
}

void CliUpdateView::setBytesText(const QString& text)
{
    // While the memory is cleared the counter counts half-seconds, not bytes.
    if (m_clearing) {
        m_progress.note(QStringLiteral("the receiver clears its memory"), static_cast<int>(leadingNumber(text) / 2));
    } else {
        m_progress.update(leadingNumber(text));
    }
}

void CliUpdateView::setProgress(int)
{
    // The transfer resets its bar once, when the data phase begins.
    m_clearing = false;
}

CliScanView::CliScanView(Progress& progress, ScanArea area)
    : m_progress(progress),
      m_area(area),
      m_picture(kPictureWidth, kPictureHeight, QImage::Format_RGB888),
      m_painted(static_cast<std::size_t>(std::max(area.W, 0)), false)
{
    m_picture.fill(Qt::black);
    m_progress.start(QStringLiteral("scan"), area.W, QStringLiteral("columns"));
}

void CliScanView::FillFrame()
{
    fillTopLeft(
        PixelRows{m_picture.bits(), m_picture.width(), m_picture.height(), static_cast<int>(m_picture.bytesPerLine())},
        m_area.W + 2 * kMargin, m_area.H + 2 * kMargin, Rgb{});
}

void CliScanView::showColumnCounter(const QString& text)
{
    m_progress.update(text.toLongLong());
}

void CliScanView::paintColumn(int index, const uint8_t* pixels, int rows)
{
    dz::paintColumn(
        PixelRows{m_picture.bits(), m_picture.width(), m_picture.height(), static_cast<int>(m_picture.bytesPerLine())},
        index + kMargin, kMargin, pixels, rows);
    if (index >= 0 && index < static_cast<int>(m_painted.size())) {
        m_painted[static_cast<std::size_t>(index)] = true;
    }
}

int CliScanView::missingColumns() const
{
    return static_cast<int>(std::count(m_painted.begin(), m_painted.end(), false));
}

QImage CliScanView::picture(bool framed) const
{
    return framed ? m_picture : m_picture.copy(kMargin, kMargin, m_area.W, m_area.H);
}

void CliSlotView::showByteCount(const QString& text)
{
    m_progress.update(leadingNumber(text));
}

}  // namespace dz
