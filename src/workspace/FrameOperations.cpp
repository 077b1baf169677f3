#include "FrameOperations.h"

#include "effects/GeometricEffects.h"
#include "effects/PixelEffects.h"
#include "graphics/BmpFile.h"
#include "graphics/MemoryBudget.h"
#include "platform/Ui.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>

namespace {

bool valid(const TFrameStrip& strip, int i)
{
    return i >= 0 && i < strip.Count();
}

// A 24-bit copy of frame i's picture (pixels only; the flag stays with the frame).
TBitmap copyOf(const TFrameStrip& strip, int i)
{
    TBitmap copy = strip.FindFrameImage(i).Bitmap();
    copy.SetTransparent(false);
    copy.SetPixelFormat(TPixelFormat::pf24bit);
    return copy;
}

// An operation holds `pictures` 24-bit pictures of the frame's size at once (its copy,
// the effect's own scratch picture, the result while the frame is replaced): asked of
// the budget before the copy is made.
void checkOperationMemory(const TFrameStrip& strip, int i, int pictures = 3)
{
    const TBitmap& b = strip.FindFrameImage(i).Bitmap();
    MemoryBudget::Check(MemoryBudget::PictureBytes(b.Width(), b.Height(), pictures),
                        "an operation on a " + std::to_string(b.Width()) + " x " + std::to_string(b.Height()) + " frame");
}

// Runs `change` on a 24-bit copy of frame i and makes the result the frame's picture.
template <class F>
void changeCopy(TFrameStrip& strip, int i, F&& change)
{
    if (!valid(strip, i))
        return;
    checkOperationMemory(strip, i);
    TBitmap copy = copyOf(strip, i);
    change(copy);
    ReplaceFrameBitmap(strip, i, copy);
}

std::string normalised(const std::string& name)
{
    std::string out;
    for (unsigned char c : name)
        if (c != ' ' && c != '-')
            out += static_cast<char>(std::tolower(c));
    return out;
}

} // namespace

void BlurFrame(TFrameStrip& strip, int i)
{
    changeCopy(strip, i, [](TBitmap& b) { qorFX::SplitBlur(b, 2); });
}

void FlipFrameLeftRight(TFrameStrip& strip, int i)
{
    changeCopy(strip, i, [](TBitmap& b) { qorFX::FlipRight(b); });
}

void FlipFrameTopDown(TFrameStrip& strip, int i)
{
    changeCopy(strip, i, [](TBitmap& b) { qorFX::FlipDown(b); });
}

void MirrorFrameRight(TFrameStrip& strip, int i)
{
    changeCopy(strip, i, [](TBitmap& b) { qorFX::MirrorRight(b); });
}

void MirrorFrameDown(TFrameStrip& strip, int i)
{
    changeCopy(strip, i, [](TBitmap& b) { qorFX::MirrorDown(b); });
}

void InvertFrame(TFrameStrip& strip, int i)
{
    changeCopy(strip, i, [](TBitmap& b) { qorFX::Invert(b); });
}

void ScrollFrame(TFrameStrip& strip, int i, TScrollDirection direction)
{
    const int fw = strip.FrameWidth(), fh = strip.FrameHeight();
    changeCopy(strip, i, [&](TBitmap& b) {
        const int w = std::min(fw, b.Width()), h = std::min(fh, b.Height());
        if (w <= 0 || h <= 0)
            return;
        const std::size_t bytes = static_cast<std::size_t>(w) * 3;
        switch (direction) {
        case TScrollDirection::Up:
        case TScrollDirection::Down: {
            std::vector<std::uint8_t> spare(bytes);
            const bool up = direction == TScrollDirection::Up;
            std::memcpy(spare.data(), b.ScanLine(up ? 0 : h - 1), bytes);
            if (up)
                for (int y = 0; y + 1 < h; ++y)
                    std::memcpy(b.ScanLine(y), b.ScanLine(y + 1), bytes);
            else
                for (int y = h - 1; y > 0; --y)
                    std::memcpy(b.ScanLine(y), b.ScanLine(y - 1), bytes);
            std::memcpy(b.ScanLine(up ? h - 1 : 0), spare.data(), bytes);
            break;
        }
        case TScrollDirection::Left:
        case TScrollDirection::Right:
            for (int y = 0; y < h; ++y) {
                std::uint8_t* row = b.ScanLine(y);
                if (direction == TScrollDirection::Left)
                    std::rotate(row, row + 3, row + bytes);
                else
                    std::rotate(row, row + bytes - 3, row + bytes);
            }
            break;
        }
    });
}

void RotateFrame(TFrameStrip& strip, int i)
{
    if (!valid(strip, i))
        return;
    checkOperationMemory(strip, i);
    const TBitmap source = copyOf(strip, i);
    // The rotated picture is drawn over a copy of the frame.
    TBitmap rotated = source;
    qorFX::SmoothRotate(source, rotated, source.Width() / 2, source.Height() / 2, strip.Session.RotationAngle);
    ReplaceFrameBitmap(strip, i, rotated);
}

void TraceFrame(TFrameStrip& strip, int i)
{
    changeCopy(strip, i, [](TBitmap& b) { qorFX::Trace(b, 1, clBlack); });
}

