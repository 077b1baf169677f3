// The two views of the frame strip: the owner-drawn frame list (a thumbnail and the entry
// text per row, multi-select, drag to reorder) and the horizontal strip of full-size frame
// images with the frame pointer. Both read the frames through TFrameViewSource and report
// what the user does through signals; they change nothing themselves.
#pragma once

#include "graphics/Bitmap.h"
#include "graphics/Types.h"

#include <QAbstractScrollArea>
#include <QImage>
#include <QLabel>
#include <QScrollArea>

#include <cstdint>
#include <string>
#include <vector>

// What the views need to know about the frames.
class TFrameViewSource {
public:
    virtual ~TFrameViewSource() = default;
    virtual int FrameCount() const = 0;
    virtual std::string FrameName(int i) const = 0;
    virtual std::string FrameEntryText(int i) const = 0; // "Frame7=10"
    virtual const TBitmap& FrameBitmap(int i) const = 0;
    // Changes whenever frame i's picture changes, so views redraw only what changed.
    virtual std::uint64_t FrameVersion(int i) const = 0;
    virtual int FrameLeft(int i) const = 0;
    virtual bool FrameSelected(int i) const = 0;
    // The list's item index, -1 when none.
    virtual int CurrentFrame() const = 0;
};

// Rectangle a thumbnail is stretched into, for a list row `item` and a frame of
// bitmapWidth x bitmapHeight: twice the row height wide (less 4) unless the frame is
// taller than 32 pixels and narrower than 2:1, when its own aspect ratio sets the width.
TRect ThumbnailRect(const TRect& item, int bitmapWidth, int bitmapHeight);

// The frame list `List`.
class TFrameListBox : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TFrameListBox(QWidget* parent = nullptr);

    void SetSource(const TFrameViewSource* source);
    // Re-reads the frames (counts, texts, pictures) and repaints.
    void Refresh();
    // Scrolls so that entry i is visible.
    void ScrollToItem(int i);

    int ItemHeight() const { return m_itemHeight; }
    // Index of the entry under a viewport point, -1 when the point is below the last entry.
    int ItemAt(const QPoint& viewportPos) const;
    // Rectangle of entry i in viewport coordinates.
    QRect ItemRect(int i) const;

    // Draws entry i as the list does, into `painter` at `rect` (also used by tests).
    void DrawItem(QPainter& painter, int i, const QRect& rect) const;

signals:
    // A click (or the keyboard) chose entry i; the modifiers say how (Ctrl adds, Shift
    // extends).
    void ItemPressed(int index, Qt::KeyboardModifiers modifiers);
    void ItemDoubleClicked(int index);
    // The entry being dragged (the item index) was dropped on entry `to`.
    void ItemDropped(int from, int to);
    // The popup menu is wanted at a screen position.
    void PopupRequested(const QPoint& globalPos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void updateScrollBar();

    // A thumbnail per entry, already stretched to its rectangle; kept while the frame's
    // picture does not change.
    struct Thumbnail {
        std::string Name;
        std::uint64_t Version = 0;
        QImage Image;
    };
    Thumbnail makeThumbnail(int i) const;

    const TFrameViewSource* m_source = nullptr;
    std::vector<Thumbnail> m_thumbnails;
    int m_itemHeight = 32;
    int m_dragFrom = -1;
    QPoint m_pressPos;
    bool m_dragging = false;
};

// One frame's picture in the strip; its objectName is the frame's name.
class TFrameImage : public QWidget {
    Q_OBJECT
public:
    explicit TFrameImage(const QString& name, QWidget* parent);
    void SetImage(const QImage& image, std::uint64_t version);
    const QImage& Image() const { return m_image; }
    std::uint64_t Version() const { return m_version; }

signals:
    void MouseDown(const QString& name);
    void DoubleClicked(const QString& name);
    void PopupRequested(const QString& name, const QPoint& globalPos, const QPoint& localPos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QImage m_image;
    std::uint64_t m_version = 0;
};

// The strip `ScrollBoxSource`: one TFrameImage per frame at its Left, top 0, scrolled
// horizontally only, and the yellow frame pointer `FramePointer`.
class TFrameStripView : public QScrollArea {
    Q_OBJECT
public:
    explicit TFrameStripView(QWidget* parent = nullptr);

    void SetSource(const TFrameViewSource* source);
    // Brings the images in line with the frames: creates, moves, repaints and frees them.
    void Refresh();
    // Puts the pointer under frame i with its entry text and scrolls the frame into view.
    void PointAt(int i);
    // The strip was cleared: the pointer goes back to its resting place, hidden, scroll to 0.
    void ResetPointer();
    // Name of the frame the pointer shows; empty when it is hidden.
    QString PointedFrame() const { return m_pointed; }

    TFrameImage* FindImage(const QString& name) const;
    QLabel* FramePointer() const { return m_pointer; }
    // The height the view needs to show frames `frameHeight` pixels high whole, with the
    // pointer below them and the scroll bar.
    int HeightToShow(int frameHeight) const;
    QWidget* Canvas() const { return m_canvas; }
    // 123 pixels high to start with; a splitter may change it.
    QSize sizeHint() const override { return QSize(QScrollArea::sizeHint().width(), 123); }

signals:
    void FrameMouseDown(const QString& name);
    void FrameDoubleClicked(const QString& name);
    void FramePopupRequested(const QString& name, const QPoint& globalPos, const QPoint& localPos);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void updateCanvasSize();
    void placePointer(TFrameImage* img, const QString& text);

    const TFrameViewSource* m_source = nullptr;
    QWidget* m_canvas;
    QLabel* m_pointer;
    QString m_pointed; // the frame under the pointer; it hides when that frame is gone
    std::vector<TFrameImage*> m_images;
};
