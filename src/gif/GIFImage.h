// The GIF document: a header with the logical screen and the global colour table, and a
// list of frames, each with its extensions, local colour table and pixel indices.
#pragma once

#include "GIFColorMap.h"
#include "GIFExtension.h"
#include "GIFItem.h"
#include "ReduceSettings.h"
#include "graphics/Bitmap.h"

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class TGIFHeader : public TGIFItem {
public:
    explicit TGIFHeader(TGIFImage* image);
    const char* ClassName() const override { return "TGIFHeader"; }
    // 89a when the global table is sorted or an aspect ratio is given.
    TGIFVersion Version() const override;
    void SaveToStream(TGIFWriter& writer) const override;
    // The same for a document written frame by frame: its version and the largest local
    // table's bits (0 for none) are given instead of read from the frames.
    void SaveToStream(TGIFWriter& writer, TGIFVersion version, int frameBits) const;
    void LoadFromStream(TGIFReader& reader) override;
    void Clear();
    void Assign(const TGIFHeader& other);

    int Width = 0;  // logical screen
    int Height = 0;
    std::uint8_t PackedFields = 0;
    std::uint8_t BackgroundColorIndex = 0;
    std::uint8_t AspectRatio = 0;
    TGIFGlobalColorMap ColorMap;
    // The version letters of the file this header was read from ("" for a new document).
    std::string FileVersion;

    int ColorResolution() const { return (PackedFields >> 4) & 7; }
    int BitsPerPixel() const { return ColorMap.BitsPerPixel(); }
};

class TGIFSubImage : public TGIFItem {
public:
    explicit TGIFSubImage(TGIFImage* image);
    ~TGIFSubImage() override;
    const char* ClassName() const override { return "TGIFSubImage"; }
    // 89a when the local table is sorted or any extension is attached.
    TGIFVersion Version() const override;
    void SaveToStream(TGIFWriter& writer) const override;
    // The same with `imageData` (minimum code size, data sub-blocks and terminator,
    // compressed elsewhere) for the pixels; Data is not read.
    void SaveToStream(TGIFWriter& writer, const std::vector<std::uint8_t>& imageData) const;
    // Reads the extensions in front of the frame, the image descriptor, the local table
    // and the image data.
    void LoadFromStream(TGIFReader& reader) override;

    int Left = 0;
    int Top = 0;
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // Resizes the pixel data (new pixels are 0).
    void SetSize(int width, int height);
    bool Interlaced() const { return (PackedFields & 0x40) != 0; }
    void SetInterlaced(bool on) { PackedFields = static_cast<std::uint8_t>(on ? PackedFields | 0x40 : PackedFields & ~0x40); }
    std::uint8_t PackedFields = 0;
    TRect BoundsRect() const { return Bounds(Left, Top, m_width, m_height); }

    TGIFLocalColorMap ColorMap;
    // Local table when it holds colours, else the global one when it does, else the local one.
    const TGIFColorMap& ActiveColorMap() const;
    TGIFColorMap& ActiveColorMap();
    int BitsPerPixel() const { return ActiveColorMap().BitsPerPixel(); }
    int ColorResolution() const { return BitsPerPixel() > 0 ? BitsPerPixel() - 1 : 0; }

    // Extensions written in front of the frame, in order.
    std::vector<std::unique_ptr<TGIFExtension>> Extensions;
    // Appends an extension created for this frame; returns it.
    template <class T, class... Args>
    T* AddExtension(Args&&... args)
    {
        auto ext = std::make_unique<T>(this, std::forward<Args>(args)...);
        T* raw = ext.get();
        Extensions.push_back(std::move(ext));
        Changed();
        return raw;
    }
    void DeleteExtension(std::size_t index);
    // The frame's first graphic control extension, or nullptr.
    TGIFGraphicControlExtension* GraphicControlExtension() const;
    bool Transparent() const;
    // The transparent index of a transparent frame, else -1.
    int TransparentIndex() const;
    // Delay of the graphic control extension (0 without one).
    int Delay() const;

