#include "AnivorForm.h"

#include "StripViewSource.h"
#include "ToolbarIcons.h"

#include "editor/ui/DrawForm.h"
#include "graphics/MemoryBudget.h"
#include "platform/ui/CommandActions.h"
#include "platform/CommandGuard.h"
#include "platform/ui/HelpViewer.h"
#include "platform/ui/WindowPlacement.h"
#include "platform/Ui.h"
#include "tools/ui/GIFExplorerForm.h"
#include "widgets/ExportForm.h"
#include "widgets/FileListBox.h"
#include "widgets/FrameViews.h"
#include "widgets/ImageControl.h"
#include "widgets/PainterReduceForm.h"
#include "widgets/TabBar.h"
#include "widgets/TemplatesForm.h"
#include "effects/ui/PainterEffectsForm.h"
#include "effects/ui/PainterQBForm.h"
#include "workspace/AnimationExport.h"
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
    m_project = std::make_unique<TProjectSession>(
        m_strip, [this] { return assemblyOptions(); },
        [this](const TAssemblyOptions& o) {
            PainterReduceF->SetSettings(o.Reduction);
            PainterReduceF->SetKeepFramePalettes(o.FramePalettes);
            CheckBoxMerge->setChecked(o.Merge);
            CheckBoxCrop->setChecked(o.Crop);
        });

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
    // A strip with unsaved changes is copied to the recovery folder every few seconds.
    m_project->SetRecoveryFile(RecoveryFileOfThisRun(RecoveryFolder(m_appDir)));
    m_autosaveTimer = new QTimer(this);
    connect(m_autosaveTimer, &QTimer::timeout, this, [this] { RunGuarded([this] { m_project->AutosaveTick(); }); });
    if (AutosaveInterval() > 0)
        m_autosaveTimer->start(AutosaveInterval());
    if (!problem.Empty())
        UI().MessageDlg(problem.Message, TMsgDlgType::mtWarning);
}

TAnivorF::~TAnivorF()
{
    m_strip.Unsubscribe(m_observerId);
}

QAction* TAnivorF::Action(const QString& id) const
{
    return m_actions->Action(id.toStdString());
}

void TAnivorF::UpdateCommands()
{
    if (m_actions)
        m_actions->Update();
    if (m_project)
        setWindowTitle(QString::fromStdString(m_project->Title()));
}

int TAnivorF::AutosaveInterval() const
{
    return m_loaded.AutosaveSeconds * 1000;
}

void TAnivorF::OfferRecovery()
{
    RunGuarded([this] {
        if (m_project->OfferRecovery(RecoveryFolder(m_appDir)))
            m_history->Reset();
        UpdateCommands();
    });
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
    m_avi2gif = avi2gif;
    m_gif2avi = gif2avi;
    UpdateCommands();
}

namespace {

// The frame operation of that name, exactly as the workspace names it.
const TFrameOperation& frameOperation(const std::string& name)
{
    if (const TFrameOperation* op = FindFrameOperation(name))
        return *op;
    throw std::logic_error("No frame operation \"" + name + "\"");
}

} // namespace

void TAnivorF::addFrameOperation(const char* id, const char* caption, const char* shortcut, const char* operation)
{
    m_commands.Add({.Id = id,
                    .Caption = caption,
                    .Shortcut = shortcut,
                    .Handler = [this, apply = frameOperation(operation).Apply] {
                        WaitCursor wait;
                        apply(m_strip, m_strip.ItemIndex());
                    },
                    .UndoName = operation});
}

