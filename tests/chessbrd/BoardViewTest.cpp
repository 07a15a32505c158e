// Board view tests: properties and the piece set, the size rule, and what the canvas shows.
#include "ChessBrd.h"

#include <QMetaProperty>
#include <QPainter>

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace {

const QString EmptyBoard(64, QLatin1Char(' '));
const QColor Gray(0x80, 0x80, 0x80);
const QColor Silver(0xC0, 0xC0, 0xC0);

// A piece set whose every piece is a block of its own colour, surrounded by a margin the mask leaves
// transparent; the colour image is magenta there, which must never reach the board.
QColor PieceColour(int colour, int kind) {
    return QColor(20 + 40 * kind, colour == 0 ? 220 : 60, 90);
}

QImage BlockPieceSet(int c) {
    QImage set(6 * c, 4 * c, QImage::Format_RGB32);
    set.fill(Qt::white);
    const int m = c / 8;
    QPainter p(&set);
    for (int i = 0; i < 2; ++i) {
        for (int j = 0; j < 6; ++j) {
            p.fillRect(j * c, 2 * i * c, c, c, Qt::magenta);
            p.fillRect(j * c + m, 2 * i * c + m, c - 2 * m, c - 2 * m, PieceColour(i, j));
            p.fillRect(j * c + m, (2 * i + 1) * c + m, c - 2 * m, c - 2 * m, Qt::black);
        }
    }
    return set;
}

QColor At(TChessBrd& b, int x, int y) {
    return QColor(b.Canvas().pixel(x, y));
}

QColor SquarePixel(TChessBrd& b, Square q, int dx, int dy) {
    int x, y;
    b.SquareToXY(q, x, y);
    return At(b, x + dx, y + dy);
}

bool HasColour(TChessBrd& b, const QRect& area, const QColor& colour) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (At(b, x, y) == colour) return true;
    return false;
}

QImage Block(TChessBrd& b, const QRect& area) {
    return b.Canvas().copy(area);
}

// The settings both main windows store.
void MainWindowSettings(TChessBrd& b) {
    b.SetBorderColor(Qt::white);
    b.SetSquareColorDark(Silver);
    b.SetSquareColorLight(Qt::white);
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    b.SetCoordFont(font);
    b.SetCoordFontColor(Qt::black);
}

} // namespace

TEST(BoardProperties, FreshBoardHasItsDefaults) {
    TChessBrd b;
    EXPECT_EQ(b.width(), 368);
    EXPECT_EQ(b.height(), 368);
    EXPECT_EQ(b.GetSizeOfSquare(), 40);
    EXPECT_EQ(b.GetSizeOfBorder(), 24);
    EXPECT_EQ(b.GetPieceSize(), 40);
    EXPECT_EQ(b.GetBorderColor(), QColor(Qt::black));
    EXPECT_EQ(b.GetSquareColorDark(), Gray);
    EXPECT_EQ(b.GetSquareColorLight(), Silver);
    EXPECT_EQ(b.GetCoordFont().family(), QStringLiteral("Arial"));
    EXPECT_EQ(b.GetCoordFont().pointSize(), 7);
    EXPECT_EQ(b.GetCoordFontColor(), QColor(Qt::white));
    EXPECT_EQ(b.GetDisplayCoords(), CoordSet{});
    EXPECT_FALSE(b.GetBoardLines());
    EXPECT_TRUE(b.GetAnimateMoves());
    EXPECT_EQ(b.GetAnimationDelay(), 0);
    EXPECT_EQ(b.GetPositionString().left(8), QStringLiteral("rnbqkbnr"));
}

TEST(BoardProperties, ResizeLimitsStayOrderedAndIgnoredPropertiesStayPut) {
    TChessBrd b;
    b.SetResizeMinSize(2000);
    EXPECT_EQ(b.GetResizeMinSize(), 1000);
    b.SetResizeMinSize(100);
    b.SetResizeMaxSize(50);
    EXPECT_EQ(b.GetResizeMaxSize(), 100);
    b.setProperty("Version", QStringLiteral("9.9"));
    EXPECT_TRUE(b.property("Version").toString().isEmpty());
}

