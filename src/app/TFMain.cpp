#include "app/TFMain.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>

#include "app/AppIcon.h"
#include "app/AppStyle.h"
#include "app/TDLG_Info.h"
#include "link/EventWait.h"
#include "scan/ScanPage.h"
#include "slots/SlotsPage.h"
#include "spectrum/AudioPage.h"
#include "update/UpdatePage.h"

namespace dz {

namespace {

constexpr int kClientWidth = 1007;
constexpr int kClientHeight = 586;
const QString kTitle = QStringLiteral("USB / WLAN Interface to KAV Dizuro");

}  // namespace

TFMain::TFMain(const AppConfig& config, Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), m_config(config), m_dialogs(dialogs), m_link(config.link, this)
{
    setObjectName(QStringLiteral("FMain"));
    setWindowTitle(kTitle);
    setWindowIcon(appIcon());

    OD_App.DefaultExt = QStringLiteral("*.KPF");
    OD_App.Filter = QStringLiteral("Dizuro Software *.KPF|*.KPF|LAN Driver *.BIN|*.BIN");
    SD_Datei.DefaultExt = QStringLiteral("*.BMP");
    SD_Datei.Filter = QStringLiteral("Bitmap *.BMP|*.BMP|Speicherplatz-Datei *.Mem|*.Mem");

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);
    buildMenu();
    buildLinkRow(client);
    buildPages(client);

    connect(&m_link, &DeviceLink::linkUpChanged, CB_WLAN, &QCheckBox::setChecked);
    connect(&m_link, &DeviceLink::versionTextChanged, EWLANDevice, &QLineEdit::setText);
    connect(&m_link, &DeviceLink::linkLost, this,
            [this] { m_dialogs.information(QStringLiteral("KAV doesn't respond to WLAN!")); });
    connect(&m_link, &DeviceLink::operationChanged, this, &TFMain::onLinkOperation);
    connect(this, &TFMain::closing, TS_Speicher, &SlotsPage::stopTransfer);
    // The title carries the mark only while there is something to lose.
    connect(TS_Speicher, &SlotsPage::modifiedChanged, this, [this](bool modified) {
        setWindowTitle(modified ? kTitle + QStringLiteral("[*]") : kTitle);
        setWindowModified(modified);
    });

    DLG_Info = new TDLG_Info(this);

