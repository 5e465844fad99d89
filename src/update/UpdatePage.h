#pragma once
// The page "Update Dizuro": which image the receiver runs ("Synchronize" and its
// two indicators), and the group "Update Firmware": the target, the file chosen
// with File > Open, and the transfer with its progress.

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include "app/Page.h"
#include "update/UpdateTransfer.h"

namespace dz {

class UpdatePage final : public Page, private UpdateView {
    Q_OBJECT
public:
    UpdatePage(PageContext context, UpdateConfig config, QWidget* parent = nullptr);

    // "Synchronize": asks which image runs and opens the update group when it is known.
    void B_SyncClick();
    // The last synchronisation told which image runs.
    bool deviceModeKnown() const { return CB_Boot->isChecked() || CB_Konfiguration->isChecked(); }

    void RB_PocketClick();
    void RB_LANClick();
    void B_StartClick();
    // File > "&Open" on this page: chooses the update file.
    void fileOpen() override;
    void setLinkFree(bool free) override;

    bool transferRunning() const { return m_transfer.running(); }
    UpdateTransfer& transfer() { return m_transfer; }

    QPushButton* B_Sync;
    QGroupBox* GroupBox3;
    QCheckBox* CB_Boot;
    QCheckBox* CB_Konfiguration;
    QLabel* Label2;
    QListWidget* LB_Applikation;
    QGroupBox* GB_Download;
    QLabel* L_Send;
    QLabel* L_Bytes;
    QPushButton* B_Start;
    QRadioButton* RB_Pocket;
    QRadioButton* RB_LAN;
    QProgressBar* PB_Sent;

    QString FirmwarePath;  // the chosen update file, full path

signals:
    // No other page may be chosen, by any route, while a transfer runs.
    void pageSwitchingAllowed(bool allowed);

private:
    void setDownloadEnabled(bool enabled);

    void setSendLabel(const QString& text) override;
    void setBytesText(const QString& text) override;
    void setProgress(int percent) override;
    void setTransferRunning(bool running) override;
    void showOutcome(const QString& text) override;

    UpdateTransfer m_transfer;
};

}  // namespace dz
