#pragma once
// Cuts the receiver's answer stream into frames.
//
//   offset 0  2 bytes  frame length L, little-endian, the whole frame (4 ≤ L ≤ 1024)
//   offset 2  2 bytes  unused
//   offset 4  L-4      payload: one or more records
//
// One socket read may end anywhere inside a frame or hold several frames; the
// reader never guesses and never looks past RxCount.

#include <cstdint>

#include "link/Exchange.h"

namespace dz {

enum class FrameAt {
    Partial,    // the buffer ends inside the frame: read more
    Whole,      // a whole frame is held; its length is in FrameLength
    BadLength,  // a length field outside 4..1024: no frame can follow
};

// The frame at the front of ex.RxBuffer. Sets ex.FrameLength once the length field is in.
FrameAt frameAtFront(Exchange& ex);

// Removes the whole frame at the front; what follows it moves to the front.
void dropFrontFrame(Exchange& ex);

// The length field of the frame at the front of the buffer (RxCount must be at least 2).
inline int32_t frameLengthField(const Exchange& ex)
{
    return ex.RxBuffer[0] | (ex.RxBuffer[1] << 8);
}

}  // namespace dz
