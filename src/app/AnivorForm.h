// TAnivorF: the main window. It holds the frame strip for the whole run, lays out the
// toolbar, the strip, the frame list and the preview, and turns menu items, toolbar
// buttons and mouse actions into calls of the strip and its commands. Every command runs
// inside the command guard, so a failure shows its message and the window stays usable.
#pragma once

#include "platform/CommandTable.h"
#include "workspace/Assembly.h"
#include "workspace/FrameStrip.h"
#include "workspace/ProjectSession.h"
#include "workspace/Settings.h"
#include "workspace/StripHistory.h"

#include <QMainWindow>
#include <QPoint>
#include <QRect>

#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QProgressBar;
class QSplitter;
class QTimer;
class QToolBar;
class QToolButton;
class TDrawF;
class TFilePanel;
class TFrameListBox;
class TImageControl;
class TPainterEffectsF;
class TPainterQBF;
class TPainterReduceF;
class TFrameStripView;
class TGIFExplorerF;
class TqorTabBar;
class TqorTabSection;
class TStripViewSource;
class TTemplatesF;
class TCommandActions;

// The id of the command that runs wizard `kind`: "wizard." and its menu path in lower case
// ("wizard.wipe-up", "wizard.effects-light-fade-in-out").
std::string WizardCommandId(int kind);

class TAnivorF : public QMainWindow {
    Q_OBJECT
public:
    // `settingsFile` is read here (FormCreate) and written by FormDestroy.
    explicit TAnivorF(const std::string& appDir, const std::string& settingsFile, QWidget* parent = nullptr);
    ~TAnivorF() override;

    TFrameStrip& Strip() { return m_strip; }
    // Undo and Redo of the strip (Frame > Undo, Redo). A change becomes a step once the
    // event that made it has finished, or at once by RecordStripChange.
    TStripHistory& History() { return *m_history; }
    void RecordStripChange(const std::string& name = {});
    // The strip as the user's work: its project file, unsaved changes, autosave.
    TProjectSession& Project() { return *m_project; }
    // At start: offers the recovery copy a run that died left behind.
    void OfferRecovery();
    // The autosave's interval in milliseconds (0: off), from [Autosave] Seconds.
    int AutosaveInterval() const;
    // Files given on the command line or dropped: GIFs open as frames, pictures are
    // imported, inserted after frame `after` (-1: at the end). GIFs join the Recent list.
    // One undo step, named `stepName`. A project among them replaces the strip (after
    // "Save changes?" when it has unsaved changes); the other files follow it.
    void OpenFiles(const QStringList& files, int after = -1, const std::string& stepName = "Open");
    // The GIFs last opened or saved, the latest first (Animation > Recent).
    const std::vector<std::string>& RecentFiles() const { return m_loaded.RecentFiles; }
    void AddRecentFile(const std::string& path);
    // The window's commands: every menu item, popup item and toolbar button, by id
    // ("animation.new", "frame.new", "image.mirror-right", ...; README.md lists them).
    const TCommandTable& Commands() const { return m_commands; }
    // The action of a command; throws std::logic_error for an unknown id.
    QAction* Action(const QString& id) const;
    // Enabled and checked states, changing captions and hints as the state stands now.
    void UpdateCommands();

    // The templates window used by Options > Text Wizard > Text...; created at start-up.
    void SetTemplatesWindow(TTemplatesF* window) { m_templates = window; }
    // The GIF explorer shown by Tools > GIF Explorer; created at start-up.
    void SetGIFExplorer(TGIFExplorerF* window) { m_explorer = window; }
    // The effect windows created at start-up, opened by the frame popup's "&Effects..." and
    // "Backgrounds...". The painter effects window's "Add" and series append to the strip.
    void SetPainterEffectsWindow(TPainterEffectsF* window);
    void SetQuickBackWindow(TPainterQBF* window) { PainterQBF = window; }
    TPainterEffectsF* PainterEffectsF = nullptr;
    TPainterQBF* PainterQBF = nullptr;
    // The two converter windows, created at start-up; their Tools items show them and
    // bring them to the front.
    void SetConverterWindows(QWidget* avi2gif, QWidget* gif2avi);
    // The frame editor, opened on the selected frame by Frame > Edit and double-clicks;
    // created at start-up. Until it is set, Edit stays disabled.
    void SetDrawWindow(TDrawF* window);

    // Saves the settings file; a failure is shown once and the program still ends.
    void FormDestroy();
    // The settings as they stand now (what FormDestroy writes).
    TSettings CurrentSettings() const;

    // The frame popup is about to open for frame `frame` (-1: none): on a frame image
    // (`onImage`, with the click at `imagePos`) or on the list. Sets the Transparent
    // check mark. The popup commands then act on this frame.
    void PreparePopup(int frame, bool onImage, const QPoint& imagePos = QPoint());

