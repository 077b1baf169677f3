#include "app/AnivorForm.h"

#include "app/ToolbarIcons.h"
#include "platform/AppDir.h"
#include "platform/ui/HelpViewer.h"
#include "platform/ScriptedUi.h"
#include "support/TestSupport.h"
#include "widgets/FrameViews.h"
#include "widgets/ImageControl.h"
#include "widgets/TabBar.h"
#include "widgets/TemplatesForm.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

namespace {

// A main window on a settings file of its own, with every prompt answered by the test.
class MainWindow : public ::testing::Test {
protected:
    void SetUp() override { Open(); }

    void Open()
    {
        w = std::make_unique<TAnivorF>(dir.path().string() + "/", Settings());
        ui.OnUnanswered = [](const std::string& q) { ADD_FAILURE() << "unanswered: " << q; };
    }
    std::string Settings() const { return dir.file("anivor.ini"); }

    void Trigger(const char* name)
    {
        QAction* a = w->Action(name);
        ASSERT_NE(a, nullptr) << name;
        ASSERT_TRUE(a->isEnabled()) << name;
        a->trigger();
    }

    // New Frame on an empty strip with the size answers.
    void FirstFrame(int width, int height)
    {
        ui.AnswerInput(std::to_string(width));
        ui.AnswerInput(std::to_string(height));
        Trigger("frame.new");
    }

    std::vector<std::string> Entries() const
    {
        std::vector<std::string> out;
        for (int i = 0; i < w->Strip().Count(); ++i)
            out.push_back(w->Strip().EntryText(i));
        return out;
    }

    TFrameImage* Image(const char* name) const { return w->ScrollBoxSource->FindImage(name); }

    void Mouse(QWidget* target, QEvent::Type type, QPoint p, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QMouseEvent e(type, p, target->mapToGlobal(p), Qt::LeftButton, buttons, modifiers);
        QApplication::sendEvent(target, &e);
    }

