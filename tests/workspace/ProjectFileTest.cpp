#include "workspace/Autosave.h"
#include "workspace/ProjectFile.h"

#include "graphics/Exception.h"
#include "graphics/FileWrite.h"
#include "graphics/MemoryBudget.h"
#include "graphics/PngFile.h"
#include "support/FFmpegTool.h"
#include "support/TestSupport.h"

#include <zip.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

namespace {

TFrameRecord Frame(const std::string& name, const std::string& delay, TBitmap picture, bool transparent)
{
    picture.SetTransparent(transparent);
    return {name, delay, std::make_shared<const TBitmap>(std::move(picture)), NewPictureVersion()};
}

// 256 x 256 with every one of its 65,536 pixels a colour of its own.
TBitmap AllColours()
{
    TBitmap b(256, 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            b.SetPixel(x, y, RGB(x, y, (x * 7 + y * 13) & 255));
    return b;
}

TBitmap PaletteFrame()
{
    TBitmap b(256, 256, TPixelFormat::pf8bit);
    b.SetPalette({RGB(1, 2, 3), RGB(250, 0, 0), RGB(0, 0, 250)});
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            b.ScanLine(y)[x] = static_cast<std::uint8_t>((x / 16 + y / 16) % 3);
    return b;
}

TProject Sample()
{
    TProject p;
    TStripDocument& d = p.Document;
    d.FrameWidth = d.FrameHeight = 256;
    d.Frames.push_back(Frame("Frame1", "7", AllColours(), false));
    d.Frames.push_back(Frame("Frame4", "250", PaletteFrame(), true));
    d.Frames.push_back(Frame("Frame2", "abc", SolidBitmap(256, 256, RGB(9, 8, 7)), true));
    d.FrameCounter = 5;
    d.LoopCount = 3;
    p.Assembly.Reduction = {rmQuantize, 5, dmStucki};
    p.Assembly.Merge = true;
    p.Assembly.FramePalettes = true;
    return p;
}

void ExpectSameDocument(const TStripDocument& a, const TStripDocument& b)
{
    EXPECT_EQ(a.FrameWidth, b.FrameWidth);
    EXPECT_EQ(a.FrameHeight, b.FrameHeight);
    EXPECT_EQ(a.FrameCounter, b.FrameCounter);
    EXPECT_EQ(a.LoopCount, b.LoopCount);
    ASSERT_EQ(a.Count(), b.Count());
    for (int i = 0; i < a.Count(); ++i) {
        const TFrameRecord &x = a.Frames[static_cast<std::size_t>(i)], &y = b.Frames[static_cast<std::size_t>(i)];
        EXPECT_EQ(x.Name, y.Name) << i;
        EXPECT_EQ(x.DelayText, y.DelayText) << i;
        EXPECT_EQ(x.Transparent(), y.Transparent()) << i;
        EXPECT_EQ(x.Bitmap().PixelFormat(), y.Bitmap().PixelFormat()) << i;
        EXPECT_TRUE(x.Bitmap() == y.Bitmap()) << i; // pixels, palette and flag
    }
}

std::vector<std::uint8_t> ZipOf(const std::vector<std::pair<std::string, std::string>>& entries)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* src = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t* z = zip_open_from_source(src, ZIP_TRUNCATE, &error);
    zip_source_keep(src);
    for (const auto& [name, data] : entries)
        zip_file_add(z, name.c_str(), zip_source_buffer(z, data.data(), data.size(), 0), 0);
    zip_close(z);
    zip_source_open(src);
    zip_source_seek(src, 0, SEEK_END);
    std::vector<std::uint8_t> out(static_cast<std::size_t>(zip_source_tell(src)));
    zip_source_seek(src, 0, SEEK_SET);
    zip_source_read(src, out.data(), out.size());
    zip_source_close(src);
    zip_source_free(src);
    return out;
}

std::string Png(const TBitmap& b)
{
    const std::vector<std::uint8_t> png = WritePng(b, 1);
    return std::string(png.begin(), png.end());
}

std::string Manifest(int version, int w, int h, const std::string& frames)
{
    return "{\"format\":\"anivor-project\",\"version\":" + std::to_string(version) + ",\"frameWidth\":" + std::to_string(w)
           + ",\"frameHeight\":" + std::to_string(h) + ",\"nextFrameNumber\":3,\"loopCount\":0,\"frames\":[" + frames + "]}";
}

} // namespace

