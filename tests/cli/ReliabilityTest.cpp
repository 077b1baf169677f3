// anivor-cli against inputs meant to hurt it: work past the memory budget is refused at
// once naming the size (huge claims weighed before any memory is taken), odd paths are
// refused at once, GIFs without a picture are refused, cut GIFs keep their frames, and
// every message is our own.
#include "CliRunner.h"
#include "gif/GifBytes.h"
#include "gif/GIFImage.h"
#include "graphics/BmpFile.h"
#include "graphics/FileWrite.h"
#include "support/FFmpegTool.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// A few bytes claiming a 16384 x 16384 screen, with one pixel to show on it.
Bytes hugeScreenGif()
{
    Bytes b = GifHeader(16384, 16384);
    Append(b, GifFrameHead(0, 0, 1, 1, 1));
    b.push_back(2);
    Append(b, SubBlocks(PackCodes({{4, 3}, {1, 3}, {5, 3}})));
    b.push_back(0x3B);
    return b;
}

double secondsOf(const std::function<void()>& run)
{
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool startsWith(const std::string& s, const std::string& prefix) { return s.rfind(prefix, 0) == 0; }

} // namespace

TEST(CliReliability, WorkPastTheMemoryLimitIsRefusedAtOnceAndARaisedLimitRuns)
{
    TempDir dir;
    WriteTestFile(dir.file("huge.gif"), hugeScreenGif());
    SaveBmpFile(SolidBitmap(400, 300, clRed), dir.file("a.bmp"));
    SaveBmpFile(SolidBitmap(20, 20, clBlue), dir.file("b.bmp"));
    const std::string out = dir.file("out.gif");

    CliRun r;
    const double seconds = secondsOf([&] { r = RunCli(dir, "wizard 0 " + dir.file("huge.gif") + " " + dir.file("b.bmp") + " -o " + out); });
    EXPECT_EQ(r.Exit, 1);
    EXPECT_TRUE(startsWith(r.Err, "anivor-cli wizard: Not enough memory: a wizard run of 10 frames of 16384 x 16384 needs "))
        << r.Err;
    EXPECT_NE(r.Err.find("the memory limit is 2 GB"), std::string::npos) << r.Err;
    EXPECT_LT(seconds, 1.5);
    EXPECT_FALSE(std::filesystem::exists(out));
    // make holds little besides the picture itself: under 2 GB it makes this one, so a
    // lower limit shows the refusal.
    const CliRun m = RunCli(dir, "--memory-limit 1G make -o " + out + " " + dir.file("huge.gif"));
    EXPECT_EQ(m.Exit, 1);
    EXPECT_TRUE(startsWith(m.Err, "anivor-cli make: Not enough memory: an animation of 1 frame of 16384 x 16384 needs "))
        << m.Err;

    // A small picture under a small limit: refused; the limit raised, on the command line
    // (anywhere, either spelling) or in the settings file, it runs.
    const std::string args = "wizard 0 " + dir.file("a.bmp") + " " + dir.file("b.bmp") + " -n 4 -o " + out;
    const CliRun low = RunCli(dir, "--memory-limit 1M " + args);
    EXPECT_EQ(low.Exit, 1);
    EXPECT_NE(low.Err.find("the memory limit is 1 MB"), std::string::npos) << low.Err;
    const CliRun high = RunCli(dir, args + " --memory-limit=64M");
    EXPECT_EQ(high.Exit, 0) << high.Err;
    EXPECT_TRUE(std::filesystem::exists(out));

    TempDir home;
    WriteTestFile(home.file("anivor.ini"), Bytes{'[', 'M', 'e', 'm', 'o', 'r', 'y', ']', '\n', 'L', 'i', 'm', 'i', 't', '=', '1', 'M', '\n'});
    const std::string env = "ANIVOR_HOME='" + home.path().string() + "'";
    EXPECT_EQ(RunCli(dir, args, env).Exit, 1);
    EXPECT_EQ(RunCli(dir, "--memory-limit 64M " + args, env).Exit, 0);

    const CliRun bad = RunCli(dir, "image-info " + dir.file("a.bmp") + " --memory-limit lots");
    EXPECT_EQ(bad.Exit, 2);
    EXPECT_NE(bad.Err.find("--memory-limit takes a size such as 512M or 2G, not 'lots'"), std::string::npos) << bad.Err;
}

