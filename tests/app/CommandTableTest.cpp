// The command tables of the main window and the frame editor against what the user sees:
// every command has one action named after its id, words for captions and hints, its
// shortcut where the command table of the program puts it, and states that follow the
// table's rules through the states a session goes through.
#include "MainWindowFixture.h"

#include "editor/ui/DrawForm.h"
#include "platform/ui/CommandActions.h"
#include "widgets/FrameViews.h"
#include "support/TestSupport.h"
#include "workspace/FrameStrip.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QRegularExpression>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <stdexcept>

namespace {

// Text that reads like an object name rather than words: the name of an object of the
// window ("editor.select", "ToolButton10"), a word run into digits ("Right8", "x41",
// "N50Opaque1", "ToolButton7"), a component prefix ("btnnew"), or an id ("frame.new").
bool LooksLikeObjectName(const QString& text, const std::set<QString>& names)
{
    static const QRegularExpression pattern(R"([A-Za-z]{2,}\d|^x\d\d|\b(btn|cmd|mnu)[a-z]|^[a-z]+\.[a-z])");
    return names.count(text) > 0 || pattern.match(text).hasMatch();
}

// The window an object belongs to: its first ancestor that is a window of its own (a
// popup menu counts as part of the window that holds it).
const QWidget* OwnWindow(const QObject* o)
{
    for (; o; o = o->parent())
        if (auto* w = qobject_cast<const QWidget*>(o); w && w->isWindow() && !qobject_cast<const QMenu*>(w))
            return w;
    return nullptr;
}

// The window's own actions, not those of windows it owns.
std::vector<QAction*> OwnActions(const QWidget& window)
{
    std::vector<QAction*> out;
    for (QAction* a : window.findChildren<QAction*>())
        if (OwnWindow(a) == &window)
            out.push_back(a);
    return out;
}

// Checks the table's commands and their actions in `window`: one action per id, captions
// and hints in words, shortcuts on one action each.
void ExpectWordsAndOneActionPerId(const QWidget& window, const TCommandTable& table)
{
    // The names of the window's objects that are no words ("ScrollBoxSource", "Panel1",
    // "frame.new"); plain words such as "Left" may be both a name and a caption.
    static const QRegularExpression identifier(R"(^\w+([.-]\w+)+$|^[A-Za-z]+\d+$|^\w*[a-z][A-Z]\w*$)");
    std::set<QString> names;
    for (const QObject* o : window.findChildren<QObject*>())
        if (identifier.match(o->objectName()).hasMatch())
            names.insert(o->objectName());
    std::map<QString, int> actionsNamed;
    std::map<QString, int> shortcuts;
    for (const QAction* a : OwnActions(window)) {
        ++actionsNamed[a->objectName()];
        if (!a->shortcut().isEmpty())
            ++shortcuts[a->shortcut().toString()];
    }
    for (const auto& [key, count] : shortcuts)
        EXPECT_EQ(count, 1) << "shortcut " << key.toStdString();
    for (const TCommand& c : table.Commands()) {
        const QString id = QString::fromStdString(c.Id);
        EXPECT_EQ(actionsNamed[id], 1) << c.Id;
        const QAction* a = window.findChild<QAction*>(id);
        ASSERT_NE(a, nullptr) << c.Id;
        EXPECT_FALSE(c.Caption.empty()) << c.Id;
        EXPECT_FALSE(a->text().isEmpty()) << c.Id;
        for (const QString& text : {a->text(), a->iconText(), a->toolTip(), a->statusTip(), QString::fromStdString(c.Hint)})
            EXPECT_FALSE(LooksLikeObjectName(text, names)) << c.Id << ": \"" << text.toStdString() << "\"";
    }
}

// Every action shows what the rules say now: enabled, checked, caption, visible.
void ExpectActionsFollowRules(const QWidget& window, const TCommandTable& table, const std::string& state)
{
    for (const TCommand& c : table.Commands()) {
        const QAction* a = window.findChild<QAction*>(QString::fromStdString(c.Id));
        ASSERT_NE(a, nullptr) << c.Id;
        // A hidden action is also a disabled one.
        const bool visible = !c.Visible || c.Visible();
        EXPECT_EQ(a->isVisible(), visible) << state << ": " << c.Id;
        EXPECT_EQ(a->isEnabled(), visible && table.IsEnabled(c)) << state << ": " << c.Id;
        EXPECT_EQ(a->isCheckable(), static_cast<bool>(c.Checked)) << c.Id;
        if (c.Checked) {
            EXPECT_EQ(a->isChecked(), c.Checked()) << state << ": " << c.Id;
        }
        EXPECT_EQ(a->text().toStdString(), c.CurrentCaption()) << state << ": " << c.Id;
    }
}

// The shortcut of each id is on that command's action, which belongs to the window (so
// the key works wherever the focus is in it).
void ExpectShortcuts(const QWidget& window, const std::vector<std::pair<const char*, const char*>>& keys)
{
    for (const auto& [key, id] : keys) {
        const QKeySequence sequence(QString::fromUtf8(key), QKeySequence::PortableText);
        std::vector<std::string> bound;
        for (QAction* a : OwnActions(window))
            if (a->shortcut() == sequence) {
                bound.push_back(a->objectName().toStdString());
                EXPECT_TRUE(window.actions().contains(a)) << key;
                EXPECT_EQ(a->shortcutContext(), Qt::WindowShortcut) << key;
            }
        EXPECT_EQ(bound, std::vector<std::string>{id}) << key;
    }
}

class CommandTables : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        draw = std::make_unique<TDrawF>(w.get(), dir.file("anivor.ini"));
        w->SetDrawWindow(draw.get());
    }
    // Expectations for a few commands in one state, then every command against its rule.
    void ExpectState(const std::string& state, const std::map<std::string, bool>& enabled)
    {
        for (const auto& [id, on] : enabled)
            EXPECT_EQ(w->Action(QString::fromStdString(id))->isEnabled(), on) << state << ": " << id;
        ExpectActionsFollowRules(*w, w->Commands(), state);
    }

    std::unique_ptr<TDrawF> draw;
};

} // namespace

