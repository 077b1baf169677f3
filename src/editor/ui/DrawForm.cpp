#include "DrawForm.h"

#include "DrawIcons.h"
#include "DrawWidgets.h"
#include "GammaPanel.h"

#include "widgets/ArrayButton.h"

#include "platform/CommandGuard.h"
#include "platform/NumberPrompt.h"
#include "platform/ui/CommandActions.h"
#include "shapes/ui/ShapeController.h"
#include "shapes/ui/ShapeWidget.h"
#include "platform/ui/FormStateIni.h"
#include "platform/Ui.h"
#include "workspace/FrameStrip.h"

#include <QAction>
#include <QActionGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kDesignedWidth = 594;
constexpr int kDesignedHeight = 377;

TFontChoice choiceOf(const TFont& f)
{
    return TFontChoice{f.Name, f.Size(), f.Style, f.Color};
}

TFont fontOf(const TFontChoice& c)
{
    TFont f;
    f.Name = c.Name;
    f.SetSize(c.Size);
    f.Style = c.Style;
    f.Color = c.Color;
    return f;
}

} // namespace

TDrawF::TDrawF(QWidget* parent, const std::string& settingsFile)
    : QDialog(parent), m_settingsFile(settingsFile), m_tools(m_picture)
{
    setObjectName("DrawF");
    setWindowTitle("Anivor Draw");
    setModal(true);
    createActions();
    createMenus();
    createToolBar();
    createLayout();
    wirePicture();
    // The selection starts empty (the tools hold it); then the smart shape and its
    // controller's menu. The scripting object joins here once scripting is built.
    createShape();
    createActors();
    TTF.Font.Name = "Arial";
    TTF.Font.SetHeight(-47);
    TTF.SetPrecision(8);
    placeWindow();
    UpdateCommands();
}

TDrawF::~TDrawF()
{
    m_picture.OnChanged = nullptr;
    m_picture.History().OnChange = nullptr;
}

QAction* TDrawF::Action(const QString& id) const
{
    return m_actions->Action(id.toStdString());
}

void TDrawF::UpdateCommands()
{
    if (m_actions)
        m_actions->Update();
}

void TDrawF::SetScriptWindow(std::function<void()> show)
{
    m_showScript = std::move(show);
    UpdateCommands();
}

