// TChessBrd: the chess-board component both programs place on their main window. It holds the game
// (ChessGame), runs the computer player on its own thread (TChessThread) and draws the board, which a
// person plays by dragging pieces. It draws into its own canvas image and shows that in paintEvent.
//
// Implementation files: ChessBrd.cpp (construction, properties, piece set), ChessBrdPaint.cpp (drawing),
// ChessBrdInput.cpp (mouse, drag-and-drop, animation, corner resizing), ChessBrdEngine.cpp (engine thread
// steering and the custom-engine path), ChessBrdPlay.cpp (click and keyboard play, the marks over the
// board, the thinking state and refused input), ChessBrdAccessible.cpp (the board for screen readers).
#pragma once

#include "ChessGame.h"
#include "ChessTypes.h"
#include "LazyImage.h"

#include <QColor>
#include <QElapsedTimer>
#include <QFont>
#include <QImage>
#include <QPen>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <array>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TChessThread;
class QEventLoop;
class QLabel;
class QSocketNotifier;

class TChessBrd : public QWidget, public ChessGame {
    Q_OBJECT
    Q_PROPERTY(bool AnimateMoves READ GetAnimateMoves WRITE SetAnimateMoves)
    Q_PROPERTY(int AnimationDelay READ GetAnimationDelay WRITE SetAnimationDelay)
    Q_PROPERTY(bool BoardLines READ GetBoardLines WRITE SetBoardLines)
    Q_PROPERTY(QImage BorderBitmap READ GetBorderBitmap WRITE SetBorderBitmap)
    Q_PROPERTY(QColor BorderColor READ GetBorderColor WRITE SetBorderColor)
    Q_PROPERTY(int CastlingAllowed READ GetCastlingAllowedBits WRITE SetCastlingAllowedBits)
    Q_PROPERTY(bool ComputerPlaysBlack READ GetComputerPlaysBlack WRITE SetComputerPlaysBlack)
    Q_PROPERTY(bool ComputerPlaysWhite READ GetComputerPlaysWhite WRITE SetComputerPlaysWhite)
    Q_PROPERTY(bool Thinking READ GetThinking WRITE SetThinking)
    Q_PROPERTY(QFont CoordFont READ GetCoordFont WRITE SetCoordFont)
    Q_PROPERTY(QColor CoordFontColor READ GetCoordFontColor WRITE SetCoordFontColor)
    Q_PROPERTY(int CurrentMove READ GetCurrentMove WRITE SetCurrentMove)
    Q_PROPERTY(QImage CustomPieceSet READ GetCustomPieceSet WRITE SetCustomPieceSet)
    Q_PROPERTY(int DisplayCoords READ GetDisplayCoordBits WRITE SetDisplayCoordBits)
    Q_PROPERTY(bool CustomEngine READ GetCustomEngine WRITE SetCustomEngine)
    Q_PROPERTY(int EnPassant READ GetEnPassantSquare WRITE SetEnPassantSquare)
    Q_PROPERTY(QPen LineStyle READ GetLineStyle WRITE SetLineStyle)
    Q_PROPERTY(QString Position READ GetPositionString WRITE SetPositionString)
    Q_PROPERTY(bool Resizable READ GetResizable WRITE SetResizable)
    Q_PROPERTY(int ResizeMinSize READ GetResizeMinSize WRITE SetResizeMinSize)
    Q_PROPERTY(int ResizeMaxSize READ GetResizeMaxSize WRITE SetResizeMaxSize)
    Q_PROPERTY(int SearchDepth READ GetSearchDepth WRITE SetSearchDepth)
    Q_PROPERTY(int SizeOfBorder READ GetSizeOfBorder WRITE SetSizeOfBorder)
    Q_PROPERTY(int SizeOfSquare READ GetSizeOfSquare WRITE SetSizeOfSquare)
    Q_PROPERTY(QColor SquareColorDark READ GetSquareColorDark WRITE SetSquareColorDark)
    Q_PROPERTY(QColor SquareColorLight READ GetSquareColorLight WRITE SetSquareColorLight)
    Q_PROPERTY(QImage SquareDark READ GetSquareDark WRITE SetSquareDark)
    Q_PROPERTY(QImage SquareLight READ GetSquareLight WRITE SetSquareLight)
    Q_PROPERTY(bool WhiteOnTop READ GetWhiteOnTop WRITE SetWhiteOnTop)
    Q_PROPERTY(bool WhiteToMove READ GetWhiteToMove WRITE SetWhiteToMove)
    Q_PROPERTY(int ThinkingPriority READ GetThinkingPriorityValue WRITE SetThinkingPriorityValue)
    Q_PROPERTY(QString Version READ GetVersion WRITE SetVersion)
    // Additions beyond the stored forms; all off at creation, so the board plays only by dragging.
    Q_PROPERTY(bool ClickToMove READ GetClickToMove WRITE SetClickToMove)
    Q_PROPERTY(bool ShowLegalMoves READ GetShowLegalMoves WRITE SetShowLegalMoves)
    Q_PROPERTY(bool KeyboardInput READ GetKeyboardInput WRITE SetKeyboardInput)
    Q_PROPERTY(bool ShowThinking READ GetShowThinking WRITE SetShowThinking)
    Q_PROPERTY(QImage CustomPieceSet2x READ GetCustomPieceSet2x WRITE SetCustomPieceSet2x)
    Q_PROPERTY(QImage CustomPieceSet3x READ GetCustomPieceSet3x WRITE SetCustomPieceSet3x)

public:
    // Why the board would not take a person's move from a square (OnInputRefused).
    enum class InputRefusal {
        None,
        ComputersTurn, // the computer is to move or thinking
        GameOver,      // mate, stalemate or a threefold repetition: nothing can move
        WrongSide,     // a piece of the side not to move
    };

