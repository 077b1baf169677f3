// Reading takes regular files only; writing says why it failed and leaves nothing behind,
// not even when the process is interrupted in the middle.
#include "graphics/Exception.h"
#include "graphics/FileWrite.h"
#include "graphics/MemoryBudget.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <csignal>
#include <filesystem>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string readFailure(const std::string& path)
{
    try {
        ReadFileBytes(path);
    } catch (const std::exception& e) {
        return e.what();
    }
    return "no error";
}

std::string writeFailure(const std::string& path)
{
    try {
        WriteFileAtomic(path, std::string("x"));
    } catch (const std::exception& e) {
        return e.what();
    }
    return "no error";
}

mode_t modeOf(const std::string& path)
{
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st.st_mode;
}

std::string text(const std::string& path)
{
    const std::vector<std::uint8_t> b = ReadFileBytes(path);
    return std::string(b.begin(), b.end());
}

// Starts a child that writes 1 MB to `path` and waits; kills it with SIGKILL mid-write.
void killedWrite(const std::string& path)
{
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        WriteFileAtomic(path, [&](TFileSink& sink) {
            sink.Write(std::vector<std::uint8_t>(1 << 20, 1));
            static_cast<TAtomicFile&>(sink).WriteAt(0, "x", 1); // flushes to the file
            const char c = 'x';
            (void)!::write(ready[1], &c, 1);
            for (;;)
                ::pause();
        });
        ::_exit(3);
    }
    char c = 0;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    ::close(ready[0]);
    ::close(ready[1]);
}

int entries(const std::filesystem::path& dir)
{
    int n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir))
        ++n;
    return n;
}

} // namespace

TEST(FileAccess, OnlyRegularFilesAreReadAndRefusalsAreQuick)
{
    TempDir dir;
    const std::string fifo = dir.file("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(readFailure(dir.path().string()), "Unable to read " + dir.path().string() + ": it is a folder, not a file");
    EXPECT_EQ(readFailure("/dev/zero"), "Unable to read /dev/zero: it is a device, not a file");
    EXPECT_EQ(readFailure(fifo), "Unable to read " + fifo + ": it is a named pipe, not a file");
    EXPECT_EQ(readFailure(dir.file("none")), "Unable to read " + dir.file("none") + ": No such file or directory");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));

    // A file larger than the budget allows is refused before it is read.
    WriteTestFile(dir.file("big"), std::vector<unsigned char>(300000, 1));
    {
        MemoryBudget::TScopedLimit limit(MemoryBudget::InUse() + 100000);
        EXPECT_THROW(ReadFileBytes(dir.file("big")), EOutOfMemory);
    }
    EXPECT_EQ(ReadFileBytes(dir.file("big")).size(), 300000u);
}

TEST(FileAccess, WriteFailuresGiveTheSystemsReasonAndLeaveNothing)
{
    TempDir dir;
    EXPECT_EQ(writeFailure(dir.file("missing/x.bin")), "Unable to write to " + dir.file("missing/x.bin") + ": No such file or directory");
    EXPECT_EQ(writeFailure(dir.path().string()), "Unable to write to " + dir.path().string() + ": Is a directory");

    // A streamed write that fails halfway keeps the old file and leaves no temporary.
    const std::string path = dir.file("out.bin");
    WriteFileAtomic(path, std::string("old"));
    EXPECT_THROW(WriteFileAtomic(path,
                                 [](TFileSink& sink) {
                                     sink.Write(std::vector<std::uint8_t>(200000, 5));
                                     throw Exception("stopped");
                                 }),
                 Exception);
    EXPECT_EQ(ReadFileBytes(path).size(), 3u);
    EXPECT_EQ(entries(dir.path()), 1);
    // Streamed in many small pieces and one large one: the bytes arrive in order.
    WriteFileAtomic(path, [](TFileSink& sink) {
        for (int i = 0; i < 100000; ++i) {
            const std::uint8_t b = static_cast<std::uint8_t>(i);
            sink.Write(&b, 1);
        }
        sink.Write(std::vector<std::uint8_t>(100000, 9));
    });
    const std::vector<std::uint8_t> bytes = ReadFileBytes(path);
    ASSERT_EQ(bytes.size(), 200000u);
    EXPECT_EQ(bytes[70001], static_cast<std::uint8_t>(70001));
    EXPECT_EQ(bytes[150000], 9);
}

// A write interrupted by SIGTERM or SIGINT removes its named temporary file, and the
// process still ends by that signal.
TEST(FileAccess, InterruptedWritesRemoveTheirTemporaryFile)
{
    TAtomicFile::UseUnnamedTemporaryFiles(false);
    struct TRestore {
        ~TRestore() { TAtomicFile::UseUnnamedTemporaryFiles(true); }
    } restore;
    for (int sig : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(sig);
        TempDir dir;
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            RemoveTemporaryFilesOnInterrupt();
            try {
                WriteFileAtomic(dir.file("big.bin"), [&](TFileSink& sink) {
                    sink.Write(std::vector<std::uint8_t>(1 << 20, 1));
                    const char c = 'x';
                    (void)!::write(ready[1], &c, 1);
                    for (;;)
                        ::pause();
                });
            } catch (...) {
            }
            ::_exit(3);
        }
        char c = 0;
        ASSERT_EQ(::read(ready[0], &c, 1), 1);
        EXPECT_EQ(entries(dir.path()), 1) << "the temporary file exists while the write runs";
        ::kill(child, sig);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig);
        EXPECT_EQ(entries(dir.path()), 0);
        ::close(ready[0]);
        ::close(ready[1]);
    }
}

