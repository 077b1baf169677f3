// The main window's everyday desktop parts: Undo and Redo of the strip, the Recent
// submenu, files dropped on the strip or the frame list, files given on the command line,
// projects and the folder Save starts in.
#include "AnivorForm.h"

#include "platform/CommandGuard.h"
#include "platform/ui/CommandActions.h"
#include "platform/Ui.h"
#include "widgets/FrameViews.h"
#include "widgets/ImageControl.h"
#include "workspace/FrameImport.h"
#include "workspace/StripCommands.h"
#include "widgets/PainterReduceForm.h"

#include <QCheckBox>

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QToolBar>
#include <QUrl>

#include <filesystem>

namespace {

// The local files of a drag, in the order given; empty when it carries none.
QStringList droppedFiles(const QMimeData* mime)
{
    QStringList files;
    if (!mime || !mime->hasUrls())
        return files;
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile())
            files << url.toLocalFile();
    return files;
}

} // namespace

void TAnivorF::createDesktopActions()
{
    // "&Undo Invert", "&Redo Delete": the command the step came from, when known.
    auto caption = [](const char* verb, const std::string& step) { return step.empty() ? std::string(verb) : verb + (" " + step); };
    m_commands.Add({.Id = "frame.undo", .Caption = "&Undo", .Shortcut = "Ctrl+Z",
                    .Enabled = [this] { return m_history->CanUndo() || m_recordPending; },
                    .Handler = [this] {
                        RecordStripChange();
                        WaitCursor wait;
                        m_history->Undo();
                    },
                    .CaptionRule = [this, caption] { return caption("&Undo", m_recordPending ? std::string() : m_history->UndoName()); }});
    m_commands.Add({.Id = "frame.redo", .Caption = "&Redo", .Shortcut = "Ctrl+Y",
                    .Enabled = [this] { return m_history->CanRedo(); },
                    .Handler = [this] {
                        RecordStripChange();
                        WaitCursor wait;
                        m_history->Redo();
                    },
                    .CaptionRule = [this, caption] { return caption("&Redo", m_history->RedoName()); }});
    m_history->OnChange = [this] { UpdateCommands(); };
    // Animation > Recent: one item per remembered file, "&1 name" .. "1&0 name", the whole
    // path as the hint.
    for (int i = 0; i < kMaxRecentFiles; ++i) {
        auto file = [this, i] {
            return i < static_cast<int>(m_loaded.RecentFiles.size()) ? m_loaded.RecentFiles[static_cast<std::size_t>(i)]
                                                                     : std::string();
        };
        const std::string number = i + 1 < 10 ? "&" + std::to_string(i + 1) : std::string("1&0");
        m_commands.Add({.Id = "animation.recent-" + std::to_string(i + 1), .Caption = number,
                        .Handler = [this, i] { openRecent(i); }, .UndoName = "Open Recent",
                        .CaptionRule = [file, number] { return number + " " + std::filesystem::path(file()).filename().string(); },
                        .HintRule = file,
                        .Visible = [file] { return !file().empty(); }});
    }
}

void TAnivorF::RecordStripChange(const std::string& name)
{
    m_recordPending = false;
    m_history->Record(name);
    UpdateCommands();
}

void TAnivorF::wireDesktop()
{
    // Files dragged from a file manager onto the frame list or the strip.
    for (QWidget* target : {List->viewport(), ScrollBoxSource->viewport()}) {
        target->setAcceptDrops(true);
        target->installEventFilter(this);
    }
}

bool TAnivorF::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove) {
        auto* w = qobject_cast<QWidget*>(watched);
        if (w && (w == ToolBar1 || w->parentWidget() == ToolBar1 || w == ScrollBoxSource->Canvas()))
            updateWizardGlyph(static_cast<int>(static_cast<QMouseEvent*>(event)->position().x()));
    }
    const bool onList = watched == List->viewport();
    const bool onStrip = watched == ScrollBoxSource->viewport();
    if (!onList && !onStrip)
        return QMainWindow::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (droppedFiles(drag->mimeData()).isEmpty() || m_wizardRunning)
            return false;
        drag->setDropAction(Qt::CopyAction);
        drag->accept();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QStringList files = droppedFiles(drop->mimeData());
        if (files.isEmpty() || m_wizardRunning)
            return false;
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        // The frame under the drop: a list row, or the frame image whose place in the
        // strip holds the point (the gap after a frame counts as that frame).
        const QPoint pos = drop->position().toPoint();
        int after = -1;
        if (onList) {
            after = List->ItemAt(pos);
        } else {
            const int x = ScrollBoxSource->Canvas()->mapFrom(ScrollBoxSource->viewport(), pos).x();
            for (int i = 0; i < m_strip.Count(); ++i)
                if (m_strip.FrameLeft(i) <= x)
                    after = i;
        }
        RunGuarded([&] { OpenFiles(files, after, "Drop"); });
        return true;
    }
    default:
        return QMainWindow::eventFilter(watched, event);
    }
}

