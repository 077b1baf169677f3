#include "FrameImport.h"

#include "gif/OrderedParallel.h"
#include "graphics/BmpFile.h"
#include "graphics/Exception.h"
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
void appendFrame(TFrameStrip& strip, TBitmap&& bitmap, int delay, bool transparent);

void appendFrame(TFrameStrip& strip, const TBitmap& bitmap, int delay, bool transparent)
{
    TBitmap copy = bitmap;
    appendFrame(strip, std::move(copy), delay, transparent);
}

void appendFrame(TFrameStrip& strip, TBitmap&& bitmap, int delay, bool transparent)
{
    const int keep = strip.ItemIndex();
    const TStripUpdate update(strip);
    const int at = strip.Append(std::move(bitmap));
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

namespace {

// The delay and transparency of a GIF frame: its graphic control extensions, else the
// strip's defaults.
void gifFrameTiming(const TFrameStrip& strip, const TGIFSubImage& frame, int& delay, bool& transparent)
{
    delay = strip.DefaultDelay;
    transparent = strip.DefTrans;
    for (const auto& ext : frame.Extensions)
        if (const auto* gce = dynamic_cast<const TGIFGraphicControlExtension*>(ext.get())) {
            delay = gce->Delay();
            transparent = gce->Transparent();
        }
}

} // namespace

bool AddFrameFromGIF(TFrameStrip& strip, const TGIFImage& image, int i)
{
    const TGIFSubImage& frame = *image.Images.at(static_cast<std::size_t>(i));
    int delay = 0;
    bool transparent = false;
    strip.WorkBitmap = frame.Bitmap();
    if (strip.Count() == 0) {
        strip.FrameWidth = strip.WorkBitmap.Width();
        strip.FrameHeight = strip.WorkBitmap.Height();
    }
    gifFrameTiming(strip, frame, delay, transparent);
    if (strip.WorkBitmap.Empty() || strip.WorkBitmap.Width() != strip.FrameWidth
        || strip.WorkBitmap.Height() != strip.FrameHeight)
        return false;
    appendFrame(strip, strip.WorkBitmap, delay, transparent);
    return true;
}

void LoadGIFDocument(TGIFImage& image, const std::string& path, std::vector<std::string>* warnings)
{
    if (warnings)
        image.OnWarning = [warnings](const TGIFObject&, int, const std::string& text) {
            if (std::find(warnings->begin(), warnings->end(), text) == warnings->end())
                warnings->push_back(text);
            return true;
        };
    image.LoadFromFile(path);
    image.OnWarning = nullptr;
}

TBitmap LoadGIFPicture(const std::string& path, std::vector<std::string>* warnings)
{
    TGIFImage image;
    LoadGIFDocument(image, path, warnings);
    // Frames of extensions only show nothing: a file of only those has no picture.
    TBitmap picture;
    if (std::any_of(image.Images.begin(), image.Images.end(), [](const auto& f) { return !f->Empty(); }))
        picture = image.Bitmap();
    if (picture.Empty())
        throw EInvalidGraphic(path + ": the GIF file has no picture");
    return picture;
}

void OpenGIFFile(TFrameStrip& strip, const std::string& path, std::vector<std::string>* warnings)
{
    strip.LastOpenedFile = path;
    strip.ClearFrames();
    strip.FrameCounter = 1;
    TGIFImage image;
    LoadGIFDocument(image, path, warnings);
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
    OpenGIFFileCommand(strip, *path);
}

void OpenGIFFileCommand(TFrameStrip& strip, const std::string& path)
{
    std::vector<std::string> warnings;
    {
        WaitCursor wait;
        OpenGIFFile(strip, path, &warnings);
    }
    // Other warnings are harmless oddities; a cut file has lost frames, and the user
    // should know.
    if (std::find(warnings.begin(), warnings.end(), "Premature end of data") != warnings.end())
        UI().MessageDlg(path + ": Premature end of data. The frames complete before the cut were opened.",
                        TMsgDlgType::mtWarning);
}

bool LoadImportPicture(const std::string& path, TBitmap& work, std::vector<std::string>* warnings)
{
    const std::string ext = upperExtension(path);
    if (ext == ".GIF") {
        work = LoadGIFPicture(path, warnings);
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
    if (strip.WorkBitmap.Width() != strip.FrameWidth || strip.WorkBitmap.Height() != strip.FrameHeight)
        strip.WorkBitmap = FitToFrame(strip.WorkBitmap, strip.FrameWidth, strip.FrameHeight);
    appendFrame(strip, strip.WorkBitmap, strip.DefaultDelay, strip.DefTrans);
}

// A picture decoded on a worker thread, with what its reader warned about.
struct TDecodedImport {
    std::optional<TBitmap> Picture;
    std::vector<std::string> Warnings;
};

bool importable(const std::string& ext)
{
    return ext == ".GIF" || ext == ".PNG" || ext == ".JPG" || ext == ".JPEG" || ext == ".BMP" || ext == ".ICO";
}

} // namespace

bool ImportImageFile(TFrameStrip& strip, const std::string& path, std::vector<std::string>* warnings)
{
    if (!LoadImportPicture(path, strip.WorkBitmap, warnings))
        return false;
    appendImportedPicture(strip);
    return true;
}

int ImportImageFiles(TFrameStrip& strip, const std::vector<std::string>& paths, const TImportWarningsFn& onWarnings)
{
    for (std::size_t i = 0; i < paths.size(); ++i)
        if (!importable(upperExtension(paths[i])))
            return static_cast<int>(i);
    const TStripUpdate update(strip);
    // An icon is drawn over WorkBitmap, so it is loaded in its turn on this thread.
    ForEachInOrder(
        static_cast<int>(paths.size()), 0,
        [&](int i) {
            TDecodedImport decoded;
            const std::string& path = paths[static_cast<std::size_t>(i)];
            if (upperExtension(path) != ".ICO") {
                decoded.Picture.emplace();
                LoadImportPicture(path, *decoded.Picture, &decoded.Warnings);
            }
            return decoded;
        },
        [&](int i, TDecodedImport& decoded) {
            const std::string& path = paths[static_cast<std::size_t>(i)];
            // A picture of the frame size goes into the strip without a copy; the last
            // one passes through WorkBitmap, which keeps it as before.
            if (decoded.Picture && i + 1 < static_cast<int>(paths.size()) && strip.Count() > 0
                && decoded.Picture->Width() == strip.FrameWidth && decoded.Picture->Height() == strip.FrameHeight) {
                if (onWarnings && !decoded.Warnings.empty())
                    onWarnings(path, decoded.Warnings);
                appendFrame(strip, std::move(*decoded.Picture), strip.DefaultDelay, strip.DefTrans);
                return;
            }
            if (decoded.Picture)
                strip.WorkBitmap = std::move(*decoded.Picture);
            else
                LoadImportPicture(path, strip.WorkBitmap, &decoded.Warnings);
            if (onWarnings && !decoded.Warnings.empty())
                onWarnings(path, decoded.Warnings);
            appendImportedPicture(strip);
        });
    return -1;
}

TInsertResult InsertFiles(TFrameStrip& strip, const std::vector<std::string>& paths, int after)
{
    TInsertResult result;
    int at = after >= 0 && after < strip.Count() ? after + 1 : strip.Count();
    const int first = at;
    const TStripUpdate update(strip);
    // One picture in its place: appended, then moved after the ones inserted before it.
    auto insert = [&](const TBitmap& picture, int delay, bool transparent) {
        if (strip.Count() == 0) {
            strip.FrameWidth = picture.Width();
            strip.FrameHeight = picture.Height();
        }
        if (picture.Width() != strip.FrameWidth || picture.Height() != strip.FrameHeight)
            appendFrame(strip, FitToFrame(picture, strip.FrameWidth, strip.FrameHeight), delay, transparent);
        else
            appendFrame(strip, picture, delay, transparent);
        strip.MoveFrame(strip.Count() - 1, at);
        ++at;
        ++result.Inserted;
    };
    for (const std::string& path : paths) {
        std::error_code ec;
        const std::string ext = upperExtension(path);
        if (!std::filesystem::is_regular_file(path, ec) || !importable(ext)) {
            result.Skipped.push_back(path);
            continue;
        }
        std::vector<std::string> warnings;
        if (ext == ".GIF") {
            TGIFImage image;
            LoadGIFDocument(image, path, &warnings);
            int w = -1, h = -1, taken = 0;
            for (int i = 0; i < image.Count(); ++i) {
                const TGIFSubImage& frame = *image.Images[static_cast<std::size_t>(i)];
                const TBitmap& picture = frame.Bitmap();
                if (w < 0) {
                    w = picture.Width();
                    h = picture.Height();
                }
                // As Open: frames of another size than the first are left out.
                if (picture.Empty() || picture.Width() != w || picture.Height() != h)
                    continue;
                int delay = 0;
                bool transparent = false;
                gifFrameTiming(strip, frame, delay, transparent);
                insert(picture, delay, transparent);
                ++taken;
            }
            if (taken > 0) {
                strip.LastOpenedFile = path;
                result.GIFFiles.push_back(path);
            }
        } else {
            LoadImportPicture(path, strip.WorkBitmap, &warnings);
            insert(strip.WorkBitmap, strip.DefaultDelay, strip.DefTrans);
        }
        for (const std::string& w : warnings)
            result.Warnings.push_back(path + ": " + w);
    }
    if (result.Inserted > 0)
        strip.SelectOnly(first);
    return result;
}

std::vector<std::string> InsertFilesCommand(TFrameStrip& strip, const std::vector<std::string>& paths, int after)
{
    TInsertResult result;
    {
        WaitCursor wait;
        result = InsertFiles(strip, paths, after);
    }
    std::string text;
    for (const std::string& path : result.Skipped)
        text += path + ": not a GIF or picture file Anivor can take\n";
    for (const std::string& w : result.Warnings)
        if (w.ends_with("Premature end of data"))
            text += w + ". The frames complete before the cut were taken.\n";
    if (!text.empty()) {
        text.pop_back();
        UI().MessageDlg(text, TMsgDlgType::mtWarning);
    }
    return result.GIFFiles;
}
