// Scripting costs: a script making 100 000 gfx.Line calls on a 640 x 480 picture (whole
// runs: a fresh engine, the calls, the drawing), the same calls with lines of one pixel
// (the cost of the call itself), and one D-Bus round trip to the drawing object served on
// a private session bus.
#include "scripting/dbus/AutomationServer.h"
#include "scripting/ScriptSession.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QEventLoop>
#include <QGuiApplication>
#include <QThread>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>
#include <memory>
#include <semaphore>

namespace {

TBitmap whitePicture()
{
    TBitmap b(640, 480);
    std::fill(b.ScanLine(0), b.ScanLine(0) + b.RowBytes() * 480, 0xFF);
    return b;
}

// CPU time of the whole process in ms (the script runs on a worker thread).
double processCpuMs()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

void runLines(benchmark::State& state, const char* script)
{
    const double cpu = processCpuMs();
    TBitmapPictureTarget picture(whitePicture());
    TScriptSession session(&picture);
    for (auto _ : state) {
        const auto error = session.RunScript(script);
        if (error)
            state.SkipWithError(error->Text().c_str());
    }
    state.counters["process_cpu_ms"] = (processCpuMs() - cpu) / static_cast<double>(state.iterations());
    state.counters["calls_per_s"] = benchmark::Counter(100000.0 * state.iterations(), benchmark::Counter::kIsRate);
}

void BM_Script100kLines(benchmark::State& state)
{
    // Lines of every length and direction across the picture (about 250 pixels on average).
    runLines(state, "for (var i = 0; i < 100000; i++)"
                    "  gfx.Line(i % 640, (i * 7) % 480, (i * 13) % 640, (i * 3) % 480);");
}
BENCHMARK(BM_Script100kLines)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Script100kShortLines(benchmark::State& state)
{
    runLines(state, "for (var i = 0; i < 100000; i++) gfx.Line(i % 640, i % 480, i % 640 + 1, i % 480);");
}
BENCHMARK(BM_Script100kShortLines)->Unit(benchmark::kMillisecond)->UseRealTime();

// The server side on a thread of its own with its own event loop, the way the program's
// GUI thread serves it; the client calls and blocks for each answer.
void BM_DBusRoundTrip(benchmark::State& state)
{
    const QString address = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    if (address.isEmpty()) {
        state.SkipWithError("no D-Bus session bus");
        return;
    }
    std::binary_semaphore ready(0), loopReady(0);
    QEventLoop* stopLoop = nullptr;
    bool started = false;
    std::string why;
    QThread* server = QThread::create([&] {
        TBitmapPictureTarget picture(whitePicture());
        TScriptSession session(&picture);
        TAutomationServer automation(session);
        started = automation.Start(&why);
        ready.release();
        if (started) {
            QEventLoop loop;
            QObject::connect(QThread::currentThread(), &QThread::finished, &loop, &QEventLoop::quit);
            stopLoop = &loop;
            loopReady.release();
            loop.exec();
        } else
            loopReady.release();
        QDBusConnection::sessionBus().unregisterObject(kAutomationPath);
    });
    server->start();
    ready.acquire();
    loopReady.acquire();
    if (!started) {
        server->wait();
        delete server;
        state.SkipWithError(why.c_str());
        return;
    }
    QDBusConnection client = QDBusConnection::connectToBus(address, "bench-client");
    QDBusMessage call = QDBusMessage::createMethodCall(kAutomationService, kAutomationPath, kAutomationInterface, "Line");
    call << QVariant::fromValue(QDBusVariant(1)) << QVariant::fromValue(QDBusVariant(2))
         << QVariant::fromValue(QDBusVariant(30)) << QVariant::fromValue(QDBusVariant(40));
    for (auto _ : state) {
        const QDBusMessage reply = client.call(call, QDBus::Block, 2000);
        if (reply.type() != QDBusMessage::ReplyMessage) {
            state.SkipWithError(reply.errorMessage().toStdString().c_str());
            break;
        }
    }
    QDBusConnection::disconnectFromBus("bench-client");
    QMetaObject::invokeMethod(stopLoop, &QEventLoop::quit, Qt::QueuedConnection);
    server->wait();
    delete server;
}
BENCHMARK(BM_DBusRoundTrip)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    // The round trip wants a session bus of its own: run again under dbus-run-session.
    if (!std::getenv("DBUS_SESSION_BUS_ADDRESS") && !std::getenv("ANIVOR_BENCH_NO_BUS")) {
        setenv("ANIVOR_BENCH_NO_BUS", "1", 1);
        std::vector<char*> args{const_cast<char*>("dbus-run-session"), const_cast<char*>("--")};
        args.insert(args.end(), argv, argv + argc);
        args.push_back(nullptr);
        execvp("dbus-run-session", args.data());
    }
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
