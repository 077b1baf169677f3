// LZW compression of frame pixels into GIF image data.
#pragma once

#include "GIFStream.h"

#include <cstdint>

// The string table of the compressor: 8009 slots of key x 4096 + code, open addressing.
class THashTable {
public:
    static constexpr int kSize = 8009;
    THashTable() { Clear(); }
    void Clear();
    // Code stored for `key` (prefix x 256 + pixel), or -1.
    int Lookup(std::uint32_t key) const;
    // False when the probe sequence of the key has no free slot left.
    bool Insert(std::uint32_t key, int code);

private:
    static int hash(std::uint32_t key) { return static_cast<int>(((key >> 4) ^ key) % kSize); }
    static int next(int h)
    {
        const int d = h == 0 ? 1 : kSize - h;
        h -= d;
        return h < 0 ? h + kSize : h;
    }
    std::uint32_t m_slots[kSize];
};

// Pixels of one frame as the compressor reads them.
struct TGIFEncodeSource {
    const std::uint8_t* Pixels = nullptr; // Width x Height bytes, row-major
    int Width = 0;
    int Height = 0;
    bool Interlaced = false;
    int BitsPerPixel = 2; // the minimum code size, 2..8
    int MaxColor = 4;     // pixels must be below this
};

class TGIFEncoder {
public:
    virtual ~TGIFEncoder() = default;
    // Writes the minimum code size byte, the data sub-blocks and the terminator.
    virtual void Compress(TGIFWriter& writer, const TGIFEncodeSource& source) = 0;
};

class TLZWEncoder : public TGIFEncoder {
public:
    void Compress(TGIFWriter& writer, const TGIFEncodeSource& source) override;

private:
    void Output(int code);
    void Clear();

    THashTable m_table;
    TGIFBlockPacker* m_packer = nullptr;
    std::uint32_t m_accum = 0;
    int m_accumBits = 0;
    int m_initBits = 0;
    int m_bits = 0;
    int m_maxCode = 0;
    int m_clearCode = 0;
    int m_freeCode = 0;
    bool m_clearing = false;
};
