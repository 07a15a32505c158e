// The board for screen readers: the accessible table and its cells, the spoken names of squares and
// pieces, and the announcement of every move.
#include "ChessBrdAccessible.h"

#include "ChessBrd.h"
#include "ChessBrdCellAccessible.h"

namespace {
QAccessibleInterface* Factory(const QString& ClassName, QObject* Object) {
    if (ClassName == QLatin1String("TChessBrd") && Object && Object->isWidgetType())
        return new TChessBrdAccessible(static_cast<TChessBrd*>(Object));
    return nullptr;
}

QString SquareName(Square Sq) {
    return QString(QChar(u'a' + ChessGame::FileOf(Sq) - 1)) + QString::number(ChessGame::RankOf(Sq));
}
} // namespace

void InstallChessBrdAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(Factory);
        return true;
    }();
    (void)installed;
}

// --- TChessBrd: names and announcements ---

QString TChessBrd::PieceName(char Piece) {
    switch (Piece) {
    case 'P':
        return tr("белая пешка");
    case 'N':
        return tr("белый конь");
    case 'B':
        return tr("белый слон");
    case 'R':
        return tr("белая ладья");
    case 'Q':
        return tr("белый ферзь");
    case 'K':
        return tr("белый король");
    case 'p':
        return tr("черная пешка");
    case 'n':
        return tr("черный конь");
    case 'b':
        return tr("черный слон");
    case 'r':
        return tr("черная ладья");
    case 'q':
        return tr("черный ферзь");
    case 'k':
        return tr("черный король");
    default:
        return tr("пусто");
    }
}

QString TChessBrd::SquareDescription(Square Sq) const {
    if (Sq < A8 || Sq > H1) return {};
    return SquareName(Sq) + QStringLiteral(", ") + PieceName(PieceAt(Sq));
}

Square TChessBrd::SquareAtCell(int Row, int Column) const {
    if (Row < 0 || Row > 7 || Column < 0 || Column > 7) return None;
    return FWhiteOnTop ? SquareOf(8 - Column, Row + 1) : SquareOf(Column + 1, 8 - Row);
}

int TChessBrd::CellIndexOf(Square Sq) const {
    if (Sq < A8 || Sq > H1) return -1;
    const int column = FWhiteOnTop ? 8 - FileOf(Sq) : FileOf(Sq) - 1;
    const int row = FWhiteOnTop ? RankOf(Sq) - 1 : 8 - RankOf(Sq);
    return row * 8 + column;
}

void TChessBrd::MovePlayed(Square FromSq, Square ToSq, bool Capture, bool Check, bool Mate) {
    FAnnouncement = tr("Ход: %1 - %2").arg(SquareName(FromSq).toUpper(), SquareName(ToSq).toUpper());
    if (Capture) FAnnouncement += tr(", взятие");
    if (Mate)
        FAnnouncement += tr(", мат");
    else if (Check)
        FAnnouncement += tr(", шах");
    if (OnAnnounce) OnAnnounce(this, FAnnouncement);
    // Qt of this generation has no announcement event: the board's description carries the move and its
    // change is reported, and the two cells the move changed report their new names. (Qt passes these on
    // only while a reader's bridge is active.)
    QAccessibleEvent described(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&described);
    for (Square sq : {FromSq, ToSq}) {
        QAccessibleEvent renamed(this, QAccessible::NameChanged);
        renamed.setChild(CellIndexOf(sq));
        QAccessible::updateAccessibility(&renamed);
    }
}

// --- TChessBrdAccessible ---

TChessBrdAccessible::TChessBrdAccessible(TChessBrd* Board) : QAccessibleWidget(Board, QAccessible::Table) {
    FCells.fill(0);
}

TChessBrdAccessible::~TChessBrdAccessible() {
    for (QAccessible::Id id : FCells)
        if (id) QAccessible::deleteAccessibleInterface(id);
}

TChessBrd* TChessBrdAccessible::Board() const {
    return static_cast<TChessBrd*>(widget());
}

