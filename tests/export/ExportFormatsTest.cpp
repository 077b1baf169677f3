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

// Delays of 0 and 1 hundredth keep the time the user set: the APNG and WebP files hold
// them as they are; a video frame needs a time, so 0 lasts one hundredth there.
TEST(ExportFormats, ShortDelaysKeepTheirTime)
{
    const TExportAnimation a = testAnimation({0, 1, 5});
    TempDir dir;
    TExportOptions options;
    for (TExportFormat f : {TExportFormat::Apng, TExportFormat::WebP, TExportFormat::Mp4}) {
        options.Format = f;
        ExportAnimation(a, dir.file("s" + ExportExtension(f)), options);
    }
    // fcTL delay fractions of the APNG, in hundredths.
    const std::vector<unsigned char> apng = ReadTestFile(dir.file("s.apng"));
    const std::string text(apng.begin(), apng.end());
    std::vector<std::string> delays;
    for (std::size_t at = text.find("fcTL"); at != std::string::npos; at = text.find("fcTL", at + 4))
        delays.push_back(std::to_string(apng[at + 24] << 8 | apng[at + 25]) + "/" + std::to_string(apng[at + 26] << 8 | apng[at + 27]));
    EXPECT_EQ(delays, (std::vector<std::string>{"0/1", "1/100", "5/100"}));
    EXPECT_EQ(openFile(dir.file("s.apng")).Delays, (std::vector<int>{0, 1, 5}));

    const std::string info = run("webpmux -info '" + dir.file("s.webp") + "'");
    EXPECT_EQ(openFile(dir.file("s.webp")).Delays, (std::vector<int>{0, 1, 5})) << info;

    std::vector<std::string> starts;
    for (const std::string& l : probeFrames(dir.file("s.mp4")))
        starts.push_back(l.substr(0, l.find(',')));
    EXPECT_EQ(starts, (std::vector<std::string>{"0.000000", "0.010000", "0.020000"}));
}

// Stopped at the second frame, an export writes nothing: the file it would replace stays.
// A PNG sequence keeps the frames written before the stop but not its list.
TEST(ExportFormats, StoppedExportLeavesThePreviousFile)
{
    const TExportAnimation a = testAnimation();
    for (TExportFormat f : {TExportFormat::Apng, TExportFormat::WebP, TExportFormat::Mp4, TExportFormat::WebM,
                            TExportFormat::SpriteSheet, TExportFormat::PngSequence}) {
        SCOPED_TRACE(ExportFormatName(f));
        TempDir dir;
        const std::string path = dir.file("out" + ExportExtension(f));
        WriteFileAtomic(path, std::string("old"));
        TExportOptions options;
        options.Format = f;
        EXPECT_THROW(ExportAnimation(a, path, options, [](int done, int) { return done < 1; }), EExportStopped);
        EXPECT_EQ(ReadTestFile(path), (std::vector<unsigned char>{'o', 'l', 'd'}));
        EXPECT_FALSE(std::filesystem::exists(dir.file("out.json")));
        EXPECT_FALSE(std::filesystem::exists(dir.file("out-0002.png")));
    }
}

namespace {

// Frame i of the peer files: 40 x 30, colours and holes that change a little each frame,
// so the encoders store rectangles with dispose and blend operations.
std::vector<std::uint8_t> peerFrame(int i)
{
    std::vector<std::uint8_t> rgba(40 * 30 * 4);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            std::uint8_t* p = rgba.data() + (y * 40 + x) * 4;
            p[0] = static_cast<std::uint8_t>(x * 6);
            p[1] = static_cast<std::uint8_t>(y * 8);
            p[2] = 100;
            // The bottom-left corner is always a hole: the frames are transparent.
            const bool hole = ((x + i * 7) % 20 < 5 && y > 10) || (x < 3 && y > 26);
            const bool moved = x >= 5 + i * 8 && x < 12 + i * 8 && y < 8;
            p[3] = hole ? 0 : 255;
            if (moved) {
                p[0] = 250;
                p[1] = 250;
                p[2] = 0;
                p[3] = 255;
            }
            if (hole)
                p[0] = p[1] = p[2] = 0;
        }
    return rgba;
}

} // namespace

// Files written by the peers open with their frames, delays and loop counts: an APNG by
// FFmpeg, an animated WebP by img2webp (both with holes), and a 60 frames a second video
// whose frames keep the video's time.
TEST(OpenAnimations, PeerFilesOpenWithTheirFramesAndDelays)
{
    TempDir dir;
    for (int i = 0; i < 3; ++i)
        WriteTestFile(dir.file("p" + std::to_string(i + 1) + ".png"), WritePngRgba(peerFrame(i).data(), 40, 30));
    FFmpeg("-framerate 25 -i '" + dir.file("p%d.png") + "' -plays 2 -f apng '" + dir.file("ffmpeg.apng") + "'");
    ASSERT_EQ(RunShell("img2webp -loop 2 -lossless -d 70 '" + dir.file("p1.png") + "' '" + dir.file("p2.png") + "' -d 120 '"
                       + dir.file("p3.png") + "' -o '" + dir.file("img2webp.webp") + "' >/dev/null 2>&1"),
              0);
    struct Case {
        const char* File;
        std::vector<int> Delays;
    };
    for (const Case& c : {Case{"ffmpeg.apng", {4, 4, 4}}, Case{"img2webp.webp", {7, 7, 12}}}) {
        SCOPED_TRACE(c.File);
        const TOpened o = openFile(dir.file(c.File));
        EXPECT_EQ(o.Info.Width, 40);
        EXPECT_EQ(o.Info.Height, 30);
        EXPECT_EQ(o.Info.Loops, 2);
        EXPECT_EQ(o.Delays, c.Delays);
        ASSERT_EQ(o.Frames.size(), 3u);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(rgbaDifference(peerFrame(i), o.Frames[static_cast<std::size_t>(i)], 40), "") << "frame " << i;
    }

    MakeVideo(dir.file("v.mp4"), "-c:v libx264 -pix_fmt yuv420p", 64, 48, "60", 6);
    const TOpened v = openFile(dir.file("v.mp4"));
    EXPECT_EQ(v.Info.Width, 64);
    EXPECT_EQ(v.Frames.size(), 6u);
    EXPECT_EQ(v.Delays, (std::vector<int>{2, 1, 2, 2, 1, 2}));
    EXPECT_EQ(v.Info.Loops, 0);
}

