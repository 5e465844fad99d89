#include "slots/MemoryFile.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <unistd.h>
#include <cerrno>
#include <cstring>

#include <vector>

namespace dz {

namespace {

// Far beyond any memory file; choosing some huge file by mistake must not take all the memory there is.
constexpr qint64 kLargestFile = 64 * 1024 * 1024;

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString notLoaded(const QString& path, const QString& why)
{
    return QStringLiteral("Cannot load the memory file %1: %2\nThe memory slots were left as they were.")
        .arg(shown(path), why);
}

bool writeAll(QSaveFile& file, const char* data, qint64 size)
{
    for (qint64 done = 0; done < size;) {
        const qint64 n = file.write(data + done, size - done);
        if (n <= 0) {
            return false;
        }
        done += n;
    }
    return true;
}

}  // namespace

// The whole file, or why not.
std::optional<QString> readWhole(const QString& path, QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return file.errorString();
    }
    if (file.size() > kLargestFile) {
        return QStringLiteral("it is far too large for a memory file.");
    }
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return file.errorString();
    }
    return std::nullopt;
}

std::optional<QString> saveWhole(const QString& path, const char* data, qint64 size)
{
    QSaveFile file(path);
    QString why;
    // Unbuffered, so that a write the disk takes only in part is seen here and not lost in a
    // later flush; and synced, so that the file that takes the old one's place is whole.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        why = file.errorString();
    } else if (!writeAll(file, data, size)) {
        why = file.errorString();
    } else if (::fsync(file.handle()) != 0) {
        why = QString::fromLocal8Bit(std::strerror(errno));
    } else if (!file.commit()) {
        why = file.errorString();
    }
    if (!why.isEmpty()) {
        return QStringLiteral(
                   "Cannot save the memory file %1: %2\nAn earlier file of that name was left as it was; "
                   "choose another folder or name.")
            .arg(shown(path), why);
    }
    return std::nullopt;
}

std::optional<QString> loadMemoryFile(const QString& path, SlotStream& store)
{
    QByteArray bytes;
    if (const std::optional<QString> why = readWhole(path, bytes)) {
        return notLoaded(path, *why);
    }
    if (!SlotStream::completeFile(static_cast<std::size_t>(bytes.size()))) {
        return notLoaded(path, QStringLiteral("it holds %1 bytes, but the 63 memory slots need %2. Choose a memory "
                                              "file saved after a complete read.")
                                   .arg(bytes.size())
                                   .arg(slot::kStoreSize));
    }
    store.load(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    return std::nullopt;
}

std::optional<QString> saveMemoryFile(const QString& path, const SlotStream& store)
{
    return saveWhole(path, reinterpret_cast<const char*>(store.bytes().data()),
                     static_cast<qint64>(store.bytes().size()));
}

std::optional<QString> saveSlotsCsv(const QString& path, const SlotStream& store)
{
    const std::string text = slotsToCsv(store.bytes());
    return saveWhole(path, text.data(), static_cast<qint64>(text.size()));
}

std::optional<QString> readSlotsCsv(const QString& path, const SlotStream& base, std::vector<CsvSlot>& entries)
{
    QByteArray text;
    if (const std::optional<QString> why = readWhole(path, text)) {
        return notLoaded(path, *why);
    }
    CsvSlots read = csvToSlots(std::string_view(text.constData(), static_cast<std::size_t>(text.size())), base.bytes());
    if (read.error) {
        return notLoaded(path, QString::fromStdString(describe(*read.error)) + QLatin1Char('.'));
    }
    entries = std::move(read.entries);
    return std::nullopt;
}

}  // namespace dz
