// TChessBrd construction and destruction, the view properties and the piece set.
#include "ChessBrd.h"
#include "ChessBrdAccessible.h"
#include "ChessThread.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPointer>

#include <algorithm>
#include <string_view>

// The built-in piece set lives in this static library; the resource must be registered by name.
static void InitBoardResources() {
    Q_INIT_RESOURCE(chessbrd);
}

TChessBrd::TChessBrd(QWidget* parent) : QWidget(parent) {
    InitBoardResources();
    InstallChessBrdAccessibility();
    PollTimer = new QTimer(this);

    FResizeMinSize = 100;
    FResizeMaxSize = 1000;
    FAnimateMoves = true;
    FAnimationDelay = 0;

    // Read, like the piece images built, only when the first piece is drawn and no custom set stands in.
    DefaultPieceSet = LazyImage(QStringLiteral(":/SETVORNEL40"), "BMP");
    DefaultPieceSet2x = LazyImage(QStringLiteral(":/SETVORNEL40@2x"), "PNG");
    DefaultPieceSet3x = LazyImage(QStringLiteral(":/SETVORNEL40@3x"), "PNG");

    FCoordFont = QFont(QStringLiteral("Arial"));
    FCoordFont.setPointSize(7);
    FCoordFontColor = Qt::white;

    FSizeOfSquare = 40;
    FSizeOfBorder = 24;
    FBorderColor = Qt::black;
    FSquareColorDark = QColor(0x80, 0x80, 0x80);
    FSquareColorLight = QColor(0xC0, 0xC0, 0xC0);
    BoardLeft = BoardTop = 24;
    FComputerPlaysWhite = FComputerPlaysBlack = false;
    FSearchDepth = 1;
    FThinkingPriority = tpNormal;
    const int side = 8 * FSizeOfSquare + 2 * FSizeOfBorder;
    resize(side, side);

    ResetGame();

    // Everything on the control is drawn from the canvas, and the resize corner needs the pointer
    // without a button held.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    FTicks.start();
}

TChessBrd::~TChessBrd() {
    // The move routine (and, for the computer's move, the engine's hand-over) carries on after the handler
    // returns, so a board deleted from inside a move would be used after it is freed. Refused outright;
    // a handler that wants the board gone calls deleteLater().
    if (MoveInProgress()) qFatal("TChessBrd deleted while a move is in progress; use deleteLater()");
    DestroyEngineThread();
    // A drag ends without events: the host may be half destroyed by now.
    if (FDragActive || FPressed) EndDrag();
    // The floating piece belongs to the parent window, which may outlive the board.
    delete FDragImage;
}

void TChessBrd::AfterMove(std::function<void()> Work) {
    FAfterMove.push_back(std::move(Work));
    if (!MoveInProgress() && !FRunningHeldWork) RunHeldWork();
}

void TChessBrd::MovesCompleted() {
    // Not from inside the move routine's last scope: its caller (a drop, the hand-over) still has to
    // finish with the board as the move left it.
    if (FAfterMove.empty() || FHeldWorkPosted) return;
    FHeldWorkPosted = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            FHeldWorkPosted = false;
            if (!FRunningHeldWork) RunHeldWork();
        },
        Qt::QueuedConnection);
}

void TChessBrd::RunHeldWork() {
    // Work may close the window and so delete the board; nothing here touches it after that.
    struct Running {
        QPointer<TChessBrd> Board;
        explicit Running(TChessBrd* b) : Board(b) { b->FRunningHeldWork = true; }
        ~Running() {
            if (Board) Board->FRunningHeldWork = false;
        }
    } running(this);
    while (!FAfterMove.empty() && !MoveInProgress()) {
        std::function<void()> work = std::move(FAfterMove.front());
        FAfterMove.pop_front();
        work();
        if (!running.Board) return;
    }
}

void TChessBrd::SetBoardLines(bool Value) {
    FBoardLines = Value;
    Paint();
}

void TChessBrd::SetBorderBitmap(const QImage& Value) {
    FBorderBitmap = Value;
    Paint();
}

void TChessBrd::SetBorderColor(const QColor& Value) {
    FBorderColor = Value;
    Paint();
}

void TChessBrd::SetCoordFont(const QFont& Value) {
    FCoordFont = Value;
    Paint();
}

void TChessBrd::SetCoordFontColor(const QColor& Value) {
    FCoordFontColor = Value;
    Paint();
}

