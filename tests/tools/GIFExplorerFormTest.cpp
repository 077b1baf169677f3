// The GIF Explorer window headless: loading, walking the tree, the previews, the speed
// window, the clipboard, warnings and bad input.
#include "ExplorerTestFiles.h"

#include "gif/GIFClipboard.h"
#include "platform/Clipboard.h"
#include "platform/CommandGuard.h"
#include "platform/ScriptedUi.h"
#include "tools/ui/AnimationSpeedForm.h"
#include "tools/ui/GIFExplorerForm.h"
#include "widgets/ImageControl.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSpinBox>
#include <QSplitter>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class Explorer : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui.OnUnanswered = [](const std::string& q) { ADD_FAILURE() << "unanswered: " << q; };
        w = std::make_unique<TGIFExplorerF>();
        w->show();
    }
    void TearDown() override { w.reset(); }

    std::string Write(const std::string& name, const Bytes& bytes)
    {
        WriteTestFile(dir.file(name), bytes);
        return dir.file(name);
    }

    void Trigger(const char* name)
    {
        QAction* a = w->Action(name);
        ASSERT_NE(a, nullptr) << name;
        ASSERT_TRUE(a->isEnabled()) << name;
        a->trigger();
    }

    // The tree item at a path of texts from the root.
    QTreeWidgetItem* Item(std::initializer_list<const char*> path)
    {
        QTreeWidgetItem* item = nullptr;
        for (const char* text : path) {
            QTreeWidgetItem* next = nullptr;
            const int n = item ? item->childCount() : w->TreeViewGIF->topLevelItemCount();
            for (int i = 0; i < n && !next; ++i) {
                QTreeWidgetItem* c = item ? item->child(i) : w->TreeViewGIF->topLevelItem(i);
                if (c->text(0) == text)
                    next = c;
            }
            EXPECT_NE(next, nullptr) << text;
            if (!next)
                return nullptr;
            item = next;
        }
        return item;
    }
    void Select(std::initializer_list<const char*> path)
    {
        QTreeWidgetItem* item = Item(path);
        ASSERT_NE(item, nullptr);
        w->TreeViewGIF->setCurrentItem(item);
        QApplication::processEvents(); // layouts settle
    }

    std::vector<std::pair<std::string, std::string>> ListRows() const
    {
        std::vector<std::pair<std::string, std::string>> rows;
        for (int r = 0; r < w->ListViewInfo->rowCount(); ++r)
            rows.emplace_back(w->ListViewInfo->item(r, 0)->text().toStdString(), w->ListViewInfo->item(r, 1)->text().toStdString());
        return rows;
    }
    std::string Page() const { return w->NotebookPreview->currentWidget()->objectName().toStdString(); }
    bool PreviewShown() const { return w->NotebookPreview->isVisible(); }
    std::vector<std::string> Labels() const
    {
        return {w->LabelPaletteIndex->text().toStdString(), w->LabelPaletteRed->text().toStdString(),
                w->LabelPaletteGreen->text().toStdString(), w->LabelPaletteBlue->text().toStdString(),
                w->LabelPaletteHex->text().toStdString()};
    }
    void MoveMouse(QWidget* target, QPoint pos)
    {
        QMouseEvent e(QEvent::MouseMove, QPointF(pos), target->mapToGlobal(QPointF(pos)), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(target, &e);
    }
    // Every node of the tree selected once, top to bottom.
    void WalkTree()
    {
        std::vector<QTreeWidgetItem*> items;
        std::function<void(QTreeWidgetItem*)> collect = [&](QTreeWidgetItem* i) {
            items.push_back(i);
            for (int k = 0; k < i->childCount(); ++k)
                collect(i->child(k));
        };
        for (int i = 0; i < w->TreeViewGIF->topLevelItemCount(); ++i)
            collect(w->TreeViewGIF->topLevelItem(i));
        for (QTreeWidgetItem* i : items) {
            w->TreeViewGIF->setCurrentItem(i);
            MoveMouse(w->PaintBoxPreview, QPoint(5, 5));
            MoveMouse(w->PaintBoxPalette, QPoint(5, 5));
        }
    }

    TempDir dir;
    ScriptedUi ui;
    std::unique_ptr<TGIFExplorerF> w;
};

} // namespace

