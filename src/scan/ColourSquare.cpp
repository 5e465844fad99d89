#include "scan/ColourSquare.h"

#include <QPainter>

namespace dz {

ColourSquare::ColourSquare(QWidget* parent) : QWidget(parent)
{
    setCursor(Qt::PointingHandCursor);
}

void ColourSquare::setColour(const QColor& colour)
{
    m_colour = colour;
    update();
}

void ColourSquare::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setPen(Qt::black);
    p.setBrush(m_colour);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void ColourSquare::mouseReleaseEvent(QMouseEvent*)
{
    emit MouseUp();
}

}  // namespace dz
