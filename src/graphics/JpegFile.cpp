#include "JpegFile.h"

#include "Exception.h"

#include <algorithm>
#include <cstdio>
#include <csetjmp>
// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>
#include <jerror.h>

namespace {

// A progressive file may repeat scans without end; real files have a few dozen.
constexpr int kMaxScans = 1000;
constexpr long kMaxWorkingMemory = 1L << 30;

// libjpeg reports errors through longjmp, so everything with a destructor stays with the
// caller and the function that calls setjmp holds plain data only.
struct JpegJob {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    bool headerOnly = false;
    TBitmap* out = nullptr;
    TImageInfo* info = nullptr;
    bool outOfMemory = false;
    char message[JMSG_LENGTH_MAX + 64] = {};
};

struct ErrorManager {
    jpeg_error_mgr base;
    JpegJob* job;
    std::jmp_buf jump;
};

struct Progress {
    jpeg_progress_mgr base;
    ErrorManager* errors;
};

void onError(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    if (cinfo->err->msg_code == JERR_NO_BACKING_STORE || cinfo->err->msg_code == JERR_OUT_OF_MEMORY) {
        err->job->outOfMemory = true;
        std::snprintf(err->job->message, sizeof err->job->message,
                      "Not enough memory: decoding this JPEG image needs more working memory than the memory limit of %s "
                      "leaves.",
                      MemoryBudget::FormatBytes(MemoryBudget::Limit()).c_str());
    } else
        (*cinfo->err->format_message)(cinfo, err->job->message);
    std::longjmp(err->jump, 1);
}

// Warnings are ignored except the one for a file that ends early: libjpeg would fill the
// rest with grey and call it a picture.
void onMessage(j_common_ptr cinfo, int level)
{
    if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) {
        auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
        std::snprintf(err->job->message, sizeof err->job->message, "JPEG file is truncated");
        std::longjmp(err->jump, 1);
    }
}

void onProgress(j_common_ptr cinfo)
{
    if (cinfo->is_decompressor && reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans) {
        auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
        std::snprintf(err->job->message, sizeof err->job->message, "JPEG file is corrupt (too many scans)");
        std::longjmp(err->jump, 1);
    }
}

bool prepare(JpegJob* job, JDIMENSION width, JDIMENSION height, bool allocate) noexcept
{
    try {
        CheckBitmapSize(width, height, "JPEG image");
        if (allocate)
            *job->out = TBitmap(static_cast<int>(width), static_cast<int>(height));
        return true;
    } catch (const EOutOfMemory& e) {
        job->outOfMemory = true;
        std::snprintf(job->message, sizeof job->message, "%s", e.what());
    } catch (const std::bad_alloc&) {
        job->outOfMemory = true;
        std::snprintf(job->message, sizeof job->message, "%s", MemoryBudget::SystemRefusalMessage().c_str());
    } catch (const std::exception& e) {
        std::snprintf(job->message, sizeof job->message, "%s", e.what());
    } catch (...) {
        std::snprintf(job->message, sizeof job->message, "out of memory");
    }
    return false;
}

// The picture is asked of the memory budget before libjpeg sets up its buffers for it.
bool checkBudget(JpegJob* job, JDIMENSION width, JDIMENSION height) noexcept
{
    try {
        MemoryBudget::Check(MemoryBudget::PictureBytes(width, height),
                            "a " + std::to_string(width) + " x " + std::to_string(height) + " JPEG image");
        return true;
    } catch (const EOutOfMemory& e) {
        std::snprintf(job->message, sizeof job->message, "%s", e.what());
    } catch (...) {
        std::snprintf(job->message, sizeof job->message, "%s", MemoryBudget::SystemRefusalMessage().c_str());
    }
    job->outOfMemory = true;
    return false;
}

void storeRow(TBitmap* out, int y, const JSAMPLE* s, int components) noexcept
{
    std::uint8_t* d = out->ScanLine(y);
    const int w = out->Width();
    if (components == 1) {
        for (int x = 0; x < w; ++x)
            d[3 * x] = d[3 * x + 1] = d[3 * x + 2] = s[x];
    } else {
        for (int x = 0; x < w; ++x) {
            d[3 * x] = s[3 * x + 2];
            d[3 * x + 1] = s[3 * x + 1];
            d[3 * x + 2] = s[3 * x];
        }
    }
}

