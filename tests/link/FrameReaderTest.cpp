// Frame reassembly: whatever the reads look like, every complete frame is handed
// on once, in order, from the front of the buffer, and nothing past the bytes
// received is ever read.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "link/FrameReader.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes frame(const Bytes& payload)
{
    const auto length = payload.size() + 4;
    Bytes f{static_cast<uint8_t>(length & 0xFF), static_cast<uint8_t>(length >> 8), 0xAA, 0xBB};
    f.insert(f.end(), payload.begin(), payload.end());
    return f;
}

Bytes concat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const auto& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

// Feeds `stream` into the buffer in reads of the given sizes, the way the
// receive loop does, and records what is handed on.
enum class End { NeedMore, Boundary, BadLength };

struct Reader {
    dz::Exchange ex;
    std::vector<Bytes> payloads;
    std::vector<const uint8_t*> addresses;
    End last = End::NeedMore;

    End read(const uint8_t* bytes, std::size_t n)
    {
        std::memcpy(ex.RxBuffer.data() + ex.RxCount, bytes, n);
        ex.RxCount += static_cast<int32_t>(n);
        last = takeWholeFrames();
        return last;
    }

    End takeWholeFrames()
    {
        for (;;) {
            switch (dz::frameAtFront(ex)) {
                case dz::FrameAt::BadLength:
                    return End::BadLength;
                case dz::FrameAt::Partial:
                    return ex.RxCount == 0 ? End::Boundary : End::NeedMore;
                case dz::FrameAt::Whole:
                    addresses.push_back(ex.RxBuffer.data() + 4);
                    payloads.emplace_back(ex.RxBuffer.data() + 4, ex.RxBuffer.data() + ex.FrameLength);
                    dz::dropFrontFrame(ex);
                    break;
            }
        }
    }

    void feed(const Bytes& stream, const std::vector<std::size_t>& chunks)
    {
        std::size_t at = 0;
        for (const std::size_t c : chunks) {
            read(stream.data() + at, c);
            at += c;
        }
        ASSERT_EQ(at, stream.size());
    }
};

TEST(FrameReader, WholeFrameIsHandedOnAndEndsAtTheBoundary)
{
    Reader r;
    const Bytes f = frame({85, 0, 0, 0});
    EXPECT_EQ(r.read(f.data(), f.size()), End::Boundary);
    ASSERT_EQ(r.payloads.size(), 1u);
    EXPECT_EQ(r.payloads[0], (Bytes{85, 0, 0, 0}));
    EXPECT_EQ(r.ex.RxCount, 0);
    EXPECT_EQ(r.ex.FrameLength, 0);  // nothing held, nothing known about the next frame
}

TEST(FrameReader, FrameInSingleBytesIsHandedOnOnceWhenItsLastByteIsIn)
{
    Reader r;
    const Bytes f = frame({18, 5, 0, 0, 0x54, 0, 7, 1});
    for (std::size_t i = 0; i + 1 < f.size(); ++i) {
        EXPECT_EQ(r.read(&f[i], 1), End::NeedMore) << "after byte " << i;
        EXPECT_TRUE(r.payloads.empty());
    }
    EXPECT_EQ(r.read(&f.back(), 1), End::Boundary);
    ASSERT_EQ(r.payloads.size(), 1u);
    EXPECT_EQ(r.payloads[0].size(), 8u);
}

