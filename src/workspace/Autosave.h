// Keeping the user's work: whether the strip changed since it was last saved or opened,
// the autosave that writes a recovery copy off the window's thread, and finding the
// copies a run that died left behind.
#pragma once

#include "ProjectFile.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

// What tells two states of a document apart (frames by picture version, names, delays,
// frame size, loop count), without holding their pictures.
class TDocumentMark {
public:
    TDocumentMark() = default;
    explicit TDocumentMark(const TStripDocument& document);
    bool operator==(const TDocumentMark& other) const = default;

private:
    std::vector<std::tuple<std::uint64_t, std::string, std::string>> m_frames;
    int m_width = 0, m_height = 0, m_loops = 0;
};

// Writes recovery copies of a project on a thread of its own. Request hands over a copy of
// the document (its pictures are shared, so this costs the caller almost nothing); the
// thread encodes only the pictures that changed since its last write and replaces the
// file atomically. A request made while one is written waits, and a newer one replaces it.
class TAutosaver {
public:
    // The copy goes to `path` (its folder is made when missing).
    explicit TAutosaver(std::string path);
    ~TAutosaver();
    TAutosaver(const TAutosaver&) = delete;
    TAutosaver& operator=(const TAutosaver&) = delete;

    const std::string& Path() const { return m_path; }
    void Request(TProject project);
    // Waits until every request made so far is written (or failed).
    void Flush();
    // Waits for the thread, then removes the copy: a clean end of the run.
    void Remove();
    // How the last write went: "" after a success, else the reason.
    std::string LastError() const;
    // Called on the autosave's thread after each write (tests, status).
    std::function<void(bool ok)> OnWritten;

private:
    void run();

    std::string m_path;
    TProjectWriter m_writer;
    mutable std::mutex m_lock;
    std::condition_variable m_wake, m_idle;
    std::optional<TProject> m_pending;
    bool m_busy = false;
    bool m_stop = false;
    std::string m_error;
    std::thread m_thread;
};

// The recovery folder of a settings folder: `appDir` + "recovery/".
std::string RecoveryFolder(const std::string& appDir);
// The copy this run writes: "<folder>/anivor-<pid>.anivor".
std::string RecoveryFileOfThisRun(const std::string& folder);
// Copies left by runs that are no longer alive, newest first.
std::vector<std::string> FindRecoveryFiles(const std::string& folder);
