// FEN parsing and formatting for EnginePosition.
#include "Fen.h"

#include <vector>

namespace {

std::vector<std::string_view> SplitFields(std::string_view text) {
    std::vector<std::string_view> fields;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
        std::size_t start = i;
        while (i < text.size() && text[i] != ' ' && text[i] != '\t') ++i;
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
    const std::vector<std::string_view> fields = SplitFields(Text);
    if (fields.size() < 4 || fields.size() > 6) {
        Error = "FEN needs 4 to 6 fields, got " + std::to_string(fields.size());
        return false;
    }
    EnginePosition result = Position;
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
    for (std::size_t i = 4; i < fields.size(); ++i) {
        if (!IsCounter(fields[i])) {
            Error = "bad FEN: move counter '" + std::string(fields[i]) + "' is not a number";
            return false;
        }
    }
    Position = result;
    return true;
}

std::string FormatFen(const EnginePosition& Position) {
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
    text += " 0 1";
    return text;
}
