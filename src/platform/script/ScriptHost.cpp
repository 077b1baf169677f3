#include "ScriptHost.h"

#include "graphics/MemoryBudget.h"

#include <QGuiApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJSEngine>
#include <QKeyEvent>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <cctype>
#include <cstdio>
#include <unistd.h>

namespace {

// The file name the script text carries inside the engine, to tell its frames on the
// stack from those of the object wrappers.
const char* kScriptFile = "script";
const char* kBridgeFile = "anivor-object";
// The longest list a script may hand to a member.
constexpr double kMaxListLength = 2000000;
// How much of an error's source line and text is shown.
constexpr std::size_t kShownSourceChars = 200;
constexpr std::size_t kShownDescriptionChars = 500;
const char* kStopProperty = "anivorScriptStopControl";

std::uint64_t residentBytes()
{
    std::FILE* f = std::fopen("/proc/self/statm", "r");
    if (!f)
        return 0;
    unsigned long long size = 0, resident = 0;
    const int n = std::fscanf(f, "%llu %llu", &size, &resident);
    std::fclose(f);
    return n == 2 ? resident * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE)) : 0;
}

bool languageHasEngine(const std::string& language)
{
    const QString l = QString::fromStdString(language);
    for (const char* name : {"JScript", "JavaScript", "ECMAScript"})
        if (l.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

std::vector<std::string> splitLines(const std::string& code)
{
    std::vector<std::string> lines(1);
    for (char c : code) {
        if (c == '\n')
            lines.emplace_back();
        else if (c != '\r')
            lines.back() += c;
    }
    return lines;
}

// The spellings of a name in every mix of letter case (only the name, its lower- and
// upper-case forms for long names).
QStringList caseVariants(const QString& name)
{
    QStringList variants{name};
    if (name.size() > 8) {
        variants << name.toLower() << name.toUpper();
        return variants;
    }
    for (int mask = 0; mask < (1 << name.size()); ++mask) {
        QString v = name;
        for (int k = 0; k < name.size(); ++k)
            v[k] = (mask >> k) & 1 ? v[k].toUpper() : v[k].toLower();
        if (!variants.contains(v))
            variants << v;
    }
    return variants;
}

// Holds mouse and key input away from the windows while a script runs; Esc stops it.
class TRunInputFilter : public QObject {
public:
    explicit TRunInputFilter(std::function<void()> onEsc) : m_onEsc(std::move(onEsc)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // No window closes during a run.
        if (event->type() == QEvent::Close) {
            event->ignore();
            return true;
        }
        // Input reaches a window first and its widgets after: held at the widget, so that
        // a stop control inside a window still gets its click.
        if (watched->isWindowType())
            return false;
        switch (event->type()) {
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && m_onEsc)
                m_onEsc();
            return true;
        case QEvent::KeyRelease: case QEvent::ShortcutOverride: case QEvent::Shortcut:
        case QEvent::MouseButtonPress: case QEvent::MouseButtonRelease: case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove: case QEvent::Wheel: case QEvent::ContextMenu:
        case QEvent::TouchBegin: case QEvent::TouchUpdate: case QEvent::TouchEnd:
            for (QObject* o = watched; o; o = o->parent())
                if (o->property(kStopProperty).toBool())
                    return false;
            return true;
        default:
            return false;
        }
    }

private:
    std::function<void()> m_onEsc;
};

} // namespace

TScriptInputHold::TScriptInputHold(std::function<void()> onEsc)
{
    // Only a program with windows has input to hold back.
    if (QGuiApplication* windows = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        m_filter = std::make_unique<TRunInputFilter>(std::move(onEsc));
        windows->installEventFilter(m_filter.get());
    }
}

