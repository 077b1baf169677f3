#include "Assembly.h"

#include "gif/GIFAnimationWriter.h"
#include "gif/GIFOptimize.h"
#include "gif/OrderedParallel.h"
#include "graphics/BmpFile.h"
#include "graphics/Exception.h"
#include "graphics/FileWrite.h"
#include "graphics/MemoryBudget.h"
#include "platform/Ui.h"

#include <algorithm>
#include <optional>

namespace {

// The frame appended to `image` from `bitmap` with its graphic control and, for the
// animation's `first` frame, the loop extension before it.
int appendFrame(TGIFImage& image, const TBitmap& bitmap, bool transparent, int delay, int loops, bool first)
{
    const int i = image.Add(bitmap);
    TGIFSubImage& frame = *image.Images[static_cast<std::size_t>(i)];
    // The conversion may have put its own graphic control in front; ours replace it so
    // frame 0 reads loop extension, graphic control.
    while (!frame.Extensions.empty())
        frame.DeleteExtension(frame.Extensions.size() - 1);
    if (first) {
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

void optimizeDocument(TGIFImage& image, const TAssemblyOptions& options)
{
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
}

// Frames in flight at once: each worker's and the ones waiting their turn.
int framesInFlight(int frames) { return std::min(frames, 2 * WorkerThreadCount(0) + 1); }

} // namespace

TAssemblyInput StripAssemblyInput(const TFrameStrip& strip, bool selectionOnly)
{
    TAssemblyInput input;
    input.Width = strip.FrameWidth();
    input.Height = strip.FrameHeight();
    input.Loops = strip.LoopCount();
    std::vector<std::shared_ptr<const TBitmap>> pictures;
    for (int i = 0; i < strip.Count(); ++i) {
        const TFrameRecord& f = strip.FindFrameImage(i);
        if (selectionOnly && !strip.IsSelected(i))
            continue;
        input.Frames.push_back({strip.GetFrameDelay(i), f.Transparent()});
        pictures.push_back(f.Picture);
    }
    if (!pictures.empty()) {
        input.Width = pictures[0]->Width();
        input.Height = pictures[0]->Height();
    }
    input.Picture = [pictures = std::move(pictures)](int i) { return pictures[static_cast<std::size_t>(i)]; };
    return input;
}

TAssemblyInput WizardAssemblyInput(const TFrameStrip& strip)
{
    TAssemblyInput input;
    const std::vector<TBitmap>& images = strip.WizardImages();
    for (std::size_t i = 0; i < images.size(); ++i)
        input.Frames.push_back({strip.Session.DefaultDelay, strip.Session.DefTrans});
    if (!images.empty()) {
        input.Width = images[0].Width();
        input.Height = images[0].Height();
    }
    input.Picture = [&images](int i) { return BorrowedFrame(images[static_cast<std::size_t>(i)]); };
    return input;
}

TAssemblyResult AssembleAnimation(const TAssemblyInput& input, const TAssemblyOptions& options, const TAssemblyView& view)
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
        const int count = input.Count();
        if (count > 0)
            MemoryBudget::Check(AssemblyMemoryNeed(count, input.Width, input.Height),
                                AssemblyDescription(count, input.Width, input.Height));
        ReduceFramesInOrder(
            count, input.Picture, options.Reduction,
            [&](int i, TBitmap& reduced) {
                const TAssemblyFrame& f = input.Frames[static_cast<std::size_t>(i)];
                reduced.SetTransparent(false);
                AddAnimationFrame(image, reduced, f.Transparent, f.Delay, input.Loops, view);
                last = std::move(reduced);
            },
            options.Threads, !options.FramePalettes);
        optimizeDocument(image, options);
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

TAnimationWritten WriteAnimation(const TAssemblyInput& input, TFileSink& out, const TAssemblyOptions& options,
                                 const TAssemblyView& view)
{
    if (options.Merge || options.Crop) {
        const TAssemblyResult built = AssembleAnimation(input, options, view);
        if (!built.Succeeded())
            std::rethrow_exception(built.Error);
        out.Write(built.Bytes);
        return {built.Document->Count(), built.Bytes.size()};
    }
    const int count = input.Count();
    if (count > 0)
        MemoryBudget::Check(StreamedAssemblyMemoryNeed(count, input.Width, input.Height),
                            AssemblyDescription(count, input.Width, input.Height));
    const bool merged = !options.FramePalettes;
    TGIFAnimationWriter writer(out, merged, RawHoldAllowance(count, input.Width, input.Height));
    // Each frame becomes a document of its own on the worker that reduced it, and is
    // compressed there; it waits in its slot until its turn.
    std::vector<std::optional<TGIFPendingFrame>> pending(static_cast<std::size_t>(count));
    ReduceFramesInOrder(
        count, input.Picture, options.Reduction,
        [&](int i, TBitmap& reduced) {
            if (view.ShowFrame)
                view.ShowFrame(reduced);
            std::optional<TGIFPendingFrame>& frame = pending[static_cast<std::size_t>(i)];
            writer.Add(std::move(*frame));
            frame.reset();
        },
        options.Threads, merged,
        [&](int i, TBitmap& reduced) {
            const TAssemblyFrame& f = input.Frames[static_cast<std::size_t>(i)];
            auto document = std::make_unique<TGIFImage>();
            document->Reduction = options.Reduction;
            reduced.SetTransparent(f.Transparent);
            appendFrame(*document, reduced, f.Transparent, f.Delay, input.Loops, i == 0);
            reduced.SetTransparent(false);
            pending[static_cast<std::size_t>(i)] = writer.Prepare(std::move(document));
        });
    writer.Finish(options.Threads);
    return {writer.Count(), writer.Size()};
}

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

std::uint64_t RawHoldAllowance(int frames, int width, int height)
{
    // A short animation's frames all wait at one byte a pixel when that takes at most an
    // eighth of the budget: compressing them to wait and decoding them again costs about
    // a fifth of the run. A longer one keeps a small share of the budget uncompressed and
    // compresses the rest, so its memory stays far below its length.
    const std::uint64_t whole = MemoryBudget::PictureBytes(width, height, frames, 1);
    const std::uint64_t limit = MemoryBudget::Limit();
    if (whole <= limit / 8)
        return whole;
    return std::min(TGIFAnimationWriter::kRawAllowance, limit / 32);
}

std::uint64_t StreamedAssemblyMemoryNeed(int frames, int width, int height)
{
    return framesInFlight(frames)
           * (MemoryBudget::PictureBytes(width, height) + 2 * MemoryBudget::PictureBytes(width, height, 1, 1));
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
    return appendFrame(image, frameBitmap, transparent, delay, loops, image.Empty());
}

TAssemblyResult CreateAnimation(const TFrameStrip& strip, bool selectionOnly, const TAssemblyOptions& options,
                                const TAssemblyView& view)
{
    return AssembleAnimation(StripAssemblyInput(strip, selectionOnly), options, view);
}

TAssemblyResult PreviewWizardFrames(const TFrameStrip& strip, const TAssemblyOptions& options, const TAssemblyView& view)
{
    return AssembleAnimation(WizardAssemblyInput(strip), options, view);
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
