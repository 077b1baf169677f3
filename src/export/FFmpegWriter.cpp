#include "FFmpegWriter.h"

#include "graphics/FileWrite.h"
#include "graphics/MemoryBudget.h"
#include "graphics/NumberRules.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}
#include "platform/avi/FFmpegLibraries.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace {

constexpr int kIoBufferSize = 64 * 1024;
// Frames an encoder may hold at once besides ours (x264's look-ahead and reordering,
// libvpx's lag, the APNG encoder's previous frame and candidates), for the budget.
constexpr int kX264HeldFrames = 64;
constexpr int kVp9HeldFrames = 32;
constexpr int kApngHeldFrames = 6;

struct TSetup {
    const char* Muxer;
    const char* Encoder;
    AVPixelFormat Pixels;
    bool Video; // even sizes, no transparency, delays of at least 1
    int HeldFrames;
    double BytesPerPixel; // of the encoder's frames
};

[[noreturn]] void fail(const std::string& path, const std::string& why)
{
    throw Exception("Unable to export " + path + ": " + why);
}

std::string avText(int error)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(error, text, sizeof text);
    return text;
}

// The muxer's bytes go into the atomic file; the MP4 muxer goes back to patch sizes.
struct TAtomicIo {
    TAtomicFile* File;
    std::uint64_t Pos = 0;

    static int write(void* opaque, std::uint8_t* buf, int size)
    {
        auto* io = static_cast<TAtomicIo*>(opaque);
        try {
            std::size_t n = static_cast<std::size_t>(size);
            const std::uint64_t end = io->File->Size();
            if (io->Pos > end)
                return AVERROR(EINVAL);
            const std::size_t inside = static_cast<std::size_t>(std::min<std::uint64_t>(end - io->Pos, n));
            if (inside > 0)
                io->File->WriteAt(io->Pos, buf, inside);
            if (n > inside)
                io->File->Write(buf + inside, n - inside);
            io->Pos += n;
            return size;
        } catch (...) {
            return AVERROR(EIO);
        }
    }

    static std::int64_t seek(void* opaque, std::int64_t offset, int whence)
    {
        auto* io = static_cast<TAtomicIo*>(opaque);
        whence &= ~AVSEEK_FORCE;
        const auto size = static_cast<std::int64_t>(io->File->Size());
        if (whence == AVSEEK_SIZE)
            return size;
        std::int64_t base = 0;
        if (whence == SEEK_CUR)
            base = static_cast<std::int64_t>(io->Pos);
        else if (whence == SEEK_END)
            base = size;
        else if (whence != SEEK_SET)
            return -1;
        const std::int64_t target = base + offset;
        if (target < 0 || target > size)
            return -1;
        io->Pos = static_cast<std::uint64_t>(target);
        return target;
    }
};

// Everything FFmpeg allocates for one export, freed on every way out.
struct TEncoderJob {
    AVFormatContext* Format = nullptr;
    AVCodecContext* Codec = nullptr;
    AVIOContext* Io = nullptr;
    AVFrame* Frame = nullptr;
    AVPacket* Packet = nullptr;
    SwsContext* Scaler = nullptr;
    AVDictionary* CodecOptions = nullptr;
    AVDictionary* MuxOptions = nullptr;

    ~TEncoderJob()
    {
        sws_freeContext(Scaler);
        av_packet_free(&Packet);
        av_frame_free(&Frame);
        avcodec_free_context(&Codec);
        if (Io) {
            av_freep(&Io->buffer);
            avio_context_free(&Io);
        }
        if (Format)
            Format->pb = nullptr;
        avformat_free_context(Format);
        av_dict_free(&CodecOptions);
        av_dict_free(&MuxOptions);
    }
};

TSetup setupOf(const TExportAnimation& animation, TExportFormat format)
{
    switch (format) {
    case TExportFormat::Mp4:
        return {"mp4", "libx264", AV_PIX_FMT_YUV420P, true, kX264HeldFrames, 1.5};
    case TExportFormat::WebM:
        return {"webm", "libvpx-vp9", AV_PIX_FMT_YUV420P, true, kVp9HeldFrames, 1.5};
    default: {
        const bool alpha = std::any_of(animation.Frames.begin(), animation.Frames.end(),
                                       [](const TExportFrame& f) { return f.Picture->Transparent(); });
        return {"apng", "apng", alpha ? AV_PIX_FMT_RGBA : AV_PIX_FMT_RGB24, false, kApngHeldFrames, alpha ? 4.0 : 3.0};
    }
    }
}

