#pragma once
// One display scan: the request, then one acknowledgement per column until the
// area's last column has come, a record was wrong, the user cancelled or the
// receiver fell silent. Only one acknowledgement is ever outstanding.
//
//   08 00 00 00 00 20 03 E0 01 00  -> status 0
//   00                             -> column 0
//   00                             -> column 1   ... until column W − 1

#include <QPointer>
#include <QString>

#include <cstdint>

#include "link/DeviceLink.h"
#include "scan/ScanView.h"

namespace dz {

class ScanOperation {
public:
    ScanOperation(DeviceLink& link, ScanView& view);
    ~ScanOperation();
    ScanOperation(const ScanOperation&) = delete;
    ScanOperation& operator=(const ScanOperation&) = delete;

    // "Scan": runs the whole scan and returns once its message has been shown.
    void B_DispcpyClick();
    // "Cancel": ends the running scan; the columns painted so far stay.
    void B_AbortClick();
    // Every payload that arrives while the scan runs, whole, as one record.
    void OnScanRecord(const uint8_t* payload, int count);

    bool running() const { return m_running; }
    // L_Spalte: empty while the request goes out, then the latest column index plus one.
    const QString& columnCounter() const { return m_counter; }

private:
    // The request and the acknowledgements, with the link up; ends with the exchange.
    void scan();
    void setCounter(const QString& text);
    int progressFor(int counter, int width) const;

    DeviceLink& m_link;
    // The window's link is one of its members and goes before its pages do.
    QPointer<DeviceLink> m_linkAlive;
    Exchange& m_ex;
    ScanView& m_view;
    QString m_counter;
    bool m_running = false;
    int m_rowsPerColumn = 0;  // the rows each column record carries: H when the scan began
};

}  // namespace dz
