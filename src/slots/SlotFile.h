#pragma once
// The files the memory slots are kept in, told apart by their extension in any
// case: memory files (".Mem", the raw records) and tables (".csv"). Loading or
// saving either returns a message for the user when it fails, and then leaves
// the store, or the file on disk, as it was.

#include <QString>

#include <optional>

#include "slots/SlotStream.h"

namespace dz {

enum class SlotFileFormat { Memory, Csv };

std::optional<SlotFileFormat> slotFileFormatOf(const QString& path);

std::optional<QString> loadSlotFile(const QString& path, SlotStream& store);
std::optional<QString> saveSlotFile(const QString& path, const SlotStream& store);

}  // namespace dz
