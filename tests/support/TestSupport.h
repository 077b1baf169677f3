// Helpers shared by the test programs.
#pragma once

#include "graphics/Bitmap.h"

#include <exception>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// A fresh empty folder under the system's temporary folder, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return m_path; }
    std::string file(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

// A 24-bit bitmap filled with one colour.
TBitmap SolidBitmap(int width, int height, TColor color);
// A 24-bit bitmap from rows of characters, one colour per character (as `legend` maps
// them); handy for hand-drawn expectations.
TBitmap BitmapFromRows(const std::vector<std::string>& rows, const std::vector<std::pair<char, TColor>>& legend);
// The rows of a bitmap as characters (unknown colours become '?'), for readable failures.
std::vector<std::string> RowsFromBitmap(const TBitmap& bmp, const std::vector<std::pair<char, TColor>>& legend);

std::vector<unsigned char> ReadTestFile(const std::string& path);
void WriteTestFile(const std::string& path, const std::vector<unsigned char>& bytes);

// The message of the exception `f` throws ("" when it throws none), to check texts.
inline std::string ThrownMessage(const std::function<void()>& f)
{
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "";
}
