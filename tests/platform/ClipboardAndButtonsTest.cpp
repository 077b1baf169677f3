// Registered clipboard formats and messages with buttons of their own.
#include "platform/Clipboard.h"
#include "platform/HeadlessUi.h"
#include "platform/ScriptedUi.h"

#include <QApplication>
#include <QClipboard>

#include <gtest/gtest.h>

TEST(Clipboard, RegisteredFormatsTravelUnderTheirOwnType)
{
    EXPECT_EQ(ClipboardMimeType("GIF Image"), "application/x-anivor-gif-image");
    QApplication::clipboard()->setText("text");
    EXPECT_FALSE(ClipboardHasFormat("GIF Image"));
    EXPECT_TRUE(ClipboardData("GIF Image").empty());
    const std::vector<std::uint8_t> bytes = {'G', 'I', 'F', 0, 255, 1};
    SetClipboardData("GIF Image", bytes);
    EXPECT_TRUE(ClipboardHasFormat("GIF Image"));
    EXPECT_FALSE(ClipboardHasFormat("Other Format"));
    EXPECT_EQ(ClipboardData("GIF Image"), bytes);
    QApplication::clipboard()->clear();
    EXPECT_FALSE(ClipboardHasFormat("GIF Image"));
}

TEST(ScriptedUi, ChooseButtonAnswersWithTheIndexAndRecordsTheButtons)
{
    ScriptedUi ui;
    ui.AnswerButton(2);
    ui.AnswerButton(-1);
    EXPECT_EQ(UI().ChooseButton("Warning", "Text", TMsgDlgType::mtWarning, {"&Abort", "&Ignore", "&All"}), 2);
    EXPECT_EQ(UI().ChooseButton("Warning", "Again", TMsgDlgType::mtWarning, {"&Abort"}), -1);
    const TUiCall& first = ui.Calls()[0];
    EXPECT_EQ(first.Kind, TUiCallKind::ChooseButton);
    EXPECT_EQ(first.Caption, "Warning");
    EXPECT_EQ(first.Buttons, (std::vector<std::string>{"&Abort", "&Ignore", "&All"}));
    EXPECT_TRUE(ui.Last().Cancelled);
    EXPECT_THROW(UI().ChooseButton("Warning", "No answer", TMsgDlgType::mtWarning, {"&Abort"}), EUnansweredPrompt);
    HeadlessUi headless;
    EXPECT_THROW(headless.ChooseButton("Warning", "Nobody", TMsgDlgType::mtWarning, {"&Abort"}), ENoUserInterface);
}
