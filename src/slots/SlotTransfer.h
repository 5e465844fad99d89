#pragma once
// The three slot transfers with the receiver, 63 exchanges each, and the
// handling of the slot blocks that answer a read. Each exchange sends one
// request and waits until a reply code has come, the watchdog has fired or the
// link has gone.
//
//   read:  10 -> slot block (slot 1), 10 -> slot block (slot 2), ... 63 times
//   write: 11 01 00 00 <record 1> -> 00, 11 02 00 00 <record 2> -> 00, ...
//   clear: 11 01 00 00 <zeros>    -> 00, ...

#include <QPointer>

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

    // "Laden vom KAV72": reads all slots into the store and the grid.
    void readAll();
    // "Speichern im KAV72": sends the store's 63 records; stops at the first refusal.
    void writeAll();
    // "Alles Löschen", once confirmed: writes zeros to every slot; stops at the first refusal.
    void clearAll();

    // Ends a running transfer at its next wait, without a message: the window closes.
    void stop() { m_stopped = true; }
    bool running() const { return m_depth > 0; }

    // A received slot block (record code 16), `count` bytes from its code on.
    void onSlotBlock(const uint8_t* payload, int count);

private:
    class Run;

    int exchange(const uint8_t* request, int length);
    bool linkGoneOrStopped() const;
    void sendAll(SlotWriteRequest (*request)(int slot, const SlotStream& store), const QString& failure);

    DeviceLink& m_link;
    // The window's link is one of its members and goes before its pages do.
    QPointer<DeviceLink> m_linkAlive;
    Exchange& m_ex;
    SlotStream& m_store;
    SlotView& m_view;
    int m_depth = 0;  // a transfer started from inside another's wait runs nested
    bool m_stopped = false;
};

}  // namespace dz
