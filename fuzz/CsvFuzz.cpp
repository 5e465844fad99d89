// Any text read as a slot CSV file, and any bytes taken as a store of records.
// What is read must come back the same through another export and import:
// export(import(x)) is stable, and import(export(records)) gives the records.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "slots/SlotCsv.h"

namespace {

bool same(const std::vector<dz::CsvSlot>& a, const std::vector<dz::CsvSlot>& b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].slot != b[i].slot || a[i].record.bytes != b[i].record.bytes) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<uint8_t> bytes(data, data + size);

    const dz::CsvSlots read = dz::csvToSlots(text, bytes);
    if (read.error) {
        if (read.error->line < 1 || !read.entries.empty() || !dz::csvToMemoryFile(text).bytes.empty()) {
            __builtin_trap();  // a refused text names a line and gives nothing
        }
    } else {
        const std::string exported = dz::slotsToCsv(read.entries);
        const dz::CsvSlots again = dz::csvToSlots(exported);
        if (again.error || !same(again.entries, read.entries) || dz::slotsToCsv(again.entries) != exported) {
            __builtin_trap();
        }
    }

    // The same bytes as a store: every record it holds comes back whole.
    const dz::CsvMemoryFile file = dz::csvToMemoryFile(dz::slotsToCsv(bytes));
    if (file.error || file.bytes.size() != static_cast<std::size_t>(dz::slot::kStoreSize)) {
        __builtin_trap();
    }
    // A last record cut short, and the slots beyond the store, read as zero.
    const std::size_t held = std::min<std::size_t>(size, dz::slot::kStoreSize);
    for (std::size_t i = 0; i < file.bytes.size(); ++i) {
        if (file.bytes[i] != (i < held ? bytes[i] : 0)) {
            __builtin_trap();
        }
    }
    return 0;
}
