#include "workspace/Settings.h"

#include "graphics/Exception.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

TSettings Designed()
{
    TSettings d;
    d.Left = 100;
    d.Top = 50;
    d.Width = 541;
    d.Height = 430;
    d.FramesDir = d.OpenDir = d.SaveDir = "/app/";
    return d;
}

void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream(path) << text;
}

std::string ReadText(const std::string& path)
{
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TEST(Settings, DefaultsAndClamps)
{
    TempDir dir;
    TSettingsProblem problem;
    TSettings s = LoadSettings(dir.file("anivor.ini"), Designed(), &problem);
    EXPECT_TRUE(problem.Empty());
    EXPECT_FALSE(s.Maximized);
    EXPECT_EQ(s.Left, 100);
    EXPECT_EQ(s.Width, 541);
    EXPECT_EQ(s.OpenDir, "/app/");
    EXPECT_EQ(s.WizardFrameCount, 10);
    EXPECT_EQ(s.NewFrameWidth, 120);
    EXPECT_EQ(s.NewFrameHeight, 60);
    EXPECT_EQ(s.DefaultDelay, 10);

    WriteText(dir.file("a.ini"), "[Frames]\nCount=99\nDelay=3\nWidth=abc\n");
    s = LoadSettings(dir.file("a.ini"), Designed());
    EXPECT_EQ(s.WizardFrameCount, 50);
    EXPECT_EQ(s.DefaultDelay, 10);
    EXPECT_EQ(s.NewFrameWidth, 120); // not a number: the default
    WriteText(dir.file("b.ini"), "[Frames]\nCount=2\nDelay=500\n[Window]\nLeft=7\n[Directories]\nSave=/s/\n");
    s = LoadSettings(dir.file("b.ini"), Designed());
    EXPECT_EQ(s.WizardFrameCount, 4);
    EXPECT_EQ(s.DefaultDelay, 255);
    EXPECT_EQ(s.Left, 7);
    EXPECT_EQ(s.Top, 50);
    EXPECT_EQ(s.SaveDir, "/s/");
    EXPECT_EQ(s.FramesDir, "/app/");
    EXPECT_EQ(s.MemoryLimit, MemoryBudget::kDefaultLimit);

    // The memory limit: any size, at least 1M; anything else is the default.
    for (const auto& [text, bytes] : std::vector<std::pair<std::string, std::uint64_t>>{
             {"512M", 512u << 20}, {"3 GB", std::uint64_t(3) << 30}, {"100", 1u << 20}, {"lots", MemoryBudget::kDefaultLimit}}) {
        WriteText(dir.file("m.ini"), "[Memory]\nLimit=" + text + "\n");
        EXPECT_EQ(LoadSettings(dir.file("m.ini"), Designed()).MemoryLimit, bytes) << text;
    }
}

TEST(Settings, RoundTripAndMaximisedCloseKeepsPlacement)
{
    TempDir dir;
    const std::string file = dir.file("anivor.ini");
    TSettings s = Designed();
    s.Left = 11;
    s.Top = 22;
    s.Width = 600;
    s.Height = 500;
    s.NewFrameWidth = 200;
    s.NewFrameHeight = 150;
    s.WizardFrameCount = 20;
    s.DefaultDelay = 25;
    s.OpenDir = "/gifs/";
    s.MemoryLimit = std::uint64_t(3) << 29;
    SaveSettings(file, s);
    EXPECT_NE(ReadText(file).find("[Memory]\nLimit=1536M\n"), std::string::npos);
    TSettings back = LoadSettings(file, Designed());
    EXPECT_EQ(back.Left, 11);
    EXPECT_EQ(back.Height, 500);
    EXPECT_EQ(back.NewFrameWidth, 200);
    EXPECT_EQ(back.NewFrameHeight, 150);
    EXPECT_EQ(back.WizardFrameCount, 20);
    EXPECT_EQ(back.DefaultDelay, 25);
    EXPECT_EQ(back.OpenDir, "/gifs/");
    EXPECT_EQ(back.MemoryLimit, std::uint64_t(3) << 29);

    // Closed maximised: State=1, the stored placement stays; the next start is maximised
    // and does not read the placement.
    TSettings max = back;
    max.Maximized = true;
    max.Left = max.Top = 0;
    max.Width = 1280;
    max.Height = 1024;
    SaveSettings(file, max);
    const std::string text = ReadText(file);
    EXPECT_NE(text.find("State=1"), std::string::npos);
    EXPECT_NE(text.find("Left=11"), std::string::npos);
    EXPECT_NE(text.find("Width=600"), std::string::npos);
    back = LoadSettings(file, Designed());
    EXPECT_TRUE(back.Maximized);
    EXPECT_EQ(back.Left, 100);
}

TEST(Settings, UnreadableOrReadOnlyFileStillStarts)
{
    TempDir dir;
    // Something that is not a file where the settings file should be.
    const std::string folder = dir.file("anivor.ini");
    std::filesystem::create_directory(folder);
    TSettingsProblem problem;
    TSettings s = LoadSettings(folder, Designed(), &problem);
    EXPECT_EQ(problem.Message, "Unable to read the settings file " + folder + "; the default settings are used.");
    EXPECT_EQ(s.WizardFrameCount, 10);
    try {
        SaveSettings(folder, s);
        ADD_FAILURE() << "saving over a folder succeeded";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Unable to write to " + folder + ": Is a directory");
    }

    // Read-only: read as usual, never replaced.
    const std::string file = dir.file("ro.ini");
    WriteText(file, "[Frames]\nCount=20\n");
    std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    problem = {};
    s = LoadSettings(file, Designed(), &problem);
    EXPECT_EQ(s.WizardFrameCount, 20);
    EXPECT_EQ(problem.Message, "The settings file " + file + " is read-only; changes to the settings will not be saved.");
    s.WizardFrameCount = 30;
    EXPECT_THROW(SaveSettings(file, s), Exception);
    EXPECT_EQ(ReadText(file), "[Frames]\nCount=20\n");
    std::filesystem::permissions(file, std::filesystem::perms::owner_all);
}

// Values that cannot be read are named at start, their defaults used, and the file keeps
// them as written; a setting changed meanwhile is written.
TEST(Settings, UnreadableValuesAreNamedAndKeptAsWritten)
{
    TempDir dir;
    const std::string file = dir.file("anivor.ini");
    WriteText(file, "[Frames]\nCount=many\nWidth=200\nDelay=0x\n[Memory]\nLimit=lots\n[Autosave]\nSeconds=often\n");
    TSettingsProblem problem;
    TSettings s = LoadSettings(file, Designed(), &problem);
    EXPECT_EQ(problem.Message, "These values in the settings file " + file
                                   + " cannot be read; their defaults are used and the file keeps them as they are:\n"
                                     "[Frames] Count=many\n[Frames] Delay=0x\n[Memory] Limit=lots\n[Autosave] Seconds=often");
    EXPECT_EQ(s.WizardFrameCount, 10);
    EXPECT_EQ(s.NewFrameWidth, 200);
    EXPECT_EQ(s.MemoryLimit, MemoryBudget::kDefaultLimit);
    s.AutosaveSeconds = 120; // changed in the program: written
    SaveSettings(file, s);
    const std::string text = ReadText(file);
    for (const char* kept : {"Count=many", "Delay=0x", "Limit=lots", "Width=200", "Seconds=120"})
        EXPECT_NE(text.find(kept), std::string::npos) << kept << "\n" << text;
    EXPECT_EQ(text.find("often"), std::string::npos);
}
