#include "slots/SlotBackups.h"

#include <QDir>
#include <QStandardPaths>

#include "slots/MemoryFile.h"

namespace dz {

QString SlotBackups::defaultFolder()
{
    // The program's data folder, named here rather than by the application: the window
    // and the command line keep their backups in one place.
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("dizuro-link/backups"));
}

SlotBackups::Saved SlotBackups::save(const SlotStream& records, const QDateTime& at) const
{
    QDir dir(m_folder);
    if (!dir.mkpath(QStringLiteral("."))) {
        return {QString(), QStringLiteral("The folder %1 cannot be made.").arg(QDir::toNativeSeparators(m_folder))};
    }
    const QString stem = QStringLiteral("slots-") + at.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = stem + QStringLiteral(".Mem");
    // Two in one second: the second one gets a number, and sorts after the first.
    for (int n = 2; dir.exists(name); ++n) {
        name = stem + QStringLiteral("-%1.Mem").arg(n, 2, 10, QLatin1Char('0'));
    }
    const QString path = dir.filePath(name);
    if (const std::optional<QString> error = saveMemoryFile(path, records)) {
        return {QString(), *error};
    }
    const QStringList kept = dir.entryList({QStringLiteral("slots-*.Mem")}, QDir::Files, QDir::Name | QDir::Reversed);
    for (int i = kKept; i < kept.size(); ++i) {
        dir.remove(kept.at(i));
    }
    return {path, QString()};
}

}  // namespace dz
