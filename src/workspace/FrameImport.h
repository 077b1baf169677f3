// Frames from files: Open replaces the strip with the frames of a GIF file (their delays
// and transparency), Import adds one image file (GIF, PNG, JPEG, icon, bitmap) as a new
// frame fitted to the frame size.
#pragma once

#include "FrameStrip.h"
#include "gif/GIFImage.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

// The rectangle a w x h source is stretched into inside `dest`, keeping its proportions by
// the longer source side: a source wider than tall spans dest's width, any other its
// height, centred on the other axis (halves round to even, the margin truncates). A wide
// source in a flat destination overflows it and is cut at its edges.
TRect FittedRect(int w, int h, const TRect& dest);

// The frames of a GIF as Open takes them, handed to `take` in order: every frame that holds
// pixels composed onto the logical screen as a browser shows it (TGIFComposer: disposal
// methods, transparent pixels), with the delay of its last graphic control extension
// (`defaultDelay` without one). A composed frame is transparent when its bottom-left pixel
// is a hole (no frame covers it there): the strip keys a frame's transparency by the colour
// of that pixel, and the hole colour is one no drawn pixel has, so in the strip the holes
// and only they carry it and Create makes them transparent again. Holes elsewhere in an
// opaque frame show the hole colour.
// The budget is asked first for every frame and the composer's screens; a refusal names
// `path`. Returns how many frames were handed over.
using TGIFFrameFn = std::function<void(const TBitmap& picture, int delay, bool transparent)>;
int ComposeGIFFrames(const TGIFImage& image, const std::string& path, int defaultDelay, const TGIFFrameFn& take);

// Loads a GIF file as Open and Import read it. The reader's warnings ("Premature end of
// data" for a file cut short: the frames complete before the cut are kept) are added to
// `warnings`, each text once, when it is given.
void LoadGIFDocument(TGIFImage& image, const std::string& path, std::vector<std::string>* warnings = nullptr);

// The picture Import takes from a GIF file: the first frame, or the first frame drawn on
// the logical screen when it does not cover it. A file without a frame that holds pixels,
// or whose picture is empty, is refused: "<path>: the GIF file has no picture".
TBitmap LoadGIFPicture(const std::string& path, std::vector<std::string>* warnings = nullptr);

// Open after the dialog: clears the strip, loads the file and adds its frames as
// ComposeGIFFrames makes them; the frame size becomes the logical screen's. A load error
// (or a refusal of the budget) is passed on with the strip left empty. The reader's
// warnings go to `warnings` as in LoadGIFDocument.
void OpenGIFFile(TFrameStrip& strip, const std::string& path, std::vector<std::string>* warnings = nullptr);

// Open of any animation: an APNG, WebP or video (export/AnimationOpen.h: frames with
// their delays, the file's loop count) or else a GIF as OpenGIFFile opens it.
void OpenAnimationFile(TFrameStrip& strip, const std::string& path, std::vector<std::string>* warnings = nullptr);

// Open once the file is known (OpenAnimationFile): a GIF cut short opens the frames before
// the cut and then says so.
void OpenGIFFileCommand(TFrameStrip& strip, const std::string& path);

// Animation > Open...: the file dialog (GIF, APNG, WebP, videos) starting in `openDir`,
// which becomes the chosen file's folder. Cancel does nothing. A file cut short opens the frames before the cut and
// then says so. Returns the file opened; nullopt on Cancel.
std::optional<std::string> OpenCommand(TFrameStrip& strip, std::string& openDir);

// Import of one file as a new frame (the popup "&Add" of the file list, a double-click).
// Extensions other than .gif, .png, .jpg, .jpeg, .ico and .bmp (any letter case) import
// nothing and return false. The selection does not change.
bool ImportImageFile(TFrameStrip& strip, const std::string& path, std::vector<std::string>* warnings = nullptr);

// ImportImageFile for many files, appended in order while the next ones are decoded on
// every core. A project (".anivor") adds all its frames with their delays and
// transparency; what a damaged one lost comes as its warnings. When a file's extension is not one Import takes, nothing is imported and
// its index is returned; -1 once every file is in. A file that cannot be read throws, and
// the files before it stay imported.
// A file's reader warnings (a GIF cut short) are handed to onWarnings in file order.
using TImportWarningsFn = std::function<void(const std::string& path, const std::vector<std::string>& warnings)>;
int ImportImageFiles(TFrameStrip& strip, const std::vector<std::string>& paths,
                     const TImportWarningsFn& onWarnings = {});

// True for a file whose extension Import takes (.gif, .png, .jpg, .jpeg, .ico, .bmp, and
// projects: .anivor; any letter case).
bool ImportsFile(const std::string& path);

// The picture Import would make of a file before fitting (an icon drawn over white);
// nullopt for an extension not imported.
std::optional<TBitmap> LoadImportPicture(const std::string& path, std::vector<std::string>* warnings = nullptr);

// Fits `picture` into width x height as Import does: unchanged when it has that size,
// else stretched into FittedRect on black at 24 bits.
TBitmap FitToFrame(const TBitmap& picture, int width, int height);

// A project's frames appended in order with their own delays (as typed) and transparency;
// the first frame of an empty strip sets the frame size, other sizes are fitted into it.
// `placed` is told the index of each new frame.
struct TProject;
void AppendProjectFrames(TFrameStrip& strip, const TProject& project, const std::function<void(int)>& placed = {});

// Files handed to the program (its command line, a drop on the strip or the frame list),
// inserted in order after frame `after` (-1, or past the last: at the end): the frames of
// a GIF as Open takes them (ComposeGIFFrames), of an APNG, WebP or video as
// ReadAnimationFile makes them, a project's frames with their delays and
// transparency, and every picture as Import makes it. The
// first frame of an empty strip sets the frame size; other sizes are fitted into it. The
// first inserted frame becomes the item index and the selection. A file that cannot be
// read is refused and the others are still inserted.
struct TInsertResult {
    int Inserted = 0;
    std::vector<std::string> Skipped;  // not a GIF or picture file, or not a file at all
    std::vector<std::string> Refused;  // "<path>: <why it could not be read>"
    std::vector<std::string> Warnings; // "<path>: <reader warning>"
    std::vector<std::string> Losses;   // "<path>: <what a damaged project lost>"
    std::vector<std::string> GIFFiles; // the GIFs and other animations that gave frames
};
TInsertResult InsertFiles(TFrameStrip& strip, const std::vector<std::string>& paths, int after = -1);

// InsertFiles with its message: one names every file not taken and why (not a file Anivor
// takes, unreadable, a GIF cut short); an error when nothing was inserted, else a warning.
// Returns the GIFs that gave frames.
std::vector<std::string> InsertFilesCommand(TFrameStrip& strip, const std::vector<std::string>& paths, int after = -1);
