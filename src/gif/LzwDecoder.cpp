#include "LzwDecoder.h"

#include "GIFTypes.h"

#include <algorithm>

namespace {

// Codes packed least significant bit first in data sub-blocks.
class TCodeReader {
public:
    TCodeReader(TGIFReader& reader, const std::function<void(const char*)>& warn) : m_reader(reader), m_warn(warn) {}

    int Next(int width)
    {
        while (m_bits < width) {
            if (m_blockLeft == 0 && !nextBlock())
                return -1;
            m_accum |= static_cast<std::uint32_t>(m_reader.ReadByte()) << m_bits;
            m_bits += 8;
            --m_blockLeft;
        }
        const int code = static_cast<int>(m_accum & ((1u << width) - 1));
        m_accum >>= width;
        m_bits -= width;
        return code;
    }

    // Skips whatever is left of the data up to and including the terminator.
    void SkipRest()
    {
        if (m_ended)
            return;
        m_reader.Skip(m_blockLeft);
        m_blockLeft = 0;
        for (;;) {
            const int len = m_reader.ReadByte();
            if (len <= 0)
                return;
            if (m_reader.Skip(static_cast<std::size_t>(len)) < static_cast<std::size_t>(len)) {
                m_warn("Premature end of data");
                return;
            }
        }
    }

private:
    bool nextBlock()
    {
        if (m_ended)
            return false;
        const int len = m_reader.ReadByte();
        if (len <= 0) {
            m_ended = true;
            m_warn("Decoder bit buffer under-run");
            return false;
        }
        std::size_t n = static_cast<std::size_t>(len);
        if (n > m_reader.Remaining()) {
            m_warn("Premature end of data");
            n = m_reader.Remaining();
            if (n == 0) {
                m_ended = true;
                m_warn("Decoder bit buffer under-run");
                return false;
            }
        }
        m_blockLeft = n;
        return true;
    }

    TGIFReader& m_reader;
    const std::function<void(const char*)>& m_warn;
    std::uint32_t m_accum = 0;
    int m_bits = 0;
    std::size_t m_blockLeft = 0;
    bool m_ended = false;
};

// Hands decoded pixels to the rows of the frame, in the interlace order when asked,
// keeping those inside the clip.
class TRowWriter {
public:
    explicit TRowWriter(const TGIFDecodeTarget& t)
        : m_t(t), m_clipLeft(t.ClipWidth < 0 ? 0 : t.ClipLeft), m_clipTop(t.ClipWidth < 0 ? 0 : t.ClipTop),
          m_clipRight(t.ClipWidth < 0 ? t.Width : t.ClipLeft + t.ClipWidth),
          m_clipBottom(t.ClipWidth < 0 ? t.Height : t.ClipTop + t.ClipHeight)
    {
        if (t.Width <= 0 || t.Height <= 0 || m_clipRight <= m_clipLeft || m_clipBottom <= m_clipTop)
            m_done = true;
        else
            startRow();
    }
    bool Done() const { return m_done; }
    void Put(std::uint8_t v)
    {
        if (m_row && m_x >= m_clipLeft && m_x < m_clipRight)
            m_row[m_x - m_clipLeft] = v;
        if (++m_x == m_t.Width)
            nextRow();
    }

private:
    void nextRow()
    {
        m_x = 0;
        if (m_t.Interlaced) {
            static const int start[4] = {0, 4, 2, 1};
            static const int step[4] = {8, 8, 4, 2};
            m_y += step[m_pass];
            while (m_y >= m_t.Height || (m_pass == 3 && m_y >= m_clipBottom)) {
                if (++m_pass == 4) {
                    m_done = true;
                    return;
                }
                m_y = start[m_pass];
            }
        } else if (++m_y == m_t.Height || m_y >= m_clipBottom) {
            m_done = true;
            return;
        }
        startRow();
    }
    void startRow()
    {
        const bool kept = m_y >= m_clipTop && m_y < m_clipBottom;
        m_row = kept ? m_t.Pixels + static_cast<std::size_t>(m_y - m_clipTop) * (m_clipRight - m_clipLeft) : nullptr;
    }

    const TGIFDecodeTarget& m_t;
    const int m_clipLeft, m_clipTop, m_clipRight, m_clipBottom;
    std::uint8_t* m_row = nullptr;
    int m_x = 0;
    int m_y = 0;
    int m_pass = 0;
    bool m_done = false;
};

} // namespace

void DecodeLZW(TGIFReader& reader, const TGIFDecodeTarget& target, const std::function<void(const char*)>& warn)
{
    const int s = reader.ReadByte();
    if (s < 0) {
        warn("Premature end of data");
        return;
    }
    if (s < 1 || s > 8)
        throw GIFException("Invalid LZW code size");

    std::int16_t prefix[4096];
    std::uint8_t suffix[4096];
    std::uint8_t stack[4096 + 2];
    const int clearCode = 1 << s;
    const int endCode = clearCode + 1;
    for (int i = 0; i < 4096; ++i) {
        prefix[i] = -1;
        suffix[i] = static_cast<std::uint8_t>(i < clearCode ? i : 0);
    }
    int width = s + 1;
    int limit = 1 << width;
    int freeCode = clearCode + 2;
    int old = -1;
    std::uint8_t first = 0;

    TCodeReader codes(reader, warn);
    TRowWriter rows(target);
    while (!rows.Done()) {
        int code = codes.Next(width);
        if (code < 0)
            break;
        if (code == clearCode) {
            width = s + 1;
            limit = 1 << width;
            freeCode = clearCode + 2;
            old = -1;
            continue;
        }
        if (code == endCode)
            break;
        const int in = code;
        int sp = 0;
        if (code >= freeCode && old >= 0) {
            // Not in the table yet: the previous string plus its own first pixel.
            stack[sp++] = first;
            code = old;
        }
        int steps = 0;
        while (code >= clearCode) {
            if (++steps > 4096 || prefix[code] == code)
                throw GIFException("Circular decoder table entry");
            stack[sp++] = suffix[code];
            code = prefix[code];
            if (code < 0)
                break;
        }
        if (code >= 0)
            stack[sp++] = static_cast<std::uint8_t>(code);
        first = stack[sp - 1];
        while (sp > 0 && !rows.Done())
            rows.Put(stack[--sp]);
        if (old >= 0 && freeCode < 4096) {
            prefix[freeCode] = static_cast<std::int16_t>(old);
            suffix[freeCode] = first;
            ++freeCode;
            if (freeCode >= limit && limit <= 4095) {
                limit <<= 1;
                ++width;
            }
        }
        old = in;
    }
    codes.SkipRest();
}

TLZWDataExtent MeasureLZWData(const TGIFReader& reader)
{
    TLZWDataExtent e;
    const std::uint8_t* p = reader.Current();
    const std::size_t left = reader.Remaining();
    std::size_t pos = 0;
    while (pos < left) {
        const std::size_t len = p[pos];
        if (len == 0) {
            e.Complete = true;
            break;
        }
        const std::size_t have = std::min(len, left - pos - 1);
        e.Bytes += have;
        pos += 1 + have;
    }
    return e;
}

std::int64_t MaxLZWPixels(std::size_t bytes, int minCodeSize)
{
    // The k-th code after a clear decodes to at most k pixels, and no string is longer
    // than the table; codes are at least minCodeSize + 1 bits wide.
    const std::int64_t n = static_cast<std::int64_t>(bytes) * 8 / std::max(2, minCodeSize + 1);
    const std::int64_t cap = 4097;
    if (n <= cap)
        return n * (n + 1) / 2;
    return cap * (cap + 1) / 2 + (n - cap) * cap;
}
