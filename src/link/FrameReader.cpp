#include "link/FrameReader.h"

#include <cstring>

namespace dz {

FrameAt frameAtFront(Exchange& ex)
{
    if (ex.RxCount < 2) {
        return FrameAt::Partial;
    }
    ex.FrameLength = frameLengthField(ex);
    // A length below 4 would never consume its bytes; above 1024 it cannot fit.
    if (ex.FrameLength > Exchange::kRxUsed || ex.FrameLength < 4) {
        return FrameAt::BadLength;
    }
    return ex.FrameLength <= ex.RxCount ? FrameAt::Whole : FrameAt::Partial;
}

void dropFrontFrame(Exchange& ex)
{
    ex.RxCount -= ex.FrameLength;
    if (ex.RxCount > 0) {
        std::memmove(ex.RxBuffer.data(), ex.RxBuffer.data() + ex.FrameLength, static_cast<std::size_t>(ex.RxCount));
    } else {
        ex.RxCount = 0;
    }
    // A length kept from here would be taken for the next frame's.
    ex.FrameLength = 0;
}

}  // namespace dz
