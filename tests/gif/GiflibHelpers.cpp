#include "GiflibHelpers.h"

#include <gif_lib.h>

#include <cstring>
#include <memory>
#include <stdexcept>

namespace {

struct MemIn {
    const std::vector<std::uint8_t>* Data;
    std::size_t Pos = 0;
};

int readMem(GifFileType* gif, GifByteType* buf, int n)
{
    auto* in = static_cast<MemIn*>(gif->UserData);
    const std::size_t k = std::min<std::size_t>(static_cast<std::size_t>(n), in->Data->size() - in->Pos);
    std::memcpy(buf, in->Data->data() + in->Pos, k);
    in->Pos += k;
    return static_cast<int>(k);
}

int writeMem(GifFileType* gif, const GifByteType* buf, int n)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
    out->insert(out->end(), buf, buf + n);
    return n;
}

std::vector<TGIFColor> colorsOf(const ColorMapObject* map)
{
    std::vector<TGIFColor> c;
    if (map)
        for (int i = 0; i < map->ColorCount; ++i)
            c.push_back({map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue});
    return c;
}

ColorMapObject* makeMap(const std::vector<TGIFColor>& colors)
{
    int n = 2;
    while (n < static_cast<int>(colors.size()))
        n *= 2;
    std::vector<GifColorType> c(static_cast<std::size_t>(n), GifColorType{0, 0, 0});
    for (std::size_t i = 0; i < colors.size(); ++i)
        c[i] = {colors[i].Red, colors[i].Green, colors[i].Blue};
    return GifMakeMapObject(n, c.data());
}

} // namespace

GLFile GiflibDecode(const std::vector<std::uint8_t>& bytes)
{
    MemIn in{&bytes};
    int err = 0;
    GifFileType* gif = DGifOpen(&in, readMem, &err);
    if (!gif)
        throw std::runtime_error(std::string("giflib: ") + GifErrorString(err));
    std::unique_ptr<GifFileType, void (*)(GifFileType*)> guard(gif, [](GifFileType* g) { DGifCloseFile(g, nullptr); });
    GLFile file;
    file.Version.assign(reinterpret_cast<const char*>(bytes.data()) + 3, 3);
    file.Width = gif->SWidth;
    file.Height = gif->SHeight;
    file.Global = colorsOf(gif->SColorMap);
    file.GlobalSorted = gif->SColorMap && gif->SColorMap->SortFlag;
    GLFrame pending;
    bool nextIsLoop = false;
    for (;;) {
        GifRecordType type;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR)
            throw std::runtime_error(std::string("giflib: ") + GifErrorString(gif->Error));
        if (type == TERMINATE_RECORD_TYPE)
            break;
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* ext = nullptr;
            if (DGifGetExtension(gif, &code, &ext) == GIF_ERROR)
                throw std::runtime_error("giflib: extension");
            if (code == GRAPHICS_EXT_FUNC_CODE && ext) {
                GraphicsControlBlock gcb;
                DGifExtensionToGCB(ext[0], ext + 1, &gcb);
                pending.Transparent = gcb.TransparentColor;
                pending.Delay = gcb.DelayTime;
                pending.Disposal = gcb.DisposalMode;
            }
            nextIsLoop = code == APPLICATION_EXT_FUNC_CODE && ext && ext[0] == 11 && std::memcmp(ext + 1, "NETSCAPE2.0", 11) == 0;
            while (ext) {
                if (DGifGetExtensionNext(gif, &ext) == GIF_ERROR)
                    throw std::runtime_error("giflib: extension block");
                if (ext && nextIsLoop && ext[0] >= 3 && ext[1] == 1) {
                    file.Loops = ext[2] | (ext[3] << 8);
                    nextIsLoop = false;
                }
            }
            continue;
        }
        if (type == IMAGE_DESC_RECORD_TYPE) {
            if (DGifGetImageDesc(gif) == GIF_ERROR)
                throw std::runtime_error(std::string("giflib: ") + GifErrorString(gif->Error));
            GLFrame f = pending;
            pending = GLFrame();
            f.Left = gif->Image.Left;
            f.Top = gif->Image.Top;
            f.Width = gif->Image.Width;
            f.Height = gif->Image.Height;
            f.Interlace = gif->Image.Interlace;
            f.LocalTable = gif->Image.ColorMap != nullptr;
            f.Colors = colorsOf(gif->Image.ColorMap ? gif->Image.ColorMap : gif->SColorMap);
            f.Pixels.assign(static_cast<std::size_t>(f.Width) * f.Height, 0);
            auto line = [&](int y) {
                if (DGifGetLine(gif, f.Pixels.data() + static_cast<std::size_t>(y) * f.Width, f.Width) == GIF_ERROR)
                    throw std::runtime_error(std::string("giflib: ") + GifErrorString(gif->Error));
            };
            if (f.Interlace) {
                const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
                for (int p = 0; p < 4; ++p)
                    for (int y = start[p]; y < f.Height; y += step[p])
                        line(y);
            } else {
                for (int y = 0; y < f.Height; ++y)
                    line(y);
            }
            file.Frames.push_back(std::move(f));
        }
    }
    return file;
}

std::vector<std::uint8_t> GiflibEncode(const GLFile& file)
{
    std::vector<std::uint8_t> out;
    int err = 0;
    GifFileType* gif = EGifOpen(&out, writeMem, &err);
    if (!gif)
        throw std::runtime_error("giflib: open");
    EGifSetGifVersion(gif, true);
    ColorMapObject* global = file.Global.empty() ? nullptr : makeMap(file.Global);
    if (EGifPutScreenDesc(gif, file.Width, file.Height, 8, 0, global) == GIF_ERROR)
        throw std::runtime_error("giflib: screen");
    for (const GLFrame& f : file.Frames) {
        if (f.Transparent >= 0 || f.Delay || f.Disposal) {
            GraphicsControlBlock gcb{f.Disposal, false, f.Delay, f.Transparent};
            GifByteType buf[4];
            const size_t n = EGifGCBToExtension(&gcb, buf);
            EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(n), buf);
        }
        ColorMapObject* local = f.LocalTable ? makeMap(f.Colors) : nullptr;
        if (EGifPutImageDesc(gif, f.Left, f.Top, f.Width, f.Height, f.Interlace, local) == GIF_ERROR)
            throw std::runtime_error("giflib: image desc");
        auto line = [&](int y) {
            EGifPutLine(gif, const_cast<GifPixelType*>(f.Pixels.data()) + static_cast<std::size_t>(y) * f.Width, f.Width);
        };
        if (f.Interlace) {
            const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
            for (int p = 0; p < 4; ++p)
                for (int y = start[p]; y < f.Height; y += step[p])
                    line(y);
        } else {
            for (int y = 0; y < f.Height; ++y)
                line(y);
        }
        if (local)
            GifFreeMapObject(local);
    }
    EGifCloseFile(gif, &err);
    if (global)
        GifFreeMapObject(global);
    return out;
}