// Save and open give the strip back exactly, and the archive is one anyone can unpack:
// Python's zipfile extracts it and FFmpeg decodes the pictures to the sources.
TEST(ProjectFile, RoundTripIsExactAndTheArchiveIsOpenToOtherTools)
{
    TempDir dir;
    const TProject p = Sample();
    TProjectWriter writer;
    const std::string path = dir.file("sample.anivor");
    writer.Save(path, p);
    const TProjectLoad back = LoadProject(path);
    EXPECT_TRUE(back.Losses.empty());
    ExpectSameDocument(p.Document, back.Project.Document);
    EXPECT_EQ(back.Project.Assembly.Reduction.Palette, rmQuantize);
    EXPECT_EQ(back.Project.Assembly.Reduction.Bits, 5);
    EXPECT_EQ(back.Project.Assembly.Reduction.Dither, dmStucki);
    EXPECT_TRUE(back.Project.Assembly.Merge);
    EXPECT_FALSE(back.Project.Assembly.Crop);
    EXPECT_TRUE(back.Project.Assembly.FramePalettes);
    // Fresh versions: nothing kept by the old ones can be mistaken for these pictures.
    EXPECT_NE(back.Project.Document.Frames[0].Version, p.Document.Frames[0].Version);

    const std::string out = dir.file("unpacked");
    ASSERT_EQ(RunShell("python3 -c \"import zipfile,sys; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])\" '" + path
                       + "' '" + out + "'"),
              0);
    EXPECT_TRUE(std::filesystem::exists(out + "/project.json"));
    for (int i = 0; i < 3; ++i) {
        const std::string png = out + "/frames/0000" + std::to_string(i + 1) + ".png";
        const std::vector<TBitmap> decoded = DecodeWithFFmpeg(dir, png, 256, 256);
        ASSERT_EQ(decoded.size(), 1u) << png;
        TBitmap source = As24Bit(p.Document.Frames[static_cast<std::size_t>(i)].Bitmap());
        source.SetTransparent(false);
        EXPECT_TRUE(decoded[0] == source) << png;
    }

    // A second save of the same strip encodes only the frame that changed.
    TProject changed = p;
    changed.Document.Frames[1] = Frame("Frame4", "250", SolidBitmap(256, 256, clRed), true);
    writer.Archive(changed);
    EXPECT_EQ(writer.LastEncoded(), 1);
    ExpectSameDocument(changed.Document, ReadProject(writer.Archive(changed), "x").Project.Document);
}

