#pragma once
// One received payload, posted to the link's dispatcher. It carries its own copy
// of the bytes: the receive buffer may already hold the next answer when a
// post is handled late (the search's post is handled by the main event loop).

#include <QEvent>

#include <cstdint>
#include <vector>

namespace dz {

class DeviceDataEvent : public QEvent {
public:
    static constexpr QEvent::Type kType = static_cast<QEvent::Type>(QEvent::User + 1001);

    DeviceDataEvent(const uint8_t* payload, int count)
        : QEvent(kType), m_payload(payload, payload + (count > 0 ? count : 0))
    {
    }

    const uint8_t* data() const { return m_payload.data(); }
    int count() const { return static_cast<int>(m_payload.size()); }

private:
    std::vector<uint8_t> m_payload;
};

}  // namespace dz
