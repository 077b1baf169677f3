// The frame image commands of the main window and the two effect windows they open:
// Image menu and drop-down on the selected frame, "&Effects..." with the tree, a bar, a
// series and "Use", "Backgrounds..." with modes, a preset and "Use", "Save As...".
#include "app/AnivorForm.h"

#include "effects/GeometricTestUtil.h"
#include "effects/QuickBack.h"
#include "effects/GeometricEffects.h"
#include "effects/ui/EffectImage.h"
#include "effects/ui/PainterEffectsForm.h"
#include "effects/ui/PainterQBForm.h"
#include "platform/HelpDocument.h"
#include "platform/ScriptedUi.h"
#include "support/TestSupport.h"
#include "widgets/FrameViews.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QRadioButton>
#include <QScrollBar>
#include <QLabel>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

TBitmap Twisted(const TBitmap& source, int amount)
{
    TBitmap t(source.Width(), source.Height());
    qorFX::Twist(source, t, amount);
    return t;
}

class EffectWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::ofstream(dir.file("PainterQB.txt")) << "Waves=3,17,40,10,20,30,128\n";
        w = std::make_unique<TAnivorF>(dir.path().string() + "/", dir.file("anivor.ini"));
        fx = std::make_unique<TPainterEffectsF>(w.get());
        qb = std::make_unique<TPainterQBF>(dir.file("PainterQB.txt"), w.get());
        w->SetPainterEffectsWindow(fx.get());
        w->SetQuickBackWindow(qb.get());
        ui.OnUnanswered = [](const std::string& q) { ADD_FAILURE() << "unanswered: " << q; };
    }
    void TearDown() override
    {
        qb.reset();
        fx.reset();
        w.reset();
    }
    void Trigger(const char* name)
    {
        QAction* a = w->Action(name);
        ASSERT_NE(a, nullptr) << name;
        ASSERT_TRUE(a->isEnabled()) << name;
        a->trigger();
    }
    // Frames of one size; the first is selected and the popup opened on its image.
    void Frames(const std::vector<TBitmap>& pictures)
    {
        TFrameStrip& s = w->Strip();
        s.SetFrameSize(pictures[0].Width(), pictures[0].Height());
        for (const TBitmap& p : pictures)
            s.Append(p);
        s.SelectOnly(0);
        w->PreparePopup(0, true, QPoint(1, 1));
    }
    const TBitmap& Frame(int i) { return w->Strip().FindFrameImage(i).Bitmap(); }

    TempDir dir;
    ScriptedUi ui;
    std::unique_ptr<TAnivorF> w;
    std::unique_ptr<TPainterEffectsF> fx;
    std::unique_ptr<TPainterQBF> qb;
};

} // namespace

TEST_F(EffectWindows, ImageMenuAndDropDownActOnTheSelectedFrame)
{
    const std::vector<std::pair<char, TColor>> legend{{'A', clRed}, {'B', clLime}, {'C', clBlue}, {'.', clWhite}};
    Frames({BitmapFromRows({"ABC"}, legend), BitmapFromRows({"..."}, legend)});
    Trigger("image.scroll-left");
    EXPECT_EQ(RowsFromBitmap(Frame(0), legend), std::vector<std::string>{"BCA"});
    Trigger("image.scroll-right");
    Trigger("effects.flip-left-right");
    EXPECT_EQ(RowsFromBitmap(Frame(0), legend), std::vector<std::string>{"CBA"});
    EXPECT_EQ(RowsFromBitmap(Frame(1), legend), std::vector<std::string>{"..."});
    // Overlay on the last frame does nothing; without a selected frame nothing happens.
    w->Strip().SelectOnly(1);
    Trigger("effects.overlay-50");
    EXPECT_EQ(RowsFromBitmap(Frame(1), legend), std::vector<std::string>{"..."});
    w->Strip().SetItemIndex(-1);
    Trigger("image.invert");
    EXPECT_EQ(RowsFromBitmap(Frame(0), legend), std::vector<std::string>{"CBA"});
    EXPECT_TRUE(ui.Errors().empty());
}

