// TqorFileListBox: the file list of the "Files" tab. Shows the folders of its directory as
// "[name]" (the parent as "[..]") and the files whose extension matches its masks, each
// with an icon (one per extension, the first found), and follows the folder's changes. Double-click and Enter walk into
// folders; the ordinary double-click notification follows in every case.
// The places combo and directory list that drive it live in TFilePanel.
#pragma once

#include <QComboBox>
#include <QIcon>
#include <QListWidget>
#include <QStringList>
#include <QTreeView>

class QFileSystemModel;
class QFileSystemWatcher;

class TqorFileListBox : public QListWidget {
    Q_OBJECT
public:
    explicit TqorFileListBox(QWidget* parent = nullptr);

    // Lower-case extensions shown, with the dot: .bmp .gif .ico .jpg .jpeg .png.
    void SetExtensions(const QStringList& extensions);
    void SetDirectory(const QString& dir);
    QString Directory() const { return m_dir; }
    // Full path of the selected file; empty when a folder or nothing is selected.
    QString FileName() const;
    // Selects the entry with this text; false when there is none.
    bool SelectEntry(const QString& text);
    // Same as a double-click on the selected entry.
    void Activate();

    // The parent folder of a path; a root stays a root.
    static QString ParentFolder(const QString& dir);

signals:
    void DirectoryChanged(const QString& dir);
    void DoubleClicked();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QIcon iconFor(const QString& path);
    // The folder changed on disk (a file written by this or another program): the list
    // is read again, the selected entry and the scroll position kept.
    void folderChanged();
    QFileSystemWatcher* m_watcher = nullptr;
    QString m_dir;
    QStringList m_extensions;
    QStringList m_iconExtensions; // same index as m_icons
    QList<QIcon> m_icons;
};

// The "Files" tab: a places combo (the file-system root and the home folder stand for the
// drives), the directory list Dirbox and the file list Files, bound in that order.
class TFilePanel : public QWidget {
    Q_OBJECT
public:
    explicit TFilePanel(QWidget* parent = nullptr);
    void SetDirectory(const QString& dir);
    QString Directory() const { return Files->Directory(); }

    QComboBox* DriveCombo = nullptr;
    QTreeView* Dirbox = nullptr;
    TqorFileListBox* Files = nullptr;

private:
    void showInDirbox(const QString& dir);
    QFileSystemModel* m_dirs = nullptr;
    bool m_syncing = false;
};