    TempDir dir;
    ScriptedUi ui;
    std::unique_ptr<TAnivorF> w;
};

std::string ReadText(const std::string& path)
{
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TEST_F(MainWindow, MenusAndToolbarHoldTheCommandsInTheirPlaces)
{
    EXPECT_EQ(w->windowTitle(), "Anivor 13");
    // Each menu and popup: its caption and its items in order ("-" a separator, "> x" a
    // submenu captioned x).
    auto items = [&](const QMenu* menu) {
        std::vector<std::string> out;
        for (QAction* a : menu->actions())
            out.push_back(a->isSeparator() ? "-" : a->menu() ? "> " + a->text().toStdString() : a->objectName().toStdString());
        return out;
    };
    using Items = std::vector<std::string>;
    std::vector<std::pair<std::string, Items>> bar;
    for (QAction* a : w->menuBar()->actions())
        bar.emplace_back(a->text().toStdString(), items(a->menu()));
    const std::vector<std::pair<std::string, Items>> menus{
        {"&Animation", {"animation.new", "animation.create", "animation.create-selection", "animation.open",
                        "animation.open-project", "> &Recent", "animation.save-project", "animation.save-project-as", "-",
                        "animation.save", "animation.export", "animation.stop", "-", "animation.exit"}},
        {"&Frame", {"frame.undo", "frame.redo", "-", "frame.delete", "frame.edit", "frame.new", "frame.arrange"}},
        {"&Image", {"image.blur", "image.flip-left-right", "image.flip-top-down", "> Mirror", "> &Scroll", "image.duplicate",
                    "image.invert"}},
        {"&Options", {"options.frame-delay", "options.set-frames", "options.set-loops", "options.default-transparent",
                      "options.rotation-angle", "> &Text Wizard"}},
        {"&Tools", {"tools.gif-explorer", "tools.avi-to-gif", "tools.gif-to-avi"}},
        {"&Help", {"help.contents", "help.about", "help.website"}}};
    EXPECT_EQ(bar, menus);
    auto submenu = [&](const QMenu* menu, int i) { return items(menu->actions().at(i)->menu()); };
    const QMenu* image = w->menuBar()->actions().at(2)->menu();
    EXPECT_EQ(submenu(image, 3), (Items{"image.mirror-right", "image.mirror-down"}));
    EXPECT_EQ(submenu(image, 4), (Items{"image.scroll-up", "image.scroll-down", "image.scroll-left", "image.scroll-right"}));
    EXPECT_EQ(submenu(w->menuBar()->actions().at(3)->menu(), 5),
              (Items{"options.text-wizard-font", "options.text-wizard-text", "options.text-wizard-color", "options.accent-color"}));
    EXPECT_EQ(items(w->framepop), (Items{"popup.optimize", "-", "popup.transparent", "popup.backgrounds", "popup.effects", "-",
                                         "popup.mark-position", "-", "popup.save-as"}));
    EXPECT_EQ(items(w->filespop), Items{"files.add"});
    EXPECT_EQ(items(w->Listpop), (Items{"frame.delete", "-", "frame.delay", "frame.delay-all"}));
    EXPECT_EQ(items(w->frameeffectpop), (Items{"effects.flip-left-right", "effects.flip-up-down", "effects.rotate",
                                               "effects.trace", "> Shadow", "> Overlay"}));
    EXPECT_EQ(submenu(w->frameeffectpop, 4), (Items{"effects.shadow-up-left", "effects.shadow-up-right",
                                                    "effects.shadow-down-left", "effects.shadow-down-right"}));
    EXPECT_EQ(submenu(w->frameeffectpop, 5), (Items{"effects.overlay-50", "effects.overlay-25"}));

    // Captions that read alike name their undo steps apart.
    EXPECT_EQ(w->Action("image.mirror-down")->text(), "Down");
    EXPECT_EQ(w->Commands()["image.mirror-down"].StepName(), "Mirror Down");
    EXPECT_EQ(w->Commands()["image.scroll-down"].StepName(), "Scroll Down");
    EXPECT_EQ(w->Commands()["effects.overlay-50"].StepName(), "Overlay 50%");

    // Toolbar buttons, left to right, with their hints; the two drop-downs are the menus'
    // own items.
    const std::vector<std::pair<QAction*, const char*>> buttons{
        {w->Action("animation.new"), "New Animation"}, {w->Action("animation.open"), "Open Existing GIF"},
        {w->Action("animation.save"), "Save"}, {w->Action("frame.new"), "New Frame"}, {w->Action("frame.edit"), "Edit Frame"},
        {w->frameeffectpop->menuAction(), ""}, {w->Action("image.duplicate"), "Duplicate Frame"},
        {w->Action("frame.delete"), "Delete Frame(s)"}, {w->Action("frame.delay"), "Frame Delay"},
        {w->wizpop->menuAction(), "Wizards"}, {w->Action("animation.stop"), "Stop Animation"},
        {w->Action("wizard.insert"), "Insert Wizard Frames"}, {w->Action("animation.create"), "Animate"},
        {w->Action("animation.create-selection"), "animate Selection"}};
    std::vector<QAction*> order;
    for (QAction* a : w->ToolBar1->actions())
        if (!a->isSeparator())
            order.push_back(a);
    ASSERT_EQ(order.size(), buttons.size());
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        EXPECT_EQ(order[i], buttons[i].first) << i;
        EXPECT_EQ(buttons[i].first->toolTip().toStdString(), buttons[i].second) << i;
    }
    EXPECT_EQ(w->Action("animation.save")->iconText(), "GIF");
    EXPECT_EQ(w->Action("animation.save")->text(), "Save &As...");

    // The lower panel: "Frames" and "Files", the first one shown.
    ASSERT_EQ(w->TabBar->SectionCount(), 2);
    EXPECT_EQ(w->TabBar->Section(0)->Caption(), "Frames");
    EXPECT_EQ(w->TabBar->Section(1)->Caption(), "Files");
    EXPECT_EQ(w->TabBar->ActiveSection(), w->FramesSection);
    EXPECT_EQ(w->anisize->text(), "0");
    // The strip starts 123 pixels high and the splitter below it may resize it.
    w->show();
    EXPECT_EQ(w->ScrollBoxSource->height(), 123);
    EXPECT_GT(w->ScrollBoxSource->maximumHeight(), 123);
    EXPECT_EQ(w->TabBar->width(), 163);
    w->close();
    EXPECT_EQ(w->ImageAnimate->toolTip(), "Animated GIF\npreview window");
}

TEST_F(MainWindow, NewFrameAsksSizeOnlyOnEmptyStripAndShowsFrames)
{
    FirstFrame(100, 50);
    ASSERT_EQ(ui.CallsOf(TUiCallKind::InputBox).size(), 2u);
    EXPECT_EQ(ui.Calls()[0].Caption, "Anivor Frames");
    EXPECT_EQ(Entries(), std::vector<std::string>{"Frame1=10"});
    // The toolbar button asks nothing now.
    Trigger("frame.new");
    Trigger("frame.new");
    EXPECT_EQ(ui.CallsOf(TUiCallKind::InputBox).size(), 2u);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"Frame1=10", "Frame2=10", "Frame3=10"}));

    // Both views follow: images named after the frames at their slots, the pointer on
    // the current frame.
    ASSERT_NE(Image("Frame3"), nullptr);
    EXPECT_EQ(Image("Frame2")->geometry(), QRect(105, 0, 100, 50));
    EXPECT_EQ(Image("Frame3")->x(), 210);
    EXPECT_EQ(w->ScrollBoxSource->FramePointer()->text(), "Frame3=10");
    EXPECT_EQ(w->List->ItemAt(QPoint(5, 2 * 32 + 5)), 2);

    // A click on a frame image selects it alone.
    Mouse(Image("Frame1"), QEvent::MouseButtonPress, QPoint(3, 3), Qt::LeftButton);
    EXPECT_EQ(w->Strip().ItemIndex(), 0);
    EXPECT_EQ(w->Strip().SelectedIndices(), std::vector<int>{0});
    EXPECT_EQ(w->ScrollBoxSource->FramePointer()->text(), "Frame1=10");
    EXPECT_EQ(ui.PendingAnswers(), 0);
}