    explicit TChessBrd(QWidget* parent = nullptr);
    ~TChessBrd() override;

    // View properties (ChessBrd.cpp)
    bool GetAnimateMoves() const { return FAnimateMoves; }
    void SetAnimateMoves(bool Value) { FAnimateMoves = Value; }
    int GetAnimationDelay() const { return FAnimationDelay; }
    void SetAnimationDelay(int Value) { FAnimationDelay = Value; }
    bool GetBoardLines() const { return FBoardLines; }
    void SetBoardLines(bool Value);
    QImage GetBorderBitmap() const { return FBorderBitmap; }
    void SetBorderBitmap(const QImage& Value);
    QColor GetBorderColor() const { return FBorderColor; }
    void SetBorderColor(const QColor& Value);
    QFont GetCoordFont() const { return FCoordFont; }
    void SetCoordFont(const QFont& Value);
    // A QFont carries no colour, so the coordinate font's colour is a property of its own.
    QColor GetCoordFontColor() const { return FCoordFontColor; }
    void SetCoordFontColor(const QColor& Value);
    QImage GetCustomPieceSet() const { return CustomSet(); }
    void SetCustomPieceSet(const QImage& Value);
    // The same as a file (or resource) in Format, decoded when the first piece is drawn or the getter
    // asks: a window that opens on an empty board does not wait for it. One that turns out not to be a
    // piece set counts as none.
    void SetCustomPieceSetFile(const QString& FileName, const char* Format);
    CoordSet GetDisplayCoords() const { return FDisplayCoords; }
    void SetDisplayCoords(CoordSet Value);
    int GetDisplayCoordBits() const { return FDisplayCoords.Bits; }
    void SetDisplayCoordBits(int Value) {
        SetDisplayCoords(CoordSet{static_cast<std::uint8_t>(Value & 0x0F)});
    }
    QPen GetLineStyle() const { return FLineStyle; }
    void SetLineStyle(const QPen& Value);
    QString GetPositionString() const { return QString::fromStdString(GetPosition()); }
    void SetPositionString(const QString& Value);
    bool GetResizable() const { return FResizable; }
    void SetResizable(bool Value) { FResizable = Value; }
    int GetResizeMinSize() const { return FResizeMinSize; }
    void SetResizeMinSize(int Value);
    int GetResizeMaxSize() const { return FResizeMaxSize; }
    void SetResizeMaxSize(int Value);
    int GetSizeOfBorder() const { return FSizeOfBorder; }
    void SetSizeOfBorder(int Value);
    int GetSizeOfSquare() const { return FSizeOfSquare; }
    void SetSizeOfSquare(int Value);
    QColor GetSquareColorDark() const { return FSquareColorDark; }
    void SetSquareColorDark(const QColor& Value);
    QColor GetSquareColorLight() const { return FSquareColorLight; }
    void SetSquareColorLight(const QColor& Value);
    QImage GetSquareDark() const { return FSquareDark; }
    void SetSquareDark(const QImage& Value);
    QImage GetSquareLight() const { return FSquareLight; }
    void SetSquareLight(const QImage& Value);
    bool GetWhiteOnTop() const { return FWhiteOnTop; }
    void SetWhiteOnTop(bool Value);
    QString GetVersion() const { return {}; }
    void SetVersion(const QString&) {}

