// The receive path fed an arbitrary byte stream cut into arbitrary reads: frame
// reassembly and the record walk of every payload, the way the link's receive
// loop drives them. The reassembler's state carries over from one input to the
// next, as a long-lived link's does across requests.
//
// Input: a sequence of reads, each one length byte (0..255) and that many bytes;
// a length byte of 0 starts a new request (the buffer is emptied, as every
// request does).

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "link/FrameReader.h"
#include "link/RecordWalk.h"

namespace {

class Sink final : public dz::RecordSink {
public:
    explicit Sink(dz::Exchange& ex) : m_ex(ex) {}
    void replyCode(int code) override { m_ex.ReplyCode = code; }
    void versionText(const std::string& text) override { m_length += text.size(); }
    void slotBlock(const uint8_t* record, int count) override
    {
        // Touch every byte the walk says is there: ASan catches a count past the payload.
        for (int i = 0; i < count; ++i) {
            m_length += record[i];
        }
    }
    void unknownRecord(int) override { m_ex.ReplyCode = -1; }

private:
    dz::Exchange& m_ex;
    std::size_t m_length = 0;
};

dz::Exchange g_ex;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    dz::Exchange& ex = g_ex;
    Sink sink(ex);
    std::size_t at = 0;
    while (at < size) {
        const std::size_t want = data[at++];
        if (want == 0 || !ex.Busy) {
            ex.Busy = 1;
            ex.RxCount = 0;
            ex.FrameLength = 0;
            continue;
        }
        const std::size_t room = static_cast<std::size_t>(dz::Exchange::kRxUsed - ex.RxCount);
        std::size_t n = want < size - at ? want : size - at;
        n = n < room ? n : room;
        std::memcpy(ex.RxBuffer.data() + ex.RxCount, data + at, n);
        at += n;
        ex.RxCount += static_cast<int32_t>(n);
        dz::FrameAt at;
        while ((at = dz::frameAtFront(ex)) == dz::FrameAt::Whole) {
            // The frame must lie inside the received bytes of the buffer.
            if (ex.FrameLength < 4 || ex.FrameLength > ex.RxCount) {
                __builtin_trap();
            }
            dz::walkRecords(ex.RxBuffer.data() + 4, ex.FrameLength - 4, sink);
            dz::dropFrontFrame(ex);
        }
        if (ex.RxCount < 0 || ex.RxCount > dz::Exchange::kRxUsed) {
            __builtin_trap();
        }
        if (at == dz::FrameAt::BadLength) {
            ex.Busy = 0;  // no frame can follow: the next read belongs to a new request
        }
    }
    return 0;
}