TEST(FrameReader, TwoFramesInOneReadAreHandedOnInOrderFromTheBufferStart)
{
    Reader r;
    const Bytes stream = concat({frame({0, 0, 0, 0}), frame({85, 1, 2, 3, 2, 0, 0, 0})});
    EXPECT_EQ(r.read(stream.data(), stream.size()), End::Boundary);
    ASSERT_EQ(r.payloads.size(), 2u);
    EXPECT_EQ(r.payloads[0], (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(r.payloads[1], (Bytes{85, 1, 2, 3, 2, 0, 0, 0}));
    // The second frame is moved to the front before it is handed on.
    EXPECT_EQ(r.addresses[0], r.ex.RxBuffer.data() + 4);
    EXPECT_EQ(r.addresses[1], r.ex.RxBuffer.data() + 4);
}

TEST(FrameReader, FrameAndFirstByteOfTheNextWaitsForTheRest)
{
    Reader r;
    const Bytes second = frame({90, 0, 0, 0});
    Bytes stream = frame({0, 0, 0, 0});
    stream.push_back(second[0]);
    EXPECT_EQ(r.read(stream.data(), stream.size()), End::NeedMore);
    EXPECT_EQ(r.payloads.size(), 1u);
    EXPECT_EQ(r.ex.RxCount, 1);
    EXPECT_EQ(r.read(second.data() + 1, second.size() - 1), End::Boundary);
    ASSERT_EQ(r.payloads.size(), 2u);
    EXPECT_EQ(r.payloads[1], (Bytes{90, 0, 0, 0}));
}

struct LengthCase {
    int lengthField;
    bool accepted;
};

class FrameLengthField : public testing::TestWithParam<LengthCase> {};

TEST_P(FrameLengthField, OutsideFourTo1024IsNoFrame)
{
    const LengthCase c = GetParam();
    Reader r;
    Bytes stream(static_cast<std::size_t>(std::clamp(c.lengthField, 4, 1024)), 0);
    stream[0] = static_cast<uint8_t>(c.lengthField & 0xFF);
    stream[1] = static_cast<uint8_t>(c.lengthField >> 8);
    const End end = r.read(stream.data(), stream.size());
    if (c.accepted) {
        EXPECT_EQ(end, End::Boundary);
        ASSERT_EQ(r.payloads.size(), 1u);
        EXPECT_EQ(static_cast<int>(r.payloads[0].size()), c.lengthField - 4);
    } else {
        EXPECT_EQ(end, End::BadLength);
        EXPECT_TRUE(r.payloads.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Bounds, FrameLengthField,
                         testing::Values(LengthCase{4, true}, LengthCase{5, true}, LengthCase{1024, true},
                                         LengthCase{1025, false}, LengthCase{0xFFFF, false}, LengthCase{3, false},
                                         LengthCase{2, false}, LengthCase{0, false}));

TEST(FrameReader, AnyChunkingGivesTheSamePayloads)
{
    std::mt19937 random(20261210);
    std::vector<Bytes> sent;
    Bytes stream;
    for (int i = 0; i < 200; ++i) {
        Bytes payload(random() % 300, 0);
        for (auto& b : payload) {
            b = static_cast<uint8_t>(random());
        }
        sent.push_back(payload);
        const Bytes f = frame(payload);
        stream.insert(stream.end(), f.begin(), f.end());
    }
    for (int round = 0; round < 20; ++round) {
        Reader r;
        std::size_t at = 0;
        while (at < stream.size()) {
            // Never more than the buffer's free room, as the receive loop reads.
            const std::size_t room = static_cast<std::size_t>(dz::Exchange::kRxUsed - r.ex.RxCount);
            const std::size_t n = std::min({stream.size() - at, room, static_cast<std::size_t>(1 + random() % 700)});
            r.read(stream.data() + at, n);
            at += n;
        }
        EXPECT_EQ(r.last, End::Boundary);
        EXPECT_EQ(r.payloads, sent) << "round " << round;
    }
}

TEST(FrameReader, TakingOneFrameKeepsTheRestAtTheFront)
{
    dz::Exchange ex;
    const Bytes stream = concat({frame({85, 0, 0, 0}), frame({0, 0, 0, 0})});
    std::memcpy(ex.RxBuffer.data(), stream.data(), stream.size());
    ex.RxCount = static_cast<int32_t>(stream.size());
    ASSERT_EQ(dz::frameAtFront(ex), dz::FrameAt::Whole);
    EXPECT_EQ(ex.RxBuffer[4], 85);
    dz::dropFrontFrame(ex);
    EXPECT_EQ(ex.RxCount, 8);
    EXPECT_EQ(ex.RxBuffer[4], 0);
    EXPECT_EQ(ex.FrameLength, 0);
    ASSERT_EQ(dz::frameAtFront(ex), dz::FrameAt::Whole);
    dz::dropFrontFrame(ex);
    EXPECT_EQ(ex.RxCount, 0);
    EXPECT_EQ(dz::frameAtFront(ex), dz::FrameAt::Partial);
}

}  // namespace