void TDrawF::createActions()
{
    TCommandTable& t = m_commands;
    TCanvas& c = m_picture.Canvas();
    // drawpop: the figure tools; each item also shows its glyph on btndraw.
    t.Add({.Id = "editor.pointer", .Caption = "Pointer", .Handler = [this] {
               m_tools.Pointer();
               btndraw->setIcon(Action("editor.pointer")->icon());
           }});
    chooseTool("editor.rectangle", "Rectangle", "rectangle");
    chooseTool("editor.line", "Line", "line");
    chooseTool("editor.ellipse", "Ellipse", "ellipse");
    chooseTool("editor.round-rectangle", "Round Rectangle", "roundrect");
    chooseTool("editor.freehand", "Freehand", "freehand");
    chooseTool("editor.flood-fill", "FloodFill", "floodfill");

    // Tool bar.
    t.Add({.Id = "editor.select", .Caption = "Select", .Hint = "Select", .Handler = [this] { m_tools.ChooseTool("select"); }});
    t.Add({.Id = "editor.paste", .Caption = "Paste", .Hint = "Paste", .Handler = [this] { m_tools.ChooseTool("paste"); }});
    t.Add({.Id = "editor.color-dropper", .Caption = "Color Dropper", .Hint = "Color Dropper",
           .Handler = [this] { m_tools.ChooseTool("pipet"); }});
    t.Add({.Id = "editor.erase-frame", .Caption = "Erase Frame", .Hint = "Erase Frame", .Handler = [this] { m_tools.EraseFrame(); }});
    // The two brush buttons show the picture brush's style, however it was set.
    auto brushIs = [&c](TBrushStyle style) { return [&c, style] { return c.Brush.Style() == style; }; };
    t.Add({.Id = "editor.clear-brush", .Caption = "Clear Brush", .Hint = "Clear Brush", .Checked = brushIs(TBrushStyle::bsClear),
           .Handler = [this] { setBrushStyle(TBrushStyle::bsClear); }});
    t.Add({.Id = "editor.solid-brush", .Caption = "Solid Brush", .Hint = "Solid Brush", .Checked = brushIs(TBrushStyle::bsSolid),
           .Handler = [this] { setBrushStyle(TBrushStyle::bsSolid); }});
    t.Add({.Id = "editor.text-gadget", .Caption = "Show/Hide Text Gadget", .Hint = "Show/Hide Text Gadget",
           .Handler = [this] { toggleGadget(tex); }});
    t.Add({.Id = "editor.gradient-gadget", .Caption = "Hide/Show Gradient Gadget", .Hint = "Hide/Show Gradient Gadget",
           .Handler = [this] { toggleGadget(GradText1); }});
    t.Add({.Id = "editor.update-frame", .Caption = "Update Frame", .Hint = "Update Frame", .Handler = [this] { accept(); }});
    // Undo and Redo name the step they take back or do again ("&Undo Rectangle").
    auto caption = [](const char* verb, const std::string& step) { return step.empty() ? std::string(verb) : verb + (" " + step); };
    t.Add({.Id = "editor.undo", .Caption = "&Undo", .Shortcut = "Ctrl+Z", .Enabled = [this] { return m_picture.CanUndo(); },
           .Handler = [this] { undo(); },
           .CaptionRule = [this, caption] { return caption("&Undo", m_picture.History().UndoName()); },
           .HintRule = [this] {
               return std::string(m_picture.UndoAvailable() ? "Undo" : "Undo is off: not enough memory for this picture");
           }});
    t.Add({.Id = "editor.redo", .Caption = "&Redo", .Shortcut = "Ctrl+Y", .Enabled = [this] { return m_picture.CanRedo(); },
           .Handler = [this] { redo(); },
           .CaptionRule = [this, caption] { return caption("&Redo", m_picture.History().RedoName()); }});

    // picpop and linepop: pen widths and styles, zoom. The check marks show the pen in
    // force, however it was set (a script sets it too); "Other..." is checked for a width
    // above 5 and proposes the width in force.
    auto widthIs = [&c](int w) { return [&c, w] { return c.Pen.Width == w; }; };
    auto otherWidth = [&c] { return c.Pen.Width > 5; };
    for (int w = 1; w <= 5; ++w) {
        const std::string n = std::to_string(w);
        t.Add({.Id = "editor.pen-" + n, .Caption = "Pen " + n, .Checked = widthIs(w), .Handler = [&c, w] { c.Pen.Width = w; }});
    }
    auto penOther = [this, &c] {
        const std::string typed = UI().InputBox("Anivor Draw", "Enter Line width: (1..50)", std::to_string(c.Pen.Width));
        if (const auto width = RangedAnswer(typed, "the pen width", 1, 50, TRangeRule::Ignore, 1))
            m_tools.PenOther(std::to_string(*width));
    };
    t.Add({.Id = "editor.pen-other", .Caption = "Pen Other...", .Checked = otherWidth, .Handler = penOther});
    t.Add({.Id = "editor.pen-solid", .Caption = "Pen Solid", .Checked = [&c] { return c.Pen.Style == TPenStyle::psSolid; },
           .Handler = [&c] { c.Pen.Style = TPenStyle::psSolid; }});
    t.Add({.Id = "editor.pen-clear", .Caption = "Pen Clear", .Checked = [&c] { return c.Pen.Style == TPenStyle::psClear; },
           .Handler = [&c] { c.Pen.Style = TPenStyle::psClear; }});
    for (int w = 1; w <= 5; ++w) {
        const std::string n = std::to_string(w);
        t.Add({.Id = "editor.line-" + n, .Caption = "Line " + n, .Checked = widthIs(w), .Handler = [&c, w] { c.Pen.Width = w; }});
    }
    t.Add({.Id = "editor.line-other", .Caption = "Other...", .Checked = otherWidth, .Handler = penOther});
    // Zoom is a view: the check mark shows the factor in force.
    for (int k : {1, 2, 4}) {
        const std::string n = std::to_string(k);
        t.Add({.Id = "editor.zoom-" + n, .Caption = "x" + n, .Checked = [this, k] { return m_zoom.K == k; },
               .Handler = [this, k] { setZoom(k); }});
    }

    // texpop.
    t.Add({.Id = "text.caption", .Caption = "&Caption...", .Handler = [this] { textCaption(); }});
    t.Add({.Id = "text.font", .Caption = "&Font...", .Handler = [this] { textFont(); }});
    t.Add({.Id = "text.color", .Caption = "C&olor...", .Handler = [this] { textColor(); }});
    auto styled = [this](unsigned style) { return [this, style] { return (tex->Font().Style & style) != 0; }; };
    t.Add({.Id = "text.bold", .Caption = "&Bold", .Checked = styled(fsBold), .Handler = [this] { textStyle(fsBold); }});
    t.Add({.Id = "text.italic", .Caption = "&Italic", .Checked = styled(fsItalic), .Handler = [this] { textStyle(fsItalic); }});
    t.Add({.Id = "text.underline", .Caption = "&Underline", .Checked = styled(fsUnderline),
           .Handler = [this] { textStyle(fsUnderline); }});
    t.Add({.Id = "text.paint", .Caption = "&Paint", .Handler = [this] { textPaint(false); }, .UndoName = "Paint Text"});
    t.Add({.Id = "text.paint-shadow", .Caption = "Paint Shadow", .Handler = [this] { textPaint(true); }});
    t.Add({.Id = "text.bring-to-front", .Caption = "Bring to Front", .Handler = [this] { tex->raise(); }});

    // gradpop.
    t.Add({.Id = "gradient.caption", .Caption = "Caption...", .Handler = [this] { gradCaption(); }});
    t.Add({.Id = "gradient.font", .Caption = "Font...", .Handler = [this] { gradFont(); }});
    t.Add({.Id = "gradient.begin-color", .Caption = "Begin Color...", .Handler = [this] { gradColor(true); }});
    t.Add({.Id = "gradient.end-color", .Caption = "End Color...", .Handler = [this] { gradColor(false); }});
    auto style = [&](const char* id, const char* caption, TGradientStyle s) {
        t.Add({.Id = id, .Caption = caption, .Checked = [this, s] { return GradText1->GradientStyle() == s; },
               .Handler = [this, s] { GradText1->SetGradientStyle(s); }});
    };
    style("gradient.horizontal-center", "Horizontal Center", TGradientStyle::gsHorizCenter);
    style("gradient.horizontal", "Horizontal", TGradientStyle::gsHorizontal);
    style("gradient.rectangle", "Rectangle", TGradientStyle::gsRectangle);
    style("gradient.vertical-center", "Vertical Center", TGradientStyle::gsVertCenter);
    style("gradient.vertical", "Vertical", TGradientStyle::gsVertical);
    t.Add({.Id = "gradient.paint", .Caption = "Paint", .Handler = [this] { gradPaint(); }, .UndoName = "Paint Gradient Text"});
    t.Add({.Id = "gradient.bring-to-front", .Caption = "Bring to Front", .Handler = [this] { GradText1->raise(); }});

    createShapeActions();
    // The script editor is set with SetScriptWindow.
    t.Add({.Id = "editor.script", .Caption = "&Script", .Shortcut = "F2", .Enabled = [this] { return m_showScript != nullptr; },
           .Handler = [this] { m_showScript(); }});
    // The recorded actor path as markers over the picture (never on it).
    t.Add(ToggleCommand("editor.show-path", "Actor &Path", m_showPath, [this] { pic->update(); }));

    m_actions = new TCommandActions(this, m_commands, [](const std::string& id) { return DrawIcon(QString::fromStdString(id)); });
    m_actions->AfterUpdate = [this] { showStatus(); };
}

