#pragma once
// The three slot transfers with the receiver and the slot blocks that answer a read.
// Each exchange sends one request and waits until a slot block or a reply code has
// come, the watchdog has fired or the link has gone.
//
//   read:  10 -> slot block (slot 1), 10 -> slot block (slot 2), ... 63 times
//   write: 11 01 00 00 <record 1> -> 00, 11 02 00 00 <record 2> -> 00, ...
//   clear: 11 01 00 00 <zeros>    -> 00, ...
//
// A write or a clear first reads the receiver's slots into a backup file, and reads
// them again afterwards to compare: nothing is overwritten unseen.

#include <QString>

#include <array>
#include <bitset>
#include <cstdint>
#include <vector>

#include "link/DeviceLink.h"
#include "slots/SlotBackups.h"
#include "slots/SlotProtocol.h"
#include "slots/SlotStream.h"
#include "slots/SlotView.h"

namespace dz {

class SlotTransfer {
public:
    SlotTransfer(DeviceLink& link, SlotStream& store, SlotView& view, SlotBackups backups = SlotBackups());
    SlotTransfer(const SlotTransfer&) = delete;
    SlotTransfer& operator=(const SlotTransfer&) = delete;

    // How a transfer ended, for a caller without boxes (the command line).
    enum class Result { Done, Failed, Refused };

    // "Laden vom KAV72": asks for every slot and shows each one that comes. A slot that
    // does not come costs its watchdog wait and is marked; a lost link ends the read.
    Result readAll();
    // "Speichern im KAV72": backup, then the records the store holds (never one it does
    // not), then a read-back compared byte for byte.
    Result writeAll();
    // "Alles Löschen", once confirmed: backup, zeros to every slot, read-back.
    Result clearAll();

    // Ends a running transfer at its next wait, without a message: the window closes.
    void stop() { m_stopped = true; }
    bool running() const { return m_running; }
    // The backup file of the last write or clear; empty when none was made.
    const QString& lastBackup() const { return m_lastBackup; }

private:
    class Run;
    struct Read {
        std::bitset<slot::kCount + 1> came;
        std::array<int, slot::kCount + 1> carried{};  // record bytes each slot's block carried
        bool linkLost = false;
        std::vector<int> missing() const;
    };
    enum class Write { Done, Refused, Failed };

    // Asks for every slot, into `into`; shows rows and bytes when `shown`.
    Read readSlots(SlotStream& into, bool shown);
    Result changeSlots(LinkOperation operation, bool clear);
    // Sends each slot's request; stops at the first refusal.
    Write sendSlots(const SlotStream& records, bool clear, std::vector<int>& sent, std::vector<int>& skipped);
    bool linkGoneOrStopped() const;

    DeviceLink& m_link;
    SlotStream& m_store;
    SlotView& m_view;
    SlotBackups m_backups;
    QString m_lastBackup;
    bool m_running = false;
    bool m_stopped = false;
};

}  // namespace dz
