#pragma once
// Memory files (".Mem"): the bytes of the slot store, no header, normally the
// 63 records of 256 bytes; and the slots as CSV files (SlotCsv.h). Every call
// returns a message for the user when it fails, and then leaves the store, or
// the file on disk, as it was.

#include <QString>

#include <optional>

#include "slots/SlotCsv.h"
#include "slots/SlotStream.h"

namespace dz {

// Replaces the store with the file's bytes. A file shorter than 63 records is refused.
std::optional<QString> loadMemoryFile(const QString& path, SlotStream& store);

// Writes the whole store to `path` through a temporary file that takes the old
// one's place only once it is complete.
std::optional<QString> saveMemoryFile(const QString& path, const SlotStream& store);

// The store's slots as a CSV file, saved the same way.
std::optional<QString> saveSlotsCsv(const QString& path, const SlotStream& store);

// The slots of a CSV file, each over its record in `base`; the store itself is not changed here.
std::optional<QString> readSlotsCsv(const QString& path, const SlotStream& base, std::vector<CsvSlot>& entries);

}  // namespace dz