    // The model's and the engine's own types, as the integers a stored form carries; values outside
    // their range are ignored like any refused setting.
    int GetCastlingAllowedBits() const { return GetCastlingAllowed().Bits; }
    void SetCastlingAllowedBits(int Value) {
        SetCastlingAllowed(CastleSet{static_cast<std::uint8_t>(Value & 0x0F)});
    }
    int GetEnPassantSquare() const { return GetEnPassant(); }
    void SetEnPassantSquare(int Value) {
        if (Value >= None && Value <= H1) SetEnPassant(static_cast<Square>(Value));
    }
    int GetThinkingPriorityValue() const { return GetThinkingPriority(); }
    void SetThinkingPriorityValue(int Value) {
        if (Value >= tpIdle && Value <= tpTimeCritical)
            SetThinkingPriority(static_cast<TThreadPriority>(Value));
    }

    // Play by clicks and keys, marks and the thinking cursor (ChessBrdPlay.cpp)
    bool GetClickToMove() const { return FClickToMove; }
    void SetClickToMove(bool Value);
    bool GetShowLegalMoves() const { return FShowLegalMoves; }
    void SetShowLegalMoves(bool Value);
    bool GetKeyboardInput() const { return FKeyboardInput; }
    void SetKeyboardInput(bool Value);
    bool GetShowThinking() const { return FShowThinking; }
    void SetShowThinking(bool Value);
    // Larger drawings of CustomPieceSet for screens with 2 and 3 device pixels per pixel: each must be a
    // piece set with cells exactly 2 (3) times CustomPieceSet's, else it is refused. Writing CustomPieceSet
    // lets go of both, since they belong to the set they were drawn for.
    QImage GetCustomPieceSet2x() const { return LargerCustomSet(FCustomPieceSet2x, 2); }
    void SetCustomPieceSet2x(const QImage& Value);
    QImage GetCustomPieceSet3x() const { return LargerCustomSet(FCustomPieceSet3x, 3); }
    void SetCustomPieceSet3x(const QImage& Value);
    // The same drawings as PNG files (or resources), decoded only once a screen of that scale or the
    // getter asks for them: a window on a screen of scale 1 never pays for them. One that turns out not
    // to fit CustomPieceSet counts as none, as a refused value does.
    void SetCustomPieceSet2xFile(const QString& FileName);
    void SetCustomPieceSet3xFile(const QString& FileName);

    // While a host writes its stored settings one after another, each setter would draw the whole board
    // again; between BeginSettings and EndSettings a full paint only marks the canvas stale, and
    // EndSettings paints once.
    void BeginSettings();
    void EndSettings();

    // The square picked up by a click or a key (None without one) and the keyboard's square cursor.
    Square Selected() const { return FSelected; }
    Square KeyboardCursor() const { return FKeyCursor; }
    bool KeyboardCursorShown() const { return FKeyCursorShown; }
    // The squares the selected (or dragged) piece may go to, as marked on the board; 0 without marks.
    std::uint64_t MarkedTargets() const { return FMarkTargets; }
    // Whether input from this square would be refused, and why; the drag, a click and a key ask the same.
    InputRefusal RefusalFor(Square From) const;
    // The board has asked its engine to search and no move has come back yet.
    bool Searching() const { return FSearching; }
    // Raised when Searching changes.
    std::function<void(TChessBrd* Sender, bool Thinking)> OnThinkingChanged;
    // Raised when a drop, a click or a key is refused for a reason other than the target square.
    std::function<void(TChessBrd* Sender, Square Sq, InputRefusal Reason)> OnInputRefused;
    // The text a screen reader gets for a square ("e4, белая пешка") and for a move ("Ход: E2 - E4").
    QString SquareDescription(Square Sq) const;
    static QString PieceName(char Piece);
    // The last move as told to screen readers; empty before the first move. Every move also raises
    // OnAnnounce with it, for hosts that show or speak it themselves.
    QString Announcement() const { return FAnnouncement; }
    std::function<void(TChessBrd* Sender, const QString& Text)> OnAnnounce;
    // The square shown at a screen row and column (0..7 from the top left), and back.
    Square SquareAtCell(int Row, int Column) const;
    int CellIndexOf(Square Sq) const;

