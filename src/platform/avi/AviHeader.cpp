#include "AviHeader.h"

#include "graphics/ByteOrder.h"

namespace {

// Walks the chunks of one list body [begin, end): calls `visit(id, body, bodySize)` for
// each; `visit` returns true to stop. A chunk that runs past the end is visited with the
// bytes that are there and ends the walk (the header list may be longer than what we read).
template <class Visit>
bool walkChunks(const std::uint8_t* begin, const std::uint8_t* end, Visit visit)
{
    const std::uint8_t* p = begin;
    while (end - p >= 8) {
        const std::uint32_t id = ReadLE32(p);
        const std::uint32_t size = ReadLE32(p + 4);
        const std::size_t available = static_cast<std::size_t>(end - p - 8);
        if (size > available)
            return visit(id, p + 8, static_cast<std::uint32_t>(available));
        if (visit(id, p + 8, size))
            return true;
        p += 8 + size;
        if ((size & 1) && p < end) // chunks are padded to an even length
            ++p;
    }
    return false;
}

} // namespace

std::optional<TAviStreamTiming> ReadAviStreamTiming(const std::uint8_t* data, std::size_t size)
{
    if (size < 12 || ReadLE32(data) != FourCC('R', 'I', 'F', 'F') || ReadLE32(data + 8) != FourCC('A', 'V', 'I', ' '))
        return std::nullopt;
    // The RIFF size may claim more than we were given: walk what is there.
    std::optional<TAviStreamTiming> found;
    walkChunks(data + 12, data + size, [&](std::uint32_t id, const std::uint8_t* body, std::uint32_t len) {
        if (id != FourCC('L', 'I', 'S', 'T') || len < 4 || ReadLE32(body) != FourCC('h', 'd', 'r', 'l'))
            return false;
        walkChunks(body + 4, body + len, [&](std::uint32_t id2, const std::uint8_t* list, std::uint32_t len2) {
            if (id2 != FourCC('L', 'I', 'S', 'T') || len2 < 4 || ReadLE32(list) != FourCC('s', 't', 'r', 'l'))
                return false;
            return walkChunks(list + 4, list + len2, [&](std::uint32_t id3, const std::uint8_t* strh, std::uint32_t len3) {
                if (id3 != FourCC('s', 't', 'r', 'h') || len3 < 36 || ReadLE32(strh) != FourCC('v', 'i', 'd', 's'))
                    return false;
                found = TAviStreamTiming{ReadLE32(strh + 20), ReadLE32(strh + 24), ReadLE32(strh + 28), ReadLE32(strh + 32)};
                return true;
            });
        });
        return true; // the header list comes once
    });
    return found;
}

std::optional<std::pair<std::uint32_t, std::uint32_t>> ReadAviMainHeaderSize(const std::uint8_t* data, std::size_t size)
{
    if (size < 12 || ReadLE32(data) != FourCC('R', 'I', 'F', 'F') || ReadLE32(data + 8) != FourCC('A', 'V', 'I', ' '))
        return std::nullopt;
    std::optional<std::pair<std::uint32_t, std::uint32_t>> found;
    walkChunks(data + 12, data + size, [&](std::uint32_t id, const std::uint8_t* body, std::uint32_t len) {
        if (id != FourCC('L', 'I', 'S', 'T') || len < 4 || ReadLE32(body) != FourCC('h', 'd', 'r', 'l'))
            return false;
        walkChunks(body + 4, body + len, [&](std::uint32_t id2, const std::uint8_t* avih, std::uint32_t len2) {
            if (id2 != FourCC('a', 'v', 'i', 'h') || len2 < 40)
                return false;
            found = std::make_pair(ReadLE32(avih + 32), ReadLE32(avih + 36));
            return true;
        });
        return true;
    });
    return found;
}