void TDrawF::chooseTool(const char* id, const char* caption, const char* tool)
{
    const QString name = id;
    const std::string toolName = tool;
    m_commands.Add({.Id = id, .Caption = caption, .Handler = [this, name, toolName] {
                        m_tools.ChooseTool(toolName);
                        btndraw->setIcon(Action(name)->icon());
                    }});
}

void TDrawF::createMenus()
{
    TCommandActions& c = *m_actions;
    auto popup = [&](const char* name) {
        auto* m = new QMenu(this);
        m->setObjectName(name);
        return m;
    };
    auto subMenu = [&](QMenu* parent, const char* name, const char* caption) {
        QMenu* m = parent->addMenu(caption);
        m->setObjectName(QString(name) + "Menu");
        m->menuAction()->setObjectName(name);
        return m;
    };
    drawpop = popup("drawpop");
    c.AddTo(drawpop, {"editor.pointer", "editor.rectangle", "editor.line", "editor.ellipse", "editor.round-rectangle",
                      "editor.freehand", "editor.flood-fill"});

    picpop = popup("picpop");
    c.AddTo(subMenu(picpop, "Pen1", "Pen"), {"editor.pen-1", "editor.pen-2", "editor.pen-3", "editor.pen-4", "editor.pen-5",
                                             "editor.pen-other", "editor.pen-solid", "editor.pen-clear"});
    c.AddTo(subMenu(picpop, "Resize1", "Resize"), {"editor.zoom-1", "editor.zoom-2", "editor.zoom-4"});
    c.AddTo(picpop, {"-", "editor.undo", "editor.redo"});

    linepop = popup("linepop");
    c.AddTo(linepop, {"editor.line-1", "editor.line-2", "editor.line-3", "editor.line-4", "editor.line-5", "editor.line-other"});

    texpop = popup("texpop");
    c.AddTo(texpop, {"text.caption", "text.font", "text.color", "text.bold", "text.italic", "text.underline", "-", "text.paint",
                     "text.paint-shadow", "text.bring-to-front"});

    gradpop = popup("gradpop");
    c.AddTo(gradpop, {"gradient.caption", "gradient.font", "gradient.begin-color", "gradient.end-color"});
    c.AddTo(subMenu(gradpop, "Style1", "Style"), {"gradient.horizontal-center", "gradient.horizontal", "gradient.rectangle",
                                                  "gradient.vertical-center", "gradient.vertical"});
    c.AddTo(gradpop, {"-", "gradient.paint", "gradient.bring-to-front"});

    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName("MainMenu1");
    QMenu* view = MainMenu1->addMenu("&View");
    view->setObjectName("View1Menu");
    view->menuAction()->setObjectName("View1");
    c.AddTo(view, {"editor.script", "editor.show-path"});
}