    // Engine properties (ChessBrdEngine.cpp)
    bool GetComputerPlaysWhite() const { return FComputerPlaysWhite; }
    void SetComputerPlaysWhite(bool Value);
    bool GetComputerPlaysBlack() const { return FComputerPlaysBlack; }
    void SetComputerPlaysBlack(bool Value);
    bool GetThinking() const;
    void SetThinking(bool) {}
    bool GetCustomEngine() const { return FCustomEngine; }
    void SetCustomEngine(bool Value) { FCustomEngine = Value; }
    int GetSearchDepth() const { return FSearchDepth; }
    void SetSearchDepth(int Value);
    TThreadPriority GetThinkingPriority() const { return FThinkingPriority; }
    void SetThinkingPriority(TThreadPriority Value);

    // Piece set (ChessBrd.cpp)
    static bool HasImage(const QImage& Bitmap);
    static bool IsPieceSet(const QImage& Bitmap);
    int PieceImageIndex(char Piece) const;
    int GetPieceSize() const { return ActivePieceSet().height() / 4; }

    // Drawing (ChessBrdPaint.cpp)
    void Paint() override;
    void DrawSquare(Square Sq) override;
    void DrawPiece(Square Sq, char Piece) override;
    void DrawBoardLines() override;
    void SquareToXY(Square Sq, int& X, int& Y) const;
    // The square's place on the widget, for marks drawn over it and hints shown beside it.
    QRect SquareRect(Square Sq) const;
    // The picture the board shows; hosts may draw over it (e.g. last-move frames) and call update(). It
    // has the screen's device pixel ratio, so a painter on it works in the board's own coordinates. Made
    // on first use; null or stale while a full paint is due.
    QImage& Canvas() {
        EnsureCanvas();
        return FCanvas;
    }
    // The device pixel ratio the board draws at: the screen's, or the one set here for a picture at
    // another scale (0 follows the screen again). Pieces come from the drawing made for that scale, or
    // the next larger one scaled down smoothly.
    void SetDevicePixelRatioOverride(qreal Ratio);
    qreal CanvasRatio() const;

    // Input and animation (ChessBrdInput.cpp)
    Square SquareFromPoint(int X, int Y) const;
    // Slides the piece on FromSq to ToSq. With Delay 0 a slide takes SlideDuration whatever its length
    // and the machine; a positive Delay adds that many milliseconds to every step.
    void AnimateMove(Square FromSq, Square ToSq, int Delay);
    static constexpr int SlideDuration = 175;
    Square GetDragSource() const { return DragSource; }
    Square GetDropTarget() const { return DropTarget; }
    bool IsDragImageShowing() const;
    // Whether a piece is sliding now: the canvas belongs to the moving piece until the move's events.
    bool Sliding() const { return FSlide != nullptr; }
    // Steps taken by the last slide; OnAnimationStep (if set) sees every step's point in the parent.
    int AnimationSteps() const { return FAnimationSteps; }
    std::function<void(int X, int Y)> OnAnimationStep;

    // The inherited mouse and drag events, re-published for hosts; raised before the board's own handling.
    std::function<void(TChessBrd* Sender)> OnClick;
    std::function<void(TChessBrd* Sender)> OnDblClick;
    std::function<void(TChessBrd* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)>
        OnMouseDown;
    std::function<void(TChessBrd* Sender, Qt::MouseButtons Buttons, Qt::KeyboardModifiers Shift, int X,
                       int Y)>
        OnMouseMove;
    std::function<void(TChessBrd* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)>
        OnMouseUp;
    std::function<void(TChessBrd* Sender)> OnStartDrag;
    std::function<void(TChessBrd* Sender, int X, int Y, bool& Accept)> OnDragOver;
    std::function<void(TChessBrd* Sender, int X, int Y)> OnDragDrop;
    std::function<void(TChessBrd* Sender, int X, int Y)> OnEndDrag;

    // Work that must not run in the middle of a move (turning the board, taking back, saving, a received
    // network message): runs once the move in progress, its slide and the engine's hand-over included, has
    // completed, after all work asked for before it. Without a move in progress or waiting work it runs at
    // once. Work asked for while held work runs waits its turn, so one piece of work never nests in
    // another. (ChessBrd.cpp)
    void AfterMove(std::function<void()> Work);
    bool HoldingWork() const { return !FAfterMove.empty(); }

