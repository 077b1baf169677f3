#include "ShapesDemoForm.h"

#include "platform/ui/GuardedActions.h"

#include <QActionGroup>
#include <QImage>
#include <QPainter>
#include <QToolBar>

TShapesDemoPicture::TShapesDemoPicture(QWidget* parent) : QWidget(parent), m_picture(580, 400)
{
    setObjectName("pic");
    resize(m_picture.Width(), m_picture.Height());
    Clear();
}

void TShapesDemoPicture::Clear()
{
    m_picture.Fill(RGB(255, 255, 240));
    update();
}

void TShapesDemoPicture::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, QImage(m_picture.Bits(), m_picture.Width(), m_picture.Height(), m_picture.RowBytes(),
                             QImage::Format_BGR888));
}

TShapesDemoF::TShapesDemoF(QWidget* parent) : QMainWindow(parent)
{
    setObjectName("TShapesDemoF");
    setWindowTitle("Smart Shapes");
    m_desk = new QWidget(this);
    m_desk->setObjectName("desk");
    m_desk->setMinimumSize(600, 420);
    setCentralWidget(m_desk);
    m_pic = new TShapesDemoPicture(m_desk);
    m_pic->move(10, 10);

    m_controller = new TqorShapeController(this);
    m_controller->setObjectName("qorShapeController1");
    m_controller->SetUserShapes({"usrStar=0.5,0,0.62,0.38,1,0.38,0.69,0.62,0.81,1,0.5,0.76,0.19,1,0.31,0.62,0,0.38,0.38,0.38",
                                 "usrKite=0.5,0,1,0.35,0.5,1,0,0.35"});
    m_controller->BuildMenu();
    // Here the controller rules: every shape takes its mouse mode and grid, and dragging a
    // selected shape moves the whole selection.
    m_controller->MouseModeController = true;
    m_controller->onMouseModeChanged = [this](TqorShapeController*, TShapeMouseMode mode) { SetMouseMode(mode); };

    addShape(TqorShapeType::qstCircle, 30, 30, 120, 120, RGB(30, 80, 220), TqorFillDirection::qgdCircOut, "Circle");
    addShape(TqorShapeType::qstArrowRight, 180, 50, 170, 90, RGB(230, 110, 20), TqorFillDirection::qgdLeft, "Arrow");
    addShape(TqorShapeType::qstCubeUpRight, 390, 30, 160, 130, RGB(30, 150, 60), TqorFillDirection::qgdNWSE, "");
    addShape(TqorShapeType::qstflower, 40, 200, 150, 150, RGB(200, 30, 30), TqorFillDirection::qgdRCMix, "");
    TqorShape* left = addShape(TqorShapeType::qstRoundRect, 220, 230, 120, 70, RGB(120, 40, 160),
                               TqorFillDirection::qgdUp, "Drag me");
    TqorShape* bar = addShape(TqorShapeType::qstRectangle, 390, 240, 170, 50, RGB(0, 130, 140),
                              TqorFillDirection::qgdLeftRight, "Connected");
    left->GroupName = "left";
    left->ConnectorE = "bar";
    bar->GroupName = "bar";
    TqorShape* star = addShape(TqorShapeType::qstUser, 250, 320, 90, 80, RGB(240, 200, 0), TqorFillDirection::qgdCircIn, "");
    star->SetUserVectorString(m_controller->UserShapes().front());

    QToolBar* tools = addToolBar("Shape");
    tools->setObjectName("ToolBar1");
    auto* modes = new QActionGroup(this);
    const std::pair<const char*, const char*> buttons[] = {{"btnomove", "Move shape"},
                                                            {"btnosize", "Size shape"},
                                                            {"btntmove", "Move shape text"},
                                                            {"btntextrotate", "Rotate shape text"}};
    const TShapeMouseMode buttonModes[] = {TShapeMouseMode::mmMoveObject, TShapeMouseMode::mmSizeObject,
                                           TShapeMouseMode::mmMoveText, TShapeMouseMode::mmRotateText};
    for (int i = 0; i < 4; ++i) {
        QAction* a = tools->addAction(buttons[i].second);
        a->setObjectName(buttons[i].first);
        a->setCheckable(true);
        modes->addAction(a);
        m_modeActions.push_back(a);
        const TShapeMouseMode mode = buttonModes[i];
        ConnectGuarded(a, [this, mode] { SetMouseMode(mode); });
    }
    tools->addSeparator();
    QAction* grid = tools->addAction("Snap to grid");
    grid->setObjectName("btngrid");
    grid->setCheckable(true);
    ConnectGuarded(grid, [this, grid] { m_controller->MouseGrid = grid->isChecked(); });
    QAction* paint = tools->addAction("Paint shape");
    paint->setObjectName("ToolButton12");
    ConnectGuarded(paint, [this] { PaintShapes(); });
    QAction* clear = tools->addAction("Clear picture");
    clear->setObjectName("btnclear");
    ConnectGuarded(clear, [this] { m_pic->Clear(); });
    SetMouseMode(TShapeMouseMode::mmMoveObject);
}

TqorShape* TShapesDemoF::addShape(TqorShapeType type, int left, int top, int width, int height, TColor brush,
                                  TqorFillDirection direction, const std::string& caption)
{
    auto* shape = new TqorShape(m_desk);
    shape->setObjectName(QString("qorShape%1").arg(Shapes().size() + 1));
    shape->SetBounds(left, top, width, height);
    shape->SetShape(type);
    TBrush b = shape->Brush();
    b.SetColor(brush);
    shape->SetBrush(b);
    TPen pen = shape->Pen();
    pen.Width = 2;
    shape->SetPen(pen);
    shape->SetGradientColor(clWhite);
    shape->SetFillDirection(direction);
    shape->SetGradient(true);
    TFont font = shape->Font();
    font.Name = "arial";
    font.SetSize(10);
    font.Style = fsBold;
    shape->SetFont(font);
    shape->SetCaption(caption);
    shape->SetActiveMouse(true);
    shape->SetPopupMenu(m_controller);
    m_controller->RegisterShape(shape);
    return shape;
}

std::vector<TqorShape*> TShapesDemoF::Shapes() const
{
    std::vector<TqorShape*> out;
    for (QObject* child : m_desk->children())
        if (auto* shape = qobject_cast<TqorShape*>(child))
            out.push_back(shape);
    return out;
}

void TShapesDemoF::PaintShapes()
{
    TCanvas canvas(m_pic->Picture());
    // Children are listed bottom to top, so shapes in front are stamped last.
    for (TqorShape* shape : Shapes())
        shape->PaintOnCanvas(canvas, shape->x() - m_pic->x(), shape->y() - m_pic->y(), 1.0, 1.0);
    m_pic->update();
}

void TShapesDemoF::SetMouseMode(TShapeMouseMode mode)
{
    m_controller->MouseMode = mode;
    for (TqorShape* shape : Shapes())
        shape->SetMouseMode(mode);
    const int index = static_cast<int>(mode) - 1;
    if (index >= 0 && index < static_cast<int>(m_modeActions.size()))
        m_modeActions[static_cast<std::size_t>(index)]->setChecked(true);
}
