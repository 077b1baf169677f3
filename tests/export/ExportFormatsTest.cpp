// Export to every format, checked by the peers that read them (ffprobe and ffmpeg, libwebp's
// webpmux and dwebp, libpng), and opened again by our readers.
#include "export/AnimationOpen.h"
#include "export/ExportAnimation.h"
#include "export/PngFrames.h"
#include "graphics/ByteOrder.h"
#include "graphics/FileWrite.h"
#include "graphics/MemoryBudget.h"
#include "graphics/PngFile.h"
#include "support/FFmpegTool.h"
#include "support/TestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>

namespace {

constexpr int kW = 33, kH = 21; // odd: the videos pad to even
constexpr TColor kKey = RGB(255, 0, 255);

// Frame i: smooth colours (video codecs keep them well), a block that moves, and for
// frame 1 a transparent bottom-left corner in a colour no other pixel has.
std::shared_ptr<const TBitmap> testFrame(int i, bool transparent)
{
    auto b = std::make_shared<TBitmap>(kW, kH);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            b->SetPixel(x, y, RGB(40 + x * 5 + i * 10, 30 + y * 8, 90 + (x + y) * 2));
    for (int y = 4; y < 12; ++y)
        for (int x = 6 + 5 * i; x < 14 + 5 * i; ++x)
            b->SetPixel(x, y, RGB(200, 60 + 20 * i, 40));
    if (transparent) {
        for (int y = kH - 6; y < kH; ++y)
            for (int x = 0; x < 9; ++x)
                b->SetPixel(x, y, kKey);
        b->SetTransparent(true);
    }
    return b;
}

TExportAnimation testAnimation(std::vector<int> delays = {10, 7, 250})
{
    TExportAnimation a;
    a.Width = kW;
    a.Height = kH;
    a.Loops = 3;
    for (int i = 0; i < static_cast<int>(delays.size()); ++i)
        a.Frames.push_back({testFrame(i, i == 1), delays[static_cast<std::size_t>(i)], "Frame" + std::to_string(i + 1)});
    return a;
}

std::string run(const std::string& command)
{
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[512];
        while (fgets(buf, sizeof buf, p))
            out += buf;
        pclose(p);
    }
    return out;
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        if (end > start)
            out.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

// ffprobe's frames: "start,duration" lines (seconds).
std::vector<std::string> probeFrames(const std::string& path)
{
    return lines(run("ffprobe -v error -select_streams v:0 -show_entries frame=best_effort_timestamp_time,pkt_duration_time "
                     "-of csv=p=0 '" + path + "'"));
}

std::string probeFormat(const std::string& path, const std::string& entry)
{
    const auto l = lines(run("ffprobe -v error -show_entries format=" + entry + " -of csv=p=0 '" + path + "'"));
    return l.empty() ? "" : l[0];
}

// RGBA frames as ffmpeg decodes them.
std::vector<std::vector<std::uint8_t>> decodeRgba(const TempDir& dir, const std::string& path, int w, int h)
{
    const std::string raw = dir.file("rgba.raw");
    FFmpeg("-i '" + path + "' -f rawvideo -pix_fmt rgba -fps_mode passthrough '" + raw + "'");
    const std::vector<unsigned char> bytes = ReadTestFile(raw);
    std::vector<std::vector<std::uint8_t>> frames;
    const std::size_t size = static_cast<std::size_t>(w) * h * 4;
    for (std::size_t at = 0; at + size <= bytes.size(); at += size)
        frames.emplace_back(bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.begin() + static_cast<std::ptrdiff_t>(at + size));
    return frames;
}

// What frame i shows: alpha 0 where it is transparent, colours elsewhere.
std::vector<std::uint8_t> expectedRgba(const TExportAnimation& a, int i)
{
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(a.Width) * a.Height * 4);
    TExportPicture(a, i).ToRgba(rgba.data(), a.Width * 4);
    return rgba;
}

