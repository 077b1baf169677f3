// Runs arbitrary text as a script through the host with "gfx" on a small picture and a
// short timeout, in this process as the script runner (anivor-cli --script-runner) runs
// it: whatever the text does (syntax errors, wild arguments, endless loops, deep
// recursion, huge arrays), the run must end with or without an error, and the picture
// must keep its size.
#include "graphics/MemoryBudget.h"
#include "scripting/ScriptSession.h"

#include <QGuiApplication>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

// Fontconfig keeps caches for the life of the process, which the leak checker would
// report after the first text drawn.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig\n";
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication app(*argc, *argv);
    MemoryBudget::SetLimit(std::uint64_t(256) << 20);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A prefix of calls makes random text reach the members more often.
    static const char* const kPrefixes[] = {"", "gfx.", "gfx.Polygon([", "gfx.Effect('", "gfx.PenColor = '#"};
    const std::string prefix = size > 0 ? kPrefixes[data[0] % 5] : "";
    const std::string text = prefix + std::string(reinterpret_cast<const char*>(data) + (size > 0), size > 0 ? size - 1 : 0);
    TBitmap bitmap(24, 16);
    TBitmapPictureTarget picture(bitmap);
    TScriptSession session(&picture);
    session.se.TimeoutSeconds = 0.2;
    session.se.MemoryLimit = std::uint64_t(128) << 20;
    (void)session.RunInProcess(text);
    if (picture.Picture().Width() != 24 || picture.Picture().Height() != 16)
        std::abort();
    return 0;
}
