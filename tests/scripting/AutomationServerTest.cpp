// The drawing object on the D-Bus session bus: a private bus daemon per test program, a
// client connection calling members, RunScript and the busy refusal; the activation file.
#include "scripting/dbus/AutomationServer.h"
#include "scripting/ScriptSession.h"

#include "support/TestSupport.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QCoreApplication>
#include <QProcess>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <tuple>
#include <memory>
#include <sstream>

namespace {

// A session bus of our own, so the tests never meet another program's.
class PrivateBus {
public:
    PrivateBus()
    {
        daemon.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        if (!daemon.waitForStarted(3000) || !daemon.waitForReadyRead(3000))
            return;
        address = QString::fromUtf8(daemon.readLine()).trimmed();
        qputenv("DBUS_SESSION_BUS_ADDRESS", address.toUtf8());
    }
    ~PrivateBus()
    {
        daemon.kill();
        daemon.waitForFinished(1000);
    }
    QProcess daemon;
    QString address;
};

PrivateBus& Bus()
{
    static PrivateBus bus;
    return bus;
}

class DBusServer : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (Bus().address.isEmpty())
            GTEST_SKIP() << "no dbus-daemon";
        server = std::make_unique<TAutomationServer>(session);
        std::string why;
        ASSERT_TRUE(server->Start(&why)) << why;
        client = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(Bus().address, "test-client"));
        ASSERT_TRUE(client->isConnected());
    }
    void TearDown() override
    {
        server.reset();
        QDBusConnection::disconnectFromBus("test-client");
    }
    // Calls and waits, serving the object meanwhile (it lives on this thread).
    QDBusMessage Call(const QString& member, const QVariantList& args)
    {
        QDBusMessage m = QDBusMessage::createMethodCall(kAutomationService, kAutomationPath, kAutomationInterface, member);
        for (const QVariant& a : args)
            m << (a.userType() == QMetaType::QString && member == "RunScript" ? a : QVariant::fromValue(QDBusVariant(a)));
        QDBusPendingCall pending = client->asyncCall(m, 5000);
        QDBusPendingCallWatcher watcher(pending);
        QEventLoop loop;
        QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &loop, &QEventLoop::quit);
        if (!pending.isFinished())
            loop.exec();
        return pending.reply();
    }

    TBitmapPictureTarget picture{SolidBitmap(80, 60, clWhite)};
    TScriptSession session{&picture};
    std::unique_ptr<TAutomationServer> server;
    std::unique_ptr<QDBusConnection> client;
};

} // namespace

TEST_F(DBusServer, MembersScriptsAndRefusals)
{
    QDBusMessage r = Call("SetBrushColor", {QString("#00FF00")});
    ASSERT_EQ(r.type(), QDBusMessage::ReplyMessage) << r.errorMessage().toStdString();
    r = Call("Rectangle", {10, 10, QString("40"), 30.5});
    ASSERT_EQ(r.type(), QDBusMessage::ReplyMessage) << r.errorMessage().toStdString();
    EXPECT_EQ(picture.Canvas().Pixel(20, 20), TColor(0x00FF00));
    EXPECT_EQ(picture.Changes, 1);

    r = Call("GetWidth", {});
    ASSERT_EQ(r.arguments().size(), 1);
    EXPECT_EQ(qvariant_cast<QDBusVariant>(r.arguments()[0]).variant().toInt(), 80);
    r = Call("TextWidth", {QString("")});
    EXPECT_EQ(qvariant_cast<QDBusVariant>(r.arguments()[0]).variant().toInt(), 0);

    // Arrays arrive as lists.
    r = Call("Polygon", {QVariant::fromValue(QList<int>{50, 5, 70, 5, 70, 25})});
    ASSERT_EQ(r.type(), QDBusMessage::ReplyMessage) << r.errorMessage().toStdString();
    EXPECT_EQ(picture.Canvas().Pixel(66, 8), TColor(0x00FF00));

    // Failures come back as errors with the description.
    r = Call("Line", {1, QString("abc"), 3, 4});
    EXPECT_EQ(r.type(), QDBusMessage::ErrorMessage);
    EXPECT_EQ(r.errorMessage(), "Type mismatch");
    r = Call("Line", {1, 2});
    EXPECT_EQ(r.errorMessage(), "Wrong number of arguments or invalid property assignment");
    r = Call("NoSuchMember", {});
    EXPECT_EQ(r.type(), QDBusMessage::ErrorMessage);

    r = Call("RunScript", {QString("gfx.PenColor = '#FF0000'; gfx.Line(0, 50, 70, 50);")});
    ASSERT_EQ(r.arguments().size(), 1);
    EXPECT_EQ(r.arguments()[0].toString(), "");
    EXPECT_EQ(picture.Canvas().Pixel(30, 50), TColor(0x0000FF));
    r = Call("RunScript", {QString("gfx.Line(0, 0);")});
    EXPECT_EQ(r.arguments()[0].toString().toStdString(),
              "Line 1, position 5: Wrong number of arguments or invalid property assignment\ngfx.Line(0, 0);");

    server->Refuse = [] { return true; };
    r = Call("Clear", {});
    EXPECT_EQ(r.errorName(), "org.anivor.Anivor13.Error.Busy");
    EXPECT_EQ(picture.Canvas().Pixel(30, 50), TColor(0x0000FF));
}

