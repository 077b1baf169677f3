#include "widgets/FrameViews.h"
#include "widgets/BitmapImage.h"
#include "widgets/TemplatesForm.h"

#include "support/TestSupport.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// Frames held in plain vectors: what a model would show.
struct FakeFrames : TFrameViewSource {
    std::vector<std::string> names;
    std::vector<TBitmap> bitmaps;
    std::vector<bool> selected;
    std::vector<std::uint64_t> versions;
    int current = -1;
    int FrameCount() const override { return static_cast<int>(names.size()); }
    std::string FrameName(int i) const override { return names[i]; }
    std::string FrameEntryText(int i) const override { return names[i] + "=10"; }
    const TBitmap& FrameBitmap(int i) const override { return bitmaps[i]; }
    std::uint64_t FrameVersion(int i) const override { return versions[i]; }
    int FrameLeft(int i) const override { return i * (bitmaps[i].Width() + 5); }
    bool FrameSelected(int i) const override { return selected[i]; }
    int CurrentFrame() const override { return current; }
    void add(const std::string& name, TBitmap b)
    {
        names.push_back(name);
        bitmaps.push_back(std::move(b));
        selected.push_back(false);
        versions.push_back(names.size());
    }
};

void Mouse(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButtons buttons = Qt::LeftButton)
{
    QMouseEvent e(type, p, w->mapToGlobal(p), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

} // namespace

TEST(FrameList, ThumbnailWidthFollowsTheAspectRatio)
{
    const TRect item(0, 0, 163, 32);
    EXPECT_EQ(ThumbnailRect(item, 200, 50).Width(), 60); // wide: 2h - 4
    EXPECT_EQ(ThumbnailRect(item, 40, 40).Width(), 28);  // square: h - 4
    EXPECT_EQ(ThumbnailRect(item, 20, 10).Width(), 60);  // not taller than 32: ratio 2
    EXPECT_EQ(ThumbnailRect(item, 33, 66).Width(), 12);  // round(32 * 0.5) - 4
    EXPECT_EQ(ThumbnailRect(TRect(0, 64, 163, 96), 40, 40), TRect(2, 66, 30, 94));

    // Drawn: the thumbnail's pixels land in that rectangle and nowhere right of it.
    FakeFrames f;
    f.add("Frame1", SolidBitmap(40, 40, clRed));
    TFrameListBox list;
    list.SetSource(&f);
    QImage canvas(163, 32, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    {
        QPainter p(&canvas);
        list.DrawItem(p, 0, QRect(0, 0, 163, 32));
    }
    EXPECT_EQ(canvas.pixel(2, 2), qRgb(255, 0, 0));
    EXPECT_EQ(canvas.pixel(29, 29), qRgb(255, 0, 0));
    EXPECT_NE(canvas.pixel(30, 15), qRgb(255, 0, 0));
    EXPECT_NE(canvas.pixel(1, 1), qRgb(255, 0, 0));
}

TEST(FrameList, ClicksAndDragReportEntries)
{
    FakeFrames f;
    for (int i = 0; i < 5; ++i)
        f.add("Frame" + std::to_string(i + 1), SolidBitmap(20, 10, clWhite));
    TFrameListBox list;
    list.resize(163, 300);
    list.SetSource(&f);
    QWidget* vp = list.viewport();
    EXPECT_EQ(list.ItemAt(QPoint(5, 5)), 0);
    EXPECT_EQ(list.ItemAt(QPoint(5, 32 * 4 + 1)), 4);
    EXPECT_EQ(list.ItemAt(QPoint(5, 32 * 5 + 1)), -1); // below the last entry

    std::vector<int> pressed;
    std::vector<std::pair<int, int>> drops;
    QObject::connect(&list, &TFrameListBox::ItemPressed, [&](int i, Qt::KeyboardModifiers) {
        pressed.push_back(i);
        f.current = i;
    });
    QObject::connect(&list, &TFrameListBox::ItemDropped, [&](int from, int to) { drops.emplace_back(from, to); });

    // Drag entry 0 onto entry 3.
    Mouse(vp, QEvent::MouseButtonPress, QPoint(10, 10));
    Mouse(vp, QEvent::MouseMove, QPoint(10, 60));
    Mouse(vp, QEvent::MouseMove, QPoint(10, 32 * 3 + 10));
    Mouse(vp, QEvent::MouseButtonRelease, QPoint(10, 32 * 3 + 10), Qt::NoButton);
    EXPECT_EQ(pressed, std::vector<int>{0});
    ASSERT_EQ(drops.size(), 1u);
    EXPECT_EQ(drops[0], std::make_pair(0, 3));

    // A drop below the last entry does nothing; a plain click is no drag.
    Mouse(vp, QEvent::MouseButtonPress, QPoint(10, 40));
    Mouse(vp, QEvent::MouseMove, QPoint(10, 250));
    Mouse(vp, QEvent::MouseButtonRelease, QPoint(10, 250), Qt::NoButton);
    Mouse(vp, QEvent::MouseButtonPress, QPoint(10, 70));
    Mouse(vp, QEvent::MouseButtonRelease, QPoint(10, 70), Qt::NoButton);
    EXPECT_EQ(drops.size(), 1u);
    EXPECT_EQ(pressed, (std::vector<int>{0, 1, 2}));
}

TEST(FrameStripView, ImagesFollowTheFramesByName)
{
    FakeFrames f;
    TBitmap t = SolidBitmap(30, 20, clBlue);
    t.SetPixel(0, 19, clLime);
    t.SetTransparent(true);
    f.add("Frame1", SolidBitmap(30, 20, clRed));
    f.add("Frame2", t);
    f.add("Frame3", SolidBitmap(30, 20, clRed));
    TFrameStripView strip;
    strip.resize(200, 123);
    strip.SetSource(&f);
    TFrameImage* second = strip.FindImage("Frame2");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->geometry(), QRect(35, 0, 30, 20));
    EXPECT_EQ(strip.Canvas()->findChild<TFrameImage*>("Frame3")->x(), 70);
    // The transparent colour (bottom-left pixel) shows through.
    EXPECT_EQ(qAlpha(second->Image().pixel(0, 19)), 0);
    EXPECT_EQ(qAlpha(second->Image().pixel(1, 1)), 255);

    f.current = 1;
    strip.PointAt(1);
    QLabel* pointer = strip.FramePointer();
    EXPECT_EQ(pointer->text(), "Frame2=10");
    // Centred under the frame: left = image left + width div 2 - label width div 2.
    EXPECT_EQ(pointer->x(), 35 + 30 / 2 - pointer->width() / 2);

    // Frame2 removed: its image is freed, the others stay.
    f.names.erase(f.names.begin() + 1);
    f.bitmaps.erase(f.bitmaps.begin() + 1);
    f.selected.erase(f.selected.begin() + 1);
    strip.Refresh();
    EXPECT_EQ(strip.FindImage("Frame2"), nullptr);
    EXPECT_EQ(strip.FindImage("Frame3")->x(), 35);
    EXPECT_EQ(strip.Canvas()->findChildren<TFrameImage*>().size(), 2);

    // A picture is converted again only when its version changes.
    f.bitmaps[0].Fill(clLime);
    strip.Refresh();
    EXPECT_EQ(strip.FindImage("Frame1")->Image().pixel(0, 0), qRgb(255, 0, 0));
    f.versions[0] = 99;
    strip.Refresh();
    EXPECT_EQ(strip.FindImage("Frame1")->Image().pixel(0, 0), qRgb(0, 255, 0));

    strip.ResetPointer();
    EXPECT_EQ(pointer->pos(), QPoint(40, 80));
    EXPECT_EQ(strip.horizontalScrollBar()->value(), 0);
}

TEST(BitmapImage, PaletteAndTrueColourConvert)
{
    TBitmap b = BitmapFromRows({"rg", "bw"}, {{'r', clRed}, {'g', clLime}, {'b', clBlue}, {'w', clWhite}});
    QImage img = ImageFromBitmap(b);
    EXPECT_EQ(img.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(1, 0), qRgb(0, 255, 0));
    EXPECT_EQ(img.pixel(0, 1), qRgb(0, 0, 255));
    b.SetPixelFormat(TPixelFormat::pf8bit);
    img = ImageFromBitmap(b);
    EXPECT_EQ(img.pixel(0, 1), qRgb(0, 0, 255));
    EXPECT_EQ(img.pixel(1, 1), qRgb(255, 255, 255));
    EXPECT_TRUE(ImageFromBitmap(TBitmap()).isNull());

    // Transparent, both formats: exactly the bottom-left pixel's colour is clear.
    TBitmap t = BitmapFromRows({"rg", "br"}, {{'r', clRed}, {'g', clLime}, {'b', clBlue}});
    t.SetTransparent(true);
    for (TPixelFormat format : {TPixelFormat::pf24bit, TPixelFormat::pf8bit}) {
        t.SetPixelFormat(format);
        img = ImageFromBitmap(t);
        EXPECT_EQ(qAlpha(img.pixel(0, 1)), 0);
        EXPECT_EQ(img.pixel(0, 0), qRgb(255, 0, 0));
        EXPECT_EQ(img.pixel(1, 0), qRgb(0, 255, 0));
        EXPECT_EQ(qAlpha(img.pixel(1, 1)), 255);
        EXPECT_EQ(img.pixel(1, 1), qRgb(255, 0, 0) | 0xFF000000u);
    }
}

TEST(TemplatesWindow, OkAndCancel)
{
    TTemplatesF f;
    EXPECT_EQ(f.windowTitle(), "Templates");
    EXPECT_EQ(f.editor->objectName(), "editor");
    f.SetText("Anivor\nsecond line");
    QTimer::singleShot(0, [&] { f.BitBtn1->click(); });
    EXPECT_EQ(f.exec(), QDialog::Accepted);
    EXPECT_EQ(f.Text(), "Anivor\nsecond line");
    QTimer::singleShot(0, [&] { f.BitBtn2->click(); });
    EXPECT_EQ(f.exec(), QDialog::Rejected);
}
