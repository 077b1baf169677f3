#include "PainterEffects.h"

#include "GeometricEffects.h"
#include "PixelEffects.h"

#include "graphics/MemoryBudget.h"

#include <algorithm>
#include <cctype>

namespace {

// The effect tree, in display order. W is EffectWork, T is EffectTarget. Built on first
// use, so other files' start-up code can read it.
const std::vector<TPainterEffectNode>& nodes()
{
    static const std::vector<TPainterEffectNode> table = {
        {"Contrast", nullptr, 0, 0, 100, 0, false},
        {"Saturation", nullptr, 1, 0, 255, 0, false},
        {"Brightness", nullptr, 2, 0, 100, 0, false},
        {"Blur", nullptr, -1, 0, 0, 0, false},
        {"Gaussian Blur", "Blur", 3, 0, 20, 0, false},
        {"Split Blur", "Blur", 4, 0, 30, 0, false},
        {"Noise", nullptr, -1, 0, 0, 0, false},
        {"Color", "Noise", 5, 0, 200, 0, false},
        {"Mono", "Noise", 6, 0, 200, 0, false},
        {"Smooth", nullptr, 7, 0, 20, 0, false},
        {"Seamless", nullptr, 8, 3, 15, 5, false},
        {"Mosaic", nullptr, 9, 2, 30, 15, false},
        {"Twist", nullptr, 10, 1, 50, 10, true},
        {"Fisheye", nullptr, 11, 55, 100, 60, true},
        {"Wave", nullptr, -1, 0, 0, 0, false},
        {"Normal", "Wave", 12, 1, 200, 15, false},
        {"Extra", "Wave", 13, 1, 200, 15, false},
        {"Inference", "Wave", 14, 1, 10, 1, false},
        {"Rotate", nullptr, 15, 0, 360, 0, true},
        {"Split Light", nullptr, 16, 1, 10, 1, false},
        {"Wings", nullptr, -1, 0, 0, 0, false},
        {"Deep", "Wings", 17, 1, 400, 1, true},
        {"Down", "Wings", 18, 1, 400, 1, true},
        {"Up", "Wings", 19, 1, 400, 1, true},
        {"Fold", "Wings", 20, 1, 400, 1, true},
        {"Touche", "Wings", 21, 1, 400, 1, true},
        {"Flyer", "Wings", 22, 1, 400, 1, true},
        {"Flipover", "Wings", 23, 1, 400, 1, true},
        {"Wavy", "Wings", 24, 1, 400, 1, true},
        {"AntiAlias", nullptr, 25, 1, 50, 1, false},
        {"Squeeze", nullptr, -1, 0, 0, 0, false},
        {"Horizontal", "Squeeze", 26, 0, 100, 0, true},
        {"Top", "Squeeze", 27, 0, 100, 0, true},
        {"Bottom", "Squeeze", 28, 0, 100, 0, true},
        {"Diamond", "Squeeze", 29, 0, 100, 0, true},
        {"Waste", "Squeeze", 30, 0, 100, 0, true},
        {"Round", "Squeeze", 31, 0, 100, 0, true},
        {"Round 2", "Squeeze", 32, 0, 100, 0, true},
        {"Darkness", nullptr, 33, 0, 100, 0, false},
        {"MandelBrot", nullptr, 34, 1, 64, 4, false},
        {"Plasma", nullptr, 35, 1, 255, 1, false},
        {"MandelFlex", nullptr, 36, 0, 100, 0, false},
        {"Triangles", nullptr, 37, 5, 100, 15, false},
    };
    return table;
}

std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

} // namespace

const std::vector<TPainterEffectNode>& PainterEffectNodes()
{
    return nodes();
}

std::string PainterEffectNodePath(const TPainterEffectNode& node)
{
    return node.Group ? std::string(node.Group) + "/" + node.Caption : std::string(node.Caption);
}

int FindPainterEffectNode(const std::string& path)
{
    const std::string wanted = lower(path);
    for (std::size_t i = 0; i < nodes().size(); ++i)
        if (lower(nodes()[i].Caption) == wanted || lower(PainterEffectNodePath(nodes()[i])) == wanted)
            return static_cast<int>(i);
    return -1;
}

TPainterEffects::TPainterEffects() = default;

bool TPainterEffects::place(TEffectBar& bar, int position)
{
    position = std::clamp(position, bar.Min, bar.Max);
    if (position == bar.Position)
        return false;
    bar.Position = position;
    return true;
}

void TPainterEffects::Open(const TBitmap& frame)
{
    // The source, the result shown and the two pictures a node works with, at 24 bits.
    MemoryBudget::Check(MemoryBudget::PictureBytes(frame.Width(), frame.Height(), 4),
                        "the painter effects on a " + std::to_string(frame.Width()) + " x "
                            + std::to_string(frame.Height()) + " picture");
    m_source = frame;
    m_source.SetPixelFormat(TPixelFormat::pf24bit);
    const int w = m_source.Width(), h = m_source.Height();
    // The centre bars take the new size without applying anything yet: the node is applied
    // once below, to this frame.
    m_cx.Max = std::max(w, m_cx.Min);
    place(m_cx, w / 2);
    m_cy.Max = std::max(h, m_cy.Min);
    place(m_cy, h / 2);
    // The window always starts from the frame it was opened for: the selected node applied
    // to it, or the frame itself. What an earlier frame gave is never shown (nor used).
    if (m_node >= 0 && nodes()[static_cast<std::size_t>(m_node)].Index >= 0)
        barChanged();
    else
        showEffectResult(m_source);
}