TScriptInputHold::~TScriptInputHold()
{
    if (m_filter && QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(m_filter.get());
}

// One named object as the engine sees it: the wrapper made in JavaScript calls `call`
// with the member's id, the number of arguments given and up to eight arguments.
class TScriptBridge : public QObject {
    Q_OBJECT
public:
    TScriptBridge(QJSEngine& engine, TAutomationObject& object, const std::atomic<bool>& stopping)
        : m_engine(engine), m_object(object), m_stopping(stopping) {}

    Q_INVOKABLE QJSValue call(int dispId, int argc, const QJSValue& a0, const QJSValue& a1, const QJSValue& a2,
                              const QJSValue& a3, const QJSValue& a4, const QJSValue& a5, const QJSValue& a6,
                              const QJSValue& a7)
    {
        const TAutomationMember* member = m_object.FindMember(dispId);
        if (!member)
            return fail("Object doesn't support this property or method", std::string());
        if (m_stopping) {
            m_engine.setInterrupted(true);
            return QJSValue();
        }
        try {
            const QJSValue* given[8] = {&a0, &a1, &a2, &a3, &a4, &a5, &a6, &a7};
            QVariantList args;
            const int n = std::min(argc, 8);
            // Missing arguments stay missing: the member guard reports the count.
            for (int i = 0; i < n; ++i)
                args.push_back(toVariant(*given[i]));
            if (argc > 8)
                args.push_back(QVariant());
            return fromVariant(m_object.Invoke(*member, args));
        } catch (const std::exception& e) {
            return fail(e.what(), member->Name);
        }
    }
    // An assignment to or a read of something the object does not have.
    Q_INVOKABLE QJSValue unsupported(const QString& name)
    {
        return fail("Object doesn't support this property or method", name.toStdString());
    }

    std::string FailedMember;
    std::string FailedDescription;

private:
    QJSValue fail(const std::string& description, const std::string& member)
    {
        if (FailedDescription.empty() || FailedDescription != description) {
            FailedMember = member;
            FailedDescription = description;
        }
        m_engine.throwError(QJSValue::GenericError, QString::fromStdString(description));
        return QJSValue();
    }

    static QVariant scalar(const QJSValue& v)
    {
        if (v.isUndefined())
            return QVariant();
        if (v.isNull())
            return QVariant::fromValue(nullptr);
        if (v.isBool())
            return v.toBool();
        if (v.isNumber())
            return v.toNumber();
        if (v.isString())
            return v.toString();
        return QVariant(QVariantMap()); // an object: no conversion takes it
    }

    QVariant toVariant(const QJSValue& v)
    {
        if (!v.isArray())
            return scalar(v);
        const double length = v.property("length").toNumber();
        if (length > kMaxListLength)
            throw EAutomationError("The list has " + std::to_string(static_cast<long long>(length))
                                   + " values; at most " + std::to_string(static_cast<long long>(kMaxListLength))
                                   + " are accepted");
        const auto n = static_cast<quint32>(length);
        MemoryBudget::Check(std::uint64_t(n) * sizeof(QVariant) * 2, "a list of " + std::to_string(n) + " values");
        QVariantList list;
        list.reserve(n);
        for (quint32 i = 0; i < n; ++i) {
            if ((i & 0xFFFF) == 0xFFFF && m_stopping)
                throw EAutomationError("Stopped");
            list.push_back(scalar(v.property(i)));
        }
        return list;
    }

    QJSValue fromVariant(const QVariant& v)
    {
        if (!v.isValid())
            return QJSValue();
        switch (v.metaType().id()) {
        case QMetaType::Int: return QJSValue(v.toInt());
        case QMetaType::Double: return QJSValue(v.toDouble());
        case QMetaType::Bool: return QJSValue(v.toBool());
        case QMetaType::QString: return QJSValue(v.toString());
        default: return m_engine.toScriptValue(v);
        }
    }

    QJSEngine& m_engine;
    TAutomationObject& m_object;
    const std::atomic<bool>& m_stopping;
};

std::string PrintableExcerpt(const std::string& text, std::size_t maxChars)
{
    const QString in = QString::fromUtf8(text.data(), static_cast<qsizetype>(std::min<std::size_t>(text.size(), maxChars * 4 + 4)));
    QString out;
    std::size_t count = 0;
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (count == maxChars) {
            out += QLatin1String("...");
            break;
        }
        const QChar c = in[i];
        if (c == '\n')
            out += QLatin1String("\\n");
        else if (c == '\t')
            out += QLatin1String("\\t");
        else if (c == '\r')
            out += QLatin1String("\\r");
        else if (c.unicode() < 0x20 || c.unicode() == 0x7F || (c.unicode() >= 0x80 && c.unicode() < 0xA0))
            out += QString("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += c;
        ++count;
    }
    return out.toStdString();
}

std::string TScriptError::Text() const
{
    if (Line < 0)
        return Description;
    std::string text = "Line " + std::to_string(Line + 1) + ", position " + std::to_string(Pos + 1) + ": " + Description;
    if (!Source.empty())
        text += "\n" + Source;
    return text;
}

void TScriptGlobalObjects::AddNamedIntf(const std::string& name, std::shared_ptr<TAutomationObject> object)
{
    m_names.push_back(name);
    m_objects.push_back(std::move(object));
}

std::shared_ptr<TAutomationObject> TScriptGlobalObjects::GetNamedItem(const std::string& name) const
{
    const QString n = QString::fromStdString(name);
    for (std::size_t i = 0; i < m_names.size(); ++i)
        if (n.compare(QString::fromStdString(m_names[i]), Qt::CaseInsensitive) == 0)
            return m_objects[i];
    return nullptr;
}

TActiveScriptSite::TActiveScriptSite() = default;
TActiveScriptSite::~TActiveScriptSite() = default;

void TActiveScriptSite::AddNamedItem(const std::string& name, std::shared_ptr<TAutomationObject> object)
{
    m_registry.AddNamedIntf(name, std::move(object));
}

void TActiveScriptSite::SetStopControl(QObject* control)
{
    if (control)
        control->setProperty(kStopProperty, true);
}

void TActiveScriptSite::Stop()
{
    std::lock_guard<std::mutex> lock(m_engineLock);
    if (!m_running)
        return;
    StopReason none = StopReason::None;
    m_stopReason.compare_exchange_strong(none, StopReason::User);
    m_stopping = true;
    if (m_engine)
        m_engine->setInterrupted(true);
}

std::optional<TScriptError> TActiveScriptSite::Execute(const std::string& code)
{
    if (!languageHasEngine(ScriptLanguage))
        throw EScriptEngine("Class not registered: there is no script engine for the language \"" + ScriptLanguage + "\"");
    if (m_running)
        throw Exception("A script is already running");

    const std::uint64_t inUse = MemoryBudget::InUse();
    const std::uint64_t limit = MemoryBudget::Limit();
    m_memoryRoom = MemoryLimit ? MemoryLimit : (limit > inUse ? limit - inUse : 0);
    m_stopReason = StopReason::None;
    m_stopping = false;
    m_running = true;

    std::optional<TScriptError> error;
    QThread* worker = QThread::create([this, &code, &error] { runOnWorker(code, error); });
    worker->setStackSize(16u << 20);

    QEventLoop loop;
    QObject::connect(worker, &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    std::optional<TScriptInputHold> hold;
    hold.emplace([this] { Stop(); });

    const std::uint64_t startBytes = residentBytes();
    QElapsedTimer clock;
    clock.start();
    QTimer watch;
    watch.setInterval(20);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        StopReason reason = StopReason::None;
        if (TimeoutSeconds > 0 && clock.elapsed() > TimeoutSeconds * 1000)
            reason = StopReason::Timeout;
        else if (const std::uint64_t now = residentBytes(); now > startBytes && now - startBytes > m_memoryRoom)
            reason = StopReason::Memory;
        if (reason == StopReason::None)
            return;
        std::lock_guard<std::mutex> lock(m_engineLock);
        StopReason none = StopReason::None;
        m_stopReason.compare_exchange_strong(none, reason);
        m_stopping = true;
        if (m_engine)
            m_engine->setInterrupted(true);
    });
    watch.start();
    worker->start();
    loop.exec();
    worker->wait();
    watch.stop();
    hold.reset();
    delete worker;
    m_running = false;

    if (error && OnError)
        OnError(*this, error->Line, error->Pos, error->Source, error->Description);
    return error;
}

