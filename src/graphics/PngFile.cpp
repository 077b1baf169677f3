#include "PngFile.h"

#include "ByteOrder.h"
#include "Exception.h"
#include "FileWrite.h"
#include "MemoryBudget.h"

#include <libdeflate.h>
#include <png.h>

#include <csetjmp>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <algorithm>
#include <memory>
#include <new>

namespace {

const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// Everything the decoder touches lives here, owned by the caller, so the function that
// calls setjmp holds no object with a destructor (libpng reports errors by longjmp).
struct PngJob {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    std::size_t pos = 0;
    TBitmap* out = nullptr;
    std::vector<std::uint8_t>* alpha = nullptr; // null: composite over white
    std::vector<std::uint8_t>* buffer = nullptr; // rows with alpha before splitting
    TMemoryReservation* scratch = nullptr;       // holds the buffer and alpha bytes
    bool keepPalette = false; // an opaque palette file becomes an 8-bit bitmap
    bool outOfMemory = false; // refused by the memory budget, not a bad file
    char message[256] = {};
};

void setMessage(PngJob* job, const char* text)
{
    std::snprintf(job->message, sizeof job->message, "%s", text);
}

void onError(png_structp png, png_const_charp message)
{
    setMessage(static_cast<PngJob*>(png_get_error_ptr(png)), message);
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

void onRead(png_structp png, png_bytep out, png_size_t n)
{
    auto* job = static_cast<PngJob*>(png_get_io_ptr(png));
    if (n > job->size - job->pos)
        png_error(png, "unexpected end of file");
    std::memcpy(out, job->data + job->pos, n);
    job->pos += n;
}

// Allocates the bitmap (and the alpha rows); false with a message when refused.
bool prepare(PngJob* job, png_uint_32 width, png_uint_32 height, int fileBitsPerPixel, int channels,
             bool interlaced, bool indexed = false) noexcept
{
    try {
        CheckBitmapSize(width, height, "PNG image");
        // Deflate packs at most about 1032 bytes into one, so a file far too small for
        // its claimed size is refused before the memory is taken.
        const std::uint64_t raw = static_cast<std::uint64_t>(height)
            * (1 + (static_cast<std::uint64_t>(width) * fileBitsPerPixel + 7) / 8);
        if (raw / 1032 > job->size)
            throw EInvalidGraphic("PNG file is truncated");
        // An interlaced picture with alpha is read whole before it is split: 4 bytes a
        // pixel beside the picture itself.
        const std::size_t rows = channels == 4 ? (interlaced ? height : 1) : 0;
        const std::uint64_t scratch = std::uint64_t(rows) * width * 4 + (job->alpha ? std::uint64_t(width) * height : 0);
        const std::string what = "a " + std::to_string(width) + " x " + std::to_string(height) + " PNG image";
        MemoryBudget::Check(MemoryBudget::PictureBytes(width, height, 1, indexed ? 1 : 3) + scratch, what);
        job->scratch->Reserve(scratch, what);
        *job->out = TBitmap(static_cast<int>(width), static_cast<int>(height),
                            indexed ? TPixelFormat::pf8bit : TPixelFormat::pf24bit);
        if (rows > 0)
            job->buffer->assign(rows * width * 4, 0);
        if (job->alpha)
            job->alpha->assign(static_cast<std::size_t>(width) * height, 255);
        return true;
    } catch (const EOutOfMemory& e) {
        job->outOfMemory = true;
        setMessage(job, e.what());
    } catch (const std::bad_alloc&) {
        job->outOfMemory = true;
        setMessage(job, MemoryBudget::SystemRefusalMessage().c_str());
    } catch (const std::exception& e) {
        setMessage(job, e.what());
    } catch (...) {
        setMessage(job, "out of memory");
    }
    return false;
}

// Moves one row of blue, green, red, alpha into the bitmap.
void storeRow(PngJob* job, int y, const std::uint8_t* bgra) noexcept
{
    const int w = job->out->Width();
    std::uint8_t* d = job->out->ScanLine(y);
    if (job->alpha) {
        std::uint8_t* a = job->alpha->data() + static_cast<std::size_t>(y) * w;
        for (int x = 0; x < w; ++x) {
            d[3 * x] = bgra[4 * x];
            d[3 * x + 1] = bgra[4 * x + 1];
            d[3 * x + 2] = bgra[4 * x + 2];
            a[x] = bgra[4 * x + 3];
        }
        return;
    }
    for (int x = 0; x < w; ++x) {
        const int a = bgra[4 * x + 3];
        for (int c = 0; c < 3; ++c)
            d[3 * x + c] = static_cast<std::uint8_t>((bgra[4 * x + c] * a + 255 * (255 - a) + 127) / 255);
    }
}

bool decode(PngJob* job)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, job, onError, onWarning);
    if (!png) {
        setMessage(job, "out of memory");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        setMessage(job, "out of memory");
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, job, onRead);
    // The size is checked by prepare() against the program's own limit.
    png_set_user_limits(png, 0x7FFFFFFF, 0x7FFFFFFF);
    png_read_info(png, info);

    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const int depth = png_get_bit_depth(png, info);
    const int type = png_get_color_type(png, info);
    const bool interlaced = png_get_interlace_type(png, info) != PNG_INTERLACE_NONE;
    const int fileBits = depth * png_get_channels(png, info);

