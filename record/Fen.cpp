// FEN parsing and formatting for EnginePosition and GameSetup.
#include "Fen.h"

#include "ChessGame.h"

#include <vector>

namespace {

// Blanks, tabs and line ends all separate fields: a FEN from a file or the clipboard ends with a line end.
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// At most Limit fields: the text may be a whole clipboard of words, and one field more than a FEN has is
// enough to refuse it.
std::vector<std::string_view> SplitFields(std::string_view text, std::size_t Limit) {
    std::vector<std::string_view> fields;
    std::size_t i = 0;
    while (i < text.size() && fields.size() < Limit) {
        while (i < text.size() && IsBlank(text[i])) ++i;
        std::size_t start = i;
        while (i < text.size() && !IsBlank(text[i])) ++i;
        if (i > start) fields.push_back(text.substr(start, i - start));
    }
    return fields;
}

bool IsPieceLetter(char c) {
    return std::string_view("PNBRQKpnbrqk").find(c) != std::string_view::npos;
}

bool IsCounter(std::string_view field) {
    if (field.empty() || field.size() > 9) return false;
    for (char c : field)
        if (c < '0' || c > '9') return false;
    return true;
}

bool ParsePlacement(std::string_view field, std::array<char, 64>& board, std::string& error) {
    board.fill(' ');
    int rank = 8;
    int file = 0;
    for (char c : field) {
        if (c == '/') {
            if (file != 8) {
                error = "rank " + std::to_string(rank) + " describes " + std::to_string(file) +
                        " squares, expected 8";
                return false;
            }
            if (--rank < 1) {
                error = "more than 8 ranks";
                return false;
            }
            file = 0;
        } else if (c >= '1' && c <= '8') {
            file += c - '0';
            if (file > 8) {
                error = "rank " + std::to_string(rank) + " describes more than 8 squares";
                return false;
            }
        } else if (IsPieceLetter(c)) {
            if (file >= 8) {
                error = "rank " + std::to_string(rank) + " describes more than 8 squares";
                return false;
            }
            board[static_cast<std::size_t>((8 - rank) * 8 + file)] = c;
            ++file;
        } else {
            error = std::string("unexpected character '") + c + "' in the piece placement";
            return false;
        }
    }
    if (rank != 1) {
        error = "the piece placement has " + std::to_string(9 - rank) + " ranks, expected 8";
        return false;
    }
    if (file != 8) {
        error = "rank 1 describes " + std::to_string(file) + " squares, expected 8";
        return false;
    }
    return true;
}

bool ParseCastling(std::string_view field, CastleSet& rights, std::string& error) {
    rights = CastleSet{};
    if (field == "-") return true;
    if (field.size() > 4) {
        error = "castling field '" + std::string(field) + "' is too long";
        return false;
    }
    for (char c : field) {
        CanStillCastle right;
        switch (c) {
        case 'K':
            right = WhiteKingSide;
            break;
        case 'Q':
            right = WhiteQueenSide;
            break;
        case 'k':
            right = BlackKingSide;
            break;
        case 'q':
            right = BlackQueenSide;
            break;
        default:
            error = std::string("unexpected character '") + c + "' in the castling field";
            return false;
        }
        if (rights.Contains(right)) {
            error = std::string("castling right '") + c + "' given twice";
            return false;
        }
        rights.Include(right);
    }
    return true;
}

bool ParseEnPassant(std::string_view field, bool whiteToMove, Square& square, std::string& error) {
    square = None;
    if (field == "-") return true;
    if (field.size() != 2 || field[0] < 'a' || field[0] > 'h' || field[1] < '1' || field[1] > '8') {
        error = "en-passant field '" + std::string(field) + "' is not a square";
        return false;
    }
    const int rank = field[1] - '0';
    if (rank != (whiteToMove ? 6 : 3)) {
        error = "en-passant square " + std::string(field) + " is not on rank " + (whiteToMove ? "6" : "3");
        return false;
    }
    square = static_cast<Square>((8 - rank) * 8 + (field[0] - 'a') + 1);
    return true;
}

} // namespace

bool ParseFen(std::string_view Text, EnginePosition& Position, std::string& Error) {
    GameSetup setup;
    setup.Position = Position;
    if (!ParseFen(Text, setup, Error)) return false;
    Position = setup.Position;
    return true;
}

