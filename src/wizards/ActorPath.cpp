#include "ActorPath.h"

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
