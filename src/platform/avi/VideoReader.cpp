#include "VideoReader.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
#include <libswscale/swscale.h>
}
#include "FFmpegLibraries.h"

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <thread>

namespace {

constexpr int kIoBufferSize = 64 * 1024;
// The AVI header list sits at the start of the file; this much is read to find it.
constexpr std::size_t kHeadBytes = 1 << 20;
// Containers read: AVI, the QuickTime family (MOV, MP4) and Matroska (MKV, WebM). Keeping
// to these also keeps FFmpeg's playlist and image demuxers away from what users open.
constexpr const char* kFormats = "avi,mov,mp4,matroska,webm";

// A file that refers to other files (playlists, external references) is read alone.
int refuseOpen(AVFormatContext*, AVIOContext**, const char*, int, AVDictionary**)
{
    return AVERROR(EPERM);
}

[[noreturn]] void fail(const std::string& what, const std::string& why)
{
    throw EVideoError(why.empty() ? what : what + ": " + why);
}

std::string frameText(std::uint64_t position)
{
    return "Failed to decompress AVI frame " + std::to_string(position);
}

// Decoder threads: each frame thread holds frames of its own, so their number is kept
// small whatever the machine.
constexpr int kMaxDecoderThreads = 4;

// What a decoder's picture buffers hold against the memory budget: every buffer FFmpeg
// asks for passes the budget first and gives its bytes back when FFmpeg frees it.
struct TCountedBuffer {
    AVBufferRef* Original;
    TMemoryReservation Reservation;
};

void releaseCounted(void* opaque, std::uint8_t*)
{
    auto* counted = static_cast<TCountedBuffer*>(opaque);
    av_buffer_unref(&counted->Original);
    delete counted;
}

// Bytes of a decoded picture as the decoders allocate it (planes padded), for checks
// made before FFmpeg decodes anything of its own.
std::uint64_t decoderFrameBytes(int width, int height)
{
    return MemoryBudget::PictureBytes(width + 64, height + 64, 1, 4);
}

} // namespace

struct TVideoReader::Impl {
    // The source: a file we opened ourselves, or bytes in memory.
    std::string path;
    bool memory = false;
    std::vector<std::uint8_t> bytes;
    std::FILE* file = nullptr;
    std::uint64_t pos = 0;
    std::int64_t size = 0;

    AVFormatContext* fmt = nullptr;
    AVCodecContext* codec = nullptr;
    SwsContext* sws = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    int stream = -1;
    bool flushed = false;
    bool cut = false; // the stream ended in a packet cut short
    std::uint64_t next = 0; // the ordinal of the frame NextFrame gives
    // A decoded frame waiting in `frame` for its position; positions before it that have
    // no data of their own (empty AVI chunks) repeat the frame before them.
    bool held = false;
    std::uint64_t heldOrdinal = 0;
    // The last frame converted, kept by reference: positions without data of their own
    // show it again.
    AVFrame* lastFrame = nullptr;
    bool infoKnown = false;
    TVideoStreamInfo info;

    ~Impl() { close(); }

    // Bytes a decoder asked for that the budget refused (0: none).
    std::atomic<std::uint64_t> refusedBytes{0};

    static int getBuffer(AVCodecContext* c, AVFrame* f, int flags)
    {
        auto* m = static_cast<Impl*>(c->opaque);
        const int r = avcodec_default_get_buffer2(c, f, flags);
        if (r < 0 || !f->buf[0])
            return r;
        std::uint64_t bytes = 0;
        for (AVBufferRef* b : f->buf)
            if (b)
                bytes += static_cast<std::uint64_t>(b->size);
        for (int i = 0; i < f->nb_extended_buf; ++i)
            bytes += static_cast<std::uint64_t>(f->extended_buf[i]->size);
        auto* counted = new (std::nothrow) TCountedBuffer{f->buf[0], {}};
        AVBufferRef* wrapped = nullptr;
        try {
            if (counted)
                counted->Reservation.Reserve(bytes, "a video frame being decoded");
        } catch (const EOutOfMemory&) {
            m->refusedBytes.store(bytes);
            delete counted;
            counted = nullptr;
        }
        if (counted)
            wrapped = av_buffer_create(f->buf[0]->data, static_cast<std::size_t>(f->buf[0]->size), &releaseCounted, counted, 0);
        if (!wrapped) {
            delete counted;
            av_frame_unref(f);
            return AVERROR(ENOMEM);
        }
        f->buf[0] = wrapped; // the original is freed with the wrapper
        return 0;
    }