void TAnivorF::createActions()
{
    TFrameStrip& s = m_strip;
    TCommandTable& t = m_commands;
    // Animation
    t.Add({.Id = "animation.new", .Caption = "&New", .Shortcut = "Ctrl+N", .Hint = "New Animation",
           .Handler = [this] { newAnimation(); }, .UndoName = "New Animation"});
    t.Add({.Id = "animation.create", .Caption = "&Create", .Hint = "Animate", .Handler = [this] { createAnimation(false); }});
    t.Add({.Id = "animation.create-selection", .Caption = "Create Se&lection", .Hint = "animate Selection",
           .Handler = [this] { createAnimation(true); }});
    t.Add({.Id = "animation.open", .Caption = "&Open...", .Hint = "Open Existing GIF", .Handler = [this] {
               if (!m_project->ConfirmDiscard())
                   return;
               if (const auto opened = OpenCommand(m_strip, m_loaded.OpenDir)) {
                   m_project->MarkSaved({}, *opened);
                   AddRecentFile(*opened);
               }
           }});
    t.Add({.Id = "animation.open-project", .Caption = "Open &Project...", .Shortcut = "Ctrl+O", .Hint = "Open Project",
           .Handler = [this] {
               if (const auto opened = m_project->OpenProjectCommand(m_loaded.OpenDir)) {
                   m_loaded.OpenDir = std::filesystem::path(*opened).parent_path().string();
                   AddRecentFile(*opened);
               }
           }});
    t.Add({.Id = "animation.save-project", .Caption = "Save Pro&ject", .Shortcut = "Ctrl+S", .Hint = "Save Project",
           .Handler = [this] { saveProject(false); }});
    t.Add({.Id = "animation.save-project-as", .Caption = "Save Project As...", .Shortcut = "Ctrl+Shift+S",
           .Handler = [this] { saveProject(true); }});
    // The menu item and the toolbar button ("GIF", "BMP") follow what the preview shows.
    t.Add({.Id = "animation.save", .Caption = "Save &As...", .Hint = "Save",
           .Enabled = [this] { return PreviewCommands(m_previewState).SaveEnabled; },
           .Handler = [this] { saveAnimation(); },
           .CaptionRule = [this] { return std::string(PreviewCommands(m_previewState).SaveCaption); },
           .ButtonText = [this] { return std::string(PreviewCommands(m_previewState).ButtonCaption); }});
    t.Add({.Id = "animation.export", .Caption = "&Export...", .Hint = "Export as APNG, WebP, video, PNG sequence or sprite sheet",
           .Enabled = [this] { return !m_strip.Empty(); }, .Handler = [this] {
               std::string dir = saveFolder();
               if (ExportAnimationCommand(ExportAnimationOf(m_strip.Document()), dir, this))
                   m_loaded.SaveDir = dir;
           }});
    t.Add({.Id = "animation.stop", .Caption = "Stop", .Shortcut = "F2", .Hint = "Stop Animation",
           .Enabled = [this] { return PreviewCommands(m_previewState).StopEnabled; },
           .Handler = [this] { stopAnimation(); }});
    // Closing asks about unsaved work as the close box does.
    t.Add({.Id = "animation.exit", .Caption = "E&xit", .Shortcut = "Ctrl+Q", .Handler = [this] { close(); }});
    // Frame; Delete and Delay are also the list popup's and the toolbar's.
    t.Add({.Id = "frame.delete", .Caption = "&Delete", .Shortcut = "Ctrl+F3", .Hint = "Delete Frame(s)",
           .Handler = [&s] { DeleteCommand(s); }});
    t.Add({.Id = "frame.edit", .Caption = "&Edit", .Shortcut = "F4", .Hint = "Edit Frame",
           .Enabled = [this] { return m_draw != nullptr; }, .Handler = [this] { editFrame(); }, .UndoName = "Update Frame"});
    t.Add({.Id = "frame.new", .Caption = "&New", .Shortcut = "F3", .Hint = "New Frame",
           .Handler = [&s] { NewFrameCommand(s); }, .UndoName = "New Frame"});
    t.Add({.Id = "frame.arrange", .Caption = "&Arrange", .Shortcut = "F5", .Handler = [&s] { ArrangeCommand(s); }});
    t.Add({.Id = "frame.delay", .Caption = "Delay...", .Hint = "Frame Delay", .Handler = [&s] { DelayCommand(s); }});
    t.Add({.Id = "frame.delay-all", .Caption = "Delay All...", .Handler = [&s] { DelayAllCommand(s); }});
    // Image: frame operations on the selected frame.
    addFrameOperation("image.blur", "&Blur", "F9", "Blur");
    addFrameOperation("image.flip-left-right", "Flip Left Right", "F10", "Flip Left Right");
    addFrameOperation("image.flip-top-down", "Flip Top Down", "Shift+F10", "Flip Top Down");
    addFrameOperation("image.mirror-right", "Right", "", "Mirror Right");
    addFrameOperation("image.mirror-down", "Down", "", "Mirror Down");
    addFrameOperation("image.scroll-up", "&Up", "Ctrl+Alt+U", "Scroll Up");
    addFrameOperation("image.scroll-down", "&Down", "Ctrl+Alt+D", "Scroll Down");
    addFrameOperation("image.scroll-left", "&Left", "Ctrl+Alt+L", "Scroll Left");
    addFrameOperation("image.scroll-right", "&Right", "Ctrl+Alt+R", "Scroll Right");
    t.Add({.Id = "image.duplicate", .Caption = "&Duplicate", .Shortcut = "Ctrl+D", .Hint = "Duplicate Frame",
           .Handler = [&s] { DuplicateCommand(s); }});
    addFrameOperation("image.invert", "&Invert", "Ctrl+I", "Invert");
    // Options
    t.Add({.Id = "options.frame-delay", .Caption = "Frame Delay...", .Handler = [&s] { FrameDelayCommand(s); }});
    t.Add({.Id = "options.set-frames", .Caption = "Set Frames...", .Handler = [&s] { SetFramesCommand(s); }});
    t.Add({.Id = "options.set-loops", .Caption = "Set &Loops...", .Handler = [&s] { SetLoopsCommand(s); }});
    t.Add({.Id = "options.default-transparent", .Caption = "Default Transparent",
           .Checked = [&s] { return s.Session.DefTrans; }, .Handler = [&s] { DefaultTransparentCommand(s); }});
    t.Add({.Id = "options.rotation-angle", .Caption = "Rotation Angle...", .Handler = [&s] { RotationAngleCommand(s); }});
    t.Add({.Id = "options.text-wizard-font", .Caption = "&Font...", .Handler = [&s] { TextWizardFontCommand(s); }});
    t.Add({.Id = "options.text-wizard-text", .Caption = "&Text...", .Handler = [this] { textWizardText(); }});
    t.Add({.Id = "options.text-wizard-color", .Caption = "&Color...", .Handler = [&s] { TextWizardColorCommand(s); }});
    t.Add({.Id = "options.accent-color", .Caption = "&Accent Color...", .Handler = [&s] { AccentColorCommand(s); }});
    // Tools: the explorer and the converters are windows of their own, set at start-up.
    t.Add({.Id = "tools.gif-explorer", .Caption = "&GIF Explorer", .Handler = [this] { showGIFExplorer(); }});
    t.Add({.Id = "tools.avi-to-gif", .Caption = "AVI to GIF converter", .Enabled = [this] { return m_avi2gif != nullptr; },
           .Handler = [this] { showInFront(m_avi2gif); }});
    t.Add({.Id = "tools.gif-to-avi", .Caption = "GIF to AVI converter", .Enabled = [this] { return m_gif2avi != nullptr; },
           .Handler = [this] { showInFront(m_gif2avi); }});
    // Help
    t.Add({.Id = "help.contents", .Caption = "&Contents", .Shortcut = "F1", .Handler = [this] { showHelpContents(); }});
    t.Add({.Id = "help.about", .Caption = "&About", .Handler = [this] { showAbout(); }});
    t.Add({.Id = "help.website", .Caption = "&WebSite", .Handler = [this] { openWebSite(); }});
    // The frame popup: its commands act on the frame it opened on.
    t.Add({.Id = "popup.optimize", .Caption = "&Optimize", .Handler = [this] { optimizeFrame(); }});
    t.Add({.Id = "popup.transparent", .Caption = "Transparent",
           .Checked = [this] { return m_popupFrame >= 0 && m_popupFrame < m_strip.Count() && m_strip.IsTransparent(m_popupFrame); },
           .Handler = [this] { TransparentCommand(m_strip, m_popupFrame); }});
    t.Add({.Id = "popup.backgrounds", .Caption = "Backgrounds...", .Handler = [this] { backgroundsFrame(); }});
    t.Add({.Id = "popup.effects", .Caption = "&Effects...", .Handler = [this] { effectFrame(); }});
    t.Add({.Id = "popup.mark-position", .Caption = "Mark Position", .Handler = [this] {
               if (m_popupOnImage && m_popupFrame >= 0)
                   MarkPositionCommand(m_strip, TPoint(m_popupImagePos.x(), m_popupImagePos.y()));
           }});
    t.Add({.Id = "popup.save-as", .Caption = "Save As...", .Handler = [this] {
               // The dialog starts in the Save folder, and the next one where this one saved.
               if (const std::string saved = SaveFrameAsCommand(m_strip, popupFrame(), frameSaveFolder()); !saved.empty())
                   m_loaded.SaveDir = std::filesystem::path(saved).parent_path().string();
           }, .UndoName = "Save Frame As"});
    // The file list popup.
    t.Add({.Id = "files.add", .Caption = "&Add", .Handler = [this] { importSelectedFile(); }});
    // The toolbar's frame effects.
    addFrameOperation("effects.flip-left-right", "Flip Left-Right", "", "Flip Left-Right");
    addFrameOperation("effects.flip-up-down", "Flip Up-Down", "", "Flip Up-Down");
    addFrameOperation("effects.rotate", "Rotate", "", "Rotate");
    addFrameOperation("effects.trace", "Trace", "", "Trace");
    addFrameOperation("effects.shadow-up-left", "Up Left", "", "Shadow Up Left");
    addFrameOperation("effects.shadow-up-right", "Up Right", "", "Shadow Up Right");
    addFrameOperation("effects.shadow-down-left", "Down Left", "", "Shadow Down Left");
    addFrameOperation("effects.shadow-down-right", "Down Right", "", "Shadow Down Right");
    addFrameOperation("effects.overlay-50", "50% Opaque", "", "Overlay 50%");
    addFrameOperation("effects.overlay-25", "25% Opaque", "", "Overlay 25%");
    // The toolbar's own button.
    t.Add({.Id = "wizard.insert", .Caption = "Insert Wizard Frames", .Hint = "Insert Wizard Frames",
           .Handler = [&s] { InsertWizardFramesCommand(s); }});
    createDesktopActions();
    createWizardCommands();

    m_actions = new TCommandActions(this, m_commands, [](const std::string& id) { return ToolbarIcon(QString::fromStdString(id)); });
    m_actions->AfterCommand = [this](const TCommand& c) {
        // A command that changed the strip is its step at once, named after it (its
        // handler has run by now). Changes from elsewhere (the frame editor, the effect
        // windows) are recorded when their event is over.
        if (m_recordPending && c.Id != "frame.undo" && c.Id != "frame.redo")
            RecordStripChange(c.StepName());
    };
    m_actions->AfterUpdate = [this] {
        if (RecentMenu)
            RecentMenu->menuAction()->setEnabled(!m_wizardRunning && !m_loaded.RecentFiles.empty());
    };
}