TEST_F(Explorer, LoadsAFileAndShowsEachKindOfNode)
{
    EXPECT_EQ(w->windowTitle(), "GIF Explorer");
    EXPECT_EQ(w->ViewFlags(), 14u);
    EXPECT_FALSE(PreviewShown());
    EXPECT_TRUE(w->Action("file.open-preview")->isEnabled());

    ui.AnswerButton(1); // Ignore the extension of unknown label
    w->Load(Write("all.gif", EveryBlockKindGif()));
    EXPECT_EQ(w->windowTitle(), "GIF Explorer: all.gif");
    EXPECT_EQ(w->FileName(), dir.file("all.gif"));
    ASSERT_EQ(w->TreeViewGIF->topLevelItemCount(), 1);
    QTreeWidgetItem* root = w->TreeViewGIF->topLevelItem(0);
    EXPECT_EQ(root->text(0), "all.gif");
    EXPECT_TRUE(root->isExpanded());
    EXPECT_FALSE(root->child(2)->isExpanded());
    EXPECT_EQ(root->childCount(), 4);

    // The document: animated preview, frame counter, rows.
    Select({"all.gif"});
    EXPECT_EQ(w->ViewFlags(), 0x1Fu);
    EXPECT_TRUE(PreviewShown());
    EXPECT_EQ(Page(), "PagePreviewFile");
    ASSERT_NE(w->ImagePreviewAnimate->Document(), nullptr);
    EXPECT_EQ(w->ImagePreviewAnimate->Document()->Count(), 2);
    EXPECT_EQ(ListRows()[0], std::make_pair(std::string("Filename"), std::string("all.gif")));
    EXPECT_TRUE(w->ListViewInfo->showGrid());

    // The header: the list alone.
    Select({"all.gif", "Header"});
    EXPECT_EQ(w->ViewFlags(), 0x02u);
    EXPECT_FALSE(PreviewShown());
    EXPECT_FALSE(w->PanelPaletteInfo->isVisible());
    EXPECT_EQ(w->ImagePreviewAnimate->Document(), nullptr); // the animation stops with the page
    EXPECT_EQ(ListRows().size(), 6u);

    // A palette: the grid and the colour strip.
    Select({"all.gif", "Global Palette"});
    EXPECT_EQ(w->ViewFlags(), 0xCEu);
    EXPECT_EQ(Page(), "PagePreviewPalette");
    EXPECT_TRUE(w->PanelPaletteInfo->isVisible());
    EXPECT_EQ(w->PaletteGrid().Rows, 1);
    EXPECT_EQ(w->PaletteGrid().Columns, 2);

    // A frame: its paint box is the logical screen plus 4 pixels each way.
    Select({"all.gif", "Image 0"});
    EXPECT_EQ(w->ViewFlags(), 0xAEu);
    EXPECT_EQ(Page(), "PagePreviewImage");
    EXPECT_EQ(w->PaintBoxPreview->size(), QSize(3 + 8, 2 + 8));
    Select({"all.gif", "Image 0", "Local Palette"});
    EXPECT_EQ(w->PaletteGrid().Rows, 2);
    EXPECT_EQ(w->PaletteGrid().Columns, 2);

    // Comment and application extension: text; the others: rows only, or nothing.
    Select({"all.gif", "Image 0", "Comment Extension"});
    EXPECT_EQ(w->ViewFlags(), 0x0Eu);
    EXPECT_EQ(Page(), "PagePreviewText");
    EXPECT_EQ(w->MemoPreview->toPlainText().toStdString(), "hi\nthere");
    EXPECT_TRUE(ListRows().empty());
    Select({"all.gif", "Image 0", "Application Extension"});
    EXPECT_TRUE(PreviewShown());
    EXPECT_TRUE(w->MemoPreview->toPlainText().startsWith("Block: 00   Size: 020 bytes\n" + QString(65, '-') + "\n41 6E"));
    EXPECT_EQ(ListRows()[0].second, "XMP Data");
    Select({"all.gif", "Image 0", "Text extension"});
    EXPECT_EQ(w->ViewFlags(), 0x02u);
    EXPECT_FALSE(PreviewShown());
    Select({"all.gif", "Image 0", "Netscape Loop Extension"});
    EXPECT_EQ(ListRows(), (std::vector<std::pair<std::string, std::string>>{{"Loops", "0"}}));
    // The frame made of a comment only has no picture to show.
    Select({"all.gif", "Image 1"});
    EXPECT_FALSE(PreviewShown());
    EXPECT_EQ(w->ViewFlags() & 0x08, 0u);

    // Close: an empty view.
    Trigger("file.close");
    EXPECT_EQ(w->windowTitle(), "GIF Explorer");
    EXPECT_EQ(w->TreeViewGIF->topLevelItemCount(), 0);
    EXPECT_EQ(w->ListViewInfo->rowCount(), 0);
    EXPECT_FALSE(PreviewShown());
    EXPECT_EQ(w->CurrentNode(), nullptr);
    EXPECT_TRUE(ui.Errors().empty());
}

