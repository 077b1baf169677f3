// The desktop entry an installation puts in share/applications: valid, named as the
// program, offered for GIF files ("Open with Anivor 13") and the pictures it imports, and
// handing every chosen file to `anivor FILE...`.
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace {

const std::filesystem::path kDesktop = std::filesystem::path(ANIVOR_SHIPPED_HELP).parent_path() / "desktop";

std::map<std::string, std::string> EntryKeys()
{
    std::ifstream in(kDesktop / "org.anivor.Anivor13.desktop");
    std::map<std::string, std::string> keys;
    std::string line;
    while (std::getline(in, line))
        if (const auto eq = line.find('='); eq != std::string::npos)
            keys[line.substr(0, eq)] = line.substr(eq + 1);
    return keys;
}

} // namespace

TEST(DesktopEntry, OpensGIFsAndPicturesWithAnivorAndIsValid)
{
    const auto keys = EntryKeys();
    ASSERT_FALSE(keys.empty());
    EXPECT_EQ(keys.at("Name"), "Anivor 13");
    EXPECT_EQ(keys.at("Exec"), "anivor %F");
    EXPECT_EQ(keys.at("Icon"), "anivor");
    const std::string mime = keys.at("MimeType");
    for (const char* type : {"image/gif;", "image/png;", "image/jpeg;", "image/bmp;"})
        EXPECT_NE(mime.find(type), std::string::npos) << type;
    // The icon in every size the install rules name, and the scalable one.
    for (int size : {16, 32, 48, 64, 128, 256})
        EXPECT_TRUE(std::filesystem::is_regular_file(kDesktop / ("anivor-" + std::to_string(size) + ".png"))) << size;
    EXPECT_TRUE(std::filesystem::is_regular_file(kDesktop / "anivor.svg"));
    if (std::system("command -v desktop-file-validate >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "desktop-file-validate is not installed";
    const std::string command = "desktop-file-validate " + (kDesktop / "org.anivor.Anivor13.desktop").string();
    EXPECT_EQ(std::system(command.c_str()), 0);
}
