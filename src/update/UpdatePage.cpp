#include "update/UpdatePage.h"

#include "app/AppStyle.h"
#include "link/RecordWalk.h"

namespace dz {

namespace {

const QColor kGroupGrey(128, 128, 128);
const QColor kGroupBlack(0, 0, 0);

}  // namespace

UpdatePage::UpdatePage(PageContext context, QWidget* parent) : Page(context, QStringLiteral("TS_Download"), parent)
{
    B_Sync = new QPushButton(QStringLiteral("Synchronize"), this);
    B_Sync->setObjectName(QStringLiteral("B_Sync"));
    B_Sync->setGeometry(496, 216, 97, 25);
    connect(B_Sync, &QPushButton::clicked, this, &UpdatePage::B_SyncClick);

    // Disabled, so that its check boxes are indicators only.
    GroupBox3 = new QGroupBox(this);
    GroupBox3->setObjectName(QStringLiteral("GroupBox3"));
    GroupBox3->setGeometry(448, 96, 193, 97);
    GroupBox3->setEnabled(false);
    showAsIndicators(GroupBox3);
    CB_Boot = new QCheckBox(QStringLiteral("Factory Image active"), GroupBox3);
    CB_Boot->setObjectName(QStringLiteral("CB_Boot"));
    CB_Boot->setGeometry(16, 19, 153, 17);
    CB_Konfiguration = new QCheckBox(QStringLiteral("Dizuro Software active"), GroupBox3);
    CB_Konfiguration->setObjectName(QStringLiteral("CB_Konfiguration"));
    CB_Konfiguration->setGeometry(16, 56, 161, 17);

    GB_Download = new QGroupBox(QStringLiteral("Update Firmware"), this);
    GB_Download->setObjectName(QStringLiteral("GB_Download"));
    GB_Download->setGeometry(32, 88, 345, 169);
    setDownloadEnabled(false);
}

void UpdatePage::setDownloadEnabled(bool enabled)
{
    GB_Download->setEnabled(enabled);
    QPalette p = GB_Download->palette();
    const QColor c = enabled ? kGroupBlack : kGroupGrey;
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, QPalette::WindowText, c);
        p.setColor(group, QPalette::ButtonText, c);
        p.setColor(group, QPalette::Text, c);
    }
    GB_Download->setPalette(p);
}

void UpdatePage::B_SyncClick()
{
    CB_Boot->setChecked(false);
    CB_Konfiguration->setChecked(false);
    setDownloadEnabled(false);
    if (!m_ctx.link.linkUp()) {
        return;
    }
    B_Sync->setEnabled(false);
    const int code = m_ctx.link.QueryDeviceMode();
    if (code == record::kFactory) {
        CB_Boot->setChecked(true);
        setDownloadEnabled(true);
    } else if (code == record::kPocket) {
        CB_Konfiguration->setChecked(true);
        setDownloadEnabled(true);
    }
    B_Sync->setEnabled(true);
}

}  // namespace dz
