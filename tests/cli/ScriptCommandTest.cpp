// anivor-cli script: a script drawing on a picture file, its errors, its timeout and the
// limits of the process it runs in.
#include "CliRunner.h"

#include "graphics/BmpFile.h"
#include "graphics/FileWrite.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

TEST(ScriptCommand, DrawsWritesAndReportsErrors)
{
    TempDir dir;
    SaveBmpFile(SolidBitmap(40, 30, clWhite), dir.file("in.bmp"));
    const auto script = [&](const std::string& name, const std::string& text) {
        WriteTestFile(dir.file(name), std::vector<unsigned char>(text.begin(), text.end()));
        return "'" + dir.file(name) + "' '" + dir.file("in.bmp") + "' -o '" + dir.file("out.bmp") + "'";
    };

    CliRun run = RunCli(dir, "script " + script("ok.js", "gfx.PenColor = '#FF0000';\ngfx.Line(0, 3, gfx.Width, 3);\n"));
    ASSERT_EQ(run.Exit, 0) << run.Err;
    TBitmap out = LoadBmpFile(dir.file("out.bmp"));
    EXPECT_EQ(out.Width(), 40);
    const std::uint8_t* bgr = out.ScanLine(3) + 39 * 3;
    EXPECT_EQ(bgr[0] + bgr[1] * 256 + bgr[2] * 65536, 0xFF0000); // red

    run = RunCli(dir, "script " + script("bad.js", "gfx.Line(0, 0, 5, 5);\n  gfx.Line(0, 'abc', 5, 5);\n"));
    EXPECT_EQ(run.Exit, 1);
    EXPECT_NE(run.Err.find("bad.js: Line 2, position 7: Type mismatch\n  gfx.Line(0, 'abc', 5, 5);"), std::string::npos)
        << run.Err;

    run = RunCli(dir, "script " + script("loop.js", "for (;;) {}") + " --timeout 0.2");
    EXPECT_EQ(run.Exit, 1);
    EXPECT_NE(run.Err.find("ran longer than 0.2 seconds"), std::string::npos) << run.Err;

    run = RunCli(dir, "script " + script("x.js", "") + " --timeout never");
    EXPECT_EQ(run.Exit, 2);
    run = RunCli(dir, "script '" + dir.file("x.js") + "' '" + dir.file("in.bmp") + "'");
    EXPECT_EQ(run.Exit, 2);
    run = RunCli(dir, "script '" + dir.file("missing.js") + "' '" + dir.file("in.bmp") + "' -o '" + dir.file("o.bmp") + "'");
    EXPECT_EQ(run.Exit, 1);
}

namespace {

struct TMeasuredRun {
    CliRun Run;
    double Seconds = 0;
    double PeakMB = 0; // the largest of the command and the runner it starts
};

TMeasuredRun measuredScript(const TempDir& dir, const std::string& args)
{
    const std::string command = "'" + std::string(ANIVOR_CLI_PATH) + "' " + args + " >'" + dir.file("out.txt") + "' 2>'"
                                + dir.file("err.txt") + "'";
    TMeasuredRun m;
    QElapsedTimer clock;
    clock.start();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    m.Seconds = clock.elapsed() / 1000.0;
    m.PeakMB = usage.ru_maxrss / 1024.0;
    m.Run = {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadTextFile(dir.file("out.txt")), ReadTextFile(dir.file("err.txt"))};
    return m;
}

#ifdef ANIVOR_SANITIZED
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

} // namespace

