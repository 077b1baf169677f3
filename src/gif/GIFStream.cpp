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
