#pragma once
// Which image runs (0x55, also the keep-alive byte) and the version record (0x12).
//
//   0x55 -> 08 00 00 00 55 00 00 00            pocket software runs (90 for the factory image)
//   0x12 -> 0C 00 00 00 12 05 00 00 54 00 07 01   LAN V05; KAV0054 V107

#include "Job.h"

namespace dzsim {

class SyncJob final : public Job {
public:
    static constexpr uint8_t kPocket = 85;
    static constexpr uint8_t kFactory = 90;

    // The record code that answers 0x55: 85, 90, or anything else for an odd receiver.
    uint8_t imageAnswer = kPocket;
    // The payload that answers 0x12: normally one version record.
    Bytes version{18, 0x05, 0, 0, 0x54, 0x00, 0x07, 0x01};

    std::size_t requestLength(uint8_t code) const override;
    void handle(const Bytes& request, Replies& replies) override;
};

}  // namespace dzsim
