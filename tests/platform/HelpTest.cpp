#include "platform/CommandGuard.h"
#include "platform/ui/HelpViewer.h"
#include "platform/ScriptedUi.h"

#include "support/TestSupport.h"

#include <QListWidget>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>

#include <gtest/gtest.h>

#include <fstream>

TEST(Help, DocumentSplitsIntoTopicsAtLevelOneHeadings)
{
    const THelpDocument doc = THelpDocument::Parse(
        "Preamble, not shown.\r\n"
        "# Anivor\r\n"
        "Welcome.\r\n"
        "## A subheading stays in its topic\r\n"
        "```\r\n"
        "# not a topic, code\r\n"
        "```\r\n"
        "#NoSpace is text\r\n"
        "#  Frame list  \n"
        "Frames.\n");
    ASSERT_EQ(doc.Topics().size(), 2u);
    EXPECT_EQ(doc.Topics()[0].Name, "Anivor");
    EXPECT_NE(doc.Topics()[0].Markdown.find("# not a topic"), std::string::npos);
    EXPECT_EQ(doc.Topics()[0].Markdown.find("Preamble"), std::string::npos);
    EXPECT_EQ(doc.Topics()[1].Name, "Frame list");
    EXPECT_EQ(doc.Find("FRAME LIST"), &doc.Topics()[1]);
    EXPECT_EQ(doc.Find("Wizards"), nullptr);
    EXPECT_TRUE(THelpDocument::Parse("").Topics().empty());
}

TEST(Help, ViewerOpensAtTheTopicAndFollowsLinks)
{
    TempDir dir;
    const std::string file = dir.file("Anivor.hlp");
    std::ofstream(file) << "# Anivor\nSee [the wizards](#Wizards).\n\n# Wizards\nWizard text here.\n";

    THelpViewer* viewer = ShowHelpFile(file, "wizards");
    ASSERT_NE(viewer, nullptr);
    EXPECT_FALSE(viewer->isModal());
    EXPECT_EQ(viewer->CurrentTopic(), "Wizards");
    EXPECT_TRUE(viewer->Browser()->toPlainText().contains(QStringLiteral("Wizard text here.")));
    EXPECT_FALSE(viewer->Browser()->toPlainText().contains(QStringLiteral("See the wizards")));

    // The same single window shows the next request; a link jumps to its topic.
    EXPECT_EQ(ShowHelpFile(file, "Anivor"), viewer);
    EXPECT_EQ(viewer->CurrentTopic(), "Anivor");
    emit viewer->Browser()->anchorClicked(QUrl(QStringLiteral("#Wizards")));
    EXPECT_EQ(viewer->CurrentTopic(), "Wizards");
    // Choosing a topic in the list shows it.
    auto* list = viewer->findChild<QListWidget*>(QStringLiteral("HelpTopics"));
    ASSERT_NE(list, nullptr);
    list->setCurrentRow(0);
    EXPECT_EQ(viewer->CurrentTopic(), "Anivor");

    // An unknown topic shows the first one under a note.
    ShowHelpFile(file, "Nothing");
    EXPECT_EQ(viewer->CurrentTopic(), "Anivor");
    EXPECT_TRUE(viewer->Browser()->toPlainText().contains(QStringLiteral("\"Nothing\" was not found")));
    viewer->close();

    // Esc and Ctrl+W close it.
    for (const QKeySequence& key : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
        ShowHelpFile(file, "Anivor");
        ASSERT_TRUE(viewer->isVisible());
        bool closed = false;
        for (QShortcut* s : viewer->findChildren<QShortcut*>())
            if (s->key() == key) {
                emit s->activated();
                closed = true;
            }
        EXPECT_TRUE(closed) << key.toString().toStdString();
        EXPECT_FALSE(viewer->isVisible()) << key.toString().toStdString();
    }
}

TEST(Help, MissingFileIsAClearErrorAndTheShippedDocumentHasTheMainTopic)
{
    ScriptedUi ui;
    TempDir dir;
    RunGuarded([&] { ShowHelpFile(dir.file("Anivor.hlp"), "Anivor"); });
    EXPECT_EQ(ui.Errors(), std::vector<std::string>{"The help file " + dir.file("Anivor.hlp") + " was not found."});

    const THelpDocument shipped = THelpDocument::Load(ANIVOR_SHIPPED_HELP);
    ASSERT_NE(shipped.Find("Anivor"), nullptr);
    // Every "#Topic" link of the shipped document leads to a topic.
    for (const THelpTopic& t : shipped.Topics()) {
        for (std::size_t p = t.Markdown.find("](#"); p != std::string::npos; p = t.Markdown.find("](#", p + 1)) {
            const std::size_t end = t.Markdown.find(')', p);
            EXPECT_NE(shipped.Find(t.Markdown.substr(p + 3, end - p - 3)), nullptr) << t.Name;
        }
    }
}
