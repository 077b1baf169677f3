#include "AnimationOpen.h"

#include "graphics/ByteOrder.h"
#include "graphics/Exception.h"
#include "graphics/FileWrite.h"
#include "graphics/MemoryBudget.h"
#include "graphics/NumberRules.h"
#include "platform/avi/VideoReader.h"

#include <sys/stat.h>

#include <algorithm>
#include <bitset>
#include <cctype>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

namespace {

constexpr const char* kVideoExtensions[] = {".avi", ".mp4", ".m4v", ".mov", ".mkv", ".webm"};

bool isVideoName(const std::string& path)
{
    const std::string ext = LowerExtension(path);
    return std::any_of(std::begin(kVideoExtensions), std::end(kVideoExtensions), [&](const char* e) { return ext == e; });
}

// Whether the PNG file holds an animation control chunk before its image data.
bool pngHasAnimation(std::ifstream& in)
{
    std::uint8_t head[8];
    std::uint64_t pos = 8;
    for (int chunks = 0; chunks < 1000; ++chunks) {
        in.seekg(static_cast<std::streamoff>(pos));
        if (!in.read(reinterpret_cast<char*>(head), 8))
            return false;
        if (std::memcmp(head + 4, "acTL", 4) == 0)
            return true;
        if (std::memcmp(head + 4, "IDAT", 4) == 0 || std::memcmp(head + 4, "IEND", 4) == 0)
            return false;
        pos += 12 + static_cast<std::uint64_t>(ReadBE32(head));
    }
    return false;
}

} // namespace

