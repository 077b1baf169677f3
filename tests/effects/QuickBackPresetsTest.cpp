// The QuickBack window's model and its presets file: reading preset lines, the list
// commands with their prompts, bad files, and a failed write that leaves the old file.
#include "effects/PainterQB.h"

#include "graphics/Exception.h"
#include "platform/ScriptedUi.h"
#include "platform/Unprivileged.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

TQuickBackSettings Settings(int r, int g, int b, int ro, int go, int bo, int f)
{
    return TQuickBackSettings{r, g, b, ro, go, bo, f};
}

} // namespace

TEST(QuickBackPresets, ReadingPresetLines)
{
    TQuickBackSettings s;
    EXPECT_EQ(ReadPreset("Waves=3,17, 40,10,20,30,128", s), TPresetRead::Read);
    EXPECT_EQ(s, Settings(3, 17, 40, 10, 20, 30, 128));
    EXPECT_EQ(PresetLine("Waves", s), "Waves=3,17,40,10,20,30,128");
    EXPECT_EQ(PresetName("Waves=3,17"), "Waves");
    EXPECT_EQ(PresetName("no equals"), "no equals");
    // Values after the seventh are not read.
    EXPECT_EQ(ReadPreset("x=1,1,1,1,1,1,16,99,abc", s), TPresetRead::Read);
    EXPECT_EQ(s, Settings(1, 1, 1, 1, 1, 1, 16));

    // No "=": nothing happens.
    EXPECT_EQ(ReadPreset("1,2,3,4,5,6,7", s), TPresetRead::NotAPreset);
    EXPECT_EQ(s, Settings(1, 1, 1, 1, 1, 1, 16));

    // A missing or non-numeric value: an error, the values before it stay read.
    s = TQuickBackSettings{};
    EXPECT_EQ(ReadPreset("six=5,6,7,8,9,10", s), TPresetRead::Error);
    EXPECT_EQ(s, Settings(5, 6, 7, 8, 9, 10, 255));
    s = TQuickBackSettings{};
    EXPECT_EQ(ReadPreset("bad=5,6,x,8,9,10,100", s), TPresetRead::Error);
    EXPECT_EQ(s, Settings(5, 6, 0, 0, 0, 0, 255));
    EXPECT_EQ(ReadPreset("huge=99999999999,1,1,1,1,1,20", s), TPresetRead::Error);
    EXPECT_EQ(ReadPreset("empty=", s), TPresetRead::Error);
    EXPECT_EQ(s, Settings(5, 6, 0, 0, 0, 0, 255));

    // Values the controls cannot hold change nothing at all (a factor of 0 would divide by
    // zero; there is no function 41).
    for (const char* line : {"f=1,2,3,4,5,6,0", "f=1,2,3,4,5,6,15", "f=1,2,3,4,5,6,256", "m=41,0,0,0,0,0,100",
                             "m=0,-1,0,0,0,0,100", "o=0,0,0,300,0,0,100", "o=0,0,0,0,0,-5,100"}) {
        TQuickBackSettings t = Settings(9, 9, 9, 9, 9, 9, 99);
        EXPECT_EQ(ReadPreset(line, t), TPresetRead::Error) << line;
        EXPECT_EQ(t, Settings(9, 9, 9, 9, 9, 9, 99)) << line;
    }
}

TEST(QuickBackPresets, FilesWithOddContentLoad)
{
    TempDir dir;
    const std::string path = dir.file("PainterQB.txt");
    // Blank lines, CR LF endings, lines without "=", non-numbers, huge numbers, invalid
    // UTF-8: every line that is not blank is kept, sorted by text, letter case ignored.
    WriteText(path, "zeta=1,2,3,4,5,6,7\r\n\r\n   \nAlpha=0,0,0,0,0,0,255\nno equals here\n"
                    "beta=a,b,c\nhuge=99999999999999999999,0,0,0,0,0,16\n\xff\xfe=1,1,1,1,1,1,16\nlast=1");
    TPainterQB qb(path);
    qb.LoadPresets();
    const std::vector<std::string> want{"Alpha=0,0,0,0,0,0,255", "beta=a,b,c", "huge=99999999999999999999,0,0,0,0,0,16",
                                        "last=1", "no equals here", "zeta=1,2,3,4,5,6,7", "\xff\xfe=1,1,1,1,1,1,16"};
    EXPECT_EQ(qb.Presets(), want);

    // Every one of them can be clicked without harm.
    ScriptedUi ui;
    for (int i = 0; i < static_cast<int>(qb.Presets().size()); ++i)
        qb.ApplyPreset(i);
    EXPECT_EQ(ui.Messages(), (std::vector<std::string>(4, "Error in Presets")));
    EXPECT_EQ(qb.Settings(), Settings(1, 1, 1, 1, 1, 1, 16));

    // Ten thousand presets.
    std::string many;
    for (int i = 0; i < 10000; ++i)
        many += "p" + std::to_string(i) + "=" + std::to_string(i % 41) + ",0,0,0,0,0,16\n";
    WriteText(path, many);
    qb.LoadPresets();
    EXPECT_EQ(qb.Presets().size(), 10000u);
    const int k = qb.FindPreset("P9999");
    ASSERT_GE(k, 0);
    EXPECT_EQ(qb.Presets()[static_cast<std::size_t>(k)], "p9999=36,0,0,0,0,0,16");

    // A folder, or a file far too large, is refused with a message; the list is empty.
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    EXPECT_THROW(qb.LoadPresets(), Exception);
    EXPECT_TRUE(qb.Presets().empty());
}

