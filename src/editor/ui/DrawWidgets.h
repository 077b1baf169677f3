// The widgets that sit in the frame editor's scroll box: the picture `pic`, the text
// label gadget `tex`, the gradient text `TGradText` and the actors. They show, and report
// the mouse; what a press or a drag does to the picture is decided by the editor's plain
// classes.
//
// Zoom: each of them shows its picture-resolution image magnified K times (nearest
// neighbour) and sits at K times its picture position, the picture being at the scroll
// box's origin; dragged gadgets move in whole picture pixels. So what the view shows at
// x2 or x4 is what lands on the picture.
#pragma once

#include "editor/GradTextRender.h"
#include "editor/Zoom.h"

#include "wizards/ActorPicture.h"

#include "graphics/Bitmap.h"
#include "graphics/canvas/Canvas.h"

#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class QMenu;
class QPainter;

// Paints `area` (view pixels) of the bitmap magnified k times, each bitmap pixel a k x k
// block, the bitmap's top-left at the painter's origin. Only the bitmap pixels under that
// area are read, so a small change of a large picture costs little, at any zoom.
void PaintPictureArea(QPainter& painter, const TBitmap& bitmap, const QRect& area, int k = 1);
// Paints the part of a 32-bit image magnified k times (nearest neighbour), with its
// top-left at `origin`, that falls inside `area`.
void PaintMagnified(QPainter& painter, const QImage& image, int k, QPoint origin, const QRect& area);

// Mouse report of the picture and the actors: button, Ctrl/Shift state, position (in
// the pixels each widget names).
using TMouseHandler = std::function<void(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y)>;

// `pic`: shows a bitmap magnified by the zoom (the widget sizes itself to it) and reports
// the mouse in the bitmap's pixels.
class TPictureView : public QWidget {
    Q_OBJECT
public:
    explicit TPictureView(QWidget* parent = nullptr);
    // The bitmap shown; it must outlive the view or be replaced first.
    void SetBitmap(const TBitmap* bitmap);
    // Shows `area` (bitmap pixels) again; resizes first when the bitmap's size changed.
    void Refresh(const TRect& area);
    const TZoom& Zoom() const { return m_zoom; }
    void SetZoom(int k);

    // Positions in bitmap pixels (rounded down: every view pixel of a block is its pixel).
    TMouseHandler OnMouseDown;
    TMouseHandler OnMouseMove; // button: Qt::NoButton
    TMouseHandler OnMouseUp;
    QMenu* PopupMenu = nullptr;
    // Drawn over the picture on the view only (never part of the picture): the actor path.
    std::function<void(QPainter& painter, int k)> Overlay;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    const TBitmap* m_bitmap = nullptr;
    TZoom m_zoom;
};

// The recorded actor path as numbered markers, one ring per point (picture pixels, shown
// magnified k times), joined by a thin line in the order the wizard follows them.
void PaintPathMarkers(QPainter& painter, const std::vector<TPoint>& points, int k);

// A place in the scroll box moved onto the nearest picture pixel up and left of it.
QPoint SnapToPixel(QPoint view, const TZoom& zoom);

// Dragging of a gadget with the left button. The gadget moves with the mouse in its
// parent's coordinates, keeping the point where it was grabbed under the mouse, in steps
// of whole picture pixels.
class TGadgetDrag {
public:
    void Press(QWidget& gadget, QPoint local);
    void Move(QWidget& gadget, QPoint local, const TZoom& zoom);
    void Release() { m_tag = 0; }
    int Tag() const { return m_tag; }

private:
    int m_tag = 0;
    QPoint m_grab;
};

// `tex`: a caption in a font, shown without background; dragged with the left button.
class TTextGadget : public QWidget {
    Q_OBJECT
public:
    explicit TTextGadget(QWidget* parent = nullptr);
    const std::string& Caption() const { return m_caption; }
    void SetCaption(const std::string& caption);
    const TFont& Font() const { return m_font; }
    void SetFont(const TFont& font);
    void SetZoom(int k);
    // The dragging flag: 1 while dragging.
    int Tag() const { return m_drag.Tag(); }
    QMenu* PopupMenu = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void relayout();
    // The widget takes the picture's size times the zoom.
    void fit();

    std::string m_caption = "Anivor";
    TFont m_font;
    TBitmap m_image;
    TGadgetDrag m_drag;
    TZoom m_zoom;
};

// `GradText1`: text whose glyphs show a gradient. It takes the size of its text laid out
// in its width (picture pixels); its rightmost 9 pixels on the view are a handle that
// changes that width.
class TGradText : public QWidget {
    Q_OBJECT
public:
    explicit TGradText(QWidget* parent = nullptr);

    TColor BeginColor() const { return m_look.BeginColor; }
    void SetBeginColor(TColor color);
    TColor EndColor() const { return m_look.EndColor; }
    void SetEndColor(TColor color);
    TGradientStyle GradientStyle() const { return m_look.Style; }
    void SetGradientStyle(TGradientStyle style);
    const std::vector<std::string>& Lines() const { return m_look.Lines; }
    // An empty list is refused.
    void SetLines(const std::vector<std::string>& lines);
    TJustification Justification() const { return m_look.Justification; }
    const TFont& Font() const { return m_look.Font; }
    void SetFont(const TFont& font);
    // The lines joined, each but the last followed by a carriage return.
    std::string Text() const { return JoinGradLines(m_look.Lines); }
    // Takes a new text (split at line breaks) when it differs from the present one.
    void SetText(const std::string& text);
    void SetZoom(int k);

    // What the gadget shows: white stands for "nothing here".
    const TBitmap& Picture() const { return m_picture; }
    // The drag mode: 0 none, 1 moving, 2 resizing.
    int Tag() const { return m_mode; }
    QMenu* PopupMenu = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void relayout();
    // The widget takes the picture's size times the zoom.
    void fit();

    TGradTextLook m_look;
    TBitmap m_picture;
    int m_width = 75; // the width the text is laid out in, picture pixels
    TZoom m_zoom;
    int m_mode = 0;
    QPoint m_grab;
    int m_grabWidth = 0;
    bool m_laying = false;
};

// `actor`, `actor2`, `actor3`: an actor picture shown magnified by the zoom with its
// transparency (what lies under it shows through). It only reports the mouse; where it
// goes is decided by TActors.
class TActorView : public QWidget {
    Q_OBJECT
public:
    explicit TActorView(QWidget* parent = nullptr);
    void SetPicture(const TActorPicture& picture);
    void SetZoom(int k);

    // Positions in the actor picture's pixels.
    TMouseHandler OnMouseDown;
    TMouseHandler OnMouseMove; // button: Qt::NoButton
    TMouseHandler OnMouseUp;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void fit();

    QImage m_image;
    TZoom m_zoom;
};