TEST_F(Explorer, MovingBetweenFramesKeepsThePreviewAndAGraphicControlHidesIt)
{
    w->Load(Write("anim.gif", SmallAnimation(3, 40, 30)));
    Select({"anim.gif", "Image 0"});
    ASSERT_TRUE(PreviewShown());
    const QList<int> sizes = w->SplitterPreview->sizes();
    const int listHeight = w->ListViewInfo->height();

    Select({"anim.gif", "Image 1"});
    EXPECT_TRUE(PreviewShown());
    EXPECT_EQ(Page(), "PagePreviewImage");
    EXPECT_EQ(w->SplitterPreview->sizes(), sizes);
    EXPECT_EQ(ListRows()[0], std::make_pair(std::string("Left"), std::string("0")));

    // To a graphic control: no preview, the list fills the area.
    Select({"anim.gif", "Image 1", "Graphic Control Extension"});
    EXPECT_FALSE(PreviewShown());
    EXPECT_FALSE(w->PanelPaletteInfo->isVisible());
    EXPECT_EQ(ListRows()[0], std::make_pair(std::string("Delay"), std::string("100 mS")));
    EXPECT_GT(w->ListViewInfo->height(), listHeight);

    // Back to a frame: the list returns to its height above the preview.
    Select({"anim.gif", "Image 2"});
    EXPECT_TRUE(PreviewShown());
    EXPECT_EQ(w->SplitterPreview->sizes().at(0), listHeight);

    // The colour under the mouse: frame pixel (x, y) sits at (left + 4 + x, top + 4 + y).
    Select({"anim.gif", "Image 2"});
    MoveMouse(w->PaintBoxPreview, QPoint(4 + 3, 4 + 1));
    const TGIFSubImage& frame = *w->Document().Images[2];
    const int index = frame.Pixel(3, 1);
    const TGIFColor c = frame.ActiveColorMap().Colors()[static_cast<std::size_t>(index)];
    char hex[8];
    std::snprintf(hex, sizeof hex, "%02X%02X%02X", c.Red, c.Green, c.Blue);
    EXPECT_EQ(Labels(), (std::vector<std::string>{std::to_string(index), std::to_string(c.Red), std::to_string(c.Green),
                                                  std::to_string(c.Blue), hex}));
    MoveMouse(w->PaintBoxPreview, QPoint(2, 2)); // outside the frame
    EXPECT_EQ(Labels(), std::vector<std::string>(5));
}