TEST_F(MainWindow, TooLargeFrameIsRefusedWithAMessage)
{
    ui.AnswerInput("100000");
    Trigger("frame.new");
    EXPECT_TRUE(w->Strip().Empty());
    ASSERT_EQ(ui.Errors().size(), 1u);
    EXPECT_EQ(ui.Errors()[0], "The frame width must be between 1 and 16384 pixels; 100000 is refused.");
    EXPECT_EQ(w->ScrollBoxSource->Canvas()->findChildren<TFrameImage*>().size(), 0);
    // The window stays usable.
    FirstFrame(40, 40);
    EXPECT_EQ(Entries(), std::vector<std::string>{"Frame1=10"});
}

TEST_F(MainWindow, DeleteAndNewAnimation)
{
    FirstFrame(20, 10);
    for (int i = 0; i < 4; ++i)
        Trigger("frame.new");
    // Frames 2 and 4 of 5: the images left are re-laid and freed.
    w->Strip().SelectOnly(1);
    w->Strip().SetSelected(3, true);
    Trigger("frame.delete");
    EXPECT_EQ(Entries(), (std::vector<std::string>{"Frame1=10", "Frame3=10", "Frame5=10"}));
    EXPECT_EQ(Image("Frame1")->x(), 0);
    EXPECT_EQ(Image("Frame3")->x(), 25);
    EXPECT_EQ(Image("Frame5")->x(), 50);
    EXPECT_EQ(Image("Frame2"), nullptr);
    Trigger("frame.new");
    EXPECT_EQ(w->Strip().FindFrameImage(w->Strip().ItemIndex()).Name, "Frame6");

    // Animation > New on unsaved frames: "Save changes?"; Cancel keeps everything, Discard
    // empties the strip and the views, and the numbering and the size prompts start again.
    ui.AnswerButton(2);
    Trigger("animation.new");
    EXPECT_EQ(w->Strip().Count(), 4);
    ui.AnswerButton(1);
    Trigger("animation.new");
    EXPECT_TRUE(w->Strip().Empty());
    EXPECT_EQ(w->ScrollBoxSource->FramePointer()->pos(), QPoint(40, 80));
    EXPECT_EQ(w->ScrollBoxSource->Canvas()->findChildren<TFrameImage*>().size(), 0);
    FirstFrame(30, 30);
    EXPECT_EQ(Entries(), std::vector<std::string>{"Frame1=10"});
    EXPECT_EQ(ui.PendingAnswers(), 0);
}

