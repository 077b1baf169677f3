// The main window's wizards: the drop-down as the menu data lays it out, every item running
// its kind, the commands locked during a run, Stop, insertion and the text settings.
#include "MainWindowFixture.h"

#include "app/AnivorForm.h"

#include "platform/HelpDocument.h"
#include "platform/ScriptedUi.h"
#include "support/TestSupport.h"
#include "widgets/ImageControl.h"
#include "wizards/WizardKinds.h"
#include "wizards/WizardMenu.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QStatusBar>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace {

constexpr TColor kRed = 0x0000FF;
constexpr TColor kBlue = 0xFF0000;

class WizardWindow : public MainWindowFixture {
protected:
    // Two solid frames of 8 x 6, the first selected, n = 4.
    void TwoFrames()
    {
        TFrameStrip& s = w->Strip();
        s.SetFrameSize(8, 6);
        s.Session.WizardFrameCount = 4;
        s.Append(SolidBitmap(8, 6, kRed));
        s.Append(SolidBitmap(8, 6, kBlue));
        s.SelectOnly(0);
    }
    // Whether every command a run locks (menu items and toolbar buttons) is `enabled`.
    bool Commands(bool enabled) const
    {
        for (const char* id : {"wizard.transition", "wizard.text-type", "wizard.insert", "frame.new", "frame.delete",
                               "animation.create", "options.text-wizard-text", "animation.new", "animation.open"})
            if (w->Action(id)->isEnabled() != enabled)
                return false;
        return w->wizpop->menuAction()->isEnabled() == enabled;
    }
    bool CommandsEnabled() const { return Commands(true); }
};

// Walks the drop-down beside the menu data: same captions, separators and submenus in the
// same order; collects the command actions with their kinds.
void Compare(QMenu* menu, const std::vector<TWizardMenuItem>& items, std::vector<std::pair<QAction*, int>>& commands,
             const std::string& path)
{
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), static_cast<qsizetype>(items.size())) << path;
    for (qsizetype k = 0; k < actions.size(); ++k) {
        QAction* a = actions[k];
        const TWizardMenuItem& item = items[static_cast<std::size_t>(k)];
        const std::string where = path + "/" + item.Caption;
        switch (item.ItemType) {
        case TWizardMenuItem::Type::Separator:
            EXPECT_TRUE(a->isSeparator()) << where;
            break;
        case TWizardMenuItem::Type::Submenu:
            ASSERT_NE(a->menu(), nullptr) << where;
            EXPECT_EQ(a->text().toStdString(), item.Caption);
            Compare(a->menu(), item.Items, commands, where);
            break;
        case TWizardMenuItem::Type::Command:
            EXPECT_EQ(a->menu(), nullptr) << where;
            EXPECT_EQ(a->text().toStdString(), item.Caption);
            EXPECT_EQ(a->objectName().toStdString(), WizardCommandId(item.Kind)) << where;
            commands.emplace_back(a, item.Kind);
            break;
        }
    }
}

} // namespace

TEST_F(WizardWindow, DropDownFollowsTheMenuDataAndEveryItemRunsItsKind)
{
    ASSERT_NE(w->wizpop, nullptr);
    EXPECT_TRUE(w->wizpop->menuAction()->isEnabled());
    std::vector<std::pair<QAction*, int>> commands;
    Compare(w->wizpop, WizardMenu(), commands, "Wizards");
    ASSERT_EQ(commands.size(), 105u);
    // The top level as the user sees it, and a few deeper submenus by name.
    QStringList top;
    for (QAction* a : w->wizpop->actions())
        top << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(top.join(","), "Transition,Rotate Left-Right,Rotate Top-Down,Blinds,Wipe,Curtain,Box,Diagonal,Cross,"
                             "Circle,Sweep,Marquee,Plasma,-,Fold,CheckerBoard,Segment,Grow,Shrink,Effects,Text,Actor");
    ASSERT_NE(w->findChild<QMenu*>("wizEffectsLightMenu"), nullptr);
    EXPECT_EQ(w->findChild<QMenu*>("wizEffectsLightMenu")->actions().size(), 12);
    EXPECT_EQ(w->Action("wizard.wipe-up")->text(), "Up"); // Wipe: Right, Left, Up, Down
    EXPECT_EQ(w->findChild<QMenu*>("wizWipeMenu")->actions().at(2), w->Action("wizard.wipe-up"));

    // Every item, on a tiny strip: n images, or 2n for the two-pass kinds, and a preview.
    TwoFrames();
    std::set<int> kinds;
    for (const auto& [a, kind] : commands) {
        kinds.insert(kind);
        ASSERT_TRUE(a->isEnabled()) << kind;
        a->trigger();
        const std::size_t made = w->Strip().WizardImages().size();
        const bool twoPasses = kind == 1 || kind == 2 || kind == 27 || kind == 30 || kind == 68;
        EXPECT_EQ(made, twoPasses ? 8u : 4u) << "kind " << kind;
        ASSERT_NE(w->ImageAnimate->Document(), nullptr) << kind;
        EXPECT_EQ(w->ImageAnimate->Document()->Count(), static_cast<int>(made)) << kind;
    }
    EXPECT_EQ(kinds.size(), 105u);
    EXPECT_EQ(*kinds.begin(), 0);
    EXPECT_EQ(*kinds.rbegin(), 104);
    EXPECT_TRUE(ui.Errors().empty()) << ui.Errors().front();
    EXPECT_EQ(w->PreviewState(), TPreviewState::Animation);
    EXPECT_TRUE(CommandsEnabled());
    EXPECT_EQ(ui.WaitDepth(), 0);
    EXPECT_EQ(w->Strip().Count(), 2); // nothing is inserted by a run
}