    // Turns a decoder failure caused by the budget into the refusal it is.
    void checkRefusal()
    {
        const std::uint64_t bytes = refusedBytes.exchange(0);
        if (bytes > 0)
            throw EOutOfMemory(MemoryBudget::RefusalMessage(bytes, "a video frame being decoded"));
    }

    static int read(void* opaque, std::uint8_t* buf, int want)
    {
        auto* m = static_cast<Impl*>(opaque);
        if (m->memory) {
            const std::uint64_t left = m->pos < m->bytes.size() ? m->bytes.size() - m->pos : 0;
            const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(left, static_cast<std::uint64_t>(want)));
            if (n == 0)
                return AVERROR_EOF;
            std::memcpy(buf, m->bytes.data() + m->pos, n);
            m->pos += n;
            return static_cast<int>(n);
        }
        const std::size_t n = std::fread(buf, 1, static_cast<std::size_t>(want), m->file);
        if (n == 0)
            return std::ferror(m->file) ? AVERROR(EIO) : AVERROR_EOF;
        return static_cast<int>(n);
    }

    static std::int64_t seek(void* opaque, std::int64_t offset, int whence)
    {
        auto* m = static_cast<Impl*>(opaque);
        whence &= ~AVSEEK_FORCE;
        if (whence == AVSEEK_SIZE)
            return m->size;
        std::int64_t base = 0;
        if (whence == SEEK_CUR)
            base = m->memory ? static_cast<std::int64_t>(m->pos) : ftello(m->file);
        else if (whence == SEEK_END)
            base = m->size;
        else if (whence != SEEK_SET)
            return -1;
        if (offset > INT64_MAX - base || base + offset < 0)
            return -1;
        const std::int64_t target = base + offset;
        if (m->memory)
            m->pos = static_cast<std::uint64_t>(target);
        else if (fseeko(m->file, target, SEEK_SET) != 0)
            return -1;
        return target;
    }

    void close()
    {
        sws_freeContext(sws);
        sws = nullptr;
        av_frame_free(&frame);
        av_frame_free(&lastFrame);
        av_packet_free(&packet);
        avcodec_free_context(&codec);
        if (fmt) {
            AVIOContext* io = fmt->pb;
            avformat_close_input(&fmt);
            if (io) {
                av_freep(&io->buffer);
                avio_context_free(&io);
            }
        }
        if (file) {
            std::fclose(file);
            file = nullptr;
        }
        stream = -1;
        flushed = false;
        cut = false;
        next = 0;
        held = false;
    }

    void openSource()
    {
        if (memory) {
            pos = 0;
            size = static_cast<std::int64_t>(bytes.size());
            return;
        }
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0)
            fail("Failed to open AVI file", path + " does not exist");
        if (!S_ISREG(st.st_mode))
            fail("Failed to open AVI file", path + " is not a file");
        file = std::fopen(path.c_str(), "rb");
        if (!file)
            fail("Failed to open AVI file", path + " cannot be read");
        size = st.st_size;
    }

    std::vector<std::uint8_t> head()
    {
        if (memory)
            return std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::min(bytes.size(), kHeadBytes)));
        std::vector<std::uint8_t> h(kHeadBytes);
        h.resize(std::fread(h.data(), 1, h.size(), file));
        std::rewind(file);
        return h;
    }

    void open()
    {
        close();
        openSource();
        std::optional<TAviStreamTiming> aviTiming;
        std::optional<std::pair<std::uint32_t, std::uint32_t>> aviSize;
        if (!infoKnown) {
            const std::vector<std::uint8_t> h = head();
            aviTiming = ReadAviStreamTiming(h.data(), h.size());
            aviSize = ReadAviMainHeaderSize(h.data(), h.size());
        }

        auto* buffer = static_cast<std::uint8_t*>(av_malloc(kIoBufferSize));
        AVIOContext* io = buffer ? avio_alloc_context(buffer, kIoBufferSize, 0, this, &Impl::read, nullptr, &Impl::seek) : nullptr;
        fmt = io ? avformat_alloc_context() : nullptr;
        if (!fmt) {
            if (io)
                avio_context_free(&io);
            av_free(buffer);
            fail("Failed to open AVI file", "out of memory");
        }
        fmt->pb = io;
        fmt->flags |= AVFMT_FLAG_CUSTOM_IO;
        fmt->io_open = &refuseOpen;
        fmt->format_whitelist = av_strdup(kFormats);
        if (avformat_open_input(&fmt, "", nullptr, nullptr) < 0) {
            // FFmpeg has freed the context; the I/O context is ours.
            av_freep(&io->buffer);
            avio_context_free(&io);
            fail("Failed to open AVI file", "not a video file Anivor reads (AVI, MP4, MOV, MKV or WebM)");
        }
        // Sizes are checked as the headers claim them, before FFmpeg probes any frame.
        if (!infoKnown)
            for (unsigned i = 0; i < fmt->nb_streams; ++i)
                if (fmt->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
                    checkSize(fmt->streams[i]->codecpar->width, fmt->streams[i]->codecpar->height);
                    break;
                }
        findStreamInfo();

        for (unsigned i = 0; i < fmt->nb_streams; ++i) {
            const AVStream* s = fmt->streams[i];
            if (s->codecpar->codec_type == AVMEDIA_TYPE_VIDEO && !(s->disposition & AV_DISPOSITION_ATTACHED_PIC)) {
                stream = static_cast<int>(i);
                break;
            }
        }
        if (stream < 0)
            fail("Failed to open AVI stream", "the file holds no video");
        AVStream* st = fmt->streams[stream];
        AVCodecParameters* par = st->codecpar;
        // A stream format without a frame size: the AVI main header's stands in.
        if (!infoKnown && (par->width <= 0 || par->height <= 0) && aviSize && aviSize->first > 0 && aviSize->second > 0
            && aviSize->first <= INT_MAX && aviSize->second <= INT_MAX) {
            par->width = static_cast<int>(aviSize->first);
            par->height = static_cast<int>(aviSize->second);
        }

        if (!infoKnown) {
            info.Width = par->width;
            info.Height = par->height;
            if (info.Width <= 0 || info.Height <= 0)
                fail("Failed to get AVI stream format", "the video has no frame size");
            checkSize(info.Width, info.Height);
            info.Avi = std::strcmp(fmt->iformat->name, "avi") == 0;
            const AVCodecDescriptor* desc = avcodec_descriptor_get(par->codec_id);
            info.Codec = desc ? desc->name : "unknown";
            info.FramesInFile = framesInFile(*st);
            if (info.Avi && aviTiming)
                info.Timing = *aviTiming;
            else
                info.Timing = containerTiming(*st);
        }

        const AVCodec* decoder = avcodec_find_decoder(par->codec_id);
        if (!decoder)
            fail("Failed to start AVI decompression", "no decoder for " + info.Codec + " video");
        codec = avcodec_alloc_context3(decoder);
        packet = av_packet_alloc();
        frame = av_frame_alloc();
        if (!codec || !packet || !frame || avcodec_parameters_to_context(codec, par) < 0)
            fail("Failed to start AVI decompression", "out of memory");
        // A stream that changes to a larger size mid-way is refused by the decoder.
        codec->max_pixels = kMaxBitmapPixels;
        codec->thread_count = std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, kMaxDecoderThreads);
        codec->opaque = this;
        codec->get_buffer2 = &Impl::getBuffer;
        if (avcodec_open2(codec, decoder, nullptr) < 0)
            fail("Failed to start AVI decompression", "the " + info.Codec + " decoder refused the video");
        infoKnown = true;
    }

    // Fills in what headers leave out (not fatal). FFmpeg decodes a frame or two of each
    // stream for it, on one thread, within the picture size limit, after the budget has
    // room for them.
    void findStreamInfo()
    {
        // Freed however this ends: a refusal of the budget leaves by an exception.
        struct TOptions {
            std::vector<AVDictionary*> List;
            ~TOptions()
            {
                for (AVDictionary*& d : List)
                    av_dict_free(&d);
            }
        } held{std::vector<AVDictionary*>(fmt->nb_streams, nullptr)};
        std::vector<AVDictionary*>& options = held.List;
        for (unsigned i = 0; i < fmt->nb_streams; ++i) {
            const AVCodecParameters* par = fmt->streams[i]->codecpar;
            if (par->codec_type == AVMEDIA_TYPE_VIDEO && !infoKnown)
                MemoryBudget::Check(2 * decoderFrameBytes(par->width, par->height), "decoding a video frame");
            av_dict_set(&options[i], "threads", "1", 0);
            av_dict_set_int(&options[i], "max_pixels", kMaxBitmapPixels, 0);
        }
        avformat_find_stream_info(fmt, options.empty() ? nullptr : options.data());
    }

    static void checkSize(int width, int height)
    {
        try {
            CheckBitmapSize(width, height, "AVI frame");
        } catch (const EInvalidGraphic& e) {
            throw EVideoError(e.what());
        }
    }

    // Frame rate and frame count of a container without AVI stream headers.
    TAviStreamTiming containerTiming(const AVStream& st)
    {
        TAviStreamTiming t;
        AVRational r = st.avg_frame_rate;
        if (r.num <= 0 || r.den <= 0)
            r = st.r_frame_rate;
        if (r.num > 0 && r.den > 0) {
            t.Scale = static_cast<std::uint32_t>(r.den);
            t.Rate = static_cast<std::uint32_t>(r.num);
        } else if (st.time_base.num > 0 && st.time_base.den > 0) {
            t.Scale = static_cast<std::uint32_t>(st.time_base.num);
            t.Rate = static_cast<std::uint32_t>(st.time_base.den);
        }
        // Many containers do not store the count: the stream's packets tell it.
        t.Length = st.nb_frames > 0 ? static_cast<std::uint32_t>(std::min<std::int64_t>(st.nb_frames, UINT32_MAX))
                                    : info.FramesInFile;
        return t;
    }

    // The frames the file holds: the entries of its index where it has one that lists
    // every frame (AVI, MP4, MOV), else its packets counted (the reader then starts again).
    std::uint32_t framesInFile(const AVStream& st)
    {
        if (std::strcmp(fmt->iformat->name, "matroska,webm") != 0) {
            const int entries = avformat_index_get_entries_count(&st);
            if (entries > 0)
                return static_cast<std::uint32_t>(entries);
        }
        std::uint64_t count = 0;
        AVPacket* p = av_packet_alloc();
        while (p && av_read_frame(fmt, p) >= 0) {
            if (p->stream_index == stream)
                ++count;
            av_packet_unref(p);
        }
        av_packet_free(&p);
        reopenAfterCount = true;
        return static_cast<std::uint32_t>(std::min<std::uint64_t>(count, UINT32_MAX));
    }
    bool reopenAfterCount = false;

    // True with the next frame in `frame`; false when there are no more.
    bool decodeNext()
    {
        for (;;) {
            int r = avcodec_receive_frame(codec, frame);
            if (r == 0)
                return true;
            if (r == AVERROR_EOF) {
                if (cut)
                    fail(frameText(info.Timing.Start + next), "the file ends inside it");
                return false;
            }
            if (r != AVERROR(EAGAIN)) {
                checkRefusal();
                fail(frameText(info.Timing.Start + next), "the frame's data is damaged");
            }
            if (flushed)
                return false;
            r = av_read_frame(fmt, packet);
            // A packet the end of the file cuts short ends the stream: the frames before
            // it still come out of the decoder, then the cut frame is reported.
            if (r >= 0 && packet->stream_index == stream && (packet->flags & AV_PKT_FLAG_CORRUPT)) {
                av_packet_unref(packet);
                cut = true;
                r = AVERROR_EOF;
            }
            if (r < 0) {
                avcodec_send_packet(codec, nullptr);
                flushed = true;
                continue;
            }
            // A packet without data would read as the end of the stream.
            if (packet->stream_index != stream || packet->size == 0) {
                av_packet_unref(packet);
                continue;
            }
            r = avcodec_send_packet(codec, packet);
            av_packet_unref(packet);
            if (r < 0 && r != AVERROR(EAGAIN)) {
                checkRefusal();
                fail(frameText(info.Timing.Start + next), "the frame's data is damaged");
            }
        }
    }

    // The position of the decoded frame counted from Start. In AVI files the time stamp
    // is the stream position, so frames after empty chunks keep their places; elsewhere
    // frames simply follow each other.
    std::uint64_t ordinalOfFrame() const
    {
        const std::int64_t ts = frame->best_effort_timestamp;
        if (info.Avi && ts != AV_NOPTS_VALUE && ts >= static_cast<std::int64_t>(info.Timing.Start)) {
            const std::uint64_t k = static_cast<std::uint64_t>(ts) - info.Timing.Start;
            if (k > next && k - next <= info.Timing.Length)
                return k;
        }
        return next;
    }

    void convert(const AVFrame* frame, TBitmap& out)
    {
        const int w = info.Width, h = info.Height;
        if (frame->width <= 0 || frame->height <= 0)
            fail(frameText(info.Timing.Start + next), "the frame has no size");
        sws = sws_getCachedContext(sws, frame->width, frame->height, static_cast<AVPixelFormat>(frame->format), w, h,
                                   AV_PIX_FMT_BGR24, SWS_BILINEAR, nullptr, nullptr, nullptr);
        if (!sws)
            fail(frameText(info.Timing.Start + next), "its pixel format cannot be converted");
        if (out.Width() != w || out.Height() != h || out.PixelFormat() != TPixelFormat::pf24bit)
            out = TBitmap(w, h, TPixelFormat::pf24bit);
        out.SetTransparent(false);
        // swscale's vector code writes past the end of a row: it converts into rows of
        // its own, aligned and padded, which are then copied.
        const std::size_t rowBytes = static_cast<std::size_t>(w) * 3;
        const std::size_t stride = (rowBytes + 63) & ~std::size_t(63);
        scratchReservation.Reserve(stride * (static_cast<std::size_t>(h) + 1), "a video frame");
        scratch.resize(stride * (static_cast<std::size_t>(h) + 1));
        std::uint8_t* dst[4] = {scratch.data(), nullptr, nullptr, nullptr};
        int strides[4] = {static_cast<int>(stride), 0, 0, 0};
        sws_scale(sws, frame->data, frame->linesize, 0, frame->height, dst, strides);
        for (int y = 0; y < h; ++y)
            std::memcpy(out.ScanLine(y), scratch.data() + static_cast<std::size_t>(y) * stride, rowBytes);
    }
    TMemoryReservation scratchReservation;
    std::vector<std::uint8_t> scratch;
};

