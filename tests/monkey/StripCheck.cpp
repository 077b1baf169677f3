#include "StripCheck.h"

#include "workspace/FrameStrip.h"

#include <cstdlib>
#include <set>

std::vector<std::string> StripProblems(const TFrameStrip& strip)
{
    std::vector<std::string> problems;
    const auto problem = [&](const std::string& p) { problems.push_back(p); };
    const int n = strip.Count();
    const std::string size = std::to_string(strip.FrameWidth()) + " x " + std::to_string(strip.FrameHeight());
    if (n > 0 && (strip.FrameWidth() <= 0 || strip.FrameHeight() <= 0))
        problem("frames on a strip of frame size " + size);
    std::set<std::string> names;
    const TStripDocument& doc = strip.Document();
    for (int i = 0; i < n; ++i) {
        const TFrameRecord& f = doc.Frames[static_cast<std::size_t>(i)];
        const std::string which = "frame " + std::to_string(i) + " (" + f.Name + ")";
        if (!f.Picture) {
            problem(which + " has no picture");
        } else if (f.Picture->Width() != strip.FrameWidth() || f.Picture->Height() != strip.FrameHeight()) {
            problem(which + " is " + std::to_string(f.Picture->Width()) + " x " + std::to_string(f.Picture->Height()) +
                    " on a strip of " + size);
        }
        if (f.Name.empty() || !names.insert(f.Name).second)
            problem(which + ": the name is empty or taken");
        // "FrameN" with N at or above the counter could be given again to a new frame.
        if (f.Name.rfind("Frame", 0) == 0 && f.Name.size() > 5 && f.Name.size() < 15 &&
            f.Name.find_first_not_of("0123456789", 5) == std::string::npos &&
            std::atoll(f.Name.c_str() + 5) >= strip.FrameCounter())
            problem(which + ": the next frame number is " + std::to_string(strip.FrameCounter()));
    }
    if (strip.ItemIndex() < -1 || strip.ItemIndex() >= n)
        problem("item index " + std::to_string(strip.ItemIndex()) + " of " + std::to_string(n) + " frames");
    for (const int i : strip.SelectedIndices())
        if (i < 0 || i >= n)
            problem("selected index " + std::to_string(i) + " of " + std::to_string(n) + " frames");
    if (strip.SelectedCount() != static_cast<int>(strip.SelectedIndices().size()))
        problem("selected count " + std::to_string(strip.SelectedCount()) + " differs from the selected indices");
    return problems;
}
