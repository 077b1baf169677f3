// Actor kinds: the actor picture moved over A along lines, the recorded path, ellipses,
// a swing, four ways to the corners, or a spiral.
#include "ActorWizards.h"

#include "graphics/NumberRules.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <cstdlib>
#include <numbers>

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

int truncI(double x) { return static_cast<int>(Trunc(x)); }
int roundI(double x) { return static_cast<int>(Round(x)); }

// A marked position far out (a script's or the command line's) must not wrap around.
TPoint offsetPoint(TPoint origin, std::int64_t dx, std::int64_t dy)
{
    auto clamp = [](std::int64_t v) {
        return static_cast<int>(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
    };
    return TPoint(clamp(origin.X + dx), clamp(origin.Y + dy));
}

void drawActors(TWizardStepInput& in, int kind)
{
    {
        TCanvas canvas(in.W);
        canvas.Brush.SetStyle(TBrushStyle::bsSolid);
        canvas.Draw(0, 0, in.A);
    }
    const TActorPicture& actor = in.context.ActorPicture;
    if (actor.Empty())
        return;
    for (const TPoint& p : ActorPositions(kind, in.i, in.n, in.A.Width(), in.A.Height(), actor.Width(), actor.Height(),
                                          in.context.TextPosition, in.context.ActorPath))
        DrawActorPicture(in.W, p.X, p.Y, actor);
}

} // namespace

std::vector<TPoint> ActorPositions(int kind, int i, int n, int w, int h, int actorW, int actorH,
                                   TPoint textPosition, const std::vector<TPoint>& path)
{
    const double f = static_cast<double>(i) / n;
    const int cx = w / 2, cy = h / 2, aw = actorW / 2, ah = actorH / 2;
    const TPoint tp = textPosition;
    switch (kind) {
    case 94: return {offsetPoint(tp, roundI(f * w), 0)};
    case 95: return {offsetPoint(tp, std::int64_t(w) - roundI(f * w), 0)};
    case 96: return {offsetPoint(tp, 0, roundI(f * h))};
    case 97: return {offsetPoint(tp, 0, std::int64_t(h) - roundI(f * h))};
    case 98:
        if (i >= 1 && static_cast<std::size_t>(i) <= path.size())
            return {path[static_cast<std::size_t>(i - 1)]};
        return {};
    case 99:
    case 100: {
        const double t = (kind == 99 ? 1 : -1) * kTwoPi * f;
        return {TPoint(cx + truncI(std::cos(t) * (cx - aw)) - aw, cy - truncI(std::sin(t) * (cy - ah)) - ah)};
    }
    case 101: {
        const double t = kTwoPi * f;
        return {TPoint(cx + truncI(std::cos(t) * (cx - aw)) - aw, cy + std::abs(truncI(std::sin(t) * (cy - ah))) - ah)};
    }
    case 102: {
        const int u = truncI(f * (cx - aw)), v = truncI(f * (cy - ah));
        return {TPoint(cx + u - aw, cy + v - ah), TPoint(cx - u - aw, cy + v - ah), TPoint(cx + u - aw, cy - v - ah),
                TPoint(cx - u - aw, cy - v - ah)};
    }
    case 103:
    case 104: {
        const double t = (kind == 103 ? 1 : -1) * kTwoPi * f;
        const int rx = truncI((w / 2.0) * (n - i) / n);
        const int ry = truncI((h / 2.0) * (n - i) / n);
        return {TPoint(cx + truncI(std::cos(t) * (rx - aw)) - aw, cy - truncI(std::sin(t) * (ry - ah)) - ah)};
    }
    default: return {};
    }
}

void StepActorRight(TWizardStepInput& in) { drawActors(in, 94); }
void StepActorLeft(TWizardStepInput& in) { drawActors(in, 95); }
void StepActorDown(TWizardStepInput& in) { drawActors(in, 96); }
void StepActorUp(TWizardStepInput& in) { drawActors(in, 97); }
void StepActorPath(TWizardStepInput& in) { drawActors(in, 98); }
void StepActorCircleLeft(TWizardStepInput& in) { drawActors(in, 99); }
void StepActorCircleRight(TWizardStepInput& in) { drawActors(in, 100); }
void StepActorSwing(TWizardStepInput& in) { drawActors(in, 101); }
void StepActorQuatro(TWizardStepInput& in) { drawActors(in, 102); }
void StepActorSpiralLeft(TWizardStepInput& in) { drawActors(in, 103); }
void StepActorSpiralRight(TWizardStepInput& in) { drawActors(in, 104); }