TEST_F(Explorer, PaletteGridPaintsAndReportsTheSwatchUnderTheMouse)
{
    // 256 entries: 16 x 16.
    TGIFImage gif;
    std::vector<TColor> palette;
    for (int i = 0; i < 256; ++i)
        palette.push_back(RGB(i, 255 - i, 7));
    TBitmap b(16, 16, TPixelFormat::pf8bit);
    b.SetPalette(palette);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            b.ScanLine(y)[x] = static_cast<std::uint8_t>(y * 16 + x);
    gif.Add(b);
    gif.OptimizeColorMaps();
    gif.Header.ColorMap.SetSorted(false);
    w->Load(Write("p.gif", gif.SaveToBytes()));
    Select({"p.gif", "Global Palette"});
    w->resize(800, 600);
    QApplication::processEvents();
    const TGIFPaletteGrid g = w->PaletteGrid();
    EXPECT_EQ(g.Rows, 16);
    EXPECT_EQ(g.Columns, 16);
    EXPECT_EQ(g.CellWidth, w->PaintBoxPalette->width() / 16);
    const QImage shot = w->PaintBoxPalette->grab().toImage();
    const TGIFColorMap& map = w->Document().Header.ColorMap;
    for (int k : {0, 17, 255}) {
        const QPoint centre(g.Left + (k % 16) * g.CellWidth + g.CellWidth / 2, g.Top + (k / 16) * g.CellHeight + g.CellHeight / 2);
        const TGIFColor c = map.Colors()[static_cast<std::size_t>(k)];
        EXPECT_EQ(shot.pixelColor(centre), QColor(c.Red, c.Green, c.Blue)) << k;
        MoveMouse(w->PaintBoxPalette, centre);
        EXPECT_EQ(Labels()[0], std::to_string(k));
        EXPECT_EQ(Labels()[1], std::to_string(c.Red));
    }
    MoveMouse(w->PaintBoxPalette, QPoint(w->PaintBoxPalette->width() - 1, w->PaintBoxPalette->height() - 1));
    if (g.Left * 2 + g.CellWidth * 16 < w->PaintBoxPalette->width()) {
        EXPECT_EQ(Labels(), std::vector<std::string>(5));
    }
}

// The speed is the explorer's own: its document plays at it, no other document does.
TEST_F(Explorer, SpeedMenuAndSpeedWindowSetTheExplorersDocumentOnly)
{
    w->Load(Write("anim.gif", SmallAnimation(3)));
    Select({"anim.gif"});
    ASSERT_NE(w->ImagePreviewAnimate->Document(), nullptr);
    EXPECT_TRUE(w->Action("animation.speed-100")->isChecked());

    Trigger("animation.speed-800");
    EXPECT_EQ(w->Document().AnimationSpeed(), 800);
    EXPECT_EQ(w->ImagePreviewAnimate->Document()->AnimationSpeed(), 800);
    EXPECT_EQ(TGIFImage().AnimationSpeed(), 100); // documents elsewhere keep their own
    EXPECT_FALSE(w->Action("animation.speed-100")->isChecked());

    // "n % ...": the speed window, created once, showing the speed in force.
    EXPECT_EQ(w->SpeedWindow(), nullptr);
    Trigger("animation.speed-other");
    TFormAnimationSpeed* speed = w->SpeedWindow();
    ASSERT_NE(speed, nullptr);
    EXPECT_TRUE(speed->isVisible());
    EXPECT_EQ(speed->windowTitle(), "Animation Speed");
    EXPECT_EQ(speed->GetSpeed(), 800);
    EXPECT_TRUE(w->Action("animation.speed-other")->isChecked());
    EXPECT_EQ(speed->UpDownSpeed->singleStep(), 10);
    EXPECT_EQ(speed->UpDownSpeed->maximum(), 1000);
    EXPECT_EQ(speed->EditSpeed->maxLength(), 4);

    // Typing a speed.
    speed->EditSpeed->selectAll();
    speed->EditSpeed->insert("250");
    EXPECT_EQ(w->Document().AnimationSpeed(), 250);
    EXPECT_EQ(w->ImagePreviewAnimate->Document()->AnimationSpeed(), 250);
    speed->SetSpeed(1000);
    speed->UpDownSpeed->stepUp(); // no wrap, no more than 1000
    EXPECT_EQ(w->Document().AnimationSpeed(), 1000);
    Trigger("animation.speed-50");
    EXPECT_EQ(speed->GetSpeed(), 50);

    // Leaving the document hides the window, coming back shows it again.
    Select({"anim.gif", "Header"});
    EXPECT_FALSE(speed->isVisible());
    Select({"anim.gif"});
    EXPECT_TRUE(speed->isVisible());
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(speed, &esc);
    EXPECT_FALSE(speed->isVisible());

    // A window of its own starts at 100 %.
    EXPECT_EQ(TFormAnimationSpeed().GetSpeed(), 100);
}

