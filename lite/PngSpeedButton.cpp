#include "PngSpeedButton.h"

#include "PngImage.h"

#include <QIcon>
#include <QPixmap>

TPngSpeedButton::TPngSpeedButton(QWidget* parent) : QToolButton(parent) {
    setAutoRaise(true); // flat: the frame shows only under the pointer and while pressed
    setFocusPolicy(Qt::NoFocus);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
}

bool TPngSpeedButton::LoadPng(const QString& FileName) {
    SetPngImage(PngImage::Load(FileName));
    return !FPngImage.isNull();
}

void TPngSpeedButton::SetPngImage(const QImage& Image) {
    FPngImage = Image.convertToFormat(QImage::Format_RGBA8888);
    setIconSize(FPngImage.isNull() ? QSize() : FPngImage.size());
    UpdateIcon();
}

void TPngSpeedButton::SetPngOptions(int Options) {
    FPngOptions = Options;
    UpdateIcon();
}

QImage TPngSpeedButton::DisabledImage(const QImage& Image, int Options) {
    QImage result = Image.convertToFormat(QImage::Format_RGBA8888);
    for (int y = 0; y < result.height(); ++y) {
        uchar* p = result.scanLine(y);
        for (int x = 0; x < result.width(); ++x, p += 4) {
            if (Options & pngGrayscaleOnDisabled) {
                const auto grey = static_cast<uchar>((p[0] * 30 + p[1] * 59 + p[2] * 11) / 100);
                p[0] = p[1] = p[2] = grey;
            }
            if (Options & pngBlendOnDisabled) p[3] = static_cast<uchar>(p[3] * 128 / 256);
        }
    }
    return result;
}

void TPngSpeedButton::UpdateIcon() {
    if (FPngImage.isNull()) {
        setIcon(QIcon());
        return;
    }
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(FPngImage), QIcon::Normal);
    icon.addPixmap(QPixmap::fromImage(FPngImage), QIcon::Active);
    icon.addPixmap(QPixmap::fromImage(DisabledImage(FPngImage, FPngOptions)), QIcon::Disabled);
    setIcon(icon);
}
