// anivor-monkey: random commands, keys, clicks and drags in the program's real windows for
// a given time, from a printed seed. Fails on a crash or a sanitizer report, on an action
// that gets no answer within 5 seconds (the event loop stopped turning), on an internal
// error shown to the user, on a wait cursor left on, and on a frame strip that breaks its
// rules (after every action, and after undoing and redoing a few steps at the end).
//
//     anivor-monkey [--seconds S] [--actions N] [--seed N] [--log FILE] [--xvfb]
//
// The seed comes from --seed, else ANIVOR_MONKEY_SEED, else chance; the same seed replays
// the same actions (timers of the program may still make a replay part ways after a while).
// ANIVOR_MONKEY_HOLD=1 keeps a run that got stuck as it is, for a debugger. Everything the program writes goes to a fresh folder (ANIVOR_HOME, the
// files the dialogs answer with, saves), removed after a passing run.
#include "MonkeyFiles.h"
#include "MonkeyHands.h"
#include "MonkeyRandom.h"
#include "RandomUi.h"
#include "StripCheck.h"

#include "app/AnivorForm.h"
#include "editor/ui/DrawForm.h"
#include "effects/QuickBackPresets.h"
#include "effects/ui/PainterEffectsForm.h"
#include "effects/ui/PainterQBForm.h"
#include "platform/AppDir.h"
#include "platform/CommandGuard.h"
#include "platform/ui/AnivorApplication.h"
#include "scripting/ScriptSession.h"
#include "scripting/ui/ScriptForm.h"
#include "tools/ui/Avi2GifForm.h"
#include "tools/ui/GIFExplorerForm.h"
#include "tools/ui/Gif2AviForm.h"
#include "widgets/TemplatesForm.h"

#include <QAction>
#include <QDesktopServices>
#include <QTimer>
#include <QUrl>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>

#include <execinfo.h>
#include <pthread.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#if defined(__has_include)
#if __has_include(<sanitizer/common_interface_defs.h>) && defined(ANIVOR_SANITIZED)
#include <sanitizer/common_interface_defs.h>
#define MONKEY_SANITIZER 1
#endif
#endif

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kAnswerMs = 5000; // the longest an action may keep the event loop
constexpr int kTickMs = 5;      // between actions

struct TOptions {
    std::uint64_t Seed = 0;
    double Seconds = 60;
    long Actions = -1; // no limit
    std::string Log;
    bool Xvfb = false;
};

// The action log: every line to the file at once, the last ones kept for a failure report.
class TActionLog {
public:
    void Open(const std::string& path)
    {
        m_path = path;
        m_file.open(path);
    }
    const std::string& Path() const { return m_path; }
    void Write(const std::string& line)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_file << line << std::endl;
        m_last.push_back(line);
        if (m_last.size() > 40)
            m_last.pop_front();
    }
    // The last lines on standard error. From a signal handler too: it does not wait for a
    // lock the interrupted thread may hold.
    void PrintLast()
    {
        std::unique_lock<std::mutex> lock(m_mutex, std::try_to_lock);
        std::fprintf(stderr, "anivor-monkey: the last actions (all in %s):\n", m_path.c_str());
        for (const std::string& line : m_last)
            std::fprintf(stderr, "  %s\n", line.c_str());
    }

private:
    std::mutex m_mutex;
    std::ofstream m_file;
    std::string m_path;
    std::deque<std::string> m_last;
};

TActionLog g_log;
std::uint64_t g_seed = 0;
std::string g_folder;
pthread_t g_mainThread;
std::atomic<long long> g_beat{0};     // ms on the steady clock when the last action began
std::atomic<bool> g_watching{false};

long long NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count();
}

void PrintReplay()
{
    std::fprintf(stderr, "anivor-monkey: seed %llu; replay with: anivor-monkey --seed %llu (files kept in %s)\n",
                 static_cast<unsigned long long>(g_seed), static_cast<unsigned long long>(g_seed), g_folder.c_str());
}

[[noreturn]] void Fail(const std::string& why)
{
    g_watching = false;
    std::fprintf(stderr, "anivor-monkey: FAILED: %s\n", why.c_str());
    g_log.Write("FAILED: " + why);
    g_log.PrintLast();
    PrintReplay();
    std::fflush(stderr);
    _exit(1);
}

void PrintStack()
{
#ifdef MONKEY_SANITIZER
    __sanitizer_print_stack_trace();
#else
    void* frames[64];
    backtrace_symbols_fd(frames, backtrace(frames, 64), 2);
#endif
}

