#include "PngImage.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A small picture with every kind of pixel the buttons use: opaque, half transparent and clear.
QImage Sample() {
    QImage image(5, 3, QImage::Format_RGBA8888);
    image.fill(Qt::transparent);
    image.setPixelColor(0, 0, QColor(255, 0, 0, 255));
    image.setPixelColor(4, 0, QColor(0, 128, 255, 128));
    image.setPixelColor(2, 2, QColor(10, 20, 30, 1));
    return image;
}

QByteArray Encode(const QImage& Image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    Image.save(&buffer, "PNG");
    return bytes;
}

// The PNG chunk checksum, so that a test can change a header and keep it valid.
quint32 Crc32(const QByteArray& Bytes) {
    quint32 crc = 0xFFFFFFFFu;
    for (char c : Bytes) {
        crc ^= static_cast<quint8>(c);
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

} // namespace

TEST(PngImageDecoding, PixelsAndAlphaComeBackUnchanged) {
    const QImage decoded = PngImage::Decode(Encode(Sample()));
    ASSERT_FALSE(decoded.isNull());
    ASSERT_EQ(decoded.size(), QSize(5, 3));
    EXPECT_EQ(PngImage::HeaderSize(Encode(Sample())), QSize(5, 3));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(decoded.pixelColor(x, y), Sample().pixelColor(x, y)) << x << "," << y;
}

TEST(PngImageDecoding, PicturesWithoutAlphaBecomeOpaque) {
    QImage rgb(2, 2, QImage::Format_RGB888);
    rgb.fill(QColor(1, 2, 3));
    const QImage decoded = PngImage::Decode(Encode(rgb));
    ASSERT_FALSE(decoded.isNull());
    EXPECT_EQ(decoded.pixelColor(1, 1), QColor(1, 2, 3, 255));
}

TEST(PngImageDecoding, DamagedDataGivesANullImage) {
    const QByteArray good = Encode(Sample());
    EXPECT_TRUE(PngImage::Decode(QByteArray()).isNull());
    EXPECT_TRUE(PngImage::Decode("not a picture at all").isNull());
    EXPECT_TRUE(PngImage::Decode(good.left(good.size() / 2)).isNull());
    // Cut inside the picture's data, after the header: its size reads, and the damage shows only in the
    // decoding.
    const QByteArray cut = good.left(good.size() - 20);
    EXPECT_EQ(PngImage::HeaderSize(cut), QSize(5, 3));
    EXPECT_TRUE(PngImage::Decode(cut).isNull());
    EXPECT_TRUE(PngImage::HeaderSize(QByteArray()).isEmpty());
    EXPECT_TRUE(PngImage::HeaderSize("not a picture at all").isEmpty());
    QByteArray corrupt = good;
    for (qsizetype i = 40; i < corrupt.size() - 12; ++i) corrupt[i] = static_cast<char>(corrupt[i] ^ 0x5A);
    EXPECT_TRUE(PngImage::Decode(corrupt).isNull());
}

TEST(PngImageDecoding, HugeDeclaredSizesAreRefusedBeforeAllocating) {
    QByteArray bytes = Encode(Sample());
    // The header chunk's width (bytes 16..19, big-endian) becomes 100000, with its checksum made right.
    bytes[16] = 0, bytes[17] = 0x01, bytes[18] = static_cast<char>(0x86), bytes[19] = static_cast<char>(0xA0);
    const quint32 crc = Crc32(bytes.mid(12, 17));
    for (int i = 0; i < 4; ++i) bytes[29 + i] = static_cast<char>(crc >> (24 - 8 * i));
    EXPECT_TRUE(PngImage::Decode(bytes).isNull());
    EXPECT_TRUE(PngImage::HeaderSize(bytes).isEmpty());
}

TEST(PngImageLoading, FilesAreReadAndMissingOnesGiveANullImage) {
    QTemporaryDir dir;
    const QString name = dir.filePath("glyph.png");
    ASSERT_TRUE(Sample().save(name, "PNG"));
    EXPECT_EQ(PngImage::Load(name).size(), QSize(5, 3));
    EXPECT_TRUE(PngImage::Load(dir.filePath("missing.png")).isNull());
}
