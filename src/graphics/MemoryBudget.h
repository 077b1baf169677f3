// One memory budget for pixel data, shared by every window and by the command line.
// Every allocation whose size comes from the input (decoded pictures, frame copies, a
// wizard run's images, effect scratch bitmaps, zoomed pictures, undo history) asks the
// budget first, so a hostile or simply huge input is refused at once with the size it
// asked for and the limit, instead of exhausting the machine.
//
// Two ways to use it:
//  - `MemoryBudget::Check(bytes, what)` before work whose total is known up front (n
//    frames of a wizard run, a zoom): refuses if that much more would pass the limit.
//  - `TMemoryReservation`: holds bytes against the budget for as long as it lives.
//    `TBitmap` keeps one for its pixels, so every live bitmap counts.
#pragma once

#include "Exception.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Refused for lack of memory: the budget would be passed, or the system had none left.
// The message begins with "Not enough memory".
class EOutOfMemory : public Exception {
public:
    using Exception::Exception;
};

namespace MemoryBudget {

constexpr std::uint64_t kDefaultLimit = std::uint64_t(2) << 30; // 2 GiB
// The smallest limit the settings file and the command line accept.
constexpr std::uint64_t kMinimumLimit = std::uint64_t(1) << 20; // 1 MiB

// The limit in bytes, and the bytes now held by reservations.
std::uint64_t Limit();
void SetLimit(std::uint64_t bytes);
std::uint64_t InUse();

// Throws EOutOfMemory when `bytes` more than what is held now would pass the limit.
// `what` names the work in the message ("a 16384 x 16384 picture", "10 wizard frames").
void Check(std::uint64_t bytes, const std::string& what);

// The bytes of `count` 24-bit pictures of width x height (rows padded to 4 bytes);
// saturates instead of overflowing.
std::uint64_t PictureBytes(std::int64_t width, std::int64_t height, std::int64_t count = 1,
                           int bytesPerPixel = 3);

// "768 MB", "2 GB", "512 KB", "100 bytes": binary units, as the messages show them.
std::string FormatBytes(std::uint64_t bytes);

// Reads a limit as the command line and the settings file give it: a number of bytes
// with an optional unit K, M, G (binary; "MB", "GiB" and letter case accepted).
// Nothing for text that is not such a size.
std::optional<std::uint64_t> ParseSize(std::string_view text);

// The message of a refusal (also used for std::bad_alloc turned into EOutOfMemory).
std::string RefusalMessage(std::uint64_t bytes, const std::string& what);

// The message for an allocation the system itself refused (std::bad_alloc).
std::string SystemRefusalMessage();

// A limit as the settings file stores it, exact and readable back by ParseSize: "2G",
// "512M", "1536K", "1000".
std::string SizeText(std::uint64_t bytes);

// Temporarily changes the limit and puts the old one back (tests, scoped jobs).
class TScopedLimit {
public:
    explicit TScopedLimit(std::uint64_t bytes) : m_old(Limit()) { SetLimit(bytes); }
    ~TScopedLimit() { SetLimit(m_old); }
    TScopedLimit(const TScopedLimit&) = delete;
    TScopedLimit& operator=(const TScopedLimit&) = delete;

private:
    std::uint64_t m_old;
};

} // namespace MemoryBudget

// Bytes held against the budget while this object lives. Copying reserves the same
// amount again (and may throw); moving hands the reservation over. Thread-safe.
class TMemoryReservation {
public:
    TMemoryReservation() = default;
    TMemoryReservation(std::uint64_t bytes, const std::string& what) { Reserve(bytes, what); }
    ~TMemoryReservation() { Release(); }
    TMemoryReservation(const TMemoryReservation& other);
    TMemoryReservation& operator=(const TMemoryReservation& other);
    TMemoryReservation(TMemoryReservation&& other) noexcept : m_bytes(other.m_bytes) { other.m_bytes = 0; }
    TMemoryReservation& operator=(TMemoryReservation&& other) noexcept;

    // Replaces what is held by `bytes`; throws EOutOfMemory (holding nothing new) when
    // the growth would pass the limit. Shrinking never throws.
    void Reserve(std::uint64_t bytes, const std::string& what);
    void Release() noexcept;
    std::uint64_t Bytes() const { return m_bytes; }

private:
    std::uint64_t m_bytes = 0;
};
