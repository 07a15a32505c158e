// Pixel tests: at scale 1 the board draws exactly the reference pictures under data/, which were taken
// before the board learnt to draw at other scales; at scale 2 and 3 the pieces are drawn from sources of
// that size, not enlarged from the 1x pictures.
#include "ChessBrd.h"

#include <QDir>
#include <QImage>

#include <gtest/gtest.h>

#include <functional>

namespace {

QString DataPath(const QString& name) {
    return QDir(QStringLiteral(GAMBITRON_TEST_DATA)).filePath(name);
}

// The main windows' settings as the forms store them, without the host library.
void WindowLook(TChessBrd& b) {
    b.SetBorderColor(Qt::white);
    b.SetSquareColorDark(QColor(0xC0, 0xC0, 0xC0));
    b.SetSquareColorLight(Qt::white);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    b.SetCoordFont(font);
    b.SetCoordFontColor(Qt::black);
    b.SetDisplayCoords(CoordSet::All());
}

struct Scene {
    const char* Name;
    std::function<void(TChessBrd&)> SetUp;
};

const Scene Scenes[] = {
    {"default", [](TChessBrd&) {}},
    {"window-look-middle-game",
     [](TChessBrd& b) {
         WindowLook(b);
         for (auto [from, to] : {std::pair{E2, E4}, {E7, E5}, {G1, F3}, {B8, C6}, {F1, C4}, {G8, F6}})
             b.MakeMove(from, to);
     }},
    {"turned-with-lines",
     [](TChessBrd& b) {
         WindowLook(b);
         b.SetBoardLines(true);
         b.SetWhiteOnTop(true);
         b.MakeMove(D2, D4);
     }},
    {"window-pieces",
     [](TChessBrd& b) {
         WindowLook(b);
         b.SetCustomPieceSet(QImage(QStringLiteral(GAMBITRON_RESOURCES "/MainPieces.bmp")));
         b.MakeMove(E2, E4);
     }},
};

QImage Render(const Scene& scene) {
    TChessBrd b;
    b.SetAnimateMoves(false);
    b.Paint();
    scene.SetUp(b);
    b.Paint();
    return b.Canvas().convertToFormat(QImage::Format_RGB32);
}

} // namespace

TEST(BoardPixels, AtScaleOneTheBoardDrawsTheReferencePictures) {
    const bool write = qEnvironmentVariableIsSet("GAMBITRON_WRITE_REFERENCE");
    for (const Scene& scene : Scenes) {
        SCOPED_TRACE(scene.Name);
        const QImage drawn = Render(scene);
        const QString file = DataPath(QStringLiteral("board-%1.png").arg(QLatin1String(scene.Name)));
        if (write) {
            ASSERT_TRUE(drawn.save(file));
            continue;
        }
        const QImage reference = QImage(file).convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(reference.isNull()) << file.toStdString();
        ASSERT_EQ(drawn.size(), reference.size());
        int differing = 0;
        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x)
                if (drawn.pixel(x, y) != reference.pixel(x, y)) ++differing;
        EXPECT_EQ(differing, 0);
    }
}
