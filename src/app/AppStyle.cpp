#include "app/AppStyle.h"

#include <QApplication>
#include <QFont>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>
#include <QWidget>

namespace dz {

bool applyAppStyle(QApplication& app)
{
    QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"));
    if (fusion == nullptr) {
        return false;
    }
    app.setStyle(fusion);
    QPalette p;
    const QColor face(226, 230, 236);  // light slate
    const QColor base(250, 251, 253);
    const QColor text(20, 24, 30);
    const QColor accent(70, 100, 140);
    p.setColor(QPalette::Window, face);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, QColor(238, 241, 245));
    p.setColor(QPalette::Button, QColor(232, 236, 241));
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Highlight, accent);
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, text);
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        p.setColor(QPalette::Disabled, role, QColor(128, 128, 128));
    }
    app.setPalette(p);
    // Where the original face is missing, Liberation Sans has the widths the layout was made for.
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    app.setFont(font);
    return true;
}

void showAsIndicators(QWidget* group)
{
    QPalette p = group->palette();
    for (const auto role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::Base, QPalette::Button}) {
        p.setColor(QPalette::Disabled, role, p.color(QPalette::Active, role));
    }
    group->setPalette(p);
}

}  // namespace dz
