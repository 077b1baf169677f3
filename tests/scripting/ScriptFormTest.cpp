// The script editor window over the frame editor: its file commands with the scripted
// Ui double, Run drawing on the frame editor's picture, View > Script.
#include "scripting/ui/ScriptForm.h"
#include "scripting/ScriptSession.h"

#include "editor/ui/DrawForm.h"
#include "platform/ScriptedUi.h"
#include "support/TestSupport.h"
#include "workspace/FrameStrip.h"

#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFontInfo>
#include <QEventLoop>
#include <QMouseEvent>
#include <QKeyEvent>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

namespace {

std::string fileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class ScriptWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui.OnUnanswered = [](const std::string& q) { ADD_FAILURE() << "unanswered: " << q; };
        draw = std::make_unique<TDrawF>(nullptr, dir.file("anivor.ini"));
        session = std::make_unique<TScriptSession>();
        form = std::make_unique<TScriptForm>(*session, draw.get());
        AttachScripting(*draw, *session, *form);
        strip.SetFrameSize(60, 40);
        strip.NewFrame();
        draw->BeginEdit(strip, 0);
    }
    void TearDown() override { draw->FinishEdit(); }
    void Trigger(const char* name)
    {
        QAction* a = form->Action(name);
        ASSERT_NE(a, nullptr) << name;
        a->trigger();
    }
    // Run returns at once; the script ends in its own process.
    void Run()
    {
        QEventLoop loop;
        QObject::connect(form.get(), &TScriptForm::RunEnded, &loop, &QEventLoop::quit);
        QTimer::singleShot(15000, &loop, &QEventLoop::quit);
        Trigger("script.run");
        if (form->Running())
            loop.exec();
        ASSERT_FALSE(form->Running());
    }
    TColor Pixel(int x, int y) { return draw->Picture().Canvas().Pixel(x, y); }

    TempDir dir;
    ScriptedUi ui;
    TFrameStrip strip;
    std::unique_ptr<TDrawF> draw;
    std::unique_ptr<TScriptSession> session;
    std::unique_ptr<TScriptForm> form;
};

} // namespace

TEST_F(ScriptWindow, ComponentsAndViewScript)
{
    EXPECT_EQ(form->windowTitle(), "Anivor Script");
    EXPECT_EQ(form->size(), QSize(475, 206));
    EXPECT_TRUE(form->windowFlags() & Qt::WindowStaysOnTopHint);
    QStringList buttons;
    for (QAction* a : form->ToolBar1->actions())
        buttons << (a->isSeparator() ? "-" : a->objectName());
    EXPECT_EQ(buttons.join(","), "-,script.open,script.save,script.save-as,script.close,-,script.run,script.stop");
    EXPECT_EQ(form->Action("script.save-as")->toolTip(), "Save script as...");
    EXPECT_EQ(form->Action("script.run")->toolTip(), "Run script");
    EXPECT_NE(form->findChild<QsciScintilla*>("scriptEditor"), nullptr);
    // The gutter's numbers in a fixed-pitch face; Ctrl+F1 is the help key (F1 is not).
    char family[128] = {};
    form->scriptEditor->SendScintilla(QsciScintilla::SCI_STYLEGETFONT, QsciScintilla::STYLE_LINENUMBER, family);
    EXPECT_TRUE(QFontInfo(QFont(QString::fromUtf8(family))).fixedPitch()) << family;
    EXPECT_EQ(form->Action("script.help")->shortcut(), QKeySequence("Ctrl+F1"));

    QAction* script = draw->Action("editor.script");
    ASSERT_TRUE(script->isEnabled());
    EXPECT_EQ(script->text(), "&Script");
    EXPECT_EQ(script->shortcut(), QKeySequence("F2"));
    bool shown = false;
    QTimer::singleShot(0, [&] {
        shown = form->isVisible();
        form->reject();
    });
    script->trigger();
    EXPECT_TRUE(shown);
}

