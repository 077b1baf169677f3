// TqorShape: the smart shape control. It draws one figure of its TShapeModel inside its
// bounds, transparent around the figure, so whatever lies below shows through. The mouse
// moves or sizes it, or moves or rotates its caption, by its MouseMode; shift+click
// toggles its selection in its controller; right-click pops up the controller.
// PaintOnCanvas stamps the same figure, scaled and offset, onto any canvas.
//
// For a host window (the frame editor keeps one such shape):
//     shape->SetBounds(l, t, w, h);                 // or setGeometry
//     shape->SetMouseMode(TShapeMouseMode::mmSizeObject);
//     shape->PaintOnCanvas(picture, shape->x() - pic->x(), shape->y() - pic->y(), 1.0, 1.0);
#pragma once

#include "shapes/ShapeModel.h"
#include "shapes/ShapePaint.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <string>

class TqorShapeController;

class TqorShape : public QWidget {
    Q_OBJECT
public:
    explicit TqorShape(QWidget* parent = nullptr);
    ~TqorShape() override;

    // --- bounds -----------------------------------------------------------------------
    // Width and height are kept within 0..kMaxShapeSide.
    void SetBounds(int left, int top, int width, int height);
    TRect BoundsRect() const { return TRect(x(), y(), x() + width(), y() + height()); }

    // --- what it draws ---------------------------------------------------------------
    // The model as it stands (changing it goes through the setters below, which repaint).
    const TShapeModel& Model() const;

    TqorShapeType Shape() const { return m_model.Shape; }
    void SetShape(TqorShapeType shape);
    const TPen& Pen() const { return m_model.Pen; }
    void SetPen(const TPen& pen);
    const TBrush& Brush() const { return m_model.Brush; }
    void SetBrush(const TBrush& brush);
    bool Gradient() const { return m_model.Gradient; }
    void SetGradient(bool on);
    TColor GradientColor() const { return m_model.GradientColor; }
    void SetGradientColor(TColor color);
    TqorFillDirection FillDirection() const { return m_model.FillDirection; }
    void SetFillDirection(TqorFillDirection direction);
    const TFont& Font() const { return m_model.Font; }
    void SetFont(const TFont& font);
    const std::string& Caption() const { return m_model.Caption; }
    void SetCaption(const std::string& caption);
    int CaptionX() const { return m_model.CaptionX; }
    void SetCaptionX(int x);
    int CaptionY() const { return m_model.CaptionY; }
    void SetCaptionY(int y);
    bool CaptionCentered() const { return m_model.CaptionCentered; }
    void SetCaptionCentered(bool on);
    int CaptionAngle() const { return m_model.CaptionAngle; }
    void SetCaptionAngle(int degrees);
    bool byUser() const { return m_model.byUser; }
    void SetbyUser(bool on);
    bool PolyLineMode() const { return m_model.PolyLineMode; }
    void SetPolyLineMode(bool on);
    bool Selected() const { return m_model.Selected; }
    void SetSelected(bool on);
    const std::string& UserVectorString() const { return m_model.UserVectorString(); }
    // A malformed string is ignored: the polygon and the string stay as they were.
    void SetUserVectorString(const std::string& value);

    // --- names used by the controller's grouping and connectors ----------------------
    std::string GroupName;
    std::string ConnectorN;
    std::string ConnectorS;
    std::string ConnectorE;
    std::string ConnectorW;

    // --- mouse -------------------------------------------------------------------------
    bool ActiveMouse() const { return m_activeMouse; }
    void SetActiveMouse(bool on) { m_activeMouse = on; }
    TShapeMouseMode MouseMode() const { return m_mouseMode; }
    void SetMouseMode(TShapeMouseMode mode) { m_mouseMode = mode; }

    // The controller is the shape's popup menu; nullptr for none.
    TqorShapeController* PopupMenu() const { return m_controller; }
    void SetPopupMenu(TqorShapeController* controller) { m_controller = controller; }

    // The mouse handlers, with positions in the shape's own pixels; the widget's mouse
    // events call them, and a host may too.
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void MouseMove(Qt::KeyboardModifiers modifiers, int x, int y);
    void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    bool Dragging() const { return m_dragging; }

    // Called at the end of each handler, as the host's mouse events.
    std::function<void(Qt::MouseButton, Qt::KeyboardModifiers, int x, int y)> OnMouseDown;
    std::function<void(Qt::KeyboardModifiers, int x, int y)> OnMouseMove;
    std::function<void(Qt::MouseButton, Qt::KeyboardModifiers, int x, int y)> OnMouseUp;

    // --- painting ----------------------------------------------------------------------
    // Paints the figure, its gradient and caption onto `canvas` with its top-left corner at
    // (offsetX, offsetY) and the given scale. The selection mark stays on the control.
    void PaintOnCanvas(TCanvas& canvas, int offsetX, int offsetY, double scaleX, double scaleY);
    // What the control itself shows, as a bitmap of its size on `background`.
    TBitmap Snapshot(TColor background = clWhite);
    // While byUser is set, called instead of drawing the caption; it draws on Canvas().
    std::function<void(TqorShape* sender)> onUserDraw;
    // The canvas being painted on, during painting only (nullptr otherwise).
    TCanvas* Canvas() const { return m_target; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // Paints model and mark onto a canvas whose origin is (originX, originY) of the control.
    void paintOwn(TCanvas& canvas, int originX, int originY);
    void changed();

    // Its size follows the control's, also while the control is hidden (a hidden widget gets
    // no resize events), so it is brought up to date whenever it is read.
    mutable TShapeModel m_model;
    bool m_activeMouse = false;
    TShapeMouseMode m_mouseMode = TShapeMouseMode::mmfixed;
    QPointer<TqorShapeController> m_controller;
    TCanvas* m_target = nullptr;
    // Dragging: the grab offset and the bounds remembered at mouse-down.
    bool m_dragging = false;
    int m_gx = 0, m_gy = 0;
    TRect m_downBounds;
};
