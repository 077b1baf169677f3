#include "FrameImport.h"

#include "gif/OrderedParallel.h"
#include "graphics/BmpFile.h"
#include "graphics/IcoFile.h"
#include "graphics/ImageFile.h"
#include "graphics/NumberRules.h"
#include "graphics/canvas/Canvas.h"
#include "platform/Ui.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>

namespace {

std::string upperExtension(const std::string& path)
{
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return ext;
}

// Adds `bitmap` as the strip's last frame with its own delay and transparency, leaving the
// item index where it was.
void appendFrame(TFrameStrip& strip, const TBitmap& bitmap, int delay, bool transparent)
{
    const int keep = strip.ItemIndex();
    const TStripUpdate update(strip);
    const int at = strip.Append(bitmap);
    strip.SetDelayText(at, std::to_string(delay));
    strip.SetTransparent(at, transparent);
    strip.SetItemIndex(keep);
}

} // namespace

TRect FittedRect(int w, int h, const TRect& dest)
{
    const int W = dest.Right - dest.Left;
    const int H = dest.Bottom - dest.Top;
    if (w <= 0 || h <= 0)
        return dest;
    if (w > h) {
        const int h2 = static_cast<int>(Round(static_cast<double>(h) / w * W));
        const int m = (H - h2) / 2;
        return {dest.Left, dest.Top + m, dest.Right, dest.Bottom - m};
    }
    const int w2 = static_cast<int>(Round(static_cast<double>(w) / h * H));
    const int m = (W - w2) / 2;
    return {dest.Left + m, dest.Top, dest.Right - m, dest.Bottom};
}

bool AddFrameFromGIF(TFrameStrip& strip, const TGIFImage& image, int i)
{
    const TGIFSubImage& frame = *image.Images.at(static_cast<std::size_t>(i));
    int delay = strip.DefaultDelay;
    bool transparent = strip.DefTrans;
    strip.WorkBitmap = frame.Bitmap();
    if (strip.Count() == 0) {
        strip.FrameWidth = strip.WorkBitmap.Width();
        strip.FrameHeight = strip.WorkBitmap.Height();
    }
    for (const auto& ext : frame.Extensions)
        if (const auto* gce = dynamic_cast<const TGIFGraphicControlExtension*>(ext.get())) {
            delay = gce->Delay();
            transparent = gce->Transparent();
        }
    if (strip.WorkBitmap.Empty() || strip.WorkBitmap.Width() != strip.FrameWidth
        || strip.WorkBitmap.Height() != strip.FrameHeight)
        return false;
    appendFrame(strip, strip.WorkBitmap, delay, transparent);
    return true;
}

void OpenGIFFile(TFrameStrip& strip, const std::string& path)
{
    strip.LastOpenedFile = path;
    strip.ClearFrames();
    strip.FrameCounter = 1;
    TGIFImage image;
    image.LoadFromFile(path);
    const TStripUpdate update(strip);
    for (int i = 0; i < image.Count(); ++i)
        AddFrameFromGIF(strip, image, i);
}

void OpenCommand(TFrameStrip& strip, std::string& openDir)
{
    TFileDialogOptions o;
    o.Filters = {"GIF Files|*.gif"};
    o.DefaultExt = "gif";
    o.InitialDir = openDir;
    o.OverwritePrompt = false;
    const auto path = UI().OpenFile(o);
    if (!path)
        return;
    openDir = std::filesystem::path(*path).parent_path().string();
    WaitCursor wait;
    OpenGIFFile(strip, *path);
}

bool LoadImportPicture(const std::string& path, TBitmap& work)
{
    const std::string ext = upperExtension(path);
    if (ext == ".GIF") {
        TGIFImage image;
        image.LoadFromFile(path);
        work = image.Bitmap();
    } else if (ext == ".PNG" || ext == ".JPG" || ext == ".JPEG" || ext == ".BMP") {
        work = LoadImageFile(path);
    } else if (ext == ".ICO") {
        AssignIcon(work, LoadIcoFile(path));
    } else {
        return false;
    }
    return true;
}

TBitmap FitToFrame(const TBitmap& picture, int width, int height)
{
    if (picture.Width() == width && picture.Height() == height)
        return picture;
    TBitmap fitted(width, height, TPixelFormat::pf24bit);
    fitted.Fill(clBlack);
    TCanvas canvas(fitted);
    canvas.StretchDraw(FittedRect(picture.Width(), picture.Height(), {0, 0, width, height}), picture);
    return fitted;
}

namespace {

// The end of an import, WorkBitmap holding the picture: the first picture sets the frame
// size, the others are fitted into it.
void appendImportedPicture(TFrameStrip& strip)
{
    if (strip.Count() == 0) {
        strip.FrameWidth = strip.WorkBitmap.Width();
        strip.FrameHeight = strip.WorkBitmap.Height();
    }
    strip.WorkBitmap = FitToFrame(strip.WorkBitmap, strip.FrameWidth, strip.FrameHeight);
    appendFrame(strip, strip.WorkBitmap, strip.DefaultDelay, strip.DefTrans);
}

bool importable(const std::string& ext)
{
    return ext == ".GIF" || ext == ".PNG" || ext == ".JPG" || ext == ".JPEG" || ext == ".BMP" || ext == ".ICO";
}

} // namespace

bool ImportImageFile(TFrameStrip& strip, const std::string& path)
{
    if (!LoadImportPicture(path, strip.WorkBitmap))
        return false;
    appendImportedPicture(strip);
    return true;
}

int ImportImageFiles(TFrameStrip& strip, const std::vector<std::string>& paths)
{
    for (std::size_t i = 0; i < paths.size(); ++i)
        if (!importable(upperExtension(paths[i])))
            return static_cast<int>(i);
    const TStripUpdate update(strip);
    // An icon is drawn over WorkBitmap, so it is loaded in its turn on this thread.
    ForEachInOrder(
        static_cast<int>(paths.size()), 0,
        [&](int i) {
            std::optional<TBitmap> picture;
            const std::string& path = paths[static_cast<std::size_t>(i)];
            if (upperExtension(path) != ".ICO") {
                picture.emplace();
                LoadImportPicture(path, *picture);
            }
            return picture;
        },
        [&](int i, std::optional<TBitmap>& picture) {
            if (picture)
                strip.WorkBitmap = std::move(*picture);
            else
                LoadImportPicture(paths[static_cast<std::size_t>(i)], strip.WorkBitmap);
            appendImportedPicture(strip);
        });
    return -1;
}
