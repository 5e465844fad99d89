// A memory file of any length and content: loaded into the slot store (or
// refused), every slot read back and shown as the grid's texts, and the store
// written out again as the save would, byte for byte.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "slots/SlotStream.h"
#include "slots/SlotTexts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    dz::SlotStream store;
    const std::vector<uint8_t> file(data, data + size);
    const bool loaded = store.load(file);
    if (loaded != dz::SlotStream::completeFile(size)) {
        __builtin_trap();
    }
    if (!loaded) {
        if (store.size() != 0) {
            __builtin_trap();  // a refused file changes nothing
        }
        return 0;
    }
    const dz::NumberFormat format{",", "."};
    std::size_t n = 0;
    for (int slot = 1; slot <= dz::slot::kCount; ++slot) {
        for (const auto& cell : dz::slotRowTexts(store.record(slot), format)) {
            n += cell ? cell->size() : 0;
        }
    }
    if (store.bytes() != file) {
        __builtin_trap();  // what a save writes is what was loaded
    }
    return n == 0 ? 0 : 0;
}
