#include "widgets/ImageControl.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

// A clock the test moves by hand; it records every wait the control asks for.
class FakeClock : public TAnimationClock {
public:
    qint64 NowMs() const override { return *Now; }
    void Schedule(int ms) override
    {
        Waits->push_back(ms);
        *Pending = true;
    }
    void Cancel() override { *Pending = false; }
    std::shared_ptr<qint64> Now = std::make_shared<qint64>(0);
    std::shared_ptr<std::vector<int>> Waits = std::make_shared<std::vector<int>>();
    std::shared_ptr<bool> Pending = std::make_shared<bool>(false);
};

// Frames of solid colours with the given delays (0: no graphic control) and a loop count
// (-1: no loop extension).
std::unique_ptr<TGIFImage> Document(const std::vector<std::pair<TColor, int>>& frames, int loops)
{
    auto image = std::make_unique<TGIFImage>();
    for (const auto& [color, delay] : frames) {
        TBitmap b(4, 3, TPixelFormat::pf8bit);
        b.SetPalette({color});
        const int i = image->Add(b);
        TGIFSubImage& f = *image->Images[static_cast<std::size_t>(i)];
        if (i == 0 && loops >= 0)
            f.AddExtension<TGIFAppExtNSLoop>()->SetLoops(loops);
        if (delay > 0)
            f.AddExtension<TGIFGraphicControlExtension>()->SetDelay(delay);
    }
    image->DrawOptions = goAsync | goTransparent | goAnimate | goLoop;
    return image;
}

QRgb Rgb(TColor c) { return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

} // namespace

TEST(ImageControl, PlaysWithTheDocumentsWaitsAndStopsAfterItsLoops)
{
    TImageControl control;
    auto clock = std::make_unique<FakeClock>();
    FakeClock& fake = *clock;
    auto now = fake.Now;
    auto waits = fake.Waits;
    auto pending = fake.Pending;
    control.SetClock(std::move(clock));
    // Delay 1 is raised to 3; no graphic control means 10; 12 ms per unit.
    auto doc = Document({{0x0000FF, 5}, {0x00FF00, 1}, {0xFF0000, 0}}, 2);
    control.ShowDocument(*doc);
    ASSERT_TRUE(control.IsAnimating());
    EXPECT_EQ(control.Picture().pixel(0, 0), Rgb(0x0000FF));
    ASSERT_EQ(*waits, std::vector<int>{60});

    auto fire = [&](qint64 late) {
        ASSERT_TRUE(*pending);
        *pending = false;
        *now += waits->back() + late;
        fake.OnTimeout();
    };
    fire(0);
    EXPECT_EQ(control.Picture().pixel(0, 0), Rgb(0x00FF00));
    EXPECT_EQ(waits->back(), 36);
    fire(10); // 10 ms late: half of it is made up on the next wait
    EXPECT_EQ(control.Picture().pixel(0, 0), Rgb(0xFF0000));
    EXPECT_EQ(waits->back(), 115);
    // Second pass, then the end: the last frame stays and no timer is left.
    for (int i = 0; i < 3; ++i)
        fire(0);
    EXPECT_EQ(waits->size(), 6u);
    EXPECT_TRUE(control.IsAnimating());
    fire(0);
    EXPECT_FALSE(control.IsAnimating());
    EXPECT_FALSE(*pending);
    EXPECT_EQ(control.Picture().pixel(0, 0), Rgb(0xFF0000));
    EXPECT_EQ(waits->size(), 6u);
}

