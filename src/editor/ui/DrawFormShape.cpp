// The smart shape's place in the frame editor: the gadget `qorShape1` with its controller
// `qorShapeController1` as popup menu, its show/hide button, its four mouse modes, "Size to
// frame" and "Paint shape".
//
// Zoomed, the shape's bounds and caption place are the view's (k times the picture's),
// while its pen width and font stay the picture's: the shape is painted at the picture's
// resolution, 1/k of its bounds, and shown magnified like the picture, so what the view
// shows is what Paint shape stamps. Its bounds move in whole picture pixels.
#include "DrawForm.h"

#include "DrawWidgets.h"

#include "graphics/NumberRules.h"
#include "shapes/ShapePaint.h"
#include "shapes/ui/ShapeController.h"
#include "shapes/ui/ShapeWidget.h"

#include <QPainter>
#include <QPaintEvent>

void TDrawF::createShapeActions()
{
    TCommandTable& t = m_commands;
    t.Add({.Id = "editor.smart-gadget", .Caption = "Display/Hide smart gadget", .Hint = "Display/Hide smart gadget",
           .Handler = [this] { toggleGadget(qorShape1); }});
    // The four mouse modes show the shape's mode as their check mark.
    for (const auto& [id, hint, mode] :
         {std::tuple{"editor.shape-move", "Move shape", TShapeMouseMode::mmMoveObject},
          std::tuple{"editor.shape-size", "Size shape", TShapeMouseMode::mmSizeObject},
          std::tuple{"editor.shape-move-text", "Move shape text", TShapeMouseMode::mmMoveText},
          std::tuple{"editor.shape-rotate-text", "Rotate shape text", TShapeMouseMode::mmRotateText}}) {
        const TShapeMouseMode m = mode;
        t.Add({.Id = id, .Caption = hint, .Hint = hint, .Checked = [this, m] { return qorShape1 && qorShape1->MouseMode() == m; },
               .Handler = [this, m] { qorShape1->SetMouseMode(m); }});
    }
    t.Add({.Id = "editor.shape-size-to-frame", .Caption = "Size to frame", .Hint = "Size to frame", .Handler = [this] {
               qorShape1->SetBounds(0, 0, pic->width(), pic->height());
               updateContentSize();
           }});
    t.Add({.Id = "editor.shape-paint", .Caption = "Paint shape", .Hint = "Paint shape", .Handler = [this] {
               const TRect place = shapePlace(m_zoom);
               paintShapeOn(m_picture.Canvas(), TPoint(place.Left, place.Top));
               m_picture.ChangedAll();
               m_picture.Commit(m_commands["editor.shape-paint"].StepName());
           }, .UndoName = "Paint Shape"});
}

void TDrawF::createShape()
{
    qorShape1 = new TqorShape(ScrollContent);
    qorShape1->setObjectName("qorShape1");
    qorShape1->hide();
    qorShape1->SetActiveMouse(true);
    qorShape1->SetMouseMode(TShapeMouseMode::mmMoveObject);
    TFont font = qorShape1->Font();
    font.Name = "arial";
    qorShape1->SetFont(font);
    qorShapeController1 = new TqorShapeController(this);
    qorShapeController1->setObjectName("qorShapeController1");
    qorShapeController1->BuildMenu();
    // This window has no user shapes: only the first eight items show (Shape Style,
    // GradientStyle, Gradient, Gradient Color..., Brush Color..., Brush Style, Pen, Caption).
    const QList<QAction*> items = qorShapeController1->actions();
    for (int i = 8; i < items.size(); ++i)
        items[i]->setVisible(false);
    qorShapeController1->RegisterShape(qorShape1);
    qorShape1->SetPopupMenu(qorShapeController1);
    // Zoomed: moved and sized in whole picture pixels, painted magnified.
    qorShape1->OnMouseMove = [this](Qt::KeyboardModifiers, int, int) {
        if (m_zoom.K > 1 && qorShape1->Dragging())
            placeShape(shapePlace(m_zoom));
    };
    qorShape1->installEventFilter(this);
}

