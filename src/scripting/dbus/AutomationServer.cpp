#include "AutomationServer.h"

#include "scripting/ScriptSession.h"

#include "graphics/FileWrite.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QDir>
#include <QStandardPaths>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

const char* kErrorName = "org.anivor.Anivor13.Error";
const char* kBusyName = "org.anivor.Anivor13.Error.Busy";
const char* kNoFrameText = "No frame is open in the frame editor: open a frame first (Frame > Edit, F4)";
constexpr double kRunScriptTimeout = 20; // plus the runner's grace second, within the bus's 25 s

// A D-Bus value as the automation layer takes it: variants unwrapped, arrays as lists.
QVariant fromBus(const QVariant& v)
{
    if (v.userType() == qMetaTypeId<QDBusVariant>())
        return fromBus(qvariant_cast<QDBusVariant>(v).variant());
    if (v.userType() == qMetaTypeId<QDBusArgument>()) {
        const QDBusArgument arg = qvariant_cast<QDBusArgument>(v);
        if (arg.currentType() != QDBusArgument::ArrayType)
            return QVariant(QVariantMap()); // a structure or a map: no conversion takes it
        QVariantList list;
        arg.beginArray();
        while (!arg.atEnd())
            list.push_back(fromBus(arg.asVariant()));
        arg.endArray();
        return list;
    }
    if (v.metaType().id() == QMetaType::QByteArray) { // "ay"
        QVariantList list;
        for (char c : v.toByteArray())
            list.push_back(static_cast<int>(static_cast<unsigned char>(c)));
        return list;
    }
    return v;
}

QString dbusName(const TAutomationMember& m)
{
    const QString name = QString::fromStdString(m.Name);
    switch (m.Kind) {
    case TMemberKind::Put: return "Set" + name;
    case TMemberKind::Get: return "Get" + name;
    default: return name;
    }
}

} // namespace

class TAutomationServer::TBusObject : public QDBusVirtualObject {
public:
    TBusObject(TScriptSession& session, TAutomationServer& server) : m_session(session), m_server(server) {}

    QString introspect(const QString&) const override
    {
        return QString::fromStdString(InterfaceXml(m_session.Gfx()));
    }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        if (message.type() != QDBusMessage::MethodCallMessage)
            return false;
        if (!message.interface().isEmpty() && message.interface() != kAutomationInterface)
            return false;
        const QString member = message.member();
        QDBusMessage reply;
        if (m_session.Gfx().Busy() || m_session.ScriptRunning() || (m_server.Refuse && m_server.Refuse())) {
            connection.send(message.createErrorReply(kBusyName, "Anivor is busy: a script is running or a prompt is open"));
            return true;
        }
        const bool runScript = member == "RunScript";
        const TAutomationMember* m = nullptr;
        for (const TAutomationMember& candidate : m_session.Gfx().Members())
            if (dbusName(candidate) == member)
                m = &candidate;
        if (!runScript && !m)
            return false; // the bus answers "unknown method"
        // Drawing without a frame in the editor would land on a picture nobody keeps.
        if ((runScript || TgfxAnivor::UsesPicture(*m)) && m_server.FrameOpen && !m_server.FrameOpen()) {
            connection.send(message.createErrorReply(kNoFrameError, kNoFrameText));
            return true;
        }
        try {
            if (runScript) {
                const QVariantList args = message.arguments();
                if (args.size() != 1)
                    throw EAutomationError("Wrong number of arguments or invalid property assignment");
                const std::string text = VariantToText(fromBus(args[0]));
                // The script runs in a process of its own; the answer goes out when it ends,
                // and meanwhile every call is answered Busy at once. It is stopped before the
                // bus gives up on the answer (25 s).
                message.setDelayedReply(true);
                m_session.StartScript(text, kRunScriptTimeout,
                                      [message, connection](const std::optional<TScriptError>& error) {
                                          QDBusConnection(connection).send(
                                              message.createReply(QString::fromStdString(error ? error->Text() : std::string())));
                                      });
                return true;
            }
            QVariantList args;
            for (const QVariant& a : message.arguments())
                args.push_back(fromBus(a));
            const QVariant result = m_session.Gfx().Invoke(*m, args);
            reply = m->HasResult ? message.createReply(QVariant::fromValue(QDBusVariant(result))) : message.createReply();
        } catch (const std::exception& e) {
            reply = message.createErrorReply(kErrorName, QString::fromUtf8(e.what()));
        }
        connection.send(reply);
        return true;
    }