TEST_F(WizardWindow, NoRunOnTheLastFrameOrWithoutSelection)
{
    TwoFrames();
    w->Strip().SelectOnly(1);
    Trigger("wizard.transition");
    EXPECT_TRUE(w->Strip().WizardImages().empty());
    EXPECT_EQ(w->PreviewState(), TPreviewState::Nothing);
    EXPECT_EQ(w->anisize->text(), "0");
    w->Strip().SetItemIndex(-1);
    Trigger("wizard.text-type");
    EXPECT_TRUE(w->Strip().WizardImages().empty());
    EXPECT_EQ(ui.MaxWaitDepth(), 0);
    EXPECT_TRUE(ui.Calls().empty());
}

TEST_F(WizardWindow, CommandsAreLockedDuringARunAndStopEndsIt)
{
    TwoFrames();
    w->Strip().Session.WizardFrameCount = 10;
    ui.RunEvents = true;
    bool sawLock = false;
    // After the first step's event processing: everything but Stop is disabled, the
    // progress shows; a second run cannot start; then the user presses Stop (Esc).
    QTimer::singleShot(0, w.get(), [&] {
        ASSERT_TRUE(w->WizardRunning());
        sawLock = Commands(false);
        EXPECT_TRUE(w->Action("wizard.stop")->isEnabled());
        EXPECT_EQ(w->Action("wizard.stop")->shortcut(), QKeySequence(Qt::Key_Escape));
        EXPECT_FALSE(w->WizardProgress->isHidden());
        EXPECT_NE(w->statusBar()->currentMessage().indexOf("Wizard Transition: "), -1);
        EXPECT_EQ(w->WizardProgress->maximum(), 10);
        EXPECT_GE(w->WizardProgress->value(), 1);
        w->Action("wizard.rotate-left-right")->trigger(); // disabled: nothing happens
        w->Action("wizard.stop")->trigger();
    });
    Trigger("wizard.transition");
    EXPECT_TRUE(sawLock);
    EXPECT_FALSE(w->WizardRunning());
    const std::size_t made = w->Strip().WizardImages().size();
    EXPECT_GE(made, 1u);
    EXPECT_LT(made, 10u);
    // What was made is previewed and can be inserted; the window takes commands again.
    ASSERT_NE(w->ImageAnimate->Document(), nullptr);
    EXPECT_EQ(w->ImageAnimate->Document()->Count(), static_cast<int>(made));
    EXPECT_TRUE(CommandsEnabled());
    EXPECT_FALSE(w->Action("wizard.stop")->isEnabled());
    EXPECT_TRUE(w->WizardProgress->isHidden());
    EXPECT_TRUE(w->Action("animation.stop")->isEnabled());
    EXPECT_TRUE(w->Action("animation.save")->isEnabled());
    EXPECT_EQ(ui.WaitDepth(), 0);
    // Save writes the wizard's animation, the size anisize shows.
    ui.AnswerSaveFile(dir.file("wizard.gif"));
    Trigger("animation.save");
    TGIFImage saved;
    saved.LoadFromFile(dir.file("wizard.gif"));
    EXPECT_EQ(saved.Count(), static_cast<int>(made));
    EXPECT_EQ(w->anisize->text().toLongLong(), static_cast<long long>(std::filesystem::file_size(dir.file("wizard.gif"))));

    // Closing the window during a run stops the run first, then closes.
    w->show();
    ui.AnswerButton(1); // "Save changes?": Discard
    QTimer::singleShot(0, w.get(), [&] { w->close(); });
    Trigger("wizard.transition");
    EXPECT_LT(w->Strip().WizardImages().size(), 10u);
    QApplication::processEvents();
    EXPECT_FALSE(w->isVisible());
}