std::string LowerExtension(const std::string& path)
{
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

TAnimationFileKind AnimationFileKind(const std::string& path)
{
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return TAnimationFileKind::None;
    std::ifstream in(path, std::ios::binary);
    std::uint8_t head[12] = {};
    if (in.read(reinterpret_cast<char*>(head), sizeof head)) {
        static const std::uint8_t png[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        if (std::memcmp(head, png, 8) == 0)
            return pngHasAnimation(in) ? TAnimationFileKind::Apng : TAnimationFileKind::None;
        if (std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WEBP", 4) == 0)
            return TAnimationFileKind::WebP;
    }
    return isVideoName(path) ? TAnimationFileKind::Video : TAnimationFileKind::None;
}

bool IsAnimationFileName(const std::string& path)
{
    const std::string ext = LowerExtension(path);
    return ext == ".apng" || ext == ".png" || ext == ".webp" || isVideoName(path);
}

std::vector<std::string> AnimationFileFilters()
{
    return {"Animations|*.gif;*.apng;*.png;*.webp;*.avi;*.mp4;*.m4v;*.mov;*.mkv;*.webm",
            "GIF Files|*.gif",
            "Animated PNG|*.apng;*.png",
            "Animated WebP|*.webp",
            "Videos|*.avi;*.mp4;*.m4v;*.mov;*.mkv;*.webm"};
}

TOpenedAnimation ReadAnimationFile(const std::string& path, const TOpenedFrameFn& take)
{
    switch (AnimationFileKind(path)) {
    case TAnimationFileKind::Apng:
        return ReadApng(ReadFileBytes(path), path, take);
    case TAnimationFileKind::WebP:
        return ReadAnimatedWebP(ReadFileBytes(path), path, take);
    case TAnimationFileKind::Video:
        return ReadVideoFrames(path, take);
    case TAnimationFileKind::None:
        break;
    }
    // Let a missing or unreadable file say so.
    ReadFileBytes(path);
    throw EInvalidGraphic(path + ": not an animation Anivor opens (GIF, APNG, WebP, AVI, MP4, MOV, MKV, WebM)");
}

TOpenedAnimation ReadVideoFrames(const std::string& path, const TOpenedFrameFn& take)
{
    try {
        TVideoReader reader(path);
        const TVideoStreamInfo& info = reader.Info();
        TOpenedAnimation result;
        result.Width = info.Width;
        result.Height = info.Height;
        CheckBitmapSize(info.Width, info.Height, "Video frame");
        const std::uint32_t frames = std::max<std::uint32_t>(info.FramesInFile, 1);
        MemoryBudget::Check(MemoryBudget::PictureBytes(info.Width, info.Height, static_cast<std::int64_t>(frames) + 2),
                            "opening " + std::to_string(frames) + " frames of " + std::to_string(info.Width) + " x "
                                + std::to_string(info.Height) + " from " + path);
        // A frame lasts Scale / Rate seconds; a stream without a rate plays at 10 a second.
        const bool timed = info.Timing.Rate > 0 && info.Timing.Scale > 0;
        TDelayClock clock(timed ? info.Timing.Rate : 10.0);
        for (;;) {
            TBitmap frame;
            if (!reader.NextFrame(frame))
                break;
            ++result.Frames;
            take(std::move(frame), std::max(clock.Next(timed ? info.Timing.Scale : 1.0), 0), false);
        }
        if (result.Frames == 0)
            throw EInvalidGraphic(path + ": the video has no frames");
        return result;
    } catch (const EVideoError& e) {
        const std::string why = e.what();
        throw EInvalidGraphic(why.find(path) != std::string::npos ? why : path + ": " + why);
    }
}

int TDelayClock::Next(double units)
{
    m_end += units * m_scale;
    const auto end = static_cast<std::int64_t>(std::llround(m_end));
    const std::int64_t delay = end - m_shown;
    m_shown = end;
    return static_cast<int>(std::clamp<std::int64_t>(delay, 0, 65535));
}

TBitmap FrameFromRgba(const std::uint8_t* rgba, int width, int height, bool& transparent)
{
    TBitmap out(width, height);
    const std::size_t pixels = static_cast<std::size_t>(width) * height;
    // The colour the file gives the first hole, when no drawn pixel has it.
    const std::uint8_t* firstHole = nullptr;
    for (std::size_t i = 0; i < pixels && !firstHole; ++i)
        if (rgba[i * 4 + 3] < 128)
            firstHole = rgba + i * 4;
    const bool bottomLeftHole = rgba[static_cast<std::size_t>(height - 1) * width * 4 + 3] < 128;
    transparent = bottomLeftHole;
    std::uint8_t hole[3] = {255, 255, 255}; // blue, green, red
    auto drawn = [&](const std::uint8_t* p, std::uint8_t* q) {
        const int a = p[3];
        if (a == 255) {
            q[0] = p[2];
            q[1] = p[1];
            q[2] = p[0];
        } else {
            for (int c = 0; c < 3; ++c)
                q[2 - c] = static_cast<std::uint8_t>((p[c] * a + 255 * (255 - a) + 127) / 255);
        }
    };
    if (firstHole && bottomLeftHole) {
        // Colours of the drawn pixels, to find one they do not have.
        auto used = std::make_unique<std::bitset<1 << 24>>();
        std::uint8_t q[3];
        for (std::size_t i = 0; i < pixels; ++i)
            if (rgba[i * 4 + 3] >= 128) {
                drawn(rgba + i * 4, q);
                used->set(static_cast<std::size_t>(q[0]) | (static_cast<std::size_t>(q[1]) << 8) | (static_cast<std::size_t>(q[2]) << 16));
            }
        std::size_t key = static_cast<std::size_t>(firstHole[2]) | (static_cast<std::size_t>(firstHole[1]) << 8)
                          | (static_cast<std::size_t>(firstHole[0]) << 16);
        if (used->test(key)) {
            key = 0;
            while (key < used->size() && used->test(key))
                ++key;
            key &= 0xFFFFFF; // every colour drawn (2^24 pixels and more): black
        }
        hole[0] = static_cast<std::uint8_t>(key);
        hole[1] = static_cast<std::uint8_t>(key >> 8);
        hole[2] = static_cast<std::uint8_t>(key >> 16);
    }
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* p = rgba + static_cast<std::size_t>(y) * width * 4;
        std::uint8_t* q = out.ScanLine(y);
        for (int x = 0; x < width; ++x, p += 4, q += 3) {
            if (p[3] < 128)
                std::memcpy(q, hole, 3);
            else
                drawn(p, q);
        }
    }
    out.SetTransparent(transparent);
    return out;
}
