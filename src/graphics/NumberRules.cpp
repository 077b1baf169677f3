#include "NumberRules.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>

std::int64_t Round(double x)
{
    // The default floating-point mode rounds to nearest, ties to even.
    return static_cast<std::int64_t>(std::nearbyint(x));
}

std::int64_t Trunc(double x)
{
    return static_cast<std::int64_t>(std::trunc(x));
}

int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    std::int64_t num = static_cast<std::int64_t>(a) * b;
    std::int64_t den = c;
    if (den < 0) {
        num = -num;
        den = -den;
    }
    std::int64_t q = (std::llabs(num) * 2 + den) / (2 * den);
    return static_cast<int>(num < 0 ? -q : q);
}

bool TryParseInt(const std::string& text, int& value)
{
    std::size_t b = 0, e = text.size();
    while (b < e && std::isspace(static_cast<unsigned char>(text[b])))
        ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(text[e - 1])))
        --e;
    if (b < e && text[b] == '+')
        ++b; // from_chars takes "-" but not "+"
    if (b == e)
        return false;
    int v = 0;
    const char* first = text.data() + b;
    const char* last = text.data() + e;
    const auto [ptr, ec] = std::from_chars(first, last, v);
    if (ec != std::errc() || ptr != last)
        return false;
    value = v;
    return true;
}

int StrToIntDef(const std::string& text, int def)
{
    int v = def;
    return TryParseInt(text, v) ? v : def;
}