// A crash: what led to it, then the signal's own end (a core, the sanitizer's report).
void OnCrash(int sig)
{
    std::fprintf(stderr, "anivor-monkey: signal %d\n", sig);
    g_log.PrintLast();
    PrintReplay();
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

// Sent by the watchdog to the main thread: where it is stuck.
void OnStuck(int)
{
    std::fprintf(stderr, "anivor-monkey: the main thread is here:\n");
    PrintStack();
    std::fflush(stderr);
    _exit(3);
}

void Watchdog()
{
    while (g_watching) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        const long long late = NowMs() - g_beat;
        if (g_watching && late > kAnswerMs) {
            std::fprintf(stderr, "anivor-monkey: FAILED: no answer for %lld ms after the last action\n", late);
            g_log.PrintLast();
            PrintReplay();
            std::fflush(stderr);
            if (std::getenv("ANIVOR_MONKEY_HOLD"))
                for (;;)
                    std::this_thread::sleep_for(std::chrono::seconds(1));
            pthread_kill(g_mainThread, SIGUSR2);
            std::this_thread::sleep_for(std::chrono::seconds(10));
            _exit(3);
        }
    }
}

TOptions ParseOptions(int argc, char** argv)
{
    TOptions o;
    bool seeded = false;
    if (const char* env = std::getenv("ANIVOR_MONKEY_SEED"); env && *env) {
        o.Seed = std::strtoull(env, nullptr, 10);
        seeded = true;
    }
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool more = i + 1 < argc;
        if (a == "--seed" && more) {
            o.Seed = std::strtoull(argv[++i], nullptr, 10);
            seeded = true;
        } else if (a == "--seconds" && more) {
            o.Seconds = std::strtod(argv[++i], nullptr);
        } else if (a == "--actions" && more) {
            o.Actions = std::strtol(argv[++i], nullptr, 10);
        } else if (a == "--log" && more) {
            o.Log = argv[++i];
        } else if (a == "--xvfb") {
            o.Xvfb = true;
        } else {
            std::fprintf(stderr, "usage: anivor-monkey [--seconds S] [--actions N] [--seed N] [--log FILE] [--xvfb]\n");
            std::exit(2);
        }
    }
    if (!seeded)
        o.Seed = std::random_device()() * 65536ull + std::random_device()() % 65536;
    return o;
}

