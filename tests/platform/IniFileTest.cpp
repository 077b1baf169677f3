#include "platform/IniFile.h"

#include "support/TestSupport.h"
#include "platform/Unprivileged.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::string readText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void writeText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

} // namespace

TEST(IniFile, ReadsValuesByTheLookupRules)
{
    TempDir dir;
    const std::string path = dir.file("a.ini");
    writeText(path,
        "[Window]\r\n"
        "Left = 100\r\n"
        "Top=\r\n"
        "Width=0x1F\r\n"
        "Height=0x\r\n"
        "State=12abc\r\n"
        "Top=55\r\n"
        "no equals sign\r\n"
        "Hex=0XfF\r\n"
        "Neg=-42\r\n"
        "Big=99999999999\r\n"
        "  [Other]  \r\n"
        "Left=7\r\n"
        "[window]\r\n"
        "Extra=1\r\n");
    TIniFile32 ini(path);

    EXPECT_EQ(ini.ReadInteger("Window", "Left", 0), 100);    // blanks around key and value
    EXPECT_EQ(ini.ReadString("Window", "Left", "d"), "100");
    EXPECT_EQ(ini.ReadInteger("Window", "Width", -1), 31);   // 0x1F
    EXPECT_EQ(ini.ReadInteger("Window", "Height", -1), -1);  // "0x" alone
    EXPECT_EQ(ini.ReadInteger("Window", "State", -1), -1);   // 12abc
    EXPECT_EQ(ini.ReadInteger("Window", "Hex", -1), 255);
    EXPECT_EQ(ini.ReadInteger("Window", "Neg", 0), -42);
    EXPECT_EQ(ini.ReadInteger("Window", "Big", 3), 3);       // beyond int
    // The first matching line wins even when its value is empty: the default.
    EXPECT_EQ(ini.ReadString("Window", "Top", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadInteger("Window", "Top", 9), 9);
    // Keys match with their letter case, sections without it.
    EXPECT_EQ(ini.ReadInteger("Window", "left", -5), -5);
    EXPECT_EQ(ini.ReadInteger("WINDOW", "Left", -5), 100);
    // A section line with blanks around it ends the section but is not found itself.
    EXPECT_EQ(ini.ReadInteger("Other", "Left", -5), -5);
    // Only the first "[window]" section is searched.
    EXPECT_EQ(ini.ReadInteger("Window", "Extra", -5), -5);
    EXPECT_EQ(ini.ReadString("Missing", "Left", "x"), "x");
    EXPECT_TRUE(ini.ReadBool("Window", "Neg", false));
    EXPECT_FALSE(ini.ReadBool("Window", "Nothing", false));
    EXPECT_TRUE(ini.ReadBool("Window", "Nothing", true));
    // CR of CRLF line ends is not part of the values.
    EXPECT_EQ(ini.Lines()[1], "Left = 100");
}

TEST(IniFile, WritesIntoSectionsAndRewritesTheWholeFile)
{
    TempDir dir;
    const std::string path = dir.file("w.ini");
    writeText(path, "; comment\n[Window]\nLeft=1\nTop=2\n\n[Frames]\nCount=10\n");
    {
        TIniFile32 ini(path);
        ini.WriteInteger("Window", "Top", 20);       // replaced in place
        ini.WriteInteger("window", "Width", 300);    // inserted before the next section
        ini.WriteBool("Frames", "Flag", true);       // appended at the end of the last section
        ini.WriteString("Directories", "Open", "/home/me/gifs"); // new section after an empty line
        ini.WriteString("Empty", "", "ignored");     // a section with no key line
    }
    EXPECT_EQ(readText(path),
        "; comment\n[Window]\nLeft=1\nTop=20\n\nWidth=300\n[Frames]\nCount=10\nFlag=1\n"
        "\n[Directories]\nOpen=/home/me/gifs\n\n[Empty]\n");

    // A fresh object reads back what was written; a value with a line break stays one line.
    TIniFile32 again(path);
    EXPECT_EQ(again.ReadInteger("Window", "Width", 0), 300);
    EXPECT_EQ(again.ReadString("Directories", "Open", ""), "/home/me/gifs");
    again.WriteString("Directories", "Save", "a\nb=[x]");
    TIniFile32 third(path);
    EXPECT_EQ(third.ReadString("Directories", "Save", ""), "a b=[x]");
    EXPECT_EQ(third.ReadString("Empty", "", "none"), "none");
}

TEST(IniFile, NewFileGetsLfAndCrlfFileKeepsCrlf)
{
    TempDir dir;
    const std::string fresh = dir.file("new.ini");
    TIniFile32(fresh).WriteInteger("Frames", "Delay", 10);
    EXPECT_EQ(readText(fresh), "\n[Frames]\nDelay=10\n");

    const std::string dos = dir.file("dos.ini");
    writeText(dos, "[A]\r\nx=1\r\n");
    TIniFile32(dos).WriteInteger("A", "y", 2);
    EXPECT_EQ(readText(dos), "[A]\r\nx=1\r\ny=2\r\n");

    // Stray carriage returns at a line's end (found by the fuzzer): what is read is what
    // a write gives back, in either kind of file.
    for (const std::string& text : {std::string("[A]\nx=1\r\r\ny=2\r\n"), std::string("[A]\r\r\nx=1\r\r\r\n")}) {
        const TIniFile32 parsed = TIniFile32::FromText(dir.file("cr.ini"), text);
        TIniFile32 written = parsed;
        written.WriteInteger("B", "z", 3);
        EXPECT_EQ(TIniFile32(dir.file("cr.ini")).Lines(), written.Lines());
        EXPECT_EQ(parsed.ReadInteger("A", "x", 0), 1);
    }
}

TEST(IniFile, FailedWriteRaisesAndLeavesFileAndLinesAsTheyWere)
{
    TempDir dir;
    // A read-only file: not replaced, even though its folder is writable.
    const std::string ro = dir.file("ro.ini");
    writeText(ro, "[A]\nx=1\n");
    std::filesystem::permissions(ro, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    TIniFile32 ini(ro);
    try {
        ini.WriteInteger("A", "x", 2);
        FAIL() << "no error";
    } catch (const EIniWriteError& e) {
        EXPECT_EQ(e.Message(), "Unable to write to " + ro + ": the file is read-only");
    }
    EXPECT_EQ(readText(ro), "[A]\nx=1\n");
    EXPECT_EQ(ini.ReadInteger("A", "x", 0), 1); // the failed change is not kept in memory
    EXPECT_EQ(ini.Lines().size(), 2u);

    // A folder that does not exist.
    const std::string nowhere = dir.file("missing/settings.ini");
    TIniFile32 lost(nowhere);
    EXPECT_EQ(lost.ReadString("A", "x", "d"), "d");
    EXPECT_THROW(lost.WriteString("A", "x", "1"), EIniWriteError);
    EXPECT_TRUE(lost.Lines().empty());

    // A name that is a folder reads as empty and cannot be written.
    std::filesystem::create_directory(dir.file("isdir.ini"));
    TIniFile32 folder(dir.file("isdir.ini"));
    EXPECT_TRUE(folder.Lines().empty());
    EXPECT_THROW(folder.WriteBool("A", "b", true), EIniWriteError);
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("isdir.ini")));
}

TEST(IniFile, UnreadableFileReadsEmptyAndIsNeverOverwritten)
{
    TempDir dir;
    std::filesystem::permissions(dir.path(), std::filesystem::perms::all);
    const std::string path = dir.file("secret.ini");
    writeText(path, "[Window]\nLeft=5\n");
    std::filesystem::permissions(path, std::filesystem::perms::owner_write | std::filesystem::perms::group_write
            | std::filesystem::perms::others_write);

    const std::string failure = RunUnprivileged([&]() -> std::string {
        TIniFile32 ini(path);
        if (!ini.Lines().empty() || ini.ReadInteger("Window", "Left", 77) != 77)
            return "unreadable file did not read as empty";
        try {
            ini.WriteInteger("Window", "Top", 1);
        } catch (const EIniWriteError& e) {
            return e.Message() == "Unable to write to " + path + ": the file could not be read, so it is left as it is"
                       ? ""
                       : "wrong message: " + e.Message();
        }
        return "write over an unreadable file succeeded";
    });
    EXPECT_EQ(failure, "");
    std::filesystem::permissions(path, std::filesystem::perms::owner_read, std::filesystem::perm_options::add);
    EXPECT_EQ(readText(path), "[Window]\nLeft=5\n");
}