void ShadowFrame(TFrameStrip& strip, int i, TShadowDirection direction)
{
    changeCopy(strip, i, [direction](TBitmap& b) {
        switch (direction) {
        case TShadowDirection::UpLeft: qorFX::ShadowUpLeft(b); break;
        case TShadowDirection::UpRight: qorFX::ShadowUpRight(b); break;
        case TShadowDirection::DownLeft: qorFX::ShadowDownLeft(b); break;
        case TShadowDirection::DownRight: qorFX::ShadowDownRight(b); break;
        }
    });
}

void OverlayNextFrame(TFrameStrip& strip, int i, bool quarter)
{
    if (!valid(strip, i) || i + 1 >= strip.Count())
        return;
    checkOperationMemory(strip, i, 4);
    // Both pictures at the frame size, 24-bit.
    const auto frameCopy = [&](int k) {
        TBitmap b(strip.FrameWidth(), strip.FrameHeight());
        b.CopyRect(TPoint(0, 0), copyOf(strip, k), TRect(0, 0, strip.FrameWidth(), strip.FrameHeight()));
        return b;
    };
    TBitmap a = frameCopy(i);
    const TBitmap b = frameCopy(i + 1);
    if (quarter)
        qorFX::Overlay25(b, a);
    else
        qorFX::Overlay50(b, a);
    ReplaceFrameBitmap(strip, i, a);
}

void ReplaceFrameBitmap(TFrameStrip& strip, int i, const TBitmap& bitmap)
{
    if (!valid(strip, i))
        return;
    TBitmap picture = bitmap;
    picture.SetTransparent(strip.IsTransparent(i));
    strip.SetPicture(i, std::move(picture));
}

std::string BitmapFileName(const std::string& path)
{
    std::filesystem::path p(path);
    p.replace_extension(".bmp");
    return p.string();
}

std::string SaveFrameBitmap(const TFrameStrip& strip, int i, const std::string& path)
{
    if (!valid(strip, i))
        return {};
    const std::string name = BitmapFileName(path);
    SaveBmpFile(strip.FindFrameImage(i).Bitmap(), name);
    return name;
}

std::string SaveFrameAsCommand(const TFrameStrip& strip, int i, const std::string& folder)
{
    if (!valid(strip, i))
        return {};
    TFileDialogOptions options;
    options.Filters = {"Bitmap Files|*.bmp"};
    options.DefaultExt = "bmp";
    options.InitialDir = folder;
    // The dialog cannot know the name that will be written: the question is asked below,
    // about that name.
    options.OverwritePrompt = false;
    const auto path = UI().SaveFile(options);
    if (!path)
        return {};
    const std::string name = BitmapFileName(*path);
    std::error_code ec;
    if (std::filesystem::exists(name, ec)
        && !UI().Confirm("Confirm Save As", std::filesystem::path(name).filename().string()
                                                + " already exists.\nDo you want to replace it?"))
        return {};
    WaitCursor wait;
    return SaveFrameBitmap(strip, i, name);
}

const std::vector<TFrameOperation>& FrameOperations()
{
    using S = TScrollDirection;
    using D = TShadowDirection;
    static const std::vector<TFrameOperation> table = {
        {"Blur", BlurFrame},
        {"Flip Left Right", FlipFrameLeftRight},
        {"Flip Top Down", FlipFrameTopDown},
        {"Mirror Right", MirrorFrameRight},
        {"Mirror Down", MirrorFrameDown},
        {"Scroll Up", [](TFrameStrip& s, int i) { ScrollFrame(s, i, S::Up); }},
        {"Scroll Down", [](TFrameStrip& s, int i) { ScrollFrame(s, i, S::Down); }},
        {"Scroll Left", [](TFrameStrip& s, int i) { ScrollFrame(s, i, S::Left); }},
        {"Scroll Right", [](TFrameStrip& s, int i) { ScrollFrame(s, i, S::Right); }},
        {"Invert", InvertFrame},
        // The drop-down's flips change the frame's own picture: the same pixels.
        {"Flip Left-Right", FlipFrameLeftRight},
        {"Flip Up-Down", FlipFrameTopDown},
        {"Rotate", RotateFrame},
        {"Trace", TraceFrame},
        {"Shadow Up Left", [](TFrameStrip& s, int i) { ShadowFrame(s, i, D::UpLeft); }},
        {"Shadow Up Right", [](TFrameStrip& s, int i) { ShadowFrame(s, i, D::UpRight); }},
        {"Shadow Down Left", [](TFrameStrip& s, int i) { ShadowFrame(s, i, D::DownLeft); }},
        {"Shadow Down Right", [](TFrameStrip& s, int i) { ShadowFrame(s, i, D::DownRight); }},
        {"Overlay 50%", [](TFrameStrip& s, int i) { OverlayNextFrame(s, i, false); }},
        {"Overlay 25%", [](TFrameStrip& s, int i) { OverlayNextFrame(s, i, true); }},
    };
    return table;
}

const TFrameOperation* FindFrameOperation(const std::string& name)
{
    const std::string wanted = normalised(name);
    for (const TFrameOperation& op : FrameOperations())
        if (normalised(op.Name) == wanted)
            return &op;
    return nullptr;
}