TEST_F(ScriptWindow, RunDrawsOnTheEditedFrameAsOneStep)
{
    form->SetScriptText("gfx.PenColor = '#FF0000';\ngfx.Line(0, 5, 50, 5);\n");
    EXPECT_EQ(form->ScriptText(), "gfx.PenColor = '#FF0000';\r\ngfx.Line(0, 5, 50, 5);\r\n");
    Run();
    EXPECT_EQ(Pixel(10, 5), TColor(0x0000FF));
    EXPECT_TRUE(draw->Picture().CanUndo());
    // Run twice draws twice; the pen's colour stays the editor's.
    EXPECT_EQ(draw->Picture().Canvas().Pen.Color, TColor(0x0000FF));

    // An error is told in the status bar, and what was drawn before it stays.
    form->SetScriptText("gfx.Line(0, 20, 50, 20);\ngfx.Line(1, 'x', 2, 3);");
    Run();
    EXPECT_EQ(Pixel(10, 20), TColor(0x0000FF));
    EXPECT_EQ(form->StatusBar1->currentMessage().toStdString(), "Line 2, position 5: Type mismatch");
    EXPECT_TRUE(form->Action("script.run")->isEnabled());
    EXPECT_FALSE(form->Action("script.stop")->isEnabled());

    form->SetScriptText("");
    Run();
    EXPECT_TRUE(form->StatusBar1->currentMessage().isEmpty());
    EXPECT_TRUE(ui.Calls().empty());
    draw->Picture().Undo();
    EXPECT_EQ(Pixel(10, 20), clWhite);
    EXPECT_EQ(Pixel(10, 5), TColor(0x0000FF));
}

TEST_F(ScriptWindow, OpenSaveAsAndClose)
{
    // Save As gives the name the extension .js and replaces a file of that name.
    WriteTestFile(dir.file("test.js"), {'o', 'l', 'd'});
    form->SetScriptText("gfx.Clear();\ngfx.Line(1, 1, 5, 5);");
    ui.AnswerSaveFile(dir.file("test.txt"));
    Trigger("script.save-as");
    EXPECT_EQ(form->ScriptFileName(), dir.file("test.js"));
    EXPECT_EQ(fileText(dir.file("test.js")), "gfx.Clear();\r\ngfx.Line(1, 1, 5, 5);\r\n");
    EXPECT_EQ(ui.Last().Caption, "Save script");

    // Open replaces the text without a question.
    WriteTestFile(dir.file("other.js"), {'v', 'a', 'r', ' ', 'a', ';', '\r', '\n', 'a', '=', '1', ';', '\r', '\n'});
    form->SetScriptText("changed, not saved");
    ui.AnswerOpenFile(dir.file("other.js"));
    Trigger("script.open");
    EXPECT_EQ(form->ScriptText(), "var a;\r\na=1;\r\n");
    EXPECT_EQ(form->ScriptFileName(), dir.file("other.js"));
    EXPECT_EQ(ui.Last().Caption, "Select a script");

    // Both dialogs start in the scripts folder, made when it was missing.
    const std::string scripts = ui.CallsOf(TUiCallKind::OpenFile).back().FileOptions.InitialDir;
    EXPECT_TRUE(std::filesystem::is_directory(scripts)) << scripts;
    EXPECT_EQ(std::filesystem::path(scripts).filename(), "scripts");
    EXPECT_EQ(ui.CallsOf(TUiCallKind::SaveFile).back().FileOptions.InitialDir, scripts);

    // Close asks even for an empty editor, with Yes as the default button; No forgets text
    // and file name, so the next Save asks for a name.
    ui.AnswerButton(1);
    Trigger("script.close");
    EXPECT_EQ(ui.Last().Text, "Do you want to save this script?");
    EXPECT_EQ(ui.Last().Caption, "Confirm");
    EXPECT_EQ(ui.Last().Buttons, (std::vector<std::string>{"&Yes", "&No"})); // the first is the default
    EXPECT_EQ(form->ScriptText(), "");
    EXPECT_EQ(form->ScriptFileName(), "");
    ui.AnswerButton(0);
    ui.AnswerSaveFileCancel();
    Trigger("script.close"); // Yes on an unnamed script: Save As, cancelled
    EXPECT_EQ(ui.CallsOf(TUiCallKind::ChooseButton).size(), 2u);
    EXPECT_EQ(ui.CallsOf(TUiCallKind::SaveFile).size(), 2u);
    ui.AnswerSaveFile(dir.file("named"));
    form->SetScriptText("x");
    Trigger("script.save");
    EXPECT_EQ(fileText(dir.file("named.js")), "x\r\n");
    // A file that cannot be written raises, with the name already taken.
    ui.AnswerSaveFile(dir.file("missing/deeper.js"));
    Trigger("script.save-as");
    EXPECT_EQ(ui.Errors().size(), 1u);
    EXPECT_EQ(ui.PendingAnswers(), 0);
}