void TDrawF::createToolBar()
{
    drawbar = new QToolBar(this);
    drawbar->setObjectName("drawbar");
    drawbar->setIconSize(QSize(16, 16));
    drawbar->setMovable(false);
    // Compact buttons: the whole bar fits the window's designed width.
    drawbar->setStyleSheet("QToolBar { spacing: 0px; padding: 0px; } QToolButton { padding: 1px; margin: 0px; }");

    btndraw = new QToolButton(drawbar);
    btndraw->setObjectName("btndraw");
    btndraw->setMenu(drawpop);
    btndraw->setPopupMode(QToolButton::InstantPopup);
    btndraw->setIcon(Action("editor.pointer")->icon());
    drawbar->addWidget(btndraw);
    m_actions->AddTo(drawbar, {"-", "editor.select", "editor.paste", "editor.color-dropper", "-", "editor.erase-frame", "-",
                               "editor.clear-brush", "editor.solid-brush", "-", "editor.text-gadget", "editor.gradient-gadget", "-",
                               "editor.smart-gadget", "editor.shape-move", "editor.shape-size", "editor.shape-move-text",
                               "editor.shape-rotate-text", "editor.shape-size-to-frame", "editor.shape-paint", "-", "editor.undo",
                               "editor.redo", "-", "editor.update-frame"});
    if (auto* ok = qobject_cast<QToolButton*>(drawbar->widgetForAction(Action("editor.update-frame"))))
        ok->setToolButtonStyle(Qt::ToolButtonTextOnly);
}