namespace {

// FFmpeg's libraries are loaded before the reader exists: a reader that cannot have them
// is never made, so nothing half-made calls into them on its way out.
template <class TImpl> std::unique_ptr<TImpl> withLibraries()
{
    FFmpeg();
    return std::make_unique<TImpl>();
}

} // namespace

TVideoReader::TVideoReader(const std::string& path) : m(withLibraries<Impl>())
{
    m->path = path;
    m->open();
    if (m->reopenAfterCount)
        m->open();
}

TVideoReader::TVideoReader(std::vector<std::uint8_t> bytes) : m(withLibraries<Impl>())
{
    m->memory = true;
    m->bytes = std::move(bytes);
    m->open();
    if (m->reopenAfterCount)
        m->open();
}

TVideoReader::~TVideoReader() = default;

const TVideoStreamInfo& TVideoReader::Info() const { return m->info; }

void TVideoReader::Rewind() { m->open(); }

bool TVideoReader::NextFrame(TBitmap& out)
{
    if (!m->held) {
        if (!m->decodeNext())
            return false;
        m->held = true;
        m->heldOrdinal = m->ordinalOfFrame();
    }
    if (m->heldOrdinal > m->next) {
        // An empty position: the frame before it stays (black when there is none).
        if (m->lastFrame) {
            m->convert(m->lastFrame, out);
        } else {
            if (out.Width() != m->info.Width || out.Height() != m->info.Height || out.PixelFormat() != TPixelFormat::pf24bit)
                out = TBitmap(m->info.Width, m->info.Height, TPixelFormat::pf24bit);
            out.SetTransparent(false);
            out.Fill(clBlack);
        }
    } else {
        m->convert(m->frame, out);
        if (!m->lastFrame)
            m->lastFrame = av_frame_alloc();
        if (!m->lastFrame)
            throw EOutOfMemory(MemoryBudget::SystemRefusalMessage());
        av_frame_unref(m->lastFrame);
        av_frame_move_ref(m->lastFrame, m->frame);
        m->held = false;
    }
    ++m->next;
    return true;
}

void TVideoReader::ReadFrame(std::uint32_t position, TBitmap& out)
{
    const TAviStreamTiming& t = m->info.Timing;
    if (position < t.Start)
        fail(frameText(position), "the stream starts at frame " + std::to_string(t.Start));
    const std::uint64_t k = position - t.Start;
    if (k < m->next)
        Rewind();
    while (m->next <= k)
        if (!NextFrame(out))
            fail(frameText(position), "the file ends before it");
}
