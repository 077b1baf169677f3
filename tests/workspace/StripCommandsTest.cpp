#include "workspace/StripCommands.h"

#include "platform/ScriptedUi.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Entries(const TFrameStrip& s)
{
    std::vector<std::string> out;
    for (int i = 0; i < s.Count(); ++i)
        out.push_back(s.EntryText(i));
    return out;
}

} // namespace

TEST(NewFrameCommand, AsksTheSizeOnlyOnAnEmptyStrip)
{
    ScriptedUi ui;
    TFrameStrip s;
    ui.AnswerInput("100");
    ui.AnswerInput("50");
    NewFrameCommand(s);
    ASSERT_EQ(ui.Calls().size(), 2u);
    EXPECT_EQ(ui.Calls()[0].Caption, "Anivor Frames");
    EXPECT_EQ(ui.Calls()[0].Prompt, "Enter Width");
    EXPECT_EQ(ui.Calls()[0].Proposed, "120");
    EXPECT_EQ(ui.Calls()[1].Prompt, "Enter Height");
    EXPECT_EQ(ui.Calls()[1].Proposed, "60");
    EXPECT_EQ(Entries(s), std::vector<std::string>{"Frame1=10"});
    EXPECT_EQ(s.FindFrameImage(0).Bitmap().Width(), 100);
    EXPECT_EQ(s.FindFrameImage(0).Bitmap().Height(), 50);
    EXPECT_EQ(s.ItemIndex(), 0);
    EXPECT_EQ(s.Session.NewFrameWidth, 100);
    EXPECT_EQ(s.Session.NewFrameHeight, 50);

    // A second New Frame asks nothing.
    NewFrameCommand(s);
    EXPECT_EQ(ui.Calls().size(), 2u);
    EXPECT_EQ(s.Count(), 2);

    // Animation > New: No keeps the frames, Yes clears them and the size is asked again,
    // proposing the last size, and numbering starts over.
    ui.AnswerConfirm(false);
    NewAnimationCommand(s);
    EXPECT_EQ(s.Count(), 2);
    ui.AnswerConfirm(true);
    NewAnimationCommand(s);
    EXPECT_TRUE(s.Empty());
    EXPECT_EQ(ui.Last().Text, "Do you want to erase all current Frames?");
    ui.AnswerInputCancel(); // Cancel takes the proposed value
    ui.AnswerInput("30");
    NewFrameCommand(s);
    EXPECT_EQ(ui.CallsOf(TUiCallKind::InputBox)[2].Proposed, "100");
    EXPECT_EQ(Entries(s), std::vector<std::string>{"Frame1=10"});
    EXPECT_EQ(s.FrameWidth(), 100);
    EXPECT_EQ(s.FrameHeight(), 30);
    EXPECT_EQ(ui.PendingAnswers(), 0);
}

TEST(NewFrameCommand, BadSizesCreateNothing)
{
    ScriptedUi ui;
    TFrameStrip s;
    // Not a number: ends silently; a width read before a failing height stays.
    ui.AnswerInput("abc");
    NewFrameCommand(s);
    ui.AnswerInput("80");
    ui.AnswerInput("x");
    NewFrameCommand(s);
    EXPECT_TRUE(s.Empty());
    EXPECT_EQ(s.FrameWidth(), 80);
    EXPECT_TRUE(ui.Messages().empty());

    // Too big for any bitmap: refused with a message, before anything changes.
    ui.AnswerInput("100000");
    NewFrameCommand(s);
    ui.AnswerInput("100");
    ui.AnswerInput("100000");
    NewFrameCommand(s);
    ui.AnswerInput("0");
    NewFrameCommand(s);
    EXPECT_TRUE(s.Empty());
    EXPECT_EQ(s.FrameCounter(), 1);
    ASSERT_EQ(ui.Errors().size(), 3u);
    EXPECT_EQ(ui.Errors()[0], "The frame width must be between 1 and 16384 pixels; 100000 is refused.");
    EXPECT_EQ(ui.Errors()[1], "The frame height must be between 1 and 16384 pixels; 100000 is refused.");
    EXPECT_EQ(ui.PendingAnswers(), 0);
}

