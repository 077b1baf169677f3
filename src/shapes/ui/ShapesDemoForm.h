// TShapesDemoF: a small window hosting several smart shapes over a picture, with one
// controller they all share, the mouse-mode buttons the frame editor has and "Paint
// shape", which stamps every shape onto the picture. It shows the shapes at work outside
// the editor (the anivor-shapes-demo program) and is the host of the GUI tests.
#pragma once

#include "ShapeController.h"
#include "ShapeWidget.h"

#include "graphics/Bitmap.h"

#include <QMainWindow>

#include <vector>

class QAction;

// The picture the shapes float over and are stamped onto.
class TShapesDemoPicture : public QWidget {
    Q_OBJECT
public:
    explicit TShapesDemoPicture(QWidget* parent = nullptr);
    TBitmap& Picture() { return m_picture; }
    void Clear();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TBitmap m_picture;
};

class TShapesDemoF : public QMainWindow {
    Q_OBJECT
public:
    explicit TShapesDemoF(QWidget* parent = nullptr);

    TqorShapeController* Controller() const { return m_controller; }
    TShapesDemoPicture* Pic() const { return m_pic; }
    // The shapes on the window that still exist, in creation order.
    std::vector<TqorShape*> Shapes() const;
    // Stamps every shape onto the picture at its place ("Paint shape").
    void PaintShapes();
    // The mouse mode every shape takes at mouse-down.
    void SetMouseMode(TShapeMouseMode mode);

private:
    TqorShape* addShape(TqorShapeType type, int left, int top, int width, int height, TColor brush,
                        TqorFillDirection direction, const std::string& caption);

    QWidget* m_desk = nullptr;
    TShapesDemoPicture* m_pic = nullptr;
    TqorShapeController* m_controller = nullptr;
    std::vector<QAction*> m_modeActions;
};
