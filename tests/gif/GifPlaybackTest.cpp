// Animation steps: waits, loop counts and disposal methods.
#include "GifTestData.h"
#include "support/TestSupport.h"

#include "gif/GIFPlayback.h"

#include <gtest/gtest.h>

namespace {

// A frame of one colour at (left, 0), w x 1, with an optional graphic control.
TGIFSubImage* addFrame(TGIFImage& gif, int left, int w, TColor color, int delay = -1, int disposal = 0)
{
    const int i = gif.Add(PaletteBitmap(w, 1, {color, clBlack}, [](int, int) { return 0; }));
    TGIFSubImage* f = gif.Images[static_cast<std::size_t>(i)].get();
    f->Left = left;
    if (delay >= 0 || disposal) {
        auto* gce = f->AddExtension<TGIFGraphicControlExtension>();
        gce->SetDelay(std::max(delay, 0));
        gce->SetDisposal(disposal);
    }
    return f;
}

const std::vector<std::pair<char, TColor>> kLegend = {{'w', clWhite}, {'r', clRed}, {'b', clBlue}, {'g', clLime},
                                                      {'y', clYellow}, {'k', clBlack}};

// Frame indices and screens of every step until the end (at most `limit` steps).
std::vector<std::pair<int, std::string>> play(TGIFPlayback& p, int limit = 50)
{
    std::vector<std::pair<int, std::string>> steps;
    TGIFPlaybackStep s;
    while (static_cast<int>(steps.size()) < limit && p.Next(s))
        steps.push_back({s.FrameIndex, RowsFromBitmap(*s.Screen, kLegend)[0]});
    return steps;
}

} // namespace

TEST(GifPlayback, WaitsFollowTheDelayRules)
{
    TGIFImage gif;
    gif.Header.Width = 1;
    addFrame(gif, 0, 1, clRed, 1);     // raised to 3 units
    addFrame(gif, 0, 1, clBlue);       // no graphic control: 10 units
    addFrame(gif, 0, 1, clLime, 0);    // delay 0: 10 units
    addFrame(gif, 0, 1, clYellow, 50); // 50 units
    addFrame(gif, 0, 1, clRed, 2000);  // 2000 units, asynchronous only
    std::vector<int> waits;
    TGIFPlayback p(gif);
    TGIFPlaybackStep s;
    while (p.Next(s))
        waits.push_back(s.Wait);
    EXPECT_EQ(waits, (std::vector<int>{36, 120, 120, 600, 24000}));

    // Synchronous painting caps a delay at 1000 units; speed scales every wait; a late
    // caller gets half its overrun back.
    gif.DrawOptions &= ~goAsync;
    gif.SetAnimationSpeed(200);
    TGIFPlayback q(gif);
    waits.clear();
    while (q.Next(s, 20))
        waits.push_back(s.Wait);
    EXPECT_EQ(waits, (std::vector<int>{13, 55, 55, 295, 5995}));
    gif.SetAnimationSpeed(0);
    TGIFPlayback stopped(gif);
    ASSERT_TRUE(stopped.Next(s));
    EXPECT_EQ(s.Wait, -1);
    gif.SetAnimationSpeed(5000);
    EXPECT_EQ(gif.AnimationSpeed(), 1000);
}

