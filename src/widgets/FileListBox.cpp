#include "FileListBox.h"

#include <QApplication>
#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFileSystemWatcher>
#include <QScrollBar>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStyle>
#include <QVBoxLayout>

namespace {

constexpr int kRowHeight = 18;

// Icons and type names from an entry's kind alone. Qt's own provider reads a file to
// tell its type when the name does not, and the folder model asks on the window's
// thread for every entry of a folder it shows: one file that blocks when read
// (/proc/kmsg, files in /sys) would stop the program.
class TKindIconProvider : public QFileIconProvider {
public:
    using QFileIconProvider::icon;
    QIcon icon(const QFileInfo& info) const override { return icon(info.isDir() ? Folder : File); }
    QString type(const QFileInfo& info) const override { return info.isDir() ? "Folder" : "File"; }
};

} // namespace

TqorFileListBox::TqorFileListBox(QWidget* parent) : QListWidget(parent)
{
    setObjectName("Files");
    setUniformItemSizes(true);
    setIconSize(QSize(16, 16));
    setSelectionMode(QAbstractItemView::SingleSelection);
    SetExtensions({".bmp", ".gif", ".ico", ".jpg", ".jpeg", ".png"});
    m_watcher = new QFileSystemWatcher(this);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] { folderChanged(); });
}

void TqorFileListBox::folderChanged()
{
    const QListWidgetItem* item = currentItem();
    const QString selected = item && item->isSelected() ? item->text() : QString();
    const int scroll = verticalScrollBar()->value();
    // A folder that went away leaves the list as it was.
    SetDirectory(m_dir);
    if (!selected.isEmpty())
        SelectEntry(selected);
    verticalScrollBar()->setValue(scroll);
}

void TqorFileListBox::SetExtensions(const QStringList& extensions)
{
    m_extensions = extensions;
    if (!m_dir.isEmpty())
        SetDirectory(m_dir);
}

QString TqorFileListBox::ParentFolder(const QString& dir)
{
    QDir d(dir);
    if (d.isRoot() || !d.cdUp())
        return dir;
    return d.absolutePath();
}

QIcon TqorFileListBox::iconFor(const QString& path)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    const int i = m_iconExtensions.indexOf(ext);
    if (i >= 0)
        return m_icons[i];
    QIcon icon = QFileIconProvider().icon(QFileInfo(path));
    if (icon.isNull())
        icon = style()->standardIcon(QStyle::SP_FileIcon);
    m_iconExtensions.push_back(ext);
    m_icons.push_back(icon);
    return icon;
}

void TqorFileListBox::SetDirectory(const QString& dir)
{
    QDir d(dir);
    if (!d.exists())
        return;
    const QString path = d.absolutePath();
    const bool changed = path != m_dir;
    if (changed || !m_watcher->directories().contains(path)) {
        if (!m_watcher->directories().isEmpty())
            m_watcher->removePaths(m_watcher->directories());
        m_watcher->addPath(path);
    }
    m_dir = path;
    clear();
    auto add = [this](const QString& text, const QIcon& icon) {
        auto* item = new QListWidgetItem(icon, text, this);
        item->setSizeHint(QSize(0, kRowHeight));
    };
    if (!d.isRoot())
        add("[..]", style()->standardIcon(QStyle::SP_FileDialogToParent));
    const QIcon folder = style()->standardIcon(QStyle::SP_DirIcon);
    for (const QString& name : d.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase))
        add("[" + name + "]", folder);
    for (const QFileInfo& fi : d.entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase)) {
        const QString ext = "." + fi.suffix().toLower();
        if (m_extensions.contains(ext))
            add(fi.fileName(), iconFor(fi.absoluteFilePath()));
    }
    if (changed)
        emit DirectoryChanged(m_dir);
}

QString TqorFileListBox::FileName() const
{
    const QListWidgetItem* item = currentItem();
    if (!item || !item->isSelected() || item->text().startsWith('['))
        return QString();
    return QDir(m_dir).filePath(item->text());
}

bool TqorFileListBox::SelectEntry(const QString& text)
{
    const auto found = findItems(text, Qt::MatchExactly);
    if (found.isEmpty())
        return false;
    setCurrentItem(found.first());
    found.first()->setSelected(true);
    return true;
}

void TqorFileListBox::Activate()
{
    if (const QListWidgetItem* item = currentItem()) {
        const QString text = item->text();
        if (text == "[..]")
            SetDirectory(ParentFolder(m_dir));
        else if (text.startsWith('[') && text.endsWith(']') && text != "[.]")
            SetDirectory(QDir(m_dir).filePath(text.mid(1, text.size() - 2)));
    }
    emit DoubleClicked();
}

void TqorFileListBox::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        Activate();
        return;
    }
    QListWidget::keyPressEvent(event);
}

void TqorFileListBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    QListWidget::mouseDoubleClickEvent(event);
    Activate();
}

TFilePanel::TFilePanel(QWidget* parent) : QWidget(parent)
{
    setObjectName("FilePanel");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    DriveCombo = new QComboBox(this);
    DriveCombo->setObjectName("DriveComboBox");
    DriveCombo->addItem(style()->standardIcon(QStyle::SP_DriveHDIcon), QDir::rootPath(), QDir::rootPath());
    DriveCombo->addItem(style()->standardIcon(QStyle::SP_DirHomeIcon), QDir::homePath(), QDir::homePath());
    layout->addWidget(DriveCombo);

    m_dirs = new QFileSystemModel(this);
    static TKindIconProvider icons;
    m_dirs->setIconProvider(&icons);
    m_dirs->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_dirs->setRootPath(QDir::rootPath());
    Dirbox = new QTreeView(this);
    Dirbox->setObjectName("Dirbox");
    Dirbox->setModel(m_dirs);
    Dirbox->setHeaderHidden(true);
    for (int c = 1; c < m_dirs->columnCount(); ++c)
        Dirbox->hideColumn(c);
    layout->addWidget(Dirbox, 1);

    Files = new TqorFileListBox(this);
    layout->addWidget(Files, 2);

    connect(DriveCombo, &QComboBox::activated, this, [this](int i) { SetDirectory(DriveCombo->itemData(i).toString()); });
    connect(Dirbox, &QTreeView::clicked, this, [this](const QModelIndex& index) {
        if (!m_syncing)
            Files->SetDirectory(m_dirs->filePath(index));
    });
    connect(Files, &TqorFileListBox::DirectoryChanged, this, [this](const QString& dir) { showInDirbox(dir); });
}

void TFilePanel::showInDirbox(const QString& dir)
{
    m_syncing = true;
    const QString home = QDir::homePath();
    const QString root = (dir == home || dir.startsWith(home + "/")) ? home : QDir::rootPath();
    DriveCombo->setCurrentIndex(root == home ? 1 : 0);
    Dirbox->setRootIndex(m_dirs->index(root));
    const QModelIndex index = m_dirs->index(dir);
    Dirbox->setCurrentIndex(index);
    Dirbox->scrollTo(index);
    m_syncing = false;
}

void TFilePanel::SetDirectory(const QString& dir)
{
    if (!QDir(dir).exists())
        return;
    Files->SetDirectory(dir);
    showInDirbox(Files->Directory());
}