// Frame `picture` into the encoder's frame in its own pixel layout.
void fillFrame(TEncoderJob& job, const TSetup& setup, TExportPicture& picture, int width, int height,
               std::vector<std::uint8_t>& rgb)
{
    AVFrame* f = job.Frame;
    if (setup.Pixels == AV_PIX_FMT_RGBA) {
        picture.ToRgba(f->data[0], f->linesize[0]);
        return;
    }
    if (setup.Pixels == AV_PIX_FMT_RGB24) {
        const TBitmap& b = picture.Bitmap();
        for (int y = 0; y < height; ++y) {
            const std::uint8_t* p = b.ScanLine(y);
            std::uint8_t* q = f->data[0] + static_cast<std::ptrdiff_t>(y) * f->linesize[0];
            for (int x = 0; x < width; ++x, p += 3, q += 3) {
                q[0] = p[2];
                q[1] = p[1];
                q[2] = p[0];
            }
        }
        return;
    }
    const TBitmap& b = picture.OverWhite();
    // Red, green, blue rows, padded to the coded size with the last column and row: the
    // colours take the same path through the converter as pictures FFmpeg reads itself.
    const int cw = f->width, ch = f->height;
    rgb.resize(static_cast<std::size_t>(cw) * ch * 3);
    for (int y = 0; y < ch; ++y) {
        const std::uint8_t* p = b.ScanLine(std::min(y, height - 1));
        std::uint8_t* q = rgb.data() + static_cast<std::size_t>(y) * cw * 3;
        for (int x = 0; x < width; ++x, p += 3, q += 3) {
            q[0] = p[2];
            q[1] = p[1];
            q[2] = p[0];
        }
        if (cw > width)
            std::memcpy(q, q - 3, 3);
    }
    job.Scaler = sws_getCachedContext(job.Scaler, cw, ch, AV_PIX_FMT_RGB24, cw, ch, setup.Pixels, SWS_BICUBIC, nullptr,
                                      nullptr, nullptr);
    if (!job.Scaler)
        throw Exception("The frames cannot be converted for the encoder");
    const std::uint8_t* src[1] = {rgb.data()};
    const int stride[1] = {cw * 3};
    sws_scale(job.Scaler, src, stride, 0, ch, f->data, f->linesize);
}

} // namespace

int X264Crf(int quality)
{
    return static_cast<int>(Round((100 - std::clamp(quality, 0, 100)) * 51 / 100.0));
}

int Vp9Crf(int quality)
{
    return static_cast<int>(Round((100 - std::clamp(quality, 0, 100)) * 63 / 100.0));
}

