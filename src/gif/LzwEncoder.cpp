#include "LzwEncoder.h"

#include "GIFTypes.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;
constexpr int kLastCode = 4094; // past this the table is cleared instead of grown
constexpr std::uint32_t kSlots = 1u << TLZWEncoder::kTableBits;

// Keys are at most 20 bits (a 12-bit prefix and a pixel); Fibonacci hashing spreads them
// over the slots.
inline std::uint32_t slotOf(std::uint32_t key) { return (key * 0x9E3779B1u) >> (32 - TLZWEncoder::kTableBits); }

// Codes packed least significant bit first, handed to the writer in whole data
// sub-blocks of 255 bytes.
class TCodePacker {
public:
    explicit TCodePacker(TGIFWriter& writer) : m_writer(writer) {}

    void Put(std::uint32_t code, int bits)
    {
        m_accum |= static_cast<std::uint64_t>(code) << m_bits;
        m_bits += bits;
        if (m_bits >= 32) {
            std::uint8_t* p = m_buffer + m_count;
            p[0] = static_cast<std::uint8_t>(m_accum);
            p[1] = static_cast<std::uint8_t>(m_accum >> 8);
            p[2] = static_cast<std::uint8_t>(m_accum >> 16);
            p[3] = static_cast<std::uint8_t>(m_accum >> 24);
            m_count += 4;
            m_accum >>= 32;
            m_bits -= 32;
            if (m_count >= kFlushAt)
                flush();
        }
    }

    // The remaining bits, the last sub-block and the terminator.
    void Finish()
    {
        for (; m_bits > 0; m_bits -= 8, m_accum >>= 8)
            m_buffer[m_count++] = static_cast<std::uint8_t>(m_accum);
        m_writer.WriteSubBlocks(m_buffer, static_cast<std::size_t>(m_count));
        m_writer.WriteByte(0);
    }

private:
    static constexpr int kFlushAt = 255 * 16;

    void flush()
    {
        m_writer.WriteSubBlocks(m_buffer, kFlushAt);
        m_count -= kFlushAt;
        std::memmove(m_buffer, m_buffer + kFlushAt, static_cast<std::size_t>(m_count));
    }

    TGIFWriter& m_writer;
    std::uint64_t m_accum = 0;
    int m_bits = 0;
    int m_count = 0;
    std::uint8_t m_buffer[kFlushAt + 8];
};

// True when every pixel is below `maxColor`; blocks of 32 let the compiler compare many
// bytes at once.
bool allBelow(const std::uint8_t* p, std::size_t n, int maxColor)
{
    if (maxColor > 255)
        return true;
    std::uint8_t most = 0;
    std::size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        std::uint8_t block = 0;
        for (int k = 0; k < 32; ++k)
            block = std::max(block, p[i + static_cast<std::size_t>(k)]);
        most = std::max(most, block);
    }
    for (; i < n; ++i)
        most = std::max(most, p[i]);
    return most < maxColor;
}

} // namespace

TLZWEncoder::TLZWEncoder() : m_table(new std::uint32_t[kSlots + 4096]) {}

void TLZWEncoder::Compress(TGIFWriter& writer, const TGIFEncodeSource& src)
{
    const std::size_t total = src.Pixels ? static_cast<std::size_t>(src.Width) * static_cast<std::size_t>(src.Height) : 0;
    if (total > 0 && !allBelow(src.Pixels, total, src.MaxColor))
        throw GIFException("Color not in color table");

    const int b = src.BitsPerPixel;
    writer.WriteByte(static_cast<std::uint8_t>(b));
    TCodePacker out(writer);
    std::uint32_t* const table = m_table.get();
    // The code each prefix code led to last, with its pixel: pixel x 4096 + code.
    std::uint32_t* const child = table + kSlots;
    auto clearTables = [&] { std::memset(table, 0xFF, sizeof(std::uint32_t) * (kSlots + 4096)); };
    const int initBits = b + 1;
    const std::uint32_t clearCode = 1u << b;
    const std::uint32_t endCode = clearCode + 1;
    int bits = initBits;
    std::uint32_t maxCode = (1u << bits) - 1;
    std::uint32_t freeCode = clearCode + 2;
    clearTables();
    out.Put(clearCode, bits);

    // After every code: the width grows once the next free code no longer fits it; at 12
    // bits it stays.
    auto grow = [&] {
        if (freeCode > maxCode) {
            ++bits;
            maxCode = bits == 12 ? 4096 : (1u << bits) - 1;
        }
    };

    bool started = false;
    std::uint32_t prefix = 0;
    auto row = [&](int y) {
        const std::uint8_t* p = src.Pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(src.Width);
        const std::uint8_t* const end = p + src.Width;
        if (!started && p < end) {
            prefix = *p++;
            started = true;
        }
        // The state in locals for the loop: the packer's byte stores could otherwise make
        // every captured variable be read again after each code.
        std::uint32_t pre = prefix;
        int width = bits;
        std::uint32_t most = maxCode;
        std::uint32_t next = freeCode;
        for (; p < end; ++p) {
            const std::uint32_t c = *p;
            // Runs of one colour follow the same child again and again: try the last one.
            const std::uint32_t last = child[pre];
            if ((last >> 12) == c) {
                pre = last & 0xFFF;
                continue;
            }
            const std::uint32_t key = (pre << 8) | c;
            std::uint32_t h = slotOf(key);
            std::uint32_t slot;
            while ((slot = table[h]) != kEmpty && (slot >> 12) != key)
                h = (h + 1) & (kSlots - 1);
            if (slot != kEmpty) {
                child[pre] = (c << 12) | (slot & 0xFFF);
                pre = slot & 0xFFF;
                continue;
            }
            out.Put(pre, width);
            if (next > most) {
                ++width;
                most = width == 12 ? 4096 : (1u << width) - 1;
            }
            if (next > kLastCode) {
                clearTables();
                next = clearCode + 2;
                out.Put(clearCode, width);
                width = initBits;
                most = (1u << width) - 1;
            } else {
                child[pre] = (c << 12) | next;
                table[h] = (key << 12) | next++;
            }
            pre = c;
        }
        bits = width;
        maxCode = most;
        freeCode = next;
        prefix = pre;
    };
    if (total > 0) {
        if (src.Interlaced) {
            static const int start[4] = {0, 4, 2, 1};
            static const int step[4] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4; ++pass)
                for (int y = start[pass]; y < src.Height; y += step[pass])
                    row(y);
        } else {
            for (int y = 0; y < src.Height; ++y)
                row(y);
        }
    }
    if (started) {
        out.Put(prefix, bits);
        grow();
    }
    out.Put(endCode, bits);
    out.Finish();
}