void TPainterEffects::SelectNode(int node)
{
    if (node < 0 || node >= static_cast<int>(nodes().size()))
        node = -1;
    m_node = node;
    if (node < 0 || nodes()[static_cast<std::size_t>(node)].Index < 0)
        return;
    const TPainterEffectNode& n = nodes()[static_cast<std::size_t>(node)];
    SetEffectRange(n.Max, n.Min, n.Default);
}

void TPainterEffects::SetEffectRange(int max, int min, int def)
{
    m_ebar.Min = min;
    m_ebar.Max = std::max(max, min);
    if (place(m_ebar, m_ebar.Position))
        barChanged();
    SetEBarPosition(def);
}

void TPainterEffects::SetEBarPosition(int position)
{
    if (place(m_ebar, position))
        barChanged();
}

void TPainterEffects::SetExtraPosition(int position)
{
    if (place(m_extra, position))
        barChanged();
}

void TPainterEffects::SetCxPosition(int position)
{
    if (place(m_cx, position))
        barChanged();
}

void TPainterEffects::SetCyPosition(int position)
{
    if (place(m_cy, position))
        barChanged();
}

void TPainterEffects::Recompute()
{
    barChanged();
}

void TPainterEffects::barChanged()
{
    if (m_node < 0)
        return;
    const TPainterEffectNode& n = nodes()[static_cast<std::size_t>(m_node)];
    if (n.Index < 0)
        return;
    prepareEffect();
    applyNode(n.Index);
    showEffectResult(n.ShowsTarget ? m_target : m_work);
    ++m_recomputations;
}

void TPainterEffects::prepareEffect()
{
    m_source.SetPixelFormat(TPixelFormat::pf24bit);
    // The target starts white every time, as a fresh one does: where an operation does not
    // paint (the margins of Twist or Squeeze) no earlier result shows through.
    m_target.SetPixelFormat(TPixelFormat::pf24bit);
    m_target.SetSize(m_source.Width(), m_source.Height());
    m_target.Fill(clWhite);
    m_work = m_source;
}

void TPainterEffects::applyNode(int index)
{
    using namespace qorFX;
    TBitmap& W = m_work;
    TBitmap& T = m_target;
    const int E = m_ebar.Position;
    const int X = m_extra.Position;
    switch (index) {
    case 0: Contrast(W, E); break;
    case 1: Saturation(W, E); break;
    case 2: Lightness(W, E); break;
    case 3: GaussianBlur(W, E); break;
    case 4: SplitBlur(W, E); break;
    case 5: AddColorNoise(W, E); break;
    case 6: AddMonoNoise(W, E); break;
    case 7: Soften(W, E); break;
    case 8: Seamless(W, E); break;
    case 9: Mosaic(W, E); break;
    case 10: Twist(W, T, E); break;
    case 11: FishEye(W, T, E / 100.0); break;
    case 12: Wave(W, E, 0, 0); break;
    case 13: Wave(W, E, 0, 1); break;
    case 14: Wave(W, X, E, 2); break;
    case 15: {
        // A centre bar at its maximum (the source's size) means the middle.
        const int cx = m_cx.Position < W.Width() ? m_cx.Position : W.Width() / 2;
        const int cy = m_cy.Position < W.Height() ? m_cy.Position : W.Height() / 2;
        SmoothRotate(W, T, cx, cy, E);
        break;
    }
    case 16: SplitLight(W, E); break;
    case 17: WingsDeep(W, T, E, X); break;
    case 18: WingsDown(W, T, E, X); break;
    case 19: WingsUp(W, T, E, X); break;
    case 20: WingsFold(W, T, E, X); break;
    case 21: WingsTouche(W, T, E, X); break;
    case 22: WingsFlyer(W, T, E, X); break;
    case 23: WingsFlipover(W, T, E, X); break;
    case 24: WingsWavy(W, T, E, X); break;
    case 25: AntiAlias(W); break;
    case 26: case 27: case 28: case 29: case 30: case 31: case 32:
        Squeeze(W, T, E, index - 19); // styles 7..13
        break;
    case 33: Darkness(W, E); break;
    case 34: MaskMandelbrot(W, E); break;
    case 35: {
        // Turbulence below 10 moves the bar to 10. The source and the displacement map
        // are both the source; W already holds it, so pixels displaced from outside
        // keep the source pixel.
        if (m_extra.Position < 10)
            m_extra.Position = std::min(10, m_extra.Max);
        Plasma(m_source, m_source, W, E, m_extra.Position);
        break;
    }
    case 36: MandelbrotRender(W, 16, true, E * 0.028 - 2.25, X * 0.009 - 1.5, 0.75, 1.5); break;
    case 37: Triangles(W, E); break;
    default: break;
    }
}

void TPainterEffects::showEffectResult(const TBitmap& bitmap)
{
    m_image = bitmap;
}

void TPainterEffects::Use()
{
    m_image.SetSize(m_source.Width(), m_source.Height());
}

void TPainterEffects::Add()
{
    if (OnAppend)
        OnAppend(m_image);
}

void TPainterEffects::StepUp()
{
    series(true);
}

void TPainterEffects::StepDown()
{
    series(false);
}

void TPainterEffects::series(bool up)
{
    const int n = SeriesLength ? SeriesLength() : 10;
    if (n <= 0)
        return;
    // The frames the series appends, asked of the budget before the first one.
    MemoryBudget::Check(MemoryBudget::PictureBytes(m_image.Width(), m_image.Height(), n),
                        std::to_string(n) + " effect frames");
    const int min = m_ebar.Min, max = m_ebar.Max;
    const int step = (max - min) / n;
    SetEBarPosition(up ? min : max);
    for (int i = 1; i <= n; ++i) {
        SetEBarPosition(up ? min + step * i : max - step * i);
        Add();
    }
}
