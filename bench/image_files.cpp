// Decoding and writing picture files at a typical frame size (1920 x 1080).
#include "graphics/BmpFile.h"
#include "graphics/IcoFile.h"
#include "graphics/PngFile.h"

#include <benchmark/benchmark.h>

#include <png.h>

namespace {

TBitmap picture(TPixelFormat format)
{
    TBitmap b(1920, 1080, format);
    if (format == TPixelFormat::pf8bit) {
        std::vector<TColor> pal;
        for (int i = 0; i < 256; ++i)
            pal.push_back(RGB(i, 255 - i, i / 2));
        b.SetPalette(pal);
    }
    for (int y = 0; y < b.Height(); ++y) {
        std::uint8_t* row = b.ScanLine(y);
        for (int i = 0; i < b.Width() * b.BytesPerPixel(); ++i)
            row[i] = static_cast<std::uint8_t>((i / 64 + y / 64) * 37);
    }
    return b;
}

void pngWrite(png_structp png, png_bytep data, png_size_t n)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}

std::vector<std::uint8_t> pngOf(const TBitmap& b)
{
    std::vector<std::uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, pngWrite, nullptr);
    png_set_IHDR(png, info, b.Width(), b.Height(), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_bgr(png);
    for (int y = 0; y < b.Height(); ++y)
        png_write_row(png, b.ScanLine(y));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

void BM_ReadBmp24(benchmark::State& state)
{
    const std::vector<std::uint8_t> file = EncodeBmp(picture(TPixelFormat::pf24bit));
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadBmp(file.data(), file.size()));
}
BENCHMARK(BM_ReadBmp24)->Unit(benchmark::kMillisecond);

void BM_ReadBmp8(benchmark::State& state)
{
    const std::vector<std::uint8_t> file = EncodeBmp(picture(TPixelFormat::pf8bit));
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadBmp(file.data(), file.size()));
}
BENCHMARK(BM_ReadBmp8)->Unit(benchmark::kMillisecond);

void BM_EncodeBmp24(benchmark::State& state)
{
    const TBitmap b = picture(TPixelFormat::pf24bit);
    for (auto _ : state)
        benchmark::DoNotOptimize(EncodeBmp(b));
}
BENCHMARK(BM_EncodeBmp24)->Unit(benchmark::kMillisecond);

void BM_ReadPng(benchmark::State& state)
{
    const std::vector<std::uint8_t> file = pngOf(picture(TPixelFormat::pf24bit));
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadPng(file.data(), file.size()));
}
BENCHMARK(BM_ReadPng)->Unit(benchmark::kMillisecond);

} // namespace
