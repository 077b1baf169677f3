// TDrawTools: the frame editor's drawing tools as a state machine over its picture, fed
// with mouse events in picture pixels. The window only passes events on; the tests drive
// it the same way.
//
// States: idle (no tool armed: the picture ignores the mouse), armed (a tool chosen) and
// dragging (between a left button press on the picture and its release). The figure tools
// show a rubber band drawn in not-xor mode while dragging, so drawing it a second time
// removes it; releasing with Ctrl held keeps the band as drawn instead of the figure. The
// flood fill and the colour dropper act at the release, Ctrl or not.
#pragma once

#include "DrawPicture.h"

#include "graphics/Bitmap.h"
#include "graphics/Types.h"

#include <functional>
#include <string>

enum class TDrawState { Idle, Armed, Dragging };

class TDrawTools {
public:
    explicit TDrawTools(TDrawPicture& picture);

    // The tool names: "line", "rectangle", "roundrect", "ellipse", "freehand", "select",
    // "paste", "floodfill", "pipet".
    static bool IsTool(const std::string& name);

    // --- state ----------------------------------------------------------------------------
    // Arms the tool (an unknown name arms nothing). A drag in progress ends first.
    void ChooseTool(const std::string& name);
    // Disarms; the tool name stays. A drag in progress ends first.
    void Pointer();
    bool Drawing() const { return m_drawing; }
    const std::string& ToolName() const { return m_tool; }
    TDrawState State() const;
    bool Pressed() const { return m_pressed; }
    TPoint StartPoint() const { return m_start; }
    TPoint LastPoint() const { return m_last; }

    // --- mouse, in picture pixels ----------------------------------------------------------
    void MouseDown(int x, int y);
    void MouseMove(int x, int y);
    // `ctrl`: the Ctrl key is held at the release. Every release ends the drag and sets
    // the pen back to copy mode; what it drew is recorded as one undo step.
    void MouseUp(int x, int y, bool ctrl);
    // Ends a drag that will see no release (a new picture is loaded); the band stays.
    void CancelDrag();
    // Ends a drag without its release (another tool, the window about to close): the band
    // comes off, what was drawn stays and is recorded as one step.
    void EndDrag();

    // --- selection --------------------------------------------------------------------------
    // The last selection, normalised (a drag up or to the left selects the same area as
    // one down and to the right), and its pixels. Empty until something is selected.
    TRect SelectionRect() const { return m_selection; }
    const TBitmap& SelectionBitmap() const { return m_selectionBitmap; }

    // The colour dropper picked `color` (already the brush colour).
    std::function<void(TColor color)> OnPipette;

    // --- commands -----------------------------------------------------------------------------
    // Erase Frame: fills the whole picture with the brush (a clear brush paints nothing),
    // then makes the brush solid.
    void EraseFrame();
    // Pen Other...: the typed width is applied when it is 1..50 (text that is not a number
    // counts as 1). Returns whether the width was set.
    bool PenOther(const std::string& answer);

private:
    TCanvas& canvas() { return m_picture.Canvas(); }
    // Draws (or, a second time, removes) the rubber band of the current tool to `to`.
    void band(TPoint to);
    // The area a figure from m_start to `to` touches, with room for the pen.
    TRect figureArea(TPoint to) const;
    void finish(int x, int y, bool ctrl);

    TDrawPicture& m_picture;
    bool m_drawing = false;
    std::string m_tool;
    bool m_pressed = false;
    TPoint m_start, m_last;
    TRect m_selection;
    TBitmap m_selectionBitmap;
};
