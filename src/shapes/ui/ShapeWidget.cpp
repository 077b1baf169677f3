#include "ShapeWidget.h"

#include "ShapeController.h"

#include "graphics/NumberRules.h"

#include <QContextMenuEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <exception>

TqorShape::TqorShape(QWidget* parent) : QWidget(parent)
{
    resize(65, 65);
    m_model.SetSize(65, 65);
}

TqorShape::~TqorShape() = default;

void TqorShape::changed() { update(); }

void TqorShape::SetBounds(int left, int top, int width, int height)
{
    width = std::clamp(width, 0, kMaxShapeSide);
    height = std::clamp(height, 0, kMaxShapeSide);
    setGeometry(left, top, width, height);
    m_model.SetSize(width, height);
}

const TShapeModel& TqorShape::Model() const
{
    m_model.SetSize(width(), height());
    return m_model;
}

// Setters repaint only when the value changes.
#define SHAPE_SETTER(Name, Type, field) \
    void TqorShape::Set##Name(Type value) \
    { \
        if (m_model.field == value) \
            return; \
        m_model.field = value; \
        changed(); \
    }

SHAPE_SETTER(Shape, TqorShapeType, Shape)
SHAPE_SETTER(Gradient, bool, Gradient)
SHAPE_SETTER(GradientColor, TColor, GradientColor)
SHAPE_SETTER(FillDirection, TqorFillDirection, FillDirection)
SHAPE_SETTER(Caption, const std::string&, Caption)
SHAPE_SETTER(CaptionX, int, CaptionX)
SHAPE_SETTER(CaptionY, int, CaptionY)
SHAPE_SETTER(CaptionCentered, bool, CaptionCentered)
SHAPE_SETTER(CaptionAngle, int, CaptionAngle)
SHAPE_SETTER(byUser, bool, byUser)
SHAPE_SETTER(PolyLineMode, bool, PolyLineMode)
SHAPE_SETTER(Selected, bool, Selected)
#undef SHAPE_SETTER

void TqorShape::SetPen(const TPen& pen)
{
    m_model.Pen = pen;
    changed();
}

void TqorShape::SetBrush(const TBrush& brush)
{
    m_model.Brush = brush;
    changed();
}

void TqorShape::SetFont(const TFont& font)
{
    m_model.Font = font;
    changed();
}

void TqorShape::SetUserVectorString(const std::string& value)
{
    if (m_model.SetUserVectorString(value))
        changed();
}

// --- painting ------------------------------------------------------------------------------

void TqorShape::paintOwn(TCanvas& canvas, int originX, int originY)
{
    m_target = &canvas;
    try {
        const TShapeBox box = PaintShape(Model(), canvas, {-originX, -originY, 1.0, 1.0}, [this] {
            if (onUserDraw)
                onUserDraw(this);
        });
        if (m_model.Selected)
            PaintSelectionMark(canvas, box, m_model.Pen);
    } catch (...) {
        m_target = nullptr;
        throw;
    }
    m_target = nullptr;
}

void TqorShape::PaintOnCanvas(TCanvas& canvas, int offsetX, int offsetY, double scaleX, double scaleY)
{
    m_target = &canvas;
    try {
        PaintShape(Model(), canvas, {offsetX, offsetY, scaleX, scaleY}, [this] {
            if (onUserDraw)
                onUserDraw(this);
        });
    } catch (...) {
        m_target = nullptr;
        throw;
    }
    m_target = nullptr;
}

TBitmap TqorShape::Snapshot(TColor background)
{
    TBitmap bmp(width(), height());
    bmp.Fill(background);
    TCanvas canvas(bmp);
    paintOwn(canvas, 0, 0);
    return bmp;
}

