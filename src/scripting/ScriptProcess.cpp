#include "ScriptProcess.h"

#include "ScriptRunner.h"

#include "graphics/MemoryBudget.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

// After its timeout a runner gets this long to give back what it drew before it is killed.
constexpr qint64 kTimeoutGraceMs = 1000;
constexpr qint64 kStopGraceMs = 1500;

qint64 nowMs() { return QDateTime::currentMSecsSinceEpoch(); }

std::string secondsText(double seconds) { return QString::number(seconds).toStdString(); }

TScriptOutcome stoppedOutcome(const std::string& description)
{
    TScriptOutcome outcome;
    TScriptError e;
    e.Description = description;
    outcome.Error = e;
    return outcome;
}

} // namespace

TScriptProcess::TScriptProcess() = default;

TScriptProcess::~TScriptProcess()
{
    if (m_process) {
        m_process->disconnect();
        m_process->kill();
        m_process->waitForFinished(2000);
    }
    if (m_fd >= 0)
        ::close(m_fd);
}

std::string TScriptProcess::RunnerProgram()
{
    const QString fromEnvironment = qEnvironmentVariable("ANIVOR_SCRIPT_RUNNER");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment.toStdString();
    return (QCoreApplication::applicationDirPath() + "/anivor-cli").toStdString();
}

void TScriptProcess::Start(const TScriptRequest& request, const TBitmap& picture, TDone done)
{
    if (m_process)
        throw Exception("A script is already running");
    const std::string program = RunnerProgram();
    if (!QFileInfo(QString::fromStdString(program)).isExecutable())
        throw Exception("Scripts cannot run: the script runner " + program + " is missing");

    // An anonymous file in memory: nothing is left behind, whatever happens to either side.
    const int fd = ::memfd_create("anivor-script", MFD_CLOEXEC);
    if (fd < 0)
        throw Exception("Scripts cannot run: no exchange file could be made");
    try {
        WriteScriptRequest(fd, request, picture);
    } catch (...) {
        ::close(fd);
        throw;
    }

    auto* process = new QProcess(this);
    process->setProgram(QString::fromStdString(program));
    process->setArguments({kScriptRunnerSwitch, QString::number(fd)});
    // Never a display: the runner draws text without one.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    process->setProcessEnvironment(environment);
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    process->setChildProcessModifier([fd] {
        // The exchange file stays open across exec; the runner dies with this process.
        ::fcntl(fd, F_SETFD, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    });
    process->start(QIODevice::WriteOnly);
    if (!process->waitForStarted(10000)) {
        const std::string why = process->errorString().toStdString();
        delete process;
        ::close(fd);
        throw Exception("Scripts cannot run: the script runner " + program + " does not start (" + why + ")");
    }

    m_process = process;
    m_fd = fd;
    m_done = std::move(done);
    m_timeout = request.TimeoutSeconds;
    m_room = request.MemoryRoom;
    m_startedMs = nowMs();
    m_stopAskedMs = -1;
    m_killed = Kill::None;
    QObject::connect(process, &QProcess::finished, this, [this](int code, QProcess::ExitStatus status) {
        finished(code, status == QProcess::CrashExit);
    });
    if (!m_watch) {
        m_watch = new QTimer(this);
        m_watch->setInterval(50);
        QObject::connect(m_watch, &QTimer::timeout, this, [this] { check(); });
    }
    m_watch->start();
}

void TScriptProcess::check()
{
    if (!m_process || m_killed != Kill::None)
        return;
    const qint64 now = nowMs();
    Kill kill = Kill::None;
    if (m_timeout > 0 && now - m_startedMs > static_cast<qint64>(m_timeout * 1000) + kTimeoutGraceMs)
        kill = Kill::Timeout;
    else if (m_stopAskedMs >= 0 && now - m_stopAskedMs > kStopGraceMs)
        kill = Kill::Stop;
    if (kill != Kill::None) {
        m_killed = kill;
        m_process->kill();
    }
}

void TScriptProcess::Stop()
{
    if (!m_process || m_stopAskedMs >= 0)
        return;
    m_stopAskedMs = nowMs();
    m_process->write("s", 1);
    m_process->waitForBytesWritten(100);
}

void TScriptProcess::Wait()
{
    while (m_process) {
        check();
        m_process->waitForFinished(50);
    }
}

void TScriptProcess::finished(int exitCode, bool crashed)
{
    if (!m_process)
        return;
    m_watch->stop();
    m_process->deleteLater();
    m_process = nullptr;
    const int fd = m_fd;
    m_fd = -1;

    TScriptOutcome outcome;
    const std::string room = MemoryBudget::FormatBytes(m_room);
    if (m_killed == Kill::Timeout)
        outcome = stoppedOutcome("The script stopped: it ran longer than " + secondsText(m_timeout) + " seconds");
    else if (m_killed == Kill::Stop)
        outcome = stoppedOutcome("The script was stopped");
    else if (crashed)
        outcome = stoppedOutcome("The script stopped: the script engine crashed");
    else {
        switch (exitCode) {
        case ScriptRunnerExit::Done:
            try {
                outcome = ReadScriptOutcome(fd);
            } catch (const std::exception& e) {
                outcome = stoppedOutcome(std::string("The script stopped: ") + e.what());
            }
            break;
        case ScriptRunnerExit::Memory:
            outcome = stoppedOutcome("The script stopped: it needed more memory than the " + room
                                     + " left in the memory limit");
            break;
        case ScriptRunnerExit::Stack:
            outcome = stoppedOutcome("The script stopped: it nested too deeply (the script engine's stack ran out)");
            break;
        case ScriptRunnerExit::Crash:
            outcome = stoppedOutcome("The script stopped: the script engine crashed");
            break;
        default:
            outcome = stoppedOutcome("The script stopped: the script runner ended with code " + std::to_string(exitCode));
            break;
        }
    }
    ::close(fd);
    TDone done = std::move(m_done);
    m_done = nullptr;
    if (done)
        done(std::move(outcome));
}
