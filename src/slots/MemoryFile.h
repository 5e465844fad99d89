#pragma once
// Memory files (".Mem"): the bytes of the slot store, no header, normally the
// 63 records of 256 bytes. Both calls return a message for the user when they
// fail, and then leave the store, or the file on disk, as it was.

#include <QString>

#include <optional>

#include "slots/SlotStream.h"

namespace dz {

// Replaces the store with the file's bytes. A file shorter than 63 records is refused.
std::optional<QString> loadMemoryFile(const QString& path, SlotStream& store);

// Writes the whole store to `path` through a temporary file that takes the old
// one's place only once it is complete.
std::optional<QString> saveMemoryFile(const QString& path, const SlotStream& store);

}  // namespace dz
