// What a command tells besides its results: a progress bar for long jobs, and the
// "Wrote ..." lines, both silenced by --quiet (taken out by main() for every command).
#pragma once

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>

void CliSetQuiet(bool quiet);
bool CliQuiet();

// Where a command reports what it wrote: standard output, or nowhere under --quiet.
std::ostream& CliReport();

// A progress bar with the count, the percentage and the time left, drawn in place on
// standard error while that is a terminal and the run is not quiet; nothing otherwise, so
// a pipe or a log file never sees it. One object a job:
//     TCliProgress progress("make", frames);
//     ... progress.Show(done); ...
// The bar is taken away when the object goes (and by Clear(), before a message).
class TCliProgress {
public:
    explicit TCliProgress(std::string label, std::uint64_t total = 0);
    ~TCliProgress();
    TCliProgress(const TCliProgress&) = delete;
    TCliProgress& operator=(const TCliProgress&) = delete;

    // `done` of the total (a new total when given). Drawn at most ten times a second, and
    // always for the first and the last step.
    void Show(std::uint64_t done);
    void Show(std::uint64_t done, std::uint64_t total);
    // Takes the bar away; the next Show draws it again.
    void Clear();
    bool Active() const { return m_terminal; }

    // The line for `done` of `total` after `elapsed` seconds, `width` columns wide (for the
    // time left, the pace so far).
    static std::string Line(const std::string& label, std::uint64_t done, std::uint64_t total, double elapsed, int width);

private:
    std::string m_label;
    std::uint64_t m_total;
    bool m_terminal;
    bool m_drawn = false;
    std::chrono::steady_clock::time_point m_start, m_lastDraw;
    int m_width = 80;
};