TEST_F(CommandTables, MainWindowCommandsHaveWordsShortcutsAndFollowTheirRules)
{
    const TCommandTable& t = w->Commands();
    ExpectWordsAndOneActionPerId(*w, t);
    // Names of objects are no way to a command; a second command of an id is refused.
    EXPECT_THROW(w->Action("Right8"), std::logic_error);
    EXPECT_THROW(w->Action("btnnew"), std::logic_error);
    TCommandTable other;
    other.Add({.Id = "frame.new", .Caption = "&New"});
    EXPECT_THROW(other.Add({.Id = "frame.new", .Caption = "&New"}), std::logic_error);
    EXPECT_THROW(other.Add({.Caption = "No id"}), std::logic_error);

    // No two commands name their undo steps alike (the Recent items are one command for
    // ten files).
    std::map<std::string, std::string> steps;
    for (const TCommand& c : t.Commands()) {
        if (c.Id.rfind("animation.recent-", 0) == 0 && c.Id != "animation.recent-1") {
            EXPECT_EQ(c.StepName(), "Open Recent");
            continue;
        }
        const auto [it, fresh] = steps.emplace(c.StepName(), c.Id);
        EXPECT_TRUE(fresh) << c.Id << " and " << it->second << " both make \"" << c.StepName() << "\"";
    }

    // The program's command table: caption and shortcut of each item.
    const std::vector<std::tuple<const char*, const char*, const char*>> items{
        {"animation.new", "&New", "Ctrl+N"}, {"animation.create", "&Create", ""},
        {"animation.create-selection", "Create Se&lection", ""}, {"animation.open", "&Open...", ""},
        {"animation.save", "Save &As...", ""}, {"animation.stop", "Stop", "F2"}, {"animation.exit", "E&xit", "Ctrl+Q"},
        {"frame.delete", "&Delete", "Ctrl+F3"}, {"frame.edit", "&Edit", "F4"}, {"frame.new", "&New", "F3"},
        {"frame.arrange", "&Arrange", "F5"}, {"image.blur", "&Blur", "F9"}, {"image.flip-left-right", "Flip Left Right", "F10"},
        {"image.flip-top-down", "Flip Top Down", "Shift+F10"}, {"image.mirror-right", "Right", ""},
        {"image.mirror-down", "Down", ""}, {"image.scroll-up", "&Up", "Ctrl+Alt+U"}, {"image.scroll-down", "&Down", "Ctrl+Alt+D"},
        {"image.scroll-left", "&Left", "Ctrl+Alt+L"}, {"image.scroll-right", "&Right", "Ctrl+Alt+R"},
        {"image.duplicate", "&Duplicate", "Ctrl+D"}, {"image.invert", "&Invert", "Ctrl+I"},
        {"options.frame-delay", "Frame Delay...", ""}, {"options.set-frames", "Set Frames...", ""},
        {"options.set-loops", "Set &Loops...", ""}, {"options.default-transparent", "Default Transparent", ""},
        {"options.rotation-angle", "Rotation Angle...", ""}, {"options.text-wizard-font", "&Font...", ""},
        {"options.text-wizard-text", "&Text...", ""}, {"options.text-wizard-color", "&Color...", ""},
        {"options.accent-color", "&Accent Color...", ""}, {"tools.gif-explorer", "&GIF Explorer", ""},
        {"tools.avi-to-gif", "AVI to GIF converter", ""}, {"tools.gif-to-avi", "GIF to AVI converter", ""},
        {"help.contents", "&Contents", "F1"}, {"help.about", "&About", ""}, {"help.website", "&WebSite", ""},
        {"popup.optimize", "&Optimize", ""}, {"popup.transparent", "Transparent", ""},
        {"popup.backgrounds", "Backgrounds...", ""}, {"popup.effects", "&Effects...", ""},
        {"popup.mark-position", "Mark Position", ""}, {"popup.save-as", "Save As...", ""}, {"files.add", "&Add", ""},
        {"frame.delay", "Delay...", ""}, {"frame.delay-all", "Delay All...", ""},
        {"effects.flip-left-right", "Flip Left-Right", ""}, {"effects.flip-up-down", "Flip Up-Down", ""},
        {"effects.rotate", "Rotate", ""}, {"effects.trace", "Trace", ""}, {"effects.shadow-up-left", "Up Left", ""},
        {"effects.shadow-up-right", "Up Right", ""}, {"effects.shadow-down-left", "Down Left", ""},
        {"effects.shadow-down-right", "Down Right", ""}, {"effects.overlay-50", "50% Opaque", ""},
        {"effects.overlay-25", "25% Opaque", ""}};
    for (const auto& [id, caption, key] : items) {
        EXPECT_EQ(t[id].Caption, caption) << id;
        EXPECT_EQ(w->Action(id)->shortcut(), QKeySequence(QString::fromUtf8(key), QKeySequence::PortableText)) << id;
    }
    ExpectShortcuts(*w, {{"Ctrl+N", "animation.new"}, {"F2", "animation.stop"}, {"Ctrl+F3", "frame.delete"},
                         {"F4", "frame.edit"}, {"F3", "frame.new"}, {"F5", "frame.arrange"}, {"F9", "image.blur"},
                         {"F10", "image.flip-left-right"}, {"Shift+F10", "image.flip-top-down"},
                         {"Ctrl+Alt+U", "image.scroll-up"}, {"Ctrl+Alt+D", "image.scroll-down"},
                         {"Ctrl+Alt+L", "image.scroll-left"}, {"Ctrl+Alt+R", "image.scroll-right"},
                         {"Ctrl+D", "image.duplicate"}, {"Ctrl+I", "image.invert"}, {"F1", "help.contents"},
                         {"Ctrl+Z", "frame.undo"}, {"Ctrl+Y", "frame.redo"}, {"Esc", "wizard.stop"}});

    // The states of a session: each command as its rule says, a few spelled out.
    ExpectState("empty strip", {{"animation.save", false}, {"animation.stop", false}, {"frame.undo", false},
                                {"frame.edit", true}, {"tools.avi-to-gif", false}, {"wizard.stop", false}});
    EXPECT_EQ(w->Action("animation.save")->iconText(), "GIF");
    ui.AnswerInput("8");
    ui.AnswerInput("6");
    Trigger("frame.new");
    Trigger("frame.new");
    w->Strip().Session.WizardFrameCount = 4;
    w->PreparePopup(0, false);
    Trigger("popup.transparent");
    Trigger("options.default-transparent");
    ExpectState("two frames", {{"frame.undo", true}, {"frame.redo", false}, {"animation.save", false}});
    EXPECT_TRUE(w->Action("popup.transparent")->isChecked());
    EXPECT_TRUE(w->Action("options.default-transparent")->isChecked());
    EXPECT_EQ(w->Action("frame.undo")->text(), "&Undo Transparent");
    // The popup's check mark shows the frame it opens on.
    w->PreparePopup(1, false);
    EXPECT_FALSE(w->Action("popup.transparent")->isChecked());
    w->PreparePopup(0, true, QPoint(1, 1));
    EXPECT_TRUE(w->Action("popup.transparent")->isChecked());
    Trigger("frame.undo");
    ExpectState("undone", {{"frame.redo", true}});
    EXPECT_EQ(w->Action("frame.redo")->text(), "&Redo Transparent");
    // A change made without a command (a drag in the frame list) can be undone at once.
    QApplication::processEvents(); // the steps recorded
    ASSERT_EQ(w->Action("frame.undo")->text(), "&Undo New Frame");
    emit w->List->ItemDropped(0, 1);
    ExpectState("moved in the list", {{"frame.undo", true}});
    EXPECT_EQ(w->Action("frame.undo")->text(), "&Undo");

    Trigger("animation.create");
    ExpectState("preview playing", {{"animation.save", true}, {"animation.stop", true}});
    EXPECT_EQ(w->Action("animation.save")->text(), "Save GIF &As...");
    Trigger("animation.stop");
    ExpectState("preview stopped", {{"animation.save", true}, {"animation.stop", false}});
    EXPECT_EQ(w->Action("animation.save")->iconText(), "BMP");

    // While a wizard runs only its Stop works.
    w->Strip().SelectOnly(0);
    ui.RunEvents = true;
    bool checked = false;
    QTimer::singleShot(0, w.get(), [&] {
        ASSERT_TRUE(w->WizardRunning());
        for (const TCommand& c : t.Commands())
            EXPECT_EQ(w->Action(QString::fromStdString(c.Id))->isEnabled(), c.Id == "wizard.stop") << "running: " << c.Id;
        ExpectActionsFollowRules(*w, t, "wizard running");
        checked = true;
    });
    Trigger("wizard.transition");
    EXPECT_TRUE(checked);
    ExpectState("after the run", {{"wizard.stop", false}, {"animation.stop", true}, {"frame.new", true}});
    EXPECT_TRUE(ui.Errors().empty());
}

