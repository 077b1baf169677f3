#include "platform/ScriptedUi.h"

#include <gtest/gtest.h>

TEST(ScriptedUi, AnswersInOrderAndRecordsWhatTheUserSaw)
{
    ScriptedUi ui;
    ASSERT_EQ(&UI(), &ui);
    ui.AnswerInput("300");
    ui.AnswerInputCancel();
    ui.AnswerInput("abc");
    ui.AnswerConfirm(false);
    ui.AnswerOpenFile("/tmp/a.gif");
    ui.AnswerSaveFileCancel();
    ui.AnswerColor(clRed);
    TFontChoice arial;
    arial.Name = "Arial";
    arial.Size = 12;
    arial.Style = 1;
    arial.Color = clBlue;
    ui.AnswerFont(arial);

    EXPECT_EQ(UI().InputBox("New Frame", "Width", "120"), "300");
    EXPECT_EQ(UI().InputBox("New Frame", "Height", "60"), "60"); // Cancel gives the proposed value
    std::string value = "old";
    EXPECT_TRUE(UI().InputQuery("Rename", "Name", value));
    EXPECT_EQ(value, "abc");
    EXPECT_FALSE(UI().Confirm("Delete", "Delete 3 frames?"));
    UI().MessageDlg("Bad file", TMsgDlgType::mtError);
    UI().ShowMessage("Done");
    TFileDialogOptions open;
    open.Title = "Open";
    open.Filters = {"GIF Files|*.gif"};
    EXPECT_EQ(UI().OpenFile(open), std::optional<std::string>("/tmp/a.gif"));
    TFileDialogOptions save;
    save.Title = "Save animated GIF";
    EXPECT_EQ(UI().SaveFile(save), std::nullopt);
    EXPECT_EQ(UI().ChooseColor(clWhite), std::optional<TColor>(clRed));
    TFontChoice courier;
    courier.Name = "Courier New";
    const auto font = UI().ChooseFont(courier);
    ASSERT_TRUE(font);
    EXPECT_EQ(font->Name, "Arial");
    EXPECT_EQ(font->Color, clBlue);

    EXPECT_EQ(ui.PendingAnswers(), 0);
    const auto& calls = ui.Calls();
    ASSERT_EQ(calls.size(), 10u);
    EXPECT_EQ(calls[0].Kind, TUiCallKind::InputBox);
    EXPECT_EQ(calls[0].Caption, "New Frame");
    EXPECT_EQ(calls[0].Prompt, "Width");
    EXPECT_EQ(calls[0].Proposed, "120");
    EXPECT_FALSE(calls[0].Cancelled);
    EXPECT_TRUE(calls[1].Cancelled);
    EXPECT_EQ(calls[2].Proposed, "old");
    EXPECT_EQ(calls[3].Text, "Delete 3 frames?");
    EXPECT_TRUE(calls[3].Cancelled);
    EXPECT_EQ(calls[6].FileOptions.Filters, std::vector<std::string>{"GIF Files|*.gif"});
    EXPECT_EQ(calls[7].Caption, "Save animated GIF");
    EXPECT_EQ(calls[8].InitialColor, clWhite);
    EXPECT_EQ(calls[9].InitialFont.Name, "Courier New");
    EXPECT_EQ(ui.Messages(), (std::vector<std::string>{"Bad file", "Done"}));
    EXPECT_EQ(ui.Errors(), std::vector<std::string>{"Bad file"});
    EXPECT_EQ(ui.CallsOf(TUiCallKind::InputBox).size(), 2u);
    EXPECT_EQ(ui.Last().Kind, TUiCallKind::ChooseFont);
}

TEST(ScriptedUi, QuestionWithoutAnswerFailsLoudlyNamingIt)
{
    ScriptedUi ui;
    std::string reported;
    ui.OnUnanswered = [&](const std::string& d) { reported = d; };
    ui.AnswerConfirm(true); // answers of another kind do not count
    try {
        UI().InputBox("Frame Delay", "Delay in 1/100 s", "10");
        FAIL() << "no exception";
    } catch (const EUnansweredPrompt& e) {
        EXPECT_NE(std::string(e.what()).find("Frame Delay"), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("Delay in 1/100 s"), std::string::npos);
    }
    EXPECT_EQ(reported, ui.Unanswered().at(0));
    EXPECT_THROW(UI().OpenFiles({}), EUnansweredPrompt);
    EXPECT_EQ(ui.Unanswered().size(), 2u);
    EXPECT_EQ(ui.PendingAnswers(), 1);
}

TEST(ScriptedUi, InstallsItselfNestedAndCountsWaits)
{
    Ui* before = &UI();
    {
        ScriptedUi outer;
        {
            ScriptedUi inner;
            EXPECT_EQ(&UI(), &inner);
            WaitCursor w1;
            {
                WaitCursor w2;
                EXPECT_EQ(inner.WaitDepth(), 2);
            }
            UI().ProcessEvents();
            EXPECT_EQ(inner.WaitDepth(), 1);
            EXPECT_EQ(inner.ProcessEventsCount(), 1);
        }
        EXPECT_EQ(&UI(), &outer);
        EXPECT_EQ(outer.WaitDepth(), 0);
    }
    EXPECT_EQ(&UI(), before);
}
