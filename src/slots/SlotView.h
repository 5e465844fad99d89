#pragma once
// What a slot transfer shows while it runs: the memory-slot page implements it,
// a test or a command-line front end may put anything else in its place.

#include <QString>

#include <vector>

#include "slots/SlotRecord.h"

namespace dz {

class SlotView {
public:
    virtual ~SlotView() = default;
    // B_Laden and B_Speichern: disabled while a transfer runs.
    virtual void setTransferButtonsEnabled(bool enabled) = 0;
    // L_SBytes.
    virtual void showByteCount(const QString& text) = 0;
    // The one line of LB_Speicher: where the slot data came from.
    virtual void showSource(const QString& text) = 0;
    // Writes columns 1 to 11 of grid row `row`.
    virtual void ShowSlotRecord(const SlotRecord& record, int row) = 0;
    // An information box with one OK button.
    virtual void showMessage(const QString& text) = 0;
    // The slots a read asked for that did not come (none: every slot came).
    virtual void showMissing(const std::vector<int>& missing) = 0;
};

}  // namespace dz