TEST(BoardProperties, WritingTheSquareOrBorderSizeSetsOnlyTheWidth) {
    TChessBrd b;
    b.SetSizeOfSquare(50);
    EXPECT_EQ(b.width(), 448);
    EXPECT_EQ(b.height(), 368);
    b.Paint();
    EXPECT_EQ(b.GetSizeOfSquare(), 45);
    EXPECT_EQ(b.width(), 408);
    EXPECT_EQ(b.height(), 408);
    b.SetSizeOfBorder(10);
    EXPECT_EQ(b.width(), 8 * 45 + 20);
    EXPECT_EQ(b.height(), 408);
}

TEST(BoardProperties, EveryPublishedPropertyCanBeSetByNameInLoadingOrder) {
    const QMetaObject& mo = TChessBrd::staticMetaObject;
    QStringList names;
    for (int i = mo.propertyOffset(); i < mo.propertyCount(); ++i) names << QString(mo.property(i).name());
    names.removeAll(QStringLiteral("CoordFontColor")); // ours: a QFont has no colour
    const QStringList published = {
        "AnimateMoves",    "AnimationDelay",     "BoardLines",         "BorderBitmap",    "BorderColor",
        "CastlingAllowed", "ComputerPlaysBlack", "ComputerPlaysWhite", "Thinking",        "CoordFont",
        "CurrentMove",     "CustomPieceSet",     "DisplayCoords",      "CustomEngine",    "EnPassant",
        "LineStyle",       "Position",           "Resizable",          "ResizeMinSize",   "ResizeMaxSize",
        "SearchDepth",     "SizeOfBorder",       "SizeOfSquare",       "SquareColorDark", "SquareColorLight",
        "SquareDark",      "SquareLight",        "WhiteOnTop",         "WhiteToMove",     "ThinkingPriority",
        "Version"};
    // Ours, after the stored ones, and all off at creation: a fresh board plays only by dragging.
    const QStringList additions = {"ClickToMove",  "ShowLegalMoves",   "KeyboardInput",
                                   "ShowThinking", "CustomPieceSet2x", "CustomPieceSet3x"};
    EXPECT_EQ(names, published + additions);

    TChessBrd b;
    for (const QString& name : additions)
        EXPECT_FALSE(b.property(name.toLatin1()).toBool()) << name.toStdString();
    EXPECT_EQ(b.focusPolicy(), Qt::NoFocus);
    EXPECT_TRUE(b.setProperty("ThinkingPriority", int(tpLowest)));
    EXPECT_EQ(b.GetThinkingPriority(), tpLowest);
    EXPECT_TRUE(b.setProperty("CastlingAllowed", 0));
    EXPECT_EQ(b.GetCastlingAllowed(), CastleSet{});
    EXPECT_TRUE(b.setProperty("EnPassant", 256 + int(A6)));
    EXPECT_EQ(b.GetEnPassant(), None) << "not a square";
}

TEST(BoardProperties, OversizedSquareAndBorderWritesStayWithinTheLargestWidget) {
    TChessBrd b;
    b.SetSizeOfSquare(std::numeric_limits<int>::max());
    EXPECT_GT(b.GetSizeOfSquare(), 40);
    EXPECT_EQ(b.width(), 8LL * b.GetSizeOfSquare() + 2 * 24);
    b.SetSizeOfSquare(40);
    b.SetSizeOfBorder(std::numeric_limits<int>::max());
    EXPECT_GT(b.GetSizeOfBorder(), 24);
    EXPECT_EQ(b.width(), 8 * 40 + 2LL * b.GetSizeOfBorder());
}

TEST(BoardProperties, BitmapsAreCopiedNotShared) {
    TChessBrd b;
    QImage tile(10, 10, QImage::Format_RGB32);
    tile.fill(Qt::red);
    b.SetSquareLight(tile);
    tile.fill(Qt::blue);
    EXPECT_EQ(QColor(b.GetSquareLight().pixel(0, 0)), QColor(Qt::red));
}