TEST_F(CommandTables, FrameEditorCommandsHaveWordsHintsShortcutsAndFollowTheirRules)
{
    TDrawF& d = *draw;
    const TCommandTable& t = d.Commands();
    ExpectWordsAndOneActionPerId(d, t);
    ExpectShortcuts(d, {{"F2", "editor.script"}, {"Ctrl+Z", "editor.undo"}, {"Ctrl+Y", "editor.redo"}});

    // The tool bar left to right, each button with its hint (Select and Paste say what they do).
    const std::vector<std::pair<const char*, const char*>> buttons{
        {"editor.select", "Select"}, {"editor.paste", "Paste"}, {"editor.color-dropper", "Color Dropper"},
        {"editor.erase-frame", "Erase Frame"}, {"editor.clear-brush", "Clear Brush"}, {"editor.solid-brush", "Solid Brush"},
        {"editor.text-gadget", "Show/Hide Text Gadget"}, {"editor.gradient-gadget", "Hide/Show Gradient Gadget"},
        {"editor.smart-gadget", "Display/Hide smart gadget"}, {"editor.shape-move", "Move shape"},
        {"editor.shape-size", "Size shape"}, {"editor.shape-move-text", "Move shape text"},
        {"editor.shape-rotate-text", "Rotate shape text"}, {"editor.shape-size-to-frame", "Size to frame"},
        {"editor.shape-paint", "Paint shape"}, {"editor.undo", "Undo"}, {"editor.redo", "Redo"},
        {"editor.update-frame", "Update Frame"}};
    std::vector<QAction*> order;
    for (QAction* a : d.drawbar->actions())
        if (!a->isSeparator() && !qobject_cast<QToolButton*>(d.drawbar->widgetForAction(a))->menu())
            order.push_back(a);
    ASSERT_EQ(order.size(), buttons.size());
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        EXPECT_EQ(order[i]->objectName().toStdString(), buttons[i].first);
        // The hover hint: the button's own tool tip, which Qt takes from its action.
        EXPECT_EQ(d.drawbar->widgetForAction(order[i])->toolTip().toStdString(), buttons[i].second) << buttons[i].first;
    }

    // States: at start, with a script window, after a drawing, with the clear brush.
    ExpectActionsFollowRules(d, t, "start");
    EXPECT_FALSE(d.Action("editor.script")->isEnabled());
    EXPECT_TRUE(d.Action("editor.solid-brush")->isChecked());
    EXPECT_TRUE(d.Action("editor.shape-move")->isChecked());
    bool shown = false;
    d.SetScriptWindow([&] { shown = true; });
    ExpectActionsFollowRules(d, t, "script window set");
    d.Action("editor.script")->trigger();
    EXPECT_TRUE(shown);

    TFrameStrip strip;
    strip.SetFrameSize(20, 10);
    strip.Append(SolidBitmap(20, 10, 0x0000FF));
    d.BeginEdit(strip, 0);
    d.Action("editor.clear-brush")->trigger();
    d.Action("editor.shape-size")->trigger();
    ExpectActionsFollowRules(d, t, "clear brush");
    EXPECT_TRUE(d.Action("editor.clear-brush")->isChecked());
    EXPECT_FALSE(d.Action("editor.solid-brush")->isChecked());
    EXPECT_TRUE(d.Action("editor.shape-size")->isChecked());
    EXPECT_FALSE(d.Action("editor.shape-move")->isChecked());
    d.Action("editor.erase-frame")->trigger(); // paints nothing, takes the solid brush back
    EXPECT_TRUE(d.Action("editor.solid-brush")->isChecked());
    EXPECT_FALSE(d.Action("editor.undo")->isEnabled());
    d.Action("editor.erase-frame")->trigger(); // white over red
    ExpectActionsFollowRules(d, t, "erased");
    EXPECT_EQ(d.Action("editor.undo")->text(), "&Undo Erase Frame");
    d.Action("editor.shape-paint")->trigger();
    EXPECT_EQ(d.Action("editor.undo")->text(), "&Undo Paint Shape");
    d.Action("editor.undo")->trigger();
    ExpectActionsFollowRules(d, t, "undone");
    EXPECT_EQ(d.Action("editor.redo")->text(), "&Redo Paint Shape");
    EXPECT_TRUE(ui.Errors().empty());
}