// A virtual display of its own: Xvfb picks a free display number and tells it.
pid_t StartXvfb()
{
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        // The display ends with the monkey, also when it crashes.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        const std::string fd = std::to_string(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string number;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(fds[0]);
    if (pid < 0 || number.empty())
        return -1;
    setenv("DISPLAY", (":" + number).c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    return pid;
}

// The document as a step of undo sees it: names, delays, pictures, the frame size.
std::string Signature(const TFrameStrip& strip)
{
    std::string s = std::to_string(strip.FrameWidth()) + "x" + std::to_string(strip.FrameHeight());
    for (const TFrameRecord& f : strip.Document().Frames)
        s += " " + f.Name + "=" + f.DelayText + "@" + std::to_string(f.Version) + (f.Transparent() ? "t" : "");
    return s;
}

// The windows of the program, made and joined as the program makes them at start-up
// (the automation server aside: the monkey's hands are its only caller).
struct TWindows {
    TAnivorF Main{AppDir(), SettingsFileName()};
    TGIFExplorerF Explorer{&Main};
    TPainterEffectsF Effects{&Main};
    TPainterQBF QuickBack{QuickBackPresetsFile(), &Main};
    TDrawF Draw{&Main, SettingsFileName()};
    TScriptSession Scripting{&Draw.ScriptTarget()};
    Tavi2gifF Avi2Gif{&Main};
    Tgif2aviF Gif2Avi{&Main};
    TTemplatesF Templates{&Main};
    TScriptForm ScriptForm{Scripting, &Draw};

    TWindows()
    {
        Main.SetGIFExplorer(&Explorer);
        Main.SetPainterEffectsWindow(&Effects);
        Main.SetQuickBackWindow(&QuickBack);
        Main.SetDrawWindow(&Draw);
        Main.SetConverterWindows(&Avi2Gif, &Gif2Avi);
        Main.SetTemplatesWindow(&Templates);
        AttachScripting(Draw, Scripting, ScriptForm);
    }
};

// Web pages and files handed to the desktop are only written down: no browser opens.
class TUrlCatcher : public QObject {
    Q_OBJECT
public slots:
    void open(const QUrl& url) { g_log.Write("    opened " + url.toString().toStdString()); }
};

class TMonkeyRun {
public:
    TMonkeyRun(const TOptions& options, TWindows& windows, TMonkeyRandom& random, TMonkeyHands& hands, TRandomUi& ui)
        : m_options(options), m_w(windows), m_random(random), m_hands(hands), m_ui(ui)
    {
    }

    void Start()
    {
        m_start = Clock::now();
        m_lastReport = m_start;
        g_beat = NowMs();
        QTimer::singleShot(0, [this] { tick(); });
    }
    long Actions() const { return m_actions; }

private:
    double elapsed() const { return std::chrono::duration<double>(Clock::now() - m_start).count(); }
    void say(const std::string& line) { g_log.Write(line); }

    void tick()
    {
        if (m_done)
            return;
        g_beat = NowMs();
        // The next action comes in its turn, also while this one waits in a window's own
        // event loop (a modal window, a long run that lets events through).
        QTimer::singleShot(kTickMs, [this] { tick(); });
        ++m_depth;
        if (!m_finishing && (elapsed() >= m_options.Seconds || (m_options.Actions >= 0 && m_actions >= m_options.Actions))) {
            m_finishing = true;
            m_finishStart = Clock::now();
            say("-- time is up: closing the open windows");
        }
        if (!m_w.Main.isVisible() && !m_done) {
            // Exit (or the window's close button) ends the program by design: the run
            // goes on in the window shown again, as after a new start.
            say("-- the main window was closed: shown again");
            m_w.Main.show();
        }
        if (m_finishing)
            finishStep();
        else
            act();
        --m_depth;
    }

    void act()
    {
        const long n = ++m_actions;
        m_random.Restart(static_cast<std::uint64_t>(n));
        m_hands.Act([&](const std::string& what) { say("#" + std::to_string(n) + " " + what); });
        if (m_depth == 1)
            checkBetweenActions();
        if (Clock::now() - m_lastReport > std::chrono::seconds(15)) {
            m_lastReport = Clock::now();
            std::printf("anivor-monkey: %.0f s, %ld actions, %d frames of %d x %d\n", elapsed(), m_actions,
                        m_w.Main.Strip().Count(), m_w.Main.Strip().FrameWidth(), m_w.Main.Strip().FrameHeight());
            std::fflush(stdout);
        }
    }

    // Between two actions at the top: nothing runs, so every rule must hold.
    void checkBetweenActions()
    {
        const std::vector<std::string> problems = StripProblems(m_w.Main.Strip());
        if (!problems.empty())
            Fail("the strip broke its rules: " + problems.front());
        if (m_ui.WaitDepth() != 0)
            Fail("the wait cursor stayed on (" + std::to_string(m_ui.WaitDepth()) + " waits open)");
    }

    void finishStep()
    {
        m_random.Restart(static_cast<std::uint64_t>(++m_actions));
        if (Clock::now() - m_finishStart > std::chrono::seconds(60))
            Fail("the open windows could not be closed within a minute");
        if (m_hands.CloseOne([&](const std::string& what) { say("#" + std::to_string(m_actions) + " " + what); }))
            return;
        if (m_w.Main.WizardRunning()) {
            say("#" + std::to_string(m_actions) + " command wizard.stop");
            m_w.Main.Action("wizard.stop")->trigger();
            return;
        }
        if (m_depth > 1)
            return; // an outer action is still returning
        m_done = true;
        finalCheck();
        // exit, not quit: quit would close the windows and ask "Save changes?" again.
        QCoreApplication::exit(0);
    }

    void settle()
    {
        g_beat = NowMs();
        QCoreApplication::processEvents();
    }

    void trigger(const char* id)
    {
        say("-- " + std::string(id));
        m_w.Main.Action(id)->trigger();
        settle();
        const std::vector<std::string> problems = StripProblems(m_w.Main.Strip());
        if (!problems.empty())
            Fail(std::string("after ") + id + " the strip broke its rules: " + problems.front());
    }

    // The strip as the run left it, then undone and redone a few steps.
    void finalCheck()
    {
        settle();
        checkBetweenActions();
        TFrameStrip& strip = m_w.Main.Strip();
        const std::string before = Signature(strip);
        int undone = 0;
        const int steps = 1 + static_cast<int>(m_random.Below(5));
        while (undone < steps && m_w.Main.Action("frame.undo")->isEnabled()) {
            trigger("frame.undo");
            ++undone;
        }
        for (int i = 0; i < undone; ++i) {
            if (!m_w.Main.Action("frame.redo")->isEnabled())
                Fail("Redo is not offered after " + std::to_string(i) + " of " + std::to_string(undone) + " steps");
            trigger("frame.redo");
        }
        if (Signature(strip) != before)
            Fail("undoing and redoing " + std::to_string(undone) + " steps did not give the strip back:\n  before " +
                 before + "\n  after  " + Signature(strip));
        std::printf("anivor-monkey: passed: %ld actions in %.0f s; %d frames of %d x %d; %d steps undone and redone\n",
                    m_actions, elapsed(), strip.Count(), strip.FrameWidth(), strip.FrameHeight(), undone);
    }

    const TOptions& m_options;
    TWindows& m_w;
    TMonkeyRandom& m_random;
    TMonkeyHands& m_hands;
    TRandomUi& m_ui;
    Clock::time_point m_start, m_lastReport, m_finishStart;
    long m_actions = 0;
    int m_depth = 0;
    bool m_finishing = false;
    bool m_done = false;
};

} // namespace