void TDrawF::createLayout()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(MainMenu1);
    layout->addWidget(drawbar);

    auto* body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    layout->addLayout(body, 1);

    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName("ScrollBox1");
    ScrollBox1->setWidgetResizable(false);
    ScrollContent = new QWidget;
    ScrollContent->setObjectName("ScrollContent");
    pic = new TPictureView(ScrollContent);
    pic->PopupMenu = picpop;
    tex = new TTextGadget(ScrollContent);
    tex->PopupMenu = texpop;
    GradText1 = new TGradText(ScrollContent);
    GradText1->PopupMenu = gradpop;
    GradText1->SetLines({"Anivor"});
    TFont gradFont;
    gradFont.Name = "Times New Roman";
    gradFont.SetHeight(-25);
    gradFont.Style = fsBold | fsItalic;
    GradText1->SetFont(gradFont);
    GradText1->move(65, 156);
    GradText1->hide();
    ScrollBox1->setWidget(ScrollContent);
    body->addWidget(ScrollBox1, 1);

    Panel1 = new QFrame(this);
    Panel1->setObjectName("Panel1");
    Panel1->setFixedWidth(73);
    gamma = new TGammaPanel(Panel1);
    gamma->move(2, 2);
    gamma->OnChange = [this](TGammaPanel*) { RunGuarded([this] { gammaChange(); }); };
    qorArrayButton1 = new TqorArrayButton(Panel1);
    qorArrayButton1->setObjectName("qorArrayButton1");
    qorArrayButton1->setFixedSize(73, 51);
    auto* panelLayout = new QVBoxLayout(Panel1);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->addStretch(1);
    panelLayout->addWidget(qorArrayButton1);
    body->addWidget(Panel1);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName("StatusBar1");
    StatusBar1->setSizeGripEnabled(false);
    PathStatus = new QLabel(StatusBar1);
    PathStatus->setObjectName("PathStatus");
    StatusBar1->addWidget(PathStatus, 1);
    layout->addWidget(StatusBar1);
}

void TDrawF::showStatus()
{
    if (!PathStatus)
        return;
    const int n = m_actors.Path().Count();
    PathStatus->setText(n == 0 ? QString("Actor path: no points (release an actor with Ctrl held to record one)")
                               : QString("Actor path: %1 point%2").arg(n).arg(n == 1 ? "" : "s"));
}

void TDrawF::wirePicture()
{
    pic->SetBitmap(&m_picture.Bitmap());
    pic->Overlay = [this](QPainter& painter, int k) {
        if (m_showPath)
            PaintPathMarkers(painter, m_actors.Path().Points(), k);
    };
    m_picture.OnChanged = [this](const TRect& area) {
        const QSize before = pic->size();
        pic->Refresh(area);
        if (pic->size() != before)
            updateContentSize();
    };
    m_picture.History().OnChange = [this] { UpdateCommands(); };
    pic->OnMouseDown = [this](Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
        // The right button opens the popup menu; drawing is the left button's.
        if (button == Qt::LeftButton)
            RunGuarded([&] { m_tools.MouseDown(x, y); });
    };
    pic->OnMouseMove = [this](Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
        RunGuarded([&] { m_tools.MouseMove(x, y); });
    };
    pic->OnMouseUp = [this](Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y) {
        if (button == Qt::LeftButton)
            RunGuarded([&] { m_tools.MouseUp(x, y, (modifiers & Qt::ControlModifier) != 0); });
    };
    m_tools.OnPipette = [this](TColor color) {
        gamma->SetSecondColor(color);
        UpdateCommands();
    };
}

void TDrawF::placeWindow()
{
    resize(kDesignedWidth, kDesignedHeight);
    if (QWidget* owner = parentWidget()) {
        const QRect r = owner->frameGeometry();
        move(r.left() + (r.width() - kDesignedWidth) / 2, r.top() + (r.height() - kDesignedHeight) / 2);
    }
    TFormStateIni(m_settingsFile).Restore(*this);
}

