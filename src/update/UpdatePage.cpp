#include "update/UpdatePage.h"

#include <QFile>
#include <QFileInfo>

#include "app/AppStyle.h"
#include "link/RecordWalk.h"
#include "update/UpdateStart.h"

namespace dz {

namespace {

const QColor kGroupGrey(128, 128, 128);
const QColor kGroupBlack(0, 0, 0);

template <class W>
W* named(W* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

}  // namespace

UpdatePage::UpdatePage(PageContext context, UpdateConfig config, QWidget* parent)
    : Page(context, QStringLiteral("TS_Download"), parent), m_transfer(context.link, *this, config, this)
{
    Label2 = named(new QLabel(QStringLiteral("File"), this), "Label2");
    Label2->move(32, 35);
    LB_Applikation = named(new QListWidget(this), "LB_Applikation");
    LB_Applikation->setGeometry(72, 32, 137, 18);
    LB_Applikation->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    LB_Applikation->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    B_Sync = named(new QPushButton(QStringLiteral("Synchronize"), this), "B_Sync");
    B_Sync->setGeometry(496, 216, 97, 25);
    connect(B_Sync, &QPushButton::clicked, this, &UpdatePage::B_SyncClick);

    // Disabled, so that its check boxes are indicators only.
    GroupBox3 = named(new QGroupBox(this), "GroupBox3");
    GroupBox3->setGeometry(448, 96, 193, 97);
    GroupBox3->setEnabled(false);
    showAsIndicators(GroupBox3);
    CB_Boot = named(new QCheckBox(QStringLiteral("Factory Image active"), GroupBox3), "CB_Boot");
    CB_Boot->setGeometry(16, 19, 153, 17);
    CB_Konfiguration = named(new QCheckBox(QStringLiteral("Dizuro Software active"), GroupBox3), "CB_Konfiguration");
    CB_Konfiguration->setGeometry(16, 56, 161, 17);

    GB_Download = named(new QGroupBox(QStringLiteral("Update Firmware"), this), "GB_Download");
    GB_Download->setGeometry(32, 88, 345, 169);
    L_Send = named(new QLabel(QStringLiteral("Bytes sent:"), GB_Download), "L_Send");
    L_Send->setGeometry(157, 36, 84, 17);
    L_Bytes = named(new QLabel(QStringLiteral("0"), GB_Download), "L_Bytes");
    L_Bytes->setGeometry(241, 36, 90, 17);
    B_Start = named(new QPushButton(QStringLiteral("Start"), GB_Download), "B_Start");
    B_Start->setGeometry(190, 80, 75, 25);
    RB_Pocket = named(new QRadioButton(QStringLiteral("Dizuro Software"), GB_Download), "RB_Pocket");
    RB_Pocket->setGeometry(16, 40, 113, 17);
    RB_LAN = named(new QRadioButton(QStringLiteral("LAN Driver"), GB_Download), "RB_LAN");
    RB_LAN->setGeometry(16, 88, 113, 17);
    PB_Sent = named(new QProgressBar(GB_Download), "PB_Sent");
    PB_Sent->setGeometry(56, 128, 233, 17);
    PB_Sent->setRange(0, 100);
    PB_Sent->setValue(0);
    PB_Sent->setTextVisible(false);
    setDownloadEnabled(false);

    connect(RB_Pocket, &QRadioButton::clicked, this, &UpdatePage::RB_PocketClick);
    connect(RB_LAN, &QRadioButton::clicked, this, &UpdatePage::RB_LANClick);
    connect(B_Start, &QPushButton::clicked, this, &UpdatePage::B_StartClick);
}

void UpdatePage::setDownloadEnabled(bool enabled)
{
    GB_Download->setEnabled(enabled);
    QPalette p = GB_Download->palette();
    const QColor c = enabled ? kGroupBlack : kGroupGrey;
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        // A control disabled inside an open group (Start while another operation runs) must
        // look disabled: the disabled colours stay grey.
        const QColor shown = group == QPalette::Disabled ? kGroupGrey : c;
        p.setColor(group, QPalette::WindowText, shown);
        p.setColor(group, QPalette::ButtonText, shown);
        p.setColor(group, QPalette::Text, shown);
    }
    GB_Download->setPalette(p);
}

void UpdatePage::B_SyncClick()
{
    if (!m_ctx.link.idle()) {
        return;  // a click that came in while another operation holds the link
    }
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

void UpdatePage::RB_PocketClick()
{
    m_ctx.OD_App.DefaultExt = QStringLiteral("*.Kpf");
    m_ctx.OD_App.Filter = QStringLiteral("Dizuro Software *.Kpf|*.Kpf");
}

void UpdatePage::RB_LANClick()
{
    m_ctx.OD_App.DefaultExt = QStringLiteral("*.Bin");
    m_ctx.OD_App.Filter = QStringLiteral("LAN Driver *.Bin|*.Bin");
}

void UpdatePage::fileOpen()
{
    if (!m_ctx.dialogs.openFile(m_ctx.OD_App)) {
        return;
    }
    LB_Applikation->clear();
    LB_Applikation->addItem(QFileInfo(m_ctx.OD_App.FileName).fileName());
    FirmwarePath = m_ctx.OD_App.FileName;
}

void UpdatePage::B_StartClick()
{
    if (m_transfer.running() || !m_ctx.link.idle()) {
        return;
    }
    UpdateChoice choice;
    choice.fileChosen = LB_Applikation->count() > 0;
    choice.firmwarePath = QFile::encodeName(FirmwarePath).toStdString();
    choice.linkUp = m_ctx.link.linkUp();
    choice.pocketChecked = RB_Pocket->isChecked();
    choice.lanChecked = RB_LAN->isChecked();
    auto prepared = prepareUpdate(choice);
    if (const auto* message = std::get_if<std::string>(&prepared)) {
        m_ctx.dialogs.information(QString::fromStdString(*message));
        return;
    }
    m_transfer.run(std::move(std::get<PreparedUpdate>(prepared)));
}

void UpdatePage::setLinkFree(bool free)
{
    B_Sync->setEnabled(free);
    B_Start->setEnabled(free && !m_transfer.running());
}

void UpdatePage::setSendLabel(const QString& text)
{
    L_Send->setText(text);
}

void UpdatePage::setBytesText(const QString& text)
{
    L_Bytes->setText(text);
}

void UpdatePage::setProgress(int percent)
{
    PB_Sent->setValue(percent);
}

void UpdatePage::setTransferRunning(bool running)
{
    // The target buttons too: a transfer keeps the target it started with.
    for (QWidget* w : std::initializer_list<QWidget*>{B_Start, B_Sync, RB_Pocket, RB_LAN}) {
        w->setEnabled(!running);
    }
    emit pageSwitchingAllowed(!running);
}

void UpdatePage::showOutcome(const QString& text)
{
    m_ctx.dialogs.information(text);
}

}  // namespace dz