int main(int argc, char** argv)
{
    const TOptions options = ParseOptions(argc, argv);
    g_seed = options.Seed;
    g_mainThread = pthread_self();

    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/anivor-monkey-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        std::perror("anivor-monkey: mkdtemp");
        return 2;
    }
    g_folder = pattern;
    fs::create_directories(g_folder + "/home");
    // The help document where the program finds it first.
    std::error_code noHelp;
    fs::copy_file(ANIVOR_SHIPPED_HELP, g_folder + "/home/Anivor.hlp", noHelp);
    setenv("ANIVOR_HOME", (g_folder + "/home").c_str(), 1);
    g_log.Open(options.Log.empty() ? g_folder + "/actions.log" : options.Log);

    pid_t xvfb = -1;
    if (options.Xvfb && (xvfb = StartXvfb()) < 0)
        std::fprintf(stderr, "anivor-monkey: Xvfb did not start; the windows stay off screen\n");
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);

    std::printf("anivor-monkey: seed %llu, %.0f s, log %s, platform %s%s\n", static_cast<unsigned long long>(g_seed),
                options.Seconds, g_log.Path().c_str(), std::getenv("QT_QPA_PLATFORM") ? std::getenv("QT_QPA_PLATFORM") : "default",
                xvfb > 0 ? (" on DISPLAY " + std::string(std::getenv("DISPLAY"))).c_str() : "");
    std::fflush(stdout);

    for (const int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT})
        std::signal(sig, OnCrash);
    std::signal(SIGUSR2, OnStuck);
#ifdef MONKEY_SANITIZER
    __sanitizer_set_death_callback([] {
        g_log.PrintLast();
        PrintReplay();
    });
#endif

    int rc = 0;
    {
        TAnivorApplication app(argc, argv);
        QApplication::setApplicationName("Anivor 13");
        QApplication::setQuitOnLastWindowClosed(false);
        TUrlCatcher urls;
        const char* const schemes[] = {"http", "https", "file", "mailto", "ftp"};
        for (const char* scheme : schemes)
            QDesktopServices::setUrlHandler(scheme, &urls, "open");
        // Qt's own remarks go to the log; only its errors also to standard error.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            g_log.Write("    qt: " + text.toStdString());
            if (type == QtCriticalMsg || type == QtFatalMsg)
                std::fprintf(stderr, "anivor-monkey: Qt: %s\n", text.toLocal8Bit().constData());
        });

        TMonkeyRandom random(options.Seed);
        TMonkeyFiles files(g_folder);
        TRandomUi ui(random, files, [](const std::string& line) { g_log.Write(line); });
        // An error the user sees that no one wrote for them is a fault of the program.
        ui.OnInternalError = [](const std::string& text) { Fail("an internal error reached the user: " + text); };
        TWindows windows;
        TMonkeyHands hands(random, files, windows.Main);
        TMonkeyRun run(options, windows, random, hands, ui);

        windows.Main.show();
        windows.Main.OfferRecovery();
        g_watching = true;
        std::thread watchdog(Watchdog);
        run.Start();
        rc = app.exec();
        g_beat = NowMs() + 30000; // the program's own end: settings, editor, windows
        windows.Main.FormDestroy();
        RunGuarded([&] { windows.Draw.FormDestroy(); });
        g_watching = false;
        watchdog.join();
        for (const char* scheme : schemes)
            QDesktopServices::unsetUrlHandler(scheme);
        qInstallMessageHandler(nullptr);
    }
    if (xvfb > 0) {
        kill(xvfb, SIGTERM);
        waitpid(xvfb, nullptr, 0);
    }
    if (rc == 0 && options.Log.empty())
        fs::remove_all(g_folder);
    return rc;
}

#include "Monkey.moc"