TEST(CliReliability, FoldersDevicesAndPipesAreRefusedAtOnce)
{
    TempDir dir;
    std::filesystem::create_directory(dir.file("folder.gif"));
    ASSERT_EQ(::mkfifo(dir.file("pipe.gif").c_str(), 0600), 0);
    SaveBmpFile(SolidBitmap(4, 4, clRed), dir.file("b.bmp"));
    // Each path through two commands; scripts/hostile-measure.py sends them through all.
    const std::string folder = dir.file("folder.gif"), pipe = dir.file("pipe.gif");
    for (const auto& [path, command] : std::vector<std::pair<std::string, std::string>>{
             {folder, "image-info " + folder}, {folder, "make -o " + dir.file("o.gif") + " " + folder},
             {"/dev/zero", "convert /dev/zero " + dir.file("o.bmp")}, {"/dev/zero", "gif-info /dev/zero"},
             {pipe, "gif-frames " + pipe + " " + dir.path().string()},
             {pipe, "wizard 0 " + pipe + " " + dir.file("b.bmp") + " -o " + dir.file("o.gif")}}) {
        {
            SCOPED_TRACE(command);
            CliRun r;
            EXPECT_LT(secondsOf([&] { r = RunCli(dir, command); }), 1.5);
            EXPECT_EQ(r.Exit, 1);
            EXPECT_NE(r.Err.find(": Unable to read " + path + ": it is a "), std::string::npos) << r.Err;
        }
    }
}

TEST(CliReliability, GifsWithoutAPictureAreRefusedAndCutGifsKeepTheirFrames)
{
    TempDir dir;
    Bytes empty = GifHeader(20, 20);
    empty.push_back(0x3B);
    WriteTestFile(dir.file("empty.gif"), empty);
    Bytes zero = GifHeader(0, 0);
    zero.push_back(0x3B);
    WriteTestFile(dir.file("zero.gif"), zero);
    SaveBmpFile(SolidBitmap(4, 4, clRed), dir.file("b.bmp"));
    for (const std::string name : {"empty.gif", "zero.gif"}) {
        const std::string path = dir.file(name);
        for (const std::string& command : {"make -o " + dir.file("o.gif") + " " + path, "gif-frames " + path + " " + dir.path().string(),
                                           "wizard 0 " + path + " " + dir.file("b.bmp") + " -o " + dir.file("o.gif")}) {
            SCOPED_TRACE(command);
            const CliRun r = RunCli(dir, command);
            EXPECT_EQ(r.Exit, 1);
            EXPECT_NE(r.Err.find(path + ": the GIF file has no picture"), std::string::npos) << r.Err;
        }
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("o.gif")));

    // Three frames, cut inside the third frame's data: two whole frames and a warning.
    TGIFImage gif;
    for (TColor c : {clRed, clLime, clBlue})
        gif.Add(SolidBitmap(30, 20, c));
    Bytes bytes = gif.SaveToBytes();
    bytes.resize(bytes.size() - 4);
    WriteTestFile(dir.file("cut.gif"), bytes);
    std::filesystem::create_directory(dir.file("frames"));
    const CliRun frames = RunCli(dir, "gif-frames " + dir.file("cut.gif") + " " + dir.file("frames"));
    EXPECT_EQ(frames.Exit, 0) << frames.Err;
    EXPECT_NE(frames.Out.find("Frame2.bmp"), std::string::npos) << frames.Out;
    EXPECT_TRUE(startsWith(frames.Err, "anivor-cli gif-frames: warning: " + dir.file("cut.gif") + ": Premature end of data\n"))
        << frames.Err;
    const CliRun info = RunCli(dir, "gif-info " + dir.file("cut.gif"));
    EXPECT_EQ(info.Exit, 0);
    EXPECT_TRUE(info.Out.ends_with("\nNo trailer\n")) << info.Out;
}