TEST(ImageControl, StopsWhenTheDocumentChangesOrSomethingElseIsShown)
{
    TImageControl control;
    auto clock = std::make_unique<FakeClock>();
    auto pending = clock->Pending;
    control.SetClock(std::move(clock));
    auto doc = Document({{0x0000FF, 5}, {0x00FF00, 5}}, 0);
    control.ShowDocument(*doc);
    ASSERT_TRUE(control.IsAnimating());
    // The control plays its own copy; the caller's document has no painter.
    EXPECT_EQ(doc->PainterCount(), 0);
    ASSERT_NE(control.Document(), nullptr);
    EXPECT_EQ(control.Document()->PainterCount(), 1);

    // An operation that changes the shown document stops the animation first.
    control.Document()->OptimizeColorMaps();
    EXPECT_FALSE(control.IsAnimating());
    EXPECT_FALSE(*pending);

    control.ShowDocument(*doc);
    ASSERT_TRUE(control.IsAnimating());
    control.ShowBitmap(SolidBitmap(5, 5, 0x808080));
    EXPECT_FALSE(control.IsAnimating());
    EXPECT_FALSE(*pending);
    EXPECT_EQ(control.Document(), nullptr);
    EXPECT_EQ(control.Picture().size(), QSize(5, 5));

    // One frame: shown still.
    auto single = Document({{0x00FF00, 5}}, 0);
    control.ShowDocument(*single);
    EXPECT_FALSE(control.IsAnimating());
    EXPECT_EQ(control.Picture().pixel(1, 1), Rgb(0x00FF00));
    control.Clear();
    EXPECT_FALSE(control.HasPicture());
}

TEST(ImageControl, SpeedChangesTheComingWaitsAndReportsEachFrame)
{
    TImageControl control;
    auto clock = std::make_unique<FakeClock>();
    FakeClock& fake = *clock;
    auto now = fake.Now;
    auto waits = fake.Waits;
    control.SetClock(std::move(clock));
    std::vector<int> painted;
    QObject::connect(&control, &TImageControl::FramePainted, [&](int i) { painted.push_back(i); });
    auto doc = Document({{0x0000FF, 10}, {0x00FF00, 10}, {0xFF0000, 10}}, 0);
    doc->DrawBackgroundColor = RGB(1, 2, 3);
    control.ShowDocument(*doc);
    EXPECT_EQ(control.Document()->DrawBackgroundColor, doc->DrawBackgroundColor);
    EXPECT_EQ(painted, std::vector<int>{0});
    EXPECT_EQ(waits->back(), 120);

    auto fire = [&] {
        *now += waits->back();
        fake.OnTimeout();
    };
    control.SetAnimationSpeed(800);
    EXPECT_EQ(control.Document()->AnimationSpeed(), 800);
    fire();
    EXPECT_EQ(waits->back(), 15);
    // Speed 0 holds the frame; a speed again moves on at once.
    control.SetAnimationSpeed(0);
    fire();
    EXPECT_EQ(control.CurrentWait(), -1);
    const std::size_t held = waits->size();
    control.SetAnimationSpeed(5000); // clamped to 1000
    EXPECT_EQ(control.Document()->AnimationSpeed(), 1000);
    ASSERT_EQ(waits->size(), held + 1);
    EXPECT_EQ(waits->back(), 0);
    fire();
    EXPECT_EQ(waits->back(), 12);
    EXPECT_EQ(painted, (std::vector<int>{0, 1, 2, 0}));
}

TEST(ImageControl, CentresStretchesOrTilesThePicture)
{
    TImageControl control;
    control.resize(8, 6);
    TBitmap b = SolidBitmap(2, 2, 0x0000FF);
    b.SetPixel(0, 0, 0x00FF00);
    control.ShowBitmap(b);
    auto shot = [&] { return control.grab().toImage(); };
    EXPECT_EQ(shot().pixel(3, 2), Rgb(0x00FF00)); // centred at (3, 2)
    control.SetFit(TImageFit::Tile);
    EXPECT_EQ(shot().pixel(0, 0), Rgb(0x00FF00));
    EXPECT_EQ(shot().pixel(6, 4), Rgb(0x00FF00));
    EXPECT_EQ(shot().pixel(7, 5), Rgb(0x0000FF));
    control.SetFit(TImageFit::Stretch);
    EXPECT_EQ(shot().pixel(3, 2), Rgb(0x00FF00));
    EXPECT_EQ(shot().pixel(4, 3), Rgb(0x0000FF));
}
