#include "ScriptForm.h"

#include "scripting/ScriptSession.h"

#include "editor/ui/DrawForm.h"
#include "editor/ui/DrawWidgets.h"
#include "graphics/FileWrite.h"
#include "graphics/MemoryBudget.h"
#include "graphics/canvas/Canvas.h"
#include "platform/AppDir.h"
#include "platform/ui/CommandActions.h"
#include "platform/ui/HelpViewer.h"
#include "platform/Ui.h"

#include <Qsci/qscilexerjavascript.h>
#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QKeyEvent>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include <filesystem>
#include <map>
#include <memory>

namespace {

// ActorWizardPath's points become the frame editor's actor path, which the Actor/Path
// wizard follows.
class TEditorActorPathSink final : public QObject, public TActorPathSink {
public:
    explicit TEditorActorPathSink(TDrawF& draw) : QObject(&draw), m_draw(draw) {}
    void SetActorPath(const std::vector<TPoint>& points) override { m_draw.Actors().Path().Assign(points); }

private:
    TDrawF& m_draw;
};

const char* kFilter = "Javascript files (*.js)|*.js";

QColor colorOf(TColor c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

} // namespace

TScriptForm::TScriptForm(TScriptSession& session, QWidget* parent) : QDialog(parent), m_session(session)
{
    setObjectName("ScriptForm");
    setWindowTitle("Anivor Script");
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setGeometry(273, 408, 475, 206);

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName("ToolBar1");
    ToolBar1->setIconSize(QSize(16, 16));
    // The tool bar's commands, each a button with a glyph and a hint.
    const struct {
        const char* Id;
        const char* Caption;
        const char* Hint;
        QStyle::StandardPixmap Icon;
        void (TScriptForm::*Handler)();
    } buttons[] = {
        {"script.open", "Open script", "Open script", QStyle::SP_DialogOpenButton, &TScriptForm::cmdOpenClick},
        {"script.save", "Save script", "Save script", QStyle::SP_DialogSaveButton, &TScriptForm::cmdSaveClick},
        {"script.save-as", "Save script as...", "Save script as...", QStyle::SP_DriveFDIcon, &TScriptForm::cmdSaveAsClick},
        {"script.close", "Close script", "", QStyle::SP_DialogCloseButton, &TScriptForm::cmdCloseClick},
        {"script.run", "Run script", "Run script", QStyle::SP_MediaPlay, &TScriptForm::cmdRunClick},
        {"script.stop", "Stop script", "Stop script (Esc)", QStyle::SP_MediaStop, &TScriptForm::cmdStopClick},
    };
    // F1 calls no help here; Ctrl+F1 shows the help on scripts.
    m_commands.Add({.Id = "script.help", .Caption = "Help on scripts", .Shortcut = "Ctrl+F1",
                    .Handler = [] { ShowHelp("Scripts"); }});
    std::map<std::string, QIcon> icons;
    for (const auto& b : buttons) {
        m_commands.Add({.Id = b.Id, .Caption = b.Caption, .Hint = b.Hint, .Handler = [this, h = b.Handler] { (this->*h)(); }});
        icons[b.Id] = style()->standardIcon(b.Icon);
    }
    // Run while no script runs, Stop while one does.
    m_commands["script.run"].Enabled = [this] { return !m_running; };
    m_commands["script.stop"].Enabled = [this] { return m_running; };
    m_actions = new TCommandActions(this, m_commands, [&icons](const std::string& id) { return icons[id]; });
    m_actions->AddTo(ToolBar1, {"-", "script.open", "script.save", "script.save-as", "script.close", "-", "script.run", "script.stop"});
    m_actions->Update();
    // The Stop button takes clicks while a script holds the windows' input.
    TActiveScriptSite::SetStopControl(ToolBar1->widgetForAction(Action("script.stop")));

    scriptEditor = new QsciScintilla(this);
    scriptEditor->setObjectName("scriptEditor");
    // Courier New 13 pixels high; the editor widget takes sizes in points.
    QFont font(QString::fromStdString(MapFontFamily("Courier New")));
    font.setPointSizeF(13 * 72.0 / kPixelsPerInch);
    auto* lexer = new QsciLexerJavaScript(scriptEditor);
    lexer->setDefaultFont(font);
    lexer->setFont(font);
    scriptEditor->setLexer(lexer);
    scriptEditor->setFont(font);
    scriptEditor->setMarginType(0, QsciScintilla::NumberMargin);
    scriptEditor->setMarginWidth(0, "0000");
    scriptEditor->setMarginsBackgroundColor(colorOf(0xF2DED5));
    // The gutter's "Terminal": a fixed-pitch face, whatever the system has.
    QFont gutter(QString::fromStdString(MapFontFamily("Courier New")));
    gutter.setStyleHint(QFont::TypeWriter);
    gutter.setFixedPitch(true);
    if (!QFontInfo(gutter).fixedPitch())
        gutter = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    gutter.setPointSizeF(font.pointSizeF());
    scriptEditor->setMarginsFont(gutter);
    scriptEditor->setMarginsForegroundColor(QColor(0x60, 0x60, 0x60));
    scriptEditor->setUtf8(true);
    scriptEditor->setEolMode(QsciScintilla::EolWindows);
    scriptEditor->setAutoIndent(true);

    // Esc closes the window, as in any dialog, also from inside the editor (which would
    // keep the key); while a script runs the host takes Esc to stop it first.
    scriptEditor->installEventFilter(this);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName("StatusBar1");
    StatusBar1->setSizeGripEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ToolBar1);
    layout->addWidget(scriptEditor, 1);
    layout->addWidget(StatusBar1);
}