    // Engine steering (ChessBrdEngine.cpp)
    void StopThinking() override;
    void StartThinking() override;
    void EngineIdle();
    // The engine thread, for measurements and tests; made here if the computer has not needed it yet, and
    // null when it cannot be made.
    const TChessThread* EngineThread();

protected:
    // Qt entry points
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void changeEvent(QEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    friend class TChessThread;

    // The time a slide has reached: step i is due SlideDuration * i / (Steps - 1) after Start, plus the
    // per-step delay. Between steps the window thread waits in Loop until Timer fires.
    struct SlideClock {
        qint64 Start = 0;
        int Steps = 0;
        int Delay = 0;
        QEventLoop* Loop = nullptr;
        QTimer* Timer = nullptr;
    };

    // Move execution hooks: a move lets go of a piece it changes under the pointer; everything slides
    // except the person's own drop.
    bool MoveStarting(Square FromSq, Square ToSq) override;
    bool ShouldSlide(Square FromSq, Square ToSq) const override;
    void SlideMove(Square FromSq, Square ToSq) override;

    // ChessBrdPlay.cpp
    bool ClickPress(Qt::MouseButton Button, Square Sq);
    void ClickRelease(Square Sq);
    void ActOnSquare(Square Sq);
    void Select(Square Sq);
    void ClearSelection();
    void ClickMove(Square FromSq, Square ToSq);
    void RefuseInput(Square Sq, InputRefusal Reason);
    void ShowMarksFor(Square Sq);
    void DropStaleMarks();
    bool MarksStale() const;
    void UpdateMarks();
    void PaintMarks(class QPainter& p);
    void MoveKeyboardCursor(int Right, int Up);
    void SetSearching(bool Value);
    Qt::CursorShape RestingCursor() const;
    void MovePlayed(Square FromSq, Square ToSq, bool Capture, bool Check, bool Mate) override;

    // ChessBrd.cpp
    void MovesCompleted() override;
    void RunHeldWork();
    void BuildPieceImages();
    // Builds the piece images where a setter or a new scale has made them stale.
    void EnsurePieceImages();
    const QImage& ActivePieceSet() const;
    const QImage& CustomSet() const;
    void CustomSetChanged();
    const QImage& LargerPieceSet(qreal Ratio) const;
    const QImage& LargerCustomSet(const LazyImage& Larger, int Scale) const;
    void LargerCustomSetChanged();

    // ChessBrdPaint.cpp
    void DrawBoard(class QPainter& p);
    void DrawBorder(class QPainter& p);
    void DrawSquares(class QPainter& p);
    void DrawPieces(class QPainter& p);
    void DrawSquareOn(class QPainter& p, Square Sq);
    QRect DrawPieceOn(class QPainter& p, Square Sq, char Piece);
    void DrawBoardLinesOn(class QPainter& p);
    void FillArea(class QPainter& p, const QImage& Bitmap, const QColor& Color, const class QRegion& Clip);
    void ApplySizeRule();
    bool CanvasReady() const;
    bool EnsureCanvas();
    int CoordFontSize() const;

    // ChessBrdInput.cpp
    void DragOver(int X, int Y);
    void DragDrop(int X, int Y);
    void DragCanceled();
    void EndDrag();
    void AbortDrag();
    bool HeldPieceGone() const;
    void LetGoOfHeldPiece();
    void UpdateApplicationFilter();
    void SetDragCursor(bool Accept);
    void HideDragImage();
    void ShowDragImage(char Piece, int ParentX, int ParentY);
    void MoveDragImage(int ParentX, int ParentY);
    void AnimateLine(int X1, int Y1, int X2, int Y2, int Delay);
    void AnimateHorizontal(int X1, int X2, int Y, int Delay);
    void AnimateVertical(int Y1, int Y2, int X, int Delay);
    void AnimationStep(int X, int Y, int Delay);
    void StepWait(qint64 Due);
    void TimerTick();

    // ChessBrdEngine.cpp
    // The engine (a large object) and its thread are made when first needed, not with the board: a window
    // that is only looked at, or played by two people, never pays for them.
    void CreateEngineThread();
    void DestroyEngineThread();
    bool IsComputersTurn() const;
    void CustomEngineCheck();
    void EngineHandOver(Square FromSq, Square ToSq, const EnginePosition& Searched);

    // View state
    // Until a single square is drawn, the paint event draws the last full paint straight onto the window,
    // and there is no canvas; then the canvas is made from the same full paint and kept.
    QImage FCanvas;
    bool FCanvasValid = false;
    std::array<char, 64> FPaintedPieces{}; // the position of the last full paint, A8 to H1
    std::array<QPixmap, 12> PieceImages;   // white P N B R Q K, then black, each with its mask applied
    std::array<std::array<int, 6>, 2> PieceImageIndexTable{{{0, 1, 2, 3, 4, 5}, {6, 7, 8, 9, 10, 11}}};
    bool FPieceImagesValid = false;
    bool FInSettings = false;
    // The built-in set, read only where no custom set stands in for it.
    LazyImage DefaultPieceSet;
    LazyImage DefaultPieceSet2x;
    LazyImage DefaultPieceSet3x;
    QSize FCanvasSize; // in the board's own pixels
    qreal FCanvasRatio = 0;
    qreal FRatioOverride = 0;
    LazyImage FCustomPieceSet;
    QImage FSquareLight;
    QImage FSquareDark;
    QImage FBorderBitmap;
    QFont FCoordFont;
    QColor FCoordFontColor = Qt::white;
    QPen FLineStyle;
    QTimer* PollTimer = nullptr;
    int PieceSize = 40;
    int FSizeOfSquare = 40;
    int FSizeOfBorder = 24;
    int BoardLeft = 24;
    int BoardTop = 24;
    QColor FBorderColor = Qt::black;
    QColor FSquareColorDark = QColor(0x80, 0x80, 0x80);
    QColor FSquareColorLight = QColor(0xC0, 0xC0, 0xC0);
    CoordSet FDisplayCoords;
    bool FBoardLines = false;
    bool FWhiteOnTop = false;
    bool FResizable = false;
    int FResizeMinSize = 100;
    int FResizeMaxSize = 1000;
    bool Painted = false;

    // Play by clicks and keys
    bool FClickToMove = false;
    bool FShowLegalMoves = false;
    bool FKeyboardInput = false;
    bool FShowThinking = false;
    Square FSelected = None;
    bool FDeselectOnRelease = false;
    bool FPressConsumed = false;
    Square FKeyCursor = None;
    bool FKeyCursorShown = false;
    Square FMarkSource = None;      // the square whose targets are marked
    std::uint64_t FMarkTargets = 0; // bit q - 1 for square q
    std::array<char, 64> FMarkPosition{};
    bool FMarkWhiteToMove = true;
    bool FSearching = false;
    QString FAnnouncement;
    LazyImage FCustomPieceSet2x;
    LazyImage FCustomPieceSet3x;
    qreal FPieceRatio = 1; // the device pixel ratio PieceImages were made for

    // Input state
    bool Resizing = false;
    Qt::CursorShape NormalCursor = Qt::ArrowCursor;
    bool FPressed = false;
    QPoint FPressPoint;
    char FHeldPiece = ' ';       // the letter pressed on, to notice a position replaced under the pointer
    QPointer<QLabel> FDragImage; // the floating piece, a child of the parent window
    bool FDragActive = false;
    bool FDragAborted = false;
    bool FDragAccepted = false;
    bool FDragCursorShown = false;
    int FAnimationSteps = 0;
    QElapsedTimer FTicks;
    SlideClock* FSlide = nullptr;                          // the slide in progress, if any
    std::vector<QPointer<QSocketNotifier>> FHeldNotifiers; // switched off until the slide is over
    bool FAnimateMoves = true;
    int FAnimationDelay = 0;
    // The last drag's start square and the last accepted drop: a move on exactly these squares is the
    // person's own drop and does not slide.
    Square DragSource = None;
    Square DropTarget = None;

    // Work held until the move in progress has completed
    std::deque<std::function<void()>> FAfterMove;
    bool FRunningHeldWork = false;
    bool FHeldWorkPosted = false;

    // Engine state
    std::unique_ptr<TChessThread> FThread;
    bool FThreadTried = false; // CreateEngineThread ran: a failure is not tried again
    bool FComputerPlaysWhite = false;
    bool FComputerPlaysBlack = false;
    bool FCustomEngine = false;
    int FSearchDepth = 1;
    TThreadPriority FThinkingPriority = tpNormal;
    bool FInHandOver = false;
    bool FHandOverRefused = false;
};
