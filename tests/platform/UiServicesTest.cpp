#include "platform/ui/DialogConversions.h"
#include "platform/HeadlessUi.h"
#include "platform/ui/QtUi.h"
#include "platform/ui/Shell.h"
#include "platform/ui/WindowPlacement.h"

#include <QApplication>
#include <QCursor>
#include <QFileDialog>
#include <QFontInfo>
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

TEST(UiServices, TheFontDialogStartsOnTheFontAndAnUnchangedOkKeepsIt)
{
    // A family that is installed starts as it is; a missing one starts on the family that
    // stands in for it, named in the note, and an unchanged OK gives the choice back
    // whole (bold stays bold, the missing name stays).
    const QString installed = QFontInfo(QFont(QStringLiteral("DejaVu Sans"))).family();
    for (const std::string& name : {installed.toStdString(), std::string("No Such Family Anywhere")}) {
        SCOPED_TRACE(name);
        const TFontChoice chosen{name, 12, 1 | 2, clRed};
        const TFontDialogStart start = FontDialogStart(chosen);
        const bool missing = name != installed.toStdString();
        EXPECT_EQ(start.Note.isEmpty(), !missing);
        if (missing) {
            EXPECT_TRUE(start.Note.startsWith(QString::fromStdString(name) + " is not installed: "));
            EXPECT_TRUE(start.Note.contains(start.Font.family()));
        }
        EXPECT_TRUE(start.Font.bold());
        EXPECT_TRUE(start.Font.italic());
        EXPECT_EQ(start.Font.pointSize(), 12);
        EXPECT_EQ(FontDialogAnswer(chosen, start.Font, start.Font), chosen);
        // Any change is the user's.
        QFont plain = start.Font;
        plain.setBold(false);
        const TFontChoice changed = FontDialogAnswer(chosen, start.Font, plain);
        EXPECT_EQ(changed.Style, 2u);
        EXPECT_EQ(changed.Color, clRed);
        QFont bigger = start.Font;
        bigger.setPointSize(20);
        EXPECT_EQ(FontDialogAnswer(chosen, start.Font, bigger).Size, 20);
    }
}

TEST(UiServices, WindowsOpenOverTheirOwnerNeverOnEachOther)
{
    const QRect screen(0, 0, 1280, 1024);
    const QRect owner(100, 100, 600, 450); // centre (399, 324)
    const QSize size(300, 200);
    // Taken windows, the part of the owner to keep clear, and the place expected.
    const struct {
        std::vector<QRect> Taken;
        QRect Avoid;
        QPoint At;
    } cases[] = {
        {{}, {}, QPoint(250, 225)},                                        // centred
        {{QRect(250, 225, 300, 200)}, {}, QPoint(274, 249)},               // not on the first one
        {{QRect(250, 225, 300, 200), QRect(274, 249, 10, 10)}, {}, QPoint(298, 273)},
        {{QRect(260, 225, 300, 200)}, {}, QPoint(250, 225)},               // only the same corner counts
        {{}, QRect(100, 150, 600, 123), QPoint(250, 273)},                 // below the strip
        {{}, QRect(100, 200, 600, 50), QPoint(250, 250)},                  // a thinner strip: just below it
        {{}, QRect(100, 50, 600, 150), QPoint(250, 225)},                  // not covered: centred
        {{}, QRect(100, 350, 600, 600), QPoint(250, 150)},                 // no room below: above
        {{}, QRect(100, 150, 600, 800), QPoint(250, 824)},                 // neither: the screen's bottom
    };
    for (const auto& c : cases) {
        const QRect r = PlaceOverOwner(size, owner, screen, c.Taken, c.Avoid);
        EXPECT_EQ(r.size(), size);
        EXPECT_EQ(r.topLeft(), c.At) << c.Taken.size() << " " << c.Avoid.top();
    }
    // An owner at the screen's corner: the window stays on the screen.
    EXPECT_EQ(PlaceOverOwner(size, QRect(-100, -100, 200, 200), screen, {}).topLeft(), QPoint(0, 0));
    EXPECT_EQ(PlaceOverOwner(size, QRect(1200, 950, 200, 200), screen, {}).bottomRight(), screen.bottomRight());
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