TEST_F(MainWindow, DragInTheListReorders)
{
    FirstFrame(20, 10);
    for (int i = 0; i < 4; ++i)
        Trigger("frame.new");
    w->List->resize(163, 300);
    QWidget* vp = w->List->viewport();
    Mouse(vp, QEvent::MouseButtonPress, QPoint(10, 10), Qt::LeftButton);
    Mouse(vp, QEvent::MouseMove, QPoint(10, 50), Qt::LeftButton);
    Mouse(vp, QEvent::MouseMove, QPoint(10, 3 * 32 + 10), Qt::LeftButton);
    Mouse(vp, QEvent::MouseButtonRelease, QPoint(10, 3 * 32 + 10), Qt::NoButton);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"Frame2=10", "Frame3=10", "Frame4=10", "Frame1=10", "Frame5=10"}));
    EXPECT_EQ(Image("Frame1")->x(), 3 * 25);
    EXPECT_EQ(Image("Frame2")->x(), 0);
}

TEST_F(MainWindow, ListClicksSelectWithCtrlAndShift)
{
    FirstFrame(20, 10);
    for (int i = 0; i < 4; ++i)
        Trigger("frame.new");
    w->List->resize(163, 300);
    QWidget* vp = w->List->viewport();
    auto click = [&](int entry, Qt::KeyboardModifiers m) {
        Mouse(vp, QEvent::MouseButtonPress, QPoint(10, entry * 32 + 10), Qt::LeftButton, m);
        Mouse(vp, QEvent::MouseButtonRelease, QPoint(10, entry * 32 + 10), Qt::NoButton, m);
    };
    click(1, Qt::NoModifier);
    EXPECT_EQ(w->Strip().SelectedIndices(), std::vector<int>{1});
    click(3, Qt::ControlModifier);
    EXPECT_EQ(w->Strip().SelectedIndices(), (std::vector<int>{1, 3}));
    EXPECT_EQ(w->Strip().ItemIndex(), 3);
    EXPECT_EQ(w->ScrollBoxSource->FramePointer()->text(), "Frame4=10");
    click(1, Qt::ControlModifier);
    EXPECT_EQ(w->Strip().SelectedIndices(), std::vector<int>{3});
    click(4, Qt::ShiftModifier); // from the last Ctrl+click
    EXPECT_EQ(w->Strip().SelectedIndices(), (std::vector<int>{1, 2, 3, 4}));
    click(2, Qt::ShiftModifier);
    EXPECT_EQ(w->Strip().SelectedIndices(), (std::vector<int>{1, 2}));
    Trigger("frame.delete");
    EXPECT_EQ(Entries(), (std::vector<std::string>{"Frame1=10", "Frame4=10", "Frame5=10"}));
}

TEST_F(MainWindow, DelayButtonAndPointer)
{
    FirstFrame(20, 10);
    Trigger("frame.new");
    w->Strip().SelectOnly(0);
    ui.AnswerInput("7");
    Trigger("frame.delay");
    ui.AnswerInput("300");
    Trigger("frame.delay");
    EXPECT_EQ(w->Strip().EntryText(0), "Frame1=10");
    ui.AnswerInput("abc");
    Trigger("frame.delay");
    EXPECT_EQ(w->Strip().EntryText(0), "Frame1=abc");
    EXPECT_EQ(w->ScrollBoxSource->FramePointer()->text(), "Frame1=abc");
    ui.AnswerInput("25");
    Trigger("frame.delay-all");
    EXPECT_EQ(Entries(), (std::vector<std::string>{"Frame1=25", "Frame2=25"}));
    EXPECT_EQ(ui.PendingAnswers(), 0);
}

