#include "FrameImport.h"

#include "ProjectFile.h"
#include "export/AnimationOpen.h"
#include "gif/GIFDraw.h"
#include "gif/OrderedParallel.h"
#include "graphics/BmpFile.h"
#include "graphics/Exception.h"
#include "graphics/IcoFile.h"
#include "graphics/ImageFile.h"
#include "graphics/MemoryBudget.h"
#include "graphics/NumberRules.h"
#include "graphics/canvas/Canvas.h"
#include "platform/CommandGuard.h"
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

int ComposeGIFFrames(const TGIFImage& image, const std::string& path, int defaultDelay, const TGIFFrameFn& take)
{
    const auto holdsPixels = [](const auto& f) { return !f->Empty(); };
    const auto count = std::count_if(image.Images.begin(), image.Images.end(), holdsPixels);
    if (count == 0)
        return 0;
    const TPoint screen = GIFScreenSize(image);
    // Every frame becomes a screen-sized 24-bit picture; the composer holds two more.
    MemoryBudget::Check(MemoryBudget::PictureBytes(screen.X, screen.Y, count + 2),
                        "opening " + std::to_string(count) + " frames of " + std::to_string(screen.X) + " x "
                            + std::to_string(screen.Y) + " from " + path);
    TGIFComposer composer(image);
    int taken = 0;
    for (const auto& frame : image.Images) {
        if (!holdsPixels(frame))
            continue;
        const TBitmap& picture = composer.Next(*frame);
        // Of several graphic control extensions the last one's delay counts.
        int delay = defaultDelay;
        for (const auto& ext : frame->Extensions)
            if (const auto* gce = dynamic_cast<const TGIFGraphicControlExtension*>(ext.get()))
                delay = gce->Delay();
        take(picture, delay, composer.IsHole(0, composer.Height() - 1));
        ++taken;
    }
    return taken;
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
    strip.ClearFrames();
    TGIFImage image;
    LoadGIFDocument(image, path, warnings);
    const TStripUpdate update(strip);
    ComposeGIFFrames(image, path, strip.Session.DefaultDelay, [&](const TBitmap& picture, int delay, bool transparent) {
        if (strip.Count() == 0)
            strip.SetFrameSize(picture.Width(), picture.Height());
        appendFrame(strip, picture, delay, transparent);
    });
}

void OpenAnimationFile(TFrameStrip& strip, const std::string& path, std::vector<std::string>* warnings)
{
    if (AnimationFileKind(path) == TAnimationFileKind::None) {
        OpenGIFFile(strip, path, warnings);
        return;
    }
    strip.ClearFrames();
    const TStripUpdate update(strip);
    const TOpenedAnimation opened = ReadAnimationFile(path, [&](TBitmap&& picture, int delay, bool transparent) {
        if (strip.Count() == 0)
            strip.SetFrameSize(picture.Width(), picture.Height());
        appendFrame(strip, std::move(picture), delay, transparent);
    });
    strip.SetLoopCount(opened.Loops);
}

std::optional<std::string> OpenCommand(TFrameStrip& strip, std::string& openDir)
{
    TFileDialogOptions o;
    o.Filters = AnimationFileFilters();
    o.DefaultExt = "gif";
    o.InitialDir = openDir;
    o.OverwritePrompt = false;
    const auto path = UI().OpenFile(o);
    if (!path)
        return std::nullopt;
    openDir = std::filesystem::path(*path).parent_path().string();
    OpenGIFFileCommand(strip, *path);
    return path;
}

void OpenGIFFileCommand(TFrameStrip& strip, const std::string& path)
{
    std::vector<std::string> warnings;
    {
        WaitCursor wait;
        ReadingFile(path, [&] { OpenAnimationFile(strip, path, &warnings); });
    }
    // Other warnings are harmless oddities; a cut file has lost frames, and the user
    // should know.
    if (std::find(warnings.begin(), warnings.end(), "Premature end of data") != warnings.end())
        UI().MessageDlg(path + ": Premature end of data. The frames complete before the cut were opened.",
                        TMsgDlgType::mtWarning);
}

