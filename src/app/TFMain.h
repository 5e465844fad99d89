#pragma once
// The main window "USB / WLAN Interface to KAV Dizuro": the menu, the link row,
// the page control and the link. It wires the pages
// together; each page owns its own controls and handlers.

#include <QMainWindow>

#include "app/AppConfig.h"
#include "app/Dialogs.h"
#include "link/DeviceLink.h"

class QAction;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLineEdit;
class QMenu;
class QMenuBar;
class QTabWidget;

namespace dz {

class Page;
class ScanPage;
class SlotsPage;
class AudioPage;
class TDLG_Info;
class UpdatePage;

class TFMain final : public QMainWindow {
    Q_OBJECT
public:
    TFMain(const AppConfig& config, Dialogs& dialogs, QWidget* parent = nullptr);
    ~TFMain() override;

    // Runs once, after construction and before the window is first shown: opens the
    // link, synchronises and asks for the versions.
    void FormCreate();
    // Runs before the window closes, however it is closed; always allows it.
    bool FormCloseQuery();

    void MI_OeffnenClick();
    void MI_SpeichernClick();
    void MI_BeendenClick();
    void MI_WLANClick();
    void MI_InfoClick();
    void PC_mainChange();

    DeviceLink& link() { return m_link; }

    // Menu
    QMenuBar* MM_KAV36;
    QMenu* M_Datei;
    QAction* MI_Oeffnen;
    QAction* MI_Speichern;
    QAction* N1;
    QAction* MI_Beenden;
    QMenu* M_Interface;
    QAction* MI_WLAN;
    QMenu* M_Hilfe;
    QAction* MI_Info;

    // Link row
    QFrame* Bevel1;
    QGroupBox* GroupBox2;
    QCheckBox* CB_WLAN;
    QLineEdit* EWLANDevice;

    // Pages
    QTabWidget* PC_main;
    UpdatePage* TS_Download;
    ScanPage* TS_Dispcpy;
    AudioPage* TS_KAV72;
    SlotsPage* TS_Speicher;

    // The shared file dialogs keep their settings between uses.
    FileDialogSettings OD_App;
    FileDialogSettings SD_Datei;

    TDLG_Info* DLG_Info;

signals:
    // The window is about to close: nothing that ends after this reports to the user.
    void closing();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildMenu();
    void buildLinkRow(QWidget* client);
    void buildPages(QWidget* client);
    Page* currentPage() const;
    void onLinkOperation(LinkOperation operation);

    AppConfig m_config;
    Dialogs& m_dialogs;
    DeviceLink m_link;
    bool m_closing = false;
};

}  // namespace dz