// Pixels that differ as seen (colours of transparent pixels do not count), as "x,y" text.
std::string rgbaDifference(const std::vector<std::uint8_t>& want, const std::vector<std::uint8_t>& got, int w, int stride = 0)
{
    stride = stride ? stride : w * 4;
    for (std::size_t p = 0; p < want.size() / 4; ++p) {
        const std::uint8_t* a = want.data() + p * 4;
        const std::uint8_t* b = got.data() + (p / w) * stride + (p % w) * 4;
        if (a[3] != b[3] || (a[3] != 0 && std::memcmp(a, b, 3) != 0))
            return std::to_string(p % w) + "," + std::to_string(p / w);
    }
    return "";
}

// A strip frame as RGBA, as it is seen.
std::vector<std::uint8_t> rgbaOf(const TBitmap& b, bool transparent)
{
    TExportAnimation one;
    one.Width = b.Width();
    one.Height = b.Height();
    auto copy = std::make_shared<TBitmap>(b);
    copy->SetTransparent(transparent);
    one.Frames.push_back({copy, 0, ""});
    return expectedRgba(one, 0);
}

struct TOpened {
    TOpenedAnimation Info;
    std::vector<std::vector<std::uint8_t>> Frames;
    std::vector<int> Delays;
};

TOpened openFile(const std::string& path)
{
    TOpened o;
    o.Info = ReadAnimationFile(path, [&](TBitmap&& b, int delay, bool transparent) {
        o.Frames.push_back(rgbaOf(b, transparent));
        o.Delays.push_back(delay);
    });
    return o;
}

// The lowest PSNR (dB) of a video's frames, ffmpeg comparing them with the frames as
// pictures over white, padded to even with their last column and row.
double lowestPsnr(const TempDir& dir, const TExportAnimation& a, const std::string& video)
{
    for (int i = 0; i < static_cast<int>(a.Frames.size()); ++i) {
        TExportPicture picture(a, i);
        const TBitmap& b = picture.OverWhite();
        TBitmap padded(b.Width() + b.Width() % 2, b.Height() + b.Height() % 2);
        for (int y = 0; y < padded.Height(); ++y)
            for (int x = 0; x < padded.Width(); ++x)
                padded.SetPixel(x, y, b.Pixel(std::min(x, b.Width() - 1), std::min(y, b.Height() - 1)));
        WriteTestFile(dir.file("want" + std::to_string(i + 1) + ".png"), WritePng(padded));
    }
    const std::string out = run("ffmpeg -nostdin -hide_banner -i '" + video + "' -i '" + dir.file("want%d.png")
                                + "' -lavfi \"[0:v]settb=1/25,setpts=N[a];[1:v]settb=1/25,setpts=N[b];[a][b]psnr\" -f null - 2>&1");
    const std::size_t at = out.find(" min:");
    if (at == std::string::npos) {
        ADD_FAILURE() << out;
        return 0;
    }
    const std::string value = out.substr(at + 5, out.find_first_of(" \n", at + 5) - at - 5);
    return value == "inf" ? 99 : std::stod(value);
}

QJsonObject readJson(const std::string& path)
{
    const std::vector<unsigned char> bytes = ReadTestFile(path);
    return QJsonDocument::fromJson(QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size())))
        .object();
}

// The acTL chunk's play count of an APNG.
int apngPlays(const std::string& path)
{
    const std::vector<unsigned char> b = ReadTestFile(path);
    const std::string text(b.begin(), b.end());
    const std::size_t at = text.find("acTL");
    return at == std::string::npos ? -1 : static_cast<int>(ReadBE32(b.data() + at + 8));
}

} // namespace