    const bool hasAlpha = (type & PNG_COLOR_MASK_ALPHA) || png_get_valid(png, info, PNG_INFO_tRNS);
    if (job->keepPalette && type == PNG_COLOR_TYPE_PALETTE && !hasAlpha) {
        png_colorp colors = nullptr;
        int count = 0;
        png_get_PLTE(png, info, &colors, &count);
        if (!prepare(job, width, height, fileBits, 1, interlaced, true)) {
            png_destroy_read_struct(&png, &info, nullptr);
            return false;
        }
        std::vector<TColor> palette;
        for (int i = 0; i < count; ++i)
            palette.push_back(RGB(colors[i].red, colors[i].green, colors[i].blue));
        job->out->SetPalette(palette);
        if (depth < 8)
            png_set_packing(png);
        const int passes = png_set_interlace_handling(png);
        png_read_update_info(png, info);
        for (int pass = 0; pass < passes; ++pass)
            for (int y = 0; y < static_cast<int>(height); ++y)
                png_read_row(png, job->out->ScanLine(y), nullptr);
        png_read_end(png, nullptr);
        png_destroy_read_struct(&png, &info, nullptr);
        return true;
    }
    // Checked and allocated before libpng sets up its own row buffers for the claimed width.
    if (!prepare(job, width, height, fileBits, hasAlpha ? 4 : 3, interlaced)) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    if (type == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (type == PNG_COLOR_TYPE_GRAY && depth < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(png);
    if (depth == 16)
        png_set_strip_16(png);
    if (type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    png_set_bgr(png);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const int channels = png_get_channels(png, info);
    if (channels != (hasAlpha ? 4 : 3))
        png_error(png, "unexpected pixel layout");

    const int h = static_cast<int>(height);
    if (channels == 3) {
        for (int pass = 0; pass < passes; ++pass)
            for (int y = 0; y < h; ++y)
                png_read_row(png, job->out->ScanLine(y), nullptr);
    } else if (!interlaced) {
        for (int y = 0; y < h; ++y) {
            png_read_row(png, job->buffer->data(), nullptr);
            storeRow(job, y, job->buffer->data());
        }
    } else {
        const std::size_t stride = static_cast<std::size_t>(width) * 4;
        for (int pass = 0; pass < passes; ++pass)
            for (int y = 0; y < h; ++y)
                png_read_row(png, job->buffer->data() + y * stride, nullptr);
        for (int y = 0; y < h; ++y)
            storeRow(job, y, job->buffer->data() + y * stride);
    }
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

// The common files without libpng: 8-bit RGB or RGBA, not interlaced, no tRNS or PLTE,
// every critical chunk's checksum right, the image data in one run of IDAT chunks that
// inflates to exactly the rows. The data is inflated at once (libdeflate, two to three
// times zlib's speed, the stream's own checksum checked) and the rows unfiltered here;
// the pixels are libpng's to the bit. Anything else, or anything odd, goes to libpng,
// which decodes it or says what is wrong.
enum class TFastPath { Done, Failed, NotMine };

TFastPath decodeFast(PngJob* job)
{
    const std::uint8_t* data = job->data;
    const std::size_t size = job->size;
    std::size_t pos = 8;
    // One chunk: its length, type and data; false at the end of the bytes or a bad length.
    struct TChunk {
        std::uint32_t Length = 0;
        const std::uint8_t* Type = nullptr;
        const std::uint8_t* Data = nullptr;
    };
    auto next = [&](TChunk& c) {
        if (size - pos < 12)
            return false;
        c.Length = ReadBE32(data + pos);
        if (c.Length > size - pos - 12)
            return false;
        c.Type = data + pos + 4;
        c.Data = data + pos + 8;
        pos += 12 + static_cast<std::size_t>(c.Length);
        return true;
    };
    auto checksumRight = [](const TChunk& c) {
        const std::uint32_t crc = static_cast<std::uint32_t>(libdeflate_crc32(0, c.Type, 4 + static_cast<std::size_t>(c.Length)));
        return crc == ReadBE32(c.Data + c.Length);
    };
    auto is = [](const TChunk& c, const char* type) { return std::memcmp(c.Type, type, 4) == 0; };

    TChunk c;
    if (!next(c) || !is(c, "IHDR") || c.Length != 13 || !checksumRight(c))
        return TFastPath::NotMine;
    const std::uint32_t width = ReadBE32(c.Data), height = ReadBE32(c.Data + 4);
    const int depth = c.Data[8], type = c.Data[9];
    if (depth != 8 || (type != 2 && type != 6) || c.Data[10] != 0 || c.Data[11] != 0 || c.Data[12] != 0 || width == 0
        || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF)
        return TFastPath::NotMine;
    const int channels = type == 6 ? 4 : 3;
    // The image data: one run of IDAT chunks, then IEND.
    std::vector<TChunk> idat;
    bool ended = false;
    while (!ended && next(c)) {
        if (is(c, "IDAT")) {
            if (!idat.empty() && idat.back().Data + idat.back().Length + 4 != c.Type - 4)
                return TFastPath::NotMine; // IDATs apart: libpng says what it thinks of them
            if (!checksumRight(c))
                return TFastPath::NotMine;
            idat.push_back(c);
        } else if (is(c, "IEND")) {
            if (!checksumRight(c))
                return TFastPath::NotMine;
            ended = true;
        } else if ((c.Type[0] & 0x20) == 0 || is(c, "tRNS") || !idat.empty()) {
            // A critical chunk (PLTE and others), transparency, or a chunk after the data.
            return TFastPath::NotMine;
        }
    }
    if (!ended || idat.empty())
        return TFastPath::NotMine;

    if (!prepare(job, width, height, 8 * channels, channels, false))
        return TFastPath::Failed;
    const std::size_t stride = static_cast<std::size_t>(width) * channels;
    const std::size_t inflated = static_cast<std::size_t>(height) * (stride + 1);
    std::vector<std::uint8_t> packed, rows;
    try {
        job->scratch->Reserve(job->scratch->Bytes() + inflated, "a " + std::to_string(width) + " x "
                                                                    + std::to_string(height) + " PNG image");
        rows.resize(inflated);
        if (idat.size() > 1)
            for (const TChunk& part : idat)
                packed.insert(packed.end(), part.Data, part.Data + part.Length);
    } catch (const EOutOfMemory& e) {
        job->outOfMemory = true;
        setMessage(job, e.what());
        return TFastPath::Failed;
    } catch (const std::bad_alloc&) {
        job->outOfMemory = true;
        setMessage(job, MemoryBudget::SystemRefusalMessage().c_str());
        return TFastPath::Failed;
    }
    const std::uint8_t* in = idat.size() > 1 ? packed.data() : idat.front().Data;
    const std::size_t inSize = idat.size() > 1 ? packed.size() : idat.front().Length;
    thread_local std::unique_ptr<libdeflate_decompressor, decltype(&libdeflate_free_decompressor)> inflater(
        libdeflate_alloc_decompressor(), &libdeflate_free_decompressor);
    if (!inflater)
        return TFastPath::NotMine;
    std::size_t usedIn = 0, madeOut = 0;
    if (libdeflate_zlib_decompress_ex(inflater.get(), in, inSize, rows.data(), rows.size(), &usedIn, &madeOut)
            != LIBDEFLATE_SUCCESS
        || usedIn != inSize || madeOut != inflated)
        return TFastPath::NotMine;

    // Unfiltered in place, each row against the one before (unfiltered already).
    const int bpp = channels;
    const std::uint8_t* prior = nullptr;
    for (std::uint32_t y = 0; y < height; ++y) {
        std::uint8_t* row = rows.data() + static_cast<std::size_t>(y) * (stride + 1);
        const int filter = row[0];
        std::uint8_t* p = row + 1;
        switch (filter) {
        case 0:
            break;
        case 1:
            for (std::size_t i = bpp; i < stride; ++i)
                p[i] = static_cast<std::uint8_t>(p[i] + p[i - bpp]);
            break;
        case 2:
            if (prior)
                for (std::size_t i = 0; i < stride; ++i)
                    p[i] = static_cast<std::uint8_t>(p[i] + prior[i]);
            break;
        case 3:
            for (std::size_t i = 0; i < stride; ++i) {
                const int left = i >= static_cast<std::size_t>(bpp) ? p[i - bpp] : 0;
                const int up = prior ? prior[i] : 0;
                p[i] = static_cast<std::uint8_t>(p[i] + ((left + up) >> 1));
            }
            break;
        case 4:
            for (std::size_t i = 0; i < stride; ++i) {
                const int a = i >= static_cast<std::size_t>(bpp) ? p[i - bpp] : 0;
                const int b = prior ? prior[i] : 0;
                const int cc = prior && i >= static_cast<std::size_t>(bpp) ? prior[i - bpp] : 0;
                const int pa = std::abs(b - cc), pb = std::abs(a - cc), pc = std::abs(a + b - 2 * cc);
                const int predicted = pa <= pb && pa <= pc ? a : pb <= pc ? b : cc;
                p[i] = static_cast<std::uint8_t>(p[i] + predicted);
            }
            break;
        default:
            return TFastPath::NotMine;
        }
        prior = p;
    }
    // Into the bitmap: blue, green, red (and alpha, split off or over white).
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint8_t* p = rows.data() + static_cast<std::size_t>(y) * (stride + 1) + 1;
        if (channels == 3) {
            std::uint8_t* d = job->out->ScanLine(static_cast<int>(y));
            for (std::uint32_t x = 0; x < width; ++x, p += 3, d += 3) {
                d[0] = p[2];
                d[1] = p[1];
                d[2] = p[0];
            }
        } else {
            std::uint8_t* bgra = job->buffer->data();
            for (std::uint32_t x = 0; x < width; ++x, p += 4) {
                bgra[4 * x] = p[2];
                bgra[4 * x + 1] = p[1];
                bgra[4 * x + 2] = p[0];
                bgra[4 * x + 3] = p[3];
            }
            storeRow(job, static_cast<int>(y), bgra);
        }
    }
    return TFastPath::Done;
}

TBitmap run(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>* alpha, bool keepPalette = false)
{
    if (!IsPngSignature(data, size))
        throw EInvalidGraphic("Not a PNG file");
    TBitmap out;
    std::vector<std::uint8_t> buffer;
    TMemoryReservation scratch;
    PngJob job;
    job.data = data;
    job.size = size;
    job.out = &out;
    job.alpha = alpha;
    job.buffer = &buffer;
    job.scratch = &scratch;
    job.keepPalette = keepPalette;
    const TFastPath fast = decodeFast(&job);
    if (fast == TFastPath::Done)
        return out;
    if (fast == TFastPath::NotMine) {
        // libpng starts again from a clean job.
        out = TBitmap();
        buffer.clear();
        scratch.Release();
        if (alpha)
            alpha->clear();
    }
    if (fast == TFastPath::Failed || !decode(&job)) {
        const std::string message = job.message;
        if (job.outOfMemory)
            throw EOutOfMemory(message);
        // Messages of our own are complete sentences; libpng's get a prefix.
        if (message.rfind("PNG ", 0) == 0)
            throw EInvalidGraphic(message);
        throw EInvalidGraphic("PNG file is corrupt (" + message + ")");
    }
    return out;
}

} // namespace

bool IsPngSignature(const std::uint8_t* data, std::size_t size)
{
    return size >= 8 && std::memcmp(data, kSignature, 8) == 0;
}

TBitmap ReadPng(const std::uint8_t* data, std::size_t size)
{
    return run(data, size, nullptr);
}

TBitmap ReadPngWithAlpha(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& alpha)
{
    return run(data, size, &alpha);
}

TBitmap ReadPngKeepingPalette(const std::uint8_t* data, std::size_t size)
{
    return run(data, size, nullptr, true);
}

namespace {

struct PngWriteJob {
    std::vector<std::uint8_t>* out = nullptr;
    char message[256] = {};
};

void onWrite(png_structp png, png_bytep data, png_size_t n)
{
    auto* job = static_cast<PngWriteJob*>(png_get_io_ptr(png));
    try {
        job->out->insert(job->out->end(), data, data + n);
    } catch (...) {
        png_error(png, "out of memory");
    }
}

void onWriteError(png_structp png, png_const_charp message)
{
    auto* job = static_cast<PngWriteJob*>(png_get_error_ptr(png));
    std::snprintf(job->message, sizeof job->message, "%s", message);
    png_longjmp(png, 1);
}

void onFlush(png_structp) {}

// The rows go through `rows` (filled before the call), so the function that calls setjmp
// holds nothing with a destructor.
bool encode(PngWriteJob* job, int width, int height, int colorType, png_bytepp rows, const png_color* palette, int colors,
            int level)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, job, onWriteError, onWarning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, job, onWrite, onFlush);
    png_set_compression_level(png, level);
    const bool indexed = colorType == PNG_COLOR_TYPE_PALETTE;
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, colorType,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (indexed)
        png_set_PLTE(png, info, palette, colors);
    // Fast levels spend their time on the filters otherwise: one cheap filter serves.
    if (level <= 2)
        png_set_filter(png, PNG_FILTER_TYPE_BASE, indexed ? PNG_FILTER_NONE : PNG_FILTER_SUB);
    png_write_info(png, info);
    if (colorType == PNG_COLOR_TYPE_RGB)
        png_set_bgr(png); // bitmap rows are blue, green, red
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

[[noreturn]] void encodeFailed(const PngWriteJob& job)
{
    if (std::strcmp(job.message, "out of memory") == 0)
        throw std::bad_alloc();
    throw EInvalidGraphic(std::string("Unable to encode the PNG image (") + job.message + ")");
}

} // namespace

std::vector<std::uint8_t> WritePng(const TBitmap& bitmap, int level)
{
    if (bitmap.Empty())
        throw EInvalidGraphic("Image is empty");
    std::vector<png_bytep> rows(static_cast<std::size_t>(bitmap.Height()));
    for (int y = 0; y < bitmap.Height(); ++y)
        rows[static_cast<std::size_t>(y)] = const_cast<png_bytep>(bitmap.ScanLine(y));
    // A palette file holds at least one entry; pixels past the palette read as black.
    std::vector<png_color> palette;
    for (TColor c : bitmap.Palette())
        palette.push_back({static_cast<png_byte>(GetRValue(c)), static_cast<png_byte>(GetGValue(c)), static_cast<png_byte>(GetBValue(c))});
    if (bitmap.PixelFormat() == TPixelFormat::pf8bit) {
        int highest = 0;
        for (int y = 0; y < bitmap.Height(); ++y)
            for (int x = 0; x < bitmap.Width(); ++x)
                highest = std::max<int>(highest, bitmap.ScanLine(y)[x]);
        palette.resize(std::max<std::size_t>(palette.size(), static_cast<std::size_t>(highest) + 1), png_color{0, 0, 0});
    }
    std::vector<std::uint8_t> out;
    out.reserve(static_cast<std::size_t>(bitmap.RowBytes()) * bitmap.Height() / 2 + 1024);
    PngWriteJob job;
    job.out = &out;
    const int type = bitmap.PixelFormat() == TPixelFormat::pf8bit ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB;
    if (!encode(&job, bitmap.Width(), bitmap.Height(), type, rows.data(), palette.data(), static_cast<int>(palette.size()),
                std::clamp(level, 0, 9)))
        encodeFailed(job);
    return out;
}

std::vector<std::uint8_t> WritePngRgba(const std::uint8_t* rgba, int width, int height, int level)
{
    if (width <= 0 || height <= 0)
        throw EInvalidGraphic("Image is empty");
    std::vector<png_bytep> rows(static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
        rows[static_cast<std::size_t>(y)] = const_cast<png_bytep>(rgba + static_cast<std::size_t>(y) * width * 4);
    std::vector<std::uint8_t> out;
    out.reserve(static_cast<std::size_t>(width) * height * 2 + 1024);
    PngWriteJob job;
    job.out = &out;
    if (!encode(&job, width, height, PNG_COLOR_TYPE_RGB_ALPHA, rows.data(), nullptr, 0, std::clamp(level, 0, 9)))
        encodeFailed(job);
    return out;
}

void SavePngFile(const TBitmap& bitmap, const std::string& path, int level)
{
    WriteFileAtomic(path, WritePng(bitmap, level));
}

TImageInfo ReadPngInfo(const std::uint8_t* data, std::size_t size)
{
    if (!IsPngSignature(data, size))
        throw EInvalidGraphic("Not a PNG file");
    if (size < 33)
        throw EInvalidGraphic("PNG file is truncated");
    if (ReadBE32(data + 8) != 13 || std::memcmp(data + 12, "IHDR", 4) != 0)
        throw EInvalidGraphic("PNG file is corrupt (no header chunk)");
    TImageInfo info;
    info.Format = "PNG";
    const std::uint32_t w = ReadBE32(data + 16), h = ReadBE32(data + 20);
    if (w == 0 || h == 0 || w > 0x7FFFFFFF || h > 0x7FFFFFFF)
        throw EInvalidGraphic("PNG file is corrupt (invalid size)");
    info.Width = static_cast<int>(w);
    info.Height = static_cast<int>(h);
    const int depth = data[24];
    int channels = 1;
    switch (data[25]) {
    case 2: channels = 3; break;
    case 4: channels = 2; break;
    case 6: channels = 4; break;
    default: break;
    }
    info.BitsPerPixel = depth * channels;
    return info;
}