// Scripts that crashed the engine, hung inside built-ins, grew without bound or threw
// something other than an error: each ends with exit code 1 and its reason within its
// timeout plus 2 s, stays under the memory limit plus 100 MB, and writes nothing.
TEST(ScriptCommand, HostileScriptsEndWithTheirReasonWithinTheLimits)
{
    TempDir dir;
    SaveBmpFile(SolidBitmap(40, 30, clWhite), dir.file("in.bmp"));
    const struct {
        const char* Script;
        const char* Options;
        const char* Reason;
        double LimitMB;
    } cases[] = {
        {"var a = []; for (var i = 0; i < 1e6; i++) a = [a]; String(a);", "", "nested too deeply", 2048},
        {"new RegExp('('.repeat(1e5) + ')'.repeat(1e5));", "", "nested too deeply", 2048},
        {"var e = new Error('x'); Object.defineProperty(e, 'message', { get: function () { for (;;) {} } }); throw e;", "",
         "The script stopped: it ran longer than 3 seconds", 2048},
        {"var e = new Error('x'); e.toString = function () { for (;;) {} }; throw e;", "",
         "The script stopped: it ran longer than 3 seconds", 2048},
        {"new Array(3e8).fill(0);", "", "The script stopped: it ran longer than 3 seconds", 2048},
        {"new Array(3e8).fill(0);", "--memory-limit 128M", "The script stopped: it needed more memory than the", 128},
        {"'x'.repeat(2e9);", "--memory-limit 256M", "The script stopped: it needed more memory than the", 256},
        {"var a = []; for (var i = 0; i < 3e6; i++) a.push((i * 7919) % 3e6); a.sort();", "",
         "The script stopped: it ran longer than 3 seconds", 2048},
        {"throw 'oops';", "", "Line 1, position 1: oops\nthrow 'oops';", 2048},
        {"\n  throw 42;", "", "Line 2, position 3: 42", 2048},
        {"throw null;", "", "Line 1, position 1: null", 2048},
        {"throw { a: 1 };", "", "Line 1, position 1: [object Object]", 2048},
        {"throw '';", "", "An empty value was thrown", 2048},
        {"throw 'a\\u0007b' + 'c'.repeat(5000);", "", "a\\x07bccc", 2048},
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string name = "hostile" + std::to_string(n++) + ".js";
        const std::string text = c.Script;
        WriteTestFile(dir.file(name), std::vector<unsigned char>(text.begin(), text.end()));
        std::remove(dir.file("out.bmp").c_str());
        const TMeasuredRun m = measuredScript(dir, "script '" + dir.file(name) + "' '" + dir.file("in.bmp") + "' -o '"
                                                       + dir.file("out.bmp") + "' --timeout 3 " + c.Options);
        EXPECT_EQ(m.Run.Exit, 1) << c.Script << "\n" << m.Run.Err;
        // Under the sanitizers their own allocator may end a memory bomb first: the run
        // still stops, but the runner cannot name the reason.
        const bool memoryBomb = std::string(c.Reason).find("more memory") != std::string::npos;
        EXPECT_NE(m.Run.Err.find(kSanitized && memoryBomb ? "The script stopped" : c.Reason), std::string::npos)
            << c.Script << "\n" << m.Run.Err;
        EXPECT_FALSE(std::ifstream(dir.file("out.bmp")).good()) << c.Script;
        EXPECT_LT(m.Run.Err.size(), 1200u) << c.Script; // a long thrown text is cut
        if (!kSanitized) {
            EXPECT_LT(m.Seconds, 5.0) << c.Script;
            EXPECT_LT(m.PeakMB, c.LimitMB + 100) << c.Script;
        }
    }
}

// Messages of the command line that name what went wrong: an error's source line cut to
// 200 characters with control characters escaped, a missing presets file called missing,
// and an AVI whose stream format lacks a frame size read with the main header's.
TEST(ScriptCommand, MessagesSayWhatIsWrong)
{
    TempDir dir;
    SaveBmpFile(SolidBitmap(40, 30, clWhite), dir.file("in.bmp"));
    const std::string longLine = "var s = '\x1b[31m" + std::string(300, 'x') + "'; gfx.Line(0, 'bad', 1, 1);";
    WriteTestFile(dir.file("long.js"), std::vector<unsigned char>(longLine.begin(), longLine.end()));
    CliRun run = RunCli(dir, "script '" + dir.file("long.js") + "' '" + dir.file("in.bmp") + "' -o '" + dir.file("o.bmp") + "'");
    EXPECT_EQ(run.Exit, 1);
    const std::string shown = "var s = '\\x1b[31m" + std::string(200 - 14, 'x') + "...";
    EXPECT_NE(run.Err.find(": Type mismatch\n" + shown + "\n"), std::string::npos) << run.Err;

    run = RunCli(dir, "backdrop -s 20x20 -o '" + dir.file("b.bmp") + "' --preset Sky --presets '" + dir.file("none.ini") + "'");
    EXPECT_EQ(run.Exit, 1);
    EXPECT_NE(run.Err.find(dir.file("none.ini") + ": the presets file is missing"), std::string::npos) << run.Err;

    // gif2avi writes an AVI; its stream format then loses the frame size, the main header keeps it.
    SaveBmpFile(SolidBitmap(64, 48, clRed), dir.file("red.bmp"));
    ASSERT_EQ(RunCli(dir, "make -o '" + dir.file("red.gif") + "' '" + dir.file("red.bmp") + "' '" + dir.file("red.bmp") + "'").Exit, 0);
    ASSERT_EQ(RunCli(dir, "gif2avi '" + dir.file("red.gif") + "' -o '" + dir.file("red.avi") + "'").Exit, 0);
    std::vector<std::uint8_t> avi = ReadFileBytes(dir.file("red.avi"));
    const std::string strf = "strf";
    const auto at = std::search(avi.begin(), avi.end(), strf.begin(), strf.end());
    ASSERT_NE(at, avi.end());
    std::fill(at + 12, at + 20, 0); // biWidth, biHeight
    WriteTestFile(dir.file("nosize.avi"), avi);
    run = RunCli(dir, "avi2gif '" + dir.file("nosize.avi") + "' -o '" + dir.file("back.gif") + "'");
    EXPECT_EQ(run.Exit, 0) << run.Err;
    EXPECT_NE(run.Out.find("64 x 48"), std::string::npos) << run.Out;
}
