#pragma once
// What a display scan needs of its page: the area as it stands now, the picture
// and the progress controls. The "Display Copy" page implements it; a test or a
// command-line front end may put anything else in its place.

#include <QString>

#include <cstdint>

#include "scan/ScanProtocol.h"

namespace dz {

class ScanView {
public:
    virtual ~ScanView() = default;
    // The four spin edits' values at this moment; read anew for every column.
    virtual ScanArea area() const = 0;
    // The visible part of the picture takes the frame colour.
    virtual void FillFrame() = 0;
    // The picture is hidden while the columns come in and shown once at the end.
    virtual void setImageVisible(bool visible) = 0;
    // B_Dispcpy disabled and B_Abort enabled while a scan runs.
    virtual void setScanRunning(bool running) = 0;
    // L_Spalte.
    virtual void showColumnCounter(const QString& text) = 0;
    // PB_Scan, 0 to 100.
    virtual void setProgress(int percent) = 0;
    // Column `index` of the area, `rows` pixel bytes from its top row on.
    virtual void paintColumn(int index, const uint8_t* pixels, int rows) = 0;
    // An information box with one OK button.
    virtual void showMessage(const QString& text) = 0;
};

}  // namespace dz