TEST(CliReliability, MessagesSayWhatWentWrongInOurOwnWords)
{
    TempDir dir;
    SaveBmpFile(SolidBitmap(4, 4, clRed), dir.file("a.bmp"));
    const CliRun write = RunCli(dir, "convert " + dir.file("a.bmp") + " " + dir.file("missing/o.bmp"));
    EXPECT_EQ(write.Exit, 1);
    EXPECT_EQ(write.Err, "anivor-cli convert: Unable to write to " + dir.file("missing/o.bmp") + ": No such file or directory\n");
    const CliRun kind = RunCli(dir, "wizard -1 " + dir.file("a.bmp") + " " + dir.file("a.bmp") + " -o " + dir.file("o.gif"));
    EXPECT_EQ(kind.Exit, 2);
    EXPECT_NE(kind.Err.find("'-1' is neither"), std::string::npos) << kind.Err;
    // A 65535 x 65535 header is described for BMP as for PNG; decoding it is refused.
    Bytes bmp = {'B', 'M'};
    for (std::uint32_t v : {70u, 0u, 54u, 40u, 65535u, 65535u})
        for (int i = 0; i < 4; ++i)
            bmp.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    Append(bmp, {1, 0, 24, 0});
    bmp.resize(70, 0);
    WriteTestFile(dir.file("huge.bmp"), bmp);
    const CliRun info = RunCli(dir, "image-info " + dir.file("huge.bmp"));
    EXPECT_EQ(info.Exit, 0) << info.Err;
    EXPECT_NE(info.Out.find("Width: 65535"), std::string::npos);
    const CliRun conv = RunCli(dir, "convert " + dir.file("huge.bmp") + " " + dir.file("o.bmp"));
    EXPECT_EQ(conv.Exit, 1);
    EXPECT_NE(conv.Err.find("too large (65535 x 65535 pixels"), std::string::npos) << conv.Err;
}

// anivor-cli stopped by SIGTERM, SIGINT or SIGKILL while it writes leaves no temporary file.
TEST(CliReliability, AnInterruptedWriteLeavesNothingBehind)
{
    TempDir dir;
    SaveBmpFile(SolidBitmap(3000, 2000, clRed), dir.file("in.bmp"));
    const std::string out = dir.file("out.bmp");
    // True while the process has a file of the folder open for writing.
    auto writing = [&](pid_t pid) {
        std::error_code ec;
        for (const auto& e : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ec)) {
            const std::string target = std::filesystem::read_symlink(e.path(), ec).string();
            if (target.rfind(dir.path().string() + "/", 0) == 0 && target.find("in.bmp") == std::string::npos)
                return true;
        }
        return false;
    };
    const int signals[] = {SIGTERM, SIGINT, SIGKILL};
    int caught = 0;
    for (int attempt = 0; attempt < 6 && caught < 3; ++attempt) {
        const int sig = signals[caught];
        std::filesystem::remove(out);
        std::string cli = ANIVOR_CLI_PATH, convert = "convert", in = dir.file("in.bmp");
        char* argv[] = {cli.data(), convert.data(), in.data(), const_cast<char*>(out.c_str()), nullptr};
        pid_t pid = 0;
        ASSERT_EQ(::posix_spawn(&pid, cli.c_str(), nullptr, nullptr, argv, environ), 0);
        // Wait for the write to begin, then stop the program.
        bool seen = false;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!seen && std::chrono::steady_clock::now() < deadline) {
            seen = writing(pid);
            int status = 0;
            if (!seen && ::waitpid(pid, &status, WNOHANG) == pid) {
                pid = 0;
                break;
            }
        }
        if (pid == 0)
            continue; // finished before the write was seen: try again
        ::kill(pid, sig);
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        if (!seen || WIFEXITED(status))
            continue; // the write was done before the signal came
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig);
        for (const auto& e : std::filesystem::directory_iterator(dir.path()))
            EXPECT_EQ(e.path().filename(), "in.bmp") << e.path();
        ++caught;
    }
    if (caught == 0)
        GTEST_SKIP() << "every write was done before it could be interrupted";
}