// Damaged files are refused with a message that names the file and what is wrong, and
// sizes past the memory budget are refused before anything is decoded.
TEST(OpenAnimations, DamagedFilesAreRefusedWithMessages)
{
    TempDir dir;
    TExportOptions options;
    const TExportAnimation a = testAnimation();
    for (TExportFormat f : {TExportFormat::Apng, TExportFormat::WebP, TExportFormat::Mp4}) {
        options.Format = f;
        ExportAnimation(a, dir.file("good" + ExportExtension(f)), options);
    }
    const std::vector<unsigned char> apng = ReadTestFile(dir.file("good.apng"));
    const std::vector<unsigned char> webp = ReadTestFile(dir.file("good.webp"));
    const std::vector<unsigned char> mp4 = ReadTestFile(dir.file("good.mp4"));
    const std::string apngText(apng.begin(), apng.end());
    auto cut = [](std::vector<unsigned char> b, std::size_t n) {
        b.resize(n);
        return b;
    };
    // A chunk's field changed and its checksum made right again.
    auto patchChunk = [&](std::vector<unsigned char> b, const char* type, std::size_t offset, std::uint32_t value) {
        const std::size_t at = apngText.find(type, 8);
        for (int k = 0; k < 4; ++k)
            b[at + 4 + offset + static_cast<std::size_t>(k)] = static_cast<unsigned char>(value >> (24 - 8 * k));
        const std::uint32_t size = ReadBE32(b.data() + at - 4);
        std::uint32_t crc = 0xFFFFFFFFu;
        for (std::size_t i = at; i < at + 4 + size; ++i) {
            crc ^= b[i];
            for (int k = 0; k < 8; ++k)
                crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
        }
        crc ^= 0xFFFFFFFFu;
        for (int k = 0; k < 4; ++k)
            b[at + 4 + size + static_cast<std::size_t>(k)] = static_cast<unsigned char>(crc >> (24 - 8 * k));
        return b;
    };
    std::vector<unsigned char> badCrc = apng;
    badCrc[apngText.find("fdAT") + 10] ^= 0x55;
    struct Case {
        const char* Name;
        std::vector<unsigned char> Bytes;
        const char* Says;
    };
    const std::size_t secondFcTL = apngText.find("fcTL", apngText.find("fcTL") + 4);
    const Case cases[] = {
        {"cut.apng", cut(apng, apng.size() / 2), "the APNG file is damaged (it ends inside a chunk)"},
        {"crc.apng", badCrc, "the APNG file is damaged (the fdAT chunk fails its checksum)"},
        {"outside.apng", patchChunk(apng, "fcTL", 4, 1000), "the APNG file is damaged (frame 1 lies outside the picture)"},
        {"noframes.apng", cut(apng, secondFcTL - 4), "the APNG file is damaged (it ends before its end chunk)"},
        {"cut.webp", cut(webp, webp.size() / 2), "the WebP file is damaged"},
        {"header.webp", cut(webp, 20), "the WebP file is damaged"},
        {"cut.mp4", cut(mp4, mp4.size() / 3), "cut.mp4: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string path = dir.file(c.Name);
        WriteTestFile(path, c.Bytes);
        const std::string message = ThrownMessage([&] { openFile(path); });
        EXPECT_NE(message.find(path), std::string::npos) << message;
        EXPECT_NE(message.find(c.Says), std::string::npos) << message;
    }

    // 16000 x 16000 claimed by the headers: refused by the budget before decoding.
    const MemoryBudget::TScopedLimit limit(64 << 20);
    std::vector<unsigned char> hugeApng = apng;
    for (const char* type : {"IHDR", "fcTL"})
        for (std::size_t offset : {std::size_t{0}, std::size_t{4}})
            hugeApng = patchChunk(hugeApng, type, offset + (type[0] == 'f' ? 4 : 0), 16000);
    WriteTestFile(dir.file("huge.apng"), hugeApng);
    std::vector<unsigned char> hugeWebp = webp;
    const std::string webpText(webp.begin(), webp.end());
    const std::size_t vp8x = webpText.find("VP8X");
    for (std::size_t k = 0; k < 3; ++k) {
        hugeWebp[vp8x + 12 + k] = static_cast<unsigned char>((15999 >> (8 * k)) & 0xFF);
        hugeWebp[vp8x + 15 + k] = static_cast<unsigned char>((15999 >> (8 * k)) & 0xFF);
    }
    WriteTestFile(dir.file("huge.webp"), hugeWebp);
    for (const char* name : {"huge.apng", "huge.webp"}) {
        const std::string message = ThrownMessage([&] { openFile(dir.file(name)); });
        EXPECT_NE(message.find("Not enough memory"), std::string::npos) << name << ": " << message;
    }
    std::filesystem::create_directory(dir.file("folder.webp"));
    const std::string folder = ThrownMessage([&] { openFile(dir.file("folder.webp")); });
    EXPECT_NE(folder.find("folder.webp: it is a folder"), std::string::npos) << folder;
}