void TAnivorF::showGIFExplorer()
{
    if (m_explorer)
        showInFront(m_explorer);
}

void TAnivorF::showInFront(QWidget* window)
{
    // The first time centred over this window, clear of the other windows shown.
    PlaceWindowOnce(*window, *this);
    window->show();
    window->raise();
    window->activateWindow();
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
    auto popup = [&](const char* name) {
        auto* m = new QMenu(this);
        m->setObjectName(name);
        return m;
    };
    TCommandActions& c = *m_actions;

    QMenu* animation = menu("Animation", "&Animation");
    c.AddTo(animation, {"animation.new", "animation.create", "animation.create-selection", "animation.open",
                        "animation.open-project"});
    RecentMenu = subMenu(animation, "Recent1", "&Recent");
    c.AddTo(animation, {"animation.save-project", "animation.save-project-as", "-", "animation.save", "animation.export",
                        "animation.stop", "-", "animation.exit"});

    QMenu* frame = menu("mnuFrame", "&Frame");
    c.AddTo(frame, {"frame.undo", "frame.redo", "-", "frame.delete", "frame.edit", "frame.new", "frame.arrange"});

    QMenu* image = menu("Image1", "&Image");
    c.AddTo(image, {"image.blur", "image.flip-left-right", "image.flip-top-down"});
    c.AddTo(subMenu(image, "Mirror1", "Mirror"), {"image.mirror-right", "image.mirror-down"});
    c.AddTo(subMenu(image, "Scroll1", "&Scroll"), {"image.scroll-up", "image.scroll-down", "image.scroll-left", "image.scroll-right"});
    c.AddTo(image, {"image.duplicate", "image.invert"});

    QMenu* options = menu("Options1", "&Options");
    c.AddTo(options, {"options.frame-delay", "options.set-frames", "options.set-loops", "options.default-transparent",
                      "options.rotation-angle"});
    c.AddTo(subMenu(options, "TextWizard1", "&Text Wizard"),
            {"options.text-wizard-font", "options.text-wizard-text", "options.text-wizard-color", "options.accent-color"});

    c.AddTo(menu("Tools1", "&Tools"), {"tools.gif-explorer", "tools.avi-to-gif", "tools.gif-to-avi"});
    c.AddTo(menu("Help1", "&Help"), {"help.contents", "help.about", "help.website"});

    framepop = popup("framepop");
    c.AddTo(framepop, {"popup.optimize", "-", "popup.transparent", "popup.backgrounds", "popup.effects", "-",
                       "popup.mark-position", "-", "popup.save-as"});
    filespop = popup("filespop");
    c.AddTo(filespop, {"files.add"});
    // The list popup no control shows; its commands are reached from the menu and toolbar.
    Listpop = popup("Listpop");
    c.AddTo(Listpop, {"frame.delete", "-", "frame.delay", "frame.delay-all"});

    frameeffectpop = popup("frameeffectpop");
    c.AddTo(frameeffectpop, {"effects.flip-left-right", "effects.flip-up-down", "effects.rotate", "effects.trace"});
    c.AddTo(subMenu(frameeffectpop, "Shadow2", "Shadow"),
            {"effects.shadow-up-left", "effects.shadow-up-right", "effects.shadow-down-left", "effects.shadow-down-right"});
    c.AddTo(subMenu(frameeffectpop, "Overlay1", "Overlay"), {"effects.overlay-50", "effects.overlay-25"});

    // The wizard menu is filled from the wizard engine's menu data.
    wizpop = popup("wizpop");
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

    // A drop-down button: the menu's own item with a glyph and a hint.
    auto dropDown = [&](QMenu* menu, const char* icon, const char* hint) {
        QAction* a = menu->menuAction();
        a->setIcon(ToolbarIcon(icon));
        a->setText(QString::fromUtf8(hint));
        ToolBar1->addAction(a);
        if (auto* tb = qobject_cast<QToolButton*>(ToolBar1->widgetForAction(a)))
            tb->setPopupMode(QToolButton::InstantPopup);
    };
    TCommandActions& c = *m_actions;
    ToolBar1->addSeparator();
    c.AddTo(ToolBar1, {"animation.new", "-", "animation.open", "animation.save", "-", "frame.new", "frame.edit"});
    // The save button shows its text ("GIF", later "BMP") instead of a glyph.
    if (QWidget* w = ToolBar1->widgetForAction(Action("animation.save")))
        w->setMinimumWidth(66);
    dropDown(frameeffectpop, "effects", "");
    c.AddTo(ToolBar1, {"image.duplicate", "frame.delete", "frame.delay", "-"});
    dropDown(wizpop, "wizards", "Wizards");
    c.AddTo(ToolBar1, {"animation.stop", "wizard.insert", "animation.create", "animation.create-selection"});
    // The Wizards glyph follows the mouse over the tool bar and the strip.
    std::vector<QWidget*> watched{ToolBar1};
    for (QToolButton* b : ToolBar1->findChildren<QToolButton*>())
        watched.push_back(b);
    for (QWidget* w : watched) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
    }
}

