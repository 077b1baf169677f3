// TScriptProcess: runs one script at a time in a runner process (ScriptRunner.h) and
// watches it from this side: the clock (the request's timeout plus a grace second, then
// the runner is killed), Stop (asks the runner, kills it if it does not end within a
// second and a half), and how it ended. A runner that dies or is killed gives an outcome
// whose error says why ("The script stopped: ..."), and nothing drawn.
//
// Start returns at once; the outcome is handed to `done` on this thread, from the event
// loop, or from Wait for callers without one. The calling thread never blocks on a
// script unless it calls Wait.
#pragma once

#include "ScriptExchange.h"

#include <QObject>

#include <functional>
#include <memory>
#include <string>

class QProcess;
class QTimer;

class TScriptProcess : public QObject {
public:
    using TDone = std::function<void(TScriptOutcome)>;

    TScriptProcess();
    ~TScriptProcess() override;

    // Throws Exception when a script is running or the runner cannot be started.
    void Start(const TScriptRequest& request, const TBitmap& picture, TDone done);
    // Blocks until the running script has ended and `done` has been called.
    void Wait();
    void Stop();
    bool Running() const { return m_process != nullptr; }

    // The runner program: $ANIVOR_SCRIPT_RUNNER, else anivor-cli beside this program.
    static std::string RunnerProgram();

private:
    void check();
    void finished(int exitCode, bool crashed);

    QProcess* m_process = nullptr;
    QTimer* m_watch = nullptr;
    int m_fd = -1;
    TDone m_done;
    double m_timeout = 0;
    std::uint64_t m_room = 0;
    qint64 m_startedMs = 0;
    qint64 m_stopAskedMs = -1;
    enum class Kill { None, Timeout, Stop } m_killed = Kill::None;
};
