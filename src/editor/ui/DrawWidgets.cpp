#include "DrawWidgets.h"

#include "widgets/BitmapImage.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>

#include <algorithm>
#include <cstdint>

void PaintPictureArea(QPainter& painter, const TBitmap& bitmap, const QRect& area, int k)
{
    if (bitmap.Empty() || bitmap.PixelFormat() != TPixelFormat::pf24bit || k < 1)
        return;
    // The bitmap pixels under the area: rounded out to whole blocks.
    const TZoom zoom{k};
    const QRect blocks(QPoint(zoom.ToPicture(area.left()), zoom.ToPicture(area.top())),
                       QPoint(zoom.ToPicture(area.right()), zoom.ToPicture(area.bottom())));
    const QRect r = blocks.intersected(QRect(0, 0, bitmap.Width(), bitmap.Height()));
    if (r.isEmpty())
        return;
    // Turned into 32-bit pixels here, a row at a time: the painter's own conversion of
    // 24-bit rows is several times slower, and large areas show while the mouse drags.
    QImage rgb(r.size(), QImage::Format_RGB32);
    if (rgb.isNull())
        return;
    for (int y = 0; y < r.height(); ++y) {
        const std::uint8_t* in = bitmap.ScanLine(r.top() + y) + 3 * r.left();
        auto* out = reinterpret_cast<std::uint32_t*>(rgb.scanLine(y));
        for (int x = 0; x < r.width(); ++x, in += 3)
            out[x] = 0xFF000000u | (std::uint32_t(in[2]) << 16) | (std::uint32_t(in[1]) << 8) | in[0];
    }
    PaintMagnified(painter, rgb, k, r.topLeft() * k, area);
}

void PaintMagnified(QPainter& painter, const QImage& image, int k, QPoint origin, const QRect& area)
{
    if (image.isNull() || k < 1)
        return;
    const QRect target = QRect(origin, image.size() * k).intersected(area);
    if (target.isEmpty())
        return;
    const QRect source(target.topLeft() - origin, target.size());
    if (k == 1) {
        painter.drawImage(target.topLeft(), image, source);
        return;
    }
    // Each pixel a k x k block, made here: only what shows, and exactly nearest neighbour
    // whatever the painter's own scaling would do.
    const QImage in = image.depth() == 32 ? image : image.convertToFormat(QImage::Format_ARGB32);
    QImage out(target.size(), in.format());
    if (out.isNull())
        return;
    for (int y = 0; y < target.height(); ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(in.constScanLine((source.top() + y) / k));
        auto* o = reinterpret_cast<std::uint32_t*>(out.scanLine(y));
        for (int x = 0; x < target.width(); ++x)
            o[x] = row[(source.left() + x) / k];
    }
    painter.drawImage(target.topLeft(), out);
}

namespace {

// Passes a mouse event on with its position in picture pixels.
void reportMouse(const TMouseHandler& handler, Qt::MouseButton button, const QMouseEvent* event, const TZoom& zoom)
{
    if (!handler)
        return;
    const QPoint view = event->position().toPoint();
    handler(button, event->modifiers(), zoom.ToPicture(view.x()), zoom.ToPicture(view.y()));
}

} // namespace

// --- TPictureView -------------------------------------------------------------------------

