// The main window's everyday desktop parts: Undo and Redo of the strip, the Recent
// submenu, files dropped on the strip or the frame list, files given on the command line,
// and the folder Save starts in.
#include "AnivorForm.h"

#include "platform/ui/GuardedActions.h"
#include "platform/Ui.h"
#include "widgets/FrameViews.h"
#include "workspace/FrameImport.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
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
    action("Undo1", "&Undo", QKeySequence("Ctrl+Z"), [this] {
        RecordStripChange();
        WaitCursor wait;
        m_history->Undo();
    });
    action("Redo1", "&Redo", QKeySequence("Ctrl+Y"), [this] {
        RecordStripChange();
        WaitCursor wait;
        m_history->Redo();
    });
    m_history->OnChange = [this] { updateUndoActions(); };
    updateUndoActions();
}

void TAnivorF::updateUndoActions()
{
    QAction* undo = Action("Undo1");
    QAction* redo = Action("Redo1");
    if (!undo || !redo || m_wizardRunning)
        return;
    undo->setEnabled(m_history->CanUndo() || m_recordPending);
    redo->setEnabled(m_history->CanRedo());
    // "&Undo Invert", "&Redo Delete": the command the step came from, when known.
    const std::string undoName = m_recordPending ? std::string() : m_history->UndoName();
    const std::string redoName = m_history->RedoName();
    undo->setText(QString("&Undo") + (undoName.empty() ? QString() : " " + QString::fromStdString(undoName)));
    redo->setText(QString("&Redo") + (redoName.empty() ? QString() : " " + QString::fromStdString(redoName)));
}

void TAnivorF::RecordStripChange(const std::string& name)
{
    m_recordPending = false;
    m_history->Record(name);
    updateUndoActions();
}

void TAnivorF::wireDesktop()
{
    // A menu item or button that changed the strip is its step at once, named after it
    // (its own handler has run by then). Changes from elsewhere (the frame editor, the
    // effect windows) are recorded when their event is over.
    for (QAction* a : findChildren<QAction*>()) {
        if (a->objectName() == "Undo1" || a->objectName() == "Redo1")
            continue;
        connect(a, &QAction::triggered, this, [this, a] {
            if (!m_recordPending)
                return;
            QString name = a->text();
            name.remove('&');
            if (name.endsWith("..."))
                name.chop(3);
            RunGuarded([&] { RecordStripChange(name.trimmed().toStdString()); });
        });
    }
    // Files dragged from a file manager onto the frame list or the strip.
    for (QWidget* target : {List->viewport(), ScrollBoxSource->viewport()}) {
        target->setAcceptDrops(true);
        target->installEventFilter(this);
    }
}

bool TAnivorF::eventFilter(QObject* watched, QEvent* event)
{
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
    for (const QString& f : files)
        paths.push_back(f.toStdString());
    // Frames inserted before a file that fails are still one step.
    struct TRecord {
        TAnivorF* w;
        const std::string& name;
        ~TRecord() { RunGuarded([this] { w->RecordStripChange(name); }); }
    } record{this, stepName};
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
    if (!m_recentMenu)
        return;
    // The old items go later (one may be the item being triggered); their names go now.
    for (QAction* a : m_recentMenu->actions()) {
        a->setObjectName(QString());
        a->deleteLater();
    }
    m_recentMenu->clear();
    const std::vector<std::string>& recent = m_loaded.RecentFiles;
    for (std::size_t i = 0; i < recent.size(); ++i) {
        // "&1 name" .. "1&0 name": the file name, the whole path as the tip.
        const QString number = i + 1 < 10 ? QString("&%1").arg(i + 1) : QString("1&0");
        const QString path = QString::fromStdString(recent[i]);
        auto* a = new QAction(number + " " + QString::fromStdString(std::filesystem::path(recent[i]).filename().string()), this);
        a->setObjectName(QString("RecentFile%1").arg(i + 1));
        a->setToolTip(path);
        a->setStatusTip(path);
        const int index = static_cast<int>(i);
        ConnectGuarded(a, [this, index] { openRecent(index); });
        m_recentMenu->addAction(a);
    }
    m_recentMenu->menuAction()->setEnabled(!recent.empty());
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
    OpenGIFFileCommand(m_strip, path);
    RecordStripChange("Open");
    m_loaded.OpenDir = std::filesystem::path(path).parent_path().string();
    AddRecentFile(path);
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
