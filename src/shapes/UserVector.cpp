#include "UserVector.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace {

bool isBlank(char c) { return c != '\0' && static_cast<unsigned char>(c) <= ' '; }

} // namespace

std::vector<std::string> SplitCommaText(const std::string& text)
{
    // A NUL ends the text; what follows it is not read.
    const std::string s = text.substr(0, text.find('\0'));
    std::vector<std::string> items;
    std::size_t p = 0;
    const std::size_t n = s.size();
    while (p < n && isBlank(s[p]))
        ++p;
    while (p < n) {
        std::string item;
        if (s[p] == '"') {
            ++p;
            while (p < n) {
                if (s[p] == '"') {
                    if (p + 1 < n && s[p + 1] == '"') {
                        item += '"';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                item += s[p++];
            }
        } else {
            const std::size_t start = p;
            while (p < n && !isBlank(s[p]) && s[p] != ',')
                ++p;
            item = s.substr(start, p - start);
        }
        items.push_back(item);
        while (p < n && isBlank(s[p]))
            ++p;
        if (p < n && s[p] == ',') {
            if (p + 1 == n)
                items.emplace_back();
            do
                ++p;
            while (p < n && isBlank(s[p]));
        }
    }
    return items;
}

std::optional<double> ParseFloatText(const std::string& text)
{
    std::size_t b = 0, e = text.size();
    while (b < e && std::isspace(static_cast<unsigned char>(text[b])))
        ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(text[e - 1])))
        --e;
    // Check the form first: strtod would also take hex, "inf" and "nan".
    std::size_t p = b;
    if (p < e && (text[p] == '+' || text[p] == '-'))
        ++p;
    std::size_t digits = 0;
    while (p < e && std::isdigit(static_cast<unsigned char>(text[p])))
        ++p, ++digits;
    if (p < e && text[p] == '.') {
        ++p;
        while (p < e && std::isdigit(static_cast<unsigned char>(text[p])))
            ++p, ++digits;
    }
    if (digits == 0)
        return std::nullopt;
    if (p < e && (text[p] == 'e' || text[p] == 'E')) {
        ++p;
        if (p < e && (text[p] == '+' || text[p] == '-'))
            ++p;
        std::size_t expDigits = 0;
        while (p < e && std::isdigit(static_cast<unsigned char>(text[p])))
            ++p, ++expDigits;
        if (expDigits == 0)
            return std::nullopt;
    }
    if (p != e)
        return std::nullopt;
    const std::string number = text.substr(b, e - b);
    errno = 0;
    const double v = std::strtod(number.c_str(), nullptr);
    if (!std::isfinite(v) || (errno == ERANGE && std::fabs(v) > 1.0))
        return std::nullopt;
    return v;
}

std::optional<std::vector<TUserPoint>> ParseUserVectorString(const std::string& value)
{
    const std::size_t eq = value.find('=');
    if (value.empty() || eq == std::string::npos)
        return std::nullopt;
    const std::vector<std::string> items = SplitCommaText(value.substr(eq + 1));
    if (items.empty() || items.size() % 2 != 0 || items.size() > 2 * kMaxUserPoints)
        return std::nullopt;
    std::vector<TUserPoint> points;
    for (std::size_t i = 0; i < items.size(); i += 2) {
        const std::optional<double> x = ParseFloatText(items[i]);
        const std::optional<double> y = ParseFloatText(items[i + 1]);
        if (!x || !y)
            return std::nullopt;
        points.push_back({*x, *y});
    }
    return points;
}

std::string UserVectorName(const std::string& value)
{
    return value.substr(0, value.find('='));
}
