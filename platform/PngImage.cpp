#include "PngImage.h"

#include <QFile>
#include <png.h>

namespace PngImage {

QImage Decode(const QByteArray& Data) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, Data.constData(), static_cast<size_t>(Data.size())))
        return {};
    if (image.width == 0 || image.height == 0 || image.width > MaxSide || image.height > MaxSide) {
        png_image_free(&image);
        return {};
    }
    image.format = PNG_FORMAT_RGBA; // byte order R, G, B, A: QImage's RGBA8888 on any machine
    QImage result(static_cast<int>(image.width), static_cast<int>(image.height), QImage::Format_RGBA8888);
    if (result.isNull()) {
        png_image_free(&image);
        return {};
    }
    // A damaged stream fails here, after the header was read; finish_read frees the decoder either way.
    if (!png_image_finish_read(&image, nullptr, result.bits(), static_cast<png_int_32>(result.bytesPerLine()),
                               nullptr))
        return {};
    return result;
}

QImage Load(const QString& FileName) {
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return Decode(file.readAll());
}

} // namespace PngImage