std::optional<TBitmap> LoadImportPicture(const std::string& path, std::vector<std::string>* warnings)
{
    const std::string ext = upperExtension(path);
    if (ext == ".GIF")
        return LoadGIFPicture(path, warnings);
    // A still PNG named as an animated one is still a PNG.
    if (ext == ".PNG" || ext == ".APNG" || ext == ".JPG" || ext == ".JPEG" || ext == ".BMP")
        return LoadImageFile(path);
    if (ext == ".ICO") {
        // Drawn over a new white picture of its size.
        TBitmap picture;
        AssignIcon(picture, LoadIcoFile(path));
        return picture;
    }
    return std::nullopt;
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

void AppendProjectFrames(TFrameStrip& strip, const TProject& project, const std::function<void(int)>& placed)
{
    for (const TFrameRecord& f : project.Document.Frames) {
        if (strip.Count() == 0)
            strip.SetFrameSize(f.Bitmap().Width(), f.Bitmap().Height());
        appendFrame(strip, FitToFrame(f.Bitmap(), strip.FrameWidth(), strip.FrameHeight()), 0, f.Transparent());
        strip.SetDelayText(strip.Count() - 1, f.DelayText);
        if (placed)
            placed(strip.Count() - 1);
    }
}

namespace {

// The end of an import: the first picture sets the frame size, the others are fitted
// into it.
// A picture of the frame size goes into the strip without a copy.
void appendImportedPicture(TFrameStrip& strip, TBitmap&& picture)
{
    if (strip.Count() == 0)
        strip.SetFrameSize(picture.Width(), picture.Height());
    if (picture.Width() != strip.FrameWidth() || picture.Height() != strip.FrameHeight())
        appendFrame(strip, FitToFrame(picture, strip.FrameWidth(), strip.FrameHeight()), strip.Session.DefaultDelay,
                    strip.Session.DefTrans);
    else
        appendFrame(strip, std::move(picture), strip.Session.DefaultDelay, strip.Session.DefTrans);
}

// A picture (or a project's frames) decoded on a worker thread, with what its reader
// warned about.
struct TDecodedImport {
    std::optional<TBitmap> Picture;
    std::optional<TProject> Project;
    std::vector<std::string> Warnings;
};

bool importable(const std::string& ext)
{
    return ext == ".GIF" || ext == ".PNG" || ext == ".JPG" || ext == ".JPEG" || ext == ".BMP" || ext == ".ICO"
        || ext == ".ANIVOR";
}

// What the program's command line and drops take besides: APNG, WebP, videos.
bool insertable(const std::string& path, const std::string& ext)
{
    return importable(ext) || IsAnimationFileName(path);
}

} // namespace

bool ImportsFile(const std::string& path) { return importable(upperExtension(path)); }

bool ImportImageFile(TFrameStrip& strip, const std::string& path, std::vector<std::string>* warnings)
{
    std::optional<TBitmap> picture = ReadingFile(path, [&] { return LoadImportPicture(path, warnings); });
    if (!picture)
        return false;
    appendImportedPicture(strip, std::move(*picture));
    return true;
}

int ImportImageFiles(TFrameStrip& strip, const std::vector<std::string>& paths, const TImportWarningsFn& onWarnings)
{
    for (std::size_t i = 0; i < paths.size(); ++i)
        if (!ImportsFile(paths[i]))
            return static_cast<int>(i);
    const TStripUpdate update(strip);
    ForEachInOrder(
        static_cast<int>(paths.size()), 0,
        [&](int i) {
            TDecodedImport decoded;
            const std::string& path = paths[static_cast<std::size_t>(i)];
            if (IsProjectFile(path)) {
                TProjectLoad load = LoadProject(path);
                decoded.Project = std::move(load.Project);
                decoded.Warnings = std::move(load.Losses);
            } else {
                decoded.Picture = ReadingFile(path, [&] { return LoadImportPicture(path, &decoded.Warnings); });
            }
            return decoded;
        },
        [&](int i, TDecodedImport& decoded) {
            const std::string& path = paths[static_cast<std::size_t>(i)];
            if (onWarnings && !decoded.Warnings.empty())
                onWarnings(path, decoded.Warnings);
            if (decoded.Project)
                AppendProjectFrames(strip, *decoded.Project);
            else
                appendImportedPicture(strip, std::move(*decoded.Picture));
        });
    return -1;
}

namespace {

// Why a file could not be read, naming it once.
std::string refusal(const std::string& path, const std::exception_ptr& e)
{
    return FileMessage(path, ExceptionMessage(e));
}

} // namespace

TInsertResult InsertFiles(TFrameStrip& strip, const std::vector<std::string>& paths, int after)
{
    TInsertResult result;
    int at = after >= 0 && after < strip.Count() ? after + 1 : strip.Count();
    const int first = at;
    const TStripUpdate update(strip);
    // One picture in its place: appended, then moved after the ones inserted before it.
    auto insert = [&](const TBitmap& picture, int delay, bool transparent) {
        if (strip.Count() == 0)
            strip.SetFrameSize(picture.Width(), picture.Height());
        if (picture.Width() != strip.FrameWidth() || picture.Height() != strip.FrameHeight())
            appendFrame(strip, FitToFrame(picture, strip.FrameWidth(), strip.FrameHeight()), delay, transparent);
        else
            appendFrame(strip, picture, delay, transparent);
        strip.MoveFrame(strip.Count() - 1, at);
        ++at;
        ++result.Inserted;
    };
    for (const std::string& path : paths) {
        std::error_code ec;
        const std::string ext = upperExtension(path);
        if (!std::filesystem::is_regular_file(path, ec) || !insertable(path, ext)) {
            result.Skipped.push_back(path);
            continue;
        }
        std::vector<std::string> warnings;
        try {
            if (ext == ".GIF") {
                TGIFImage image;
                LoadGIFDocument(image, path, &warnings);
                if (ComposeGIFFrames(image, path, strip.Session.DefaultDelay, insert) > 0)
                    result.GIFFiles.push_back(path);
            } else if (ext == ".ANIVOR") {
                TProjectLoad load = LoadProject(path);
                for (const std::string& loss : load.Losses)
                    result.Losses.push_back(path + ": " + loss);
                AppendProjectFrames(strip, load.Project, [&](int last) {
                    strip.MoveFrame(last, at++);
                    ++result.Inserted;
                });
            } else if (AnimationFileKind(path) != TAnimationFileKind::None) {
                if (ReadAnimationFile(path, [&](TBitmap&& picture, int delay, bool transparent) {
                        insert(picture, delay, transparent);
                    }).Frames > 0)
                    result.GIFFiles.push_back(path);
            } else {
                // An animation's name on a file that holds none (a .webp that is not WebP).
                const std::optional<TBitmap> picture = LoadImportPicture(path, &warnings);
                if (!picture)
                    throw EInvalidGraphic("not a GIF, picture or animation Anivor can take");
                insert(*picture, strip.Session.DefaultDelay, strip.Session.DefTrans);
            }
        } catch (...) {
            // The files before and after it still come in.
            result.Refused.push_back(refusal(path, std::current_exception()));
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
    for (const std::string& r : result.Refused)
        text += r + "\n";
    for (const std::string& loss : result.Losses)
        text += loss + "\n";
    for (const std::string& w : result.Warnings)
        if (w.ends_with("Premature end of data"))
            text += w + ". The frames complete before the cut were taken.\n";
    if (!text.empty()) {
        text.pop_back();
        UI().MessageDlg(text, result.Inserted == 0 ? TMsgDlgType::mtError : TMsgDlgType::mtWarning);
    }
    return result.GIFFiles;
}