TEST_F(Explorer, AnimationMenuStatesAndDrawingOptions)
{
    w->Load(Write("anim.gif", SmallAnimation(3)));
    Select({"anim.gif"});
    EXPECT_EQ(w->Document().DrawOptions, unsigned(goAsync | goTransparent | goAnimate | goLoop));
    EXPECT_TRUE(w->StatusPanel1->text().startsWith(" Frame 1 of 3")) << w->StatusPanel1->text().toStdString();

    Trigger("animation.stretch");
    EXPECT_FALSE(w->Action("animation.tile")->isEnabled());
    EXPECT_EQ(w->ImagePreviewAnimate->Fit(), TImageFit::Stretch);
    Trigger("animation.stretch");
    Trigger("animation.tile");
    EXPECT_FALSE(w->Action("animation.stretch")->isEnabled());
    EXPECT_EQ(w->ImagePreviewAnimate->Fit(), TImageFit::Tile);
    Trigger("animation.animate");
    EXPECT_FALSE(w->Action("animation.loop")->isEnabled());
    EXPECT_FALSE(w->ImagePreviewAnimate->IsAnimating());
    Trigger("animation.animate");
    EXPECT_TRUE(w->ImagePreviewAnimate->IsAnimating());
    Trigger("animation.threaded");
    EXPECT_FALSE(w->Action("animation.buffered")->isEnabled());
    Trigger("animation.dither");
    EXPECT_FALSE(w->Action("animation.auto-dither")->isEnabled());
    EXPECT_EQ(w->Document().DrawOptions & goAsync, 0u);

    // View > Properties and Preview.
    Trigger("view.properties");
    EXPECT_FALSE(w->ListViewInfo->isVisible());
    EXPECT_EQ(w->ViewFlags() & 0x06, 0u);
    Trigger("view.preview");
    EXPECT_FALSE(PreviewShown());
    EXPECT_EQ(w->ViewFlags(), 0u);
    Trigger("view.preview");
    Trigger("view.properties");
    EXPECT_TRUE(PreviewShown());
    EXPECT_EQ(w->ViewFlags(), 0x1Fu);

    // A background picture under the animation, tiled.
    TBitmap tile(3, 3);
    tile.Fill(RGB(0, 200, 0));
    TGIFImage bg;
    bg.Add(tile);
    const std::string bgFile = dir.file("bg.gif");
    bg.SaveToFile(bgFile);
    ui.AnswerOpenFile(bgFile);
    Trigger("file.background");
    EXPECT_EQ(ui.Last().FileOptions.Title, "Select Background");
    EXPECT_EQ(w->BackgroundPicture().Width(), 3);
    EXPECT_FALSE(w->ImageBackground->isVisible());
    Trigger("animation.tiled-background");
    EXPECT_TRUE(w->ImageBackground->isVisible());
}