TEST_F(EffectWindows, EffectsTwistStepUpAndUse)
{
    const TBitmap source = Noise(40, 30, 1);
    Frames({source, Noise(40, 30, 2)});
    w->Strip().Session.WizardFrameCount = 10;
    EXPECT_EQ(fx->windowTitle(), "Painter Effects");
    bool ran = false;
    QTimer::singleShot(0, [&] {
        ran = true;
        EXPECT_EQ(fx->image->pixmap().width(), 40); // the frame, until a node is picked
        fx->ETree->setCurrentItem(fx->NodeItem(FindPainterEffectNode("Twist")));
        EXPECT_EQ(fx->EBar->minimum(), 1);
        EXPECT_EQ(fx->EBar->maximum(), 50);
        EXPECT_EQ(fx->EBar->value(), 10);
        EXPECT_EQ(fx->Model().Image(), Twisted(source, 10));
        fx->EBar->setValue(20);
        EXPECT_EQ(fx->Model().Image(), Twisted(source, 20));
        EXPECT_EQ(fx->cxbar->maximum(), 40);
        EXPECT_EQ(fx->cxbar->value(), 20);
        // The bars show their values; the window leaves the strip it fills in view.
        for (const auto& [name, text] : {std::pair{"EBarValue", "20"}, std::pair{"cxbarValue", "20"},
                                         std::pair{"cybarValue", "15"}, std::pair{"extrabarValue", "1"}}) {
            const QLabel* value = fx->findChild<QLabel*>(name);
            ASSERT_NE(value, nullptr) << name;
            EXPECT_EQ(value->text().toStdString(), text) << name;
        }
        const QRect strip(w->ScrollBoxSource->mapToGlobal(QPoint(0, 0)), w->ScrollBoxSource->size());
        EXPECT_FALSE(fx->frameGeometry().intersects(strip));
        // Step Up: ten frames at 1 + 4i (step (50 - 1) div 10 = 4) join the strip.
        fx->btnstep->click();
        EXPECT_EQ(fx->EBar->value(), 41);
        fx->SpeedButton1->click();
    });
    Trigger("popup.effects");
    ASSERT_TRUE(ran);
    ASSERT_EQ(w->Strip().Count(), 12);
    for (int i = 1; i <= 10; ++i)
        EXPECT_EQ(Frame(1 + i), Twisted(source, 1 + 4 * i)) << i;
    EXPECT_EQ(w->Strip().ItemIndex(), 11);
    EXPECT_EQ(Frame(0), Twisted(source, 41));

    // The window keeps its node and bars; closing it without "Use" changes nothing.
    w->PreparePopup(1, true, QPoint(1, 1));
    const TBitmap second = Frame(1);
    QTimer::singleShot(0, [&] {
        EXPECT_EQ(fx->ETree->currentItem()->text(0), "Twist");
        EXPECT_EQ(fx->EBar->value(), 41);
        fx->btnappend->click();
        fx->reject();
    });
    Trigger("popup.effects");
    EXPECT_EQ(Frame(1), second);
    EXPECT_EQ(w->Strip().Count(), 13);
    EXPECT_TRUE(ui.Errors().empty());
}

// After "Use" on frame 1, the window opened on frame 2 (same size, bars untouched) works
// on frame 2: it shows the effect on frame 2, and "Use" gives frame 2 that, never frame
// 1's result.
TEST_F(EffectWindows, EffectsStartFromTheFrameTheyWereOpenedFor)
{
    const TBitmap first = Noise(40, 30, 21), second = Noise(40, 30, 22);
    Frames({first, second});
    QTimer::singleShot(0, [&] {
        fx->ETree->setCurrentItem(fx->NodeItem(FindPainterEffectNode("Twist")));
        fx->SpeedButton1->click();
    });
    Trigger("popup.effects");
    ASSERT_EQ(Frame(0), Twisted(first, 10));

    w->Strip().SelectOnly(1);
    w->PreparePopup(1, true, QPoint(1, 1));
    bool ran = false;
    QTimer::singleShot(0, [&] {
        ran = true;
        EXPECT_EQ(fx->Model().Image(), Twisted(second, 10));
        const TColor want = Twisted(second, 10).Pixel(5, 5);
        EXPECT_EQ(fx->image->pixmap().toImage().pixel(5, 5), qRgb(GetRValue(want), GetGValue(want), GetBValue(want)));
        fx->SpeedButton1->click();
    });
    Trigger("popup.effects");
    ASSERT_TRUE(ran);
    EXPECT_EQ(Frame(1), Twisted(second, 10));
    EXPECT_EQ(Frame(0), Twisted(first, 10));
    EXPECT_TRUE(ui.Errors().empty());
}

TEST_F(EffectWindows, DraggingABarSkipsPassedPositionsButNeverTheLast)
{
    const TBitmap source = Noise(64, 48, 3);
    fx->Open(source);
    fx->ETree->setCurrentItem(fx->NodeItem(FindPainterEffectNode("Twist")));
    const int before = fx->Model().Recomputations();
    fx->EBar->setSliderDown(true);
    for (int v = 11; v <= 30; ++v)
        fx->EBar->setValue(v);
    EXPECT_EQ(fx->Model().Recomputations(), before); // waiting for the events behind it
    QApplication::processEvents();
    EXPECT_EQ(fx->Model().Recomputations(), before + 1);
    EXPECT_EQ(fx->Model().EBar().Position, 30);
    fx->EBar->setValue(31);
    fx->EBar->setSliderDown(false); // released: where it stopped is applied at once
    EXPECT_EQ(fx->Model().EBar().Position, 31);
    EXPECT_EQ(fx->Model().Image(), Twisted(source, 31));
    QApplication::processEvents();
    EXPECT_EQ(fx->Model().Recomputations(), before + 2);
}