TPictureView::TPictureView(QWidget* parent) : QWidget(parent)
{
    setObjectName("pic");
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPictureView::SetBitmap(const TBitmap* bitmap)
{
    m_bitmap = bitmap;
    Refresh(bitmap ? TRect(0, 0, bitmap->Width(), bitmap->Height()) : TRect());
}

void TPictureView::SetZoom(int k)
{
    if (!TZoom::Allowed(k) || k == m_zoom.K)
        return;
    m_zoom.K = k;
    Refresh(TRect());
    update();
}

void TPictureView::Refresh(const TRect& area)
{
    const int k = m_zoom.K;
    const QSize size = m_bitmap ? QSize(m_bitmap->Width(), m_bitmap->Height()) * k : QSize(0, 0);
    if (size != this->size()) {
        resize(size);
        update();
        return;
    }
    if (!area.IsEmpty())
        update(QRect(area.Left * k, area.Top * k, area.Width() * k, area.Height() * k));
}

void TPictureView::paintEvent(QPaintEvent* event)
{
    if (!m_bitmap)
        return;
    QPainter p(this);
    for (const QRect& r : event->region())
        PaintPictureArea(p, *m_bitmap, r, m_zoom.K);
    if (Overlay)
        Overlay(p, m_zoom.K);
}

void PaintPathMarkers(QPainter& painter, const std::vector<TPoint>& points, int k)
{
    if (points.empty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    const auto at = [k](TPoint p) { return QPointF(p.X * k + k / 2.0, p.Y * k + k / 2.0); };
    painter.setPen(QPen(QColor(255, 0, 255), 1, Qt::DashLine));
    for (std::size_t i = 1; i < points.size(); ++i)
        painter.drawLine(at(points[i - 1]), at(points[i]));
    QFont small = painter.font();
    small.setPixelSize(9);
    painter.setFont(small);
    for (std::size_t i = 0; i < points.size(); ++i) {
        const QPointF c = at(points[i]);
        painter.setPen(QPen(Qt::black, 3));
        painter.drawEllipse(c, 4, 4);
        painter.setPen(QPen(QColor(255, 0, 255), 1.5));
        painter.drawEllipse(c, 4, 4);
        const QString n = QString::number(i + 1);
        const QRectF label(c.x() + 5, c.y() - 13, 24, 12);
        painter.setPen(Qt::black);
        painter.drawText(label.translated(1, 1), Qt::AlignLeft | Qt::AlignVCenter, n);
        painter.setPen(Qt::white);
        painter.drawText(label, Qt::AlignLeft | Qt::AlignVCenter, n);
    }
    painter.restore();
}

void TPictureView::mousePressEvent(QMouseEvent* event)
{
    reportMouse(OnMouseDown, event->button(), event, m_zoom);
}

void TPictureView::mouseMoveEvent(QMouseEvent* event)
{
    reportMouse(OnMouseMove, Qt::NoButton, event, m_zoom);
}

void TPictureView::mouseReleaseEvent(QMouseEvent* event)
{
    reportMouse(OnMouseUp, event->button(), event, m_zoom);
}

void TPictureView::contextMenuEvent(QContextMenuEvent* event)
{
    if (PopupMenu)
        PopupMenu->popup(event->globalPos());
}

QPoint SnapToPixel(QPoint view, const TZoom& zoom)
{
    return QPoint(zoom.ToView(zoom.ToPicture(view.x())), zoom.ToView(zoom.ToPicture(view.y())));
}

// --- TGadgetDrag -----------------------------------------------------------------------------

void TGadgetDrag::Press(QWidget& gadget, QPoint local)
{
    m_tag = 1;
    gadget.raise();
    m_grab = local;
}

void TGadgetDrag::Move(QWidget& gadget, QPoint local, const TZoom& zoom)
{
    if (m_tag != 1)
        return;
    gadget.move(SnapToPixel(gadget.mapToParent(local) - m_grab, zoom));
}

// --- TTextGadget ---------------------------------------------------------------------------

TTextGadget::TTextGadget(QWidget* parent) : QWidget(parent)
{
    setObjectName("tex");
    m_font.Name = "Arial";
    m_font.SetHeight(-16);
    m_font.Style = fsBold;
    m_font.Color = clRed;
    move(92, 91);
    hide();
    relayout();
}

void TTextGadget::SetCaption(const std::string& caption)
{
    m_caption = caption;
    relayout();
}

void TTextGadget::SetFont(const TFont& font)
{
    m_font = font;
    relayout();
}

void TTextGadget::SetZoom(int k)
{
    if (!TZoom::Allowed(k))
        return;
    m_zoom.K = k;
    fit();
}

void TTextGadget::relayout()
{
    m_image = RenderLabelText(m_font, m_caption);
    fit();
}

void TTextGadget::fit()
{
    resize(QSize(std::max(1, m_image.Width()), std::max(1, m_image.Height())) * m_zoom.K);
    update();
}

void TTextGadget::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    PaintMagnified(p, ImageFromBitmapKeyed(m_image, LabelKeyColor(m_font)), m_zoom.K, QPoint(0, 0), event->rect());
}

void TTextGadget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_drag.Press(*this, event->position().toPoint());
}

void TTextGadget::mouseMoveEvent(QMouseEvent* event)
{
    m_drag.Move(*this, event->position().toPoint(), m_zoom);
}

void TTextGadget::mouseReleaseEvent(QMouseEvent*)
{
    m_drag.Release();
}

void TTextGadget::contextMenuEvent(QContextMenuEvent* event)
{
    if (PopupMenu)
        PopupMenu->popup(event->globalPos());
}

// --- TGradText -----------------------------------------------------------------------------

TGradText::TGradText(QWidget* parent) : QWidget(parent)
{
    setObjectName("GradText1");
    setMouseTracking(true);
    relayout();
}

void TGradText::SetBeginColor(TColor color)
{
    if (color == m_look.BeginColor)
        return;
    m_look.BeginColor = color;
    relayout();
}

