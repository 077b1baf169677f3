#include "ScriptRunner.h"

#include "ScriptExchange.h"
#include "ScriptSession.h"

#include "graphics/MemoryBudget.h"

#include <QtGlobal>

#include <atomic>

#include <cstdlib>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <malloc.h>
#include <new>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <thread>
#include <ucontext.h>
#include <unistd.h>

namespace {

// Address space the engine takes for itself when it starts (the worker thread's stack,
// its own stacks, the first heap pages), on top of what the runner holds before.
constexpr std::uint64_t kEngineAddressSpace = std::uint64_t(64) << 20;
// Where the engine's own code crashes on purpose when the system refuses it memory.
constexpr std::uintptr_t kEngineCrashAddress = 0xbbadbeef;
// How far below the stack pointer a fault still counts as running out of stack.
constexpr std::uintptr_t kStackFaultReach = std::uintptr_t(1) << 20;

volatile sig_atomic_t g_outOfMemory = 0;
// The address-space limit, and how close to it a crash counts as running out of memory
// (the engine does not always survive a refused mapping: it may fault right after).
std::uint64_t g_addressLimit = 0;
constexpr std::uint64_t kNearLimit = std::uint64_t(128) << 20;
std::uint64_t g_pageSize = 4096;

// Address space in use, read with async-signal-safe calls only.
std::uint64_t addressSpaceInUseInHandler()
{
    const int fd = ::open("/proc/self/statm", O_RDONLY);
    if (fd < 0)
        return 0;
    char text[64];
    const ssize_t n = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    std::uint64_t pages = 0;
    for (ssize_t i = 0; i < n && text[i] >= '0' && text[i] <= '9'; ++i)
        pages = pages * 10 + static_cast<std::uint64_t>(text[i] - '0');
    return pages * g_pageSize;
}

[[noreturn]] void endWith(int code) { ::_exit(code); }

std::uintptr_t stackPointer(const void* context)
{
    const auto* uc = static_cast<const ucontext_t*>(context);
#if defined(__x86_64__)
    return static_cast<std::uintptr_t>(uc->uc_mcontext.gregs[REG_RSP]);
#elif defined(__aarch64__)
    return static_cast<std::uintptr_t>(uc->uc_mcontext.sp);
#else
    (void)uc;
    return 0;
#endif
}

// Runs on the alternate signal stack: only async-signal-safe calls.
void onFatalSignal(int sig, siginfo_t* info, void* context)
{
    if (g_outOfMemory)
        endWith(ScriptRunnerExit::Memory);
    if (sig == SIGSEGV || sig == SIGBUS) {
        if (g_addressLimit && reinterpret_cast<std::uintptr_t>(info->si_addr) == kEngineCrashAddress)
            endWith(ScriptRunnerExit::Memory);
        const std::uintptr_t sp = stackPointer(context);
        const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
        // Within reach below the stack pointer, or just above it (a frame's own slots).
        if (sp && address < sp + 4096 && address + kStackFaultReach > sp)
            endWith(ScriptRunnerExit::Stack);
    }
    if (g_addressLimit && addressSpaceInUseInHandler() + kNearLimit >= g_addressLimit)
        endWith(ScriptRunnerExit::Memory);
    endWith(ScriptRunnerExit::Crash);
}

// Each thread that may run into its stack's end needs a stack of its own for the handler.
void useAlternateSignalStack()
{
    static thread_local std::unique_ptr<char[]> stack;
    const std::size_t size = 64 * 1024;
    stack = std::make_unique<char[]>(size);
    stack_t ss{};
    ss.ss_sp = stack.get();
    ss.ss_size = size;
    ::sigaltstack(&ss, nullptr);
}

void installHandlers()
{
    g_pageSize = static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
    struct sigaction sa {};
    sa.sa_sigaction = onFatalSignal;
    sa.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&sa.sa_mask);
    for (int sig : {SIGSEGV, SIGBUS, SIGABRT, SIGFPE, SIGILL, SIGXCPU})
        ::sigaction(sig, &sa, nullptr);
    useAlternateSignalStack();
    // A failed allocation anywhere (the engine's too) ends the run as out of memory.
    std::set_new_handler([] { endWith(ScriptRunnerExit::Memory); });
    std::set_terminate([] {
        try {
            if (const std::exception_ptr e = std::current_exception())
                std::rethrow_exception(e);
        } catch (const std::bad_alloc&) {
            endWith(ScriptRunnerExit::Memory);
        } catch (...) {
        }
        endWith(ScriptRunnerExit::Crash);
    });
    // The engine's own fatal messages: "out of memory" and the like. Nothing is printed.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type != QtFatalMsg)
            return;
        const QString t = text.toLower();
        if (t.contains("memory") || t.contains("alloc") || t.contains("mmap"))
            g_outOfMemory = 1;
        endWith(g_outOfMemory ? ScriptRunnerExit::Memory : ScriptRunnerExit::Crash);
    });
}