void TqorShape::paintEvent(QPaintEvent* event)
{
    const QRect r = event->rect() & rect();
    if (r.isEmpty())
        return;
    // Hatched brushes line up with the origin of the bitmap drawn on, so the part painted
    // starts on a multiple of 8.
    const int x0 = r.left() & ~7, y0 = r.top() & ~7;
    const int w = r.right() + 1 - x0, h = r.bottom() + 1 - y0;
    try {
        // The figure is painted over black and over white: pixels that come out the same
        // both times belong to it, the others are the see-through background.
        TBitmap onBlack(w, h), onWhite(w, h);
        onBlack.Fill(clBlack);
        onWhite.Fill(clWhite);
        {
            TCanvas c(onBlack);
            paintOwn(c, x0, y0);
        }
        {
            TCanvas c(onWhite);
            paintOwn(c, x0, y0);
        }
        QImage image(w, h, QImage::Format_ARGB32);
        for (int y = 0; y < h; ++y) {
            const std::uint8_t* a = onBlack.ScanLine(y);
            const std::uint8_t* b = onWhite.ScanLine(y);
            QRgb* out = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < w; ++x, a += 3, b += 3)
                out[x] = a[0] == b[0] && a[1] == b[1] && a[2] == b[2] ? qRgb(a[2], a[1], a[0]) : 0u;
        }
        QPainter p(this);
        p.drawImage(x0, y0, image);
    } catch (const std::exception&) {
        // A shape too large for the memory budget shows nothing; no exception may leave
        // the paint event.
    }
}

// --- mouse -------------------------------------------------------------------------------

void TqorShape::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y)
{
    m_downBounds = BoundsRect();
    TqorShapeController* controller = m_controller;
    if (button == Qt::LeftButton) {
        if (modifiers & Qt::ShiftModifier) {
            if (controller && m_activeMouse)
                controller->ToggleShapeSelection(this);
        } else {
            if (controller && controller->MouseModeController)
                m_mouseMode = controller->MouseMode;
            m_dragging = true;
            if (m_mouseMode == TShapeMouseMode::mmSizeObject) {
                m_gx = width() - x;
                m_gy = height() - y;
            } else {
                m_gx = x;
                m_gy = y;
            }
        }
    }
    if (OnMouseDown)
        OnMouseDown(button, modifiers, x, y);
}

void TqorShape::MouseMove(Qt::KeyboardModifiers modifiers, int x, int y)
{
    if (m_activeMouse && m_dragging) {
        TqorShapeController* controller = m_controller;
        const bool ruled = controller && controller->MouseModeController;
        const int grid = ruled && controller->MouseGrid && controller->MouseGridSize >= 2 ? controller->MouseGridSize : 0;
        auto snap = [grid](int v) { return grid ? v / grid * grid : v; };
        switch (m_mouseMode) {
        case TShapeMouseMode::mmMoveObject: {
            int left = this->x() + x - m_gx, top = this->y() + y - m_gy;
            if (grid) {
                left = snap(left) - 1;
                top = snap(top) - 1;
            }
            SetBounds(left, top, width(), height());
            if (ruled)
                controller->MoveSelection(this, left - m_downBounds.Left, top - m_downBounds.Top);
            m_downBounds = BoundsRect();
            break;
        }
        case TShapeMouseMode::mmSizeObject:
            if (grid)
                SetBounds(this->x(), this->y(), snap(x + m_gx) + 1, snap(y + m_gy) + 1);
            else
                SetBounds(this->x(), this->y(), x + m_gx, y + m_gy);
            break;
        case TShapeMouseMode::mmMoveText:
            SetCaptionCentered(false);
            SetCaptionX(snap(x));
            SetCaptionY(snap(y));
            break;
        case TShapeMouseMode::mmRotateText: {
            SetCaptionCentered(false);
            const int dy = height() / 2 - y;
            int dx = x - width() / 2;
            if (dx == 0)
                dx = 1;
            SetCaptionAngle(static_cast<int>(Round(std::atan2(double(dy), double(dx)) * 180.0 / M_PI)));
            break;
        }
        case TShapeMouseMode::mmfixed: break;
        }
    }
    if (OnMouseMove)
        OnMouseMove(modifiers, x, y);
}

void TqorShape::MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y)
{
    m_dragging = false;
    if (OnMouseUp)
        OnMouseUp(button, modifiers, x, y);
}

void TqorShape::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    MouseDown(event->button(), event->modifiers(), p.x(), p.y());
}

void TqorShape::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    MouseMove(event->modifiers(), p.x(), p.y());
}

void TqorShape::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    MouseUp(event->button(), event->modifiers(), p.x(), p.y());
}

void TqorShape::contextMenuEvent(QContextMenuEvent* event)
{
    if (!m_controller) {
        event->ignore();
        return;
    }
    m_controller->PopupFor(this, event->globalPos());
    event->accept();
}
