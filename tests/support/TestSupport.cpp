#include "TestSupport.h"

#include <atomic>
#include <fstream>
#include <iterator>
#include <random>
#include <unistd.h>

TempDir::TempDir()
{
    static std::atomic<int> counter{0};
    m_path = std::filesystem::temp_directory_path()
        / ("anivor-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(m_path);
    std::filesystem::create_directories(m_path);
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(m_path, ec);
}

TBitmap SolidBitmap(int width, int height, TColor color)
{
    TBitmap b(width, height);
    b.Fill(color);
    return b;
}

TBitmap BitmapFromRows(const std::vector<std::string>& rows, const std::vector<std::pair<char, TColor>>& legend)
{
    const int h = static_cast<int>(rows.size());
    const int w = h ? static_cast<int>(rows[0].size()) : 0;
    TBitmap b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (const auto& [ch, c] : legend)
                if (rows[y][x] == ch)
                    b.SetPixel(x, y, c);
    return b;
}

std::vector<std::string> RowsFromBitmap(const TBitmap& bmp, const std::vector<std::pair<char, TColor>>& legend)
{
    std::vector<std::string> rows;
    for (int y = 0; y < bmp.Height(); ++y) {
        std::string row;
        for (int x = 0; x < bmp.Width(); ++x) {
            char out = '?';
            for (const auto& [ch, c] : legend)
                if (bmp.Pixel(x, y) == c) {
                    out = ch;
                    break;
                }
            row += out;
        }
        rows.push_back(row);
    }
    return rows;
}

std::vector<unsigned char> ReadTestFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

void WriteTestFile(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}