void* TChessBrdAccessible::interface_cast(QAccessible::InterfaceType Type) {
    if (Type == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(Type);
}

QAccessible::Role TChessBrdAccessible::role() const {
    return QAccessible::Table;
}

QString TChessBrdAccessible::text(QAccessible::Text Text) const {
    switch (Text) {
    case QAccessible::Name: {
        const QString name = QAccessibleWidget::text(Text);
        return name.isEmpty() ? TChessBrd::tr("Шахматная доска") : name;
    }
    case QAccessible::Description:
        return Board()->Announcement();
    default:
        return QAccessibleWidget::text(Text);
    }
}

int TChessBrdAccessible::childCount() const {
    return 64;
}

QAccessibleInterface* TChessBrdAccessible::child(int Index) const {
    if (Index < 0 || Index >= 64) return nullptr;
    if (!FCells[Index]) {
        auto* cell = new TChessBrdCellAccessible(Board(), Index / 8, Index % 8);
        FCells[Index] = QAccessible::registerAccessibleInterface(cell);
    }
    return QAccessible::accessibleInterface(FCells[Index]);
}

int TChessBrdAccessible::indexOfChild(const QAccessibleInterface* Child) const {
    if (!Child || Child->role() != QAccessible::Cell) return -1;
    for (int i = 0; i < 64; ++i)
        if (FCells[i] && QAccessible::accessibleInterface(FCells[i]) == Child) return i;
    return -1;
}

QAccessibleInterface* TChessBrdAccessible::childAt(int X, int Y) const {
    const QPoint local = Board()->mapFromGlobal(QPoint(X, Y));
    const Square sq = Board()->SquareFromPoint(local.x(), local.y());
    return sq == None ? nullptr : child(Board()->CellIndexOf(sq));
}

QAccessibleInterface* TChessBrdAccessible::focusChild() const {
    const TChessBrd* b = Board();
    if (!b->hasFocus() || !b->KeyboardCursorShown()) return nullptr;
    return child(b->CellIndexOf(b->KeyboardCursor()));
}

QAccessibleInterface* TChessBrdAccessible::cellAt(int Row, int Column) const {
    if (Row < 0 || Row > 7 || Column < 0 || Column > 7) return nullptr;
    return child(Row * 8 + Column);
}

int TChessBrdAccessible::selectedCellCount() const {
    return Board()->Selected() != None ? 1 : 0;
}

QList<QAccessibleInterface*> TChessBrdAccessible::selectedCells() const {
    if (Board()->Selected() == None) return {};
    return {child(Board()->CellIndexOf(Board()->Selected()))};
}

QString TChessBrdAccessible::columnDescription(int Column) const {
    const Square sq = Board()->SquareAtCell(0, Column);
    return sq == None ? QString() : QString(QChar(u'a' + ChessGame::FileOf(sq) - 1));
}

QString TChessBrdAccessible::rowDescription(int Row) const {
    const Square sq = Board()->SquareAtCell(Row, 0);
    return sq == None ? QString() : QString::number(ChessGame::RankOf(sq));
}

// --- TChessBrdCellAccessible ---

TChessBrdCellAccessible::TChessBrdCellAccessible(TChessBrd* Board, int Row, int Column)
    : FBoard(Board), FRow(Row), FColumn(Column) {}

bool TChessBrdCellAccessible::isValid() const {
    return !FBoard.isNull();
}

void* TChessBrdCellAccessible::interface_cast(QAccessible::InterfaceType Type) {
    if (Type == QAccessible::TableCellInterface) return static_cast<QAccessibleTableCellInterface*>(this);
    return nullptr;
}

QAccessibleInterface* TChessBrdCellAccessible::parent() const {
    return FBoard ? QAccessible::queryAccessibleInterface(FBoard.data()) : nullptr;
}

QString TChessBrdCellAccessible::text(QAccessible::Text Text) const {
    if (!FBoard || Text != QAccessible::Name) return {};
    return FBoard->SquareDescription(FBoard->SquareAtCell(FRow, FColumn));
}

QRect TChessBrdCellAccessible::rect() const {
    if (!FBoard) return {};
    int x, y;
    FBoard->SquareToXY(FBoard->SquareAtCell(FRow, FColumn), x, y);
    const int s = FBoard->GetSizeOfSquare();
    return {FBoard->mapToGlobal(QPoint(x, y)), QSize(s, s)};
}

QAccessible::State TChessBrdCellAccessible::state() const {
    QAccessible::State state;
    if (!FBoard) {
        state.invalid = true;
        return state;
    }
    const Square sq = FBoard->SquareAtCell(FRow, FColumn);
    state.focusable = FBoard->GetKeyboardInput();
    state.focused = FBoard->hasFocus() && FBoard->KeyboardCursorShown() && FBoard->KeyboardCursor() == sq;
    state.selectable = FBoard->GetClickToMove() || FBoard->GetKeyboardInput();
    state.selected = FBoard->Selected() == sq;
    return state;
}

bool TChessBrdCellAccessible::isSelected() const {
    return FBoard && FBoard->Selected() == FBoard->SquareAtCell(FRow, FColumn);
}
