// The RIFF AVI layout our writer produces and our reader checks: four-character codes,
// the stream header of the first video stream, little-endian writing helpers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

constexpr std::uint32_t FourCC(char a, char b, char c, char d)
{
    return static_cast<std::uint32_t>(static_cast<std::uint8_t>(a)) | (static_cast<std::uint32_t>(static_cast<std::uint8_t>(b)) << 8)
        | (static_cast<std::uint32_t>(static_cast<std::uint8_t>(c)) << 16) | (static_cast<std::uint32_t>(static_cast<std::uint8_t>(d)) << 24);
}

// Index entry flags.
constexpr std::uint32_t kAviIndexKeyFrame = 0x10;
constexpr std::uint32_t kAviIndexNoTime = 0x100; // palette changes take no time
// The main header flag: the file has an idx1 index.
constexpr std::uint32_t kAviHasIndex = 0x10;

// What a video stream header says about timing: a frame lasts Scale / Rate seconds, the
// stream's positions run from Start for Length frames.
struct TAviStreamTiming {
    std::uint32_t Scale = 0;
    std::uint32_t Rate = 0;
    std::uint32_t Start = 0;
    std::uint32_t Length = 0;
};

// The stream header (strh) of the first video stream ("vids") of a RIFF AVI file, read
// from the file's first bytes; nothing when the bytes are not an AVI file or its header
// list does not fit in them. Never reads past `size`.
std::optional<TAviStreamTiming> ReadAviStreamTiming(const std::uint8_t* data, std::size_t size);
// The frame size the AVI main header ("avih") gives; nothing when it is not there.
std::optional<std::pair<std::uint32_t, std::uint32_t>> ReadAviMainHeaderSize(const std::uint8_t* data, std::size_t size);

// Little-endian writing into a growing byte buffer.
inline void PutLE16(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void PutLE32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    PutLE16(out, v & 0xFFFF);
    PutLE16(out, v >> 16);
}
