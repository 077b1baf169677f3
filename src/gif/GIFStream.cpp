#include "GIFStream.h"

#include <algorithm>
#include <cstring>

void TGIFWriter::WriteSubBlocks(const void* data, std::size_t size)
{
    const auto* p = static_cast<const std::uint8_t*>(data);
    while (size > 0) {
        const std::size_t n = std::min<std::size_t>(size, 255);
        WriteByte(static_cast<std::uint8_t>(n));
        WriteBytes(p, n);
        p += n;
        size -= n;
    }
}

bool TGIFReader::Read(void* dest, std::size_t n)
{
    if (Remaining() < n)
        return false;
    std::memcpy(dest, m_data + m_pos, n);
    m_pos += n;
    return true;
}

std::size_t TGIFReader::Skip(std::size_t n)
{
    const std::size_t k = std::min(n, Remaining());
    m_pos += k;
    return k;
}

void TGIFSubBlocks::Append(const void* data, std::size_t size)
{
    const auto* p = static_cast<const std::uint8_t*>(data);
    m_raw.reserve(m_raw.size() + size + (size + 254) / 255);
    while (size > 0) {
        const std::size_t n = std::min<std::size_t>(size, 255);
        m_raw.push_back(static_cast<std::uint8_t>(n));
        m_raw.insert(m_raw.end(), p, p + n);
        ++m_count;
        p += n;
        size -= n;
    }
}

std::string TGIFSubBlocks::Joined() const
{
    std::string s;
    s.reserve(m_raw.size() - m_count);
    for (std::string_view b : *this)
        s += b;
    return s;
}

std::vector<std::string> TGIFSubBlocks::Lines() const
{
    std::vector<std::string> lines;
    lines.reserve(m_count);
    for (std::string_view b : *this)
        lines.emplace_back(b);
    return lines;
}

bool TGIFSubBlocks::Load(TGIFReader& reader)
{
    Clear();
    // Measure the chain first, then take it in one piece.
    const std::uint8_t* start = reader.Current();
    std::size_t pos = 0;
    std::size_t count = 0;
    const std::size_t left = reader.Remaining();
    bool complete = false;
    std::size_t cutAt = 0; // the length byte of a sub-block the data ends inside
    bool cut = false;
    while (pos < left) {
        const std::size_t len = start[pos];
        if (len == 0) {
            complete = true;
            break;
        }
        ++count;
        if (len > left - pos - 1) {
            cut = true;
            cutAt = pos;
            pos = left;
            break;
        }
        pos += 1 + len;
    }
    m_raw.assign(start, start + pos);
    m_count = count;
    if (cut)
        m_raw[cutAt] = static_cast<std::uint8_t>(pos - cutAt - 1);
    if (cut && pos - cutAt - 1 == 0) {
        // Only the length byte was there: no sub-block at all.
        m_raw.resize(cutAt);
        --m_count;
    }
    reader.Skip(pos + (complete ? 1 : 0));
    return complete;
}

void TGIFSubBlocks::Save(TGIFWriter& writer) const
{
    writer.WriteBytes(m_raw.data(), m_raw.size());
    writer.WriteByte(0);
}
