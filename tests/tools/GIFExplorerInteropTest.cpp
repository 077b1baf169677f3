// GIFs written by gifsicle, ImageMagick, FFmpeg and giflib: the explorer opens them and
// its rows say what `gifsicle --info` says (sizes, positions, interlace, palettes, delays,
// disposal, transparency, loop count).
#include "ExplorerTestFiles.h"

#include "tools/GIFExplorerModel.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>

namespace {

std::string ReadTextFile(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

struct GsFrame {
    int W = 0, H = 0, X = 0, Y = 0;
    bool Interlaced = false;
    int Transparent = -1;
    int Local = 0;
    int Delay = 0;
    int Disposal = 0;
};

struct GsInfo {
    int W = 0, H = 0, Global = 0, Background = 0, Loops = -1;
    std::vector<GsFrame> Frames;
    std::vector<std::string> Comments;
};

// What `gifsicle --info` prints, read back.
GsInfo GifsicleInfo(const TempDir& dir, const std::string& file)
{
    const std::string out = dir.file("gifsicle-info.txt");
    EXPECT_EQ(std::system(("gifsicle --info '" + file + "' >'" + out + "' 2>/dev/null").c_str()), 0);
    std::istringstream in(ReadTextFile(out));
    GsInfo info;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream l(line);
        std::string word;
        l >> word;
        if (word == "logical") {
            l >> word >> word;
            std::sscanf(word.c_str(), "%dx%d", &info.W, &info.H);
        } else if (word == "global") {
            l >> word >> word >> word;
            std::sscanf(word.c_str(), "[%d]", &info.Global);
        } else if (word == "background") {
            l >> info.Background;
        } else if (word == "loop") {
            l >> word;
            if (word == "forever")
                info.Loops = 0;
            else
                l >> info.Loops;
        } else if (word == "+") {
            GsFrame f;
            l >> word >> word >> word; // "image", "#n", size
            std::sscanf(word.c_str(), "%dx%d", &f.W, &f.H);
            while (l >> word) {
                if (word == "at") {
                    l >> word;
                    std::sscanf(word.c_str(), "%d,%d", &f.X, &f.Y);
                } else if (word == "interlaced") {
                    f.Interlaced = true;
                } else if (word == "transparent") {
                    l >> f.Transparent;
                }
            }
            info.Frames.push_back(f);
        } else if (word == "local" && !info.Frames.empty()) {
            l >> word >> word >> word;
            std::sscanf(word.c_str(), "[%d]", &info.Frames.back().Local);
        } else if ((word == "disposal" || word == "delay") && !info.Frames.empty()) {
            do {
                std::string value;
                l >> value;
                if (word == "delay") {
                    info.Frames.back().Delay = static_cast<int>(std::lround(std::stod(value) * 100));
                } else {
                    const std::map<std::string, int> methods{{"none", 0}, {"asis", 1}, {"background", 2}, {"previous", 3}};
                    info.Frames.back().Disposal = methods.count(value) ? methods.at(value) : std::atoi(value.c_str());
                }
            } while (l >> word);
        } else if (word == "comment") {
            std::string rest;
            std::getline(l, rest);
            info.Comments.push_back(rest.empty() ? rest : rest.substr(1));
        }
    }
    return info;
}

std::map<std::string, std::string> RowMap(const TGIFImage& gif, const TGIFExplorerNode& node)
{
    std::map<std::string, std::string> m;
    for (const auto& [c, v] : GIFNodeRows(gif, node))
        m[c] = v;
    return m;
}

const TGIFExplorerNode* Child(const TGIFExplorerNode& node, const std::string& text)
{
    for (const TGIFExplorerNode& c : node.Children)
        if (c.Text == text)
            return &c;
    return nullptr;
}

std::string YesNo(bool b) { return b ? "Yes" : "No"; }

// Opens the file as the explorer does and compares every row gifsicle also reports.
void ExpectAgreesWithGifsicle(const TempDir& dir, const std::string& file, const char* writer)
{
    SCOPED_TRACE(writer);
    const GsInfo gs = GifsicleInfo(dir, file);
    ASSERT_FALSE(gs.Frames.empty());
    TGIFImage gif;
    std::vector<std::string> warnings;
    gif.OnWarning = [&](const TGIFObject&, int, const std::string& text) {
        warnings.push_back(text);
        return true;
    };
    ASSERT_FALSE(GIFExplorerLoad(gif, [&] { gif.LoadFromFile(file); }));
    EXPECT_TRUE(warnings.empty()) << warnings.front();
    const TGIFExplorerNode root = BuildGIFExplorerTree(gif, "f.gif");

    auto header = RowMap(gif, root.Children[0]);
    EXPECT_EQ(header["Width"], std::to_string(gs.W));
    EXPECT_EQ(header["Height"], std::to_string(gs.H));
    if (gs.Global > 0) {
        EXPECT_EQ(header["BackGroundColor"], std::to_string(gs.Background));
        const TGIFExplorerNode* global = Child(root, "Global Palette");
        ASSERT_NE(global, nullptr);
        EXPECT_EQ(RowMap(gif, *global)["Count"], std::to_string(gs.Global));
    } else {
        EXPECT_EQ(Child(root, "Global Palette"), nullptr);
    }

    // Frames with image data, in order; extension-only frames may close the file.
    std::vector<const TGIFExplorerNode*> frames;
    int loops = -1;
    std::vector<std::string> comments;
    for (const TGIFExplorerNode& n : root.Children) {
        if (n.Kind != TGIFNodeKind::Frame)
            continue;
        if (RowMap(gif, n)["Width"] != "0")
            frames.push_back(&n);
        for (const TGIFExplorerNode& c : n.Children) {
            if (c.Kind == TGIFNodeKind::Loop && loops < 0)
                loops = std::stoi(RowMap(gif, c)["Loops"]);
            if (c.Kind == TGIFNodeKind::Comment) {
                // gifsicle prints a comment's blocks as one text.
                std::string text;
                for (const std::string& line : GIFNodePreviewText(gif, c))
                    text += line;
                comments.push_back(text);
            }
        }
    }
    EXPECT_EQ(loops, gs.Loops);
    for (const std::string& c : gs.Comments)
        EXPECT_NE(std::find(comments.begin(), comments.end(), c), comments.end()) << c;
    ASSERT_EQ(frames.size(), gs.Frames.size());
    const char* disposals[] = {"None specified", "Do not dispose", "Background", "Previuos"};
    for (std::size_t i = 0; i < frames.size(); ++i) {
        SCOPED_TRACE("image " + std::to_string(i));
        const GsFrame& e = gs.Frames[i];
        auto rows = RowMap(gif, *frames[i]);
        EXPECT_EQ(rows["Left"], std::to_string(e.X));
        EXPECT_EQ(rows["Top"], std::to_string(e.Y));
        EXPECT_EQ(rows["Width"], std::to_string(e.W));
        EXPECT_EQ(rows["Height"], std::to_string(e.H));
        EXPECT_EQ(rows["Interlaced"], YesNo(e.Interlaced));
        EXPECT_EQ(rows["Local Palette"], YesNo(e.Local > 0));
        if (e.Local > 0) {
            const TGIFExplorerNode* local = Child(*frames[i], "Local Palette");
            ASSERT_NE(local, nullptr);
            EXPECT_EQ(RowMap(gif, *local)["Count"], std::to_string(e.Local));
        }
        const TGIFExplorerNode* gce = Child(*frames[i], "Graphic Control Extension");
        if (!gce) {
            EXPECT_EQ(e.Delay, 0);
            EXPECT_EQ(e.Disposal, 0);
            EXPECT_EQ(e.Transparent, -1);
            continue;
        }
        auto g = RowMap(gif, *gce);
        EXPECT_EQ(g["Delay"], std::to_string(e.Delay * 10) + " mS");
        ASSERT_LT(e.Disposal, 4);
        EXPECT_EQ(g["Disposal"], disposals[e.Disposal]);
        EXPECT_EQ(g["Transparent"], YesNo(e.Transparent >= 0));
        if (e.Transparent >= 0) {
            EXPECT_EQ(g["TransparentColor"], std::to_string(e.Transparent));
        }
    }
}

// A GIF of `colors` distinct colours (offset by `base`) from our writer, local table only.
void WriteColourful(const std::string& path, int w, int h, int colors, int base)
{
    TGIFImage gif;
    std::vector<TColor> palette;
    for (int i = 0; i < colors; ++i)
        palette.push_back(RGB((i * 7 + base) & 255, (i * 13 + base * 3) & 255, (i + base) & 255));
    TBitmap b(w, h, TPixelFormat::pf8bit);
    b.SetPalette(palette);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.ScanLine(y)[x] = static_cast<std::uint8_t>((x + y * w) % colors);
    gif.Add(b);
    gif.SaveToFile(path);
}

int writeMem(GifFileType* gif, const GifByteType* buf, int n)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
    out->insert(out->end(), buf, buf + n);
    return n;
}