void TChessBrd::SetCustomPieceSet(const QImage& Value) {
    // A null image stands for "no bitmap" and brings the built-in set back; a wrong shape is refused.
    if (!Value.isNull() && !IsPieceSet(Value)) return;
    FCustomPieceSet = LazyImage(Value);
    CustomSetChanged();
}

void TChessBrd::SetCustomPieceSetFile(const QString& FileName, const char* Format) {
    FCustomPieceSet = LazyImage(FileName, Format);
    CustomSetChanged();
}

void TChessBrd::CustomSetChanged() {
    FCustomPieceSet2x = FCustomPieceSet3x = LazyImage();
    FPieceImagesValid = false;
    Paint();
}

const QImage& TChessBrd::CustomSet() const {
    static const QImage none;
    const QImage& image = FCustomPieceSet.Get();
    return IsPieceSet(image) ? image : none;
}

namespace {
// A larger drawing fits a set when it is a piece set of exactly Scale times its cell.
bool FitsScale(const QImage& Larger, const QImage& Set, int Scale) {
    return TChessBrd::IsPieceSet(Larger) && TChessBrd::IsPieceSet(Set) &&
           Larger.height() == Scale * Set.height();
}
} // namespace

void TChessBrd::SetCustomPieceSet2x(const QImage& Value) {
    if (!Value.isNull() && !FitsScale(Value, CustomSet(), 2)) return;
    FCustomPieceSet2x = LazyImage(Value);
    LargerCustomSetChanged();
}

void TChessBrd::SetCustomPieceSet3x(const QImage& Value) {
    if (!Value.isNull() && !FitsScale(Value, CustomSet(), 3)) return;
    FCustomPieceSet3x = LazyImage(Value);
    LargerCustomSetChanged();
}

void TChessBrd::SetCustomPieceSet2xFile(const QString& FileName) {
    FCustomPieceSet2x = LazyImage(FileName, "PNG");
    LargerCustomSetChanged();
}

void TChessBrd::SetCustomPieceSet3xFile(const QString& FileName) {
    FCustomPieceSet3x = LazyImage(FileName, "PNG");
    LargerCustomSetChanged();
}

// Only a screen above scale 1 draws from the larger sets.
void TChessBrd::LargerCustomSetChanged() {
    if (CanvasRatio() > 1) {
        FPieceImagesValid = false;
        Paint();
    }
}

const QImage& TChessBrd::LargerCustomSet(const LazyImage& Larger, int Scale) const {
    static const QImage none;
    const QImage& image = Larger.Get();
    return image.isNull() || FitsScale(image, CustomSet(), Scale) ? image : none;
}

void TChessBrd::BeginSettings() {
    FInSettings = true;
}

void TChessBrd::EndSettings() {
    FInSettings = false;
    Paint();
}

void TChessBrd::SetDevicePixelRatioOverride(qreal Ratio) {
    FRatioOverride = Ratio > 0 ? Ratio : 0;
    FCanvasValid = false;
    update();
}

qreal TChessBrd::CanvasRatio() const {
    return FRatioOverride > 0 ? FRatioOverride : devicePixelRatioF();
}

void TChessBrd::SetDisplayCoords(CoordSet Value) {
    FDisplayCoords = Value;
    Paint();
}

void TChessBrd::SetLineStyle(const QPen& Value) {
    FLineStyle = Value;
    Paint();
}

void TChessBrd::SetPositionString(const QString& Value) {
    SetPosition(Value.toLatin1().toStdString());
}

void TChessBrd::SetResizeMinSize(int Value) {
    FResizeMinSize = std::min(Value, FResizeMaxSize);
}

void TChessBrd::SetResizeMaxSize(int Value) {
    FResizeMaxSize = std::max(Value, FResizeMinSize);
}

// A negative border or a square below one pixel cannot be drawn; such values are raised to the least
// drawable size instead of producing negative geometry. The upper bounds keep 8 squares and 2 borders
// within the largest widget size, so the side never overflows.
// The canvas was drawn with the old geometry even when the side comes out unchanged (a larger square and
// a narrower border), so a full paint is due whether or not the resize asks for one.
void TChessBrd::SetSizeOfBorder(int Value) {
    FSizeOfBorder = std::clamp(Value, 0, QWIDGETSIZE_MAX / 4);
    BoardLeft = BoardTop = FSizeOfBorder;
    FCanvasValid = false;
    resize(8 * FSizeOfSquare + 2 * FSizeOfBorder, height());
    update();
}

void TChessBrd::SetSizeOfSquare(int Value) {
    FSizeOfSquare = std::clamp(Value, 1, QWIDGETSIZE_MAX / 16);
    FCanvasValid = false;
    resize(8 * FSizeOfSquare + 2 * FSizeOfBorder, height());
    update();
}

