#include "AnivorForm.h"

#include "StripViewSource.h"
#include "ToolbarIcons.h"

#include "editor/ui/DrawForm.h"
#include "graphics/MemoryBudget.h"
#include "platform/ui/GuardedActions.h"
#include "platform/ui/HelpViewer.h"
#include "platform/ui/Shell.h"
#include "platform/Ui.h"
#include "tools/ui/GIFExplorerForm.h"
#include "widgets/FileListBox.h"
#include "widgets/FrameViews.h"
#include "widgets/ImageControl.h"
#include "widgets/PainterReduceForm.h"
#include "widgets/TabBar.h"
#include "widgets/TemplatesForm.h"
#include "effects/ui/PainterEffectsForm.h"
#include "effects/ui/PainterQBForm.h"
#include "workspace/FrameImport.h"
#include "workspace/FrameOperations.h"
#include "workspace/StripCommands.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QTimer>
#include <QVBoxLayout>

#include <filesystem>

const char* const kAnivorWebSite = "https://anivor.example.org/";

namespace {

// The designed client size of the window.
constexpr int kDesignedWidth = 541;
constexpr int kDesignedHeight = 404;

} // namespace

TAnivorF::TAnivorF(const std::string& appDir, const std::string& settingsFile, QWidget* parent)
    : QMainWindow(parent), m_appDir(appDir), m_settingsFile(settingsFile)
{
    setObjectName("AnivorF");
    setWindowTitle("Anivor 13");
    QFont f("Arial");
    f.setPixelSize(11);
    setFont(f);

    m_history = std::make_unique<TStripHistory>(m_strip);

    createActions();
    createMenus();
    createToolBar();
    createLayout();
    wireViews();
    setPreviewState(TPreviewState::Nothing);

    // The settings file: placement, folders and the four numeric defaults.
    TSettings defaults;
    // The status bar (wizard progress) comes below the designed client area.
    const QSize designed(kDesignedWidth, kDesignedHeight + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
    const QRect screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry() : QRect(0, 0, 1024, 768);
    defaults.Left = screen.left() + (screen.width() - designed.width()) / 2;
    defaults.Top = screen.top() + (screen.height() - designed.height()) / 2;
    defaults.Width = designed.width();
    defaults.Height = designed.height();
    m_designed = QRect(defaults.Left, defaults.Top, defaults.Width, defaults.Height);
    defaults.FramesDir = defaults.OpenDir = defaults.SaveDir = m_appDir;
    TSettingsProblem problem;
    m_loaded = LoadSettings(m_settingsFile, defaults, &problem);
    applySettings(m_loaded);
    fillRecentMenu();
    m_history->Reset();
    if (!problem.Empty())
        UI().MessageDlg(problem.Message, TMsgDlgType::mtWarning);
}

TAnivorF::~TAnivorF()
{
    m_strip.Unsubscribe(m_observerId);
}

QAction* TAnivorF::Action(const QString& name) const
{
    return findChild<QAction*>(name);
}

QAction* TAnivorF::action(const char* name, const char* caption, const QKeySequence& shortcut, std::function<void()> handler)
{
    const bool built = static_cast<bool>(handler);
    QAction* a = NamedAction(this, name, caption, shortcut, std::move(handler));
    a->setEnabled(built);
    return a;
}

QMenu* TAnivorF::subMenu(QMenu* parent, const char* name, const char* caption)
{
    QMenu* m = parent->addMenu(QString::fromUtf8(caption));
    m->setObjectName(QString(name) + "Menu");
    m->menuAction()->setObjectName(name);
    return m;
}

void TAnivorF::SetConverterWindows(QWidget* avi2gif, QWidget* gif2avi)
{
    const std::pair<const char*, QWidget*> items[] = {{"AVItoGIFconverter1", avi2gif}, {"GIFtoAVIconverter1", gif2avi}};
    for (const auto& [name, window] : items) {
        if (!window)
            continue;
        ConnectGuarded(Action(name), [window] {
            window->show();
            window->raise();
            window->activateWindow();
        });
        Action(name)->setEnabled(true);
    }
}

void TAnivorF::createActions()
{
    TFrameStrip& s = m_strip;
    // Animation
    action("New2", "&New", QKeySequence("Ctrl+N"), [&s] { NewAnimationCommand(s); });
    action("Create1", "&Create", {}, [this] { createAnimation(false); });
    action("CreateSelection1", "Create Se&lection", {}, [this] { createAnimation(true); });
    action("Open2", "&Open...", {}, [this] {
        if (const auto opened = OpenCommand(m_strip, m_loaded.OpenDir))
            AddRecentFile(*opened);
    });
    action("SaveAs1", "Save &As...", {}, [this] { saveAnimation(); });
    action("Stop1", "Stop", QKeySequence("F2"), [this] { stopAnimation(); });
    // Frame
    action("Delete2", "&Delete", QKeySequence("Ctrl+F3"), [&s] { DeleteCommand(s); });
    action("Edit1", "&Edit", QKeySequence("F4"));
    action("New1", "&New", QKeySequence("F3"), [&s] { NewFrameCommand(s); });
    action("Arrange1", "&Arrange", QKeySequence("F5"), [&s] { ArrangeCommand(s); });
    // Image: the pixel operations come with the effects library.
    action("Blur2", "&Blur", QKeySequence("F9"));
    action("FlipLeftRight2", "Flip Left Right", QKeySequence("F10"));
    action("FlipTopDown1", "Flip Top Down", QKeySequence("Shift+F10"));
    action("Right8", "Right");
    action("Down3", "Down");
    action("Up1", "&Up", QKeySequence("Ctrl+Alt+U"));
    action("Down1", "&Down", QKeySequence("Ctrl+Alt+D"));
    action("Left1", "&Left", QKeySequence("Ctrl+Alt+L"));
    action("Right1", "&Right", QKeySequence("Ctrl+Alt+R"));
    action("Duplicate1", "&Duplicate", QKeySequence("Ctrl+D"), [&s] { DuplicateCommand(s); });
    action("Invert1", "&Invert", QKeySequence("Ctrl+I"));
    // Options
    action("FrameDelay1", "Frame Delay...", {}, [&s] { FrameDelayCommand(s); });
    action("SetFrames1", "Set Frames...", {}, [&s] { SetFramesCommand(s); });
    action("SetLoops1", "Set &Loops...", {}, [&s] { SetLoopsCommand(s); });
    QAction* defTrans = action("DefTrans", "Default Transparent", {}, [this] {
        DefaultTransparentCommand(m_strip);
        Action("DefTrans")->setChecked(m_strip.Session.DefTrans);
    });
    // The check mark shows the strip's flag; the handler keeps them equal.
    defTrans->setCheckable(true);
    action("RotationAngle2", "Rotation Angle...", {}, [&s] { RotationAngleCommand(s); });
    action("TextWizardFont1", "&Font...", {}, [&s] { TextWizardFontCommand(s); });
    action("TextWizardText1", "&Text...", {}, [this] { textWizardText(); });
    action("TextWizardColor1", "&Color...", {}, [&s] { TextWizardColorCommand(s); });
    action("AccentColor1", "&Accent Color...", {}, [&s] { AccentColorCommand(s); });
    // Tools: the explorer and converters are windows of their own, built later.
    action("GIFExplorer1", "&GIF Explorer", {}, [this] { showGIFExplorer(); });
    action("AVItoGIFconverter1", "AVI to GIF converter");
    action("GIFtoAVIconverter1", "GIF to AVI converter");
    // Help
    action("Contents1", "&Contents", QKeySequence("F1"), [this] { showHelpContents(); });
    action("About1", "&About", {}, [this] { showAbout(); });
    action("WebSite1", "&WebSite", {}, [this] { openWebSite(); });
    // The frame popup.
    action("Optimize1", "&Optimize", {}, [this] { optimizeFrame(); });
    QAction* transparent = action("Transparent1", "Transparent", {}, [this] {
        TransparentCommand(m_strip, m_popupFrame);
        if (m_popupFrame >= 0 && m_popupFrame < m_strip.Count())
            Action("Transparent1")->setChecked(m_strip.IsTransparent(m_popupFrame));
    });
    transparent->setCheckable(true);
    action("Backgrounds1", "Backgrounds...", {}, [this] { backgroundsFrame(); });
    action("Effect1", "&Effects...", {}, [this] { effectFrame(); });
    action("MarkTextPosition1", "Mark Position", {}, [this] {
        if (m_popupOnImage && m_popupFrame >= 0)
            MarkPositionCommand(m_strip, TPoint(m_popupImagePos.x(), m_popupImagePos.y()));
    });
    action("SaveAs2", "Save As...", {}, [this] { SaveFrameAsCommand(m_strip, popupFrame()); });
    // The file list popup: importing comes with the file panel.
    action("Add1", "&Add", {}, [this] { importSelectedFile(); });
    // The list popup no control shows; its commands are reached from the menu and toolbar.
    action("Delete1", "&Delete", {}, [&s] { DeleteCommand(s); });
    action("Delay1", "Delay...", {}, [&s] { DelayCommand(s); });
    action("DelayAll1", "Delay All...", {}, [&s] { DelayAllCommand(s); });
    // The toolbar's frame effects.
    action("FlipLeftRight1", "Flip Left-Right");
    action("FlipUpDown1", "Flip Up-Down");
    action("Rotate1", "Rotate");
    action("Trace2", "Trace");
    action("UpLeft2", "Up Left");
    action("UpRight1", "Up Right");
    action("DownLeft2", "Down Left");
    action("DownRight2", "Down Right");
    action("N50Opaque1", "50% Opaque");
    action("N25Opaque1", "25% Opaque");
    // The Image menu and the frame effects act on the selected frame.
    for (const TFrameOperation& op : FrameOperations()) {
        QAction* a = Action(op.Item);
        ConnectGuarded(a, [this, apply = op.Apply] {
            WaitCursor wait;
            apply(m_strip, m_strip.ItemIndex());
        });
        a->setEnabled(true);
    }
    createDesktopActions();
}

void TAnivorF::showGIFExplorer()
{
    if (!m_explorer)
        return;
    m_explorer->show();
    m_explorer->raise();
    m_explorer->activateWindow();
}

void TAnivorF::createMenus()
{
    QMenuBar* bar = menuBar();
    auto menu = [&](const char* name, const char* caption) {
        QMenu* m = bar->addMenu(QString::fromUtf8(caption));
        m->setObjectName(QString(name) + "Menu");
        m->menuAction()->setObjectName(name);
        return m;
    };
    auto add = [&](QMenu* m, std::initializer_list<const char*> names) {
        for (const char* n : names) {
            if (*n == '-')
                m->addSeparator();
            else
                m->addAction(Action(n));
        }
    };

    QMenu* animation = menu("Animation", "&Animation");
    add(animation, {"New2", "Create1", "CreateSelection1", "Open2"});
    m_recentMenu = subMenu(animation, "Recent1", "&Recent");
    add(animation, {"SaveAs1", "Stop1"});

    QMenu* frame = menu("mnuFrame", "&Frame");
    add(frame, {"Undo1", "Redo1", "-", "Delete2", "Edit1", "New1", "Arrange1"});

    QMenu* image = menu("Image1", "&Image");
    add(image, {"Blur2", "FlipLeftRight2", "FlipTopDown1"});
    QMenu* mirror = subMenu(image, "Mirror1", "Mirror");
    add(mirror, {"Right8", "Down3"});
    QMenu* scroll = subMenu(image, "Scroll1", "&Scroll");
    add(scroll, {"Up1", "Down1", "Left1", "Right1"});
    add(image, {"Duplicate1", "Invert1"});

    QMenu* options = menu("Options1", "&Options");
    add(options, {"FrameDelay1", "SetFrames1", "SetLoops1", "DefTrans", "RotationAngle2"});
    QMenu* textWizard = subMenu(options, "TextWizard1", "&Text Wizard");
    add(textWizard, {"TextWizardFont1", "TextWizardText1", "TextWizardColor1", "AccentColor1"});

    QMenu* tools = menu("Tools1", "&Tools");
    add(tools, {"GIFExplorer1", "AVItoGIFconverter1", "GIFtoAVIconverter1"});

    QMenu* help = menu("Help1", "&Help");
    add(help, {"Contents1", "About1", "WebSite1"});

    framepop = new QMenu(this);
    framepop->setObjectName("framepop");
    add(framepop, {"Optimize1", "-", "Transparent1", "Backgrounds1", "Effect1", "-", "MarkTextPosition1", "-", "SaveAs2"});

    filespop = new QMenu(this);
    filespop->setObjectName("filespop");
    add(filespop, {"Add1"});

    Listpop = new QMenu(this);
    Listpop->setObjectName("Listpop");
    add(Listpop, {"Delete1", "-", "Delay1", "DelayAll1"});

    frameeffectpop = new QMenu(this);
    frameeffectpop->setObjectName("frameeffectpop");
    add(frameeffectpop, {"FlipLeftRight1", "FlipUpDown1", "Rotate1", "Trace2"});
    QMenu* shadow = subMenu(frameeffectpop, "Shadow2", "Shadow");
    add(shadow, {"UpLeft2", "UpRight1", "DownLeft2", "DownRight2"});
    QMenu* overlay = subMenu(frameeffectpop, "Overlay1", "Overlay");
    add(overlay, {"N50Opaque1", "N25Opaque1"});

    // The wizard menu is filled from the wizard engine's menu data.
    wizpop = new QMenu(this);
    wizpop->setObjectName("wizpop");
    createWizardMenu();
}

void TAnivorF::createToolBar()
{
    ToolBar1 = addToolBar("ToolBar1");
    ToolBar1->setObjectName("ToolBar1");
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setIconSize(QSize(20, 20));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    ToolBar1->toggleViewAction()->setEnabled(false);

    // A button that clicks a menu item: same command, own name, hint and glyph.
    auto button = [&](const char* name, const char* hint, const char* target) {
        QAction* item = Action(target);
        auto* a = new QAction(ToolbarIcon(name), QString::fromUtf8(hint), this);
        a->setObjectName(name);
        a->setToolTip(QString::fromUtf8(hint));
        a->setStatusTip(QString::fromUtf8(hint));
        a->setEnabled(item->isEnabled());
        connect(a, &QAction::triggered, item, &QAction::trigger);
        connect(item, &QAction::enabledChanged, a, &QAction::setEnabled);
        ToolBar1->addAction(a);
        return a;
    };
    auto dropDown = [&](const char* name, const char* hint, QMenu* menu, bool enabled) {
        auto* a = new QAction(ToolbarIcon(name), QString::fromUtf8(hint), this);
        a->setObjectName(name);
        a->setToolTip(QString::fromUtf8(hint));
        a->setMenu(menu);
        a->setEnabled(enabled);
        ToolBar1->addAction(a);
        if (auto* tb = qobject_cast<QToolButton*>(ToolBar1->widgetForAction(a)))
            tb->setPopupMode(QToolButton::InstantPopup);
        return a;
    };

    ToolBar1->addSeparator();
    button("btnnew", "New Animation", "New2");
    ToolBar1->addSeparator();
    button("btnopen", "Open Existing GIF", "Open2");
    // The save button shows its caption ("GIF", later "BMP") instead of a glyph.
    auto* save = new QAction("GIF", this);
    save->setObjectName("btnsaveani");
    save->setToolTip("Save");
    save->setEnabled(false);
    connect(save, &QAction::triggered, Action("SaveAs1"), &QAction::trigger);
    ToolBar1->addAction(save);
    if (QWidget* w = ToolBar1->widgetForAction(save))
        w->setMinimumWidth(66);
    ToolBar1->addSeparator();
    button("btnnewframe", "New Frame", "New1");
    button("btnedit", "Edit Frame", "Edit1");
    dropDown("ToolButton10", "", frameeffectpop, true)->setToolTip(QString());
    button("btnduplicate", "Duplicate Frame", "Duplicate1");
    button("btndeleteframe", "Delete Frame(s)", "Delete1");
    button("btndelay", "Frame Delay", "Delay1");
    ToolBar1->addSeparator();
    dropDown("btnwizard", "Wizards", wizpop, true);
    button("btnstop", "Stop Animation", "Stop1");
    auto* insert = new QAction(ToolbarIcon("btnwizinsert"), "Insert Wizard Frames", this);
    insert->setObjectName("btnwizinsert");
    insert->setToolTip("Insert Wizard Frames");
    ConnectGuarded(insert, [this] { InsertWizardFramesCommand(m_strip); });
    ToolBar1->addAction(insert);
    button("btnanimate", "Animate", "Create1");
    button("btnanimateselection", "animate Selection", "CreateSelection1");
}

void TAnivorF::createLayout()
{
    auto* central = new QWidget(this);
    central->setObjectName("ClientArea");
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    // The strip above, the list and preview below, a 9-pixel splitter between them.
    auto* vertical = new QSplitter(Qt::Vertical, central);
    vertical->setObjectName("Splitter1");
    vertical->setHandleWidth(9);
    vertical->setChildrenCollapsible(false);
    outer->addWidget(vertical);

    ScrollBoxSource = new TFrameStripView(vertical);
    ScrollBoxSource->setMinimumHeight(3);
    vertical->addWidget(ScrollBoxSource);

    auto* lower = new QSplitter(Qt::Horizontal, vertical);
    lower->setObjectName("Splitter2");
    lower->setHandleWidth(9);
    lower->setChildrenCollapsible(false);
    vertical->addWidget(lower);
    vertical->setStretchFactor(0, 0);
    vertical->setStretchFactor(1, 1);
    // The strip starts 123 pixels high; the splitter resizes it.
    vertical->setSizes({123, kDesignedHeight - 123});

    TabBar = new TqorTabBar(lower);
    TabBar->setObjectName("TabBar");
    TabBar->setMinimumWidth(60);
    TabBar->SetTabHeight(20);
    FramesSection = new TqorTabSection(TabBar, "Frames");
    FramesSection->setObjectName("FramesSection");
    List = new TFrameListBox;
    FramesSection->setWidget(List);
    FilesSection = new TqorTabSection(TabBar, "Files");
    FilesSection->setObjectName("FilesSection");
    FilePanel = new TFilePanel;
    FilesSection->setWidget(FilePanel);
    FilePanel->Files->setContextMenuPolicy(Qt::CustomContextMenu);
    // "Frames" is the section shown at start.
    TabBar->SetActiveSection(FramesSection);
    lower->addWidget(TabBar);

    auto* preview = new QWidget(lower);
    preview->setObjectName("PreviewPanel");
    auto* pv = new QVBoxLayout(preview);
    pv->setContentsMargins(4, 2, 4, 2);
    auto* top = new QHBoxLayout;
    CheckBoxMerge = new QCheckBox("Merge", preview);
    CheckBoxMerge->setObjectName("CheckBoxMerge");
    CheckBoxCrop = new QCheckBox("Crop", preview);
    CheckBoxCrop->setObjectName("CheckBoxCrop");
    anisize = new QLabel("0", preview);
    anisize->setObjectName("anisize");
    top->addWidget(CheckBoxMerge);
    top->addWidget(CheckBoxCrop);
    top->addSpacing(12);
    top->addWidget(anisize);
    top->addStretch();
    AssemblyProgress = new QProgressBar(preview);
    AssemblyProgress->setObjectName("AssemblyProgress");
    AssemblyProgress->setRange(0, 100);
    AssemblyProgress->setMaximumWidth(120);
    AssemblyProgress->setVisible(false);
    top->addWidget(AssemblyProgress);
    pv->addLayout(top);
    ImageAnimate = new TImageControl(preview);
    ImageAnimate->setObjectName("ImageAnimate");
    ImageAnimate->setToolTip("Animated GIF\npreview window");
    ImageAnimate->setMinimumSize(20, 20);
    pv->addWidget(ImageAnimate, 1);
    lower->addWidget(preview);
    lower->setStretchFactor(0, 0);
    lower->setStretchFactor(1, 1);
    lower->setSizes({163, kDesignedWidth - 163 - 9});

    setCentralWidget(central);
}

void TAnivorF::wireViews()
{
    m_source = std::make_unique<TStripViewSource>(m_strip);
    List->SetSource(m_source.get());
    ScrollBoxSource->SetSource(m_source.get());
    m_observerId = m_strip.Subscribe([this](TStripChange c) { stripChanged(c); });

    // The file list: its popup and a double-click import the selected file.
    connect(FilePanel->Files, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { filespop->popup(FilePanel->Files->viewport()->mapToGlobal(pos)); });
    connect(FilePanel->Files, &TqorFileListBox::DoubleClicked, this, [this] { RunGuarded([this] { importSelectedFile(); }); });
    PainterReduceF = new TPainterReduceF(this);

    connect(List, &TFrameListBox::ItemPressed, this, [this](int i, Qt::KeyboardModifiers m) {
        RunGuarded([&] { listPressed(i, m); });
    });
    connect(List, &TFrameListBox::ItemDropped, this, [this](int from, int to) {
        RunGuarded([&] {
            if (m_strip.ItemIndex() >= 0)
                m_strip.MoveFrame(from, to);
        });
    });
    connect(List, &TFrameListBox::ItemDoubleClicked, this, [this](int) { Action("Edit1")->trigger(); });
    connect(List, &TFrameListBox::PopupRequested, this, [this](const QPoint& global) {
        RunGuarded([&] {
            PreparePopup(m_strip.ItemIndex(), false, global);
            showFramePopup(global);
        });
    });
    connect(ScrollBoxSource, &TFrameStripView::FrameMouseDown, this, [this](const QString& name) {
        RunGuarded([&] { frameMouseDown(name); });
    });
    connect(ScrollBoxSource, &TFrameStripView::FrameDoubleClicked, this, [this](const QString& name) {
        RunGuarded([&] { frameMouseDown(name); });
        Action("Edit1")->trigger();
    });
    connect(ScrollBoxSource, &TFrameStripView::FramePopupRequested, this,
            [this](const QString& name, const QPoint& global, const QPoint& local) {
                RunGuarded([&] {
                    PreparePopup(m_strip.IndexOfName(name.toStdString()), true, global, local);
                    showFramePopup(global);
                });
            });
    wireDesktop();
}

void TAnivorF::stripChanged(TStripChange change)
{
    // What one event changed becomes one undo step once the event is over.
    if (change != TStripChange::Selection && !m_recordPending) {
        m_recordPending = true;
        Action("Undo1")->setEnabled(true);
        QTimer::singleShot(0, this, [this] { RunGuarded([this] { RecordStripChange(); }); });
    }
    if (change != TStripChange::Selection) {
        List->Refresh();
        ScrollBoxSource->Refresh();
    } else {
        List->viewport()->update();
    }
    if (m_strip.Empty())
        ScrollBoxSource->ResetPointer();
    else if (change != TStripChange::Pixels)
        listClick();
}

void TAnivorF::listPressed(int i, Qt::KeyboardModifiers modifiers)
{
    if (i < 0 || i >= m_strip.Count())
        return;
    // Ctrl adds or removes one entry, Shift selects from the last plain or Ctrl click.
    if (m_anchor < 0 || m_anchor >= m_strip.Count())
        m_anchor = m_strip.ItemIndex() >= 0 ? m_strip.ItemIndex() : i;
    m_strip.BeginUpdate();
    if (modifiers & Qt::ControlModifier) {
        m_strip.SetSelected(i, !m_strip.IsSelected(i));
        m_strip.SetItemIndex(i);
        m_anchor = i;
    } else if (modifiers & Qt::ShiftModifier) {
        const int a = std::min(i, m_anchor), b = std::max(i, m_anchor);
        m_strip.ClearSelection();
        for (int k = a; k <= b; ++k)
            m_strip.SetSelected(k, true);
        m_strip.SetItemIndex(i);
    } else {
        m_strip.SelectOnly(i);
        m_anchor = i;
    }
    m_strip.EndUpdate();
    listClick();
}

// The frame pointer follows the item index and the strip scrolls to it.
void TAnivorF::listClick()
{
    const int i = m_strip.ItemIndex();
    if (i < 0)
        return;
    ScrollBoxSource->PointAt(i);
    List->ScrollToItem(i);
}

void TAnivorF::frameMouseDown(const QString& name)
{
    const int i = m_strip.IndexOfName(name.toStdString());
    if (i < 0)
        return;
    m_strip.SelectOnly(i);
    listClick();
}

void TAnivorF::PreparePopup(int frame, bool onImage, const QPoint& globalPos, const QPoint& imagePos)
{
    m_popupFrame = frame >= 0 && frame < m_strip.Count() ? frame : -1;
    m_popupOnImage = onImage && m_popupFrame >= 0;
    m_popupImagePos = imagePos;
    Action("Transparent1")->setChecked(m_popupFrame >= 0 && m_strip.IsTransparent(m_popupFrame));
}

void TAnivorF::showFramePopup(const QPoint& globalPos)
{
    framepop->popup(globalPos);
}

void TAnivorF::textWizardText()
{
    if (!m_templates)
        return;
    m_templates->SetText(QString::fromStdString(JoinLines(m_strip.Session.TextWizardText)));
    if (m_templates->exec() == QDialog::Accepted)
        m_strip.Session.TextWizardText = SplitLines(m_templates->Text().toStdString());
}

void TAnivorF::SetDrawWindow(TDrawF* window)
{
    QAction* edit = Action("Edit1");
    if (!m_draw && window)
        ConnectGuarded(edit, [this] { editFrame(); });
    m_draw = window;
    edit->setEnabled(window != nullptr);
}

void TAnivorF::editFrame()
{
    const int i = m_strip.ItemIndex();
    if (!m_draw || i < 0)
        return;
    listClick();
    m_draw->EditFrame(m_strip, i);
}

void TAnivorF::showAbout()
{
    UI().MessageDlg("Anivor 13\n\nA studio for animated GIFs: build a strip of frames, let wizards make the "
                    "frames in between, and save the animation as a GIF file.\n\n"
                    "Made by the Anivor developers with Qt, libpng, libjpeg, zlib and FFmpeg.",
                    TMsgDlgType::mtInformation);
}

void TAnivorF::showHelpContents()
{
    ShowHelp("Anivor");
}

void TAnivorF::openWebSite()
{
    if (!OpenUrl(kAnivorWebSite))
        UI().ShowMessage(std::string("No program could open ") + kAnivorWebSite);
}

void TAnivorF::applySettings(const TSettings& s)
{
    FilePanel->SetDirectory(QString::fromStdString(s.FramesDir));
    m_strip.Session.WizardFrameCount = s.WizardFrameCount;
    m_strip.Session.NewFrameWidth = s.NewFrameWidth;
    m_strip.Session.NewFrameHeight = s.NewFrameHeight;
    m_strip.Session.DefaultDelay = s.DefaultDelay;
    MemoryBudget::SetLimit(s.MemoryLimit);
    PainterReduceF->SetKeepFramePalettes(s.KeepFramePalettes);
    if (s.Maximized) {
        resize(s.Width, s.Height);
        setWindowState(windowState() | Qt::WindowMaximized);
    } else {
        // A placement from another screen layout could put the window where no screen
        // shows it: then it opens where it was designed to.
        const QRect stored(s.Left, s.Top, std::clamp(s.Width, 100, 16384), std::clamp(s.Height, 100, 16384));
        bool onScreen = QGuiApplication::screens().isEmpty();
        for (const QScreen* screen : QGuiApplication::screens())
            onScreen = onScreen || screen->availableGeometry().intersects(stored.adjusted(0, 0, 0, -stored.height() + 30));
        if (onScreen) {
            move(stored.topLeft());
            resize(stored.size());
        } else {
            move(m_designed.topLeft());
            resize(m_designed.size());
        }
    }
}

TSettings TAnivorF::CurrentSettings() const
{
    TSettings s = m_loaded;
    s.Maximized = isMaximized();
    if (!s.Maximized) {
        s.Left = x();
        s.Top = y();
        s.Width = width();
        s.Height = height();
    }
    s.WizardFrameCount = m_strip.Session.WizardFrameCount;
    s.NewFrameWidth = m_strip.Session.NewFrameWidth;
    s.NewFrameHeight = m_strip.Session.NewFrameHeight;
    s.DefaultDelay = m_strip.Session.DefaultDelay;
    s.KeepFramePalettes = PainterReduceF->KeepFramePalettes();
    if (!FilePanel->Directory().isEmpty())
        s.FramesDir = FilePanel->Directory().toStdString();
    return s;
}

void TAnivorF::closeEvent(QCloseEvent* event)
{
    // A wizard run is processing events: end it first, close when it has returned.
    if (m_wizardRunning) {
        m_wizardStop = true;
        m_closeAfterRun = true;
        event->ignore();
        return;
    }
    // FormClose: the preview lets go of its picture, which stops a running animation.
    ImageAnimate->Clear();
    QMainWindow::closeEvent(event);
}

void TAnivorF::FormDestroy()
{
    if (m_destroyed)
        return;
    m_destroyed = true;
    RunGuarded([this] { SaveSettings(m_settingsFile, CurrentSettings()); });
}

void TAnivorF::createAnimation(bool selectionOnly)
{
    const int frames = selectionOnly ? m_strip.SelectedCount() : m_strip.Count();
    if (frames == 0)
        return;
    showAssembly(frames, [&](const TAssemblyOptions& o, const TAssemblyView& v) {
        return CreateAnimation(m_strip, selectionOnly, o, v);
    });
}

void TAnivorF::PreviewWizardFrames()
{
    RunGuarded([this] {
        const int frames = static_cast<int>(m_strip.WizardImages().size());
        showAssembly(frames, [&](const TAssemblyOptions& o, const TAssemblyView& v) {
            return ::PreviewWizardFrames(m_strip, o, v);
        });
    });
}

void TAnivorF::showAssembly(int frames,
                            const std::function<TAssemblyResult(const TAssemblyOptions&, const TAssemblyView&)>& build)
{
    TAssemblyOptions options;
    options.Reduction = PainterReduceF->Settings();
    options.Merge = CheckBoxMerge->isChecked();
    options.Crop = CheckBoxCrop->isChecked();
    options.FramePalettes = PainterReduceF->KeepFramePalettes();
    int shown = 0;
    TAssemblyView view;
    // Each reduced frame is shown at once, so the user sees the animation being built.
    // Only these two widgets repaint: no other events run while the strip is being read.
    view.ShowFrame = [&](const TBitmap& frame) {
        ImageAnimate->ShowBitmap(frame, true);
        AssemblyProgress->setValue(frames > 0 ? shown * 100 / frames : 0);
        AssemblyProgress->repaint();
        ++shown;
    };
    AssemblyProgress->setValue(0);
    AssemblyProgress->setVisible(true);
    TAssemblyResult result = build(options, view);
    AssemblyProgress->setVisible(false);
    // Stop shows the last frame built, also of a build that failed part way.
    if (!result.LastFrame.Empty()) {
        m_lastAssembled = std::move(result.LastFrame);
        if (m_previewState == TPreviewState::Stopped)
            m_stoppedPicture = m_lastAssembled; // what the preview now shows
    }
    if (result.Size >= 0)
        anisize->setText(QString::number(result.Size));
    if (!result.Succeeded())
        std::rethrow_exception(result.Error);
    m_animation = result.Document;
    ImageAnimate->ShowDocument(*m_animation);
    setPreviewState(TPreviewState::Animation);
}

void TAnivorF::stopAnimation()
{
    m_stoppedPicture = m_lastAssembled;
    ImageAnimate->ShowBitmap(m_stoppedPicture);
    setPreviewState(TPreviewState::Stopped);
}

void TAnivorF::setPreviewState(TPreviewState state)
{
    m_previewState = state;
    const TPreviewCommands c = PreviewCommands(state);
    Action("SaveAs1")->setText(QString::fromUtf8(c.SaveCaption));
    Action("SaveAs1")->setEnabled(c.SaveEnabled);
    Action("btnsaveani")->setText(QString::fromUtf8(c.ButtonCaption));
    Action("btnsaveani")->setEnabled(c.SaveEnabled);
    Action("Stop1")->setEnabled(c.StopEnabled);
    Action("btnstop")->setEnabled(c.StopEnabled);
}

void TAnivorF::saveAnimation()
{
    if (m_previewState == TPreviewState::Nothing)
        return;
    const auto path = UI().SaveFile(PreviewSaveDialog(m_previewState, saveFolder()));
    if (!path)
        return;
    WaitCursor wait;
    // The animation last created, the very bytes `anisize` measured; a failed Create since
    // has shown its frames in the preview but left this one to save.
    SavePreview(*path, m_previewState, m_animation.get(), m_stoppedPicture);
    // The next save starts where this one went.
    m_loaded.SaveDir = std::filesystem::path(*path).parent_path().string();
    if (m_previewState == TPreviewState::Animation)
        AddRecentFile(*path);
}

void TAnivorF::importSelectedFile()
{
    const QString file = FilePanel->Files->FileName();
    if (file.isEmpty())
        return;
    WaitCursor wait;
    ImportImageFile(m_strip, file.toStdString());
}

void TAnivorF::optimizeFrame()
{
    int frame = m_popupFrame;
    if (!m_popupOnImage)
        frame = m_strip.ItemIndex();
    if (frame < 0 || frame >= m_strip.Count())
        return;
    PainterReduceF->SetBitmap(m_strip.FindFrameImage(frame).Bitmap());
    PainterReduceF->exec();
}

void TAnivorF::SetPainterEffectsWindow(TPainterEffectsF* window)
{
    PainterEffectsF = window;
    if (!window)
        return;
    // "Add" and the series append to the strip; a series is as long as Set Frames says.
    window->Model().OnAppend = [this](const TBitmap& picture) { m_strip.Append(picture); };
    window->Model().SeriesLength = [this] { return m_strip.Session.WizardFrameCount; };
}

int TAnivorF::popupFrame() const
{
    const int frame = m_popupOnImage ? m_popupFrame : m_strip.ItemIndex();
    return frame >= 0 && frame < m_strip.Count() ? frame : -1;
}

void TAnivorF::effectFrame()
{
    const int frame = popupFrame();
    if (frame < 0 || !PainterEffectsF)
        return;
    // "Add" may append frames while the window is open: the frame is found again by name.
    const std::string name = m_strip.FindFrameImage(frame).Name;
    if (!PainterEffectsF->Execute(m_strip.FindFrameImage(frame).Bitmap()))
        return;
    ReplaceFrameBitmap(m_strip, m_strip.IndexOfName(name), PainterEffectsF->Model().Image());
}

void TAnivorF::backgroundsFrame()
{
    const int frame = popupFrame();
    if (frame < 0 || !PainterQBF)
        return;
    const TBitmap& bitmap = m_strip.FindFrameImage(frame).Bitmap();
    if (bitmap.Width() == 0 || bitmap.Height() == 0) {
        UI().ShowMessage(" empty bitmap");
        return;
    }
    if (PainterQBF->Execute(bitmap))
        ReplaceFrameBitmap(m_strip, frame, PainterQBF->Model().Image());
}