namespace {

// One colour as tightly as LZW packs it: every code one pixel longer than the last.
Bytes flatLzw(std::int64_t pixels)
{
    std::vector<std::pair<int, int>> codes;
    std::int64_t done = 0;
    while (done < pixels) {
        int width = 3, free = 6;
        std::int64_t length = 1;
        codes.push_back({4, 3});
        codes.push_back({0, 3});
        ++done;
        while (done < pixels && free < 4095) {
            codes.push_back({free, width}); // the previous string and its first pixel again
            done += ++length;
            if (++free >= (1 << width) && width < 12)
                ++width;
        }
    }
    codes.push_back({5, 12});
    Bytes b{2};
    Append(b, SubBlocks(PackCodes(codes)));
    return b;
}

// A frame of one colour, side x side, on a screen of screen x screen.
Bytes flatGif(int screen, int side)
{
    Bytes b = GifHeader(screen, screen);
    Append(b, GifFrameHead(0, 0, side, side, 1));
    Append(b, flatLzw(std::int64_t(side) * side));
    b.push_back(0x3B);
    return b;
}

// An 8-bit run-length AVI of `frames` frames of w x h, each only the end-of-picture code.
Bytes rleAvi(int w, int h, int frames)
{
    auto le = [](Bytes& b, std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    auto chunk = [&](const char* id, const Bytes& body) {
        Bytes c(id, id + 4);
        le(c, static_cast<std::uint32_t>(body.size()), 4);
        Append(c, body);
        if (body.size() & 1)
            c.push_back(0);
        return c;
    };
    auto list = [&](const char* kind, const Bytes& body) {
        Bytes b(kind, kind + 4);
        Append(b, body);
        return chunk("LIST", b);
    };
    Bytes avih, strh{'v', 'i', 'd', 's', 'm', 'r', 'l', 'e'}, strf, movi{'m', 'o', 'v', 'i'}, idx;
    for (std::uint32_t v : {40000u, 0u, 0u, 0x10u, std::uint32_t(frames), 0u, 1u, 0u, std::uint32_t(w), std::uint32_t(h), 0u, 0u, 0u, 0u})
        le(avih, v, 4);
    for (std::uint32_t v : {0u, 0u, 0u, 1u, 25u, 0u, std::uint32_t(frames), 0u, 0u, 0u, 0u, 0u})
        le(strh, v, 4);
    for (std::uint32_t v : {40u, std::uint32_t(w), std::uint32_t(h)})
        le(strf, v, 4);
    le(strf, 1, 2);
    le(strf, 8, 2);
    for (std::uint32_t v : {1u, 0u, 0u, 0u, 256u, 0u})
        le(strf, v, 4);
    for (int i = 0; i < 256; ++i)
        le(strf, 0x010101u * static_cast<std::uint32_t>(i), 4);
    for (int i = 0; i < frames; ++i) {
        Append(movi, chunk("00dc", {0, 1}));
        Append(idx, {'0', '0', 'd', 'c'});
        for (std::uint32_t v : {0x10u, std::uint32_t(4 + 10 * i), 2u})
            le(idx, v, 4);
    }
    Bytes riff{'A', 'V', 'I', ' '};
    Append(riff, list("hdrl", [&] {
               Bytes b = chunk("avih", avih);
               Bytes strl = chunk("strh", strh);
               Append(strl, chunk("strf", strf));
               Append(b, list("strl", strl));
               return b;
           }()));
    Append(riff, list("movi", Bytes(movi.begin() + 4, movi.end())));
    Append(riff, chunk("idx1", idx));
    return chunk("RIFF", riff);
}

// Under the sanitizers their shadow memory and quarantine count in the peak, and runs
// are several times slower: only the answers are checked there.
#ifdef ANIVOR_SANITIZED
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

// anivor-cli run in a process of its own, so that its peak memory is its alone.
struct TMeasured {
    CliRun Run;
    double Seconds = 0;
    double PeakMB = 0;
};

TMeasured measuredCli(const TempDir& dir, const std::string& args)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return {};
    TMeasured m;
    m.Seconds = secondsOf([&] {
        const pid_t pid = ::fork();
        if (pid == 0) {
            const CliRun r = RunCli(dir, args);
            rusage usage {};
            ::getrusage(RUSAGE_CHILDREN, &usage);
            const long values[2] = {r.Exit, usage.ru_maxrss};
            (void)!::write(fds[1], values, sizeof values);
            ::_exit(0);
        }
        long values[2] = {-1, 0};
        (void)!::read(fds[0], values, sizeof values);
        ::waitpid(pid, nullptr, 0);
        m.Run.Exit = static_cast<int>(values[0]);
        m.PeakMB = static_cast<double>(values[1]) / 1024.0;
    });
    ::close(fds[0]);
    ::close(fds[1]);
    m.Run.Out = ReadTextFile(dir.file("cli-stdout.txt"));
    m.Run.Err = ReadTextFile(dir.file("cli-stderr.txt"));
    return m;
}

} // namespace