void TActiveScriptSite::runOnWorker(const std::string& code, std::optional<TScriptError>& error)
{
    if (WorkerStarted)
        WorkerStarted();
    std::atomic<bool>& stopping = m_stopping;
    QJSEngine engine;
    std::vector<std::unique_ptr<TScriptBridge>> bridges;
    {
        std::lock_guard<std::mutex> lock(m_engineLock);
        m_engine = &engine;
        if (m_stopReason != StopReason::None)
            engine.setInterrupted(true);
    }

    // Each named object becomes a proxy: names are found without regard to letter case,
    // methods are functions, put members take assignments and get members are read.
    for (int i = 0; i < m_registry.NamedItemCount(); ++i) {
        TAutomationObject& object = *m_registry.NamedItem(i);
        auto bridge = std::make_unique<TScriptBridge>(engine, object, stopping);
        QString table;
        for (const TAutomationMember& m : object.Members())
            table += QString("'%1':[%2,%3,'%4'],").arg(QString::fromStdString(m.Name).toLower()).arg(m.DispId)
                         .arg(static_cast<int>(m.Kind)).arg(QString::fromStdString(m.Name));
        // The members under their own names are properties of the object itself (the fast
        // path); other spellings fall through to a proxy behind it.
        const QString wrapper = QString(R"JS((function (b) {
  var members = {%1};
  function find(k) { return typeof k === 'string' ? members[k.toLowerCase()] : undefined; }
  function unsupported(k) { return function () { return b.unsupported(k); }; }
  var methods = {};
  function method(m) {
    var f = methods[m[0]];
    if (f === undefined) {
      f = function (a0, a1, a2, a3, a4, a5, a6, a7) {
        return b.call(m[0], arguments.length, a0, a1, a2, a3, a4, a5, a6, a7);
      };
      methods[m[0]] = f;
    }
    return f;
  }
  function read(m) { return m[1] === 2 ? b.call(m[0], 0, undefined, undefined, undefined, undefined, undefined, undefined, undefined, undefined) : b.unsupported(m[2]); }
  function write(m, v) {
    if (m[1] === 1) b.call(m[0], 1, v, undefined, undefined, undefined, undefined, undefined, undefined, undefined);
    else b.unsupported(m[2]);
  }
  var others = new Proxy({}, {
    get: function (t, k) {
      var m = find(k);
      if (m === undefined) return typeof k === 'string' ? unsupported(k) : undefined;
      return m[1] === 0 ? method(m) : read(m);
    },
    set: function (t, k, v) {
      var m = find(k);
      if (m === undefined) b.unsupported(String(k)); else write(m, v);
      return true;
    },
    has: function (t, k) { return find(k) !== undefined; }
  });
  var object = Object.create(others);
  Object.keys(members).forEach(function (key) {
    var m = members[key];
    if (m[1] === 0)
      Object.defineProperty(object, m[2], { value: method(m), writable: false, enumerable: true });
    else
      Object.defineProperty(object, m[2], { enumerable: true,
        get: function () { return read(m); }, set: function (v) { write(m, v); } });
  });
  return Object.preventExtensions(object);
}))JS").arg(table);
        QJSValue make = engine.evaluate(wrapper, kBridgeFile);
        QJSValue proxy = make.call({engine.newQObject(bridge.get())});
        QJSEngine::setObjectOwnership(bridge.get(), QJSEngine::CppOwnership);
        // The name is found without regard to letter case: "gfx" answers to "GFX" too. The
        // first object registered under a name wins, as lookups in the registry do.
        for (const QString& name : caseVariants(QString::fromStdString(m_registry.NamedItemName(i))))
            if (!engine.globalObject().hasOwnProperty(name))
                engine.globalObject().setProperty(name, proxy);
        bridges.push_back(std::move(bridge));
    }

    QStringList trace;
    const QJSValue result = engine.evaluate(QString::fromStdString(code), kScriptFile, 1, &trace);
    // Anything may be thrown, not only errors: a text, a number, null, an object. Its text
    // and place are read while the engine can still be interrupted, since reading them may
    // run the script's own getters and toString methods.
    std::optional<TScriptError> thrown;
    if (!trace.isEmpty() || result.isError())
        thrown = thrownError(code, result, trace, bridges);
    {
        std::lock_guard<std::mutex> lock(m_engineLock);
        m_engine = nullptr;
    }

    const StopReason reason = m_stopReason;
    if (reason != StopReason::None) {
        TScriptError e;
        switch (reason) {
        case StopReason::User: e.Description = "The script was stopped"; break;
        case StopReason::Timeout:
            e.Description = "The script stopped: it ran longer than " + QString::number(TimeoutSeconds).toStdString()
                            + " seconds";
            break;
        default:
            e.Description = "The script stopped: it used more memory than the "
                            + MemoryBudget::FormatBytes(m_memoryRoom) + " left in the memory limit";
            break;
        }
        error = e;
        return;
    }
    error = thrown;
}

