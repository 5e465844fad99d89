#include "slots/MemoryFile.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

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

}  // namespace

std::optional<QString> loadMemoryFile(const QString& path, SlotStream& store)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return notLoaded(path, file.errorString());
    }
    if (file.size() > kLargestFile) {
        return notLoaded(path, QStringLiteral("it is far too large for a memory file."));
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return notLoaded(path, file.errorString());
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
    QSaveFile file(path);
    const auto size = static_cast<qint64>(store.size());
    const bool saved = file.open(QIODevice::WriteOnly) &&
                       (size == 0 || file.write(reinterpret_cast<const char*>(store.bytes().data()), size) == size) &&
                       file.commit();
    if (!saved) {
        return QStringLiteral(
                   "Cannot save the memory file %1: %2\nAn earlier file of that name was left as it was; "
                   "choose another folder or name.")
            .arg(shown(path), file.errorString());
    }
    return std::nullopt;
}

}  // namespace dz
