// LZW encoding and decoding of a 640 x 480 frame: ours next to giflib on the same pixels.
#include "gif/GIFImage.h"
#include "gif/LzwDecoder.h"
#include "gif/LzwEncoder.h"

#include <benchmark/benchmark.h>

#ifdef HAVE_GIFLIB
#include <gif_lib.h>
#endif

#include <cstring>
#include <vector>

namespace {

constexpr int kW = 640, kH = 480;

// Photo-like: smooth gradients with noise over 256 colours.
std::vector<std::uint8_t> photo()
{
    std::vector<std::uint8_t> px(kW * kH);
    unsigned s = 12345;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            s = s * 1103515245u + 12345u;
            px[y * kW + x] = static_cast<std::uint8_t>((x / 3 + y / 2 + (s >> 16) % 9) & 0xFF);
        }
    return px;
}

// Flat: large blocks of 8 colours, as drawn animations have.
std::vector<std::uint8_t> flat()
{
    std::vector<std::uint8_t> px(kW * kH);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            px[y * kW + x] = static_cast<std::uint8_t>(((x / 40) + (y / 30) * 3) % 8);
    return px;
}

const std::vector<std::uint8_t>& pixels(int kind)
{
    static const std::vector<std::uint8_t> p = photo(), f = flat();
    return kind == 0 ? p : f;
}

std::vector<std::uint8_t> oursEncode(const std::vector<std::uint8_t>& px)
{
    std::vector<std::uint8_t> out;
    TGIFWriter writer(out);
    TGIFEncodeSource src;
    src.Pixels = px.data();
    src.Width = kW;
    src.Height = kH;
    src.BitsPerPixel = 8;
    src.MaxColor = 256;
    TLZWEncoder encoder;
    encoder.Compress(writer, src);
    return out;
}

void BM_OursEncode(benchmark::State& state)
{
    const auto& px = pixels(static_cast<int>(state.range(0)));
    std::size_t size = 0;
    for (auto _ : state) {
        auto out = oursEncode(px);
        size = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["bytes"] = static_cast<double>(size);
    state.SetItemsProcessed(state.iterations() * kW * kH);
}

void BM_OursDecode(benchmark::State& state)
{
    const auto& px = pixels(static_cast<int>(state.range(0)));
    const auto data = oursEncode(px);
    std::vector<std::uint8_t> dest(kW * kH);
    for (auto _ : state) {
        TGIFReader reader(data);
        TGIFDecodeTarget t{dest.data(), kW, kH, false};
        DecodeLZW(reader, t, [](const char*) {});
        benchmark::DoNotOptimize(dest.data());
    }
    if (dest != px)
        state.SkipWithError("decoded pixels differ");
    state.SetItemsProcessed(state.iterations() * kW * kH);
}

#ifdef HAVE_GIFLIB
int writeMem(GifFileType* gif, const GifByteType* buf, int n)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
    out->insert(out->end(), buf, buf + n);
    return n;
}

struct MemIn {
    const std::vector<std::uint8_t>* data;
    std::size_t pos;
};

int readMem(GifFileType* gif, GifByteType* buf, int n)
{
    auto* in = static_cast<MemIn*>(gif->UserData);
    const std::size_t k = std::min<std::size_t>(n, in->data->size() - in->pos);
    std::memcpy(buf, in->data->data() + in->pos, k);
    in->pos += k;
    return static_cast<int>(k);
}

std::vector<std::uint8_t> giflibEncode(const std::vector<std::uint8_t>& px)
{
    std::vector<std::uint8_t> out;
    int err = 0;
    GifFileType* gif = EGifOpen(&out, writeMem, &err);
    std::vector<GifColorType> colors(256);
    for (int i = 0; i < 256; ++i)
        colors[i] = {static_cast<GifByteType>(i), static_cast<GifByteType>(i), static_cast<GifByteType>(i)};
    ColorMapObject* map = GifMakeMapObject(256, colors.data());
    EGifPutScreenDesc(gif, kW, kH, 8, 0, map);
    EGifPutImageDesc(gif, 0, 0, kW, kH, false, nullptr);
    for (int y = 0; y < kH; ++y)
        EGifPutLine(gif, const_cast<GifPixelType*>(px.data()) + y * kW, kW);
    EGifCloseFile(gif, &err);
    GifFreeMapObject(map);
    return out;
}

void BM_GiflibEncode(benchmark::State& state)
{
    const auto& px = pixels(static_cast<int>(state.range(0)));
    std::size_t size = 0;
    for (auto _ : state) {
        auto out = giflibEncode(px);
        size = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["bytes"] = static_cast<double>(size);
    state.SetItemsProcessed(state.iterations() * kW * kH);
}

void BM_GiflibDecode(benchmark::State& state)
{
    const auto& px = pixels(static_cast<int>(state.range(0)));
    const auto data = giflibEncode(px);
    std::vector<std::uint8_t> dest(kW * kH);
    for (auto _ : state) {
        MemIn in{&data, 0};
        int err = 0;
        GifFileType* gif = DGifOpen(&in, readMem, &err);
        GifRecordType type;
        while (DGifGetRecordType(gif, &type) == GIF_OK && type != IMAGE_DESC_RECORD_TYPE && type != TERMINATE_RECORD_TYPE) {
        }
        DGifGetImageDesc(gif);
        for (int y = 0; y < kH; ++y)
            DGifGetLine(gif, dest.data() + y * kW, kW);
        DGifCloseFile(gif, &err);
        benchmark::DoNotOptimize(dest.data());
    }
    if (dest != px)
        state.SkipWithError("decoded pixels differ");
    state.SetItemsProcessed(state.iterations() * kW * kH);
}
#endif

} // namespace

// Argument 0: photo-like, 1: flat.
BENCHMARK(BM_OursEncode)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
#ifdef HAVE_GIFLIB
BENCHMARK(BM_GiflibEncode)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
#endif
BENCHMARK(BM_OursDecode)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
#ifdef HAVE_GIFLIB
BENCHMARK(BM_GiflibDecode)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
#endif
