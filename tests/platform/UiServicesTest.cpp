#include "platform/ui/DialogConversions.h"
#include "platform/HeadlessUi.h"
#include "platform/ui/QtUi.h"
#include "platform/ui/Shell.h"

#include <QApplication>
#include <QCursor>
#include <QFileDialog>
#include <QTimer>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QUrl>

#include <gtest/gtest.h>

TEST(UiServices, FileFiltersColoursAndFontsConvert)
{
    EXPECT_EQ(QtNameFilters({"GIF Files|*.gif"}), QStringList{QStringLiteral("GIF Files (*.gif)")});
    EXPECT_EQ(QtNameFilters({"AVI file (*.avi)|*.avi"}), QStringList{QStringLiteral("AVI file (*.avi)")});
    EXPECT_EQ(QtNameFilters({"Images|*.gif;*.png; *.jpg", "All Files|*.*"}),
        (QStringList{QStringLiteral("Images (*.gif *.png *.jpg)"), QStringLiteral("All Files (*)")}));
    EXPECT_EQ(QtNameFilters({"Bitmap Files|*.bmp|Icons|*.ico"}),
        (QStringList{QStringLiteral("Bitmap Files (*.bmp)"), QStringLiteral("Icons (*.ico)")}));
    EXPECT_EQ(QtNameFilters({"*.js", "Broken|", ""}), QStringList{QStringLiteral("*.js")});

    EXPECT_EQ(ToQColor(RGB(1, 2, 3)), QColor(1, 2, 3));
    EXPECT_EQ(FromQColor(QColor(250, 128, 5)), RGB(250, 128, 5));

    TFontChoice c;
    c.Name = "Arial";
    c.Size = 17;
    c.Style = 1 | 4 | 8;
    c.Color = clNavy;
    const QFont f = ToQFont(c);
    EXPECT_TRUE(f.bold());
    EXPECT_FALSE(f.italic());
    const TFontChoice back = FromQFont(f, c.Color);
    EXPECT_EQ(back.Name, "Arial");
    EXPECT_EQ(back.Size, 17);
    EXPECT_EQ(back.Style, c.Style);
    EXPECT_EQ(back.Color, clNavy);
}

TEST(UiServices, QtWaitCursorNestsAndUnbalancedEndIsHarmless)
{
    QtUi ui;
    ui.BeginWait();
    ui.BeginWait();
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    ui.EndWait();
    EXPECT_NE(QGuiApplication::overrideCursor(), nullptr);
    ui.EndWait();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    ui.EndWait();
    EXPECT_EQ(ui.WaitDepth(), 0);

    // A cursor set by someone else survives our unbalanced end.
    QGuiApplication::setOverrideCursor(Qt::CrossCursor);
    ui.EndWait();
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    QGuiApplication::restoreOverrideCursor();
}

TEST(UiServices, DefaultWithoutADisplayNeverWaitsForAnAnswer)
{
    ASSERT_EQ(InstalledUI(), nullptr);
    EXPECT_NE(dynamic_cast<HeadlessUi*>(&UI()), nullptr); // the tests run offscreen
    EXPECT_THROW(UI().Confirm("Delete", "Sure?"), ENoUserInterface);
    EXPECT_THROW(UI().InputBox("New Frame", "Width", "120"), ENoUserInterface);
    UI().MessageDlg("printed to stderr", TMsgDlgType::mtWarning);
}

namespace {

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QUrl last;
public slots:
    void open(const QUrl& url) { last = url; }
};

} // namespace

TEST(UiServices, OpenUrlGoesThroughTheDesktopServices)
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("anivortest"), &catcher, "open");
    EXPECT_TRUE(OpenUrl("anivortest://site/page"));
    EXPECT_EQ(catcher.last, QUrl(QStringLiteral("anivortest://site/page")));
    QDesktopServices::unsetUrlHandler(QStringLiteral("anivortest"));
}

#include "UiServicesTest.moc"

// The save dialog adds a missing extension in lower case, whatever case the caller named
// it in: file names are case-sensitive here and other programs write lower case.
TEST(QtUiDialogs, TheExtensionAddedIsLowerCase)
{
    QtUi ui;
    TFileDialogOptions o;
    o.DefaultExt = "GIF";
    QString suffix = "none";
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* dlg = qobject_cast<QFileDialog*>(w)) {
                suffix = dlg->defaultSuffix();
                dlg->reject();
            }
    });
    EXPECT_FALSE(ui.SaveFile(o).has_value());
    EXPECT_EQ(suffix, "gif");
}