TEST_F(EffectWindows, BackgroundsModesPresetAndUse)
{
    Frames({Noise(16, 12, 4), Noise(16, 12, 5)});
    EXPECT_EQ(qb->windowTitle(), "QuickBack");
    ASSERT_EQ(qb->qbpresets->count(), 1);
    EXPECT_EQ(qb->qbpresets->item(0)->text(), "Waves");
    bool ran = false;
    QTimer::singleShot(0, [&] {
        ran = true;
        EXPECT_EQ(qb->redradio->text(), "Prod");
        qb->greenradio->click();
        qb->QBList->setCurrentRow(FindQuickBackFunction("Outer"));
        EXPECT_EQ(qb->greenradio->text(), "Outer");
        EXPECT_EQ(qb->redradio->text(), "Prod");
        qb->trkfactor->setValue(100);
        EXPECT_EQ(qb->Model().Settings().Factor, 100);
        // The preset: its functions, offsets and factor, the bars and captions follow.
        qb->qbpresets->setCurrentRow(0);
        emit qb->qbpresets->itemClicked(qb->qbpresets->item(0));
        EXPECT_EQ(qb->trkred->value(), 10);
        EXPECT_EQ(qb->trkfactor->value(), 128);
        // The numbers beside the bars follow a preset too.
        EXPECT_EQ(qb->findChild<QLabel*>("trkredValue")->text(), "10");
        EXPECT_EQ(qb->findChild<QLabel*>("trkfactorValue")->text(), "128");
        EXPECT_EQ(qb->redradio->text(), "Xor");
        EXPECT_EQ(qb->greenradio->text(), "Inner");
        EXPECT_EQ(qb->blueradio->text(), "DrawXor");
        EXPECT_EQ(qb->QBList->currentRow(), 17); // the green channel's function
        // A new preset from the popup, then Update without a selection.
        ui.AnswerInput("mine");
        qb->Action("presets.add")->trigger();
        EXPECT_EQ(qb->qbpresets->count(), 2);
        qb->qbpresets->setCurrentRow(-1);
        qb->Action("presets.update")->trigger();
        qb->btnUse->click();
    });
    Trigger("popup.backgrounds");
    ASSERT_TRUE(ran);
    TBitmap expected(16, 12);
    GenerateQuickBack(expected, TQuickBackSettings{3, 17, 40, 10, 20, 30, 128});
    EXPECT_EQ(Frame(0), expected);
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{"No item selected!"});
    std::ifstream in(dir.file("PainterQB.txt"));
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(text, "mine=3,17,40,10,20,30,128\nWaves=3,17,40,10,20,30,128\n");
}

TEST_F(EffectWindows, EmptyFramesAndSaveAs)
{
    // A frame without pixels cannot take a backdrop.
    w->Strip().SetFrameSize(0, 0);
    w->Strip().Append(TBitmap());
    w->Strip().SelectOnly(0);
    w->PreparePopup(0, false);
    Trigger("popup.backgrounds");
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{" empty bitmap"});

    // Save As... from the list's popup writes the selected frame as a bitmap file.
    TFrameStrip& s = w->Strip();
    s.ClearFrames();
    Frames({Noise(5, 4, 6)});
    w->PreparePopup(0, false);
    ui.AnswerSaveFile(dir.file("frame.png"));
    Trigger("popup.save-as");
    EXPECT_TRUE(std::filesystem::exists(dir.file("frame.bmp")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("frame.png")));
    EXPECT_TRUE(ui.Errors().empty());
}

TEST(EffectWindowsHelp, TheShippedHelpHasTopicsForTheThreeWindows)
{
    const THelpDocument doc = THelpDocument::Load(ANIVOR_SHIPPED_HELP);
    for (const char* topic : {"Frame image operations", "Painter Effects", "QuickBack"}) {
        ASSERT_NE(doc.Find(topic), nullptr) << topic;
        EXPECT_NE(doc.Find("Anivor")->Markdown.find(std::string("#") + topic), std::string::npos) << topic;
    }
    EXPECT_NE(doc.Find("QuickBack")->Markdown.find("PainterQB.txt"), std::string::npos);
    EXPECT_NE(doc.Find("Painter Effects")->Markdown.find("Step Up"), std::string::npos);
}
