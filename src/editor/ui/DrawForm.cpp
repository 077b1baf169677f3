#include "DrawForm.h"

#include "DrawIcons.h"
#include "DrawWidgets.h"
#include "GammaPanel.h"

#include "widgets/ArrayButton.h"

#include "platform/ui/GuardedActions.h"
#include "shapes/ui/ShapeController.h"
#include "shapes/ui/ShapeWidget.h"
#include "platform/ui/FormStateIni.h"
#include "platform/Ui.h"
#include "workspace/FrameStrip.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
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
    updateUndoActions();
}

TDrawF::~TDrawF()
{
    m_picture.OnChanged = nullptr;
    m_picture.History().OnChange = nullptr;
}

QAction* TDrawF::Action(const QString& name) const
{
    return findChild<QAction*>(name);
}

QAction* TDrawF::action(const char* name, const char* caption, std::function<void()> handler,
                        const QKeySequence& shortcut)
{
    auto* a = new QAction(QString::fromUtf8(caption), this);
    a->setObjectName(name);
    const QIcon icon = DrawIcon(name);
    if (!icon.isNull())
        a->setIcon(icon);
    if (!shortcut.isEmpty()) {
        a->setShortcut(shortcut);
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
    }
    if (handler)
        ConnectGuarded(a, std::move(handler));
    else
        a->setEnabled(false); // until the host hands over its handler (SetScriptWindow)
    return a;
}

void TDrawF::SetScriptWindow(std::function<void()> show)
{
    QAction* item = Action("Script1");
    ConnectGuarded(item, std::move(show));
    item->setEnabled(true);
}

