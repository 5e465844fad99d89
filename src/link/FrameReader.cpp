#include "link/FrameReader.h"

#include <cstring>

namespace dz {

FrameLoopEnd cutFrames(Exchange& ex, const PayloadSink& deliver, int maxFrames)
{
    int handed = 0;
    while (ex.Busy && ex.RxCount >= 2 && (ex.FrameLength == 0 || ex.FrameLength <= ex.RxCount)) {
        if (ex.FrameLength == 0) {
            ex.FrameLength = frameLengthField(ex);
        }
        // A length below 4 would never consume its bytes; above 1024 it cannot fit.
        if (ex.FrameLength > Exchange::kRxUsed || ex.FrameLength < 4) {
            ex.Busy = 0;
            return FrameLoopEnd::BadLength;
        }
        if (ex.RxCount < ex.FrameLength) {
            return FrameLoopEnd::NeedMore;
        }
        const uint32_t serial = ex.RequestSerial;
        deliver(ex.RxBuffer.data() + 4, ex.FrameLength - 4);
        if (ex.RequestSerial != serial) {
            return FrameLoopEnd::Abandoned;
        }
        ex.RxCount -= ex.FrameLength;
        if (ex.RxCount == 0) {
            // Nothing is held: a length kept from here would be taken for the next frame's.
            ex.FrameLength = 0;
            return FrameLoopEnd::Boundary;
        }
        std::memmove(ex.RxBuffer.data(), ex.RxBuffer.data() + ex.FrameLength, static_cast<std::size_t>(ex.RxCount));
        ex.FrameLength = 0;
        if (maxFrames > 0 && ++handed >= maxFrames) {
            return FrameLoopEnd::Limit;
        }
    }
    return ex.Busy ? FrameLoopEnd::NeedMore : FrameLoopEnd::NotBusy;
}

}  // namespace dz
