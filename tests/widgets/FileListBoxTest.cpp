#include "widgets/FileListBox.h"

#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <filesystem>

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