namespace {

// The value's text as the script would print it; "" when reading it failed.
std::string textOf(const QJSValue& v)
{
    QString text = v.toString();
    return text.toStdString();
}

// The line of the first frame of the script in a stack trace ("name:line:column:file:script").
int traceLine(const QStringList& trace)
{
    for (const QString& frame : trace) {
        const QStringList parts = frame.split(':');
        if (parts.size() >= 5 && parts.last() == QLatin1String(kScriptFile))
            return parts[parts.size() - 4].toInt();
    }
    return 0;
}

} // namespace

std::optional<TScriptError> TActiveScriptSite::thrownError(const std::string& code, const QJSValue& thrown,
                                                           const QStringList& trace,
                                                           const std::vector<std::unique_ptr<TScriptBridge>>& bridges) const
{
    if (!thrown.isError()) {
        std::string text = textOf(thrown);
        if (text.empty())
            text = "An empty value was thrown";
        return errorFrom(code, text, std::string(), traceLine(trace), std::string());
    }
    std::string failed;
    std::string message = textOf(thrown);
    const std::string own = textOf(thrown.property("message"));
    for (const auto& b : bridges)
        if (!b->FailedDescription.empty() && own == b->FailedDescription) {
            failed = b->FailedMember;
            message = b->FailedDescription;
        }
    if (message.empty())
        message = own.empty() ? std::string("An error without a text was thrown") : own;
    const QJSValue lineNumber = thrown.property("lineNumber");
    const int line = lineNumber.isNumber() ? lineNumber.toInt() : traceLine(trace);
    return errorFrom(code, message, textOf(thrown.property("stack")), line > 0 ? line : traceLine(trace), failed);
}