// A file written with giflib's own calls: loop, a comment of two blocks, a plain text
// extension, an interlaced frame with a local table and a transparent colour, an
// application extension of its own and a frame that restores to previous.
std::vector<std::uint8_t> GiflibFileWithExtensions()
{
    std::vector<std::uint8_t> out;
    int err = 0;
    GifFileType* gif = EGifOpen(&out, writeMem, &err);
    EXPECT_NE(gif, nullptr);
    EGifSetGifVersion(gif, true);
    GifColorType globalColors[4] = {{0, 0, 0}, {255, 255, 255}, {255, 0, 0}, {0, 0, 255}};
    ColorMapObject* global = GifMakeMapObject(4, globalColors);
    EGifPutScreenDesc(gif, 16, 12, 8, 2, global);
    EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE);
    EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0");
    const GifByteType loop[3] = {1, 5, 0};
    EGifPutExtensionBlock(gif, 3, loop);
    EGifPutExtensionTrailer(gif);
    EGifPutExtensionLeader(gif, COMMENT_EXT_FUNC_CODE);
    EGifPutExtensionBlock(gif, 11, "from giflib");
    EGifPutExtensionBlock(gif, 8, "2nd line");
    EGifPutExtensionTrailer(gif);
    GraphicsControlBlock gcb{DISPOSE_BACKGROUND, false, 33, 3};
    GifByteType ext[4];
    EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(EGifGCBToExtension(&gcb, ext)), ext);
    EGifPutExtensionLeader(gif, PLAINTEXT_EXT_FUNC_CODE);
    const GifByteType grid[12] = {0, 0, 0, 0, 16, 0, 12, 0, 8, 12, 1, 0};
    EGifPutExtensionBlock(gif, 12, grid);
    EGifPutExtensionBlock(gif, 5, "Hello");
    EGifPutExtensionTrailer(gif);
    GifColorType localColors[8];
    for (int i = 0; i < 8; ++i)
        localColors[i] = {static_cast<GifByteType>(i * 30), static_cast<GifByteType>(255 - i * 30), 7};
    ColorMapObject* local = GifMakeMapObject(8, localColors);
    EGifPutImageDesc(gif, 2, 3, 10, 6, true, local);
    std::vector<GifPixelType> row(10);
    const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
    for (int p = 0; p < 4; ++p)
        for (int y = start[p]; y < 6; y += step[p]) {
            for (int x = 0; x < 10; ++x)
                row[static_cast<std::size_t>(x)] = static_cast<GifPixelType>((x + y) % 8);
            EGifPutLine(gif, row.data(), 10);
        }
    EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE);
    EGifPutExtensionBlock(gif, 11, "ANIVOR  1.0");
    EGifPutExtensionBlock(gif, 20, "twenty bytes of data");
    EGifPutExtensionTrailer(gif);
    GraphicsControlBlock gcb2{DISPOSE_PREVIOUS, false, 7, NO_TRANSPARENT_COLOR};
    EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(EGifGCBToExtension(&gcb2, ext)), ext);
    EGifPutImageDesc(gif, 0, 0, 16, 12, false, nullptr);
    std::vector<GifPixelType> full(16, 1);
    for (int y = 0; y < 12; ++y)
        EGifPutLine(gif, full.data(), 16);
    EGifCloseFile(gif, &err);
    GifFreeMapObject(global);
    GifFreeMapObject(local);
    return out;
}

} // namespace