void TDrawF::createActions()
{
    TCanvas& c = m_picture.Canvas();
    // drawpop: the figure tools; each item also shows its glyph on btndraw.
    action("Pointer1", "Pointer", [this] {
        m_tools.Pointer();
        btndraw->setIcon(Action("Pointer1")->icon());
    });
    chooseTool("Rectangle2", "Rectangle", "rectangle");
    chooseTool("Line1", "Line", "line");
    chooseTool("Ellipse1", "Ellipse", "ellipse");
    chooseTool("RoundRectangle1", "Round Rectangle", "roundrect");
    chooseTool("Freehand1", "Freehand", "freehand");
    chooseTool("FloodFill1", "FloodFill", "floodfill");

    // Tool bar.
    action("btnselect", "ToolButton7", [this] { m_tools.ChooseTool("select"); });
    action("ToolButton7", "ToolButton7", [this] { m_tools.ChooseTool("paste"); });
    action("ToolButton16", "Color Dropper", [this] { m_tools.ChooseTool("pipet"); });
    action("ToolButton11", "Erase Frame", [this] {
        m_tools.EraseFrame();
        syncBrushButtons();
    });
    m_brushGroup = new QActionGroup(this);
    for (QAction* a : {action("btnclearbrush", "Clear Brush", [this] { setBrushStyle(TBrushStyle::bsClear); }),
                       action("btnsolidbrush", "Solid Brush", [this] { setBrushStyle(TBrushStyle::bsSolid); })}) {
        a->setCheckable(true);
        m_brushGroup->addAction(a);
    }
    Action("btnsolidbrush")->setChecked(true);
    action("ToolButton19", "Show/Hide Text Gadget", [this] { toggleGadget(tex); });
    action("ToolButton3", "Hide/Show Gradient Gadget", [this] { toggleGadget(GradText1); });
    action("btnOK", "Update Frame", [this] { accept(); });
    action("Undo1", "&Undo", [this] { undo(); }, QKeySequence("Ctrl+Z"));
    action("Redo1", "&Redo", [this] { redo(); }, QKeySequence("Ctrl+Y"));

    // picpop and linepop: pen widths and styles, zoom.
    for (int w = 1; w <= 5; ++w) {
        const std::string pen = "Pen" + std::to_string(w) + "1", line = "Line" + std::to_string(w) + "1";
        action(pen.c_str(), ("Pen " + std::to_string(w)).c_str(), [&c, w] { c.Pen.Width = w; });
        action(line.c_str(), ("Line " + std::to_string(w)).c_str(), [&c, w] { c.Pen.Width = w; });
    }
    auto penOther = [this] { m_tools.PenOther(UI().InputBox("Anivor Draw", "Enter Line width: (1..50)", "1")); };
    action("PenOther1", "Pen Other...", penOther);
    action("Other1", "Other...", penOther);
    action("PenSolid1", "Pen Solid", [&c] { c.Pen.Style = TPenStyle::psSolid; });
    action("PenClear1", "Pen Clear", [&c] { c.Pen.Style = TPenStyle::psClear; });
    action("x11", "x1", [this] { zoom1Click(); });
    action("x21", "x2", [this] { zoom2Click(); });
    action("x41", "x4", [this] { zoom4Click(); });

    // texpop.
    action("Caption1", "&Caption...", [this] { textCaption(); });
    action("Font1", "&Font...", [this] { textFont(); });
    action("Bold1", "&Bold", [this] { textStyle(fsBold); });
    action("Italic1", "&Italic", [this] { textStyle(fsItalic); });
    action("Underline1", "&Underline", [this] { textStyle(fsUnderline); });
    action("Paint1", "&Paint", [this] { textPaint(false); });
    action("PaintShadow1", "Paint Shadow", [this] { textPaint(true); });
    action("BringtoFront1", "Bring to Front", [this] { tex->raise(); });

    // gradpop.
    action("Caption2", "Caption...", [this] { gradCaption(); });
    action("Font2", "Font...", [this] { gradFont(); });
    action("BeginColor1", "Begin Color...", [this] { gradColor(true); });
    action("EndColor1", "End Color...", [this] { gradColor(false); });
    auto style = [this](const char* name, const char* caption, TGradientStyle s) {
        action(name, caption, [this, s] { GradText1->SetGradientStyle(s); });
    };
    style("HorizontalCenter1", "Horizontal Center", TGradientStyle::gsHorizCenter);
    style("Horizontal1", "Horizontal", TGradientStyle::gsHorizontal);
    style("Rectangle1", "Rectangle", TGradientStyle::gsRectangle);
    style("VerticalCenter1", "Vertical Center", TGradientStyle::gsVertCenter);
    style("Vertical1", "Vertical", TGradientStyle::gsVertical);
    action("Paint2", "Paint", [this] { gradPaint(); });
    action("BringtoFront2", "Bring to Front", [this] { GradText1->raise(); });

    createShapeActions();
    // The script editor is set with SetScriptWindow.
    action("Script1", "&Script", nullptr, QKeySequence("F2"));
}

void TDrawF::chooseTool(const char* item, const char* caption, const char* tool)
{
    const QString name = item;
    const std::string toolName = tool;
    action(item, caption, [this, name, toolName] {
        m_tools.ChooseTool(toolName);
        btndraw->setIcon(Action(name)->icon());
    });
}