bool ParseFen(std::string_view Text, GameSetup& Setup, std::string& Error) {
    const std::vector<std::string_view> fields = SplitFields(Text, 7);
    if (fields.size() < 4 || fields.size() > 6) {
        Error = "FEN needs 4 to 6 fields, got " +
                (fields.size() > 6 ? std::string("more") : std::to_string(fields.size()));
        return false;
    }
    EnginePosition result = Setup.Position;
    std::string why;
    if (!ParsePlacement(fields[0], result.Board, why)) {
        Error = "bad FEN: " + why;
        return false;
    }
    if (fields[1] != "w" && fields[1] != "b") {
        Error = "bad FEN: side to move must be 'w' or 'b', got '" + std::string(fields[1]) + "'";
        return false;
    }
    result.WhiteToMove = fields[1] == "w";
    if (!ParseCastling(fields[2], result.Castling, why) ||
        !ParseEnPassant(fields[3], result.WhiteToMove, result.EnPassant, why)) {
        Error = "bad FEN: " + why;
        return false;
    }
    int counters[2] = {0, 1};
    for (std::size_t i = 4; i < fields.size(); ++i) {
        if (!IsCounter(fields[i])) {
            Error = "bad FEN: move counter '" + std::string(fields[i]) + "' is not a number";
            return false;
        }
        counters[i - 4] = std::stoi(std::string(fields[i]));
    }
    Setup.Position = result;
    Setup.HalfmoveClock = counters[0];
    Setup.FullmoveNumber = counters[1] < 1 ? 1 : counters[1];
    return true;
}

std::string FormatFen(const EnginePosition& Position) {
    GameSetup setup;
    setup.Position = Position;
    return FormatFen(setup);
}

std::string FormatFen(const GameSetup& Setup) {
    const EnginePosition& Position = Setup.Position;
    std::string text;
    for (int row = 0; row < 8; ++row) {
        int empty = 0;
        for (int file = 0; file < 8; ++file) {
            const char c = Position.Board[static_cast<std::size_t>(row * 8 + file)];
            if (IsPieceLetter(c)) {
                if (empty > 0) text += static_cast<char>('0' + empty);
                empty = 0;
                text += c;
            } else {
                ++empty;
            }
        }
        if (empty > 0) text += static_cast<char>('0' + empty);
        if (row < 7) text += '/';
    }
    text += Position.WhiteToMove ? " w " : " b ";
    std::string castling;
    if (Position.Castling.Contains(WhiteKingSide)) castling += 'K';
    if (Position.Castling.Contains(WhiteQueenSide)) castling += 'Q';
    if (Position.Castling.Contains(BlackKingSide)) castling += 'k';
    if (Position.Castling.Contains(BlackQueenSide)) castling += 'q';
    text += castling.empty() ? "-" : castling;
    text += ' ';
    if (Position.EnPassant == None) {
        text += '-';
    } else {
        const int index = Position.EnPassant - 1;
        text += static_cast<char>('a' + index % 8);
        text += static_cast<char>('8' - index / 8);
    }
    text += ' ' + std::to_string(Setup.HalfmoveClock) + ' ' + std::to_string(Setup.FullmoveNumber);
    return text;
}

GameSetup StandardSetup() {
    GameSetup setup;
    std::string error;
    ParseFen(StartFen, setup, error);
    return setup;
}

bool IsPlayableSetup(const GameSetup& Setup, std::string& Error) {
    const EnginePosition& p = Setup.Position;
    switch (ChessGame::CheckPosition(std::string_view(p.Board.data(), p.Board.size()), p.WhiteToMove)) {
    case ChessGame::PositionFault::None:
        break;
    case ChessGame::PositionFault::KingCount:
        Error = "each side needs exactly one king";
        return false;
    case ChessGame::PositionFault::PawnOnEdgeRank:
        Error = "a pawn stands on the first or last rank";
        return false;
    case ChessGame::PositionFault::OpponentInCheck:
        Error = "the side not to move is in check";
        return false;
    }
    if (p.EnPassant != None) {
        // White to move: the black pawn passed over rank 6 and stands on rank 5 below it, and the square it
        // came from on rank 7 is empty; black: mirrored.
        const int index = p.EnPassant - 1;
        const int front = p.WhiteToMove ? index + 8 : index - 8;
        const int origin = p.WhiteToMove ? index - 8 : index + 8;
        const char pawn = p.WhiteToMove ? 'p' : 'P';
        if (p.Board[static_cast<std::size_t>(index)] != ' ' || front < 0 || front >= 64 || origin < 0 ||
            origin >= 64 || p.Board[static_cast<std::size_t>(front)] != pawn ||
            p.Board[static_cast<std::size_t>(origin)] != ' ') {
            Error = "no pawn can have passed over the en-passant square";
            return false;
        }
    }
    return true;
}
