#pragma once
// One display scan: the request, then one acknowledgement per column until the
// area's last column has come, a record was wrong, the user cancelled or the
// receiver fell silent. Only one acknowledgement is ever outstanding.
//
//   08 00 00 00 00 20 03 E0 01 00  -> status 0
//   00                             -> column 0
//   00                             -> column 1   ... until column W − 1

#include <QString>

#include <cstdint>
#include <span>
#include <string>

#include "link/DeviceLink.h"
#include "scan/ScanView.h"

namespace dz {

class ScanOperation {
public:
    ScanOperation(DeviceLink& link, ScanView& view);
    ScanOperation(const ScanOperation&) = delete;
    ScanOperation& operator=(const ScanOperation&) = delete;

    // "Scan": runs the whole scan and returns once its message has been shown. False,
    // sending nothing, while another operation holds the link.
    bool B_DispcpyClick();
    // "Cancel": ends the running scan; the columns painted so far stay.
    void B_AbortClick();

    bool running() const { return m_running; }
    // L_Spalte: empty while the request goes out, then the latest column index plus one.
    const QString& columnCounter() const { return m_counter; }

private:
    enum class Step { Next, Done, Failed };

    // The request and the acknowledgements, with the link up; ends with the exchange.
    void scan();
    // One record of the answer, whole: the status, or a column to paint.
    Step OnScanRecord(std::span<const uint8_t> payload);
    void setCounter(const QString& text);
    int progressFor(int counter, int width) const;

    DeviceLink& m_link;
    ScanView& m_view;
    QString m_counter;
    std::string m_status;
    bool m_running = false;
    bool m_cancelled = false;
    int m_rowsPerColumn = 0;  // the rows each column record carries: H when the scan began
    int m_columnLength = 0;   // the length of each column record, fixed by H when the scan began
};

}  // namespace dz