void TGradText::SetEndColor(TColor color)
{
    if (color == m_look.EndColor)
        return;
    m_look.EndColor = color;
    relayout();
}

void TGradText::SetGradientStyle(TGradientStyle style)
{
    if (style == m_look.Style)
        return;
    m_look.Style = style;
    relayout();
}

void TGradText::SetLines(const std::vector<std::string>& lines)
{
    if (lines.empty())
        return;
    m_look.Lines = lines;
    relayout();
}

void TGradText::SetFont(const TFont& font)
{
    m_look.Font = font;
    relayout();
}

void TGradText::SetText(const std::string& text)
{
    if (text == Text())
        return;
    SetLines(SplitGradLines(text));
}

void TGradText::SetZoom(int k)
{
    if (!TZoom::Allowed(k))
        return;
    m_zoom.K = k;
    fit();
}

void TGradText::relayout()
{
    if (m_laying)
        return;
    m_picture = RenderGradText(m_look, m_width);
    // The measured width is the width from now on, as the control's own width was.
    m_width = std::max(1, m_picture.Width());
    fit();
}

void TGradText::fit()
{
    const QSize size = QSize(m_width, std::max(1, m_picture.Height())) * m_zoom.K;
    m_laying = true; // its own size: nothing to lay out again
    if (size != this->size())
        resize(size);
    m_laying = false;
    update();
}

void TGradText::resizeEvent(QResizeEvent*)
{
    // A new width lays the text out again; the height follows it.
    if (m_laying)
        return;
    m_width = std::max(1, m_zoom.LengthToPicture(width()));
    relayout();
}

void TGradText::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    PaintMagnified(p, ImageFromBitmapKeyed(m_picture, clWhite), m_zoom.K, QPoint(0, 0), event->rect());
}

void TGradText::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    raise();
    const QPoint pos = event->position().toPoint();
    if (width() - pos.x() > 9) {
        m_mode = 1;
        m_grab = pos;
    } else {
        m_mode = 2;
        m_grabWidth = width() - pos.x();
    }
}

void TGradText::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    setCursor(width() - pos.x() > 9 ? Qt::ArrowCursor : Qt::SizeHorCursor);
    if (m_mode == 1)
        move(SnapToPixel(mapToParent(pos) - m_grab, m_zoom));
    else if (m_mode == 2)
        resize(std::max(1, pos.x() + m_grabWidth), height());
}

void TGradText::mouseReleaseEvent(QMouseEvent*)
{
    m_mode = 0;
}

void TGradText::contextMenuEvent(QContextMenuEvent* event)
{
    if (PopupMenu)
        PopupMenu->popup(event->globalPos());
}

// --- TActorView ------------------------------------------------------------------------------

TActorView::TActorView(QWidget* parent) : QWidget(parent)
{
    resize(1, 1);
    hide();
}

void TActorView::SetPicture(const TActorPicture& picture)
{
    if (picture.Empty()) {
        m_image = QImage();
        fit();
        return;
    }
    // Premultiplied 32-bit pixels, made once per picture: the view repaints while it is dragged.
    QImage image(picture.Width(), picture.Height(), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < picture.Height(); ++y) {
        const std::uint8_t* in = picture.Image().ScanLine(y);
        const std::uint8_t* a = picture.AlphaLine(y);
        auto* out = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
        for (int x = 0; x < picture.Width(); ++x, in += 3) {
            const std::uint32_t k = a[x];
            auto pre = [k](std::uint32_t c) { return (c * k + 127) / 255; };
            out[x] = (k << 24) | (pre(in[2]) << 16) | (pre(in[1]) << 8) | pre(in[0]);
        }
    }
    m_image = std::move(image);
    fit();
}

void TActorView::SetZoom(int k)
{
    if (!TZoom::Allowed(k))
        return;
    m_zoom.K = k;
    fit();
}

void TActorView::fit()
{
    resize(m_image.isNull() ? QSize(1, 1) : m_image.size() * m_zoom.K);
    update();
}

void TActorView::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    PaintMagnified(p, m_image, m_zoom.K, QPoint(0, 0), event->rect());
}

void TActorView::mousePressEvent(QMouseEvent* event)
{
    reportMouse(OnMouseDown, event->button(), event, m_zoom);
}

void TActorView::mouseMoveEvent(QMouseEvent* event)
{
    reportMouse(OnMouseMove, Qt::NoButton, event, m_zoom);
}

void TActorView::mouseReleaseEvent(QMouseEvent* event)
{
    reportMouse(OnMouseUp, event->button(), event, m_zoom);
}
