#include "app/AppIcon.h"

#include <QPainter>
#include <QPainterPath>

namespace dz {

QPixmap appIconPixmap(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    // antenna
    p.setPen(QPen(QColor(60, 60, 70), 1.6));
    p.drawLine(QPointF(22, 9), QPointF(27, 1.5));
    // body
    QPainterPath body;
    body.addRoundedRect(QRectF(3, 8, 26, 21), 3, 3);
    p.fillPath(body, QColor(70, 84, 104));
    p.setPen(QPen(QColor(30, 36, 46), 1));
    p.drawPath(body);
    // display with a little spectrum
    p.fillRect(QRectF(6, 11, 14, 10), QColor(10, 30, 60));
    p.setPen(QPen(QColor(80, 230, 120), 1.2));
    const QPointF trace[] = {{6.5, 19}, {9, 18}, {11, 14}, {12.5, 19}, {15, 17.5}, {17, 16}, {19.5, 19}};
    p.drawPolyline(trace, 7);
    // knobs
    p.setBrush(QColor(200, 205, 215));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(24.5, 14), 2.6, 2.6);
    p.drawEllipse(QPointF(24.5, 23), 2.0, 2.0);
    p.fillRect(QRectF(6, 23.5, 14, 2.5), QColor(150, 160, 175));
    return pixmap;
}

QIcon appIcon()
{
    QIcon icon;
    for (const int size : {16, 32, 48, 64}) {
        icon.addPixmap(appIconPixmap(size));
    }
    return icon;
}

}  // namespace dz
