#include "widgets/FileListBox.h"

#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTreeView>

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/inotify.h>
#include <unistd.h>

namespace {

QStringList Entries(const TqorFileListBox& list)
{
    QStringList out;
    for (int i = 0; i < list.count(); ++i)
        out << list.item(i)->text();
    return out;
}

// Lets the folder watcher report, up to two seconds.
bool WaitFor(const std::function<bool()>& done)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

} // namespace

// Files written into the shown folder while the program runs (by Save, by another
// program) appear, and removed ones go, with the selection kept.
TEST(FileList, FollowsTheFoldersChanges)
{
    TempDir dir;
    WriteTestFile(dir.file("a.gif"), {'G'});
    WriteTestFile(dir.file("c.png"), {'P'});
    TqorFileListBox list;
    list.SetDirectory(QString::fromStdString(dir.path().string()));
    ASSERT_TRUE(list.SelectEntry("c.png"));
    EXPECT_EQ(Entries(list), QStringList({"[..]", "a.gif", "c.png"}));

    WriteTestFile(dir.file("b.gif"), {'G'});
    WriteTestFile(dir.file("notes.txt"), {'t'});
    ASSERT_TRUE(WaitFor([&] { return Entries(list).contains("b.gif"); })) << Entries(list).join(",").toStdString();
    EXPECT_EQ(Entries(list), QStringList({"[..]", "a.gif", "b.gif", "c.png"}));
    EXPECT_TRUE(list.FileName().endsWith("c.png"));

    std::filesystem::create_directory(dir.path() / "sub");
    std::filesystem::remove(dir.file("a.gif"));
    ASSERT_TRUE(WaitFor([&] { return !Entries(list).contains("a.gif") && Entries(list).contains("[sub]"); }));
    EXPECT_EQ(Entries(list), QStringList({"[..]", "[sub]", "b.gif", "c.png"}));

    // Only the folder shown is followed.
    list.SetDirectory(QString::fromStdString((dir.path() / "sub").string()));
    WriteTestFile(dir.file("d.gif"), {'G'});
    WriteTestFile(dir.file("sub/e.gif"), {'G'});
    ASSERT_TRUE(WaitFor([&] { return Entries(list).contains("e.gif"); }));
    EXPECT_FALSE(Entries(list).contains("d.gif"));
}

// Browsing a folder reads none of its files: in /proc or /sys some files block when read
// (/proc/kmsg waits for the kernel's next message), which would stop the program. The
// folder tree and the list may look at names and kinds only; every file opened in the
// folder is seen through inotify.
TEST(FileList, ShowsAFolderWithoutReadingItsFiles)
{
    TempDir dir;
    for (const char* name : {"kmsg", "data", "notes.txt", "picture.gif", "script"})
        WriteTestFile(dir.file(name), {'#', '!', '/', 'b', 'i', 'n', '\n', 0, 1, 2});
    std::filesystem::create_directory(dir.path() / "sub");
    const int watch = inotify_init1(IN_NONBLOCK);
    ASSERT_GE(watch, 0);
    ASSERT_GE(inotify_add_watch(watch, dir.path().c_str(), IN_OPEN | IN_ACCESS), 0);
    {
        TFilePanel panel;
        panel.resize(200, 400);
        panel.show();
        panel.SetDirectory(QString::fromStdString(dir.path().string()));
        panel.Dirbox->expand(panel.Dirbox->currentIndex());
        WaitFor([] { return false; }); // two seconds for the folder model's thread
        EXPECT_TRUE(Entries(*panel.Files).contains("picture.gif"));
    }
    std::vector<std::string> read;
    alignas(inotify_event) char buffer[4096];
    for (ssize_t n; (n = ::read(watch, buffer, sizeof buffer)) > 0;)
        for (char* p = buffer; p < buffer + n; p += sizeof(inotify_event) + reinterpret_cast<inotify_event*>(p)->len) {
            const auto* e = reinterpret_cast<inotify_event*>(p);
            if (e->len > 0 && !(e->mask & IN_ISDIR))
                read.push_back(e->name);
        }
    close(watch);
    EXPECT_EQ(read, std::vector<std::string>{});
}
