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
#include <functional>

#include "link/Exchange.h"

namespace dz {

enum class FrameLoopEnd {
    NeedMore,   // the buffer ends inside a frame: read more
    Boundary,   // the buffer ended exactly at a frame boundary
    BadLength,  // a length field outside 4..1024: the exchange was ended (Busy 0)
    NotBusy,    // the exchange ended while frames were handed on
    Abandoned,  // a nested request took the buffer over while a frame was handed on
    Limit,      // maxFrames frames were handed on; more bytes may follow
};

using PayloadSink = std::function<void(const uint8_t* payload, int count)>;

// Hands every complete frame at the front of ex.RxBuffer to `deliver` (payload and
// its byte count) and removes it; the remaining bytes move to the front. Stops
// after `maxFrames` frames when that is positive.
FrameLoopEnd cutFrames(Exchange& ex, const PayloadSink& deliver, int maxFrames = 0);

// The length field of the frame at the front of the buffer (RxCount must be at least 2).
inline int32_t frameLengthField(const Exchange& ex)
{
    return ex.RxBuffer[0] | (ex.RxBuffer[1] << 8);
}

}  // namespace dz