TEST_F(Explorer, OpensThroughTheDialogsAndTheClipboardFormatOnly)
{
    const std::string file = Write("anim.gif", SmallAnimation(2));
    ui.AnswerOpenFile(file);
    Trigger("file.open");
    EXPECT_EQ(ui.Last().FileOptions.Title, "Select GIF File");
    EXPECT_EQ(ui.Last().FileOptions.Filters, std::vector<std::string>{"GIF Image|*.gif"});
    EXPECT_EQ(ui.Last().FileOptions.DefaultExt, "gif");
    EXPECT_EQ(w->windowTitle(), "GIF Explorer: anim.gif");

    ui.AnswerOpenFileCancel();
    Trigger("file.open-preview");
    EXPECT_TRUE(ui.Last().FileOptions.Preview);
    EXPECT_EQ(ui.Last().FileOptions.InitialDir, dir.path().string());
    EXPECT_EQ(w->windowTitle(), "GIF Explorer: anim.gif"); // cancelled: nothing changes

    QMenu* fileMenu = w->findChild<QMenu*>("MenuFileMenu");
    ASSERT_NE(fileMenu, nullptr);
    QApplication::clipboard()->setText("not a picture");
    emit fileMenu->aboutToShow();
    EXPECT_FALSE(w->Action("file.open-clipboard")->isEnabled());
    SetClipboardData(kGIFClipboardFormat, SmallAnimation(4));
    EXPECT_EQ(ClipboardMimeType("GIF Image"), "application/x-anivor-gif-image");
    emit fileMenu->aboutToShow();
    ASSERT_TRUE(w->Action("file.open-clipboard")->isEnabled());
    Trigger("file.open-clipboard");
    EXPECT_EQ(w->windowTitle(), "GIF Explorer: [Clipboard]");
    EXPECT_EQ(w->FileName(), "[Clipboard]");
    EXPECT_EQ(w->TreeViewGIF->topLevelItem(0)->text(0), "[Clipboard]");
    EXPECT_EQ(w->Document().Count(), 4);
    Select({"[Clipboard]"});
    EXPECT_EQ(ListRows()[0].second, "[Clipboard]");

    // Without the format, opening from the clipboard refuses and clears the view.
    QApplication::clipboard()->clear();
    RunGuarded([&] { w->LoadFromClipboard(); });
    EXPECT_EQ(ui.Errors(), std::vector<std::string>{"Unsupported clipboard format"});
    EXPECT_EQ(w->TreeViewGIF->topLevelItemCount(), 0);
}

TEST_F(Explorer, ReaderWarningsAskToAbortIgnoreOrStopAsking)
{
    // Three frames, the last one's image data cut short.
    Bytes b = SmallAnimation(3, 20, 10);
    b.resize(b.size() - 8);
    const std::string file = Write("cut.gif", b);

    ui.AnswerButton(0); // Abort
    RunGuarded([&] { w->Load(file); });
    EXPECT_EQ(ui.Errors(), std::vector<std::string>{"GIF Aborted"});
    const std::vector<TUiCall> asked = ui.CallsOf(TUiCallKind::ChooseButton);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].Caption, "Warning");
    EXPECT_EQ(asked[0].Text, "GIF Warning:\nWhere:    image 2\nSeverity: Warning\nMessage:  Premature end of data");
    EXPECT_EQ(asked[0].Buttons, (std::vector<std::string>{"&Abort", "&Ignore", "A&ll"}));
    // What was read before stays in view, with the error.
    EXPECT_EQ(w->windowTitle(), "GIF Explorer: cut.gif");
    EXPECT_EQ(w->StatusPanel0->text(), "GIF Aborted");
    EXPECT_EQ(w->TreeViewGIF->topLevelItem(0)->childCount(), 2 + 2);

    ui.ClearCalls();
    ui.AnswerButton(1); // Ignore, then the next warning: All
    ui.AnswerButton(2);
    RunGuarded([&] { w->Load(file); });
    EXPECT_TRUE(ui.Errors().empty());
    EXPECT_EQ(ui.CallsOf(TUiCallKind::ChooseButton).size(), 2u);
    EXPECT_FALSE(w->Action("view.warnings")->isChecked());
    EXPECT_EQ(w->Document().Count(), 3);

    ui.ClearCalls();
    w->Load(file); // no more questions
    EXPECT_TRUE(ui.CallsOf(TUiCallKind::ChooseButton).empty());
    EXPECT_EQ(ui.PendingAnswers(), 0);
}