TEST_F(MainWindow, TransparencyFromMenuAndPopup)
{
    Trigger("options.default-transparent");
    EXPECT_TRUE(w->Action("options.default-transparent")->isChecked());
    FirstFrame(20, 10);
    EXPECT_TRUE(w->Strip().IsTransparent(0));
    Trigger("options.default-transparent");
    EXPECT_FALSE(w->Action("options.default-transparent")->isChecked());
    Trigger("frame.new");
    EXPECT_FALSE(w->Strip().IsTransparent(1));

    // The popup on the second frame's image: unchecked, then toggled on.
    w->PreparePopup(1, true, QPoint(4, 6));
    EXPECT_FALSE(w->Action("popup.transparent")->isChecked());
    Trigger("popup.transparent");
    EXPECT_TRUE(w->Strip().IsTransparent(1));
    EXPECT_TRUE(w->Action("popup.transparent")->isChecked());
    Trigger("popup.mark-position");
    EXPECT_EQ(w->Strip().Session.TextPosition, TPoint(4, 6));

    // On the list without a selected frame nothing changes; Mark Position needs an image.
    w->Strip().SetItemIndex(-1);
    w->PreparePopup(w->Strip().ItemIndex(), false);
    EXPECT_FALSE(w->Action("popup.transparent")->isChecked());
    Trigger("popup.transparent");
    EXPECT_TRUE(w->Strip().IsTransparent(1));
    EXPECT_TRUE(w->Strip().IsTransparent(0));
    w->Strip().SetItemIndex(0);
    w->PreparePopup(0, false);
    EXPECT_TRUE(w->Action("popup.transparent")->isChecked());
    Trigger("popup.mark-position");
    EXPECT_EQ(w->Strip().Session.TextPosition, TPoint(4, 6));
}

TEST_F(MainWindow, TextWizardTextGoesThroughTheTemplatesWindow)
{
    TTemplatesF templates(w.get());
    w->SetTemplatesWindow(&templates);
    QTimer::singleShot(0, [&] {
        EXPECT_EQ(templates.editor->toPlainText(), "Anivor");
        templates.editor->setPlainText("Hello\nWorld");
        templates.BitBtn1->click();
    });
    Trigger("options.text-wizard-text");
    EXPECT_EQ(w->Strip().Session.TextWizardText, (std::vector<std::string>{"Hello", "World"}));
    QTimer::singleShot(0, [&] {
        templates.editor->setPlainText("dropped");
        templates.BitBtn2->click();
    });
    Trigger("options.text-wizard-text");
    EXPECT_EQ(w->Strip().Session.TextWizardText, (std::vector<std::string>{"Hello", "World"}));
}

TEST_F(MainWindow, HelpAndAbout)
{
    Trigger("help.about");
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_NE(ui.Messages()[0].find("Anivor 13"), std::string::npos);

    // The shipped help document, in the folder the program looks in first.
    std::filesystem::copy_file(ANIVOR_SHIPPED_HELP, std::filesystem::path(AppDir()) / "Anivor.hlp",
                               std::filesystem::copy_options::overwrite_existing);
    Trigger("help.contents");
    EXPECT_TRUE(ui.Errors().empty()) << (ui.Errors().empty() ? "" : ui.Errors()[0]);
    THelpViewer* viewer = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* v = qobject_cast<THelpViewer*>(top))
            viewer = v;
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->CurrentTopic(), "Anivor");
    // Links to topics whose names have blanks are links too.
    EXPECT_NE(viewer->Browser()->toHtml().indexOf("href=\"#Frame strip\""), -1);
    const THelpDocument doc = THelpDocument::Load(ANIVOR_SHIPPED_HELP);
    for (const char* topic : {"Anivor", "Main window", "Frame strip", "Frame list", "Menus", "Templates"})
        EXPECT_NE(doc.Find(topic), nullptr) << topic;
    viewer->close();
}