bool decode(JpegJob* job)
{
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    Progress progress;
    cinfo.err = jpeg_std_error(&err.base);
    err.base.error_exit = onError;
    err.base.emit_message = onMessage;
    err.job = job;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    // Progressive files keep every coefficient of the picture; a header's claimed size
    // must not pull in more than this.
    cinfo.mem->max_memory_to_use = kMaxWorkingMemory;
    progress.base.progress_monitor = onProgress;
    progress.errors = &err;
    cinfo.progress = &progress.base;
    jpeg_mem_src(&cinfo, job->data, static_cast<unsigned long>(job->size));
    jpeg_read_header(&cinfo, TRUE);

    if (job->headerOnly) {
        job->info->Width = static_cast<int>(cinfo.image_width);
        job->info->Height = static_cast<int>(cinfo.image_height);
        job->info->BitsPerPixel = 8 * cinfo.num_components;
        jpeg_destroy_decompress(&cinfo);
        return true;
    }
    switch (cinfo.jpeg_color_space) {
    case JCS_GRAYSCALE:
        cinfo.out_color_space = JCS_GRAYSCALE;
        break;
    case JCS_YCbCr:
    case JCS_RGB:
        cinfo.out_color_space = JCS_RGB;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        std::snprintf(job->message, sizeof job->message, "CMYK JPEG files are not supported");
        jpeg_destroy_decompress(&cinfo);
        return false;
    default:
        std::snprintf(job->message, sizeof job->message, "JPEG file has an unsupported colour space");
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    // The size is checked before libjpeg sets up its buffers; the bitmap is allocated
    // after it has read a progressive file's scans, so a damaged file fails first.
    if (!prepare(job, cinfo.image_width, cinfo.image_height, false)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    // Huffman-coded sequential data spends at least two bits on every 8 x 8 block (its DC
    // and end-of-block codes), progressive data at least one on its DC code, so a file
    // too short for its claimed size is refused before a picture is allocated for it.
    if (!cinfo.arith_code) {
        const std::uint64_t blocks = ((std::uint64_t(cinfo.image_width) + 7) / 8) * ((std::uint64_t(cinfo.image_height) + 7) / 8);
        if (blocks / (cinfo.progressive_mode ? 8 : 4) > job->size) {
            std::snprintf(job->message, sizeof job->message, "JPEG file is truncated (too little data for its size)");
            jpeg_destroy_decompress(&cinfo);
            return false;
        }
    }
    if (!checkBudget(job, cinfo.image_width, cinfo.image_height)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    // libjpeg's own buffers (a progressive file keeps every coefficient) share the budget
    // with the picture that follows them.
    {
        const std::uint64_t limit = MemoryBudget::Limit(), used = MemoryBudget::InUse();
        const std::uint64_t picture = MemoryBudget::PictureBytes(cinfo.image_width, cinfo.image_height);
        const std::uint64_t room = limit > used + picture ? limit - used - picture : 0;
        // (0 would mean no limit at all.)
        cinfo.mem->max_memory_to_use = static_cast<long>(std::clamp<std::uint64_t>(room, 1, kMaxWorkingMemory));
    }
    jpeg_start_decompress(&cinfo);
    if (!prepare(job, cinfo.image_width, cinfo.image_height, true)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    if (cinfo.output_width != cinfo.image_width || cinfo.output_height != cinfo.image_height
        || (cinfo.output_components != 1 && cinfo.output_components != 3)) {
        std::snprintf(job->message, sizeof job->message, "JPEG file has an unsupported layout");
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    // The row buffer belongs to libjpeg's pool and goes with the decompressor.
    JSAMPARRAY row = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                cinfo.output_width * cinfo.output_components, 1);
    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = static_cast<int>(cinfo.output_scanline);
        if (jpeg_read_scanlines(&cinfo, row, 1) != 1)
            break;
        storeRow(job->out, y, row[0], cinfo.output_components);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

std::string describe(const char* message)
{
    const std::string m = message;
    if (m.rfind("JPEG ", 0) == 0 || m.rfind("CMYK ", 0) == 0)
        return m;
    return "JPEG file is corrupt (" + m + ")";
}

} // namespace

bool IsJpegSignature(const std::uint8_t* data, std::size_t size)
{
    return size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

TBitmap ReadJpeg(const std::uint8_t* data, std::size_t size)
{
    if (!IsJpegSignature(data, size))
        throw EInvalidGraphic("Not a JPEG file");
    TBitmap out;
    JpegJob job;
    job.data = data;
    job.size = size;
    job.out = &out;
    if (!decode(&job)) {
        if (job.outOfMemory)
            throw EOutOfMemory(job.message);
        throw EInvalidGraphic(describe(job.message));
    }
    return out;
}

TImageInfo ReadJpegInfo(const std::uint8_t* data, std::size_t size)
{
    if (!IsJpegSignature(data, size))
        throw EInvalidGraphic("Not a JPEG file");
    TImageInfo info;
    info.Format = "JPEG";
    JpegJob job;
    job.data = data;
    job.size = size;
    job.headerOnly = true;
    job.info = &info;
    if (!decode(&job))
        throw EInvalidGraphic(describe(job.message));
    return info;
}
