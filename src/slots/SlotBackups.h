#pragma once
// The receiver's slots as they were before a write or a clear changed them, kept as
// memory files in the user's data folder: backups/slots-YYYYMMDD-HHMMSS.Mem, the
// newest twenty.

#include <QDateTime>
#include <QString>

#include "slots/SlotStream.h"

namespace dz {

class SlotBackups {
public:
    static constexpr int kKept = 20;

    // dizuro-link/backups under the user's data folder (~/.local/share on Linux).
    static QString defaultFolder();

    explicit SlotBackups(QString folder = defaultFolder()) : m_folder(std::move(folder)) {}
    const QString& folder() const { return m_folder; }

    struct Saved {
        QString path;   // the file written
        QString error;  // or why none was
    };
    // Writes the file atomically, then removes the oldest beyond the newest twenty.
    Saved save(const SlotStream& records, const QDateTime& at = QDateTime::currentDateTime()) const;

private:
    QString m_folder;
};

}  // namespace dz