void TDrawF::FormDestroy()
{
    TFormStateIni(m_settingsFile).Save(*this);
}

// --- hand-over -----------------------------------------------------------------------------

bool TDrawF::EditFrame(TFrameStrip& strip, int index)
{
    BeginEdit(strip, index);
    if (exec() != QDialog::Accepted)
        return false;
    FinishEdit();
    return true;
}

void TDrawF::BeginEdit(TFrameStrip& strip, int index)
{
    const TFrameRecord& frame = strip.FindFrameImage(index);
    m_tools.CancelDrag();
    m_picture.Load(frame.Bitmap());
    m_strip = &strip;
    m_frameName = frame.Name;
    pic->SetBitmap(&m_picture.Bitmap());
    setZoom(1);
    updateContentSize();
    UpdateCommands();
}

void TDrawF::FinishEdit()
{
    // A picture the frame already has leaves the frame as it is (no undo step either).
    if (!HasUnwrittenChanges())
        return;
    const int i = m_strip->IndexOfName(m_frameName);
    WaitCursor wait;
    TBitmap picture = m_strip->FindFrameImage(i).Bitmap();
    m_picture.StoreInto(picture);
    m_strip->SetPicture(i, std::move(picture));
}

bool TDrawF::HasUnwrittenChanges() const
{
    if (!m_strip)
        return false;
    const int i = m_strip->IndexOfName(m_frameName);
    // A frame that is gone has nothing to take the picture.
    return i >= 0 && m_picture.DiffersFrom(m_strip->FindFrameImage(i).Bitmap());
}

void TDrawF::reject()
{
    enum { kUpdate, kDiscard, kCancel };
    int answer = kDiscard;
    const bool asked = RunGuarded([&] {
        m_tools.EndDrag(); // a band being dragged is not part of the drawing
        if (!HasUnwrittenChanges())
            return;
        answer = UI().ChooseButton("Anivor Draw",
                                   "Update the frame?\n\nThe picture has changes not yet written to frame \""
                                       + m_frameName + "\".",
                                   TMsgDlgType::mtConfirmation, {"&Update", "&Discard", "&Cancel"});
    });
    if (!asked)
        return; // the question failed: nothing is dropped
    if (answer == kUpdate)
        accept();
    else if (answer == kDiscard)
        QDialog::reject();
    // Cancel, or the box closed: the editor stays open with the drawing.
}

// --- tools and commands ----------------------------------------------------------------------

void TDrawF::setBrushStyle(TBrushStyle style)
{
    m_picture.Canvas().Brush.SetStyle(style);
}

void TDrawF::gammaChange()
{
    TCanvas& c = m_picture.Canvas();
    c.Pen.Color = gamma->FirstColor();
    c.Brush.SetColor(gamma->SecondColor());
    UpdateCommands();
}

void TDrawF::zoom1Click() { setZoom(1); }
void TDrawF::zoom2Click() { setZoom(2); }
void TDrawF::zoom4Click() { setZoom(4); }

void TDrawF::setZoom(int k)
{
    if (m_tools.Pressed() || !TZoom::Allowed(k) || k == m_zoom.K)
        return;
    const TZoom from = m_zoom;
    m_zoom.K = k;
    // The picture point in the middle of the view, to keep it there.
    QScrollBar* h = ScrollBox1->horizontalScrollBar();
    QScrollBar* v = ScrollBox1->verticalScrollBar();
    const QSize seen = ScrollBox1->viewport()->size();
    const double cx = (h->value() + seen.width() / 2.0) / from.K, cy = (v->value() + seen.height() / 2.0) / from.K;

    pic->SetZoom(k);
    zoomGadget(tex, from);
    zoomGadget(GradText1, from);
    zoomShape(from);
    for (int i = 0; i < TActors::kCount; ++i)
        syncActor(i);
    updateContentSize();
    h->setValue(static_cast<int>(cx * k - seen.width() / 2.0));
    v->setValue(static_cast<int>(cy * k - seen.height() / 2.0));
    UpdateCommands();
}

void TDrawF::undo()
{
    if (!m_tools.Pressed())
        m_picture.Undo();
}