void TAnivorF::OpenFiles(const QStringList& files, int after, const std::string& stepName)
{
    std::vector<std::string> paths;
    std::string project;
    for (const QString& f : files) {
        if (project.empty() && IsProjectFile(f.toStdString()))
            project = f.toStdString();
        else
            paths.push_back(f.toStdString());
    }
    // Frames inserted before a file that fails are still one step.
    struct TRecord {
        TAnivorF* w;
        const std::string& name;
        ~TRecord() { RunGuarded([this] { w->RecordStripChange(name); }); }
    } record{this, stepName};
    if (!project.empty()) {
        if (!m_project->ConfirmDiscard())
            return;
        m_project->OpenProject(project);
        AddRecentFile(project);
        after = -1;
    }
    if (!paths.empty())
        for (const std::string& gif : InsertFilesCommand(m_strip, paths, after))
            AddRecentFile(gif);
}

void TAnivorF::AddRecentFile(const std::string& path)
{
    ::AddRecentFile(m_loaded.RecentFiles, path);
    fillRecentMenu();
}

void TAnivorF::fillRecentMenu()
{
    if (!RecentMenu)
        return;
    if (RecentMenu->isEmpty())
        for (int i = 1; i <= kMaxRecentFiles; ++i)
            RecentMenu->addAction(Action(QString("animation.recent-%1").arg(i)));
    UpdateCommands();
}

void TAnivorF::openRecent(int i)
{
    if (i < 0 || i >= static_cast<int>(m_loaded.RecentFiles.size()))
        return;
    const std::string path = m_loaded.RecentFiles[static_cast<std::size_t>(i)];
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        // A file moved or deleted since: it leaves the list.
        m_loaded.RecentFiles.erase(m_loaded.RecentFiles.begin() + i);
        fillRecentMenu();
        UI().MessageDlg(path + ": the file no longer exists", TMsgDlgType::mtError);
        return;
    }
    if (!m_project->ConfirmDiscard())
        return;
    if (IsProjectFile(path)) {
        m_project->OpenProject(path);
    } else {
        OpenGIFFileCommand(m_strip, path);
        m_project->MarkSaved({}, path);
    }
    m_loaded.OpenDir = std::filesystem::path(path).parent_path().string();
    AddRecentFile(path);
}

TAssemblyOptions TAnivorF::assemblyOptions() const
{
    TAssemblyOptions options;
    options.Reduction = PainterReduceF->Settings();
    options.Merge = CheckBoxMerge->isChecked();
    options.Crop = CheckBoxCrop->isChecked();
    options.FramePalettes = PainterReduceF->KeepFramePalettes();
    return options;
}

void TAnivorF::newAnimation()
{
    // Unsaved work gets "Save changes?", which stands for the question below.
    if (m_project->Modified()) {
        if (!m_project->ConfirmDiscard())
            return;
        m_strip.ClearFrames();
    } else {
        NewAnimationCommand(m_strip);
    }
    if (m_strip.Empty()) {
        m_project->Reset();
        clearPreview();
    }
}

void TAnivorF::clearPreview()
{
    // The animation of the frames just erased goes with them: it stops, and its size goes.
    ImageAnimate->Clear();
    anisize->setText("0");
    m_animation.reset();
    m_lastAssembled = TBitmap();
    m_stoppedPicture = TBitmap();
    setPreviewState(TPreviewState::Nothing);
}

void TAnivorF::saveProject(bool as)
{
    const bool saved = as ? m_project->SaveAs(saveFolder()) : m_project->Save();
    if (saved)
        AddRecentFile(m_project->Path());
}

std::string TAnivorF::frameSaveFolder() const
{
    // The Directories/Save folder of the settings file, while it exists; else the program's.
    std::error_code ec;
    return !m_loaded.SaveDir.empty() && std::filesystem::is_directory(m_loaded.SaveDir, ec) ? m_loaded.SaveDir : m_appDir;
}

std::string TAnivorF::saveFolder()
{
    // After a save in this or an earlier run: where that one went, while it exists.
    std::error_code ec;
    const std::string last = m_loaded.SaveDir;
    if (!last.empty() && last != m_appDir && std::filesystem::is_directory(last, ec))
        return last;
    // Else the program's "images" folder, made when missing (a failure leaves the
    // dialog to start where it can).
    const std::string images = m_appDir + "images";
    std::filesystem::create_directories(images, ec);
    return images;
}
