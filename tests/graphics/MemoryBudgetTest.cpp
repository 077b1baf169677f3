#include "graphics/Bitmap.h"
#include "graphics/MemoryBudget.h"

#include <gtest/gtest.h>

// Bitmaps hold their pixels against the budget; a refusal names the size and the limit
// and leaves the bitmap it was asked of untouched.
TEST(MemoryBudget, BitmapsCountAndRefusalsChangeNothing)
{
    const std::uint64_t before = MemoryBudget::InUse();
    MemoryBudget::TScopedLimit limit(before + 1024 * 1024);
    TBitmap a(100, 100);
    EXPECT_EQ(MemoryBudget::InUse(), before + 300 * 100);
    a.SetPixel(5, 5, clRed);
    try {
        a.SetSize(2000, 2000);
        FAIL() << "no refusal";
    } catch (const EOutOfMemory& e) {
        const std::string msg = e.what();
        EXPECT_EQ(msg.rfind("Not enough memory: a 2000 x 2000 picture needs 11 MB", 0), 0u) << msg;
        EXPECT_NE(msg.find("the memory limit is 1 MB"), std::string::npos) << msg;
    }
    EXPECT_EQ(a.Width(), 100);
    EXPECT_EQ(a.Pixel(5, 5), clRed);
    TBitmap big(500, 400);
    EXPECT_THROW({ TBitmap copy(big); }, EOutOfMemory);
    TBitmap small(10, 10);
    EXPECT_THROW(small = big, EOutOfMemory);
    EXPECT_EQ(small.Width(), 10);
    {
        TBitmap moved(std::move(a));
        EXPECT_EQ(moved.Pixel(5, 5), clRed);
    }
    big = TBitmap();
    small = TBitmap();
    EXPECT_EQ(MemoryBudget::InUse(), before);
}

TEST(MemoryBudget, SizesParseAndFormat)
{
    EXPECT_EQ(MemoryBudget::ParseSize("2G"), std::uint64_t(2) << 30);
    EXPECT_EQ(MemoryBudget::ParseSize(" 512 MiB "), std::uint64_t(512) << 20);
    EXPECT_EQ(MemoryBudget::ParseSize("100"), 100u);
    EXPECT_EQ(MemoryBudget::ParseSize("64kb"), 65536u);
    EXPECT_FALSE(MemoryBudget::ParseSize("-1"));
    EXPECT_FALSE(MemoryBudget::ParseSize("G"));
    EXPECT_FALSE(MemoryBudget::ParseSize("12 apples"));
    EXPECT_FALSE(MemoryBudget::ParseSize("99999999999999999999"));
    EXPECT_FALSE(MemoryBudget::ParseSize("99999999999G"));
    EXPECT_EQ(MemoryBudget::FormatBytes(768u << 20), "768 MB");
    EXPECT_EQ(MemoryBudget::FormatBytes(1536u << 20), "1.5 GB");
    EXPECT_EQ(MemoryBudget::FormatBytes(100), "100 bytes");
    EXPECT_EQ(MemoryBudget::PictureBytes(3, 2), 24u); // rows of 9 bytes padded to 12
    EXPECT_EQ(MemoryBudget::PictureBytes(1 << 30, 1 << 30, 1 << 30), UINT64_MAX);
}
