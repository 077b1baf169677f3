#include "ImageFileHelpers.h"

#include <png.h>

#include <cstdio>
#include <jpeglib.h>

#include <cstdlib>

void Put16(Bytes& b, std::uint32_t v)
{
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(Bytes& b, std::uint32_t v)
{
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

Bytes BmpFile(const Bytes& dib, const Bytes& pixels)
{
    Bytes b = {'B', 'M'};
    Put32(b, static_cast<std::uint32_t>(14 + dib.size() + pixels.size()));
    Put32(b, 0);
    Put32(b, static_cast<std::uint32_t>(14 + dib.size()));
    b.insert(b.end(), dib.begin(), dib.end());
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

Bytes InfoHeader(int width, int height, int bits, std::uint32_t compression, std::uint32_t colorsUsed, bool v5,
                 const std::uint32_t* masks)
{
    Bytes b;
    Put32(b, v5 ? 124 : 40);
    Put32(b, static_cast<std::uint32_t>(width));
    Put32(b, static_cast<std::uint32_t>(height));
    Put16(b, 1);
    Put16(b, static_cast<std::uint32_t>(bits));
    Put32(b, compression);
    Put32(b, 0);
    Put32(b, 2835);
    Put32(b, 2835);
    Put32(b, colorsUsed);
    Put32(b, 0);
    if (v5) {
        for (int i = 0; i < 4; ++i)
            Put32(b, masks ? masks[i] : 0);
        b.resize(124, 0);
    } else if (masks) {
        for (int i = 0; i < 3; ++i)
            Put32(b, masks[i]);
    }
    return b;
}

Bytes PaletteBytes(const std::vector<TColor>& colours)
{
    Bytes b;
    for (TColor c : colours) {
        b.push_back(static_cast<std::uint8_t>(GetBValue(c)));
        b.push_back(static_cast<std::uint8_t>(GetGValue(c)));
        b.push_back(static_cast<std::uint8_t>(GetRValue(c)));
        b.push_back(0);
    }
    return b;
}

namespace {

void pngWrite(png_structp png, png_bytep data, png_size_t n)
{
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}

void pngFlush(png_structp) {}

} // namespace

Bytes EncodePng(int width, int height, int colorType, int bitDepth, const std::vector<Bytes>& rows, bool interlaced,
                const std::vector<TColor>& palette, const Bytes& paletteAlpha)
{
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)))
        std::abort(); // the tests only write valid files
    png_set_write_fn(png, &out, pngWrite, pngFlush);
    png_set_IHDR(png, info, width, height, bitDepth, colorType,
                 interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> pal;
    for (TColor c : palette)
        pal.push_back(png_color{static_cast<png_byte>(GetRValue(c)), static_cast<png_byte>(GetGValue(c)),
                                static_cast<png_byte>(GetBValue(c))});
    if (!pal.empty())
        png_set_PLTE(png, info, pal.data(), static_cast<int>(pal.size()));
    if (!paletteAlpha.empty())
        png_set_tRNS(png, info, paletteAlpha.data(), static_cast<int>(paletteAlpha.size()), nullptr);
    png_write_info(png, info);
    std::vector<png_bytep> pointers;
    for (const Bytes& r : rows)
        pointers.push_back(const_cast<png_bytep>(r.data()));
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

Bytes EncodeJpeg(int width, int height, int components, const Bytes& pixels, int quality, bool progressive)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = components;
    cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (progressive)
        jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(pixels.data() + cinfo.next_scanline * width * components);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}
