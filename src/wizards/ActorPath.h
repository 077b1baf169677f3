// ActorPath: the top-left corners the Actor/Path wizard puts the actor at, one per step.
// The frame editor owns one for the whole run: dragging an actor records into it (Ctrl at
// release appends, Shift at release empties), and the scripting object replaces it whole.
// The main window hands a copy of its points to each wizard run.
#pragma once

#include "graphics/Types.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

class TActorPath {
public:
    const std::vector<TPoint>& Points() const { return m_points; }
    int Count() const { return static_cast<int>(m_points.size()); }
    bool Empty() const { return m_points.empty(); }

    void Append(TPoint p);
    void Clear();
    // Replaces the whole path (a script's ActorWizardPath).
    void Assign(std::vector<TPoint> points);

    // Called after every change, e.g. to show the number of points.
    std::function<void()> OnChange;

private:
    void changed();

    std::vector<TPoint> m_points;
};

// "X,Y" as a point (32-bit whole numbers, spaces allowed around them); nothing for other text.
std::optional<TPoint> ParsePoint(const std::string& text);
// "X,Y;X,Y;..." as a list of points (empty entries are skipped, so an empty text is an
// empty path). Throws EInvalidArgument naming the first entry that is not a point.
std::vector<TPoint> ParsePointList(const std::string& text);
