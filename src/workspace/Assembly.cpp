#include "Assembly.h"

#include "gif/GIFOptimize.h"
#include "gif/OrderedParallel.h"
#include "graphics/BmpFile.h"
#include "graphics/Exception.h"
#include "graphics/FileWrite.h"
#include "graphics/MemoryBudget.h"
#include "platform/Ui.h"

#include <algorithm>

namespace {

struct TAssemblyFrame {
    const TBitmap* Bitmap;
    bool Transparent;
    int Delay;
};

TAssemblyResult assemble(const std::vector<TAssemblyFrame>& frames, int loops, const TAssemblyOptions& options,
                         const TAssemblyView& view)
{
    WaitCursor wait;
    TAssemblyResult result;
    result.Document = std::make_shared<TGIFImage>();
    TGIFImage& image = *result.Document;
    // Frames arrive reduced; rmNone must still build exact tables (and fail past 256).
    image.Reduction = options.Reduction;
    // Each frame is reduced into a bitmap of its own; the last one appended is kept for
    // Stop to show.
    TBitmap last;
    try {
        const int count = static_cast<int>(frames.size());
        if (count > 0) {
            const int w = frames[0].Bitmap->Width(), h = frames[0].Bitmap->Height();
            MemoryBudget::Check(AssemblyMemoryNeed(count, w, h), AssemblyDescription(count, w, h));
        }
        ReduceFramesInOrder(
            count, [&](int i) -> const TBitmap& { return *frames[static_cast<std::size_t>(i)].Bitmap; },
            options.Reduction,
            [&](int i, TBitmap& reduced) {
                const TAssemblyFrame& f = frames[static_cast<std::size_t>(i)];
                reduced.SetTransparent(false);
                AddAnimationFrame(image, reduced, f.Transparent, f.Delay, loops, view);
                last = std::move(reduced);
            },
            options.Threads, !options.FramePalettes);
        if (options.FramePalettes) {
            // Every frame keeps its own table, only sorted by use and rid of unused entries.
            auto lock = image.LockPainters();
            for (auto& frame : image.Images)
                frame->ColorMap.Optimize();
        } else {
            image.OptimizeColorMaps();
        }
        unsigned optimize = 0;
        if (options.Crop)
            optimize |= ooCrop;
        if (options.Merge)
            optimize |= ooMerge;
        if (optimize != 0)
            Optimize(image, optimize, options.Reduction.Palette, options.Reduction.Dither, options.Reduction.Bits);
    } catch (...) {
        result.Error = std::current_exception();
    }
    if (!last.Empty()) {
        try {
            last.SetPixelFormat(TPixelFormat::pf24bit);
            result.LastFrame = std::move(last);
        } catch (...) {
            if (!result.Error)
                result.Error = std::current_exception();
        }
    }
    // Measured even after a failure: the size of what was built, when it can be written.
    try {
        if (!image.Empty()) {
            result.Bytes = AnimationBytes(image);
            result.Size = static_cast<std::int64_t>(result.Bytes.size());
        }
    } catch (...) {
        result.Bytes.clear();
        result.Size = -1;
    }
    return result;
}

} // namespace

std::uint64_t AssemblyMemoryNeed(int frames, int width, int height)
{
    // One byte a pixel for every frame of the document; each frame being reduced (up to
    // two per core wait in order) as a 24-bit copy and its 8-bit result, and the copy that
    // becomes the frame.
    const int inFlight = std::min(frames, 2 * WorkerThreadCount(0));
    return MemoryBudget::PictureBytes(width, height, frames, 1)
           + inFlight * (MemoryBudget::PictureBytes(width, height) + MemoryBudget::PictureBytes(width, height, 1, 1))
           + MemoryBudget::PictureBytes(width, height, 1, 1);
}

std::string FrameCountText(int frames)
{
    return std::to_string(frames) + (frames == 1 ? " frame" : " frames");
}

std::string AssemblyDescription(int frames, int width, int height)
{
    return "an animation of " + FrameCountText(frames) + " of " + std::to_string(width) + " x " + std::to_string(height);
}

int AddAnimationFrame(TGIFImage& image, const TBitmap& bitmap, bool transparent, int delay, int loops,
                      const TAssemblyView& view)
{
    if (view.ShowFrame)
        view.ShowFrame(bitmap);
    TBitmap frameBitmap = bitmap;
    frameBitmap.SetTransparent(transparent);
    const int i = image.Add(frameBitmap);
    TGIFSubImage& frame = *image.Images[static_cast<std::size_t>(i)];
    // The conversion may have put its own graphic control in front; ours replace it so
    // frame 0 reads loop extension, graphic control.
    while (!frame.Extensions.empty())
        frame.DeleteExtension(frame.Extensions.size() - 1);
    if (i == 0) {
        auto* loop = frame.AddExtension<TGIFAppExtNSLoop>();
        loop->SetLoops(loops);
    }
    auto* gce = frame.AddExtension<TGIFGraphicControlExtension>();
    gce->SetDelay(delay);
    if (transparent && !frame.Empty()) {
        gce->SetTransparent(true);
        gce->SetTransparentColorIndex(frame.Pixel(0, frame.Height() - 1));
    }
    return i;
}

TAssemblyResult CreateAnimation(const TFrameStrip& strip, bool selectionOnly, const TAssemblyOptions& options,
                                const TAssemblyView& view)
{
    std::vector<TAssemblyFrame> frames;
    for (int i = 0; i < strip.Count(); ++i) {
        const TFrameRecord& f = strip.FindFrameImage(i);
        if (selectionOnly && !strip.IsSelected(i))
            continue;
        frames.push_back({&f.Bitmap(), f.Transparent(), strip.GetFrameDelay(i)});
    }
    return assemble(frames, strip.LoopCount(), options, view);
}

TAssemblyResult PreviewWizardFrames(const TFrameStrip& strip, const TAssemblyOptions& options, const TAssemblyView& view)
{
    std::vector<TAssemblyFrame> frames;
    for (const TBitmap& b : strip.WizardImages())
        frames.push_back({&b, strip.Session.DefTrans, strip.Session.DefaultDelay});
    return assemble(frames, 0, options, view);
}

TPreviewCommands PreviewCommands(TPreviewState state)
{
    switch (state) {
    case TPreviewState::Animation:
        return {"Save GIF &As...", "GIF", true, true};
    case TPreviewState::Stopped:
        return {"Save BMP &As...", "BMP", true, false};
    case TPreviewState::Nothing:
        break;
    }
    return {"Save &As...", "GIF", false, false};
}

TFileDialogOptions PreviewSaveDialog(TPreviewState state, const std::string& imagesDir)
{
    TFileDialogOptions o;
    o.Title = "Save animated GIF";
    o.InitialDir = imagesDir;
    o.OverwritePrompt = true;
    if (state == TPreviewState::Stopped) {
        o.Filters = {"Bitmaps|*.bmp"};
        o.DefaultExt = "bmp";
    } else {
        o.Filters = {"GIF Image|*.gif"};
        o.DefaultExt = "gif";
    }
    return o;
}

void SavePreview(const std::string& path, TPreviewState state, const TGIFImage* document, const TBitmap& stopped)
{
    if (state == TPreviewState::Animation) {
        if (!document || document->Empty())
            throw Exception("There is no animation to save");
        WriteFileAtomic(path, AnimationBytes(*document));
    } else if (state == TPreviewState::Stopped) {
        if (stopped.Empty())
            throw Exception("There is no picture to save");
        SaveBmpFile(stopped, path);
    }
}

std::vector<std::uint8_t> AnimationBytes(const TGIFImage& image) { return image.SaveToBytes(); }