void TDrawF::createMenus()
{
    drawpop = new QMenu(this);
    drawpop->setObjectName("drawpop");
    for (const char* n : {"Pointer1", "Rectangle2", "Line1", "Ellipse1", "RoundRectangle1", "Freehand1", "FloodFill1"})
        drawpop->addAction(Action(n));

    picpop = new QMenu(this);
    picpop->setObjectName("picpop");
    QMenu* pen = picpop->addMenu("Pen");
    pen->setObjectName("PenMenu");
    pen->menuAction()->setObjectName("Pen1");
    for (const char* n : {"Pen11", "Pen21", "Pen31", "Pen41", "Pen51", "PenOther1", "PenSolid1", "PenClear1"})
        pen->addAction(Action(n));
    QMenu* resize = picpop->addMenu("Resize");
    resize->setObjectName("ResizeMenu");
    resize->menuAction()->setObjectName("Resize1");
    for (const char* n : {"x11", "x21", "x41"})
        resize->addAction(Action(n));
    picpop->addSeparator();
    picpop->addAction(Action("Undo1"));
    picpop->addAction(Action("Redo1"));

    linepop = new QMenu(this);
    linepop->setObjectName("linepop");
    for (const char* n : {"Line11", "Line21", "Line31", "Line41", "Line51", "Other1"})
        linepop->addAction(Action(n));

    texpop = new QMenu(this);
    texpop->setObjectName("texpop");
    for (const char* n : {"Caption1", "Font1", "Bold1", "Italic1", "Underline1"})
        texpop->addAction(Action(n));
    texpop->addSeparator();
    for (const char* n : {"Paint1", "PaintShadow1", "BringtoFront1"})
        texpop->addAction(Action(n));

    gradpop = new QMenu(this);
    gradpop->setObjectName("gradpop");
    for (const char* n : {"Caption2", "Font2", "BeginColor1", "EndColor1"})
        gradpop->addAction(Action(n));
    QMenu* styles = gradpop->addMenu("Style");
    styles->setObjectName("StyleMenu");
    styles->menuAction()->setObjectName("Style1");
    for (const char* n : {"HorizontalCenter1", "Horizontal1", "Rectangle1", "VerticalCenter1", "Vertical1"})
        styles->addAction(Action(n));
    gradpop->addSeparator();
    for (const char* n : {"Paint2", "BringtoFront2"})
        gradpop->addAction(Action(n));

    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName("MainMenu1");
    QMenu* view = MainMenu1->addMenu("&View");
    view->setObjectName("View1Menu");
    view->menuAction()->setObjectName("View1");
    view->addAction(Action("Script1"));
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
    btndraw->setIcon(Action("Pointer1")->icon());
    drawbar->addWidget(btndraw);
    drawbar->addSeparator();
    for (const char* n : {"btnselect", "ToolButton7", "ToolButton16"})
        drawbar->addAction(Action(n));
    drawbar->addSeparator();
    drawbar->addAction(Action("ToolButton11"));
    drawbar->addSeparator();
    for (const char* n : {"btnclearbrush", "btnsolidbrush"})
        drawbar->addAction(Action(n));
    drawbar->addSeparator();
    for (const char* n : {"ToolButton19", "ToolButton3"})
        drawbar->addAction(Action(n));
    drawbar->addSeparator();
    for (const char* n : {"btnsmartshape", "btnomove", "btnosize", "btntmove", "btntextrotate", "ToolButton2",
                          "ToolButton12"})
        drawbar->addAction(Action(n));
    drawbar->addSeparator();
    for (const char* n : {"Undo1", "Redo1"})
        drawbar->addAction(Action(n));
    drawbar->addSeparator();
    drawbar->addAction(Action("btnOK"));
    if (auto* ok = qobject_cast<QToolButton*>(drawbar->widgetForAction(Action("btnOK"))))
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
}

void TDrawF::wirePicture()
{
    pic->SetBitmap(&m_picture.Bitmap());
    m_picture.OnChanged = [this](const TRect& area) {
        const QSize before = pic->size();
        pic->Refresh(area);
        if (pic->size() != before)
            updateContentSize();
    };
    m_picture.History().OnChange = [this] { updateUndoActions(); };
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
        syncBrushButtons();
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
    m_picture.Load(frame.Bitmap);
    m_strip = &strip;
    m_frameName = frame.Name;
    m_frameWidth = strip.FrameWidth;
    m_frameHeight = strip.FrameHeight;
    pic->SetBitmap(&m_picture.Bitmap());
    updateContentSize();
    updateUndoActions();
}

void TDrawF::FinishEdit()
{
    if (!m_strip)
        return;
    const int i = m_strip->IndexOfName(m_frameName);
    if (i < 0)
        return;
    WaitCursor wait;
    m_picture.StoreInto(m_strip->FindFrameImage(i).Bitmap, m_frameWidth, m_frameHeight);
    m_strip->PixelsChanged(i);
}

