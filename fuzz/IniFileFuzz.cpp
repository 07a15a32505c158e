// Feeds arbitrary bytes to the saved-game reader as a .pos file would reach it, then reads and rewrites the
// keys a saved game holds, and checks that a written value reads back as written.
#include "IniFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    IniFile ini;
    ini.SetBytes(QByteArray(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size)));
    const QByteArray section = "Gambitron Position";
    for (const char* key : {"GameVersion", "WhiteToMove", "SearchDepth", "ComputerPlaysWhite",
                            "ComputerPlaysBlack", "Position", "WhiteOnTop", "LastMove"}) {
        ini.ReadString(section, key, "failed");
        ini.ReadInteger(section, key, 1);
    }
    const QByteArray position(64, ' ');
    if (ini.WriteString(section, "Position", position) && ini.ReadString(section, "Position", "") != position)
        std::abort();
    IniFile again;
    again.SetBytes(ini.Bytes());
    if (again.ReadString(section, "Position", "") != position) std::abort();
    return 0;
}