TEST(BoardPieceSet, PieceImageIndexFollowsTheSetLayout) {
    TChessBrd b;
    EXPECT_EQ(b.PieceImageIndex('P'), 0);
    EXPECT_EQ(b.PieceImageIndex('K'), 5);
    EXPECT_EQ(b.PieceImageIndex('p'), 6);
    EXPECT_EQ(b.PieceImageIndex('k'), 11);
    EXPECT_EQ(b.PieceImageIndex(' '), -1);
    EXPECT_EQ(b.PieceImageIndex('x'), -1);
    EXPECT_EQ(b.PieceImageIndex('\0'), -1);
    EXPECT_FALSE(TChessBrd::IsPieceSet(QImage()));
    EXPECT_FALSE(TChessBrd::IsPieceSet(QImage(200, 200, QImage::Format_RGB32)));
    EXPECT_TRUE(TChessBrd::IsPieceSet(QImage(360, 240, QImage::Format_RGB32)));
}

TEST(BoardPieceSet, AWronglyShapedSetIsRefusedAndAnEmptyOneRestoresTheBuiltInSet) {
    TChessBrd b;
    b.Paint();
    const QImage before = b.Canvas().copy();
    QImage square(200, 200, QImage::Format_RGB32);
    square.fill(Qt::red);
    b.SetCustomPieceSet(square);
    EXPECT_TRUE(b.GetCustomPieceSet().isNull());
    EXPECT_EQ(b.GetPieceSize(), 40);
    EXPECT_EQ(b.Canvas(), before);

    b.SetCustomPieceSet(BlockPieceSet(40));
    EXPECT_NE(b.Canvas(), before);
    b.SetCustomPieceSet(QImage());
    EXPECT_EQ(b.Canvas(), before);
}

// A set named by its file is read when a piece is first drawn (or the getter asks); a file that holds no
// piece set counts as none, and the built-in set stands.
TEST(BoardPieceSet, ASetNamedByItsFileIsTheSetItHoldsOrNone) {
    const QString windowSet = QStringLiteral(GAMBITRON_RESOURCES "/MainPieces.bmp");
    const QString position = QString(EmptyBoard).replace(35, 1, QLatin1Char('Q')); // d4
    const auto canvas = [&](const std::function<void(TChessBrd&)>& SetUp) {
        TChessBrd b;
        b.SetPositionString(position);
        SetUp(b);
        b.Paint();
        return b.Canvas().copy();
    };
    const QImage builtIn = canvas([](TChessBrd&) {});
    const QImage window = canvas([&](TChessBrd& b) { b.SetCustomPieceSet(QImage(windowSet)); });
    ASSERT_NE(builtIn, window);
    const struct {
        QString File;
        const char* Format;
        QSize Size; // of the set the board takes; 0 x 0 for none
    } files[] = {{windowSet, "BMP", {240, 160}},
                 {windowSet, "PNG", {0, 0}}, // not in that format
                 {QStringLiteral(GAMBITRON_RESOURCES "/missing.bmp"), "BMP", {0, 0}},
                 {QStringLiteral(GAMBITRON_RESOURCES "/buttons/turn.png"), "PNG", {0, 0}}}; // no set's shape
    for (const auto& f : files) {
        EXPECT_EQ(canvas([&](TChessBrd& b) { b.SetCustomPieceSetFile(f.File, f.Format); }),
                  f.Size.isEmpty() ? builtIn : window)
            << qPrintable(f.File) << " " << f.Format;
        TChessBrd b;
        b.SetCustomPieceSetFile(f.File, f.Format);
        EXPECT_EQ(b.GetCustomPieceSet().size(), f.Size) << qPrintable(f.File) << " " << f.Format;
    }
}

TEST(BoardPieceSet, ALargerSetIsDrawnUnscaledAndCentredOverlappingTheSquare) {
    TChessBrd b;
    b.SetPositionString(EmptyBoard);
    b.SetCustomPieceSet(BlockPieceSet(60));
    ASSERT_EQ(b.GetPieceSize(), 60);
    b.SetPositionString(QString(EmptyBoard).replace(35, 1, QLatin1Char('Q'))); // d4
    int x, y;
    b.SquareToXY(D4, x, y);
    // The piece starts 10 pixels up and left of the square; its opaque part 60/8 = 7 pixels further in.
    const QColor queen = PieceColour(0, 4);
    EXPECT_EQ(At(b, x - 10 + 7, y - 10 + 7), queen);
    EXPECT_NE(At(b, x - 10 + 6, y - 10 + 7), queen);
    EXPECT_EQ(At(b, x + 40 + 9 - 7, y + 40 + 9 - 7), queen);
    EXPECT_NE(At(b, x + 40 + 9 - 6, y + 40 + 9 - 7), queen);
}