TEST_F(MainWindow, SettingsDefaultsAndNextRunProposals)
{
    // No settings file: the designed size and the four defaults.
    EXPECT_EQ(w->Strip().Session.WizardFrameCount, 10);
    EXPECT_EQ(w->Strip().Session.NewFrameWidth, 120);
    EXPECT_EQ(w->Strip().Session.NewFrameHeight, 60);
    EXPECT_EQ(w->Strip().Session.DefaultDelay, 10);
    EXPECT_EQ(w->width(), 541);
    EXPECT_FALSE(w->isMaximized());
    EXPECT_TRUE(ui.Messages().empty());

    FirstFrame(200, 150);
    ui.AnswerButton(1);
    w->close();
    w->FormDestroy();
    EXPECT_TRUE(ui.Errors().empty());
    const std::string text = ReadText(Settings());
    EXPECT_NE(text.find("[Frames]\nCount=10\nWidth=200\nHeight=150\nDelay=10"), std::string::npos) << text;

    // A placement no screen shows gives the designed one.
    w.reset();
    std::ofstream(Settings()) << "[Window]\nLeft=-50000\nTop=-50000\nWidth=600\nHeight=500\n";
    Open();
    EXPECT_GT(w->x(), -1000);
    EXPECT_EQ(w->width(), 541);
    std::filesystem::remove(Settings());
    FirstFrame(200, 150);
    ui.AnswerButton(1);
    w->close();
    w->FormDestroy();

    // The next run proposes 200 x 150.
    w.reset();
    Open();
    ui.AnswerInput("");
    ui.AnswerInputCancel();
    ui.ClearCalls();
    Trigger("frame.new");
    EXPECT_EQ(ui.Calls()[0].Proposed, "200");
}

TEST_F(MainWindow, MaximisedCloseKeepsStoredPlacement)
{
    w.reset();
    std::ofstream(Settings()) << "[Window]\nState=0\nLeft=10\nTop=20\nWidth=600\nHeight=500\n[Frames]\nCount=99\nDelay=3\n";
    Open();
    EXPECT_EQ(w->pos(), QPoint(10, 20));
    EXPECT_EQ(w->size(), QSize(600, 500));
    EXPECT_EQ(w->Strip().Session.WizardFrameCount, 50);
    EXPECT_EQ(w->Strip().Session.DefaultDelay, 10);
    w->showMaximized();
    w->close();
    w->FormDestroy();
    const std::string text = ReadText(Settings());
    EXPECT_NE(text.find("State=1\nLeft=10\nTop=20\nWidth=600\nHeight=500\n"), std::string::npos) << text;

    // The next start opens maximised.
    w.reset();
    Open();
    w->show();
    EXPECT_TRUE(w->isMaximized());
    w->close();
}

TEST_F(MainWindow, UnreadableOrReadOnlySettingsStillStartAndClose)
{
    // A folder where the settings file should be: defaults, one message, and at the end
    // one "Unable to write to" and a normal close.
    w.reset();
    std::filesystem::create_directory(Settings());
    Open();
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_NE(ui.Messages()[0].find("Unable to read the settings file"), std::string::npos);
    EXPECT_EQ(w->Strip().Session.WizardFrameCount, 10);
    w->close();
    w->FormDestroy();
    w->FormDestroy(); // a second destroy writes (and complains) no more
    EXPECT_EQ(ui.Errors(), std::vector<std::string>{"Unable to write to " + Settings() + ": Is a directory"});
    std::filesystem::remove(Settings());

    // Read-only: read, said so at start, the write failure shown once, the file untouched.
    w.reset();
    ui.ClearCalls();
    std::ofstream(Settings()) << "[Frames]\nWidth=77\n";
    std::filesystem::permissions(Settings(), std::filesystem::perms::owner_read);
    Open();
    EXPECT_EQ(w->Strip().Session.NewFrameWidth, 77);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_NE(ui.Messages()[0].find("read-only"), std::string::npos);
    w->close();
    w->FormDestroy();
    EXPECT_EQ(ui.Errors(), std::vector<std::string>{"Unable to write to " + Settings() + ": the file is read-only"});
    EXPECT_EQ(ReadText(Settings()), "[Frames]\nWidth=77\n");
    std::filesystem::permissions(Settings(), std::filesystem::perms::owner_all);
}

