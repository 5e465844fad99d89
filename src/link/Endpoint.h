#pragma once
// Where the receiver listens: its own access point answers at 192.168.4.1:55555.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace dz {

struct Endpoint {
    std::string host = "192.168.4.1";
    uint16_t port = 55555;

    std::string text() const;
};

// "HOST" or "HOST:PORT"; the port defaults to 55555. Nothing on failure.
std::optional<Endpoint> parseEndpoint(std::string_view text);

}  // namespace dz
