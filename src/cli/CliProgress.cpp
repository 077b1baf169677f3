#include "CliProgress.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <iostream>

namespace {

bool g_quiet = false;

// Discards everything written to it.
class TNullBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return c; }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

std::string clock(double seconds)
{
    const long s = std::lround(seconds);
    const long h = s / 3600, m = s / 60 % 60, sec = s % 60;
    auto two = [](long v) { return (v < 10 ? "0" : "") + std::to_string(v); };
    return h ? std::to_string(h) + ":" + two(m) + ":" + two(sec) : std::to_string(m) + ":" + two(sec);
}

int terminalWidth()
{
    winsize size{};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col >= 20)
        return size.ws_col;
    return 80;
}

} // namespace

void CliSetQuiet(bool quiet) { g_quiet = quiet; }
bool CliQuiet() { return g_quiet; }

std::ostream& CliReport()
{
    static TNullBuffer nothing;
    static std::ostream discard(&nothing);
    return g_quiet ? discard : std::cout;
}

TCliProgress::TCliProgress(std::string label, std::uint64_t total)
    : m_label(std::move(label)), m_total(total), m_terminal(!g_quiet && isatty(STDERR_FILENO) != 0),
      m_start(std::chrono::steady_clock::now())
{
    if (m_terminal)
        m_width = terminalWidth();
}

TCliProgress::~TCliProgress() { Clear(); }

void TCliProgress::Show(std::uint64_t done, std::uint64_t total)
{
    m_total = total;
    Show(done);
}

void TCliProgress::Show(std::uint64_t done)
{
    if (!m_terminal)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (m_drawn && done < m_total && now - m_lastDraw < std::chrono::milliseconds(100))
        return;
    m_lastDraw = now;
    m_drawn = true;
    const double elapsed = std::chrono::duration<double>(now - m_start).count();
    // The last column stays free: a line that fills the terminal would wrap on some.
    std::cerr << "\r" + Line(m_label, done, m_total, elapsed, m_width - 1) << std::flush;
}

void TCliProgress::Clear()
{
    if (m_drawn)
        std::cerr << "\r" + std::string(static_cast<std::size_t>(m_width - 1), ' ') + "\r" << std::flush;
    m_drawn = false;
}

std::string TCliProgress::Line(const std::string& label, std::uint64_t done, std::uint64_t total, double elapsed,
                               int width)
{
    done = std::min(done, total);
    const double part = total ? static_cast<double>(done) / static_cast<double>(total) : 0;
    // The time left at the pace so far; unknown until a step is done.
    const std::string left = done > 0 && done < total
                                 ? clock(elapsed / static_cast<double>(done) * static_cast<double>(total - done)) + " left"
                             : done >= total && total ? clock(elapsed) + " total"
                                                      : "--:-- left";
    const std::string tail = " " + std::to_string(done) + "/" + std::to_string(total) + " "
                             + std::to_string(static_cast<int>(part * 100)) + "% " + left;
    const int barWidth = width - static_cast<int>(label.size() + tail.size()) - 3;
    if (barWidth < 5)
        return (label + tail).substr(0, static_cast<std::size_t>(std::max(width, 0)));
    const int filled = static_cast<int>(part * barWidth);
    return label + " [" + std::string(static_cast<std::size_t>(filled), '#')
           + std::string(static_cast<std::size_t>(barWidth - filled), '.') + "]" + tail;
}
