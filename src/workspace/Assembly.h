// Animation assembly: the frames of the strip (all, the selection, or the wizard's result
// list) or of image files reduced one by one and put together into a GIF document with
// their delays, transparency and the loop extension, the colour tables merged, optionally
// optimised (Merge, Crop), and measured. Or the same file written straight to disk while
// the frames are made, in memory that does not grow at 8 bits a pixel with the length.
// Plain functions: the main window and anivor-cli both call them; the window watches
// through TAssemblyView.
#pragma once

#include "FrameStrip.h"
#include "gif/GIFImage.h"
#include "gif/ReduceSettings.h"
#include "graphics/FileWrite.h"
#include "platform/Ui.h"

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct TAssemblyOptions {
    TReduceSettings Reduction;
    bool Merge = false; // frame optimiser: pixels repeating the previous frame become transparent
    bool Crop = false;  // frame optimiser: transparent frames cut to their visible pixels
    // Keep Frame Palettes: every frame keeps its own colour table instead of one merged
    // global table.
    bool FramePalettes = false;
    // Threads that reduce the frames; 0: one per core. The file is the same for any number.
    int Threads = 0;
};

// What the user sees while an animation is built. Every member may be left empty.
struct TAssemblyView {
    // A reduced frame about to be appended, in order, on the calling thread; shown and
    // repainted at once.
    std::function<void(const TBitmap& frame)> ShowFrame;
};

struct TAssemblyResult {
    std::shared_ptr<TGIFImage> Document;
    // The document as Save writes it, and its size; empty and -1 when even what was built
    // cannot be written.
    std::vector<std::uint8_t> Bytes;
    std::int64_t Size = -1;
    // The last frame appended, reduced, at 24 bits: what the preview shows once stopped.
    TBitmap LastFrame;
    // The failure that ended the build (null on success); the caller shows it.
    std::exception_ptr Error;
    bool Succeeded() const { return !Error; }
};

// The frames an assembly reads: each one's delay and transparency, and its picture handed
// out only when the assembly asks for it (from the strip, or decoded from a file just
// then).
struct TAssemblyFrame {
    int Delay = 0;
    bool Transparent = false;
};
struct TAssemblyInput {
    std::vector<TAssemblyFrame> Frames;
    int Width = 0; // every picture's size
    int Height = 0;
    int Loops = 0; // of the loop extension (low 16 bits)
    // Frame i's picture; called on worker threads, in any order, once or (Best) twice a
    // frame: it must only read what it shares.
    TFrameSource Picture;
    int Count() const { return static_cast<int>(Frames.size()); }
};
// Create's frames (all, or the selected ones) and the wizard's result list as the preview
// reads them: DefaultDelay, the DefTrans state, loop extension 0 (forever).
TAssemblyInput StripAssemblyInput(const TFrameStrip& strip, bool selectionOnly);
TAssemblyInput WizardAssemblyInput(const TFrameStrip& strip);

// Appends `bitmap` as a new frame of `image` with its graphic control extension (delay,
// low 16 bits; when `transparent`, the transparent flag and the index of the frame's
// bottom-left pixel); frame 0 first gets the loop extension with `loops` (low 16 bits).
// Extensions the conversion added on its own are replaced by these. Returns the index.
int AddAnimationFrame(TGIFImage& image, const TBitmap& bitmap, bool transparent, int delay, int loops,
                      const TAssemblyView& view = {});

// Memory an assembly of `frames` frames of width x height needs besides the frames
// themselves: the document's pixels and the copies of the frame being reduced. Create and
// the wizard preview ask the memory budget for it before the first frame.
std::uint64_t AssemblyMemoryNeed(int frames, int width, int height);
// The same for WriteAnimation, which holds no document: the frames in flight (each
// picture as read, its reduced copy and the frame made of it). What it keeps of each
// frame, compressed, is asked for as the frames come.
std::uint64_t StreamedAssemblyMemoryNeed(int frames, int width, int height);
// Bytes of reduced frames WriteAnimation's merged table holds uncompressed: all of them
// when the whole animation at one byte a pixel takes at most an eighth of the memory
// budget, else a small share of the budget.
std::uint64_t RawHoldAllowance(int frames, int width, int height);
// "1 frame", "10 frames": how refusals count them.
std::string FrameCountText(int frames);
// The words a refusal names an assembly by: "an animation of 10 frames of 640 x 480".
std::string AssemblyDescription(int frames, int width, int height);

// Builds the document of `input`. Each frame is reduced into a bitmap of its own and
// appended. The hourglass shows while it runs. Never throws: a failure is returned in
// Error with whatever was built until then.
TAssemblyResult AssembleAnimation(const TAssemblyInput& input, const TAssemblyOptions& options,
                                  const TAssemblyView& view = {});

// Writes the file AssembleAnimation would measure into `out`, frame by frame: frames are
// read, reduced and compressed in order on every core, a few at a time; with the merged
// table each is held compressed until the last is in. Merge and Crop compare whole
// frames: with them the document is built first. Throws on failure (`out` then holds a
// part). Returns the frames and bytes written.
struct TAnimationWritten {
    int Frames = 0;
    std::uint64_t Size = 0;
};
TAnimationWritten WriteAnimation(const TAssemblyInput& input, TFileSink& out, const TAssemblyOptions& options,
                                 const TAssemblyView& view = {});

// Create (all frames) or Create Selection (`selectionOnly`). Each frame is reduced into a
// bitmap of its own and appended. The hourglass shows while it runs. Never throws: a
// failure is returned in Error with whatever was built until then.
TAssemblyResult CreateAnimation(const TFrameStrip& strip, bool selectionOnly, const TAssemblyOptions& options,
                                const TAssemblyView& view = {});

// The same for the images of the wizard result list: DefaultDelay, the DefTrans state,
// loop extension 0 (forever).
TAssemblyResult PreviewWizardFrames(const TFrameStrip& strip, const TAssemblyOptions& options,
                                    const TAssemblyView& view = {});

// The states of the preview and what the save and stop commands show in each.
enum class TPreviewState { Nothing, Animation, Stopped };
struct TPreviewCommands {
    const char* SaveCaption;   // SaveAs1
    const char* ButtonCaption; // btnsaveani
    bool SaveEnabled;
    bool StopEnabled;
};
TPreviewCommands PreviewCommands(TPreviewState state);

// The save dialog's settings for what the preview shows: a document is a "GIF Image"
// (extension "GIF"), a bitmap "Bitmaps" ("bmp"); titled "Save animated GIF", starting in
// `imagesDir`.
TFileDialogOptions PreviewSaveDialog(TPreviewState state, const std::string& imagesDir);

// Writes the preview: the document as a GIF in the Animation state, `stopped` (the last
// assembled frame) as a BMP in the Stopped state. Written whole or not at all.
void SavePreview(const std::string& path, TPreviewState state, const TGIFImage* document, const TBitmap& stopped);

// Bytes of a document as Save writes them.
std::vector<std::uint8_t> AnimationBytes(const TGIFImage& image);
