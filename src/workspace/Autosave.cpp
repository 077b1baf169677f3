#include "Autosave.h"

#include "graphics/Exception.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/types.h>
#include <unistd.h>

namespace fs = std::filesystem;

TDocumentMark::TDocumentMark(const TStripDocument& document)
    : m_width(document.FrameWidth), m_height(document.FrameHeight), m_loops(document.LoopCount)
{
    m_frames.reserve(document.Frames.size());
    for (const TFrameRecord& f : document.Frames)
        m_frames.emplace_back(f.Version, f.Name, f.DelayText);
}

TAutosaver::TAutosaver(std::string path) : m_path(std::move(path)), m_thread([this] { run(); }) {}

TAutosaver::~TAutosaver()
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void TAutosaver::Request(TProject project)
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_pending = std::move(project);
    }
    m_wake.notify_all();
}

void TAutosaver::Flush()
{
    std::unique_lock<std::mutex> lock(m_lock);
    m_idle.wait(lock, [this] { return !m_pending && !m_busy; });
}

void TAutosaver::Remove()
{
    Flush();
    std::error_code ec;
    fs::remove(m_path, ec);
}

std::string TAutosaver::LastError() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_error;
}

void TAutosaver::run()
{
    std::unique_lock<std::mutex> lock(m_lock);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || m_pending; });
        if (m_stop)
            return;
        TProject project = std::move(*m_pending);
        m_pending.reset();
        m_busy = true;
        lock.unlock();
        std::string error;
        try {
            std::error_code ec;
            fs::create_directories(fs::path(m_path).parent_path(), ec);
            m_writer.Save(m_path, project);
        } catch (const std::exception& e) {
            error = e.what();
        } catch (...) {
            error = "the recovery copy could not be written";
        }
        // The pictures are let go here, on this thread, before the next wait.
        project = TProject();
        if (OnWritten)
            OnWritten(error.empty());
        lock.lock();
        m_error = error;
        m_busy = false;
        m_idle.notify_all();
    }
}

std::string RecoveryFolder(const std::string& appDir)
{
    return appDir + "recovery/";
}

std::string RecoveryFileOfThisRun(const std::string& folder)
{
    return (fs::path(folder) / ("anivor-" + std::to_string(getpid()) + kProjectExtension)).string();
}

namespace {

// A process of that number runs the window program (a number reused by another program
// does not count).
bool anivorRunning(pid_t pid)
{
    if (pid <= 0 || (kill(pid, 0) != 0 && errno == ESRCH))
        return false;
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    return name.empty() || name.rfind("anivor", 0) == 0;
}

} // namespace

std::vector<std::string> FindRecoveryFiles(const std::string& folder)
{
    std::vector<std::pair<fs::file_time_type, std::string>> found;
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(folder, ec)) {
        const std::string stem = e.path().stem().string();
        if (e.path().extension() != kProjectExtension || stem.rfind("anivor-", 0) != 0 || !e.is_regular_file(ec))
            continue;
        const pid_t pid = static_cast<pid_t>(std::atoi(stem.c_str() + 7));
        if (pid == getpid() || anivorRunning(pid))
            continue;
        found.emplace_back(e.last_write_time(ec), e.path().string());
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<std::string> out;
    for (auto& f : found)
        out.push_back(std::move(f.second));
    return out;
}
