// The script host: runs a JScript (JavaScript) text with QJSEngine and makes the
// application's named automation objects visible to it ("gfx"). Each Execute starts a
// fresh engine, so nothing of an earlier run survives; the whole text runs before
// Execute returns, to its end or to its first uncaught error, which is reported once
// (description, line, position, source line) to OnError and returned.
//
// The engine runs on a worker thread while the calling thread waits in a local event
// loop, so a runaway script can be stopped: Stop() (the Stop command, Esc), a timeout,
// or the memory the run has grown by passing the memory budget's free room. During the
// wait the windows get no mouse or key input except Esc and the controls marked as stop
// controls (SetStopControl), and the named objects are called on the worker thread: they
// must not touch widgets while a script runs.
//
// Scripts reach nothing but the ECMAScript built-ins and the named objects: no files,
// no network, no module loading.
#pragma once

#include "Automation.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class QJSEngine;
class QJSValue;
class QObject;
#include <QStringList>
class TScriptBridge;

// A script's first error. Line and Pos are counted from 0, as the engine gives them
// (Line -1: the run was stopped, no place in the text).
struct TScriptError {
    int Line = -1;
    int Pos = 0;
    std::string Source;      // the text of that line (at most 200 characters, control characters escaped)
    std::string Description; // e.g. "Type mismatch", "SyntaxError: Expected token `)'"
    // For people: "Line 3, position 7: Type mismatch" (both counted from 1), then the
    // source line on a line of its own.
    std::string Text() const;
};

class TActiveScriptSite;
using TOnActiveScriptError = std::function<void(TActiveScriptSite& sender, int line, int pos, const std::string& src,
                                                const std::string& description)>;

// The named objects: names kept in order, duplicates allowed, lookups without regard to
// letter case taking the first match.
class TScriptGlobalObjects {
public:
    void AddNamedIntf(const std::string& name, std::shared_ptr<TAutomationObject> object);
    std::shared_ptr<TAutomationObject> GetNamedItem(const std::string& name) const;
    int NamedItemCount() const { return static_cast<int>(m_names.size()); }
    const std::string& NamedItemName(int index) const { return m_names.at(index); }
    TAutomationObject* NamedItem(int index) const { return m_objects.at(index).get(); }

private:
    std::vector<std::string> m_names;
    std::vector<std::shared_ptr<TAutomationObject>> m_objects;
};

// `text` for a status bar or a terminal: control characters as escapes (\n, \t, \x1b),
// cut to `maxChars` characters with "..." after the cut.
std::string PrintableExcerpt(const std::string& text, std::size_t maxChars);

// A script language without an engine here ("VBScript").
class EScriptEngine : public Exception {
public:
    using Exception::Exception;
};

class TActiveScriptSite {
public:
    TActiveScriptSite();
    virtual ~TActiveScriptSite();
    TActiveScriptSite(const TActiveScriptSite&) = delete;
    TActiveScriptSite& operator=(const TActiveScriptSite&) = delete;

    // The engine's name: "JScript" (or "JavaScript"); the constructor sets "VBScript",
    // for which there is no engine.
    std::string ScriptLanguage = "VBScript";
    TOnActiveScriptError OnError;
    // Seconds after which a run is stopped (0: never).
    double TimeoutSeconds = 0;
    // Bytes the process may grow by during a run before it is stopped (0: the memory
    // budget's free room at the start of the run).
    std::uint64_t MemoryLimit = 0;
    // Called on the engine's thread before the script starts (a script runner process
    // sets up its crash handling there).
    std::function<void()> WorkerStarted;

    // Visible to the next run under `name`; an engine already running does not learn it.
    void AddNamedItem(const std::string& name, std::shared_ptr<TAutomationObject> object);
    TScriptGlobalObjects& Registry() { return m_registry; }

    // Runs `code` in a fresh engine; returns its first error, which OnError got too.
    // Throws EScriptEngine when ScriptLanguage has no engine, and Exception when a run
    // is already going on (a script cannot start another).
    std::optional<TScriptError> Execute(const std::string& code);
    // Stops the running script (any thread); what it drew stays.
    void Stop();
    bool Running() const { return m_running; }

    // Controls that stay usable while a script runs (a Stop button).
    static void SetStopControl(QObject* control);

private:
    void runOnWorker(const std::string& code, std::optional<TScriptError>& error);
    std::optional<TScriptError> thrownError(const std::string& code, const QJSValue& thrown, const QStringList& trace,
                                            const std::vector<std::unique_ptr<TScriptBridge>>& bridges) const;
    TScriptError errorFrom(const std::string& code, const std::string& message, const std::string& stack,
                           int lineNumber, const std::string& failedMember) const;

    TScriptGlobalObjects m_registry;
    std::atomic<bool> m_running{false};
    std::mutex m_engineLock;
    QJSEngine* m_engine = nullptr; // the running engine, under m_engineLock
    enum class StopReason { None, User, Timeout, Memory };
    std::atomic<StopReason> m_stopReason{StopReason::None};
    std::atomic<bool> m_stopping{false}; // the objects refuse further calls
    std::uint64_t m_memoryRoom = 0;
};

// Holds mouse and key input away from the program's windows while it lives, except for
// the stop controls (SetStopControl); Esc calls `onEsc`. Nothing when there are no windows.
class TScriptInputHold {
public:
    explicit TScriptInputHold(std::function<void()> onEsc);
    ~TScriptInputHold();
    TScriptInputHold(const TScriptInputHold&) = delete;
    TScriptInputHold& operator=(const TScriptInputHold&) = delete;

private:
    std::unique_ptr<QObject> m_filter;
};

// The host as the frame editor owns it: with a window, named "se".
class TActiveScriptWindow : public TActiveScriptSite {};