// A 3-frame strip with delays 10, 7 and 250 and a loop count of 3 in every format: the
// peers read the right frames, size, times and loop count; the lossless ones give back
// every pixel, transparency included, the videos at least 40 dB.
TEST(ExportFormats, EveryFormatKeepsFramesTimesAndLoops)
{
    const TExportAnimation a = testAnimation();
    struct Case {
        TExportFormat Format;
        const char* File;
    };
    const Case cases[] = {{TExportFormat::Apng, "a.apng"},          {TExportFormat::WebP, "a.webp"},
                          {TExportFormat::Mp4, "a.mp4"},            {TExportFormat::WebM, "a.webm"},
                          {TExportFormat::PngSequence, "seq.png"}, {TExportFormat::SpriteSheet, "sheet.png"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.File);
        TempDir dir;
        const std::string path = dir.file(c.File);
        TExportOptions options;
        options.Format = c.Format;
        options.Padding = c.Format == TExportFormat::SpriteSheet ? 2 : 0;
        std::vector<int> progress;
        ExportAnimation(a, path, options, [&](int done, int total) {
            EXPECT_EQ(total, 3);
            progress.push_back(done);
            return true;
        });
        EXPECT_EQ(progress, (std::vector<int>{0, 1, 2, 3}));

        switch (c.Format) {
        case TExportFormat::Apng: {
            EXPECT_EQ(probeFrames(path), (std::vector<std::string>{"0.000000,0.100000", "0.100000,0.070000", "0.170000,2.500000"}));
            EXPECT_EQ(FFprobe(path, "width") + "x" + FFprobe(path, "height"), "33x21");
            EXPECT_EQ(apngPlays(path), 3);
            const auto frames = decodeRgba(dir, path, kW, kH);
            ASSERT_EQ(frames.size(), 3u);
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ(rgbaDifference(expectedRgba(a, i), frames[static_cast<std::size_t>(i)], kW), "") << "frame " << i;
            break;
        }
        case TExportFormat::WebP: {
            const std::string info = run("webpmux -info '" + path + "'");
            EXPECT_NE(info.find("Canvas size: 33 x 21"), std::string::npos) << info;
            EXPECT_NE(info.find("Loop Count : 3"), std::string::npos) << info;
            EXPECT_NE(info.find("Number of frames: 3"), std::string::npos) << info;
            std::vector<std::string> durations;
            for (const std::string& l : lines(info))
                if (l.size() > 4 && l[3] == ':' && std::isdigit(static_cast<unsigned char>(l[2]))) {
                    char buf[9][32];
                    if (std::sscanf(l.c_str(), "%31s %31s %31s %31s %31s %31s %31s", buf[0], buf[1], buf[2], buf[3], buf[4],
                                    buf[5], buf[6]) == 7)
                        durations.push_back(buf[6]);
                }
            EXPECT_EQ(durations, (std::vector<std::string>{"100", "70", "2500"})) << info;
            EXPECT_NE(info.find("lossless"), std::string::npos);
            // dwebp decodes the first frame on its own.
            ASSERT_EQ(RunShell("webpmux -get frame 1 '" + path + "' -o '" + dir.file("f1.webp") + "' >/dev/null 2>&1 && dwebp '"
                               + dir.file("f1.webp") + "' -o '" + dir.file("f1.png") + "' >/dev/null 2>&1"),
                      0);
            const auto png = ReadTestFile(dir.file("f1.png"));
            std::vector<std::uint8_t> alpha;
            const TBitmap first = ReadPngWithAlpha(png.data(), png.size(), alpha);
            std::vector<std::uint8_t> rgba(static_cast<std::size_t>(kW) * kH * 4);
            for (int y = 0; y < kH; ++y)
                for (int x = 0; x < kW; ++x) {
                    const TColor col = first.Pixel(x, y);
                    std::uint8_t* q = rgba.data() + (static_cast<std::size_t>(y) * kW + x) * 4;
                    q[0] = static_cast<std::uint8_t>(GetRValue(col));
                    q[1] = static_cast<std::uint8_t>(GetGValue(col));
                    q[2] = static_cast<std::uint8_t>(GetBValue(col));
                    q[3] = alpha[static_cast<std::size_t>(y) * kW + x];
                }
            EXPECT_EQ(rgbaDifference(expectedRgba(a, 0), rgba, kW), "");
            break;
        }
        case TExportFormat::Mp4:
        case TExportFormat::WebM: {
            // Padded to even; every frame starts at its time, the last lasts to the end.
            EXPECT_EQ(FFprobe(path, "width") + "x" + FFprobe(path, "height"), "34x22");
            std::vector<std::string> starts;
            for (const std::string& l : probeFrames(path))
                starts.push_back(l.substr(0, l.find(',')));
            EXPECT_EQ(starts, (std::vector<std::string>{"0.000000", "0.100000", "0.170000"}));
            EXPECT_NEAR(std::stod(probeFormat(path, "duration")), 2.67, 0.001);
            EXPECT_EQ(FFprobe(path, "codec_name"), c.Format == TExportFormat::Mp4 ? "h264" : "vp9");
            EXPECT_EQ(FFprobe(path, "pix_fmt"), "yuv420p");
            EXPECT_EQ(decodeRgba(dir, path, 34, 22).size(), 3u);
            EXPECT_GE(lowestPsnr(dir, a, path), 40.0);
            break;
        }
        case TExportFormat::PngSequence: {
            const QJsonObject json = readJson(dir.file("seq.json"));
            EXPECT_EQ(json["loops"].toInt(), 3);
            const QJsonArray frames = json["frames"].toArray();
            ASSERT_EQ(frames.size(), 3);
            const int delays[] = {10, 7, 250};
            for (int i = 0; i < 3; ++i) {
                const QJsonObject f = frames[i].toObject();
                EXPECT_EQ(f["file"].toString().toStdString(), "seq-000" + std::to_string(i + 1) + ".png");
                EXPECT_EQ(f["name"].toString().toStdString(), "Frame" + std::to_string(i + 1));
                EXPECT_EQ(f["delay"].toInt(), delays[i]);
                EXPECT_EQ(f["duration"].toInt(), delays[i] * 10);
                const auto decoded = decodeRgba(dir, dir.file(f["file"].toString().toStdString()), kW, kH);
                ASSERT_EQ(decoded.size(), 1u);
                EXPECT_EQ(rgbaDifference(expectedRgba(a, i), decoded[0], kW), "") << "frame " << i;
            }
            break;
        }
        case TExportFormat::SpriteSheet: {
            const QJsonObject json = readJson(dir.file("sheet.json"));
            const int w = json["width"].toInt(), h = json["height"].toInt();
            EXPECT_EQ(json["columns"].toInt(), 2);
            EXPECT_EQ(w, 2 + 2 * (kW + 2));
            EXPECT_EQ(h, 2 + 2 * (kH + 2));
            const auto sheet = decodeRgba(dir, path, w, h);
            ASSERT_EQ(sheet.size(), 1u);
            const QJsonArray frames = json["frames"].toArray();
            ASSERT_EQ(frames.size(), 3);
            for (int i = 0; i < 3; ++i) {
                const QJsonObject f = frames[i].toObject();
                ASSERT_EQ(f["w"].toInt(), kW);
                ASSERT_EQ(f["h"].toInt(), kH);
                const std::size_t at = (static_cast<std::size_t>(f["y"].toInt()) * w + f["x"].toInt()) * 4;
                EXPECT_EQ(rgbaDifference(expectedRgba(a, i), std::vector<std::uint8_t>(sheet[0].begin() + static_cast<std::ptrdiff_t>(at), sheet[0].end()), kW, w * 4), "")
                    << "frame " << i;
                EXPECT_EQ(f["duration"].toInt(), a.Frames[static_cast<std::size_t>(i)].Delay * 10);
            }
            // Padding and the empty fourth cell stay transparent.
            EXPECT_EQ(sheet[0][3], 0);
            EXPECT_EQ(sheet[0][(static_cast<std::size_t>(h - 3) * w + w - 3) * 4 + 3], 0);
            break;
        }
        }

        // The lossless animations open again as the very frames, delays and loop count.
        if (c.Format == TExportFormat::Apng || c.Format == TExportFormat::WebP) {
            const TOpened back = openFile(path);
            EXPECT_EQ(back.Info.Loops, 3);
            EXPECT_EQ(back.Delays, (std::vector<int>{10, 7, 250}));
            ASSERT_EQ(back.Frames.size(), 3u);
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ(rgbaDifference(expectedRgba(a, i), back.Frames[static_cast<std::size_t>(i)], kW), "") << "frame " << i;
        }
    }
}
