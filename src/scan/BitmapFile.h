#pragma once
// Writes a picture as an uncompressed 24-bit BMP file, whole or not at all.

#include <QImage>
#include <QString>

#include <optional>

namespace dz {

// Nothing on success; otherwise the message for the user. A file of that name
// that existed before is then left as it was.
std::optional<QString> saveBitmapFile(const QString& path, const QImage& picture);

}  // namespace dz