TEST(GIFExplorerInterop, GifsicleFiles)
{
    if (!HaveTool("gifsicle"))
        GTEST_SKIP() << "gifsicle is not installed";
    TempDir dir;
    // Two inputs of 200 colours each: too many for one table, so local tables stay.
    WriteColourful(dir.file("a.gif"), 40, 30, 200, 0);
    WriteColourful(dir.file("b.gif"), 20, 10, 200, 101);
    const std::string out = dir.file("gifsicle.gif");
    ASSERT_TRUE(RunTool("cd '" + dir.path().string() + "' && gifsicle --loopcount=3 --comment 'made by gifsicle' -d 25 a.gif"
                        " --interlace -d 50 --disposal background --position 10,10 --transparent 5 b.gif"
                        " --no-interlace --disposal previous -d 7 a.gif --app-extension ANIVOR12 'x' --extension 0x99 abc"
                        " -o gifsicle.gif"));
    ExpectAgreesWithGifsicle(dir, out, "gifsicle");
    const GsInfo gs = GifsicleInfo(dir, out);
    EXPECT_EQ(gs.Frames.size(), 3u);
    EXPECT_EQ(gs.Loops, 3);

    // The same frames optimised by gifsicle: cropped, transparent, one merged table.
    ASSERT_TRUE(RunTool("cd '" + dir.path().string() + "' && gifsicle -O3 --colors 64 --loopcount a.gif b.gif a.gif -o opt.gif"));
    ExpectAgreesWithGifsicle(dir, dir.file("opt.gif"), "gifsicle -O3");
}