// Damaged and hostile archives: refused with a message naming the file, or restored as
// far as they can be read with each loss said.
TEST(ProjectFile, DamagedArchivesAreRefusedOrPartlyRestored)
{
    TempDir dir;
    TProject p = Sample();
    p.Document.Frames.push_back(Frame("Frame3", "10", SolidBitmap(256, 256, clBlue), false));
    const std::vector<std::uint8_t> whole = TProjectWriter().Archive(p);

    // Cut in the third picture: the manifest and the first two frames come back.
    std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(whole.size() * 3 / 4));
    const TProjectLoad partial = ReadProject(cut, "cut.anivor");
    ASSERT_GE(partial.Project.Document.Count(), 2);
    EXPECT_LT(partial.Project.Document.Count(), 4);
    EXPECT_EQ(partial.Project.Document.Frames[0].Name, "Frame1");
    EXPECT_TRUE(partial.Project.Document.Frames[0].Bitmap() == p.Document.Frames[0].Bitmap());
    ASSERT_FALSE(partial.Losses.empty());
    EXPECT_NE(partial.Losses.front().find("damaged"), std::string::npos) << partial.Losses.front();

    // Bad JSON: the pictures in order, with new names and the default delay.
    const std::string frame = Png(SolidBitmap(8, 6, clRed));
    const TProjectLoad noManifest = ReadProject(ZipOf({{"project.json", "{not json"}, {"frames/00001.png", frame},
                                                       {"frames/00002.png", Png(SolidBitmap(8, 6, clLime))}}),
                                                "bad.anivor");
    ASSERT_EQ(noManifest.Project.Document.Count(), 2);
    EXPECT_EQ(noManifest.Project.Document.Frames[1].Name, "Frame2");
    EXPECT_EQ(noManifest.Project.Document.Frames[1].DelayText, "10");
    EXPECT_EQ(noManifest.Project.Document.FrameWidth, 8);
    EXPECT_GE(noManifest.Losses.size(), 2u);

    // A picture larger than the frame size is left out, named; the rest stays.
    const std::string f1 = R"({"name":"Frame1","delay":"10","transparent":false,"picture":"a.png"})";
    const std::string f2 = R"({"name":"Frame2","delay":"20","transparent":true,"picture":"b.png"})";
    const TProjectLoad big = ReadProject(
        ZipOf({{"project.json", Manifest(1, 8, 6, f1 + "," + f2)}, {"a.png", Png(SolidBitmap(5000, 5000, clRed))},
               {"b.png", frame}}),
        "big.anivor");
    ASSERT_EQ(big.Project.Document.Count(), 1);
    EXPECT_EQ(big.Project.Document.Frames[0].Name, "Frame2");
    EXPECT_TRUE(big.Project.Document.Frames[0].Transparent());
    ASSERT_EQ(big.Losses.size(), 1u);
    EXPECT_EQ(big.Losses[0], "frame 1 (Frame1): its picture is 5000 x 5000, not the project's 8 x 6");

    // Refused outright, the file named.
    const auto refusal = [&](const std::vector<std::uint8_t>& bytes) { return ThrownMessage([&] { ReadProject(bytes, "x.anivor"); }); };
    EXPECT_EQ(refusal(ZipOf({{"project.json", Manifest(2, 8, 6, "")}})),
              "x.anivor: this project was saved by a newer Anivor (project format 2); this Anivor reads format 1 and older");
    EXPECT_EQ(refusal({'G', 'I', 'F', '8', '9', 'a'}), "x.anivor: not an Anivor project (Not a zip archive)");
    EXPECT_EQ(refusal(ZipOf({{"project.json", Manifest(1, 0, 6, "")}})), "x.anivor: the project's frame size 0 x 6 is invalid");
    std::vector<std::pair<std::string, std::string>> many{{"project.json", Manifest(1, 8, 6, "")}};
    for (int i = 0; i < 100000; ++i)
        many.emplace_back("e" + std::to_string(i), "");
    const std::uint64_t before = MemoryBudget::InUse();
    EXPECT_EQ(refusal(ZipOf(many)), "x.anivor: the archive holds 100001 entries, more than a project of 0 frames");
    EXPECT_EQ(MemoryBudget::InUse(), before);

    // Frames that would pass the memory budget are refused before any is decoded.
    {
        const std::string png = Png(SolidBitmap(300, 300, clRed));
        MemoryBudget::TScopedLimit limit(1u << 20);
        std::string frames;
        std::vector<std::pair<std::string, std::string>> entries;
        for (int i = 0; i < 10; ++i) {
            frames += std::string(i ? "," : "") + R"({"name":"F","delay":"10","picture":"p)" + std::to_string(i) + R"("})";
            entries.emplace_back("p" + std::to_string(i), png);
        }
        entries.emplace_back("project.json", Manifest(1, 300, 300, frames));
        EXPECT_NE(refusal(ZipOf(entries)).find("a project of 10 frames of 300 x 300"), std::string::npos) << refusal(ZipOf(entries));
    }

    // Only regular files are read.
    EXPECT_THROW(LoadProject(dir.path().string()), Exception);

    // Found by fuzzing: a damaged archive (manifest cut, so the frame size comes from a
    // picture's header) whose entry claims 4 GB unpacked from a few packed bytes: refused
    // for the frames' size before any entry is unpacked.
    const std::string hex =
        "504b030414000000000021268a5df0328b7880010000800100000c00000070726f6a6563742e6a736f6e7b22666f726d"
        "6174223a22616e69766f722d70726f6a656374222c2276657273696f6e223a312c226672616d655769647468223a342c"
        "226672616d65486569676874223a332c226e6578744672616d654e756d626572223a332c226c6f6f70436f756e74223a"
        "302c22617373656d626c79223a7b2270616c65747465223a226f7074652c2270696374757265223a226672616d65732f"
        "30303030312e706e67227d2c7b226e616d65223a224672616d6532222c2264656c6179223a2237222c227472616e7370"
        "6172656e74223a747275652c2270696374757265223a226672616d65732f30303030322e706e67227d5d7d504b030414"
        "000000000021268a5d620099c74900000049006e74223a66616c73652c2270696374757265223a226672616d65732f30"
        "303030312e706e67227d2c7b226e616d65223a224672616d6532222c2264656c6179223a2237222c227472616e737061"
        "72656e74223a747275652c2270696374757265223a226672616d65732f30303030322e706e67227d5d7d504b03041400"
        "0000000021268a5d620099c74900000049000000100000006672616d65732f30303030312e706e6789504e470d0a1a0a"
        "0000000d494844520000c000470c383900c0504b03041400000000001049444154789c6338c1c000470c383900c05709"
        "618f5616fe0000000049454e44ae426082504b030414000000000021268a5d73f6cae048000000480000001000000066"
        "72616d65732f302a3030322e706e6789504e470d0a1a0a0000000d49484452000000040000000308020000003b963991"
        "0000000f49444154789c636060388184707100ad970961aef7fb050000000049454e44ae426082504b01021403140000"
        "00000021268a5df0328b7880010000800100000c000000000000000000000080010000000070726f6a6563742e6a736f"
        "6e504b0102140314000000000021268a5d620099c749000000490000fd1000000000000000000000008001aa01000066"
        "72616d65732f30303030312e706e67504b0102140314000000000021268a5d73f6cae048000000480000001000000000"
        "000000000000008001210200006672616d65732f30303030322e706e67504b05060000000003000300b6000000970200"
        "000000";
    std::vector<std::uint8_t> found;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        found.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    const std::uint64_t held = MemoryBudget::InUse();
    EXPECT_NE(refusal(found).find("a project of 1 frames of 49152 x 1191983161 needs"), std::string::npos);
    EXPECT_EQ(MemoryBudget::InUse(), held);
}

