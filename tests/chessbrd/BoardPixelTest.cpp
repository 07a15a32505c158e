// Pixel tests: at scale 1 the board draws exactly the reference pictures under data/, which were taken
// before the board learnt to draw at other scales; at scale 2 and 3 the pieces are drawn from sources of
// that size, not enlarged from the 1x pictures.
#include "ChessBrd.h"

#include <QDir>
#include <QImage>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

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

namespace {

QImage RenderAt(qreal ratio, const std::function<void(TChessBrd&)>& setUp = {}) {
    TChessBrd b;
    b.SetAnimateMoves(false);
    if (setUp) setUp(b);
    b.SetDevicePixelRatioOverride(ratio);
    b.Paint();
    return b.Canvas().convertToFormat(QImage::Format_RGB32);
}

// Blocks of k x k device pixels, aligned to the board's pixels, that are not one colour. An enlarged 1x
// picture (nearest neighbour) has none.
int MixedBlocks(const QImage& img, const QRect& area, int k) {
    int mixed = 0;
    for (int y = area.top(); y + k <= area.bottom() + 1; y += k)
        for (int x = area.left(); x + k <= area.right() + 1; x += k) {
            const QRgb first = img.pixel(x, y);
            bool same = true;
            for (int dy = 0; dy < k && same; ++dy)
                for (int dx = 0; dx < k && same; ++dx) same = img.pixel(x + dx, y + dy) == first;
            if (!same) ++mixed;
        }
    return mixed;
}

} // namespace

TEST(BoardPixels, AtScaleTwoAndThreeThePiecesAreDrawnAtThatScaleNotEnlarged) {
    for (int k : {2, 3}) {
        SCOPED_TRACE(k);
        const QImage img = RenderAt(k);
        ASSERT_EQ(img.size(), QSize(368 * k, 368 * k));
        // The white king on e1, the square at (184, 304) in board pixels.
        const QRect e1(184 * k, 304 * k, 40 * k, 40 * k);
        EXPECT_GT(MixedBlocks(img, e1, k), 40) << "edges finer than a board pixel";
        // The squares themselves stay whole blocks: e.g. the empty e4.
        EXPECT_EQ(MixedBlocks(img, QRect(184 * k, 184 * k, 40 * k, 40 * k), k), 0);
    }
}

TEST(BoardPixels, AtEveryScaleTheRowsAndColumnsOfSquaresAreEqual) {
    for (qreal ratio : {1.0, 1.25, 1.5, 2.0, 3.0}) {
        SCOPED_TRACE(ratio);
        const QImage img =
            RenderAt(ratio, [](TChessBrd& b) { b.SetPositionString(QString(64, QChar(u' '))); });
        const int side = qRound(368 * ratio), square = qRound(40 * ratio), border = qRound(24 * ratio);
        ASSERT_EQ(img.size(), QSize(side, side));
        // Down the a-file and along the 8th rank the colour changes exactly every square.
        const int mid = border + square / 2;
        for (bool down : {true, false}) {
            std::vector<int> runs{1};
            auto at = [&](int i) { return down ? img.pixel(mid, border + i) : img.pixel(border + i, mid); };
            for (int i = 1; i < 8 * square; ++i) {
                if (at(i) == at(i - 1))
                    ++runs.back();
                else
                    runs.push_back(1);
            }
            EXPECT_EQ(runs, std::vector<int>(8, square)) << (down ? "rows" : "columns");
        }
    }
}

TEST(BoardPixels, AHostsPieceSetUsesItsLargerDrawingOrIsScaledSmoothly) {
    // A set whose pieces are one flat colour, and a 2x drawing of it in another colour.
    auto blockSet = [](int c, QColor colour) {
        QImage set(6 * c, 4 * c, QImage::Format_RGB32);
        set.fill(Qt::white);
        for (int i = 0; i < 2; ++i)
            for (int j = 0; j < 6; ++j)
                for (int y = c / 4; y < 3 * c / 4; ++y)
                    for (int x = c / 4; x < 3 * c / 4; ++x) {
                        set.setPixelColor(j * c + x, 2 * i * c + y, colour);
                        set.setPixelColor(j * c + x, (2 * i + 1) * c + y, Qt::black);
                    }
        return set;
    };
    const QColor small(200, 30, 30), large(30, 30, 200);
    const QRect e1Centre(2 * 204 - 2, 2 * 324 - 2, 4, 4);
    auto centreColour = [&](const QImage& img) { return img.pixelColor(e1Centre.center()); };

    TChessBrd b;
    b.SetCustomPieceSet(blockSet(40, small));
    b.SetCustomPieceSet2x(blockSet(60, large)); // not twice the cell: refused
    EXPECT_TRUE(b.GetCustomPieceSet2x().isNull());
    b.SetDevicePixelRatioOverride(2);
    b.Paint();
    EXPECT_EQ(centreColour(b.Canvas()), small) << "no larger drawing: the given set, scaled";

    b.SetCustomPieceSet2x(blockSet(80, large));
    b.Paint();
    EXPECT_EQ(centreColour(b.Canvas()), large);

    b.SetCustomPieceSet(blockSet(40, small)); // a new set lets go of the old one's drawings
    EXPECT_TRUE(b.GetCustomPieceSet2x().isNull());
}
