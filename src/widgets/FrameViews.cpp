#include "FrameViews.h"

#include "BitmapImage.h"
#include "graphics/MemoryBudget.h"
#include "graphics/NumberRules.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

TRect ThumbnailRect(const TRect& item, int bitmapWidth, int bitmapHeight)
{
    const int h = item.Bottom - item.Top;
    double a = 2.0;
    if (bitmapHeight > 32)
        a = static_cast<double>(bitmapWidth) / bitmapHeight;
    const int w = a >= 2.0 ? 2 * h : static_cast<int>(Round(h * a));
    return TRect(item.Left + 2, item.Top + 2, item.Left + 2 + w - 4, item.Bottom - 2);
}

// ---------------------------------------------------------------------------------------

TFrameListBox::TFrameListBox(QWidget* parent) : QAbstractScrollArea(parent)
{
    setObjectName("List");
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    QFont f("Arial");
    f.setPixelSize(11);
    setFont(f);
}

void TFrameListBox::SetSource(const TFrameViewSource* source)
{
    m_source = source;
    Refresh();
}

TFrameListBox::Thumbnail TFrameListBox::makeThumbnail(int i) const
{
    Thumbnail t;
    t.Name = m_source->FrameName(i);
    t.Version = m_source->FrameVersion(i);
    const TBitmap& bmp = m_source->FrameBitmap(i);
    const TRect r = ThumbnailRect(TRect(0, 0, 0, m_itemHeight), bmp.Width(), bmp.Height());
    // Nearest source pixel, as a stretched copy of a bitmap picks it.
    if (!r.IsEmpty())
        t.Image = ScaledImageFromBitmap(bmp, r.Width(), r.Height());
    return t;
}

void TFrameListBox::Refresh()
{
    std::vector<Thumbnail> next;
    const int count = m_source ? m_source->FrameCount() : 0;
    next.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const std::string name = m_source->FrameName(i);
        const std::uint64_t version = m_source->FrameVersion(i);
        auto old = std::find_if(m_thumbnails.begin(), m_thumbnails.end(),
                                [&](const Thumbnail& t) { return t.Name == name && t.Version == version; });
        next.push_back(old != m_thumbnails.end() ? std::move(*old) : makeThumbnail(i));
    }
    m_thumbnails = std::move(next);
    updateScrollBar();
    viewport()->update();
}

void TFrameListBox::updateScrollBar()
{
    const int count = static_cast<int>(m_thumbnails.size());
    const int visible = std::max(1, viewport()->height() / m_itemHeight);
    verticalScrollBar()->setRange(0, std::max(0, count - visible));
    verticalScrollBar()->setPageStep(visible);
    verticalScrollBar()->setSingleStep(1);
}

void TFrameListBox::ScrollToItem(int i)
{
    const int top = verticalScrollBar()->value();
    const int visible = std::max(1, viewport()->height() / m_itemHeight);
    if (i < top)
        verticalScrollBar()->setValue(i);
    else if (i >= top + visible)
        verticalScrollBar()->setValue(i - visible + 1);
}

QRect TFrameListBox::ItemRect(int i) const
{
    return QRect(0, (i - verticalScrollBar()->value()) * m_itemHeight, viewport()->width(), m_itemHeight);
}

int TFrameListBox::ItemAt(const QPoint& pos) const
{
    if (pos.y() < 0)
        return -1;
    const int i = pos.y() / m_itemHeight + verticalScrollBar()->value();
    return i < static_cast<int>(m_thumbnails.size()) ? i : -1;
}

void TFrameListBox::DrawItem(QPainter& p, int i, const QRect& r) const
{
    if (!m_source || i < 0 || i >= m_source->FrameCount())
        return;
    const bool selected = m_source->FrameSelected(i);
    const QPalette& pal = palette();
    p.fillRect(r, selected ? pal.color(QPalette::Highlight) : pal.color(QPalette::Base));
    const TBitmap& bmp = m_source->FrameBitmap(i);
    const TRect item(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
    const TRect t = ThumbnailRect(item, bmp.Width(), bmp.Height());
    if (i < static_cast<int>(m_thumbnails.size()) && !t.IsEmpty()) {
        const QRect thumb(t.Left, t.Top, t.Width(), t.Height());
        // A thin outline just outside the thumbnail, so a white frame shows on a white row.
        p.setPen(pal.color(QPalette::Mid));
        p.setBrush(Qt::NoBrush);
        p.drawRect(thumb.adjusted(-1, -1, 0, 0));
        p.drawImage(thumb, m_thumbnails[static_cast<std::size_t>(i)].Image);
    }
    const int h = item.Bottom - item.Top;
    p.setPen(selected ? pal.color(QPalette::HighlightedText) : pal.color(QPalette::Text));
    p.setFont(font());
    const QRect textRect(item.Left + 2 * h + 4, item.Top, r.width() - (2 * h + 4), p.fontMetrics().height());
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, QString::fromStdString(m_source->FrameEntryText(i)));
    if (i == m_source->CurrentFrame() && hasFocus()) {
        p.setPen(QPen(pal.color(QPalette::Text), 1, Qt::DotLine));
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }
}