TEST(BoardRendering, CornerSquaresKeepTheirColoursInBothOrientations) {
    TChessBrd b;
    b.SetPositionString(EmptyBoard);
    for (bool flipped : {false, true}) {
        b.SetWhiteOnTop(flipped);
        EXPECT_EQ(SquarePixel(b, A8, 20, 20), Silver);
        EXPECT_EQ(SquarePixel(b, H1, 20, 20), Silver);
        EXPECT_EQ(SquarePixel(b, A1, 20, 20), Gray);
        EXPECT_EQ(SquarePixel(b, H8, 20, 20), Gray);
        // The top-left square is light either way, and it is a8 or h1.
        EXPECT_EQ(At(b, 24, 24), Silver);
        EXPECT_EQ(At(b, 24 + 319, 24), Gray);
    }
    int x, y;
    b.SquareToXY(H1, x, y);
    EXPECT_EQ(x, 24);
    EXPECT_EQ(y, 24);
}

TEST(BoardRendering, PiecesStandOnTheirSquaresInBothOrientations) {
    TChessBrd b;
    b.SetCustomPieceSet(BlockPieceSet(40));
    const std::string pieces = "PNBRQKpnbrqk";
    for (bool flipped : {false, true}) {
        b.SetWhiteOnTop(flipped);
        const std::string position = b.GetPosition();
        for (int q = A8; q <= H1; ++q) {
            const auto sq = static_cast<Square>(q);
            const char c = position[q - 1];
            const QColor background = TChessBrd::IsLightSquare(sq) ? Silver : Gray;
            const auto p = pieces.find(c);
            const QColor centre = p == std::string::npos ? background : PieceColour(int(p / 6), int(p % 6));
            EXPECT_EQ(SquarePixel(b, sq, 20, 20), centre) << "square " << q << " flipped " << flipped;
            EXPECT_EQ(SquarePixel(b, sq, 2, 2), background) << "square " << q << " flipped " << flipped;
        }
        EXPECT_FALSE(HasColour(b, QRect(0, 0, 368, 368), QColor(Qt::magenta)));
    }
    // In the normal orientation the white king stands at the bottom, fifth from the left.
    b.SetWhiteOnTop(false);
    EXPECT_EQ(At(b, 24 + 4 * 40 + 20, 24 + 7 * 40 + 20), PieceColour(0, 5));
    b.SetWhiteOnTop(true);
    EXPECT_EQ(At(b, 24 + 3 * 40 + 20, 24 + 20), PieceColour(0, 5));
}

TEST(BoardRendering, WithoutCoordinatesTheStripHoldsOnlyTheFillAndTwoFrames) {
    TChessBrd b;
    b.SetLineStyle(QPen(Qt::red));
    b.Paint();
    EXPECT_EQ(At(b, 0, 0), QColor(Qt::red));
    EXPECT_EQ(At(b, 367, 367), QColor(Qt::red));
    EXPECT_EQ(At(b, 23, 100), QColor(Qt::red));
    EXPECT_EQ(At(b, 344, 100), QColor(Qt::red));
    EXPECT_EQ(At(b, 100, 344), QColor(Qt::red));
    for (int x = 1; x < 23; ++x) EXPECT_EQ(At(b, x, 150), QColor(Qt::black)) << x;
    for (int y = 1; y < 23; ++y) EXPECT_EQ(At(b, 150, y), QColor(Qt::black)) << y;
    EXPECT_EQ(At(b, 24, 26), Silver);
}

TEST(BoardRendering, CoordinatesAppearOnlyOnTheListedSides) {
    TChessBrd b;
    MainWindowSettings(b);
    const QRect west(1, 24, 22, 320), east(345, 24, 22, 320), north(24, 1, 320, 22), south(24, 345, 320, 22);
    auto inked = [&](const QRect& r) {
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (qGray(b.Canvas().pixel(x, y)) < 128) return true;
        return false;
    };
    const CoordSide sides[] = {West, North, East, South};
    const QRect strips[] = {west, north, east, south};
    for (int s = 0; s < 4; ++s) {
        CoordSet set;
        set.Include(sides[s]);
        b.SetDisplayCoords(set);
        for (int t = 0; t < 4; ++t) EXPECT_EQ(inked(strips[t]), s == t) << "side " << s << " strip " << t;
    }
}

