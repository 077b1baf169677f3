#include "ActorPath.h"

#include "graphics/Exception.h"
#include "graphics/NumberRules.h"

#include <utility>

void TActorPath::Append(TPoint p)
{
    m_points.push_back(p);
    changed();
}

void TActorPath::Clear()
{
    m_points.clear();
    changed();
}

void TActorPath::Assign(std::vector<TPoint> points)
{
    m_points = std::move(points);
    changed();
}

void TActorPath::changed()
{
    if (OnChange)
        OnChange();
}

namespace {

std::string trimmed(const std::string& s)
{
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

} // namespace

std::optional<TPoint> ParsePoint(const std::string& text)
{
    const auto comma = text.find(',');
    if (comma == std::string::npos)
        return std::nullopt;
    int x = 0, y = 0;
    if (!TryParseInt(trimmed(text.substr(0, comma)), x) || !TryParseInt(trimmed(text.substr(comma + 1)), y))
        return std::nullopt;
    return TPoint(x, y);
}

std::vector<TPoint> ParsePointList(const std::string& text)
{
    std::vector<TPoint> points;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(';', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string entry = text.substr(start, end - start);
        if (const auto p = ParsePoint(entry))
            points.push_back(*p);
        else if (!trimmed(entry).empty())
            throw EInvalidArgument("Point " + std::to_string(points.size() + 1) + " of the path is not X,Y: '" + entry
                                   + "'");
        start = end + 1;
    }
    return points;
}