// The autosave writes its copy off the caller's thread, encodes only what changed, and a
// copy is offered back only when the run that wrote it is gone.
TEST(Autosave, WritesOffTheCallersThreadAndFindsCopiesOfDeadRuns)
{
    TempDir dir;
    const std::string folder = RecoveryFolder(dir.path().string() + "/");
    TProject p = Sample();
    {
        TAutosaver saver(RecoveryFileOfThisRun(folder));
        std::thread::id writer;
        saver.OnWritten = [&](bool ok) {
            EXPECT_TRUE(ok);
            writer = std::this_thread::get_id();
        };
        saver.Request(p);
        saver.Flush();
        EXPECT_NE(writer, std::this_thread::get_id());
        ExpectSameDocument(LoadProject(saver.Path()).Project.Document, p.Document);
        // A copy of this run is never offered back while it runs.
        EXPECT_TRUE(FindRecoveryFiles(folder).empty());

        p.Document.Frames[2] = Frame("Frame2", "abc", SolidBitmap(256, 256, clLime), true);
        saver.Request(p);
        saver.Flush();
        ExpectSameDocument(LoadProject(saver.Path()).Project.Document, p.Document);
        EXPECT_EQ(saver.LastError(), "");
        saver.Remove();
        EXPECT_FALSE(std::filesystem::exists(saver.Path()));
    }
    // One left by a run that died (no such process), one by a live process that is not
    // Anivor (its number reused): both are offered; this run's own is not.
    std::filesystem::create_directories(folder);
    TProjectWriter().Save(folder + "anivor-2147483000.anivor", p);
    TProjectWriter().Save(folder + "anivor-1.anivor", p);
    TProjectWriter().Save(RecoveryFileOfThisRun(folder), p);
    WriteTestFile(folder + "notes.txt", {'x'});
    const std::vector<std::string> found = FindRecoveryFiles(folder);
    ASSERT_EQ(found.size(), 2u);

    // Marks tell changed documents apart without holding pictures.
    TStripDocument d = p.Document;
    const TDocumentMark mark(d);
    EXPECT_EQ(TDocumentMark(d), mark);
    d.Frames[0].DelayText = "8";
    EXPECT_FALSE(TDocumentMark(d) == mark);
    d = p.Document;
    d.LoopCount = 9;
    EXPECT_FALSE(TDocumentMark(d) == mark);
}