bool TScriptForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == scriptEditor && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
        reject();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

QAction* TScriptForm::Action(const QString& id) const
{
    return m_actions->Action(id.toStdString());
}

std::string TScriptForm::ScriptText() const
{
    QStringList lines;
    for (int i = 0; i < scriptEditor->lines(); ++i) {
        QString line = scriptEditor->text(i);
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        lines << line;
    }
    return lines.join("\r\n").toStdString();
}

void TScriptForm::SetScriptText(const std::string& text)
{
    scriptEditor->setText(QString::fromStdString(text));
}

std::string TScriptForm::scriptsDir() const
{
    // An installed program's sample scripts come along into the user's folder; the dialogs
    // start there, so it is made when missing.
    const std::string folder = UserFolder(AppDir(), SharedDataDir(ExecutableDir()), "scripts");
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return folder;
}

void TScriptForm::saveTo(const std::string& path)
{
    std::string text = ScriptText();
    if (!text.empty())
        text += "\r\n"; // each line ends with CR LF
    WriteFileAtomic(path, text);
}

void TScriptForm::cmdOpenClick()
{
    TFileDialogOptions options;
    options.Title = "Select a script";
    options.InitialDir = scriptsDir();
    options.Filters = {kFilter};
    const std::optional<std::string> path = UI().OpenFile(options);
    if (!path)
        return;
    m_scriptFileName = *path;
    const std::vector<std::uint8_t> bytes = ReadFileBytes(*path);
    SetScriptText(std::string(bytes.begin(), bytes.end()));
    StatusBar1->clearMessage();
}

void TScriptForm::cmdSaveClick()
{
    if (m_scriptFileName.empty())
        cmdSaveAsClick();
    else
        saveTo(m_scriptFileName);
}

void TScriptForm::cmdSaveAsClick()
{
    TFileDialogOptions options;
    options.Title = "Save script";
    options.InitialDir = scriptsDir();
    options.Filters = {kFilter};
    options.OverwritePrompt = false;
    const std::optional<std::string> path = UI().SaveFile(options);
    if (!path)
        return;
    // The extension becomes ".js", added when missing.
    std::string name = *path;
    const std::size_t slash = name.rfind('/');
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash + 1))
        name.erase(dot);
    m_scriptFileName = name + ".js";
    saveTo(m_scriptFileName);
}

void TScriptForm::cmdCloseClick()
{
    // Yes is the default button: Return keeps the script.
    if (UI().ChooseButton("Confirm", "Do you want to save this script?", TMsgDlgType::mtConfirmation, {"&Yes", "&No"}) == 0)
        cmdSaveClick();
    scriptEditor->clear();
    scriptEditor->markerDeleteAll();
    scriptEditor->SendScintilla(QsciScintilla::SCI_EMPTYUNDOBUFFER);
    m_scriptFileName.clear();
    StatusBar1->clearMessage();
}

void TScriptForm::cmdRunClick()
{
    if (m_running)
        return;
    StatusBar1->showMessage("Running... (Esc or Stop ends the script)");
    // The script runs in a process of its own; this window stays live, and the frame
    // editor shows what it drew when it has ended.
    m_session.StartScript(ScriptText(), 0, [this](const std::optional<TScriptError>& error) { runEnded(error); });
    m_running = true;
    m_actions->Update();
}

void TScriptForm::runEnded(const std::optional<TScriptError>& error)
{
    m_running = false;
    m_actions->Update();
    if (error) {
        const QString text = QString::fromStdString(error->Text());
        StatusBar1->showMessage(text.section('\n', 0, 0));
        if (error->Line >= 0 && error->Line < scriptEditor->lines())
            scriptEditor->setCursorPosition(error->Line, error->Pos);
    } else {
        StatusBar1->clearMessage();
    }
    emit RunEnded();
}

void TScriptForm::cmdStopClick()
{
    m_session.StopScript();
}

void AttachScripting(TDrawF& draw, TScriptSession& session, TScriptForm& form)
{
    session.Gfx().SetTargetPicture(&draw.ScriptTarget());
    session.Gfx().SetActorPathSink(new TEditorActorPathSink(draw));
    draw.SetScriptWindow([&form] { form.exec(); });
}
