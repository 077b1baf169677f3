// TScriptForm: the script editor "Anivor Script". Created once at start-up and kept, so its
// text and file name survive between openings; the frame editor shows it modally with
// View > Script (F2). Run hands the text to the script session, whose "gfx" draws on the
// frame editor's picture while this window stays in front.
//
// Unlike a silent host, the window tells the user how a run ended in its status bar (the
// first error with its line and position, or why the script stopped); Stop and Esc end a
// running script. Run returns at once: the script runs in a process of its own, and the
// window's other commands wait until it has ended.
#pragma once

#include "platform/CommandTable.h"

#include <QDialog>

#include <optional>
#include <string>

class QAction;
class QStatusBar;
class QToolBar;
class QsciScintilla;
class TCommandActions;
class TDrawF;
class TScriptSession;
struct TScriptError;

class TScriptForm : public QDialog {
    Q_OBJECT
public:
    TScriptForm(TScriptSession& session, QWidget* parent = nullptr);

    // The tool bar's commands by id ("script.open", "script.run", ...); Action throws
    // std::logic_error for an unknown id.
    const TCommandTable& Commands() const { return m_commands; }
    QAction* Action(const QString& id) const;
    const std::string& ScriptFileName() const { return m_scriptFileName; }
    // The editor's lines joined with CR LF, no line break after the last line.
    std::string ScriptText() const;
    void SetScriptText(const std::string& text);

    void cmdOpenClick();
    void cmdSaveClick();
    void cmdSaveAsClick();
    void cmdCloseClick();
    void cmdRunClick();
    void cmdStopClick();
    bool Running() const { return m_running; }

    QToolBar* ToolBar1 = nullptr;
    QsciScintilla* scriptEditor = nullptr;
    QStatusBar* StatusBar1 = nullptr;

signals:
    // A run has ended and the status bar tells how.
    void RunEnded();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void runEnded(const std::optional<TScriptError>& error);
    void saveTo(const std::string& path);
    std::string scriptsDir() const;

    TScriptSession& m_session;
    std::string m_scriptFileName;
    TCommandTable m_commands;
    TCommandActions* m_actions = nullptr;
    bool m_running = false; // a script is running
};

// Puts scripting into the frame editor: the session draws on its picture (which shows the
// picture as it was until the run ends, so nothing reads it while the script draws) and
// View > Script opens `form` modally.
void AttachScripting(TDrawF& draw, TScriptSession& session, TScriptForm& form);