TEST(BoardRendering, CoordinateLabelsFollowTheOrientation) {
    TChessBrd b;
    MainWindowSettings(b);
    b.SetDisplayCoords(CoordSet::All());
    // The label beside the top row reads 8 normally; turned round, the same 8 stands beside the bottom row.
    const QRect topWest(0, 24, 24, 40), bottomWest(0, 24 + 280, 24, 40);
    const QRect leftNorth(24, 0, 40, 24), rightNorth(24 + 280, 0, 40, 24);
    const QImage eight = Block(b, topWest), a = Block(b, leftNorth);
    b.SetWhiteOnTop(true);
    EXPECT_EQ(Block(b, bottomWest), eight);
    EXPECT_EQ(Block(b, rightNorth), a);
    EXPECT_NE(Block(b, topWest), eight);
}

TEST(BoardRendering, ALabelFontLargerThanTheBorderStaysOutOfTheSquares) {
    TChessBrd b;
    b.SetPositionString(EmptyBoard);
    b.SetDisplayCoords(CoordSet::All());
    QFont huge(QStringLiteral("DejaVu Sans"));
    huge.setPointSize(60);
    b.SetCoordFont(huge);
    for (int y = 24; y < 344; ++y)
        for (int x = 24; x < 344; ++x) {
            const QColor c = At(b, x, y);
            ASSERT_TRUE(c == Silver || c == Gray) << x << "," << y;
        }
}

TEST(BoardRendering, ATiledLightBitmapRunsOnFromTheControlsCorner) {
    TChessBrd b;
    b.SetPositionString(EmptyBoard);
    QImage tile(10, 10, QImage::Format_RGB32);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) tile.setPixel(x, y, qRgb(x * 25, y * 25, 77));
    b.SetSquareLight(tile);
    for (int q = A8; q <= H1; ++q) {
        const auto sq = static_cast<Square>(q);
        int x0, y0;
        b.SquareToXY(sq, x0, y0);
        for (int y = y0; y < y0 + 40; y += 3)
            for (int x = x0; x < x0 + 40; x += 3) {
                const QColor expected =
                    TChessBrd::IsLightSquare(sq) ? QColor(tile.pixel(x % 10, y % 10)) : Gray;
                ASSERT_EQ(At(b, x, y), expected) << x << "," << y;
            }
    }
    // A bitmap without pixels counts as absent.
    b.SetSquareLight(QImage(0, 10, QImage::Format_RGB32));
    EXPECT_EQ(SquarePixel(b, A8, 5, 5), Silver);
}

TEST(BoardRendering, BoardLinesDrawSevenLinesEachWayBetweenTheSquares) {
    TChessBrd b;
    b.SetPositionString(EmptyBoard);
    b.SetBoardLines(true);
    for (int i = 1; i <= 7; ++i) {
        EXPECT_EQ(At(b, 24 + i * 40, 30), QColor(Qt::black)) << i;
        EXPECT_EQ(At(b, 24 + i * 40, 343), QColor(Qt::black)) << i;
        EXPECT_EQ(At(b, 30, 24 + i * 40), QColor(Qt::black)) << i;
        EXPECT_NE(At(b, 24 + i * 40 + 1, 30), QColor(Qt::black)) << i;
    }
    EXPECT_NE(At(b, 24, 30), QColor(Qt::black));
    // A single-square redraw wipes the lines through it until they are drawn again.
    b.DrawSquare(B7);
    EXPECT_NE(At(b, 64, 70), QColor(Qt::black));
    b.DrawBoardLines();
    EXPECT_EQ(At(b, 64, 70), QColor(Qt::black));
}

TEST(BoardRendering, TheSizeRuleSettlesOnTheMeanOfWidthAndHeight) {
    TChessBrd b;
    b.resize(500, 368);
    b.Paint();
    EXPECT_EQ(b.GetSizeOfSquare(), 48);
    EXPECT_EQ(b.width(), 432);
    EXPECT_EQ(b.height(), 432);
    EXPECT_EQ(b.Canvas().size(), QSize(432, 432));
    EXPECT_EQ(At(b, 24 + 48 * 8 - 1, 24 + 48 * 8 - 1), Silver); // h1 fills the enlarged grid
}

