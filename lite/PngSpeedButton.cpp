#include "PngSpeedButton.h"

#include "PngImage.h"

#include <QApplication>
#include <QIcon>
#include <QIconEngine>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QStyleOptionToolButton>
#include <QStylePainter>

#include <array>
#include <utility>

namespace {

// The button's icon: its picture and the picture's disabled copy, at 1x and, from the drawing of twice the
// size, at 2x. Each pixmap is made when first asked for, and each drawing is decoded then: the hidden buttons
// and a screen of scale 1 pay for nothing they do not show.
class PictureIconEngine : public QIconEngine {
public:
    PictureIconEngine(const QImage& Image, const QByteArray& Data, const QSize& Size,
                      const QString& LargerFile, int Options)
        : FOptions(Options), FData(Image.isNull() ? Data : QByteArray()), FSize(Size),
          FLargerFile(LargerFile) {
        FScales[0].Image = Image;
    }

    QPixmap pixmap(const QSize& Size, QIcon::Mode Mode, QIcon::State) override {
        Scale& scale = FScales[WantsLarger(Size) ? 1 : 0];
        if (!FData.isEmpty() && &scale == &FScales[0])
            scale.Image = PngImage::Decode(std::exchange(FData, QByteArray()));
        QPixmap& pixmap = Mode == QIcon::Disabled ? scale.Disabled : scale.Normal;
        if (pixmap.isNull())
            pixmap = QPixmap::fromImage(Mode == QIcon::Disabled
                                            ? TPngSpeedButton::DisabledImage(scale.Image, FOptions)
                                            : scale.Image);
        // A smaller size gets a smooth reduction, as from Qt's own icons.
        if (pixmap.width() > Size.width() || pixmap.height() > Size.height())
            return pixmap.scaled(Size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        return pixmap;
    }

    QSize actualSize(const QSize& Size, QIcon::Mode, QIcon::State) override {
        const QSize own = WantsLarger(Size) ? FScales[1].Image.size() : FSize;
        return own.width() > Size.width() || own.height() > Size.height()
                   ? own.scaled(Size, Qt::KeepAspectRatio)
                   : own;
    }

    void paint(QPainter* Painter, const QRect& Rect, QIcon::Mode Mode, QIcon::State State) override {
        const qreal ratio = Painter->device() ? Painter->device()->devicePixelRatio() : 1;
        Painter->drawPixmap(Rect, pixmap(Rect.size() * ratio, Mode, State));
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        QList<QSize> sizes{FSize};
        if (HasLarger()) sizes.append(FScales[1].Image.size());
        return sizes;
    }

    QIconEngine* clone() const override { return new PictureIconEngine(*this); }
    bool isNull() override { return FSize.isEmpty(); }

private:
    struct Scale {
        QImage Image;
        QPixmap Normal;
        QPixmap Disabled;
    };

    bool WantsLarger(const QSize& Size) {
        return (Size.width() > FSize.width() || Size.height() > FSize.height()) && HasLarger();
    }

    // Decodes the larger drawing on first use; one that is not exactly twice the size counts as none.
    bool HasLarger() {
        if (!FLargerFile.isEmpty()) {
            const QImage image = PngImage::Load(std::exchange(FLargerFile, QString()));
            if (image.size() == 2 * FSize) FScales[1].Image = image.convertToFormat(QImage::Format_RGBA8888);
        }
        return !FScales[1].Image.isNull();
    }

    int FOptions;
    QByteArray FData; // the drawing's bytes until it is decoded
    QSize FSize;
    QString FLargerFile;
    std::array<Scale, 2> FScales;
};

} // namespace

TPngSpeedButton::TPngSpeedButton(QWidget* parent) : QToolButton(parent) {
    setAutoRaise(true); // flat: the frame shows only under the pointer and while pressed
    setFocusPolicy(Qt::NoFocus);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
}

bool TPngSpeedButton::LoadPng(const QString& FileName) {
    QByteArray data = PngImage::Read(FileName);
    FPngSize = PngImage::HeaderSize(data);
    FPngImage = QImage();
    FPngData = FPngSize.isEmpty() ? QByteArray() : std::move(data);
    // A drawing of twice the size beside it ("name@2x.png") serves screens with two device pixels per pixel.
    const qsizetype dot = FileName.lastIndexOf(u'.');
    FPngFile2x = FPngSize.isEmpty() ? QString()
                 : dot < 0          ? FileName + QStringLiteral("@2x")
                                    : FileName.left(dot) + QStringLiteral("@2x") + FileName.mid(dot);
    setIconSize(FPngSize.isEmpty() ? QSize() : FPngSize);
    UpdateIcon();
    return !FPngSize.isEmpty();
}

void TPngSpeedButton::SetPngImage(const QImage& Image) {
    FPngImage = Image.convertToFormat(QImage::Format_RGBA8888);
    FPngData.clear();
    FPngSize = FPngImage.size();
    FPngFile2x.clear();
    setIconSize(FPngImage.isNull() ? QSize() : FPngImage.size());
    UpdateIcon();
}

const QImage& TPngSpeedButton::PngImage() const {
    if (!FPngData.isEmpty())
        FPngImage =
            PngImage::Decode(std::exchange(FPngData, QByteArray())).convertToFormat(QImage::Format_RGBA8888);
    return FPngImage;
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
    setIcon(FPngSize.isEmpty()
                ? QIcon()
                : QIcon(new PictureIconEngine(FPngImage, FPngData, FPngSize, FPngFile2x, FPngOptions)));
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