TEST(QuickBackPresets, MissingAndOversizedFiles)
{
    TempDir dir;
    TPainterQB qb(dir.file("PainterQB.txt"));
    qb.LoadPresets();
    EXPECT_TRUE(qb.Presets().empty());
    {
        std::ofstream(dir.file("PainterQB.txt")) << "a=1,1,1,1,1,1,16\n";
    }
    std::filesystem::resize_file(dir.file("PainterQB.txt"), kMaxPresetsFileBytes + 1);
    try {
        qb.LoadPresets();
        ADD_FAILURE() << "an oversized presets file was read";
    } catch (const Exception& e) {
        EXPECT_NE(std::string(e.what()).find("larger than"), std::string::npos) << e.what();
    }
}

TEST(QuickBackPresets, AddUpdateDeleteWriteTheFile)
{
    TempDir dir;
    const std::string path = dir.file("PainterQB.txt");
    ScriptedUi ui;
    ui.OnUnanswered = [](const std::string& q) { ADD_FAILURE() << "unanswered: " << q; };
    TPainterQB qb(path);
    qb.LoadPresets();

    // "Update Backdrop" without a selected preset.
    EXPECT_EQ(qb.UpdateBackdrop(-1), -1);
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{"No item selected!"});
    EXPECT_FALSE(std::filesystem::exists(path));

    // Add: the name is asked; an empty answer or Cancel adds nothing.
    ui.AnswerInput("");
    EXPECT_EQ(qb.AddBackdrop(), -1);
    ui.AnswerInputCancel();
    EXPECT_EQ(qb.AddBackdrop(), -1);
    EXPECT_FALSE(std::filesystem::exists(path));
    qb.SetSettings(Settings(1, 2, 3, 4, 5, 6, 200));
    ui.AnswerInput("stripes");
    EXPECT_EQ(qb.AddBackdrop(), 0);
    const TUiCall ask = ui.CallsOf(TUiCallKind::InputQuery).back();
    EXPECT_EQ(ask.Caption, "Painter Quick Backdrops");
    EXPECT_EQ(ask.Prompt, "Enter Name:");
    EXPECT_EQ(ask.Proposed, "");
    EXPECT_EQ(ReadText(path), "stripes=1,2,3,4,5,6,200\n");
    qb.SetSettings(Settings(0, 0, 0, 0, 0, 0, 16));
    ui.AnswerInput("Arcs");
    EXPECT_EQ(qb.AddBackdrop(), 0); // sorted in front
    EXPECT_EQ(ReadText(path), "Arcs=0,0,0,0,0,0,16\nstripes=1,2,3,4,5,6,200\n");
    // A name with "=" would not read back as the same preset.
    ui.AnswerInput("a=b");
    EXPECT_EQ(qb.AddBackdrop(), -1);
    EXPECT_EQ(qb.Presets().size(), 2u);

    // Update proposes the current name and stores the current settings under the answer.
    qb.SetSettings(Settings(40, 39, 38, 1, 2, 3, 99));
    ui.AnswerInput("zigzag");
    EXPECT_EQ(qb.UpdateBackdrop(0), 1);
    EXPECT_EQ(ui.CallsOf(TUiCallKind::InputQuery).back().Proposed, "Arcs");
    EXPECT_EQ(ReadText(path), "stripes=1,2,3,4,5,6,200\nzigzag=40,39,38,1,2,3,99\n");

    // A click on a preset applies it; the list reads back the same after a restart.
    ASSERT_TRUE(qb.ApplyPreset(0));
    EXPECT_EQ(qb.Settings(), Settings(1, 2, 3, 4, 5, 6, 200));
    TPainterQB again(path);
    again.LoadPresets();
    EXPECT_EQ(again.Presets(), qb.Presets());

    qb.DeleteBackdrop(-1);
    qb.DeleteBackdrop(0);
    EXPECT_EQ(ReadText(path), "zigzag=40,39,38,1,2,3,99\n");
    EXPECT_EQ(ui.PendingAnswers(), 0);
}

