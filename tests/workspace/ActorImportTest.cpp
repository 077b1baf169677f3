#include "workspace/ActorImport.h"

#include "gif/GIFImage.h"
#include "graphics/BmpFile.h"
#include "graphics/MemoryBudget.h"
#include "support/TestSupport.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

constexpr TColor kGreen = RGB(0, 160, 0);

// The coverage of an actor picture as rows: '#' covers, '.' shows through, '~' blends.
std::vector<std::string> coverage(const TActorPicture& p)
{
    std::vector<std::string> rows;
    for (int y = 0; y < p.Height(); ++y) {
        std::string row;
        for (int x = 0; x < p.Width(); ++x)
            row += p.Alpha(x, y) == 255 ? '#' : p.Alpha(x, y) == 0 ? '.' : '~';
        rows.push_back(row);
    }
    return rows;
}

// A 3 x 2 picture: white at the bottom-left and at the top-right, green elsewhere.
TBitmap keyedPicture()
{
    return BitmapFromRows({"ggw", "wgg"}, {{'g', kGreen}, {'w', clWhite}});
}

} // namespace

// Every kind Import takes loads as an actor; files that bring no transparency lose the
// pixels of their bottom-left colour, PNG alpha and GIF transparency are kept.
TEST(ActorImport, EveryPictureKindWithItsTransparency)
{
    TempDir dir;
    SaveBmpFile(keyedPicture(), dir.file("white.bmp"));
    const TActorPicture bmp = LoadActorPicture(dir.file("white.bmp"));
    EXPECT_EQ(coverage(bmp), (std::vector<std::string>{"##.", ".##"}));
    EXPECT_EQ(bmp.Image().Pixel(0, 0), kGreen);

    // PNG with alpha: transparent, half and opaque pixels; the bottom-left rule does not apply.
    QImage png(3, 1, QImage::Format_ARGB32);
    png.setPixel(0, 0, qRgba(255, 0, 0, 0));
    png.setPixel(1, 0, qRgba(255, 0, 0, 128));
    png.setPixel(2, 0, qRgba(255, 0, 0, 255));
    ASSERT_TRUE(png.save(QString::fromStdString(dir.file("alpha.PNG")), "PNG"));
    const TActorPicture alpha = LoadActorPicture(dir.file("alpha.PNG"));
    EXPECT_EQ(coverage(alpha), (std::vector<std::string>{".~#"}));
    EXPECT_EQ(alpha.Image().Pixel(2, 0), clRed);

    // An opaque PNG follows the bottom-left rule like a BMP.
    QImage opaque(2, 2, QImage::Format_RGB32);
    opaque.fill(qRgb(0, 0, 255));
    opaque.setPixel(0, 1, qRgb(255, 255, 255));
    ASSERT_TRUE(opaque.save(QString::fromStdString(dir.file("opaque.png")), "PNG"));
    EXPECT_EQ(coverage(LoadActorPicture(dir.file("opaque.png"))), (std::vector<std::string>{"##", ".#"}));

    // GIF: the first frame; its transparent index shows through, wherever it lies.
    TBitmap frame = BitmapFromRows({"gr", "rg"}, {{'g', clLime}, {'r', clRed}});
    frame.SetTransparent(true); // the bottom-left pixel's colour, red
    TGIFImage gif;
    gif.Add(frame);
    gif.Add(SolidBitmap(2, 2, clBlue));
    gif.SaveToFile(dir.file("anim.gif"));
    const TActorPicture g = LoadActorPicture(dir.file("anim.gif"));
    EXPECT_EQ(coverage(g), (std::vector<std::string>{"#.", ".#"}));
    EXPECT_EQ(g.Image().Pixel(0, 0), clLime);

    // JPEG: the bottom-left rule (a lossy file keeps only exact matches out).
    QImage jpeg(8, 8, QImage::Format_RGB32);
    jpeg.fill(qRgb(255, 255, 255));
    ASSERT_TRUE(jpeg.save(QString::fromStdString(dir.file("photo.jpg")), "JPEG"));
    EXPECT_EQ(LoadActorPicture(dir.file("photo.jpg")).Width(), 8);
}

// Files that cannot be used say why, naming the file; nothing is half loaded.
TEST(ActorImport, BadFilesAreRefusedWithTheDecodersMessage)
{
    TempDir dir;
    WriteTestFile(dir.file("broken.png"), {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0});
    const std::string broken = ThrownMessage([&] { LoadActorPicture(dir.file("broken.png")); });
    EXPECT_EQ(broken.rfind("broken.png: ", 0), 0u) << broken;
    EXPECT_GT(broken.size(), std::string("broken.png: ").size());

    WriteTestFile(dir.file("notes.txt"), {'h', 'i'});
    EXPECT_NE(ThrownMessage([&] { LoadActorPicture(dir.file("notes.txt")); }).find("not a picture"), std::string::npos);
    EXPECT_NE(ThrownMessage([&] { LoadActorPicture(dir.file("missing.bmp")); }).find("Unable to read"),
              std::string::npos);
    EXPECT_NE(ThrownMessage([&] { LoadActorPicture(dir.path().string()); }).find("Unable to read"), std::string::npos);

    // A BMP of 0 x 0 pixels.
    std::vector<unsigned char> empty = EncodeBmp(SolidBitmap(1, 1, clRed));
    for (int offset : {18, 22})
        empty[static_cast<std::size_t>(offset)] = 0;
    WriteTestFile(dir.file("empty.bmp"), empty);
    EXPECT_NE(ThrownMessage([&] { LoadActorPicture(dir.file("empty.bmp")); }), "");

    // A picture larger than the memory budget allows.
    QImage big(2000, 2000, QImage::Format_RGB32);
    big.fill(qRgb(1, 2, 3));
    ASSERT_TRUE(big.save(QString::fromStdString(dir.file("big.png")), "PNG"));
    {
        MemoryBudget::TScopedLimit limit(1 << 20);
        EXPECT_THROW(LoadActorPicture(dir.file("big.png")), EOutOfMemory);
    }
    EXPECT_EQ(LoadActorPicture(dir.file("big.png")).Width(), 2000);
}