void TChessBrd::SetSquareColorDark(const QColor& Value) {
    FSquareColorDark = Value;
    Paint();
}

void TChessBrd::SetSquareColorLight(const QColor& Value) {
    FSquareColorLight = Value;
    Paint();
}

void TChessBrd::SetSquareDark(const QImage& Value) {
    FSquareDark = Value;
    Paint();
}

void TChessBrd::SetSquareLight(const QImage& Value) {
    FSquareLight = Value;
    Paint();
}

void TChessBrd::SetWhiteOnTop(bool Value) {
    FWhiteOnTop = Value;
    Paint();
}

bool TChessBrd::HasImage(const QImage& Bitmap) {
    return !Bitmap.isNull() && Bitmap.width() > 0 && Bitmap.height() > 0;
}

bool TChessBrd::IsPieceSet(const QImage& Bitmap) {
    return HasImage(Bitmap) && Bitmap.width() * 2 == Bitmap.height() * 3;
}

const QImage& TChessBrd::ActivePieceSet() const {
    return IsPieceSet(CustomSet()) ? CustomSet() : DefaultPieceSet.Get();
}

// The drawing for a scale above 1: the 3x one above 2, else the 2x one, whichever exists; a set without
// larger drawings is used as it is and scaled. Each is decoded when first chosen here, the 3x one only
// where the 2x one will not do.
const QImage& TChessBrd::LargerPieceSet(qreal Ratio) const {
    const bool custom = IsPieceSet(CustomSet());
    const auto larger = [&](int Scale) -> const QImage& {
        if (custom) return LargerCustomSet(Scale == 2 ? FCustomPieceSet2x : FCustomPieceSet3x, Scale);
        static const QImage none;
        const QImage& image = (Scale == 2 ? DefaultPieceSet2x : DefaultPieceSet3x).Get();
        return FitsScale(image, DefaultPieceSet.Get(), Scale) ? image : none;
    };
    if (Ratio > 2 && HasImage(larger(3))) return larger(3);
    if (HasImage(larger(2))) return larger(2);
    if (HasImage(larger(3))) return larger(3);
    return ActivePieceSet();
}

void TChessBrd::EnsurePieceImages() {
    if (!FPieceImagesValid || CanvasRatio() != FPieceRatio) BuildPieceImages();
}

void TChessBrd::BuildPieceImages() {
    PieceSize = ActivePieceSet().height() / 4;
    PieceImages = {};
    FPieceRatio = CanvasRatio();
    FPieceImagesValid = true;
    if (PieceSize <= 0) return;
    // Every piece ends up PieceSize board pixels wide, which is `device` pixels on this screen.
    const bool scaled = FPieceRatio > 1;
    const int device = scaled ? qRound(PieceSize * FPieceRatio) : PieceSize;
    const QImage set =
        (scaled ? LargerPieceSet(FPieceRatio) : ActivePieceSet()).convertToFormat(QImage::Format_RGB32);
    const int c = set.height() / 4;
    int index = 0;
    for (int i = 0; i < 2; ++i) {
        for (int j = 0; j < 6; ++j) {
            const QImage image = set.copy(j * c, 2 * i * c, c, c);
            const QImage mask = set.copy(j * c, (2 * i + 1) * c, c, c);
            // Black mask pixels are the piece; everything else stays transparent whatever its colour.
            QImage piece(c, c, QImage::Format_ARGB32);
            for (int y = 0; y < c; ++y) {
                const auto* src = reinterpret_cast<const QRgb*>(image.constScanLine(y));
                const auto* msk = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
                auto* dst = reinterpret_cast<QRgb*>(piece.scanLine(y));
                for (int x = 0; x < c; ++x) dst[x] = qGray(msk[x]) < 128 ? (src[x] | 0xFF000000u) : 0u;
            }
            // Cut first, then scaled, so that every piece gets the same whole number of device pixels.
            if (c != device)
                piece = piece.scaled(device, device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            PieceImages[index] = QPixmap::fromImage(piece);
            if (scaled) PieceImages[index].setDevicePixelRatio(qreal(device) / PieceSize);
            ++index;
        }
    }
}

int TChessBrd::PieceImageIndex(char Piece) const {
    constexpr std::string_view letters = "PNBRQKpnbrqk";
    const auto p = letters.find(Piece);
    if (p == std::string_view::npos) return -1;
    return PieceImageIndexTable[p / 6][p % 6];
}