// A runaway script is stopped by Esc and by the Stop button (the windows hold all other
// input and do not close meanwhile); what it drew stays, and a script that crashes its engine ends with the
// reason while the frame editor keeps its picture.
TEST_F(ScriptWindow, RunawayAndCrashingScriptsEndWithTheirReason)
{
    const auto esc = [&] {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(form->scriptEditor, &key);
    };
    const auto stopButton = [&] {
        QWidget* button = form->ToolBar1->widgetForAction(form->Action("script.stop"));
        const QPointF at(button->width() / 2.0, button->height() / 2.0);
        QMouseEvent press(QEvent::MouseButtonPress, at, button->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, at, button->mapToGlobal(at), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(button, &press);
        QApplication::sendEvent(button, &release);
    };
    int row = 7;
    for (const auto& stop : {std::function<void()>(esc), std::function<void()>(stopButton)}) {
        form->SetScriptText("gfx.Line(0, " + std::to_string(row) + ", 50, " + std::to_string(row) + ");\nwhile (true) {}");
        // Meanwhile no window closes.
        QTimer::singleShot(500, [&] { EXPECT_FALSE(draw->close()); });
        QTimer::singleShot(800, stop);
        QElapsedTimer clock;
        clock.start();
        Run();
        EXPECT_LT(clock.elapsed(), 3000);
        EXPECT_EQ(form->StatusBar1->currentMessage().toStdString(), "The script was stopped");
        EXPECT_EQ(Pixel(10, row), clBlack) << row;
        row += 2;
    }
    form->SetScriptText("gfx.Line(0, 30, 50, 30);\nvar a = []; for (var i = 0; i < 1e6; i++) a = [a]; String(a);");
    Run();
    EXPECT_EQ(form->StatusBar1->currentMessage().toStdString(),
              "The script stopped: it nested too deeply (the script engine's stack ran out)");
    EXPECT_EQ(Pixel(10, 30), clWhite); // a runner that died gives nothing back
    EXPECT_EQ(Pixel(10, 7), clBlack);
    // The window works on.
    form->SetScriptText("gfx.Line(0, 12, 50, 12);");
    Run();
    EXPECT_EQ(Pixel(10, 12), clBlack);
    EXPECT_TRUE(form->StatusBar1->currentMessage().isEmpty());
    EXPECT_TRUE(ui.Errors().empty());
}

TEST_F(ScriptWindow, ActorWizardPathBecomesTheEditorsActorPath)
{
    draw->Actors().Path().Append({5, 5});
    EXPECT_FALSE(session->RunScript("gfx.ActorWizardPath([1, 2, 30, 40, 50, 60]);"));
    QApplication::processEvents();
    EXPECT_EQ(draw->Actors().Path().Points(), (std::vector<TPoint>{{1, 2}, {30, 40}, {50, 60}}));
    // A later run that sets no path leaves the one recorded by dragging alone.
    draw->Actors().Path().Clear();
    draw->Actors().Path().Append({7, 8});
    EXPECT_FALSE(session->RunScript("gfx.Line(0, 0, 5, 5);"));
    QApplication::processEvents();
    EXPECT_EQ(draw->Actors().Path().Points(), (std::vector<TPoint>{{7, 8}}));
}
