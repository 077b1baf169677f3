// Reads arbitrary text as a settings file: every key of every section reads as a string,
// a number, a flag and a size without harm, and a value written into the file reads back
// with every other line as it was.
#include "graphics/MemoryBudget.h"
#include "platform/IniFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

// A private folder on a memory file system for the writes; none: the writes are skipped.
const std::string& scratchFile()
{
    static const std::string file = [] {
        char dir[] = "/dev/shm/anivor-fuzz-ini-XXXXXX";
        return ::mkdtemp(dir) ? std::string(dir) + "/anivor.ini" : std::string();
    }();
    return file;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    TIniFile32 ini = TIniFile32::FromText(scratchFile(), text);
    std::string section;
    for (const std::string& line : ini.Lines()) {
        const std::size_t open = line.find('['), close = line.rfind(']');
        if (open != std::string::npos && close != std::string::npos && open < close) {
            section = line.substr(open + 1, close - open - 1);
            continue;
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        const std::string key = line.substr(0, eq);
        const std::string value = ini.ReadString(section, key, "default");
        (void)ini.ReadInteger(section, key, 7);
        (void)ini.ReadBool(section, key, true);
        (void)MemoryBudget::ParseSize(value);
    }
    if (scratchFile().empty())
        return 0;
    const auto before = ini.Lines();
    try {
        ini.WriteInteger("Fuzz", "Key", 12345);
    } catch (const EIniWriteError&) {
        __builtin_trap();
    }
    const TIniFile32 back(scratchFile());
    if (back.ReadInteger("Fuzz", "Key", 0) != 12345 || back.Lines() != ini.Lines())
        __builtin_trap();
    // Every other line is still there: at most the written key's own line changed.
    std::size_t kept = 0;
    for (const std::string& line : before)
        for (const std::string& now : back.Lines())
            if (line == now) {
                ++kept;
                break;
            }
    if (kept + 1 < before.size())
        __builtin_trap();
    return 0;
}
