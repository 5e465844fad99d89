#include "slots/SlotFile.h"

#include <QDir>

#include "slots/MemoryFile.h"

namespace dz {

namespace {

// The table form comes with the CSV conversion of the slot records; each direction
// then replaces one of these two lines.
QString csvMissing(const QString& path)
{
    return QStringLiteral("%1: this build cannot read or write memory slots as CSV yet; use a .Mem file")
        .arg(QDir::toNativeSeparators(path));
}

}  // namespace

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
        case SlotFileFormat::Csv:
            return csvMissing(path);
    }
    return std::nullopt;
}

std::optional<QString> saveSlotFile(const QString& path, const SlotStream& store)
{
    switch (slotFileFormatOf(path).value_or(SlotFileFormat::Memory)) {
        case SlotFileFormat::Memory:
            return saveMemoryFile(path, store);
        case SlotFileFormat::Csv:
            return csvMissing(path);
    }
    return std::nullopt;
}

}  // namespace dz
