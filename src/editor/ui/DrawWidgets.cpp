#include "DrawWidgets.h"

#include "widgets/BitmapImage.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>

#include <algorithm>
#include <cstdint>

void PaintPictureArea(QPainter& painter, const TBitmap& bitmap, const QRect& area)
{
    if (bitmap.Empty() || bitmap.PixelFormat() != TPixelFormat::pf24bit)
        return;
    const QRect r = area.intersected(QRect(0, 0, bitmap.Width(), bitmap.Height()));
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
    painter.drawImage(r.topLeft(), rgb);
}

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

void TPictureView::Refresh(const TRect& area)
{
    const QSize size = m_bitmap ? QSize(m_bitmap->Width(), m_bitmap->Height()) : QSize(0, 0);
    if (size != this->size()) {
        resize(size);
        update();
        return;
    }
    if (!area.IsEmpty())
        update(QRect(area.Left, area.Top, area.Width(), area.Height()));
}

void TPictureView::paintEvent(QPaintEvent* event)
{
    if (!m_bitmap)
        return;
    QPainter p(this);
    for (const QRect& r : event->region())
        PaintPictureArea(p, *m_bitmap, r);
}

void TPictureView::mousePressEvent(QMouseEvent* event)
{
    if (OnMouseDown)
        OnMouseDown(event->button(), event->modifiers(), event->position().toPoint().x(), event->position().toPoint().y());
}

void TPictureView::mouseMoveEvent(QMouseEvent* event)
{
    if (OnMouseMove)
        OnMouseMove(Qt::NoButton, event->modifiers(), event->position().toPoint().x(), event->position().toPoint().y());
}

void TPictureView::mouseReleaseEvent(QMouseEvent* event)
{
    if (OnMouseUp)
        OnMouseUp(event->button(), event->modifiers(), event->position().toPoint().x(), event->position().toPoint().y());
}

void TPictureView::contextMenuEvent(QContextMenuEvent* event)
{
    if (PopupMenu)
        PopupMenu->popup(event->globalPos());
}

// --- TGadgetDrag -----------------------------------------------------------------------------

void TGadgetDrag::Press(QWidget& gadget, QPoint local)
{
    m_tag = 1;
    gadget.raise();
    m_grab = local;
}

void TGadgetDrag::Move(QWidget& gadget, QPoint local)
{
    if (m_tag != 1)
        return;
    gadget.move(gadget.mapToParent(local) - m_grab);
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

void TTextGadget::relayout()
{
    m_image = RenderLabelText(m_font, m_caption);
    resize(std::max(1, m_image.Width()), std::max(1, m_image.Height()));
    update();
}

void TTextGadget::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, ImageFromBitmapKeyed(m_image, LabelKeyColor(m_font)));
}

void TTextGadget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_drag.Press(*this, event->position().toPoint());
}

void TTextGadget::mouseMoveEvent(QMouseEvent* event)
{
    m_drag.Move(*this, event->position().toPoint());
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
    resize(75, 25);
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

void TGradText::relayout()
{
    if (m_laying)
        return;
    m_laying = true;
    m_picture = RenderGradText(m_look, width());
    const QSize size(std::max(1, m_picture.Width()), std::max(1, m_picture.Height()));
    if (size != this->size())
        resize(size);
    m_laying = false;
    update();
}

void TGradText::resizeEvent(QResizeEvent*)
{
    // A new width lays the text out again; the height follows it.
    relayout();
}

void TGradText::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, ImageFromBitmapKeyed(m_picture, clWhite));
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
        move(mapToParent(pos) - m_grab);
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
        resize(1, 1);
        update();
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
    resize(m_image.size());
    update();
}

void TActorView::paintEvent(QPaintEvent*)
{
    if (m_image.isNull())
        return;
    QPainter p(this);
    p.drawImage(0, 0, m_image);
}

void TActorView::mousePressEvent(QMouseEvent* event)
{
    if (OnMouseDown)
        OnMouseDown(event->button(), event->modifiers(), event->position().toPoint().x(), event->position().toPoint().y());
}

void TActorView::mouseMoveEvent(QMouseEvent* event)
{
    if (OnMouseMove)
        OnMouseMove(Qt::NoButton, event->modifiers(), event->position().toPoint().x(), event->position().toPoint().y());
}

void TActorView::mouseReleaseEvent(QMouseEvent* event)
{
    if (OnMouseUp)
        OnMouseUp(event->button(), event->modifiers(), event->position().toPoint().x(), event->position().toPoint().y());
}
