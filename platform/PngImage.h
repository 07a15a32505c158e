// Decoding of PNG pictures with alpha (the picture buttons' glyphs) through libpng's simplified API.
#pragma once
#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

namespace PngImage {
// Pictures larger than this in either direction are refused rather than allocated.
constexpr int MaxSide = 4096;

// The picture as straight (not premultiplied) RGBA; a null image when the data is not a whole, valid PNG.
QImage Decode(const QByteArray& Data);
// The size the PNG's header declares, read without decoding the picture; an empty size where Decode would
// refuse the header. Damage past the header shows only when the picture is decoded.
QSize HeaderSize(const QByteArray& Data);
// The bytes of the file or resource (":/..."); empty when it cannot be read.
QByteArray Read(const QString& FileName);
// Reads the file or resource and decodes it; a null image on any failure.
QImage Load(const QString& FileName);
} // namespace PngImage