TRect TDrawF::shapePlace(const TZoom& zoom) const
{
    const TPoint at = zoom.ToPicture(TPoint(qorShape1->x() - pic->x(), qorShape1->y() - pic->y()));
    return Bounds(at.X, at.Y, zoom.LengthToPicture(qorShape1->width()), zoom.LengthToPicture(qorShape1->height()));
}

void TDrawF::placeShape(const TRect& place)
{
    const QRect view(pic->pos() + QPoint(m_zoom.ToView(place.Left), m_zoom.ToView(place.Top)),
                     QSize(m_zoom.ToView(place.Width()), m_zoom.ToView(place.Height())));
    if (view != qorShape1->geometry())
        qorShape1->SetBounds(view.x(), view.y(), view.width(), view.height());
}

void TDrawF::zoomShape(const TZoom& from)
{
    const TRect place = shapePlace(from);
    // A caption moved by hand keeps its place on the picture.
    if (!qorShape1->CaptionCentered()) {
        auto rescale = [&](int v) { return m_zoom.ToView(static_cast<int>(Round(v / double(from.K)))); };
        qorShape1->SetCaptionX(rescale(qorShape1->CaptionX()));
        qorShape1->SetCaptionY(rescale(qorShape1->CaptionY()));
    }
    placeShape(place);
}

void TDrawF::paintShapeOn(TCanvas& canvas, TPoint at) const
{
    // The figure and caption place scale down with the bounds; the font is the picture's,
    // so it is scaled up first to come out at its own size.
    TShapeModel model = qorShape1->Model();
    model.Font.SetHeight(model.Font.Height() * m_zoom.K);
    const double scale = 1.0 / m_zoom.K;
    PaintShape(model, canvas, {at.X, at.Y, scale, scale});
}

bool TDrawF::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == qorShape1 && event->type() == QEvent::Paint && m_zoom.K > 1) {
        paintShapeMagnified(static_cast<QPaintEvent*>(event)->rect());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TDrawF::paintShapeMagnified(const QRect& area)
{
    const TRect place = shapePlace(m_zoom);
    if (place.IsEmpty())
        return;
    try {
        // Painted over black and over white at the picture's resolution: pixels that come
        // out the same both times are the shape's, the others show what lies below.
        TBitmap onBlack(place.Width(), place.Height()), onWhite(place.Width(), place.Height());
        onBlack.Fill(clBlack);
        onWhite.Fill(clWhite);
        for (TBitmap* b : {&onBlack, &onWhite}) {
            TCanvas c(*b);
            paintShapeOn(c, TPoint(0, 0));
        }
        QImage image(place.Width(), place.Height(), QImage::Format_ARGB32);
        for (int y = 0; y < place.Height(); ++y) {
            const std::uint8_t* a = onBlack.ScanLine(y);
            const std::uint8_t* b = onWhite.ScanLine(y);
            auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < place.Width(); ++x, a += 3, b += 3)
                out[x] = a[0] == b[0] && a[1] == b[1] && a[2] == b[2] ? qRgb(a[2], a[1], a[0]) : 0u;
        }
        QPainter p(qorShape1);
        const QPoint origin =
            pic->pos() + QPoint(m_zoom.ToView(place.Left), m_zoom.ToView(place.Top)) - qorShape1->pos();
        PaintMagnified(p, image, m_zoom.K, origin, area);
        if (qorShape1->Selected()) { // the selection mark, at the screen's size as unzoomed
            p.setPen(Qt::black);
            p.setBrush(Qt::red);
            p.drawRect(qorShape1->width() / 2 - 4, qorShape1->height() / 2 - 4, 8, 8);
        }
    } catch (const std::exception&) {
        // A shape too large for the memory budget shows nothing; no exception may leave
        // the paint event.
    }
}