TEST(QuickBackPresets, AFailedWriteLeavesTheOldFileAndTheList)
{
    TempDir dir;
    std::filesystem::permissions(dir.path(), std::filesystem::perms::all);
    const std::string path = dir.file("PainterQB.txt");
    const std::string old = "kept=1,2,3,4,5,6,100\n";
    WriteText(path, old);
    std::filesystem::permissions(path, std::filesystem::perms::all);
    // The folder takes no new files, so the temporary file of the write cannot be made.
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all | std::filesystem::perms::group_read
                                                 | std::filesystem::perms::group_exec | std::filesystem::perms::others_read
                                                 | std::filesystem::perms::others_exec);
    const std::string failure = RunUnprivileged([&]() -> std::string {
        ScriptedUi ui;
        TPainterQB qb(path);
        qb.LoadPresets();
        ui.AnswerInput("new");
        try {
            qb.AddBackdrop();
            return "the write succeeded";
        } catch (const Exception& e) {
            if (e.Message() != "Unable to write to " + path + ": Permission denied")
                return "wrong message: " + e.Message();
        }
        if (qb.Presets() != std::vector<std::string>{"kept=1,2,3,4,5,6,100"})
            return "the list changed although the file was not written";
        try {
            qb.DeleteBackdrop(0);
            return "the delete was written";
        } catch (const Exception&) {
        }
        return qb.Presets().size() == 1 ? "" : "the delete changed the list";
    });
    std::filesystem::permissions(dir.path(), std::filesystem::perms::all);
    EXPECT_EQ(failure, "");
    EXPECT_EQ(ReadText(path), old);
}

TEST(QuickBackWindowModel, ChannelsBarsAndPresetsGenerate)
{
    TempDir dir;
    ScriptedUi ui;
    TPainterQB qb(dir.file("PainterQB.txt"));
    // Nothing generated yet: the first source gets a backdrop at once.
    EXPECT_TRUE(qb.Image().Empty());
    qb.SetSource(TBitmap(6, 7));
    ASSERT_EQ(qb.Image().Width(), 6);
    EXPECT_EQ(qb.Image().Height(), 7);
    EXPECT_EQ(qb.ChannelCaption(TPainterQB::Red), "Prod");

    // A click in the function list sets the checked channel only.
    qb.CheckChannel(TPainterQB::Green);
    qb.SetMode(FindQuickBackFunction("Outer"));
    EXPECT_EQ(qb.ChannelMode(TPainterQB::Red), 0);
    EXPECT_EQ(qb.ChannelCaption(TPainterQB::Green), "Outer");
    EXPECT_EQ(qb.Image().ScanLine(2)[3 * 4 + 1], 4);
    qb.SetOffset(TPainterQB::Green, 300); // held at 255
    EXPECT_EQ(qb.Settings().GreenOffset, 255);
    EXPECT_EQ(qb.Image().ScanLine(0)[3 * 1 + 1], 0); // 1 + 255
    qb.SetFactor(3);
    EXPECT_EQ(qb.Settings().Factor, 16);

    // A preset with six numbers: "Error in Presets"; the settings read stay in force
    // and the picture shows them.
    {
        std::ofstream(qb.PresetsFile()) << "six=18,18,18,1,2,3\n";
    }
    qb.LoadPresets();
    qb.ApplyPreset(0);
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{"Error in Presets"});
    EXPECT_EQ(qb.Settings(), Settings(18, 18, 18, 1, 2, 3, 16));
    EXPECT_EQ(qb.Image().ScanLine(0)[3 * 5], 6); // x 5 + red offset 1

    // "Use" takes the source's size, even when the last picture was of another frame.
    qb.SetSource(TBitmap(3, 2));
    EXPECT_EQ(qb.Image().Width(), 6);
    qb.Use();
    EXPECT_EQ(qb.Image().Width(), 3);
    EXPECT_EQ(qb.Image().Height(), 2);
}
