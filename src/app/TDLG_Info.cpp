#include "app/TDLG_Info.h"

#include <QLabel>
#include <QPushButton>

#include "app/AppIcon.h"

namespace dz {

TDLG_Info::TDLG_Info(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("DLG_Info"));
    setWindowTitle(QStringLiteral("Info"));
    setFixedSize(273, 248);

    StaticText5 = new QLabel(QStringLiteral("Interfaceprogramm für KAV72"), this);
    StaticText5->setObjectName(QStringLiteral("StaticText5"));
    QFont bold = StaticText5->font();
    bold.setBold(true);
    bold.setPixelSize(13);
    StaticText5->setFont(bold);
    StaticText5->move(32, 16);
    StaticText5->adjustSize();

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(32, 56, 32, 32);
    Image1->setPixmap(appIconPixmap(32));

    StaticText7 = new QLabel(QStringLiteral("V 1.4"), this);
    StaticText7->setObjectName(QStringLiteral("StaticText7"));
    StaticText7->move(106, 152);
    StaticText7->adjustSize();

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(104, 192, 75, 25);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace dz
