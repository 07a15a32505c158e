// The main windows' board settings and the Tahoma substitute.
#include "BoardSettings.h"

#include "ChessBrd.h"
#include "WinColor.h"

#include <QImage>
#include <QImageReader>

// The windows' piece set is compiled into this static library; registering it here means every program
// that applies the settings has it.
static void RegisterPieceSetResource() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(mainpieces);
        return true;
    }();
    (void)registered;
}

namespace {
constexpr std::uint32_t clBlack = 0x000000;
constexpr std::uint32_t clWhite = 0xFFFFFF;
constexpr std::uint32_t clSilver = 0xC0C0C0;
} // namespace

QImage ReadResourceImage(const QString& Path, const char* Format) {
    QImageReader reader(Path, Format);
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

void ApplyMainWindowBoardSettings(TChessBrd& Board) {
    RegisterPieceSetResource();
    // In the order a stored form loads them, and drawn once at the end.
    Board.BeginSettings();
    Board.SetAnimateMoves(true);
    Board.SetAnimationDelay(0);
    Board.SetBoardLines(false);
    Board.SetBorderColor(WinColor(clWhite));
    Board.SetCastlingAllowed(CastleSet::All());
    Board.SetComputerPlaysBlack(false);
    Board.SetComputerPlaysWhite(false);
    Board.SetCoordFont(TahomaFont(11));
    Board.SetCoordFontColor(WinColor(clBlack));
    Board.SetCustomPieceSetFile(QStringLiteral(":/MainPieces"), "BMP");
    Board.SetDisplayCoords(CoordSet::All());
    Board.SetCustomEngine(false);
    Board.SetPositionString(QString(63, QChar(u' ')));
    Board.SetResizable(false);
    Board.SetResizeMinSize(100);
    Board.SetResizeMaxSize(1000);
    Board.SetSearchDepth(1);
    Board.SetSizeOfBorder(24);
    Board.SetSizeOfSquare(40);
    Board.SetSquareColorDark(WinColor(clSilver));
    Board.SetSquareColorLight(WinColor(clWhite));
    Board.SetWhiteOnTop(false);
    Board.SetWhiteToMove(true);
    Board.SetThinkingPriority(tpLowest);
    // The size setters leave the height to the next paint; the stored form has the board square already.
    Board.resize(368, 368);
    // Beyond the stored form: the windows' pieces drawn for larger scales, play by click and keyboard
    // with the legal squares marked, and the busy cursor while the computer thinks.
    Board.SetCustomPieceSet2xFile(QStringLiteral(":/MainPieces@2x"));
    Board.SetCustomPieceSet3xFile(QStringLiteral(":/MainPieces@3x"));
    Board.SetClickToMove(true);
    Board.SetShowLegalMoves(true);
    Board.SetKeyboardInput(true);
    Board.SetShowThinking(true);
    Board.EndSettings();
}

void InstallFontSubstitutes() {
    // Liberation Sans keeps Tahoma's narrow advance at 11 px, so fixed layouts do not clip; DejaVu Sans
    // (always installed) is the wider last resort.
    QFont::insertSubstitutions(QStringLiteral("Tahoma"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans Condensed"),
                                QStringLiteral("DejaVu Sans")});
}

QFont TahomaFont(int PixelSize, bool Bold) {
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(PixelSize);
    font.setBold(Bold);
    return font;
}

void DetachWindowHandlers(TChessBrd& Board) {
    // First the board's own notifications: switching the computer off below ends its thinking, which a
    // window half torn down must not hear about.
    Board.OnThinkingChanged = nullptr;
    Board.OnInputRefused = nullptr;
    Board.OnAnnounce = nullptr;
    Board.SetComputerPlaysWhite(false);
    Board.SetComputerPlaysBlack(false);
    Board.OnLegalMove = nullptr;
    Board.OnCapture = nullptr;
    Board.OnCheck = nullptr;
    Board.OnMate = nullptr;
    Board.OnStaleMate = nullptr;
    Board.OnThreefoldPosition = nullptr;
    Board.OnIllegalMove = nullptr;
}
