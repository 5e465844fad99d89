#include "link/Endpoint.h"

#include <charconv>

namespace dz {

std::string Endpoint::text() const
{
    return host + ":" + std::to_string(port);
}

std::optional<Endpoint> parseEndpoint(std::string_view text)
{
    Endpoint e;
    const auto colon = text.rfind(':');
    std::string_view host = text.substr(0, colon);
    if (colon != std::string_view::npos) {
        const std::string_view port = text.substr(colon + 1);
        unsigned value = 0;
        const auto [end, ec] = std::from_chars(port.data(), port.data() + port.size(), value);
        if (ec != std::errc() || end != port.data() + port.size() || value == 0 || value > 65535) {
            return std::nullopt;
        }
        e.port = static_cast<uint16_t>(value);
    }
    if (host.empty() || host.find_first_of(" \t/") != std::string_view::npos) {
        return std::nullopt;
    }
    e.host = std::string(host);
    return e;
}

}  // namespace dz