    // One byte per pixel, row-major, Width() x Height() bytes.
    std::vector<std::uint8_t> Data;
    // No pixel data, or a width or height of 0.
    bool Empty() const { return Data.empty() || m_width == 0 || m_height == 0; }
    std::uint8_t* ScanLine(int y) { return Data.data() + static_cast<std::size_t>(y) * m_width; }
    const std::uint8_t* ScanLine(int y) const { return Data.data() + static_cast<std::size_t>(y) * m_width; }
    // Pixel access: "Image is empty" without data, "Invalid pixel coordinates" outside.
    int Pixel(int x, int y) const;
    void SetPixel(int x, int y, int index);

    void Clear();
    // Frees the pixel data (and its share of the memory budget) but keeps the frame's
    // size: a frame whose pixels are kept elsewhere for a while. SetSize brings back
    // room for them.
    void ReleaseData();
    // Converts a bitmap into this frame (colour reduction, colour table, transparency).
    void Assign(const TBitmap& bitmap);
    // Copies another frame (of any document) with its extensions.
    void Assign(const TGIFSubImage& other);
    // The frame as a palette bitmap of its own size (cached until the frame changes
    // through this class; call Changed() after editing Data directly).
    const TBitmap& Bitmap() const;
    // One byte per pixel, 1 where the pixel is transparent (empty for opaque frames).
    std::vector<std::uint8_t> Mask() const;
    void Changed() { m_bitmapValid = false; }

private:
    void saveDescriptor(TGIFWriter& writer) const;
    void loadImageData(TGIFReader& reader);
    void assignPaletteBitmap(const TBitmap& bmp);
    void assignTrueColorBitmap(const TBitmap& bmp);
    void applyMask(const TBitmap& source);
    int m_width = 0;
    int m_height = 0;
    // Data's bytes held against the memory budget.
    TMemoryReservation m_dataReservation;
    mutable TBitmap m_bitmap;
    mutable bool m_bitmapValid = false;
};

// A running painter of a document (see TGIFImage's painter list). Stop() is called with
// the document's painter lock held: it must end the painter (signal it and wait for it)
// without calling back into the document's painter list.
class TGIFPainterHandle {
public:
    virtual ~TGIFPainterHandle() = default;
    virtual void Stop() = 0;
};

class TGIFImage : public TGIFObject {
public:
    TGIFImage();
    ~TGIFImage() override;
    TGIFImage(const TGIFImage&) = delete;
    TGIFImage& operator=(const TGIFImage&) = delete;
    const char* ClassName() const override { return "TGIFImage"; }

    TGIFHeader Header;
    std::vector<std::unique_ptr<TGIFSubImage>> Images;

    // How the document plays.
    TGIFDrawOptions DrawOptions = kDefaultDrawOptions;
    // How a true-colour bitmap becomes a frame (Add, Assign).
    TReduceSettings Reduction = kDocumentReduction;
    // Percent of the frames' own speed; 100 at creation.
    int AnimationSpeed() const { return m_animationSpeed; }
    // Clamped to 0..1000 percent.
    void SetAnimationSpeed(int percent);
    // Background for drawing; unset, the painter picks one.
    std::optional<TColor> DrawBackgroundColor;

    TGIFWarningFn OnWarning;
    TGIFProgressFn OnProgress;
    // When set, a load that fails keeps the header and the frames read before the error
    // (the explorer shows them beside the error); otherwise the document is left empty.
    bool KeepPartialLoad = false;

    int Width() const { return Header.Width; }
    int Height() const { return Header.Height; }
    bool Empty() const { return Images.empty(); }
    int Count() const { return static_cast<int>(Images.size()); }
    TGIFColorMap& GlobalColorMap() { return Header.ColorMap; }
    const TGIFColorMap& GlobalColorMap() const { return Header.ColorMap; }
    // Highest version of the header and the frames; "Unsupported GIF version" without frames.
    TGIFVersion Version() const;
    int BitsPerPixel() const;      // largest of all tables
    int ColorResolution() const;   // largest of header and frames

