// LZW decompression of GIF image data into frame pixels.
#pragma once

#include "GIFStream.h"

#include <cstdint>
#include <functional>

struct TGIFDecodeTarget {
    // The kept part of the frame (the whole frame unless clipped), already filled with
    // the fill value.
    std::uint8_t* Pixels = nullptr;
    int Width = 0; // the frame as its data codes it
    int Height = 0;
    bool Interlaced = false;
    // The kept part: ClipWidth x ClipHeight pixels from (ClipLeft, ClipTop); the rest is
    // decoded and dropped. A ClipWidth of -1 keeps the whole frame.
    int ClipLeft = 0;
    int ClipTop = 0;
    int ClipWidth = -1;
    int ClipHeight = -1;
};

// Reads the minimum code size and the data sub-blocks up to their terminator and
// decodes them into `target`. Pixels the data does not reach keep their value. Decoding
// ends once the data has passed the kept part (the rest of the data is skipped).
// Warnings ("Premature end of data", "Decoder bit buffer under-run") go to `warn`;
// a circular table entry or an impossible code size throws GIFException.
void DecodeLZW(TGIFReader& reader, const TGIFDecodeTarget& target, const std::function<void(const char*)>& warn);

// The image data after the minimum code size as the file has it: the bytes its sub-blocks
// hold, and whether the terminator follows (false: the file ends inside the data).
struct TLZWDataExtent {
    std::size_t Bytes = 0;
    bool Complete = false;
};
// Measures without consuming; `reader` stands on the first length byte.
TLZWDataExtent MeasureLZWData(const TGIFReader& reader);

// The most pixels that `bytes` bytes of image data can possibly decode to with the
// given minimum code size; frames that claim more are refused before allocation.
std::int64_t MaxLZWPixels(std::size_t bytes, int minCodeSize);
