#include "scan/ScanImage.h"

#include <QPaintEvent>
#include <QPainter>

namespace dz {

ScanImage::ScanImage(QWidget* parent) : QWidget(parent), m_bitmap(kWidth, kHeight, QImage::Format_RGB888)
{
    m_bitmap.fill(Qt::black);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(kWidth, kHeight);
}

PixelRows ScanImage::rows()
{
    return PixelRows{m_bitmap.bits(), m_bitmap.width(), m_bitmap.height(), static_cast<int>(m_bitmap.bytesPerLine())};
}

void ScanImage::fillVisible(const QColor& colour)
{
    fillTopLeft(rows(), width(), height(),
                Rgb{static_cast<uint8_t>(colour.red()), static_cast<uint8_t>(colour.green()),
                    static_cast<uint8_t>(colour.blue())});
    update();
}

void ScanImage::paintColumn(int index, const uint8_t* pixels, int count)
{
    dz::paintColumn(rows(), index + kMargin, kMargin, pixels, count);
    if (isVisible()) {
        update(index + kMargin, kMargin, 1, count);
    }
}

void ScanImage::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    const QRect r = event->rect();
    p.drawImage(r.topLeft(), m_bitmap, r);
}

}  // namespace dz