void TFrameListBox::paintEvent(QPaintEvent*)
{
    QPainter p(viewport());
    if (!m_source)
        return;
    const int count = std::min<int>(m_source->FrameCount(), static_cast<int>(m_thumbnails.size()));
    for (int i = verticalScrollBar()->value(); i < count; ++i) {
        const QRect r = ItemRect(i);
        if (r.top() > viewport()->height())
            break;
        DrawItem(p, i, r);
    }
}

void TFrameListBox::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBar();
}

void TFrameListBox::mousePressEvent(QMouseEvent* event)
{
    setFocus(Qt::MouseFocusReason);
    const int i = ItemAt(event->position().toPoint());
    m_dragging = false;
    m_dragFrom = -1;
    if (i < 0)
        return;
    // Only the left button selects; the popup of the right one acts on the item index.
    if (event->button() != Qt::LeftButton)
        return;
    m_pressPos = event->position().toPoint();
    m_dragFrom = i;
    emit ItemPressed(i, event->modifiers());
}

void TFrameListBox::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragFrom < 0 || !(event->buttons() & Qt::LeftButton))
        return;
    if (!m_dragging && (event->position().toPoint() - m_pressPos).manhattanLength() >= QApplication::startDragDistance()) {
        m_dragging = true;
        viewport()->setCursor(Qt::DragMoveCursor);
    }
}

void TFrameListBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_dragging) {
        viewport()->unsetCursor();
        const int to = ItemAt(event->position().toPoint());
        const int from = m_source ? m_source->CurrentFrame() : -1;
        m_dragging = false;
        m_dragFrom = -1;
        if (from >= 0 && to >= 0)
            emit ItemDropped(from, to);
        return;
    }
    m_dragFrom = -1;
}

void TFrameListBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    const int i = ItemAt(event->position().toPoint());
    if (i >= 0)
        emit ItemDoubleClicked(i);
}

void TFrameListBox::keyPressEvent(QKeyEvent* event)
{
    if (!m_source || m_source->FrameCount() == 0) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    const int count = m_source->FrameCount();
    const int current = m_source->CurrentFrame();
    int next = -1;
    switch (event->key()) {
    case Qt::Key_Up: next = std::max(0, current - 1); break;
    case Qt::Key_Down: next = std::min(count - 1, current + 1); break;
    case Qt::Key_Home: next = 0; break;
    case Qt::Key_End: next = count - 1; break;
    default: QAbstractScrollArea::keyPressEvent(event); return;
    }
    event->accept();
    ScrollToItem(next);
    emit ItemPressed(next, event->modifiers() & Qt::ShiftModifier);
}

void TFrameListBox::contextMenuEvent(QContextMenuEvent* event)
{
    emit PopupRequested(event->globalPos());
}

// ---------------------------------------------------------------------------------------

TFrameImage::TFrameImage(const QString& name, QWidget* parent) : QWidget(parent)
{
    setObjectName(name);
}

void TFrameImage::SetImage(const QImage& image, std::uint64_t version)
{
    m_image = image;
    m_version = version;
    update();
}

void TFrameImage::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, m_image);
}

void TFrameImage::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    emit MouseDown(objectName());
}

void TFrameImage::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    emit DoubleClicked(objectName());
}

void TFrameImage::contextMenuEvent(QContextMenuEvent* event)
{
    emit PopupRequested(objectName(), event->globalPos(), event->pos());
}

// ---------------------------------------------------------------------------------------

TFrameStripView::TFrameStripView(QWidget* parent) : QScrollArea(parent)
{
    setObjectName("ScrollBoxSource");
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWidgetResizable(false);
    resize(width(), 123);
    m_canvas = new QWidget;
    m_canvas->setObjectName("StripCanvas");
    // A darker ground than the window, so white frames stand out from it.
    QPalette ground = m_canvas->palette();
    ground.setColor(QPalette::Window, QColor(128, 128, 128));
    m_canvas->setPalette(ground);
    m_canvas->setAutoFillBackground(true);
    setWidget(m_canvas);

    m_pointer = new QLabel(m_canvas);
    m_pointer->setObjectName("FramePointer");
    m_pointer->setAutoFillBackground(true);
    QPalette pal = m_pointer->palette();
    pal.setColor(QPalette::Window, QColor(255, 255, 0));
    pal.setColor(QPalette::WindowText, Qt::black);
    m_pointer->setPalette(pal);
    QFont f("MS Sans Serif");
    f.setPixelSize(11);
    m_pointer->setFont(f);
    m_pointer->setGeometry(35, 70, 3, 16);
    updateCanvasSize();
}