// Without a frame open in the editor, drawing, reading the picture and RunScript are
// refused with a message that says what to do; settings, measures and the actor path are
// served, and take effect once a frame is open.
TEST_F(DBusServer, DrawingWithoutAnOpenFrameIsRefused)
{
    bool open = false;
    server->FrameOpen = [&] { return open; };
    const TBitmap before = picture.Picture();
    for (const auto& [member, args] : std::vector<std::pair<QString, QVariantList>>{
             {"Line", {0, 0, 70, 50}},
             {"Clear", {}},
             {"Effect", {QString("invert"), 0}},
             {"GetWidth", {}},
             {"Polygon", {QVariant::fromValue(QList<int>{0, 0, 10, 0, 10, 10})}},
             {"RunScript", {QString("gfx.Line(0, 0, 70, 50);")}}}) {
        const QDBusMessage r = Call(member, args);
        EXPECT_EQ(r.errorName().toStdString(), kNoFrameError) << member.toStdString();
        EXPECT_EQ(r.errorMessage(), "No frame is open in the frame editor: open a frame first (Frame > Edit, F4)");
    }
    EXPECT_EQ(picture.Picture(), before);
    EXPECT_EQ(picture.Changes, 0);
    for (const auto& [member, args] : std::vector<std::pair<QString, QVariantList>>{
             {"SetPenColor", {QString("#FF0000")}},
             {"SetPenWidth", {3}},
             {"BrushClear", {}},
             {"TextWidth", {QString("Anivor")}},
             {"ActorWizardPath", {QVariant::fromValue(QList<int>{1, 2, 3, 4})}}}) {
        const QDBusMessage r = Call(member, args);
        EXPECT_EQ(r.type(), QDBusMessage::ReplyMessage) << member.toStdString() << ": " << r.errorMessage().toStdString();
    }
    EXPECT_EQ(session.Gfx().ActorPath().size(), 2u);
    const QDBusMessage unknown = Call("NoSuchMember", {});
    EXPECT_EQ(unknown.type(), QDBusMessage::ErrorMessage);
    EXPECT_NE(unknown.errorName().toStdString(), kNoFrameError);

    open = true;
    ASSERT_EQ(Call("Line", {0, 30, 70, 30}).type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(picture.Canvas().Pixel(20, 30), TColor(0x0000FF));
    EXPECT_EQ(picture.Canvas().Pixel(20, 31), TColor(0x0000FF)); // the pen width set before
    EXPECT_EQ(Call("RunScript", {QString("gfx.Line(0, 10, 70, 10);")}).arguments().value(0).toString(), "");
    EXPECT_EQ(picture.Changes, 2);
}

// A script runs in a process of its own: a call during the run is answered Busy at once;
// scripts that crash the engine, hang inside a built-in or throw anything at all end with
// their reason, the picture keeps what it had, and the next call is served.
TEST_F(DBusServer, ScriptsThatFailHardLeaveTheServerServing)
{
    QDBusMessage m = QDBusMessage::createMethodCall(kAutomationService, kAutomationPath, kAutomationInterface, "RunScript");
    m << QString("gfx.Line(0, 40, 70, 40); for (;;) {}");
    QDBusPendingCall running = client->asyncCall(m, 30000);
    QElapsedTimer clock;
    while (!session.ScriptRunning() && clock.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_TRUE(session.ScriptRunning());
    clock.start();
    EXPECT_EQ(Call("GetWidth", {}).errorName(), "org.anivor.Anivor13.Error.Busy");
    EXPECT_EQ(Call("RunScript", {QString("gfx.Clear();")}).errorName(), "org.anivor.Anivor13.Error.Busy");
    EXPECT_LT(clock.elapsed(), 1000);
    // Stopped once the script has surely drawn its line and entered the loop.
    while (clock.elapsed() < 1500)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    session.StopScript();
    QDBusPendingCallWatcher watcher(running);
    QEventLoop loop;
    QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &loop, &QEventLoop::quit);
    if (!running.isFinished())
        loop.exec();
    EXPECT_EQ(running.reply().arguments().value(0).toString(), "The script was stopped");
    EXPECT_EQ(picture.Canvas().Pixel(30, 40), clBlack); // drawn before the stop

    // A run that dies gives nothing back: the Clear before the crash is not kept.
    const TBitmap before = picture.Picture();
    for (const auto& [script, reason, kept] : std::vector<std::tuple<const char*, const char*, bool>>{
             {"gfx.Clear(); var a = []; for (var i = 0; i < 1e6; i++) a = [a]; String(a);", "nested too deeply", false},
             {"gfx.Clear(); new RegExp('('.repeat(1e5) + ')'.repeat(1e5));", "nested too deeply", false},
             {"gfx.Clear(); throw 'oops';", "Line 1, position 1: oops\ngfx.Clear(); throw 'oops';", true},
             {"gfx.Clear(); throw null;", "Line 1, position 1: null", true}}) {
        const QString answer = Call("RunScript", {QString(script)}).arguments().value(0).toString();
        EXPECT_NE(answer.toStdString().find(reason), std::string::npos) << script << ": " << answer.toStdString();
        EXPECT_FALSE(session.ScriptRunning());
        EXPECT_EQ(picture.Canvas().Pixel(30, 40), kept ? clWhite : clBlack) << script;
    }
    EXPECT_NE(picture.Picture(), before);
    const QDBusMessage width = Call("GetWidth", {});
    ASSERT_EQ(width.type(), QDBusMessage::ReplyMessage) << width.errorMessage().toStdString();
    EXPECT_EQ(qvariant_cast<QDBusVariant>(width.arguments()[0]).variant().toInt(), 80);
}

TEST(AutomationServerFiles, InterfaceAndActivationFile)
{
    TgfxAnivor gfx;
    const std::string xml = TAutomationServer::InterfaceXml(gfx);
    for (const char* part : {"<method name=\"SetPenColor\">", "<method name=\"GetHeight\">", "<method name=\"PolyBezier\">",
                             "<method name=\"RunScript\">", "name=\"EffectName\" type=\"v\""})
        EXPECT_NE(xml.find(part), std::string::npos) << part;
    EXPECT_EQ(gfx.Members().size(), 30u);

    // The user's data folder, or the program's home when it has one.
    TempDir dir;
    const QByteArray home = qgetenv("ANIVOR_HOME");
    qunsetenv("ANIVOR_HOME");
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(dir.path().string()));
    EXPECT_EQ(ActivationFilePath(), dir.file("dbus-1/services/org.anivor.Anivor13.service"));
    qputenv("ANIVOR_HOME", QByteArray::fromStdString(dir.file("home")));
    const std::string file = dir.file("home/dbus-1/services/org.anivor.Anivor13.service");
    EXPECT_EQ(ActivationFilePath(), file);

    const auto text = [&] {
        std::ifstream in(file);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    };
    // Written when missing or stale only: a start with the same program leaves it alone.
    EXPECT_TRUE(RegisterServerIfStale("/opt/my apps/anivor"));
    EXPECT_EQ(text(), "[D-BUS Service]\nName=org.anivor.Anivor13\nExec=\"/opt/my apps/anivor\" /AUTOMATION\n");
    std::filesystem::last_write_time(file, std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
    const auto written = std::filesystem::last_write_time(file);
    EXPECT_FALSE(RegisterServerIfStale("/opt/my apps/anivor"));
    EXPECT_EQ(std::filesystem::last_write_time(file), written);
    EXPECT_TRUE(RegisterServerIfStale("/usr/bin/anivor"));
    EXPECT_EQ(text(), "[D-BUS Service]\nName=org.anivor.Anivor13\nExec=/usr/bin/anivor /AUTOMATION\n");
    std::filesystem::last_write_time(file, written);
    RegisterServer("/usr/bin/anivor"); // registering writes always
    EXPECT_NE(std::filesystem::last_write_time(file), written);
    UnregisterServer();
    EXPECT_FALSE(std::ifstream(file).good());
    UnregisterServer(); // nothing to remove is fine
    qunsetenv("XDG_DATA_HOME");
    if (home.isEmpty())
        qunsetenv("ANIVOR_HOME");
    else
        qputenv("ANIVOR_HOME", home);
}
