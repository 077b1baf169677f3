// Long jobs draw a progress bar with the time left on standard error while it is a
// terminal, take it away when done, and show nothing through a pipe or with --quiet.
#include "CliRunner.h"

#include "graphics/BmpFile.h"

#include <gtest/gtest.h>

#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <regex>

namespace {

struct TerminalRun {
    int Exit = -1;
    std::string Text; // standard output and error, as the terminal got them
};

constexpr int kColumns = 100;

// The program on a pseudo-terminal of kColumns columns, which is its standard input,
// output and error.
TerminalRun RunOnTerminal(const std::vector<std::string>& args)
{
    std::vector<char*> argv{const_cast<char*>(ANIVOR_CLI_PATH)};
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    winsize size{};
    size.ws_row = 24;
    size.ws_col = kColumns;
    int terminal = -1;
    const pid_t pid = forkpty(&terminal, nullptr, nullptr, &size);
    if (pid < 0)
        return {};
    if (pid == 0) {
        execv(ANIVOR_CLI_PATH, argv.data());
        _exit(127);
    }
    TerminalRun run;
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(terminal, buffer, sizeof buffer);
        if (n > 0)
            run.Text.append(buffer, static_cast<std::size_t>(n));
        else if (n < 0 && errno == EINTR)
            continue;
        else
            break; // EIO: the program closed its end
    }
    close(terminal);
    int status = 0;
    waitpid(pid, &status, 0);
    run.Exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string ShellLine(const std::vector<std::string>& args)
{
    std::string line;
    for (const std::string& a : args)
        line += " '" + a + "'";
    return line;
}

} // namespace

TEST(CliProgress, BarWithTimeLeftOnATerminalNothingThroughAPipeOrWhenQuiet)
{
    TempDir dir;
    constexpr int kFrames = 12;
    std::vector<std::string> make{"make", "-o", dir.file("a.gif")};
    for (int i = 0; i < kFrames; ++i) {
        make.push_back(dir.file("f" + std::to_string(i) + ".bmp"));
        SaveBmpFile(SolidBitmap(64, 48, RGB(20 * i, 255 - 20 * i, 60)), make.back());
    }
    struct Job {
        std::vector<std::string> args;
    };
    // In order: each job reads what the one before wrote.
    const std::vector<Job> jobs{
        {make},
        {{"gif-frames", dir.file("a.gif"), dir.file("frames")}},
        {{"gif2avi", dir.file("a.gif"), "-o", dir.file("a.avi")}},
        {{"avi2gif", dir.file("a.avi"), "-o", dir.file("b.gif")}},
    };
    // "\rmake [#####.....] 5/12 41% 0:01 left", the last one "... 12/12 100% 0:02 total".
    const std::regex bar(R"(\r(\S+) \[(#*)(\.*)\] (\d+)/(\d+) (\d+)% \d+:\d\d (left|total))");
    for (const Job& job : jobs) {
        const std::string& name = job.args[0];
        SCOPED_TRACE(name);
        const TerminalRun t = RunOnTerminal(job.args);
        ASSERT_EQ(t.Exit, 0) << t.Text;
        int bars = 0, lastDone = 0;
        std::size_t lastBarEnd = 0;
        for (auto m = std::sregex_iterator(t.Text.begin(), t.Text.end(), bar); m != std::sregex_iterator(); ++m) {
            const std::smatch& b = *m;
            ++bars;
            EXPECT_EQ(b[1].str(), name);
            EXPECT_EQ(static_cast<int>(b.length(0)) - 1, kColumns - 1) << b.str(0); // the last column stays free
            const int done = std::stoi(b[4].str()), total = std::stoi(b[5].str());
            EXPECT_EQ(total, kFrames);
            EXPECT_GT(done, lastDone);
            EXPECT_EQ(std::stoi(b[6].str()), done * 100 / total);
            EXPECT_EQ(b[7].str(), done < total ? "left" : "total");
            // The bar fills with the share done.
            const double filled = static_cast<double>(b.length(2)) / static_cast<double>(b.length(2) + b.length(3));
            EXPECT_NEAR(filled, static_cast<double>(done) / total, 0.02);
            lastDone = done;
            lastBarEnd = static_cast<std::size_t>(b.position(0) + b.length(0));
        }
        EXPECT_GE(bars, 2) << t.Text; // the first step and the last are always drawn
        EXPECT_EQ(lastDone, kFrames);
        // Taken away before the program ends.
        EXPECT_NE(t.Text.find("\r" + std::string(kColumns - 1, ' ') + "\r", lastBarEnd), std::string::npos);

        // --quiet on a terminal: neither the bar nor the "Wrote" lines.
        std::vector<std::string> quiet = job.args;
        quiet.push_back("--quiet");
        const TerminalRun q = RunOnTerminal(quiet);
        EXPECT_EQ(q.Exit, 0);
        EXPECT_EQ(q.Text, "");

        // Standard output and error into a pipe: the job's report only.
        const CliRun piped = RunCli(dir, ShellLine(job.args) + " 2>&1 | cat");
        EXPECT_FALSE(piped.Out.empty());
        EXPECT_EQ(piped.Out.find('\r'), std::string::npos) << piped.Out;
        EXPECT_EQ(piped.Out.find(name + " ["), std::string::npos) << piped.Out;
    }
}
