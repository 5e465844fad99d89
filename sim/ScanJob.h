#pragma once
// Display scans: the request names an area of the screen; the receiver answers
// with a status record and then sends one column per acknowledgement.
//
//   08 <X:2> <Y:2> <W:2> <H:2> 00 -> 08 00 00 00  00 00 00 00          status 0
//   00                            -> <E+4> 00 00 00  <i:2> <H pixels> <padding>
//   0A                            -> (nothing: the scan is cancelled)
//
// The fault switches name a column index; -1 is off.

#include "Job.h"
#include "ScanScreen.h"

namespace dzsim {

class ScanJob final : public Job {
public:
    ScanScreen screen;

    int status = 0;                // the status byte that answers a scan request
    int wrongLengthColumn = -1;    // this column's record is one byte longer than it should be
    int indexBeyondColumn = -1;    // this column's record carries the index W instead of its own
    bool outOfOrder = false;       // columns go in swapped pairs: 1, 0, 3, 2, ...
    int silentColumn = -1;         // the acknowledgement that would bring this column gets no answer
    bool startWithColumn = false;  // no status record: the request is answered by column 0

    // What the receiver saw.
    int scans = 0;
    int acks = 0;
    int cancels = 0;
    bool active = false;
    int lastX = 0, lastY = 0, lastW = 0, lastH = 0;

    std::size_t requestLength(uint8_t code) const override;
    void handle(const Bytes& request, Replies& replies) override;

    // The record for area column `index` (index field `carried`), as the receiver sends it.
    Bytes column(int index, int carried) const;

private:
    void sendNext(Replies& replies);

    int m_sent = 0;  // columns sent in this scan
};

}  // namespace dzsim