private:
    TScriptSession& m_session;
    TAutomationServer& m_server;
};

TAutomationServer::TAutomationServer(TScriptSession& session) : m_object(std::make_unique<TBusObject>(session, *this)) {}

TAutomationServer::~TAutomationServer()
{
    if (m_started) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.unregisterObject(kAutomationPath);
        bus.unregisterService(kAutomationService);
    }
}

bool TAutomationServer::Start(std::string* why)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    const auto fail = [&](const std::string& reason) {
        if (why)
            *why = reason;
        return false;
    };
    if (!bus.isConnected())
        return fail("there is no D-Bus session bus");
    if (!bus.registerVirtualObject(kAutomationPath, m_object.get()))
        return fail("the object path " + std::string(kAutomationPath) + " is taken");
    if (!bus.registerService(kAutomationService)) {
        bus.unregisterObject(kAutomationPath);
        return fail("the bus name " + std::string(kAutomationService) + " is taken by another program");
    }
    m_started = true;
    return true;
}

std::string TAutomationServer::InterfaceXml(const TAutomationObject& object)
{
    std::string xml = std::string("  <interface name=\"") + kAutomationInterface + "\">\n";
    for (const TAutomationMember& m : object.Members()) {
        xml += "    <method name=\"" + dbusName(m).toStdString() + "\">\n";
        for (const std::string& p : m.Params)
            xml += "      <arg name=\"" + (p.empty() ? std::string("value") : p) + "\" type=\"v\" direction=\"in\"/>\n";
        if (m.HasResult)
            xml += std::string("      <arg name=\"") + (m.Kind == TMemberKind::Get ? "Value" : "result")
                   + "\" type=\"v\" direction=\"out\"/>\n";
        xml += "    </method>\n";
    }
    xml += "    <method name=\"RunScript\">\n      <arg name=\"text\" type=\"s\" direction=\"in\"/>\n"
           "      <arg name=\"error\" type=\"s\" direction=\"out\"/>\n    </method>\n";
    return xml + "  </interface>\n";
}

std::string ActivationFilePath()
{
    // A program with a home of its own (tests, a portable copy) keeps the file there.
    const QString home = qEnvironmentVariable("ANIVOR_HOME");
    if (!home.isEmpty())
        return (home + "/dbus-1/services/" + kAutomationService + ".service").toStdString();
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty())
        data = QDir::homePath() + "/.local/share";
    return (data + "/dbus-1/services/" + kAutomationService + ".service").toStdString();
}

namespace {

std::string activationFileText(const std::string& program)
{
    // Exec takes the program's path as one argument; quote it when it holds blanks.
    std::string exec = program;
    if (exec.find_first_of(" \t\"\\") != std::string::npos) {
        std::string quoted = "\"";
        for (char c : exec) {
            if (c == '"' || c == '\\')
                quoted += '\\';
            quoted += c;
        }
        exec = quoted + "\"";
    }
    return "[D-BUS Service]\nName=" + std::string(kAutomationService) + "\nExec=" + exec + " /AUTOMATION\n";
}

} // namespace

void RegisterServer(const std::string& program)
{
    const std::filesystem::path file = ActivationFilePath();
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    WriteFileAtomic(file.string(), activationFileText(program));
}

bool RegisterServerIfStale(const std::string& program)
{
    const std::string text = activationFileText(program);
    std::ifstream in(ActivationFilePath(), std::ios::binary);
    if (in) {
        std::string now((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (now == text)
            return false;
    }
    RegisterServer(program);
    return true;
}

void UnregisterServer()
{
    std::error_code ec;
    std::filesystem::remove(ActivationFilePath(), ec);
}
