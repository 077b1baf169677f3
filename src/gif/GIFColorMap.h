// Colour tables: the global table of the header and the local table of a frame.
#pragma once

#include "GIFTypes.h"
#include "graphics/Types.h"

#include <cstdint>
#include <vector>

class TGIFImage;
class TGIFSubImage;

struct TGIFColor {
    std::uint8_t Red = 0;
    std::uint8_t Green = 0;
    std::uint8_t Blue = 0;
    friend bool operator==(const TGIFColor&, const TGIFColor&) = default;
};

inline TColor GIFColorToColor(TGIFColor c) { return RGB(c.Red, c.Green, c.Blue); }
inline TGIFColor ColorToGIFColor(TColor c)
{
    return {static_cast<std::uint8_t>(GetRValue(c)), static_cast<std::uint8_t>(GetGValue(c)),
            static_cast<std::uint8_t>(GetBValue(c))};
}

class TGIFColorMap : public TGIFObject {
public:
    TGIFColorMap() = default;
    TGIFColorMap(const TGIFColorMap&) = default;
    TGIFColorMap& operator=(const TGIFColorMap&) = default;

    int Count() const { return static_cast<int>(m_colors.size()); }
    // Room reserved: the count rounded up to a multiple of 32, at least 16, at most 256.
    int Capacity() const { return m_capacity; }
    bool Sorted() const { return m_sorted; }
    void SetSorted(bool sorted) { m_sorted = sorted; }
    const std::vector<TGIFColor>& Colors() const { return m_colors; }

    // Colour of an index; outside the table: warning "Invalid color index" and index 0;
    // "Color table is empty" on an empty table.
    TGIFColor Color(int index) const;
    TColor ColorValue(int index) const { return GIFColorToColor(Color(index)); }

    // Exact match; from index 0 upward for a sorted table, else from the last one down.
    int IndexOf(TGIFColor color) const;
    // Appends; clears the sorted flag; "Color table overflow" past 256 colours.
    int Add(TGIFColor color);
    int AddUnique(TGIFColor color);
    // Removes one entry; "Invalid color index" outside the table.
    void Delete(int index);
    void Clear();
    void Assign(const std::vector<TGIFColor>& colors);

    // 0 for an empty table, else the smallest b >= 1 with 2^b >= count.
    int BitsPerPixel() const;
    static int BitsPerPixelFor(int count);

    // Sorts by decreasing use by the frames that use this table, drops unused entries,
    // remaps their pixels and sets the sorted flag. Tables of 0 or 1 colour stay as they are.
    void Optimize();

    // Table as a bitmap palette.
    std::vector<TColor> Palette() const;

protected:
    // The document that gets warnings, and the frames whose pixels index this table.
    virtual TGIFImage* Image() const = 0;
    virtual std::vector<TGIFSubImage*> Users() const = 0;
    void Warning(const char* message) const;

private:
    void grow(int count);
    std::vector<TGIFColor> m_colors;
    int m_capacity = 0;
    bool m_sorted = false;
};

class TGIFHeader;

class TGIFGlobalColorMap : public TGIFColorMap {
public:
    explicit TGIFGlobalColorMap(TGIFHeader* header) : m_header(header) {}
    // Copies the colours only: the table stays with its own owner.
    TGIFGlobalColorMap(const TGIFGlobalColorMap&) = delete;
    TGIFGlobalColorMap& operator=(const TGIFGlobalColorMap& other) { return *this = static_cast<const TGIFColorMap&>(other); }
    TGIFGlobalColorMap& operator=(const TGIFColorMap& other)
    {
        TGIFColorMap::operator=(other);
        return *this;
    }
    const char* ClassName() const override { return "TGIFGlobalColorMap"; }

protected:
    TGIFImage* Image() const override;
    std::vector<TGIFSubImage*> Users() const override;

private:
    TGIFHeader* m_header;
};

class TGIFLocalColorMap : public TGIFColorMap {
public:
    explicit TGIFLocalColorMap(TGIFSubImage* frame) : m_frame(frame) {}
    // Copies the colours only: the table stays with its own owner.
    TGIFLocalColorMap(const TGIFLocalColorMap&) = delete;
    TGIFLocalColorMap& operator=(const TGIFLocalColorMap& other) { return *this = static_cast<const TGIFColorMap&>(other); }
    TGIFLocalColorMap& operator=(const TGIFColorMap& other)
    {
        TGIFColorMap::operator=(other);
        return *this;
    }
    const char* ClassName() const override { return "TGIFLocalColorMap"; }

protected:
    TGIFImage* Image() const override;
    std::vector<TGIFSubImage*> Users() const override;

private:
    TGIFSubImage* m_frame;
};
