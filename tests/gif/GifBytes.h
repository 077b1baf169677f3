// Hand-made GIF bytes for the reader tests: raw LZW codes and blocks.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// Packs (code, width) pairs least significant bit first.
inline Bytes PackCodes(const std::vector<std::pair<int, int>>& codes)
{
    Bytes out;
    std::uint32_t acc = 0;
    int bits = 0;
    for (auto [code, width] : codes) {
        acc |= static_cast<std::uint32_t>(code) << bits;
        bits += width;
        while (bits >= 8) {
            out.push_back(static_cast<std::uint8_t>(acc));
            acc >>= 8;
            bits -= 8;
        }
    }
    if (bits > 0)
        out.push_back(static_cast<std::uint8_t>(acc));
    return out;
}

// Data sub-blocks with the terminator.
inline Bytes SubBlocks(const Bytes& data, bool terminator = true)
{
    Bytes out;
    for (std::size_t i = 0; i < data.size(); i += 255) {
        const std::size_t n = std::min<std::size_t>(255, data.size() - i);
        out.push_back(static_cast<std::uint8_t>(n));
        out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(i), data.begin() + static_cast<std::ptrdiff_t>(i + n));
    }
    if (terminator)
        out.push_back(0);
    return out;
}

inline void Append(Bytes& a, const Bytes& b) { a.insert(a.end(), b.begin(), b.end()); }

inline void Word(Bytes& a, int w)
{
    a.push_back(static_cast<std::uint8_t>(w & 0xFF));
    a.push_back(static_cast<std::uint8_t>((w >> 8) & 0xFF));
}

// "GIF89a" and a screen without global table.
inline Bytes GifHeader(int w, int h)
{
    Bytes b = {'G', 'I', 'F', '8', '9', 'a'};
    Word(b, w);
    Word(b, h);
    b.push_back(0);
    b.push_back(0);
    b.push_back(0);
    return b;
}

// An image descriptor with a local table of 2^bits grays (entry i = i).
inline Bytes GifFrameHead(int left, int top, int w, int h, int bits, bool interlaced = false)
{
    Bytes b = {0x2C};
    Word(b, left);
    Word(b, top);
    Word(b, w);
    Word(b, h);
    b.push_back(static_cast<std::uint8_t>(0x80 | (interlaced ? 0x40 : 0) | (bits - 1)));
    for (int i = 0; i < (1 << bits); ++i)
        for (int c = 0; c < 3; ++c)
            b.push_back(static_cast<std::uint8_t>(i));
    return b;
}