TEST(DelayCommands, AnswersOutsideTheRangeAreIgnored)
{
    ScriptedUi ui;
    TFrameStrip s;
    s.SetFrameSize(10, 10);
    s.NewFrame();
    s.NewFrame();
    s.SelectOnly(0);

    ui.AnswerInput("7");
    DelayCommand(s);
    ui.AnswerInput("300");
    DelayCommand(s);
    EXPECT_EQ(s.EntryText(0), "Frame1=10");
    const TUiCall prompt = ui.CallsOf(TUiCallKind::InputBox).back();
    EXPECT_EQ(prompt.Caption, "Anivor Frame Delays");
    EXPECT_EQ(prompt.Prompt, "Enter Delay (10..255)");
    EXPECT_EQ(prompt.Proposed, "10");
    // The user is told the number was not used.
    EXPECT_EQ(ui.Messages(), (std::vector<std::string>{"7 is outside 10..255: the delay stays as it was.",
                                                       "300 is outside 10..255: the delay stays as it was."}));
    // Letters read as 30, so they are accepted and stored as typed.
    ui.AnswerInput("abc");
    DelayCommand(s);
    EXPECT_EQ(s.EntryText(0), "Frame1=abc");
    EXPECT_EQ(s.GetFrameDelay(0), 30);
    ui.AnswerInput("255");
    DelayCommand(s);
    EXPECT_EQ(ui.Last().Proposed, "abc");
    EXPECT_EQ(s.GetFrameDelay(0), 255);
    EXPECT_EQ(s.EntryText(1), "Frame2=10");

    // Delay All proposes DefaultDelay and sets every frame.
    s.Session.DefaultDelay = 12;
    ui.AnswerInput("9");
    DelayAllCommand(s);
    EXPECT_EQ(s.GetFrameDelay(1), 10);
    ui.AnswerInput("40");
    DelayAllCommand(s);
    EXPECT_EQ(ui.Last().Proposed, "12");
    EXPECT_EQ((std::vector<int>{s.GetFrameDelay(0), s.GetFrameDelay(1)}), (std::vector<int>{40, 40}));

    // No selected frame: no question at all.
    s.SetItemIndex(-1);
    const std::size_t asked = ui.Calls().size();
    DelayCommand(s);
    EXPECT_EQ(ui.Calls().size(), asked);
}

TEST(OptionCommands, ClampOrDefaultTheirAnswers)
{
    ScriptedUi ui;
    TFrameStrip s;
    // The command, the value it sets, then per answer the value used and what the user is
    // told ("": nothing).
    struct Case {
        const char* Answer;
        int Used;
        const char* Told;
    };
    const struct {
        void (*Command)(TFrameStrip&);
        int TStripSession::*Value;
        const char* Prompt;
        std::vector<Case> Cases;
    } prompts[] = {
        {FrameDelayCommand, &TStripSession::DefaultDelay, "Enter Default Frame Delay (10..255):",
         {{"5", 10, "5 is outside 10..255: the default frame delay is 10."},
          {"999", 255, "999 is outside 10..255: the default frame delay is 255."},
          {"x", 10, "\"x\" is not a whole number: the default frame delay is 10."},
          {"77", 77, ""}}},
        {SetFramesCommand, &TStripSession::WizardFrameCount, "Enter number of frames (4..50):",
         {{"2", 4, "2 is outside 4..50: the number of wizard frames is 4."},
          {"99", 50, "99 is outside 4..50: the number of wizard frames is 50."},
          {"?", 10, "\"?\" is not a whole number: the number of wizard frames is 10."},
          {"12", 12, ""}}},
    };
    for (const auto& p : prompts)
        for (const Case& c : p.Cases) {
            const std::size_t told = ui.Messages().size();
            ui.AnswerInput(c.Answer);
            p.Command(s);
            EXPECT_EQ(s.Session.*p.Value, c.Used) << c.Answer;
            EXPECT_EQ(ui.Messages().size() > told ? ui.Messages().back() : std::string(), c.Told) << c.Answer;
            EXPECT_EQ(ui.CallsOf(TUiCallKind::InputBox).back().Caption, "Anivor Transitions");
            EXPECT_EQ(ui.CallsOf(TUiCallKind::InputBox).back().Prompt, p.Prompt);
        }

    ui.AnswerInput("letters");
    SetLoopsCommand(s);
    EXPECT_EQ(s.LoopCount(), 0);
    ui.AnswerInput("70000");
    SetLoopsCommand(s);
    EXPECT_EQ(s.LoopCount(), 70000);
    ui.AnswerInputCancel();
    SetLoopsCommand(s);
    EXPECT_EQ(s.LoopCount(), 70000);

    ui.AnswerInput("-45");
    RotationAngleCommand(s);
    EXPECT_EQ(s.Session.RotationAngle, -45);
    ui.AnswerInput("abc");
    RotationAngleCommand(s);
    EXPECT_EQ(s.Session.RotationAngle, 90);
    EXPECT_EQ(ui.Messages().back(), "\"abc\" is not a whole number: the rotation angle is 90.");

    ui.AnswerColor(clGreen);
    TextWizardColorCommand(s);
    ui.AnswerColorCancel();
    AccentColorCommand(s);
    EXPECT_EQ(s.Session.TextWizardFont.Color, clGreen);
    EXPECT_EQ(s.Session.AccentColor, 255u);
    EXPECT_EQ(ui.PendingAnswers(), 0);
}

TEST(TextWizardLines, SplitAndJoinRoundTrip)
{
    EXPECT_EQ(SplitLines("a\r\nb\n\nc"), (std::vector<std::string>{"a", "b", "", "c"}));
    EXPECT_EQ(SplitLines(""), std::vector<std::string>{""});
    EXPECT_EQ(JoinLines({"Anivor", "", "x"}), "Anivor\n\nx");
    EXPECT_EQ(SplitLines(JoinLines({"one", "two"})), (std::vector<std::string>{"one", "two"}));
}
