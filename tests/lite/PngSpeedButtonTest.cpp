#include "LiteWindowFixture.h"
#include "PngImage.h"

#include <QFile>
#include <QIcon>
#include <QPixmap>
#include <QTemporaryDir>

TEST(PngSpeedButtonLook, ADisabledPictureIsGreyAndHalfTransparent) {
    QImage picture(2, 1, QImage::Format_RGBA8888);
    picture.setPixelColor(0, 0, QColor(200, 100, 50, 255));
    picture.setPixelColor(1, 0, QColor(0, 0, 255, 10));
    const QImage disabled = TPngSpeedButton::DisabledImage(
        picture, TPngSpeedButton::pngBlendOnDisabled | TPngSpeedButton::pngGrayscaleOnDisabled);
    // 0.30 * 200 + 0.59 * 100 + 0.11 * 50 = 124.5; alpha 255 * 128 / 256 = 127.
    EXPECT_EQ(disabled.pixelColor(0, 0), QColor(124, 124, 124, 127));
    EXPECT_EQ(disabled.pixelColor(1, 0), QColor(28, 28, 28, 5));
    EXPECT_EQ(TPngSpeedButton::DisabledImage(picture, TPngSpeedButton::pngBlendOnDisabled).pixelColor(0, 0),
              QColor(200, 100, 50, 127));
}

TEST(PngSpeedButtonLook, AnUnreadablePictureLeavesTheButtonWithout) {
    TPngSpeedButton button;
    EXPECT_FALSE(button.LoadPng(":/buttons/missing.png"));
    EXPECT_TRUE(button.PngImage().isNull());
    EXPECT_TRUE(button.icon().isNull());
}

// The picture is decoded when first drawn: a file whose damage lies past its header is taken, and the
// button then draws without a picture instead of failing.
TEST(PngSpeedButtonLook, APictureDamagedPastItsHeaderLeavesTheButtonBlank) {
    QTemporaryDir dir;
    const QString name = dir.filePath("damaged.png");
    const QByteArray good = PngImage::Read(QStringLiteral(":/buttons/turn.png"));
    ASSERT_FALSE(good.isEmpty());
    {
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(good.left(good.size() / 2));
    }
    TPngSpeedButton button;
    EXPECT_TRUE(button.LoadPng(name));
    EXPECT_EQ(button.iconSize(), QSize(24, 24));
    button.resize(32, 32);
    const QImage drawn = button.grab().toImage();
    EXPECT_EQ(drawn.size(), QSize(32, 32));
    EXPECT_TRUE(button.icon().pixmap(QSize(24, 24)).isNull());
    EXPECT_TRUE(button.PngImage().isNull());
}

using LitePictureButtons = LiteWindow;

// The hints name each button and its keys; the row of six fills the width of the log above it.
TEST_F(LitePictureButtons, EveryButtonHasItsPictureAndAHintWithItsKeys) {
    const struct {
        const char* Name;
        const char* Hint;
    } buttons[] = {{"PngSpeedButton1", "Отмена хода (Ctrl+Z)"},
                   {"PngSpeedButton2", "Повтор хода (Ctrl+Y, Ctrl+Shift+Z)"},
                   {"PngSpeedButton6", "Снимок игры (Ctrl+P, F12)"},
                   {"PngSpeedButton3", "Перевернуть доску (Ctrl+R)"},
                   {"PngSpeedButton4", "Сохранить игру (Ctrl+S)"},
                   {"NewGameButton", "Новая игра (Ctrl+N)"}};
    int left = Log().x();
    for (const auto& b : buttons) {
        EXPECT_EQ(Button(b.Name).PngImage().size(), QSize(24, 24)) << b.Name;
        EXPECT_EQ(Button(b.Name).toolTip(), QString::fromUtf8(b.Hint));
        EXPECT_TRUE(Button(b.Name).PngImage().hasAlphaChannel());
        const QRect place = Button(b.Name).geometry();
        EXPECT_EQ(place.top(), 340) << b.Name;
        EXPECT_GE(place.left(), left) << b.Name << " overlaps the one before";
        EXPECT_GE(place.width(), 24 + 2) << b.Name;
        left = place.right() + 1;
        // The drawing of twice the size for screens of scale 2, not an enlarged copy.
        EXPECT_TRUE(Button(b.Name).icon().availableSizes().contains(QSize(48, 48))) << b.Name;
    }
    EXPECT_EQ(left, Log().geometry().right() + 1);
    EXPECT_TRUE(Button("PngSpeedButton5").icon().availableSizes().contains(QSize(32, 32)));
    EXPECT_EQ(Button("PngSpeedButton5").PngImage().size(), QSize(16, 16));
    EXPECT_EQ(Button("PngSpeedButton5").text(), "Открыть");
    EXPECT_EQ(Button("PngSpeedButton5").toolTip(), "Открыть (Ctrl+O)");
}

// The icon makes each look when first asked for it: the 24-pixel drawing or the one of twice the size,
// as it is or greyed, and a smooth reduction below the smaller one.
TEST_F(LitePictureButtons, EachScaleAndLookComesFromItsOwnDrawing) {
    const QIcon icon = Button("PngSpeedButton3").icon();
    const QImage small = PngImage::Load(QStringLiteral(":/buttons/turn.png"));
    const QImage large = PngImage::Load(QStringLiteral(":/buttons/turn@2x.png"));
    ASSERT_EQ(large.size(), QSize(48, 48));
    const int options = Button("PngSpeedButton3").PngOptions();
    // As a pixmap shows it: premultiplied on the way in.
    const auto shown = [](const QImage& Image) {
        return QPixmap::fromImage(Image.convertToFormat(QImage::Format_RGBA8888))
            .toImage()
            .convertToFormat(QImage::Format_RGBA8888);
    };
    const struct {
        qreal Ratio;
        QIcon::Mode Mode;
        QImage Expected;
    } looks[] = {{1, QIcon::Normal, shown(small)},
                 {1, QIcon::Disabled, shown(TPngSpeedButton::DisabledImage(small, options))},
                 {2, QIcon::Normal, shown(large)},
                 {2, QIcon::Disabled, shown(TPngSpeedButton::DisabledImage(large, options))}};
    for (const auto& look : looks) {
        const QPixmap pixmap = icon.pixmap(QSize(24, 24), look.Ratio, look.Mode);
        EXPECT_EQ(pixmap.toImage().convertToFormat(QImage::Format_RGBA8888), look.Expected)
            << look.Ratio << " " << look.Mode;
    }
    EXPECT_EQ(icon.pixmap(QSize(12, 12)).size(), QSize(12, 12));
    EXPECT_EQ(icon.actualSize(QSize(12, 12)), QSize(12, 12));
}
