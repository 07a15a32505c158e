// LazyImage: an image named by its file or resource and decoded the first time it is asked for, so that
// a drawing no screen needs (the larger piece sets on a screen of scale 1, the built-in set under a
// custom one) costs neither the start's time nor memory.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QString>

class LazyImage {
public:
    LazyImage() = default;
    explicit LazyImage(const QImage& Image) : FImage(Image) {}
    // The format is named: detecting it would load every image plug-in (and what they link) to ask them.
    LazyImage(const QString& FileName, const char* Format)
        : FFileName(FileName), FFormat(Format), FDecoded(false) {}

    // A null image when the file cannot be read.
    const QImage& Get() const {
        if (!FDecoded) {
            FDecoded = true;
            QImageReader reader(FFileName, FFormat);
            reader.setAutoDetectImageFormat(false);
            FImage = reader.read();
        }
        return FImage;
    }

private:
    QString FFileName;
    QByteArray FFormat;
    mutable QImage FImage;
    mutable bool FDecoded = true;
};