// Files of a few bytes to a few dozen KB that claim or decode to huge pictures: each job
// is weighed against the budget before the memory is taken, FFmpeg's decoding counted
// too, and frames are clipped to the screen as they are read. Every run stays within
// its limit (plus the program itself) and ends quickly, done or refused.
TEST(CliReliability, HugeClaimsAreWeighedBeforeTheMemoryIsTaken)
{
    TempDir dir;
    WriteTestFile(dir.file("rle-8192.avi"), rleAvi(8192, 8192, 8));
    WriteTestFile(dir.file("screen.gif"), hugeScreenGif());
    WriteTestFile(dir.file("on-ten.gif"), flatGif(10, 16384));
    WriteTestFile(dir.file("flat.gif"), flatGif(8192, 8192));
    SaveBmpFile(SolidBitmap(8, 8, clRed), dir.file("small.bmp"));
    MakeVideo(dir.file("hd.mp4"), "-c:v libx264 -preset ultrafast -pix_fmt yuv420p", 1920, 1080, "25", 12);
    const std::string small = dir.file("small.bmp"), flat = dir.file("flat.gif");
    struct Case {
        std::string Args;
        int Limit; // MB
        bool Refused;
    };
    const Case cases[] = {
        {"avi2gif " + dir.file("rle-8192.avi") + " -o " + dir.file("a.gif"), 1024, true},
        {"gif2avi " + dir.file("screen.gif") + " -o " + dir.file("a.avi"), 1024, true},
        {"make -o " + dir.file("ten.gif") + " " + dir.file("on-ten.gif"), 64, false},
        {"frame-op Blur " + flat + " -o " + dir.file("b.bmp"), 700, true},
        {"painter Twist 50 " + flat + " -o " + dir.file("p.bmp"), 700, true},
        {"wizard 94 " + small + " " + small + " --actor " + flat + " -n 4 -o " + dir.file("w.gif"), 400, true},
        {"avi2gif " + dir.file("hd.mp4") + " -o " + dir.file("hd.gif"), 128, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Args);
        const TMeasured m = measuredCli(dir, "--memory-limit " + std::to_string(c.Limit) + "M " + c.Args);
        EXPECT_EQ(m.Run.Exit, c.Refused ? 1 : 0) << m.Run.Err;
        if (c.Refused)
            EXPECT_NE(m.Run.Err.find("Not enough memory"), std::string::npos) << m.Run.Err;
        if (!kSanitized) {
            // Refused before the large pictures were made: at most the decoded input.
            if (c.Refused)
                EXPECT_LT(m.PeakMB, 300);
            EXPECT_LT(m.PeakMB, c.Limit + 100);
            EXPECT_LT(m.Seconds, 15);
        }
    }
    // The 16384 x 16384 frame on a 10 x 10 screen became a 10 x 10 frame.
    TGIFImage made;
    made.LoadFromFile(dir.file("ten.gif"));
    ASSERT_EQ(made.Count(), 1);
    EXPECT_EQ(made.Images[0]->Width(), 10);
    EXPECT_EQ(made.Images[0]->Height(), 10);
}

// make holds no frame at 24 bits and, past a small share of the budget, none at 8 bits
// either: four times the frames cost about the same peak memory, and far more frames than
// the limit could hold even at one byte a pixel are made within it.
TEST(CliReliability, MakeMemoryDoesNotGrowWithTheAnimationsLength)
{
    TempDir dir;
    // Four pictures of 640 x 480: colour blocks with a dithered ramp across the top.
    for (int k = 0; k < 4; ++k) {
        TBitmap b(640, 480);
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x) {
                std::uint8_t* p = b.ScanLine(y) + 3 * x;
                p[0] = static_cast<std::uint8_t>((x / 80 + k) % 2 ? 220 : 30);
                p[1] = static_cast<std::uint8_t>(y < 48 ? x * 255 / 639 : 90 + 40 * k);
                p[2] = static_cast<std::uint8_t>((y / 60 + k) % 3 * 100);
            }
        SaveBmpFile(b, dir.file("f" + std::to_string(k) + ".bmp"));
    }
    auto frames = [&](int n) {
        std::string list;
        for (int i = 0; i < n; ++i)
            list += " " + dir.file("f" + std::to_string(i % 4) + ".bmp");
        return list;
    };
    // 160 frames are 147 MB at 24 bits and 49 MB at 8: the limit is 48 MB.
    const TMeasured few = measuredCli(dir, "--memory-limit 48M make -o " + dir.file("few.gif") + frames(40));
    const TMeasured many = measuredCli(dir, "--memory-limit 48M make -o " + dir.file("many.gif") + frames(160));
    ASSERT_EQ(few.Run.Exit, 0) << few.Run.Err;
    ASSERT_EQ(many.Run.Exit, 0) << many.Run.Err;
    EXPECT_NE(many.Run.Out.find("160 frames, 640 x 480"), std::string::npos) << many.Run.Out;
    TGIFImage made;
    made.LoadFromFile(dir.file("many.gif"));
    ASSERT_EQ(made.Count(), 160);
    EXPECT_EQ(made.Images[159]->Data, made.Images[3]->Data);
    if (!kSanitized) {
        // 120 more frames: at one byte a pixel 37 MB more; held compressed a few MB.
        EXPECT_LT(many.PeakMB - few.PeakMB, 8) << few.PeakMB << " MB for 40 frames, " << many.PeakMB << " MB for 160";
        EXPECT_LT(many.PeakMB, 48 + 100);
    }
}