    resize(kClientWidth, kClientHeight + MM_KAV36->sizeHint().height());
    if (const QScreen* screen = this->screen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

TFMain::~TFMain() = default;

void TFMain::buildMenu()
{
    MM_KAV36 = menuBar();
    MM_KAV36->setObjectName(QStringLiteral("MM_KAV36"));

    M_Datei = MM_KAV36->addMenu(QStringLiteral("&File"));
    M_Datei->setObjectName(QStringLiteral("M_Datei"));
    MI_Oeffnen = M_Datei->addAction(QStringLiteral("&Open"), this, &TFMain::MI_OeffnenClick);
    MI_Oeffnen->setObjectName(QStringLiteral("MI_Oeffnen"));
    MI_Speichern = M_Datei->addAction(QStringLiteral("&Save"), this, &TFMain::MI_SpeichernClick);
    MI_Speichern->setObjectName(QStringLiteral("MI_Speichern"));
    N1 = M_Datei->addSeparator();
    N1->setObjectName(QStringLiteral("N1"));
    MI_Beenden = M_Datei->addAction(QStringLiteral("&Close"), this, &TFMain::MI_BeendenClick);
    MI_Beenden->setObjectName(QStringLiteral("MI_Beenden"));

    M_Interface = MM_KAV36->addMenu(QStringLiteral("&Interface"));
    M_Interface->setObjectName(QStringLiteral("M_Interface"));
    MI_WLAN = M_Interface->addAction(QStringLiteral("Find &WLAN Connection"), this, &TFMain::MI_WLANClick);
    MI_WLAN->setObjectName(QStringLiteral("MI_WLAN"));

    M_Hilfe = MM_KAV36->addMenu(QStringLiteral("&Help"));
    M_Hilfe->setObjectName(QStringLiteral("M_Hilfe"));
    MI_Info = M_Hilfe->addAction(QStringLiteral("&Info"), this, &TFMain::MI_InfoClick);
    MI_Info->setObjectName(QStringLiteral("MI_Info"));
}

void TFMain::buildLinkRow(QWidget* client)
{
    Bevel1 = new QFrame(client);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setGeometry(0, 0, 1018, 1);

    // Disabled, so that only the program changes the link flag.
    GroupBox2 = new QGroupBox(client);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    GroupBox2->setGeometry(256, 5, 169, 26);
    GroupBox2->setEnabled(false);
    showAsIndicators(GroupBox2);
    CB_WLAN = new QCheckBox(QStringLiteral("WLAN Access to Device:"), GroupBox2);
    CB_WLAN->setObjectName(QStringLiteral("CB_WLAN"));
    CB_WLAN->setGeometry(17, 4, 152, 17);

    EWLANDevice = new QLineEdit(client);
    EWLANDevice->setObjectName(QStringLiteral("EWLANDevice"));
    EWLANDevice->setGeometry(432, 7, 185, 21);
    EWLANDevice->setReadOnly(true);
    EWLANDevice->setEnabled(false);
    showAsIndicators(EWLANDevice);
}

void TFMain::buildPages(QWidget* client)
{
    PC_main = new QTabWidget(client);
    PC_main->setObjectName(QStringLiteral("PC_main"));
    PC_main->setGeometry(11, 40, 985, 536);

    const PageContext context{m_link, m_dialogs, OD_App, SD_Datei};
    TS_Download = new UpdatePage(context, m_config.update);
    TS_Dispcpy = new ScanPage(context);
    TS_KAV72 = new AudioPage(context);
    TS_Speicher = new SlotsPage(context);
    PC_main->addTab(TS_Download, QStringLiteral("Update Dizuro"));
    PC_main->addTab(TS_Dispcpy, QStringLiteral("Display Copy"));
    PC_main->addTab(TS_KAV72, QStringLiteral("KAV36E"));
    PC_main->addTab(TS_Speicher, QStringLiteral("Speicherplätze"));
    // Hidden, and disabled too: the tab bar's keys and wheel skip disabled tabs only.
    PC_main->setTabVisible(PC_main->indexOf(TS_KAV72), false);
    PC_main->setTabEnabled(PC_main->indexOf(TS_KAV72), false);
    PC_main->setCurrentWidget(TS_Download);
    // The whole page control, not only its tab bar: Ctrl+Tab goes round the tab bar.
    connect(TS_Download, &UpdatePage::pageSwitchingAllowed, PC_main, &QWidget::setEnabled);
    // Queued: the spectrum page's loop then runs from the event loop, not inside the tab bar's click.
    connect(PC_main, &QTabWidget::currentChanged, this, &TFMain::PC_mainChange, Qt::QueuedConnection);
}

void TFMain::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    Bevel1->setGeometry(0, 0, std::max(1018, centralWidget()->width()), 1);
}

void TFMain::onLinkOperation(LinkOperation operation)
{
    const bool free = operation == LinkOperation::None;
    MI_WLAN->setEnabled(free);
    for (Page* page :
         {static_cast<Page*>(TS_Download), static_cast<Page*>(TS_Dispcpy), static_cast<Page*>(TS_Speicher)}) {
        page->setLinkFree(free);
    }
}

Page* TFMain::currentPage() const
{
    return qobject_cast<Page*>(PC_main->currentWidget());
}

void TFMain::FormCreate()
{
    if (!m_link.OpenAtStart()) {
        m_dialogs.information(QStringLiteral("Access Point KAV Dizuro not found!"));
    }
    TS_Dispcpy->FillFrame();
    if (!m_link.linkUp()) {
        return;
    }
    pumpOnce();
    TS_Download->B_SyncClick();
    if (!TS_Download->deviceModeKnown()) {
        return;
    }
    m_link.RequestVersion();
}

bool TFMain::FormCloseQuery()
{
    // Leaving the spectrum page ends its receive loop.
    if (PC_main->currentWidget() == TS_KAV72) {
        PC_main->setCurrentWidget(TS_Download);
    }
    // An operation still waiting under this call ends now instead of by its watchdog.
    m_link.DrainAndClose();
    return true;
}

void TFMain::closeEvent(QCloseEvent* event)
{
    if (!m_closing && !TS_Speicher->mayDiscardChanges()) {
        event->ignore();
        return;
    }
    if (!m_closing) {
        m_closing = true;
        emit closing();
        FormCloseQuery();
    }
    event->accept();
}

void TFMain::MI_BeendenClick()
{
    if (m_dialogs.confirm(QStringLiteral("Close application?"))) {
        close();
    }
}

void TFMain::MI_InfoClick()
{
    DLG_Info->exec();
}

void TFMain::MI_WLANClick()
{
    if (m_link.FindConnection() == DeviceLink::SearchResult::NotFound) {
        m_dialogs.information(QStringLiteral("Access Point KAV7x not found!"));
    }
}

void TFMain::PC_mainChange()
{
    TS_KAV72->PC_mainChange();
}

void TFMain::MI_OeffnenClick()
{
    if (Page* page = currentPage()) {
        page->fileOpen();
    }
}

void TFMain::MI_SpeichernClick()
{
    if (Page* page = currentPage()) {
        page->fileSave();
    }
}

}  // namespace dz
