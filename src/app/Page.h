#pragma once
// A page of the main window's page control, and what every page is given.
// The File menu acts on the current page; a page without files ignores it.

#include <QWidget>

#include "app/Dialogs.h"
#include "link/DeviceLink.h"
#include "link/Exchange.h"

namespace dz {

struct PageContext {
    Exchange& exchange;
    DeviceLink& link;
    Dialogs& dialogs;
    FileDialogSettings& OD_App;    // the shared open dialog
    FileDialogSettings& SD_Datei;  // the shared save dialog
};

class Page : public QWidget {
    Q_OBJECT
public:
    Page(PageContext context, const QString& objectName, QWidget* parent = nullptr) : QWidget(parent), m_ctx(context)
    {
        setObjectName(objectName);
    }

    // File > "&Open" and File > "&Save" while this page is the current one.
    virtual void fileOpen() {}
    virtual void fileSave() {}

protected:
    PageContext m_ctx;
};

}  // namespace dz
