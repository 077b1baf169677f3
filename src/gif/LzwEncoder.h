// LZW compression of frame pixels into GIF image data.
#pragma once

#include "GIFStream.h"

#include <cstdint>
#include <memory>

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

// GIF's LZW: a clear code first, the longest known string at every step, a clear code
// when the next free code would pass 4094, codes packed least significant bit first.
// The string table maps prefix x 256 + pixel to a code with open addressing over 16384
// slots, so it is at most a quarter full and a lookup rarely probes twice.
class TLZWEncoder : public TGIFEncoder {
public:
    TLZWEncoder();
    // Throws GIFException("Color not in color table") before anything is written when a
    // pixel is not below MaxColor.
    void Compress(TGIFWriter& writer, const TGIFEncodeSource& source) override;

    static constexpr int kTableBits = 14;

private:
    std::unique_ptr<std::uint32_t[]> m_table; // key x 4096 + code; all ones when empty
};