TEST(GifPlayback, LoopCountsAndOptions)
{
    TGIFImage gif;
    gif.Header.Width = 1;
    addFrame(gif, 0, 1, clRed, 5);
    addFrame(gif, 0, 1, clBlue, 5);
    addFrame(gif, 0, 1, clLime, 5);
    auto* loop = gif.Images[0]->AddExtension<TGIFAppExtNSLoop>();

    // Loop count 2: shown twice in all, ending on the last frame.
    loop->SetLoops(2);
    TGIFPlayback p(gif);
    std::vector<std::pair<int, std::string>> steps = play(p);
    ASSERT_EQ(steps.size(), 6u);
    EXPECT_EQ(steps[3].first, 0);
    EXPECT_EQ(steps[5], (std::pair<int, std::string>{2, "g"}));
    EXPECT_EQ(p.ActiveFrame(), -1);
    EXPECT_EQ(RowsFromBitmap(p.Screen(), kLegend)[0], "g");

    // 0 loops forever when painting asynchronously, once otherwise.
    loop->SetLoops(0);
    TGIFPlayback forever(gif);
    EXPECT_EQ(play(forever, 40).size(), 40u);
    EXPECT_EQ(forever.LoopCounter(), -1);
    gif.DrawOptions &= ~goAsync;
    TGIFPlayback once(gif);
    EXPECT_EQ(play(once).size(), 3u);
    gif.DrawOptions |= goAsync;

    // Without the loop option, or without a loop extension, one pass.
    gif.DrawOptions &= ~goLoop;
    TGIFPlayback noLoop(gif);
    EXPECT_EQ(play(noLoop).size(), 3u);
    gif.DrawOptions |= goLoop | goLoopContinously;
    gif.Images[0]->Extensions.clear();
    TGIFPlayback continuous(gif);
    EXPECT_EQ(play(continuous, 30).size(), 30u);
    gif.DrawOptions &= ~goLoopContinously;
    TGIFPlayback plain(gif);
    EXPECT_EQ(play(plain).size(), 3u);

    // A loop extension on a later frame makes that frame the restart point.
    gif.Images[1]->AddExtension<TGIFAppExtNSLoop>()->SetLoops(2);
    TGIFPlayback restart(gif);
    std::vector<int> order;
    for (auto& s : play(restart))
        order.push_back(s.first);
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 1, 2}));

    // Without animation only the first frame is shown.
    gif.DrawOptions &= ~goAnimate;
    TGIFPlayback still(gif);
    EXPECT_EQ(play(still).size(), 1u);
}

TEST(GifPlayback, DisposalMethods)
{
    TGIFImage gif;
    gif.Header.Width = 4;
    gif.DrawBackgroundColor = clWhite;
    addFrame(gif, 0, 4, clRed, 10, 1);  // stays
    addFrame(gif, 1, 1, clBlue, 10, 2); // back to background afterwards
    addFrame(gif, 3, 1, clLime, 10, 0);
    addFrame(gif, 0, 2, clYellow, 10, 3); // back to the previous state afterwards
    addFrame(gif, 2, 1, clBlack, 10, 1);
    // A transparent frame leaves the pixels under its transparent index alone.
    TGIFSubImage* t = addFrame(gif, 0, 4, clBlue, 10, 1);
    t->Data = {1, 0, 1, 1};
    t->Changed();
    auto* gce = t->GraphicControlExtension();
    gce->SetTransparent(true);
    gce->SetTransparentColorIndex(1);

    TGIFPlayback p(gif);
    std::vector<std::string> screens;
    for (auto& s : play(p))
        screens.push_back(s.second);
    EXPECT_EQ(screens, (std::vector<std::string>{"rrrr", "rbrr", "rwrg", "yyrg", "rwkg", "rbkg"}));

    // Without the transparency option the transparent index is drawn (black).
    gif.DrawOptions &= ~goTransparent;
    TGIFPlayback opaque(gif);
    std::vector<std::pair<int, std::string>> steps = play(opaque);
    EXPECT_EQ(steps.back().second, "kbkk");

    // Background colour from the global table's background entry when none is given.
    gif.DrawBackgroundColor.reset();
    gif.GlobalColorMap().Assign({{0, 0, 0}, {0, 255, 0}});
    gif.Header.BackgroundColorIndex = 1;
    EXPECT_EQ(TGIFPlayback(gif).BackgroundColor(), clLime);

    // Clear on loop starts every pass from the background.
    TGIFImage two;
    two.Header.Width = 2;
    two.DrawBackgroundColor = clWhite;
    two.DrawOptions |= goClearOnLoop;
    addFrame(two, 0, 1, clRed, 10);
    addFrame(two, 1, 1, clBlue, 10);
    two.Images[0]->AddExtension<TGIFAppExtNSLoop>()->SetLoops(2);
    TGIFPlayback cl(two);
    std::vector<std::string> s2;
    for (auto& s : play(cl))
        s2.push_back(s.second);
    EXPECT_EQ(s2, (std::vector<std::string>{"rw", "rb", "rw", "rb"}));
}