void TDrawF::closeEvent(QCloseEvent* event)
{
    m_tools.CancelDrag();
    QDialog::closeEvent(event);
}

// --- tools and commands ----------------------------------------------------------------------

void TDrawF::setBrushStyle(TBrushStyle style)
{
    m_picture.Canvas().Brush.SetStyle(style);
    syncBrushButtons();
}

void TDrawF::syncBrushButtons()
{
    const bool clear = m_picture.Canvas().Brush.Style() == TBrushStyle::bsClear;
    Action(clear ? "btnclearbrush" : "btnsolidbrush")->setChecked(true);
}

void TDrawF::gammaChange()
{
    TCanvas& c = m_picture.Canvas();
    c.Pen.Color = gamma->FirstColor();
    c.Brush.SetColor(gamma->SecondColor());
    syncBrushButtons();
}

void TDrawF::zoom1Click() { zoom(1); }
void TDrawF::zoom2Click() { zoom(2); }
void TDrawF::zoom4Click() { zoom(4); }

void TDrawF::zoom(int k)
{
    if (m_tools.Pressed())
        return;
    WaitCursor wait;
    m_picture.Zoom(k, m_frameWidth, m_frameHeight);
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

void TDrawF::updateUndoActions()
{
    QAction* u = Action("Undo1");
    QAction* r = Action("Redo1");
    u->setEnabled(m_picture.CanUndo());
    r->setEnabled(m_picture.CanRedo());
    const std::string un = m_picture.History().UndoName(), rn = m_picture.History().RedoName();
    u->setText(QString::fromStdString(un.empty() ? "&Undo" : "&Undo " + un));
    r->setText(QString::fromStdString(rn.empty() ? "&Redo" : "&Redo " + rn));
    u->setToolTip(m_picture.UndoAvailable() ? QString("Undo") : QString("Undo is off: not enough memory for this picture"));
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

TPoint TDrawF::gadgetOffset(const QWidget* gadget) const
{
    return TPoint(gadget->x() - pic->x(), gadget->y() - pic->y());
}

void TDrawF::textCaption()
{
    const std::string caption = UI().InputBox("Anivor Text", "Enter Caption:", tex->Caption());
    if (!caption.empty())
        tex->SetCaption(caption);
}

void TDrawF::textFont()
{
    if (const auto chosen = UI().ChooseFont(choiceOf(tex->Font())))
        tex->SetFont(fontOf(*chosen));
}

void TDrawF::textStyle(unsigned style)
{
    TFont f = tex->Font();
    f.Style ^= style;
    tex->SetFont(f);
}

void TDrawF::textPaint(bool shadow)
{
    if (!PaintLabelText(m_picture.Canvas(), tex->Font(), tex->Caption(), gadgetOffset(tex), shadow))
        return;
    syncBrushButtons();
    m_picture.ChangedAll();
    m_picture.Commit(shadow ? "Paint Shadow" : "Paint Text");
}

void TDrawF::gradCaption()
{
    const std::string text = UI().InputBox("Anivor Gradient Text", "Enter caption:", GradText1->Text());
    if (!text.empty())
        GradText1->SetText(text);
}

void TDrawF::gradFont()
{
    if (const auto chosen = UI().ChooseFont(choiceOf(GradText1->Font())))
        GradText1->SetFont(fontOf(*chosen));
}

void TDrawF::gradColor(bool begin)
{
    const auto chosen = UI().ChooseColor(m_dialogColor);
    if (!chosen)
        return;
    m_dialogColor = *chosen;
    if (begin)
        GradText1->SetBeginColor(*chosen);
    else
        GradText1->SetEndColor(*chosen);
}

void TDrawF::gradPaint()
{
    if (!PaintGradText(m_picture.Canvas(), GradText1->Picture(), gadgetOffset(GradText1)))
        return;
    m_picture.ChangedAll();
    m_picture.Commit("Paint Gradient Text");
}