void WriteFFmpegAnimation(const TExportAnimation& animation, const std::string& path, const TExportOptions& options,
                          const TExportProgress& progress)
{
    FFmpeg(); // loaded (and silenced) first: a missing library is said before any work
    const TSetup setup = setupOf(animation, options.Format);
    const int width = animation.Width, height = animation.Height;
    const int codedWidth = setup.Video ? width + (width & 1) : width;
    const int codedHeight = setup.Video ? height + (height & 1) : height;
    const int count = static_cast<int>(animation.Frames.size());

    // The encoder's frames and ours, asked of the budget before anything is converted.
    const auto frameBytes = static_cast<std::uint64_t>(static_cast<double>(codedWidth) * codedHeight * setup.BytesPerPixel);
    TMemoryReservation held(frameBytes * static_cast<std::uint64_t>(setup.HeldFrames + 2)
                                + MemoryBudget::PictureBytes(width, height, 2),
                            "exporting frames of " + std::to_string(width) + " x " + std::to_string(height));

    TEncoderJob job;
    const AVCodec* codec = avcodec_find_encoder_by_name(setup.Encoder);
    if (!codec)
        fail(path, std::string("this FFmpeg has no ") + setup.Encoder + " encoder");
    int r = avformat_alloc_output_context2(&job.Format, nullptr, setup.Muxer, nullptr);
    if (r < 0 || !job.Format)
        fail(path, std::string("this FFmpeg cannot write ") + setup.Muxer + " files");
    job.Codec = avcodec_alloc_context3(codec);
    job.Frame = av_frame_alloc();
    job.Packet = av_packet_alloc();
    if (!job.Codec || !job.Frame || !job.Packet)
        throw std::bad_alloc();

    // Timestamps count hundredths: every delay is exact.
    AVCodecContext* c = job.Codec;
    c->width = codedWidth;
    c->height = codedHeight;
    c->pix_fmt = setup.Pixels;
    c->time_base = AVRational{1, 100};
    std::int64_t total = 0;
    for (const TExportFrame& f : animation.Frames)
        total += setup.Video ? std::max(f.Delay, 1) : f.Delay;
    // The mean rate, for the rate control of the video encoders.
    c->framerate = AVRational{static_cast<int>(std::min<std::int64_t>(100LL * count, INT32_MAX)),
                              static_cast<int>(std::clamp<std::int64_t>(total, 1, INT32_MAX))};
    if (setup.Video) {
        c->color_range = AVCOL_RANGE_MPEG;
        c->colorspace = AVCOL_SPC_SMPTE170M;
        c->sample_aspect_ratio = AVRational{1, 1};
    }
    if (job.Format->oformat->flags & AVFMT_GLOBALHEADER)
        c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (options.Format == TExportFormat::Mp4) {
        av_dict_set_int(&job.CodecOptions, "crf", X264Crf(options.Quality), 0);
        av_dict_set(&job.CodecOptions, "preset", "medium", 0);
    } else if (options.Format == TExportFormat::WebM) {
        av_dict_set_int(&job.CodecOptions, "crf", Vp9Crf(options.Quality), 0);
        av_dict_set(&job.CodecOptions, "b", "0", 0);
        av_dict_set(&job.CodecOptions, "deadline", "good", 0);
        av_dict_set(&job.CodecOptions, "cpu-used", "4", 0);
        av_dict_set(&job.CodecOptions, "row-mt", "1", 0);
    }
    if ((r = avcodec_open2(c, codec, &job.CodecOptions)) < 0)
        fail(path, std::string("the ") + setup.Encoder + " encoder refused the frames (" + avText(r) + ")");

    AVStream* stream = avformat_new_stream(job.Format, nullptr);
    if (!stream)
        throw std::bad_alloc();
    stream->time_base = c->time_base;
    if ((r = avcodec_parameters_from_context(stream->codecpar, c)) < 0)
        fail(path, avText(r));
    if (options.Format == TExportFormat::Apng) {
        av_dict_set_int(&job.MuxOptions, "plays", std::clamp(animation.Loops, 0, 65535), 0);
        // The last frame's delay, which no following timestamp gives.
        const int last = animation.Frames.back().Delay;
        av_dict_set(&job.MuxOptions, "final_delay", (std::to_string(last) + "/100").c_str(), 0);
    }

    TAtomicFile file(path);
    TAtomicIo sink{&file};
    auto* buffer = static_cast<std::uint8_t*>(av_malloc(kIoBufferSize));
    if (buffer)
        job.Io = avio_alloc_context(buffer, kIoBufferSize, 1, &sink, nullptr, &TAtomicIo::write, &TAtomicIo::seek);
    if (!job.Io) {
        av_free(buffer);
        throw std::bad_alloc();
    }
    job.Format->pb = job.Io;
    if ((r = avformat_write_header(job.Format, &job.MuxOptions)) < 0)
        fail(path, "the " + std::string(setup.Muxer) + " file could not be started (" + avText(r) + ")");

    job.Frame->format = setup.Pixels;
    job.Frame->width = codedWidth;
    job.Frame->height = codedHeight;
    if (av_frame_get_buffer(job.Frame, 0) < 0)
        throw std::bad_alloc();

    // Each packet's duration is its frame's delay (the encoders reorder; pts finds it).
    std::map<std::int64_t, std::int64_t> durations;
    auto drain = [&] {
        for (;;) {
            const int got = avcodec_receive_packet(c, job.Packet);
            if (got == AVERROR(EAGAIN) || got == AVERROR_EOF)
                return;
            if (got < 0)
                fail(path, std::string("the ") + setup.Encoder + " encoder failed (" + avText(got) + ")");
            if (const auto d = durations.find(job.Packet->pts); d != durations.end()) {
                job.Packet->duration = d->second;
                durations.erase(d);
            }
            job.Packet->stream_index = stream->index;
            av_packet_rescale_ts(job.Packet, c->time_base, stream->time_base);
            if (const int w = av_interleaved_write_frame(job.Format, job.Packet); w < 0)
                fail(path, avText(w));
        }
    };

    std::int64_t pts = 0;
    std::vector<std::uint8_t> rgb;
    for (int i = 0; i < count; ++i) {
        ReportExportProgress(progress, i, count);
        if (av_frame_make_writable(job.Frame) < 0)
            throw std::bad_alloc();
        TExportPicture picture(animation, i);
        fillFrame(job, setup, picture, width, height, rgb);
        const int delay = animation.Frames[static_cast<std::size_t>(i)].Delay;
        const std::int64_t duration = setup.Video ? std::max(delay, 1) : delay;
        job.Frame->pts = pts;
        durations[pts] = duration;
        pts += duration;
        if ((r = avcodec_send_frame(c, job.Frame)) < 0)
            fail(path, std::string("the ") + setup.Encoder + " encoder failed (" + avText(r) + ")");
        drain();
    }
    ReportExportProgress(progress, count, count);
    avcodec_send_frame(c, nullptr);
    drain();
    if ((r = av_write_trailer(job.Format)) < 0)
        fail(path, avText(r));
    avio_flush(job.Io);
    if (job.Io->error < 0)
        fail(path, avText(job.Io->error));
    file.Commit();
}