std::uint64_t addressSpaceInUse()
{
    FILE* f = std::fopen("/proc/self/statm", "r");
    if (!f)
        return 0;
    unsigned long long pages = 0;
    const int n = std::fscanf(f, "%llu", &pages);
    std::fclose(f);
    return n == 1 ? pages * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE)) : 0;
}

void limitSelf(const TScriptRequest& request)
{
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    if (request.TimeoutSeconds > 0) {
        // Processor time as a last guard; the parent ends the runner by the clock first.
        const rlim_t seconds = static_cast<rlim_t>(request.TimeoutSeconds) + 10;
        const rlimit cpu{seconds, seconds + 5};
        ::setrlimit(RLIMIT_CPU, &cpu);
    }
    const std::uint64_t now = addressSpaceInUse();
    if (now) {
        const std::uint64_t limit = now + kEngineAddressSpace + request.MemoryRoom;
        const rlimit as{static_cast<rlim_t>(limit), static_cast<rlim_t>(limit)};
        if (::setrlimit(RLIMIT_AS, &as) == 0)
            g_addressLimit = limit;
    }
}

// The actor path a script sets, kept for the outcome.
class TRecordedActorPath final : public TActorPathSink {
public:
    void SetActorPath(const std::vector<TPoint>& points) override
    {
        Set = true;
        Points = points;
    }
    bool Set = false;
    std::vector<TPoint> Points;
};

} // namespace

bool IsScriptRunnerCall(int argc, char** argv)
{
    return argc >= 2 && std::strcmp(argv[1], kScriptRunnerSwitch) == 0;
}

void ScriptRunnerMain(int argc, char** argv)
{
    // One heap for every thread: each further arena would reserve 64 MB of address space.
    ::mallopt(M_ARENA_MAX, 1);
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    installHandlers();
    if (argc < 3)
        endWith(ScriptRunnerExit::BadRequest);
    char* end = nullptr;
    const long fd = std::strtol(argv[2], &end, 10);
    if (*end || fd < 0 || fd > 65535 || ::fcntl(static_cast<int>(fd), F_GETFD) < 0)
        endWith(ScriptRunnerExit::BadRequest);

    TBitmap bitmap;
    TScriptRequest request;
    try {
        request = ReadScriptRequest(static_cast<int>(fd), bitmap);
    } catch (...) {
        endWith(ScriptRunnerExit::BadRequest);
    }
    const bool hasPicture = !bitmap.Empty();
    TBitmapPictureTarget picture(std::move(bitmap));
    request.Canvas.ApplyTo(picture.Canvas());
    TRecordedActorPath path;
    TScriptSession session(hasPicture ? &picture : nullptr);
    session.Gfx().SetActorPathSink(&path);
    session.se.TimeoutSeconds = request.TimeoutSeconds;
    session.se.MemoryLimit = request.MemoryRoom ? request.MemoryRoom : 1;
    // A stop may come before the run has begun: the run then stops as it begins.
    static std::atomic<bool> stopAsked{false};
    session.se.WorkerStarted = [&session] {
        useAlternateSignalStack();
        if (stopAsked)
            session.se.Stop();
    };
    // Pictures an effect makes are held to the same room.
    MemoryBudget::SetLimit(MemoryBudget::InUse() + std::max<std::uint64_t>(request.MemoryRoom, MemoryBudget::kMinimumLimit));
    limitSelf(request);

    // A byte from the parent, or the end of its pipe, stops the script.
    std::thread([&session] {
        char c;
        while (::read(0, &c, 1) < 0 && errno == EINTR) {
        }
        stopAsked = true;
        session.se.Stop();
    }).detach();

    TScriptOutcome outcome;
    try {
        outcome.Error = session.RunInProcess(request.Code);
    } catch (const std::bad_alloc&) {
        endWith(ScriptRunnerExit::Memory);
    } catch (const EOutOfMemory& e) {
        TScriptError error;
        error.Description = e.what();
        outcome.Error = error;
    } catch (const std::exception& e) {
        TScriptError error;
        error.Description = e.what();
        outcome.Error = error;
    }
    outcome.Canvas = TCanvasState::Of(picture.Canvas());
    outcome.ActorPathSet = path.Set;
    outcome.ActorPath = std::move(path.Points);
    outcome.Drawn = hasPicture && picture.Changes > 0;
    if (outcome.Drawn)
        outcome.Picture = std::move(picture.Picture());
    try {
        WriteScriptOutcome(static_cast<int>(fd), outcome);
    } catch (...) {
        endWith(ScriptRunnerExit::Memory);
    }
    endWith(ScriptRunnerExit::Done);
}
