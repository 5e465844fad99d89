#pragma once
// The page "Update Dizuro": which image the receiver runs ("Synchronize" and its
// two indicators) and the group "Update Firmware", usable once that is known.

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>

#include "app/Page.h"

namespace dz {

class UpdatePage final : public Page {
    Q_OBJECT
public:
    explicit UpdatePage(PageContext context, QWidget* parent = nullptr);

    // "Synchronize": asks which image runs and opens the update group when it is known.
    void B_SyncClick();
    // The last synchronisation told which image runs.
    bool deviceModeKnown() const { return CB_Boot->isChecked() || CB_Konfiguration->isChecked(); }

    QPushButton* B_Sync;
    QGroupBox* GroupBox3;
    QCheckBox* CB_Boot;
    QCheckBox* CB_Konfiguration;
    QGroupBox* GB_Download;

private:
    void setDownloadEnabled(bool enabled);
};

}  // namespace dz