TEST(BoardRendering, ABoardSqueezedBelowItsBorderStaysDrawable) {
    TChessBrd b;
    b.SetPositionString(EmptyBoard);
    b.resize(20, 20);
    b.Paint();
    EXPECT_EQ(b.GetSizeOfSquare(), 1);
    EXPECT_EQ(b.width(), 56);
    EXPECT_EQ(b.height(), 56);
    EXPECT_EQ(At(b, 24, 24), Silver);
    EXPECT_EQ(At(b, 25, 24), Gray);

    b.SetSizeOfBorder(-5);
    EXPECT_EQ(b.GetSizeOfBorder(), 0);
    b.SetSizeOfSquare(0);
    EXPECT_EQ(b.GetSizeOfSquare(), 1);
    b.SetDisplayCoords(CoordSet::All());
    b.SetBoardLines(true);
    const int side = 8 * b.GetSizeOfSquare();
    EXPECT_EQ(b.width(), side);
    EXPECT_EQ(b.height(), side);
    EXPECT_EQ(b.Canvas().size(), QSize(side, side));
    EXPECT_EQ(b.SquareFromPoint(0, 0), A8);
    EXPECT_EQ(b.SquareFromPoint(side - 1, side - 1), H1);
}

TEST(BoardRendering, SizeWritesThatLeaveTheSideUnchangedStillRedrawTheBoard) {
    TChessBrd b;
    b.SetPositionString(EmptyBoard);
    b.Paint();
    b.SetSizeOfSquare(45);
    b.SetSizeOfBorder(4); // 8 * 45 + 2 * 4 = 368: the old side again
    ASSERT_EQ(b.size(), QSize(368, 368));
    b.grab();
    EXPECT_EQ(At(b, 4, 4), Silver) << "a8 starts where the old border was";
    EXPECT_EQ(At(b, 4 + 45, 4), Gray);
}

TEST(BoardRendering, ASetterRepaintsAtOnceAfterRaisingOnPaint) {
    TChessBrd b;
    b.Paint();
    // The canvas is made when first read: from here on it holds the board's picture.
    ASSERT_EQ(At(b, 300, 300 - 40), Gray);
    int paints = 0;
    QColor seen;
    b.OnPaint = [&](ChessGame*) {
        ++paints;
        seen = At(b, 300, 300 - 40); // a dark square, still in its old colour
    };
    b.SetSquareColorDark(Qt::green);
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(seen, Gray);
    EXPECT_EQ(SquarePixel(b, A1, 2, 2), QColor(Qt::green));
}

TEST(BoardRendering, AMoveRedrawsOnlyItsSquares) {
    TChessBrd b;
    b.SetAnimateMoves(false);
    b.SetCustomPieceSet(BlockPieceSet(40));
    ASSERT_TRUE(b.MakeMove(E2, E4));
    EXPECT_EQ(SquarePixel(b, E2, 20, 20), Silver);
    EXPECT_EQ(SquarePixel(b, E4, 20, 20), PieceColour(0, 0));
    ASSERT_TRUE(b.MakeMove(D7, D5));
    ASSERT_TRUE(b.MakeMove(E4, D5));
    EXPECT_EQ(SquarePixel(b, D5, 20, 20), PieceColour(0, 0));
    EXPECT_EQ(SquarePixel(b, E4, 20, 20), Silver);
}

// Until a square is drawn the board draws its full paint in place; the canvas made for the first square
// must hold the same picture, or the board would change under a move's first redraw.
TEST(BoardRendering, TheCanvasMadeForTheFirstSquareHoldsThePictureDrawnInPlace) {
    for (bool flipped : {false, true}) {
        TChessBrd b;
        MainWindowSettings(b);
        b.SetDisplayCoords(CoordSet::All());
        b.SetCustomPieceSet(BlockPieceSet(40));
        b.SetBoardLines(true);
        b.SetWhiteOnTop(flipped);
        const QImage inPlace = b.grab().toImage();
        b.DrawSquare(E2);
        b.DrawPiece(E2, b.PieceAt(E2));
        b.DrawBoardLines();
        EXPECT_EQ(b.grab().toImage(), inPlace) << "flipped " << flipped;
        EXPECT_EQ(b.Canvas().convertToFormat(inPlace.format()), inPlace) << "flipped " << flipped;
    }
}