    // Appends a frame converted from a bitmap; returns its index.
    int Add(const TBitmap& bitmap);
    // Appends a copy of a frame; returns its index.
    int Add(const TGIFSubImage& frame);
    // Appends an empty frame; returns it.
    TGIFSubImage* AddEmptyFrame();
    void DeleteFrame(int index);
    // Stops the painters and empties the document.
    void Clear();
    // Copies a whole document (frames, header, options stay as they are here).
    void Assign(const TGIFImage& other);
    // Replaces the document with one frame made from the bitmap.
    void Assign(const TBitmap& bitmap);

    // Merges all colour tables into one sorted global table (see the .cpp).
    void OptimizeColorMaps();

    void SaveToStream(std::vector<std::uint8_t>& out) const;
    std::vector<std::uint8_t> SaveToBytes() const;
    void SaveToFile(const std::string& path) const;
    // Loads a file from memory; on error the reader is back at its start, the document
    // is empty (see KeepPartialLoad) and the GIFException is passed on.
    void LoadFromStream(TGIFReader& reader);
    void LoadFromBytes(const std::vector<std::uint8_t>& bytes);
    void LoadFromFile(const std::string& path);

    // The document as one bitmap: the first frame's bitmap when it covers the logical
    // screen, else a 24-bit screen-sized bitmap (white) with the first frame drawn on it.
    TBitmap Bitmap() const;

    // Sends a warning (see TGIFWarningFn) and a progress report.
    void Warning(const TGIFObject& sender, int severity, const std::string& message) const;
    void Progress(TGIFProgressStage stage, int percent, const std::string& message) const;

    // Painter list. Operations that change the document call LockPainters(), which stops
    // every registered painter and returns the held lock.
    void AddPainter(TGIFPainterHandle* painter);
    void RemovePainter(TGIFPainterHandle* painter);
    std::unique_lock<std::recursive_mutex> LockPainters();
    int PainterCount() const;

    // Total decoded pixel bytes while loading (checked against kMaxGIFDocumentPixels).
    void ReservePixels(std::int64_t count);

    // The document was read from a file that has no trailer where it should be (cut
    // short, or ended by an unknown block); false for documents not read from a file.
    bool MissingTrailer() const { return m_missingTrailer; }

private:
    void clearUnlocked();
    void saveTo(std::vector<std::uint8_t>& bytes) const;
    bool m_missingTrailer = false;
    // While loading: one "Premature end of data" warning is enough for one cut.
    bool m_loading = false;
    mutable bool m_cutWarned = false;
    int m_animationSpeed = 100;
    mutable std::recursive_mutex m_painterLock;
    std::vector<TGIFPainterHandle*> m_painters;
    std::int64_t m_loadedPixels = 0;
};

// The merge behind TGIFImage::OptimizeColorMaps, in pieces for frames that are not all in
// memory at once (TGIFAnimationWriter).

// One colour table and how many pixels use each entry.
struct TColorTableUse {
    std::vector<TGIFColor> Colors;
    std::vector<std::int64_t> Counts; // per entry, each at most INT_MAX
};

// Adds the pixels of `frame` that index `map` to `counts` (sized to the table). A pixel
// past the table becomes 0 ("Color not in color table", once). A transparent index no
// pixel shows is dropped from the frame's graphic control. True when pixels show it.
bool CountColorUse(TGIFSubImage& frame, const TGIFColorMap& map, std::vector<std::int64_t>& counts);

// The one table: the most used colours of all tables (equal colours counted together),
// sorted by use, at most 256 (255 and a black transparent entry when `transparency`);
// a colour left out maps to the nearest kept one by squared RGB distance.
struct TMergedColorTable {
    std::vector<TGIFColor> Colors;
    std::vector<std::array<std::uint8_t, 256>> Remaps; // per table: old index -> new index
    int Transparent = -1;                             // the transparent entry, -1 for none
};
TMergedColorTable MergeColorTables(const std::vector<TColorTableUse>& tables, bool transparency);

// Rewrites a frame's pixels through its table's remap; pixels of `oldTransparent` (-1:
// none) become `newTransparent`, as does the graphic control's index.
void RemapToMergedTable(TGIFSubImage& frame, const std::array<std::uint8_t, 256>& remap, int oldTransparent,
                        int newTransparent);
