#include "slots/SlotFile.h"

#include "slots/MemoryFile.h"

namespace dz {

std::optional<SlotFileFormat> slotFileFormatOf(const QString& path)
{
    const QString name = path.section(QLatin1Char('/'), -1);
    if (name.endsWith(QLatin1String(".mem"), Qt::CaseInsensitive)) {
        return SlotFileFormat::Memory;
    }
    if (name.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive)) {
        return SlotFileFormat::Csv;
    }
    return std::nullopt;
}

std::optional<QString> loadSlotFile(const QString& path, SlotStream& store)
{
    switch (slotFileFormatOf(path).value_or(SlotFileFormat::Memory)) {
        case SlotFileFormat::Memory:
            return loadMemoryFile(path, store);
        case SlotFileFormat::Csv: {
            // Each slot the file names goes over an empty record; the others stay unknown, so
            // that a write leaves them alone on the receiver.
            std::vector<CsvSlot> entries;
            if (const std::optional<QString> error = readSlotsCsv(path, SlotStream(), entries)) {
                return error;
            }
            for (const CsvSlot& entry : entries) {
                store.storeRecordBytes(entry.slot, entry.record.bytes.data(), slot::kRecordSize);
            }
            return std::nullopt;
        }
    }
    return std::nullopt;
}

std::optional<QString> saveSlotFile(const QString& path, const SlotStream& store)
{
    switch (slotFileFormatOf(path).value_or(SlotFileFormat::Memory)) {
        case SlotFileFormat::Memory:
            return saveMemoryFile(path, store);
        case SlotFileFormat::Csv:
            return saveSlotsCsv(path, store);
    }
    return std::nullopt;
}

}  // namespace dz
