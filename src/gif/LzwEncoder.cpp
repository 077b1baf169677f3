#include "LzwEncoder.h"

#include "GIFTypes.h"

#include <cstring>

namespace {
constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;
constexpr int kLastCode = 4094; // past this the table is cleared instead of grown
}

void THashTable::Clear() { std::memset(m_slots, 0xFF, sizeof m_slots); }

int THashTable::Lookup(std::uint32_t key) const
{
    int h = hash(key);
    // The probe sequence only visits part of the table; bound it so a full cycle ends.
    for (int n = 0; n < kSize; ++n) {
        // A key never has all 20 bits set, so a hit is tested first.
        const std::uint32_t slot = m_slots[h];
        if ((slot >> 12) == key)
            return static_cast<int>(slot & 0xFFF);
        if ((slot >> 12) == (kEmpty >> 12))
            return -1;
        h = next(h);
    }
    return -1;
}

bool THashTable::Insert(std::uint32_t key, int code)
{
    int h = hash(key);
    for (int n = 0; n < kSize; ++n) {
        if ((m_slots[h] >> 12) == (kEmpty >> 12)) {
            m_slots[h] = (key << 12) | static_cast<std::uint32_t>(code);
            return true;
        }
        h = next(h);
    }
    return false;
}

inline void TLZWEncoder::Output(int code)
{
    m_accum |= static_cast<std::uint32_t>(code) << m_accumBits;
    m_accumBits += m_bits;
    while (m_accumBits >= 8) {
        m_packer->Put(static_cast<std::uint8_t>(m_accum & 0xFF));
        m_accum >>= 8;
        m_accumBits -= 8;
    }
    if (m_clearing) {
        m_bits = m_initBits;
        m_maxCode = (1 << m_bits) - 1;
        m_clearing = false;
    } else if (m_freeCode > m_maxCode) {
        ++m_bits;
        m_maxCode = m_bits == 12 ? 4096 : (1 << m_bits) - 1;
    }
}

void TLZWEncoder::Clear()
{
    m_table.Clear();
    m_freeCode = m_clearCode + 2;
    m_clearing = true;
    Output(m_clearCode);
}

void TLZWEncoder::Compress(TGIFWriter& writer, const TGIFEncodeSource& src)
{
    const int b = src.BitsPerPixel;
    writer.WriteByte(static_cast<std::uint8_t>(b));
    TGIFBlockPacker packer(writer);
    m_packer = &packer;
    m_accum = 0;
    m_accumBits = 0;
    m_initBits = b + 1;
    m_bits = m_initBits;
    m_maxCode = (1 << m_bits) - 1;
    m_clearCode = 1 << b;
    const int endCode = m_clearCode + 1;
    m_freeCode = m_clearCode + 2;
    m_clearing = false;
    m_table.Clear();
    Output(m_clearCode);

    const int maxColor = src.MaxColor;
    int prefix = -1;
    auto row = [&](int y) {
        const std::uint8_t* p = src.Pixels + static_cast<std::size_t>(y) * src.Width;
        const std::uint8_t* end = p + src.Width;
        if (prefix < 0 && p < end) {
            if (*p >= maxColor)
                throw GIFException("Color not in color table");
            prefix = *p++;
        }
        int pre = prefix;
        for (; p < end; ++p) {
            const int c = *p;
            if (c >= maxColor)
                throw GIFException("Color not in color table");
            const std::uint32_t key = (static_cast<std::uint32_t>(pre) << 8) | static_cast<std::uint32_t>(c);
            const int code = m_table.Lookup(key);
            if (code >= 0) {
                pre = code;
                continue;
            }
            Output(pre);
            pre = c;
            if (m_freeCode > kLastCode || !m_table.Insert(key, m_freeCode))
                Clear();
            else
                ++m_freeCode;
        }
        prefix = pre;
    };
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
    if (prefix >= 0)
        Output(prefix);
    Output(endCode);
    if (m_accumBits > 0)
        packer.Put(static_cast<std::uint8_t>(m_accum & 0xFF));
    packer.Finish();
    m_packer = nullptr;
}