    // Components other windows and the tests reach by name.
    QToolBar* ToolBar1 = nullptr;
    TFrameStripView* ScrollBoxSource = nullptr;
    TqorTabBar* TabBar = nullptr;
    TqorTabSection* FramesSection = nullptr;
    TqorTabSection* FilesSection = nullptr;
    TFrameListBox* List = nullptr;
    QCheckBox* CheckBoxMerge = nullptr;
    QCheckBox* CheckBoxCrop = nullptr;
    QLabel* anisize = nullptr;
    TImageControl* ImageAnimate = nullptr;
    // Shown while an animation is being built: one step per frame.
    QProgressBar* AssemblyProgress = nullptr;
    // The "Files" tab: places, Dirbox and the file list Files.
    TFilePanel* FilePanel = nullptr;
    // The "GIF Optimizer" window; its menus are the palette and dithering every Create uses.
    TPainterReduceF* PainterReduceF = nullptr;
    TPreviewState PreviewState() const { return m_previewState; }
    // Wizard runs: the progress shown in the status bar while the steps run, and whether
    // a run is in progress (every other command is disabled meanwhile).
    QProgressBar* WizardProgress = nullptr;
    bool WizardRunning() const { return m_wizardRunning; }
    // The wizard driver's preview of the frames it generated (wizlist): built like Create
    // (DefaultDelay, Default Transparent, looping forever) and shown animated.
    void PreviewWizardFrames();
    QMenu* framepop = nullptr;
    QMenu* filespop = nullptr;
    QMenu* Listpop = nullptr;
    QMenu* frameeffectpop = nullptr;
    QMenu* wizpop = nullptr;
    QMenu* RecentMenu = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    // Drops of files on the strip and the frame list.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createActions();
    void createMenus();
    void createToolBar();
    void createLayout();
    void wireViews();
    void applySettings(const TSettings& s);

    // The command table's rows that run a frame operation on the selected frame, named
    // for the undo step after the operation (`operation`, "Mirror Down").
    void addFrameOperation(const char* id, const char* caption, const char* shortcut, const char* operation);
    QMenu* subMenu(QMenu* parent, const char* name, const char* caption);

    // Reactions of the views.
    void stripChanged(TStripChange change);
    void listPressed(int index, Qt::KeyboardModifiers modifiers);
    void listClick();
    void frameMouseDown(const QString& name);
    void showFramePopup(const QPoint& globalPos);

    // Commands the window itself carries out.
    void textWizardText();
    void editFrame();
    void showAbout();
    void showHelpContents();
    void openWebSite();
    // After Animation > New: the preview stops and shows nothing.
    void clearPreview();
    // Shows a window created at start-up and brings it to the front.
    void showInFront(QWidget* window);
    // The strip takes the height that shows its frames whole (the window grows for it).
    void fitStripToFrames();
    // The Wizards button's glyph for the mouse at X in the control under it.
    void updateWizardGlyph(int mouseX);
    QSplitter* m_stripSplitter = nullptr;
    bool m_stripWasEmpty = true;
    // Where the frame popup's Save As starts.
    std::string frameSaveFolder() const;
    void showGIFExplorer();
    // Animation assembly, preview and saving.
    void createAnimation(bool selectionOnly);
    void showAssembly(int frames,
                      const std::function<TAssemblyResult(const TAssemblyOptions&, const TAssemblyView&)>& build);
    void stopAnimation();
    void saveAnimation();
    void setPreviewState(TPreviewState state);
    void importSelectedFile();
    void optimizeFrame();
    // The frame popup's frame: the clicked image, or the selected frame for the list; -1
    // when none.
    int popupFrame() const;
    void effectFrame();
    void backgroundsFrame();
    // Wizards: a command per kind and the drop-down built from the wizard menu data, one
    // run, its Stop.
    void createWizardCommands();
    void createWizardMenu();
    void runWizard(int kind);
    void stopWizard();
    // Undo, Redo, Recent and drops (AnivorFormDesktop.cpp).
    void createDesktopActions();
    // Projects (AnivorFormDesktop.cpp): the assembly options a project keeps, New with
    // its questions, Save Project (As).
    TAssemblyOptions assemblyOptions() const;
    void newAnimation();
    void saveProject(bool as);
    void wireDesktop();
    void fillRecentMenu();
    void openRecent(int i);
    std::string saveFolder();

    TFrameStrip m_strip;
    std::unique_ptr<TStripHistory> m_history;
    std::unique_ptr<TProjectSession> m_project;
    QTimer* m_autosaveTimer = nullptr;
    bool m_recordPending = false;
    TCommandTable m_commands;
    TCommandActions* m_actions = nullptr;
    std::unique_ptr<TStripViewSource> m_source;
    int m_observerId = 0;
    std::string m_appDir;
    std::string m_settingsFile;
    TSettings m_loaded;
    QRect m_designed; // centred on the desktop at the designed size
    TTemplatesF* m_templates = nullptr;
    TGIFExplorerF* m_explorer = nullptr;
    TDrawF* m_draw = nullptr;
    QWidget* m_avi2gif = nullptr;
    QWidget* m_gif2avi = nullptr;
    bool m_destroyed = false;
    TPreviewState m_previewState = TPreviewState::Nothing;
    bool m_wizardRunning = false;
    bool m_wizardStop = false;     // the user asked the running wizard to end
    bool m_closeAfterRun = false;  // the window was closed during a run
    std::shared_ptr<TGIFImage> m_animation; // the last animation created
    TBitmap m_lastAssembled;  // the last frame the last build made, reduced
    TBitmap m_stoppedPicture; // what the stopped preview shows, and Save writes

    // Where a Shift+click selection in the list starts.
    int m_anchor = -1;
    // The frame the open popup belongs to.
    int m_popupFrame = -1;
    bool m_popupOnImage = false;
    QPoint m_popupImagePos;
};
