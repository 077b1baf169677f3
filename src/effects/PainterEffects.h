// TPainterEffects: what the "Painter Effects" window holds and does, without its widgets.
// One operation of the effects library is previewed on a copy of a frame: the node picked
// in the effect tree, its main parameter (EBar), a second one (extrabar, "Turb") and the
// centre of rotation (cxbar, cybar). Every change of a bar position re-applies the node's
// operation to a fresh copy of the source, so results never accumulate. "Add" hands the
// shown picture to the host, "Step Up"/"Step Down" hand over a series across the bar's
// range, "Use" makes the shown picture the frame's size.
#pragma once

#include "graphics/Bitmap.h"

#include <functional>
#include <string>
#include <vector>

// One node of the effect tree.
struct TPainterEffectNode {
    const char* Caption;
    const char* Group; // caption of the group node it sits under; nullptr at the top level
    int Index;         // effect index; -1 for a group node
    int Min, Max, Default; // EBar's range and position when the node is picked
    bool ShowsTarget;  // the result is EffectTarget (operations with a destination)
};

// Every node in display order, groups included (43 nodes, 38 of them effects 0..37).
const std::vector<TPainterEffectNode>& PainterEffectNodes();
// Position in PainterEffectNodes() of a node named by its caption or "Group/Caption" (any
// letter case); -1 when none.
int FindPainterEffectNode(const std::string& path);
// "Caption" or "Group/Caption".
std::string PainterEffectNodePath(const TPainterEffectNode& node);

// A scroll bar: its range and position.
struct TEffectBar {
    int Min = 0;
    int Max = 100;
    int Position = 0;
};

class TPainterEffects {
public:
    TPainterEffects();

    // --- handing a frame over --------------------------------------------------------
    // The caller's hand-over: the frame is copied into SourceBitmap, cxbar and cybar get
    // the maxima width and height and the positions width div 2 and height div 2, and the
    // selected node is applied to the frame once (without an effect node the frame itself
    // is shown). So the picture shown, and what "Use" hands back, always come from this
    // frame.
    void Open(const TBitmap& frame);
    const TBitmap& SourceBitmap() const { return m_source; }
    const TBitmap& EffectWork() const { return m_work; }
    const TBitmap& EffectTarget() const { return m_target; }
    // The picture of `image`: the result shown, what "Use" and "Add" hand over.
    const TBitmap& Image() const { return m_image; }

    // --- the tree and the bars -------------------------------------------------------
    // Position of the selected node in PainterEffectNodes(); -1 when none.
    int SelectedNode() const { return m_node; }
    // A click on a node (EListClick): selects it; for an effect node EBar takes its range
    // and default (SetEffectRange).
    void SelectNode(int node);
    const TEffectBar& EBar() const { return m_ebar; }
    const TEffectBar& ExtraBar() const { return m_extra; }
    const TEffectBar& CxBar() const { return m_cx; }
    const TEffectBar& CyBar() const { return m_cy; }
    // Bar changes by the user: the position is held in the bar's range; a new position
    // re-applies the selected node (EBarChange).
    void SetEBarPosition(int position);
    void SetExtraPosition(int position);
    void SetCxPosition(int position);
    void SetCyPosition(int position);
    // SetEffectRange(max, min, default): the range first (a position outside it is clamped
    // into it), then the position.
    void SetEffectRange(int max, int min, int def);
    // Applies the selected node now, whatever changed (anivor-cli and the benchmarks,
    // which must see the node applied even when no bar moves).
    void Recompute();
    // How many times an effect was applied; tests see which changes recomputed.
    int Recomputations() const { return m_recomputations; }

    // --- the buttons -----------------------------------------------------------------
    // "Use": the picture shown is the result, at the width and height of SourceBitmap.
    void Use();
    // "Add": hands the picture to OnAppend.
    void Add();
    // "Step Up" / "Step Down": n = SeriesLength() frames, step = (max - min) div n; the bar
    // goes to min (max), then for i = 1..n to min + step i (max - step i) and "Add".
    // The memory of the n frames is checked against the budget first.
    void StepUp();
    void StepDown();

    // The host: where "Add" puts a picture (the main window's Append) and the length of a
    // series (the main window's Set Frames value).
    std::function<void(const TBitmap&)> OnAppend;
    std::function<int()> SeriesLength;

private:
    // A bar's position changes: true when it did.
    static bool place(TEffectBar& bar, int position);
    void barChanged();     // EBarChange
    void prepareEffect();  // PrepareEffect
    void applyNode(int index);
    void showEffectResult(const TBitmap& bitmap);
    void series(bool up);

    TBitmap m_source;
    TBitmap m_work;
    TBitmap m_target;
    TBitmap m_image;
    int m_node = -1;
    TEffectBar m_ebar;
    TEffectBar m_extra{1, 300, 1};
    TEffectBar m_cx;
    TEffectBar m_cy;
    int m_recomputations = 0;
};
