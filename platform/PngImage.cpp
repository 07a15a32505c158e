#include "PngImage.h"

#include <QFile>
#include <png.h>

namespace PngImage {

namespace {

// Reads the header into Image; false (and nothing left to free) when it is no PNG or a size Decode refuses.
bool BeginRead(png_image& Image, const QByteArray& Data) {
    Image = png_image{};
    Image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&Image, Data.constData(), static_cast<size_t>(Data.size())))
        return false;
    if (Image.width == 0 || Image.height == 0 || Image.width > MaxSide || Image.height > MaxSide) {
        png_image_free(&Image);
        return false;
    }
    return true;
}

} // namespace

QSize HeaderSize(const QByteArray& Data) {
    png_image image;
    if (!BeginRead(image, Data)) return {};
    const QSize size(static_cast<int>(image.width), static_cast<int>(image.height));
    png_image_free(&image);
    return size;
}

QImage Decode(const QByteArray& Data) {
    png_image image;
    if (!BeginRead(image, Data)) return {};
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

QByteArray Read(const QString& FileName) {
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

QImage Load(const QString& FileName) {
    return Decode(Read(FileName));
}

} // namespace PngImage