// A write keeps what its target is: links are written through, special files refused,
// modes and owners kept, new files made with the umask's mode.
TEST(FileAccess, WritesKeepTheNatureOfTheirTarget)
{
    TempDir dir;
    const std::string file = dir.file("private.bin");
    WriteFileAtomic(file, std::string("old"));
    ASSERT_EQ(::chmod(file.c_str(), 0600), 0);
    ASSERT_EQ(::symlink("private.bin", dir.file("link").c_str()), 0);
    ASSERT_EQ(::symlink("link", dir.file("link2").c_str()), 0);        // a chain of links
    ASSERT_EQ(::symlink("sub/new.bin", dir.file("dangling").c_str()), 0); // to a file not made yet
    std::filesystem::create_directory(dir.path() / "sub");
    ASSERT_EQ(::symlink(file.c_str(), dir.file("sub/absolute").c_str()), 0);
    const std::string fifo = dir.file("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string socketPath = dir.file("sock");
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr {};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, socketPath.c_str(), sizeof addr.sun_path - 1);
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);

    // Written through links: every link stays, the file behind them changes.
    for (const char* via : {"link", "link2", "sub/absolute"}) {
        SCOPED_TRACE(via);
        WriteFileAtomic(dir.file(via), std::string(via));
        EXPECT_TRUE(S_ISLNK(modeOf(dir.file(via))));
        EXPECT_EQ(text(file), via);
        EXPECT_EQ(modeOf(file) & 07777, 0600u) << "a private file stays private";
    }
    WriteFileAtomic(dir.file("dangling"), std::string("made"));
    EXPECT_TRUE(S_ISLNK(modeOf(dir.file("dangling"))));
    EXPECT_EQ(text(dir.file("sub/new.bin")), "made");

    // Devices, pipes and sockets are refused at once and stay what they are.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(writeFailure("/dev/null"), "Unable to write to /dev/null: it is a device, not a file");
    EXPECT_TRUE(S_ISCHR(modeOf("/dev/null")));
    EXPECT_EQ(writeFailure(fifo), "Unable to write to " + fifo + ": it is a named pipe, not a file");
    EXPECT_TRUE(S_ISFIFO(modeOf(fifo)));
    EXPECT_EQ(writeFailure(socketPath), "Unable to write to " + socketPath + ": it is a socket, not a file");
    EXPECT_TRUE(S_ISSOCK(modeOf(socketPath)));
    ASSERT_EQ(::symlink("/dev/null", dir.file("to-null").c_str()), 0);
    EXPECT_EQ(writeFailure(dir.file("to-null")), "Unable to write to " + dir.file("to-null") + ": it is a device, not a file");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    ::close(sock);

    // Replaced files keep their mode (and owner where we may set it); new ones take the umask.
    const std::string tool = dir.file("tool.sh");
    WriteFileAtomic(tool, std::string("#!/bin/sh"));
    ASSERT_EQ(::chmod(tool.c_str(), 0751), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(tool.c_str(), 12345, 23456), 0);
    }
    WriteFileAtomic(tool, std::string("#!/bin/sh\n"));
    struct stat st {};
    ASSERT_EQ(::stat(tool.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0751u);
    if (root) {
        EXPECT_EQ(st.st_uid, 12345u);
        EXPECT_EQ(st.st_gid, 23456u);
    }
    for (mode_t mask : {mode_t(022), mode_t(027), mode_t(077)}) {
        SCOPED_TRACE(mask);
        const mode_t old = ::umask(mask);
        const std::string fresh = dir.file("fresh" + std::to_string(mask));
        WriteFileAtomic(fresh, std::string("x"));
        ::umask(old);
        EXPECT_EQ(modeOf(fresh) & 07777, 0666u & ~mask);
    }
}

// A write killed outright leaves nothing: its temporary file has no name; where names are
// needed, the next write to the folder removes what a killed write left.
TEST(FileAccess, AKilledWriteLeavesNothingBehind)
{
    {
        TempDir dir;
        WriteFileAtomic(dir.file("kept.bin"), std::string("kept"));
        killedWrite(dir.file("kept.bin"));
        EXPECT_EQ(entries(dir.path()), 1);
        EXPECT_EQ(text(dir.file("kept.bin")), "kept");
    }
    TAtomicFile::UseUnnamedTemporaryFiles(false);
    struct TRestore {
        ~TRestore() { TAtomicFile::UseUnnamedTemporaryFiles(true); }
    } restore;
    TempDir dir;
    killedWrite(dir.file("big.bin"));
    ASSERT_EQ(entries(dir.path()), 1);
    const std::string left = std::filesystem::directory_iterator(dir.path())->path().filename().string();
    EXPECT_EQ(left.rfind(".anivor-tmp-", 0), 0u) << left;
    // Someone else's file of a similar name stays.
    WriteTestFile(dir.file(".anivor-tmp-notes.txt"), std::vector<unsigned char>(3, 'n'));
    WriteFileAtomic(dir.file("next.bin"), std::string("next"));
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{".anivor-tmp-notes.txt", "next.bin"}));
}

// Many files in one batch: each in place with its bytes as it is written, durable at the end.
TEST(FileAccess, ABatchWritesEveryFileAndSyncsOnce)
{
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "a");
    TDurableBatch batch;
    for (int i = 0; i < 300; ++i) {
        const std::string path = dir.file((i % 2 ? "a/" : "") + std::to_string(i));
        WriteFileAtomic(path, std::to_string(i * 7));
        ASSERT_EQ(text(path), std::to_string(i * 7));
    }
    WriteFileAtomic(dir.file("a/7"), std::string("again")); // replaced inside the batch
    EXPECT_NO_THROW(batch.Finish());
    EXPECT_EQ(entries(dir.path()), 151);
    EXPECT_EQ(entries(dir.path() / "a"), 150);
    EXPECT_EQ(text(dir.file("a/7")), "again");
}