void TDrawF::redo()
{
    if (!m_tools.Pressed())
        m_picture.Redo();
}

void TDrawF::updateContentSize()
{
    QRect r = pic->geometry();
    for (QWidget* g : {static_cast<QWidget*>(tex), static_cast<QWidget*>(GradText1), static_cast<QWidget*>(qorShape1),
                       static_cast<QWidget*>(actor), static_cast<QWidget*>(actor2), static_cast<QWidget*>(actor3)})
        if (g && g->isVisible())
            r |= g->geometry();
    ScrollContent->resize(std::max(r.right() + 1, 1), std::max(r.bottom() + 1, 1));
}

// --- gadgets -------------------------------------------------------------------------------

void TDrawF::toggleGadget(QWidget* gadget)
{
    gadget->setVisible(!gadget->isVisible());
    if (gadget->isVisible())
        gadget->raise();
    updateContentSize();
}

TPoint TDrawF::gadgetPlace(const QWidget* gadget) const
{
    return m_zoom.ToPicture(TPoint(gadget->x() - pic->x(), gadget->y() - pic->y()));
}

void TDrawF::zoomGadget(QWidget* gadget, const TZoom& from)
{
    const TPoint at = from.ToPicture(TPoint(gadget->x() - pic->x(), gadget->y() - pic->y()));
    if (auto* t = qobject_cast<TTextGadget*>(gadget))
        t->SetZoom(m_zoom.K);
    else if (auto* g = qobject_cast<TGradText*>(gadget))
        g->SetZoom(m_zoom.K);
    gadget->move(pic->pos() + QPoint(m_zoom.ToView(at.X), m_zoom.ToView(at.Y)));
}

void TDrawF::textCaption()
{
    const std::string caption = UI().InputBox("Anivor Text", "Enter Caption:", tex->Caption());
    if (!caption.empty())
        tex->SetCaption(caption);
}

void TDrawF::textFont()
{
    // The dialog starts on the gadget's font; an OK that changed nothing changes nothing.
    const TFontChoice now = choiceOf(tex->Font());
    if (const auto chosen = UI().ChooseFont(now); chosen && *chosen != now)
        tex->SetFont(fontOf(*chosen));
}

void TDrawF::textColor()
{
    if (const auto chosen = UI().ChooseColor(tex->Font().Color)) {
        TFont f = tex->Font();
        f.Color = *chosen;
        tex->SetFont(f);
    }
}

void TDrawF::textStyle(unsigned style)
{
    TFont f = tex->Font();
    f.Style ^= style;
    tex->SetFont(f);
}

void TDrawF::textPaint(bool shadow)
{
    if (!PaintLabelText(m_picture.Canvas(), tex->Font(), tex->Caption(), gadgetPlace(tex), shadow))
        return;
    m_picture.ChangedAll();
    m_picture.Commit(m_commands[shadow ? "text.paint-shadow" : "text.paint"].StepName());
}

void TDrawF::gradCaption()
{
    const std::string text = UI().InputBox("Anivor Gradient Text", "Enter caption:", GradText1->Text());
    if (!text.empty())
        GradText1->SetText(text);
}

void TDrawF::gradFont()
{
    const TFontChoice now = choiceOf(GradText1->Font());
    if (const auto chosen = UI().ChooseFont(now); chosen && *chosen != now)
        GradText1->SetFont(fontOf(*chosen));
}

void TDrawF::gradColor(bool begin)
{
    // The dialog opens on the colour it changes.
    const auto chosen = UI().ChooseColor(begin ? GradText1->BeginColor() : GradText1->EndColor());
    if (!chosen)
        return;
    if (begin)
        GradText1->SetBeginColor(*chosen);
    else
        GradText1->SetEndColor(*chosen);
}

void TDrawF::gradPaint()
{
    if (!PaintGradText(m_picture.Canvas(), GradText1->Picture(), gadgetPlace(GradText1)))
        return;
    m_picture.ChangedAll();
    m_picture.Commit(m_commands["gradient.paint"].StepName());
}