TEST_F(WizardWindow, AFailingStepShowsItsErrorAndUnlocks)
{
    TwoFrames();
    w->Strip().Session.TextWizardText.clear();
    Trigger("wizard.text-type");
    ASSERT_EQ(ui.Errors().size(), 1u);
    EXPECT_NE(ui.Errors()[0].find("List index out of bounds"), std::string::npos);
    EXPECT_TRUE(CommandsEnabled());
    EXPECT_FALSE(w->WizardRunning());
    EXPECT_TRUE(w->WizardProgress->isHidden());
    EXPECT_EQ(ui.WaitDepth(), 0);
    EXPECT_EQ(w->PreviewState(), TPreviewState::Nothing); // no preview after a failure
}

TEST_F(WizardWindow, InsertWizardFramesTwiceAfterWhicheverFrameIsSelected)
{
    TwoFrames();
    w->Strip().Session.DefaultDelay = 33;
    Trigger("wizard.transition");
    ASSERT_EQ(w->Strip().WizardImages().size(), 4u);
    Trigger("wizard.insert");
    TFrameStrip& s = w->Strip();
    ASSERT_EQ(s.Count(), 6);
    // Red, the four blends (the last is blue), blue.
    EXPECT_EQ(s.FindFrameImage(0).Bitmap().Pixel(0, 0), kRed);
    EXPECT_EQ(s.FindFrameImage(1).Bitmap().Pixel(0, 0), TColor(0x3F00BF));
    EXPECT_EQ(s.FindFrameImage(4).Bitmap().Pixel(0, 0), kBlue);
    EXPECT_EQ(s.FindFrameImage(5).Bitmap().Pixel(0, 0), kBlue);
    EXPECT_EQ(s.GetFrameDelay(2), 33);
    EXPECT_EQ(s.ItemIndex(), 4);
    EXPECT_EQ(s.SelectedCount(), 4);

    // Again, after selecting the last frame: the same four images after it.
    s.SelectOnly(5);
    Trigger("wizard.insert");
    ASSERT_EQ(s.Count(), 10);
    EXPECT_EQ(s.FindFrameImage(6).Bitmap().Pixel(0, 0), TColor(0x3F00BF));
    EXPECT_EQ(s.FindFrameImage(9).Bitmap().Pixel(0, 0), kBlue);
    EXPECT_EQ(s.FindFrameImage(1).Bitmap().Pixel(0, 0), TColor(0x3F00BF));
    EXPECT_EQ(s.WizardImages().size(), 4u);
    EXPECT_EQ(s.EntryText(9), "Frame10=33");
}

TEST_F(WizardWindow, TextSettingsCommandsKeepTheirValuesOnCancel)
{
    TFrameStrip& s = w->Strip();
    ui.AnswerFontCancel();
    Trigger("options.text-wizard-font");
    EXPECT_EQ(s.Session.TextWizardFont.Name, "Arial");
    EXPECT_EQ(s.Session.TextWizardFont.Size, 12);
    EXPECT_EQ(ui.Last().InitialFont.Name, "Arial");
    ui.AnswerFont(TFontChoice{"Times New Roman", 20, 3, kBlue});
    Trigger("options.text-wizard-font");
    EXPECT_EQ(s.Session.TextWizardFont.Name, "Times New Roman");
    EXPECT_EQ(s.Session.TextWizardFont.Size, 20);
    EXPECT_EQ(s.Session.TextWizardFont.Style, 3u);
    EXPECT_EQ(s.Session.TextWizardFont.Color, kBlue);

    ui.AnswerColorCancel();
    Trigger("options.text-wizard-color");
    EXPECT_EQ(ui.Last().InitialColor, kBlue);
    EXPECT_EQ(s.Session.TextWizardFont.Color, kBlue);
    ui.AnswerColor(kRed);
    Trigger("options.text-wizard-color");
    EXPECT_EQ(s.Session.TextWizardFont.Color, kRed);
    EXPECT_EQ(s.Session.TextWizardFont.Name, "Times New Roman");

    ui.AnswerColorCancel();
    Trigger("options.accent-color");
    EXPECT_EQ(ui.Last().InitialColor, TColor(255));
    EXPECT_EQ(s.Session.AccentColor, TColor(255));
    ui.AnswerColor(kBlue);
    Trigger("options.accent-color");
    EXPECT_EQ(s.Session.AccentColor, kBlue);
    EXPECT_EQ(ui.PendingAnswers(), 0);
}

TEST(WizardHelp, TheShippedHelpHasAWizardsTopicLinkedFromContents)
{
    const THelpDocument doc = THelpDocument::Load(ANIVOR_SHIPPED_HELP);
    const THelpTopic* topic = doc.Find("Wizards");
    ASSERT_NE(topic, nullptr);
    EXPECT_NE(topic->Markdown.find("Insert Wizard Frames"), std::string::npos);
    EXPECT_NE(topic->Markdown.find("Esc"), std::string::npos);
    EXPECT_NE(doc.Find("Anivor")->Markdown.find("(#Wizards)"), std::string::npos);
}
