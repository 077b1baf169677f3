#include "MonkeyFiles.h"

#include "graphics/BmpFile.h"
#include "graphics/FileWrite.h"
#include "graphics/PngFile.h"
#include "workspace/Assembly.h"
#include "workspace/FrameStrip.h"
#include "workspace/ProjectFile.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// A picture with something on it: diagonal colour bands that shift with `phase`.
TBitmap Bands(int width, int height, int phase)
{
    TBitmap b(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int band = ((x + y + phase * 4) / 6) % 4;
            const TColor colors[] = {0x0000FF, 0x00C000, 0xFF0000, 0xFFFFFF};
            b.SetPixel(x, y, colors[band]);
        }
    return b;
}

void Write(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    WriteFileAtomic(path, bytes.data(), bytes.size());
}

} // namespace

TMonkeyFiles::TMonkeyFiles(const std::string& folder) : m_folder(folder + "/files"), m_out(folder + "/out")
{
    fs::create_directories(m_folder);
    fs::create_directories(m_out);
    const auto file = [&](const std::string& name) {
        m_prepared.push_back(m_folder + "/" + name);
        return m_prepared.back();
    };

    TFrameStrip strip;
    strip.SetFrameSize(40, 30);
    for (int i = 0; i < 3; ++i)
        strip.Append(Bands(40, 30, i));
    const TAssemblyResult gif = CreateAnimation(strip, false, TAssemblyOptions{}, TAssemblyView{});
    Write(file("anim.gif"), gif.Bytes);
    Write(file("cut.gif"), std::vector<std::uint8_t>(gif.Bytes.begin(), gif.Bytes.begin() + gif.Bytes.size() / 2));
    std::vector<std::uint8_t> noise{'G', 'I', 'F', '8', '9', 'a'};
    for (int i = 0; i < 300; ++i)
        noise.push_back(static_cast<std::uint8_t>((i * 7919) ^ (i >> 2)));
    Write(file("noise.gif"), noise);
    SavePngFile(Bands(50, 40, 1), file("picture.png"));
    SaveBmpFile(Bands(33, 21, 2), file("picture.bmp"));
    TProject project;
    project.Document = strip.Document();
    TProjectWriter().Save(file("strip.anivor"), project);
    Write(file("empty.png"), {});
    const std::string text = "not a picture\n";
    Write(file("text.gif"), std::vector<std::uint8_t>(text.begin(), text.end()));
    fs::create_directories(file("folder.gif"));
    file("missing.gif"); // never made
}

std::vector<std::string> TMonkeyFiles::Candidates() const
{
    // Sorted, so a replay picks the same file.
    std::vector<std::string> saved;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(m_out, ec))
        saved.push_back(entry.path().string());
    std::sort(saved.begin(), saved.end());
    std::vector<std::string> all = m_prepared;
    all.insert(all.end(), saved.begin(), saved.end());
    return all;
}
