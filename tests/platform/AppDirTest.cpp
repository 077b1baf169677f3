#include "platform/AppDir.h"

#include "platform/Unprivileged.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

TEST(AppDir, HomeVariableWinsAndIsCreated)
{
    TempDir dir;
    const std::string home = dir.file("nested/home");
    const char* saved = std::getenv("ANIVOR_HOME");
    const std::string savedValue = saved ? saved : "";
    setenv("ANIVOR_HOME", home.c_str(), 1);
    EXPECT_EQ(AppDir(), home + "/");
    EXPECT_TRUE(fs::is_directory(home));
    EXPECT_EQ(SettingsFileName(), home + "/anivor.ini");
    if (saved)
        setenv("ANIVOR_HOME", savedValue.c_str(), 1);
    else
        unsetenv("ANIVOR_HOME");

    // Without it, a writable executable folder is used as it is.
    EXPECT_EQ(ResolveAppDir("", dir.path().string(), "/nonexistent"), dir.path().string() + "/");
    EXPECT_EQ(ResolveAppDir(nullptr, dir.path().string() + "/", "/nonexistent"), dir.path().string() + "/");
    EXPECT_TRUE(ExecutableDir().ends_with("/"));
    EXPECT_TRUE(fs::exists(ExecutableDir() + "test_platform"));
}

TEST(AppDir, UnwritableExecutableFolderFallsBackToTheUserDataFolder)
{
    TempDir dir;
    const fs::path exeDir = dir.path() / "bin";
    const fs::path userHome = dir.path() / "user";
    fs::create_directories(exeDir);
    fs::create_directories(userHome);
    fs::permissions(dir.path(), fs::perms::all);
    fs::permissions(userHome, fs::perms::all);
    fs::permissions(exeDir, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read | fs::perms::others_exec);

    const std::string expected = (userHome / ".local/share/anivor").string() + "/";
    const std::string failure = RunUnprivileged([&]() -> std::string {
        const std::string got = ResolveAppDir(nullptr, exeDir.string(), userHome.string());
        if (got != expected)
            return "got " + got;
        return fs::is_directory(expected) ? "" : "folder not created";
    });
    EXPECT_EQ(failure, "");
}

// An installed program (bin/ beside share/anivor/) keeps the user's files in the user's
// folder even where it could write beside itself, as root can.
TEST(AppDir, AnInstalledProgramUsesTheUserDataFolder)
{
    TempDir dir;
    const fs::path exeDir = dir.path() / "usr" / "bin";
    fs::create_directories(exeDir);
    EXPECT_FALSE(InstalledLayout(exeDir.string()));
    fs::create_directories(dir.path() / "usr" / "share" / "anivor");
    EXPECT_TRUE(InstalledLayout(exeDir.string() + "/"));
    EXPECT_EQ(SharedDataDir(exeDir.string()), (dir.path() / "usr/share/anivor").string() + "/");
    const fs::path userHome = dir.path() / "home";
    EXPECT_EQ(ResolveAppDir(nullptr, exeDir.string(), userHome.string()), (userHome / ".local/share/anivor").string() + "/");
    EXPECT_TRUE(fs::is_directory(userHome / ".local/share/anivor"));
    EXPECT_EQ(ResolveAppDir("", exeDir.string(), userHome.string()), (userHome / ".local/share/anivor").string() + "/");
}

TEST(AppDir, AUserFolderStartsWithTheShippedSamplesOnce)
{
    TempDir dir;
    const std::string app = dir.file("home") + "/", shared = dir.file("share") + "/";
    std::filesystem::create_directories(shared + "scripts");
    std::ofstream(shared + "scripts/star.js") << "gfx.Line(0, 0, 9, 9);";
    std::filesystem::create_directories(app);
    const std::string folder = UserFolder(app, shared, "scripts");
    EXPECT_EQ(folder, app + "scripts");
    EXPECT_TRUE(std::filesystem::is_regular_file(folder + "/star.js"));
    // What the user then deletes or changes stays so.
    std::filesystem::remove(folder + "/star.js");
    UserFolder(app, shared, "scripts");
    EXPECT_FALSE(std::filesystem::exists(folder + "/star.js"));
    // Nothing shipped: no folder is made.
    EXPECT_EQ(UserFolder(app, shared, "actors"), app + "actors");
    EXPECT_FALSE(std::filesystem::exists(app + "actors"));
}