void TFrameStripView::SetSource(const TFrameViewSource* source)
{
    m_source = source;
    Refresh();
}

TFrameImage* TFrameStripView::FindImage(const QString& name) const
{
    for (TFrameImage* img : m_images)
        if (img->objectName() == name)
            return img;
    return nullptr;
}

void TFrameStripView::Refresh()
{
    std::vector<TFrameImage*> keep;
    const int count = m_source ? m_source->FrameCount() : 0;
    for (int i = 0; i < count; ++i) {
        const QString name = QString::fromStdString(m_source->FrameName(i));
        TFrameImage* img = FindImage(name);
        if (!img) {
            img = new TFrameImage(name, m_canvas);
            connect(img, &TFrameImage::MouseDown, this, &TFrameStripView::FrameMouseDown);
            connect(img, &TFrameImage::DoubleClicked, this, &TFrameStripView::FrameDoubleClicked);
            connect(img, &TFrameImage::PopupRequested, this, &TFrameStripView::FramePopupRequested);
            img->show();
        }
        const TBitmap& bmp = m_source->FrameBitmap(i);
        img->setGeometry(m_source->FrameLeft(i), 0, bmp.Width(), bmp.Height());
        const std::uint64_t version = m_source->FrameVersion(i);
        if (img->Version() != version || img->Image().isNull()) {
            // A frame too large to show beside what memory holds stays blank; the frame
            // itself is not touched.
            QImage shown;
            try {
                shown = ImageFromBitmap(bmp);
            } catch (const EOutOfMemory&) {
            }
            img->SetImage(shown, version);
        }
        keep.push_back(img);
    }
    // Freed later: the image may be the one whose click led here.
    for (TFrameImage* img : m_images)
        if (std::find(keep.begin(), keep.end(), img) == keep.end()) {
            img->hide();
            img->setParent(nullptr);
            img->deleteLater();
        }
    m_images = std::move(keep);
    // The pointer follows its frame (moved, new delay) and never names one that is gone.
    if (!m_pointed.isEmpty()) {
        int at = -1;
        for (int i = 0; i < count && at < 0; ++i)
            if (QString::fromStdString(m_source->FrameName(i)) == m_pointed)
                at = i;
        TFrameImage* img = at >= 0 ? FindImage(m_pointed) : nullptr;
        if (img)
            placePointer(img, QString::fromStdString(m_source->FrameEntryText(at)));
        else
            ResetPointer();
    }
    m_pointer->raise();
    updateCanvasSize();
}

void TFrameStripView::PointAt(int i)
{
    if (!m_source || i < 0 || i >= m_source->FrameCount())
        return;
    TFrameImage* img = FindImage(QString::fromStdString(m_source->FrameName(i)));
    if (!img)
        return;
    placePointer(img, QString::fromStdString(m_source->FrameEntryText(i)));
    updateCanvasSize();
    ensureWidgetVisible(img, 0, 0);
    m_pointer->raise();
}

void TFrameStripView::placePointer(TFrameImage* img, const QString& text)
{
    m_pointed = img->objectName();
    m_pointer->setText(text);
    m_pointer->adjustSize();
    m_pointer->show();
    // Below the frame: a frame taller than the pointer's place would be covered by it.
    const int y = std::max(m_pointer->y(), img->height() + 2);
    m_pointer->move(img->x() + img->width() / 2 - m_pointer->width() / 2, y);
}

int TFrameStripView::HeightToShow(int frameHeight) const
{
    const int pointerBottom = std::max(m_pointer->y(), frameHeight + 2) + std::max(m_pointer->sizeHint().height(), 16);
    return pointerBottom + 4 + horizontalScrollBar()->sizeHint().height() + 2 * frameWidth();
}

void TFrameStripView::ResetPointer()
{
    m_pointed.clear();
    m_pointer->setText(QString());
    m_pointer->hide();
    m_pointer->move(40, 80);
    horizontalScrollBar()->setValue(0);
}

void TFrameStripView::updateCanvasSize()
{
    int right = 0;
    for (const TFrameImage* img : m_images)
        right = std::max(right, img->x() + img->width());
    right = std::max(right, m_pointer->x() + m_pointer->width());
    const int h = std::max(1, viewport()->height());
    m_canvas->resize(std::max(right, viewport()->width()), h);
}

void TFrameStripView::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    updateCanvasSize();
}
