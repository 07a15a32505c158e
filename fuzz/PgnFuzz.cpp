// The PGN reader, fed as a file or the clipboard would feed it. Whatever it accepts must come back the same
// through the writer: same start, same moves, same position.
#include "Pgn.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    std::string_view text(reinterpret_cast<const char*>(Data), Size);
    // The first game, and the one after it, as a file with several games is read.
    for (int game = 0; game < 2 && !text.empty(); ++game) {
        PgnReadResult read = ReadPgn(text);
        if (!read.Game) return 0;
        if (read.Game->End == 0 || read.Game->End > text.size()) std::abort();
        const GameRecord& record = read.Game->Record;
        const std::string written = WritePgn(record, PgnRoster{});
        const PgnReadResult again = ReadPgn(written);
        if (!again.Game || again.Game->Record.Moves().size() != record.Moves().size() ||
            !(again.Game->Record.Start() == record.Start()) || again.Game->Record.Fen() != record.Fen())
            std::abort();
        text.remove_prefix(read.Game->End);
    }
    return 0;
}