void TAnivorF::updateWizardGlyph(int mouseX)
{
    QAction* wizards = wizpop->menuAction();
    const QWidget* button = ToolBar1->widgetForAction(wizards);
    if (!button)
        return;
    const QString glyph = QString::fromLatin1(WizardGlyph(mouseX, button->x()));
    if (wizards->property("glyph").toString() == glyph)
        return;
    wizards->setProperty("glyph", glyph);
    wizards->setIcon(ToolbarIcon(glyph));
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
    m_stripSplitter = vertical;
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
    ScrollBoxSource->Canvas()->setMouseTracking(true);
    ScrollBoxSource->Canvas()->installEventFilter(this);

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
    connect(List, &TFrameListBox::ItemDoubleClicked, this, [this](int) { Action("frame.edit")->trigger(); });
    connect(List, &TFrameListBox::PopupRequested, this, [this](const QPoint& global) {
        RunGuarded([&] {
            PreparePopup(m_strip.ItemIndex(), false);
            showFramePopup(global);
        });
    });
    connect(ScrollBoxSource, &TFrameStripView::FrameMouseDown, this, [this](const QString& name) {
        RunGuarded([&] { frameMouseDown(name); });
    });
    connect(ScrollBoxSource, &TFrameStripView::FrameDoubleClicked, this, [this](const QString& name) {
        RunGuarded([&] { frameMouseDown(name); });
        Action("frame.edit")->trigger();
    });
    connect(ScrollBoxSource, &TFrameStripView::FramePopupRequested, this,
            [this](const QString& name, const QPoint& global, const QPoint& local) {
                RunGuarded([&] {
                    PreparePopup(m_strip.IndexOfName(name.toStdString()), true, local);
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
        UpdateCommands();
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
    // The first frames of a strip show whole, with their pointer.
    if (m_stripWasEmpty && !m_strip.Empty())
        fitStripToFrames();
    m_stripWasEmpty = m_strip.Empty();
}

void TAnivorF::fitStripToFrames()
{
    const int need = ScrollBoxSource->HeightToShow(m_strip.FrameHeight());
    const int have = ScrollBoxSource->height();
    if (need <= have || isMaximized() || isFullScreen())
        return;
    // The window grows as far as the screen lets it (moving up when it must); then the list
    // and the preview below give up height down to a minimum. A frame too tall for all that
    // shows as much as fits.
    constexpr int kLowerMinimum = 120;
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const QList<int> sizes = m_stripSplitter->sizes();
    const int lower = sizes.size() > 1 ? sizes[1] : 0;
    const int grow = std::clamp(need - have, 0, std::max(0, area.height() - frameGeometry().height()));
    const int take = std::clamp(need - have - grow, 0, std::max(0, lower - kLowerMinimum));
    if (grow > 0) {
        const int over = frameGeometry().bottom() + grow - area.bottom();
        if (over > 0)
            move(x(), std::max(area.top(), y() - over));
        resize(width(), height() + grow);
    }
    m_stripSplitter->setSizes({have + grow + take, lower - take});
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

void TAnivorF::PreparePopup(int frame, bool onImage, const QPoint& imagePos)
{
    m_popupFrame = frame >= 0 && frame < m_strip.Count() ? frame : -1;
    m_popupOnImage = onImage && m_popupFrame >= 0;
    m_popupImagePos = imagePos;
    UpdateCommands();
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
    m_draw = window;
    UpdateCommands();
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
    // The program's own pages, which go with this very version: the help and the README.
    ShowHelpAndReadme();
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
    // Nothing is discarded without a question; a save that fails keeps the window open.
    bool go = false;
    RunGuarded([&] { go = m_project->ConfirmDiscard(); });
    if (!go) {
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
    // A clean end: the recovery copy is not needed.
    m_autosaveTimer->stop();
    RunGuarded([this] { m_project->RemoveRecoveryFile(); });
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
    const TAssemblyOptions options = assemblyOptions();
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
    UpdateCommands();
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
    // The window opens over this one but below the strip, where its frames appear.
    PlaceWindow(*PainterEffectsF, *this, QRect(ScrollBoxSource->mapToGlobal(QPoint(0, 0)), ScrollBoxSource->size()));
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
