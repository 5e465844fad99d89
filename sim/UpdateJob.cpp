#include "UpdateJob.h"

#include <algorithm>

namespace dzsim {

namespace {

constexpr uint8_t kPocketStart = 0x0C;
constexpr uint8_t kLanStart = 0x09;

}  // namespace

std::size_t UpdateJob::requestLength(uint8_t code) const
{
    if (code == kPocketStart || code == kLanStart) {
        return 5;
    }
    if (code < 0x80 || target == Target::None) {
        return 0;
    }
    if (target == Target::Lan) {
        return 257;
    }
    return m_sequence < 4 ? 5 : 320;
}

void UpdateJob::checkSequence(uint8_t byte)
{
    if (byte != static_cast<uint8_t>(0x80 | (m_sequence & 0x7F))) {
        ++sequenceErrors;
    }
    ++m_sequence;
}

void UpdateJob::take(const uint8_t* bytes, std::size_t n)
{
    if (complete()) {
        closingBlocksFiller = closingBlocksFiller && std::all_of(bytes, bytes + n, [](uint8_t b) { return b == 0xFF; });
        return;
    }
    const std::size_t room = declaredSize - data.size();
    data.insert(data.end(), bytes, bytes + std::min(n, room));
}

void UpdateJob::answer(Replies& replies)
{
    ++requests;
    if (busyEvery > 0 && requests % busyEvery == 0) {
        for (int i = 0; i < busyRepeats; ++i) {
            replies.frame({85, 0, 0, 0}, i == 0 ? 0 : busyGapMs);
        }
        replies.frame({0, 0, 0, 0}, busyGapMs);
        return;
    }
    replies.frame({0, 0, 0, 0});
}

void UpdateJob::handle(const Bytes& request, Replies& replies)
{
    const uint8_t code = request[0];
    if (code == kPocketStart || code == kLanStart) {
        target = code == kPocketStart ? Target::Pocket : Target::Lan;
        declaredSize = static_cast<uint32_t>(request[1] | request[2] << 8 | request[3] << 16) |
                       static_cast<uint32_t>(request[4]) << 24;
        data.clear();
        data.reserve(declaredSize);
        nameField.fill(0);
        sequenceErrors = 0;
        requests = 0;
        closingBlocks = 0;
        closingBlocksFiller = true;
        m_sequence = 1;
        replies.frame({startAnswer, 0, 0, 0});
        if (startAnswer == 90) {
            replies.frame({0, 0, 0, 0}, clearMs);
        }
        return;
    }
    if (complete()) {
        ++closingBlocks;
    }
    if (target == Target::Lan) {
        checkSequence(request[0]);
        take(&request[1], 256);
    } else if (request.size() == 5) {
        std::copy(request.begin() + 1, request.end(), nameField.begin() + 4 * (m_sequence - 1));
        checkSequence(request[0]);
    } else {
        for (std::size_t r = 0; r < 64; ++r) {
            checkSequence(request[5 * r]);
            take(&request[5 * r + 1], 4);
        }
    }
    answer(replies);
}

}  // namespace dzsim
