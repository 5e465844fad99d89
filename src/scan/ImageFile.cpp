#include "scan/ImageFile.h"

#include <QBuffer>
#include <QDir>
#include <QImageWriter>
#include <QSaveFile>

#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace dz {

std::optional<ImageFormat> imageFormatOf(const QString& path)
{
    const QString name = path.section(QLatin1Char('/'), -1);
    if (name.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive)) {
        return ImageFormat::Bmp;
    }
    if (name.endsWith(QLatin1String(".png"), Qt::CaseInsensitive)) {
        return ImageFormat::Png;
    }
    return std::nullopt;
}

std::optional<QString> saveImageFile(const QString& path, const QImage& picture, ImageFormat format)
{
    // Encoded in memory first: the writer's own errors then never leave half a file behind.
    QByteArray encoded;
    {
        QBuffer buffer(&encoded);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, format == ImageFormat::Png ? "PNG" : "BMP");
        if (!writer.write(picture.convertToFormat(QImage::Format_RGB888))) {
            return QStringLiteral("Cannot save the picture %1: %2")
                .arg(QDir::toNativeSeparators(path), writer.errorString());
        }
    }
    QSaveFile file(path);
    QString why;
    // Unbuffered and synced, so that a short write is seen here and the new file is whole
    // before it takes the old one's place.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        why = file.errorString();
    } else {
        for (qint64 done = 0; done < encoded.size() && why.isEmpty();) {
            const qint64 n = file.write(encoded.constData() + done, encoded.size() - done);
            if (n <= 0) {
                why = file.errorString();
            }
            done += n;
        }
        if (why.isEmpty() && ::fsync(file.handle()) != 0) {
            why = QString::fromLocal8Bit(std::strerror(errno));
        }
        if (why.isEmpty() && !file.commit()) {
            why = file.errorString();
        }
    }
    if (!why.isEmpty()) {
        return QStringLiteral(
                   "Cannot save the picture %1: %2\nAn earlier file of that name was left as it was; choose "
                   "another folder or name.")
            .arg(QDir::toNativeSeparators(path), why);
    }
    return std::nullopt;
}

}  // namespace dz
