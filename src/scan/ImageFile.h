#pragma once
// Writes a picture as an uncompressed 24-bit BMP file or as a PNG file, whole or
// not at all. The window and the command line save their scans through it.

#include <QImage>
#include <QString>

#include <optional>

namespace dz {

enum class ImageFormat { Bmp, Png };

// The format a file name asks for by its extension, in any case; nothing for another one.
std::optional<ImageFormat> imageFormatOf(const QString& path);

// Nothing on success; otherwise the message for the user. A file of that name
// that existed before is then left as it was.
std::optional<QString> saveImageFile(const QString& path, const QImage& picture, ImageFormat format);

}  // namespace dz
