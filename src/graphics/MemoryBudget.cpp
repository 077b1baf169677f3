#include "MemoryBudget.h"

#include <atomic>
#include <cctype>
#include <cstdio>
#include <limits>

namespace {

std::atomic<std::uint64_t> g_limit{MemoryBudget::kDefaultLimit};
std::atomic<std::uint64_t> g_inUse{0};

// Adds `bytes` to what is held unless that passes the limit; one atomic step, so two
// threads cannot both slip under the limit.
bool tryAdd(std::uint64_t bytes)
{
    std::uint64_t used = g_inUse.load(std::memory_order_relaxed);
    for (;;) {
        const std::uint64_t limit = g_limit.load(std::memory_order_relaxed);
        if (bytes > limit || used > limit - bytes)
            return false;
        if (g_inUse.compare_exchange_weak(used, used + bytes, std::memory_order_relaxed))
            return true;
    }
}

void subtract(std::uint64_t bytes)
{
    g_inUse.fetch_sub(bytes, std::memory_order_relaxed);
}

} // namespace

namespace MemoryBudget {

std::uint64_t Limit() { return g_limit.load(); }
void SetLimit(std::uint64_t bytes) { g_limit.store(bytes); }
std::uint64_t InUse() { return g_inUse.load(); }

std::string FormatBytes(std::uint64_t bytes)
{
    const char* units[] = {"bytes", "KB", "MB", "GB", "TB"};
    int unit = 0;
    double value = static_cast<double>(bytes);
    while (value >= 1024.0 && unit < 4) {
        value /= 1024.0;
        ++unit;
    }
    if (unit == 0)
        return std::to_string(bytes) + " bytes";
    // One decimal below 10 units, whole numbers above: "1.5 GB", "768 MB".
    char text[32];
    if (value < 10.0 && value != static_cast<double>(static_cast<std::uint64_t>(value)))
        std::snprintf(text, sizeof text, "%.1f %s", value, units[unit]);
    else
        std::snprintf(text, sizeof text, "%.0f %s", value, units[unit]);
    return text;
}

std::string RefusalMessage(std::uint64_t bytes, const std::string& what)
{
    std::string msg = "Not enough memory: " + what + " needs " + FormatBytes(bytes)
                      + ", and the memory limit is " + FormatBytes(Limit());
    const std::uint64_t used = InUse();
    if (used > 0)
        msg += " (" + FormatBytes(used) + " in use)";
    return msg + ".";
}

std::string SystemRefusalMessage()
{
    return "Not enough memory: the system could not provide the memory this work needs (the memory limit is "
           + FormatBytes(Limit()) + ").";
}

std::string SizeText(std::uint64_t bytes)
{
    const char* units = "KMGT";
    int unit = -1;
    while (unit < 3 && bytes != 0 && bytes % 1024 == 0) {
        bytes /= 1024;
        ++unit;
    }
    return std::to_string(bytes) + (unit >= 0 ? std::string(1, units[unit]) : std::string());
}

void Check(std::uint64_t bytes, const std::string& what)
{
    const std::uint64_t limit = Limit();
    const std::uint64_t used = InUse();
    if (bytes > limit || used > limit - bytes)
        throw EOutOfMemory(RefusalMessage(bytes, what));
}

std::uint64_t PictureBytes(std::int64_t width, std::int64_t height, std::int64_t count, int bytesPerPixel)
{
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
    if (width <= 0 || height <= 0 || count <= 0)
        return 0;
    const std::uint64_t row = ((static_cast<std::uint64_t>(width) * bytesPerPixel * 8 + 31) / 32) * 4;
    const std::uint64_t h = static_cast<std::uint64_t>(height), n = static_cast<std::uint64_t>(count);
    if (row > kMax / h)
        return kMax;
    const std::uint64_t one = row * h;
    return one > kMax / n ? kMax : one * n;
}

std::optional<std::uint64_t> ParseSize(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    std::size_t i = 0;
    std::uint64_t value = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
        const std::uint64_t digit = static_cast<std::uint64_t>(text[i] - '0');
        if (value > (std::numeric_limits<std::uint64_t>::max() - digit) / 10)
            return std::nullopt;
        value = value * 10 + digit;
        ++i;
    }
    if (i == 0)
        return std::nullopt;
    std::string unit;
    for (; i < text.size(); ++i)
        if (!std::isspace(static_cast<unsigned char>(text[i])))
            unit += static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
    int shift = 0;
    if (unit.empty() || unit == "B" || unit == "BYTES")
        shift = 0;
    else if (unit == "K" || unit == "KB" || unit == "KIB")
        shift = 10;
    else if (unit == "M" || unit == "MB" || unit == "MIB")
        shift = 20;
    else if (unit == "G" || unit == "GB" || unit == "GIB")
        shift = 30;
    else if (unit == "T" || unit == "TB" || unit == "TIB")
        shift = 40;
    else
        return std::nullopt;
    if (shift > 0 && value > (std::numeric_limits<std::uint64_t>::max() >> shift))
        return std::nullopt;
    return value << shift;
}

} // namespace MemoryBudget

TMemoryReservation::TMemoryReservation(const TMemoryReservation& other)
{
    Reserve(other.m_bytes, "a copy of a picture");
}

TMemoryReservation& TMemoryReservation::operator=(const TMemoryReservation& other)
{
    if (this != &other)
        Reserve(other.m_bytes, "a copy of a picture");
    return *this;
}

TMemoryReservation& TMemoryReservation::operator=(TMemoryReservation&& other) noexcept
{
    if (this != &other) {
        Release();
        m_bytes = other.m_bytes;
        other.m_bytes = 0;
    }
    return *this;
}

void TMemoryReservation::Reserve(std::uint64_t bytes, const std::string& what)
{
    if (bytes > m_bytes) {
        const std::uint64_t more = bytes - m_bytes;
        if (!tryAdd(more))
            throw EOutOfMemory(MemoryBudget::RefusalMessage(more, what));
    } else {
        subtract(m_bytes - bytes);
    }
    m_bytes = bytes;
}

void TMemoryReservation::Release() noexcept
{
    if (m_bytes > 0)
        subtract(m_bytes);
    m_bytes = 0;
}
