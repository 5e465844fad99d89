#pragma once
// A page of the main window's page control, and what every page is given.
// The File menu acts on the current page; a page without files ignores it.

#include <QWidget>

#include "app/Dialogs.h"
#include "link/DeviceLink.h"

namespace dz {

struct PageContext {
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
    // The link is free for an operation, or held by one: controls that would start
    // an exchange are enabled only while it is free.
    virtual void setLinkFree(bool) {}

protected:
    PageContext m_ctx;
};

}  // namespace dz