TScriptError TActiveScriptSite::errorFrom(const std::string& code, const std::string& message, const std::string& stack,
                                          int lineNumber, const std::string& failedMember) const
{
    TScriptError e;
    // The first frame of the script itself: errors raised by an object's wrapper carry the
    // wrapper's line first.
    int line = lineNumber;
    for (const std::string& marker : {std::string("@file:") + kScriptFile + ":", std::string("@") + kScriptFile + ":"})
        if (const std::size_t at = stack.find(marker); at != std::string::npos) {
            line = std::atoi(stack.c_str() + at + marker.size());
            break;
        }
    const std::vector<std::string> lines = splitLines(code);
    e.Line = std::max(0, line - 1);
    if (e.Line >= static_cast<int>(lines.size()))
        e.Line = static_cast<int>(lines.size()) - 1;
    const std::string& source = lines[e.Line];
    // The engine gives no column: point at the failing member's name when it is on the
    // line, else at the first character of the statement.
    std::size_t pos = std::string::npos;
    if (!failedMember.empty()) {
        const QString src = QString::fromStdString(source);
        const qsizetype p = src.indexOf(QString::fromStdString(failedMember), 0, Qt::CaseInsensitive);
        if (p >= 0)
            pos = static_cast<std::size_t>(QString(src.left(p)).toStdString().size());
    }
    if (pos == std::string::npos) {
        pos = 0;
        while (pos < source.size() && std::isspace(static_cast<unsigned char>(source[pos])))
            ++pos;
        if (pos == source.size())
            pos = 0;
    }
    e.Pos = static_cast<int>(pos);
    e.Source = PrintableExcerpt(source, kShownSourceChars);
    e.Description = PrintableExcerpt(message, kShownDescriptionChars);
    return e;
}

#include "ScriptHost.moc"
