// Reading takes regular files only; writing says why it failed and leaves nothing behind,
// not even when the process is interrupted in the middle.
#include "graphics/Exception.h"
#include "graphics/FileWrite.h"
#include "graphics/MemoryBudget.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <sys/stat.h>
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

// A write interrupted by SIGTERM or SIGINT removes its temporary file, and the process
// still ends by that signal.
TEST(FileAccess, InterruptedWritesRemoveTheirTemporaryFile)
{
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
