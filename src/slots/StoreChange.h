#pragma once
// One change to the slot store as the undo stack keeps it: new bytes for one
// stretch of the store, and what the stretch and the store's length were before.
// A cell edit, a paste and an import are each one of these.

#include <QUndoCommand>

#include <cstdint>
#include <functional>
#include <vector>

#include "slots/SlotStream.h"

namespace dz {

class StoreChange final : public QUndoCommand {
public:
    // `shown` is told the slots whose records changed, first and last, after each redo and undo.
    StoreChange(SlotStream& store, std::size_t offset, std::vector<uint8_t> bytes,
                std::function<void(int first, int last)> shown, const QString& text);

    void redo() override;
    void undo() override;

private:
    void show() const;

    SlotStream& m_store;
    std::size_t m_offset;
    std::vector<uint8_t> m_after;
    std::vector<uint8_t> m_before;  // what the store held of the stretch; shorter where the store ended
    std::size_t m_sizeBefore;
    std::function<void(int, int)> m_shown;
};

}  // namespace dz
