#include "PngSpeedButton.h"

#include "PngImage.h"

#include <QApplication>
#include <QIcon>
#include <QMouseEvent>
#include <QPixmap>
#include <QStyleOptionToolButton>
#include <QStylePainter>

TPngSpeedButton::TPngSpeedButton(QWidget* parent) : QToolButton(parent) {
    setAutoRaise(true); // flat: the frame shows only under the pointer and while pressed
    setFocusPolicy(Qt::NoFocus);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
}

bool TPngSpeedButton::LoadPng(const QString& FileName) {
    SetPngImage(PngImage::Load(FileName));
    // A drawing of twice the size beside it ("name@2x.png") serves screens with two device pixels per pixel.
    if (!FPngImage.isNull()) {
        const qsizetype dot = FileName.lastIndexOf(u'.');
        const QString larger = dot < 0 ? FileName + QStringLiteral("@2x")
                                       : FileName.left(dot) + QStringLiteral("@2x") + FileName.mid(dot);
        const QImage image = PngImage::Load(larger);
        if (image.size() == 2 * FPngImage.size()) {
            FPngImage2x = image.convertToFormat(QImage::Format_RGBA8888);
            UpdateIcon();
        }
    }
    return !FPngImage.isNull();
}

void TPngSpeedButton::SetPngImage(const QImage& Image) {
    FPngImage = Image.convertToFormat(QImage::Format_RGBA8888);
    FPngImage2x = QImage();
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
    // The icon hands out whichever size fits the screen's device pixel ratio.
    for (const QImage* image : {&FPngImage, &FPngImage2x}) {
        if (image->isNull()) continue;
        icon.addPixmap(QPixmap::fromImage(*image), QIcon::Normal);
        icon.addPixmap(QPixmap::fromImage(*image), QIcon::Active);
        icon.addPixmap(QPixmap::fromImage(DisabledImage(*image, FPngOptions)), QIcon::Disabled);
    }
    setIcon(icon);
}

void TPngSpeedButton::mousePressEvent(QMouseEvent* e) {
    FLastPress.start();
    QToolButton::mousePressEvent(e);
}

void TPngSpeedButton::mouseDoubleClickEvent(QMouseEvent* e) {
    if (!FLastPress.isValid() || FLastPress.elapsed() > QApplication::doubleClickInterval()) {
        e->ignore();
        return;
    }
    QToolButton::mouseDoubleClickEvent(e);
}

void TPngSpeedButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionToolButton option;
    initStyleOption(&option);
    // The style draws the flat button alone; picture and caption are placed as a speed button places its
    // glyph: both centred together, 4 pixels apart, shifted by a pixel while the button is down.
    const QString caption = option.text;
    option.text.clear();
    option.icon = QIcon();
    painter.drawComplexControl(QStyle::CC_ToolButton, option);

    const QPixmap picture = icon().pixmap(iconSize(), isEnabled() ? QIcon::Normal : QIcon::Disabled);
    const int spacing = caption.isEmpty() || picture.isNull() ? 0 : 4;
    const int textWidth = caption.isEmpty() ? 0 : fontMetrics().horizontalAdvance(caption);
    const int pictureWidth = picture.isNull() ? 0 : iconSize().width();
    const QPoint down = isDown() || isChecked() ? QPoint(1, 1) : QPoint();
    int x = (width() - pictureWidth - spacing - textWidth) / 2 + down.x();
    if (!picture.isNull()) {
        painter.drawPixmap(x, (height() - iconSize().height()) / 2 + down.y(), picture);
        x += pictureWidth + spacing;
    }
    if (!caption.isEmpty())
        painter.drawItemText(QRect(x, down.y(), textWidth, height()), Qt::AlignLeft | Qt::AlignVCenter,
                             palette(), isEnabled(), caption, QPalette::ButtonText);
}
