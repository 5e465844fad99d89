// A received slot block of any length and content: parsed, stored in its slot,
// and shown as the grid's texts in two locales. The store lives on across inputs,
// as it does across the blocks of a read.

#include <cstddef>
#include <cstdint>
#include <string>

#include "link/AnsiText.h"
#include "slots/SlotEdit.h"
#include "slots/SlotProtocol.h"
#include "slots/SlotStream.h"
#include "slots/SlotTexts.h"

namespace {

dz::SlotStream g_store;
const dz::NumberFormat kGerman{",", "."};
const dz::NumberFormat kEnglish{".", ","};

std::size_t touch(const dz::SlotRowTexts& row)
{
    std::size_t n = 0;
    for (const auto& cell : row) {
        n += cell ? cell->size() : 0;
    }
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const auto block = dz::parseSlotBlock(data, static_cast<int>(size));
    if (!block) {
        return 0;
    }
    if (block->slot < 1 || block->slot > dz::slot::kCount || block->carried < 0 ||
        block->record + block->carried > data + size) {
        __builtin_trap();
    }
    if (g_store.size() < static_cast<std::size_t>(dz::slot::kStoreSize)) {
        g_store.resize(dz::slot::kStoreSize);
    }
    g_store.storeRecordBytes(block->slot, block->record, block->carried);
    const dz::SlotRecord record = g_store.record(block->slot);
    volatile std::size_t n = touch(dz::slotRowTexts(record, kGerman)) + touch(dz::slotRowTexts(record, kEnglish));
    (void)n;
    // The name as the grid shows it, and back as the editor would store it.
    const std::string shown = dz::fromAnsi(std::string(reinterpret_cast<const char*>(record.bytes.data()) + 18, 17));
    g_store.storeName(block->slot, dz::nameField(dz::toAnsi(shown)));
    return 0;
}
