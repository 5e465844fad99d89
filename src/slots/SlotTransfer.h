#pragma once
// The three slot transfers with the receiver, 63 exchanges each, and the
// handling of the slot blocks that answer a read. Each exchange sends one
// request and waits until a slot block or a reply code has come, the watchdog
// has fired or the link has gone.
//
//   read:  10 -> slot block (slot 1), 10 -> slot block (slot 2), ... 63 times
//   write: 11 01 00 00 <record 1> -> 00, 11 02 00 00 <record 2> -> 00, ...
//   clear: 11 01 00 00 <zeros>    -> 00, ...

#include <cstdint>

#include "link/DeviceLink.h"
#include "slots/SlotProtocol.h"
#include "slots/SlotStream.h"
#include "slots/SlotView.h"

namespace dz {

class SlotTransfer {
public:
    SlotTransfer(DeviceLink& link, SlotStream& store, SlotView& view);
    ~SlotTransfer();
    SlotTransfer(const SlotTransfer&) = delete;
    SlotTransfer& operator=(const SlotTransfer&) = delete;

    // Each returns false, sending nothing, while another operation holds the link.
    // "Laden vom KAV72": reads all slots into the store and the grid.
    bool readAll();
    // "Speichern im KAV72": sends the store's 63 records; stops at the first refusal.
    bool writeAll();
    // "Alles Löschen", once confirmed: writes zeros to every slot; stops at the first refusal.
    bool clearAll();

    // Ends a running transfer at its next wait, without a message: the window closes.
    void stop() { m_stopped = true; }
    bool running() const { return m_running; }

private:
    class Run;

    // A received slot block (record code 16 and what follows it); false when it is no slot's.
    bool onSlotBlock(std::span<const uint8_t> block);
    bool linkGoneOrStopped() const;
    bool sendAll(LinkOperation operation, SlotWriteRequest (*request)(int slot, const SlotStream& store),
                 const QString& failure);

    DeviceLink& m_link;
    SlotStream& m_store;
    SlotView& m_view;
    bool m_running = false;
    bool m_stopped = false;
};

}  // namespace dz