// What a new user meets first: the first frame shows whole with its pointer, the Wizards
// glyph follows the mouse, New clears the preview, Exit and WebSite.
TEST_F(MainWindow, FirstStepsOfANewUser)
{
    w->show();
    QCoreApplication::processEvents();
    const int designed = w->height();
    // First frames of several heights: the strip shows each whole, the pointer below it.
    for (const QSize& frame : {QSize(120, 60), QSize(240, 160), QSize(100, 250)}) {
        SCOPED_TRACE(frame.height());
        FirstFrame(frame.width(), frame.height());
        QCoreApplication::processEvents();
        const TFrameImage* image = Image("Frame1");
        const QLabel* pointer = w->ScrollBoxSource->FramePointer();
        ASSERT_NE(image, nullptr);
        EXPECT_TRUE(pointer->isVisible());
        EXPECT_GE(pointer->y(), image->y() + image->height()); // never over the frame
        EXPECT_LE(pointer->geometry().bottom(), w->ScrollBoxSource->viewport()->height());
        EXPECT_EQ(w->height() > designed, frame.height() > 60);
        ui.AnswerButton(1); // "Save changes?": Discard
        Trigger("animation.new");
    }

    // The Wizards button's glyph: plain left of its left edge + 12, lit from there on.
    QWidget* wizards = w->ToolBar1->widgetForAction(w->wizpop->menuAction());
    ASSERT_NE(wizards, nullptr);
    const auto glyph = [&](const char* name) { return ToolbarIcon(name).pixmap(20, 20).toImage(); };
    for (const auto& [x, name] : {std::pair{wizards->x() + 12, "wizards-hot"}, std::pair{wizards->x() + 11, "wizards"},
                                  std::pair{wizards->x() + 40, "wizards-hot"}, std::pair{wizards->x() - 30, "wizards"}}) {
        QMouseEvent move(QEvent::MouseMove, QPointF(x, 5), w->ToolBar1->mapToGlobal(QPointF(x, 5)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w->ToolBar1, &move);
        EXPECT_EQ(w->wizpop->menuAction()->icon().pixmap(20, 20).toImage(), glyph(name)) << x;
    }
    EXPECT_NE(glyph("wizards"), glyph("wizards-hot"));

    // After Animation > New the preview stops and shows nothing, its size 0.
    FirstFrame(30, 20);
    Trigger("animation.create");
    EXPECT_NE(w->anisize->text(), "0");
    EXPECT_TRUE(w->Action("animation.stop")->isEnabled());
    ui.AnswerButton(1);
    Trigger("animation.new");
    EXPECT_TRUE(w->Strip().Empty());
    EXPECT_EQ(w->anisize->text(), "0");
    EXPECT_TRUE(w->ImageAnimate->Picture().isNull());
    EXPECT_FALSE(w->Action("animation.stop")->isEnabled());
    EXPECT_FALSE(w->Action("animation.save")->isEnabled());

    // Help > WebSite: the program's own help and README, in the help window.
    std::filesystem::copy_file(ANIVOR_SHIPPED_HELP, std::filesystem::path(AppDir()) / "Anivor.hlp",
                               std::filesystem::copy_options::overwrite_existing);
    std::ofstream(std::filesystem::path(AppDir()) / "README.md") << "# Anivor 13\n\nThe read-me text.\n";
    Trigger("help.website");
    EXPECT_TRUE(ui.Errors().empty());
    THelpViewer* viewer = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* v = qobject_cast<THelpViewer*>(top))
            viewer = v;
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->CurrentTopic(), "Anivor 13");
    EXPECT_TRUE(viewer->Browser()->toPlainText().contains("The read-me text."));
    emit viewer->Browser()->anchorClicked(QUrl("#Anivor"));
    EXPECT_EQ(viewer->CurrentTopic(), "Anivor"); // the help's topics are there too
    viewer->close();
    std::filesystem::remove(std::filesystem::path(AppDir()) / "README.md");

    // Animation > Exit (Ctrl+Q) closes the window.
    EXPECT_EQ(w->Action("animation.exit")->shortcut(), QKeySequence("Ctrl+Q"));
    Trigger("animation.exit");
    EXPECT_FALSE(w->isVisible());
}