TEST(GIFExplorerInterop, ImageMagickFiles)
{
    const std::string convert = ImageMagickConvert();
    if (!HaveTool(convert.c_str()))
        GTEST_SKIP() << "ImageMagick is not installed";
    TempDir dir;
    const std::string out = dir.file("im.gif");
    ASSERT_TRUE(RunTool(convert + " -delay 15 -loop 2 -dispose Background -size 40x30 xc:red"
                        " \\( -size 20x10 xc:blue -repage +5+7 \\) \\( -size 40x30 gradient:yellow-green -colors 200 \\)"
                        " \\( -size 12x8 xc:none -repage +3+2 \\) -set comment 'from ImageMagick' -interlace GIF '" + out + "'"));
    ExpectAgreesWithGifsicle(dir, out, "ImageMagick");
}

TEST(GIFExplorerInterop, FfmpegFiles)
{
    if (!HaveTool("ffmpeg"))
        GTEST_SKIP() << "ffmpeg is not installed";
    TempDir dir;
    const std::string out = dir.file("ff.gif");
    // FFmpeg crops each frame to what changes and marks unchanged pixels transparent.
    ASSERT_TRUE(RunTool("ffmpeg -v error -f lavfi -i testsrc=size=64x48:rate=10 -frames:v 5 -loop 0 -y '" + out + "'"));
    ExpectAgreesWithGifsicle(dir, out, "FFmpeg");
    ASSERT_TRUE(RunTool("ffmpeg -v error -f lavfi -i testsrc2=size=50x30:rate=25 -frames:v 3 -loop -1 -y '" + dir.file("once.gif") + "'"));
    ExpectAgreesWithGifsicle(dir, dir.file("once.gif"), "FFmpeg, no loop");
}

TEST(GIFExplorerInterop, GiflibFiles)
{
    TempDir dir;
    WriteTestFile(dir.file("giflib.gif"), GiflibFileWithExtensions());
    TGIFImage gif;
    gif.LoadFromFile(dir.file("giflib.gif"));
    const TGIFExplorerNode root = BuildGIFExplorerTree(gif, "giflib.gif");
    ASSERT_EQ(root.Children.size(), 4u);
    std::vector<std::string> kinds;
    for (const auto& c : root.Children[2].Children)
        kinds.push_back(c.Text);
    EXPECT_EQ(kinds, (std::vector<std::string>{"Local Palette", "Netscape Loop Extension", "Comment Extension",
                                               "Graphic Control Extension", "Text extension"}));
    EXPECT_EQ(GIFNodePreviewText(gif, root.Children[2].Children[2]), (std::vector<std::string>{"from giflib", "2nd line"}));
    const TGIFExplorerNode& app = root.Children[3].Children[0];
    EXPECT_EQ(GIFNodeRows(gif, app)[0].second, "ANIVOR  ");
    EXPECT_EQ(GIFNodePreviewText(gif, app)[2], "74 77 65 6E 74 79 20 62 79 74 65 73 20 6F 66 20  twenty bytes of ");
    if (!HaveTool("gifsicle"))
        GTEST_SKIP() << "gifsicle is not installed";
    ExpectAgreesWithGifsicle(dir, dir.file("giflib.gif"), "giflib");
}