TEST_F(Explorer, BadInputNeverBreaksTheWindow)
{
    Trigger("view.warnings"); // off: no questions
    std::vector<std::pair<std::string, Bytes>> files;
    const Bytes good = SmallAnimation(3, 6, 4);
    for (std::size_t n = 0; n < good.size(); ++n)
        files.emplace_back("cut" + std::to_string(n), Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n)));
    const Bytes all = EveryBlockKindGif();
    for (std::size_t n = 6; n < all.size(); n += 3)
        files.emplace_back("all" + std::to_string(n), Bytes(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(n)));
    // Claims no file can keep: a huge screen, a huge frame, an application block of 5
    // bytes, a loop extension without its count, an unknown block, bytes past the trailer.
    Bytes huge = GifHeader(65535, 65535);
    huge.push_back(0x3B);
    files.emplace_back("huge-screen", huge);
    Bytes bigFrame = GifHeader(4, 4);
    Append(bigFrame, {0x2C, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 2, 2, 0x44, 1, 0, 0x3B});
    files.emplace_back("huge-frame", bigFrame);
    Bytes app = GifHeader(1, 1);
    Append(app, {0x21, 0xFF, 5, 'a', 'b', 'c', 'd', 'e', 0, 0x3B});
    files.emplace_back("app-block", app);
    Bytes loop = GifHeader(1, 1);
    Append(loop, {0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 1, 1, 0, 0x3B});
    files.emplace_back("short-loop", loop);
    Bytes block = GifHeader(1, 1);
    Append(block, {0x99, 1, 2, 3});
    files.emplace_back("unknown-block", block);
    Bytes tail = good;
    Append(tail, {1, 2, 3, 4, 5});
    files.emplace_back("tail", tail);
    files.emplace_back("not-a-gif", Bytes{'P', 'N', 'G', 0, 1, 2, 3, 4, 5, 6, 7, 8, 9});

    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        const std::string path = dir.file("bad.gif");
        WriteTestFile(path, bytes);
        ui.ClearCalls();
        const bool ok = RunGuarded([&] { w->Load(path); });
        EXPECT_EQ(ok, ui.Errors().empty());
        if (w->TreeViewGIF->topLevelItemCount() > 0) {
            EXPECT_EQ(w->windowTitle(), "GIF Explorer: bad.gif");
            WalkTree();
        } else {
            EXPECT_FALSE(ok);
            EXPECT_EQ(w->windowTitle(), "GIF Explorer");
        }
        EXPECT_EQ(ui.WaitDepth(), 0);
    }
    // A folder and a missing file.
    ui.ClearCalls();
    EXPECT_FALSE(RunGuarded([&] { w->Load(dir.path().string()); }));
    EXPECT_FALSE(RunGuarded([&] { w->Load(dir.file("missing.gif")); }));
    EXPECT_EQ(ui.Errors().size(), 2u);
    EXPECT_EQ(w->TreeViewGIF->topLevelItemCount(), 0);

    // Still usable.
    w->Load(Write("good.gif", good));
    Select({"good.gif", "Image 2"});
    EXPECT_TRUE(PreviewShown());
}
