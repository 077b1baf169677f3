// The timing, looping and disposal rules of an animated document as plain steps: each
// step is the frame shown, the logical screen as it looks then, and how long it stays.
// A GUI timer (or a test with a fake clock) drives it with Next().
#pragma once

#include "GIFImage.h"

struct TGIFPlaybackStep {
    int FrameIndex = -1;
    // Milliseconds until the next step; -1 at animation speed 0 (wait until woken).
    int Wait = 0;
    // The logical screen (24-bit) after drawing the frame; valid until the next call.
    const TBitmap* Screen = nullptr;
};

class TGIFPlayback {
public:
    // Reads the document's drawing options and animation speed; the document must
    // outlive the playback and not change while it runs (its painter list is the lock).
    explicit TGIFPlayback(const TGIFImage& image);

    // What lies under the animation (screen-sized, 24-bit); by default the background colour.
    void SetBackground(const TBitmap& background);
    void Reset();
    // Shows the next frame; false when the animation has ended (the last frame stays).
    // `overrunMs` is how late the caller came for this step; half of it is made up.
    bool Next(TGIFPlaybackStep& step, int overrunMs = 0);

    // Changes the speed of the steps still to come (clamped to 0..1000 percent).
    void SetAnimationSpeed(int percent);
    int AnimationSpeed() const { return m_speed; }

    int ActiveFrame() const { return m_active; }
    // Passes still to go after the current one (-1: forever).
    int LoopCounter() const { return m_counter; }
    TColor BackgroundColor() const { return m_backgroundColor; }
    const TBitmap& Screen() const { return m_shown; }

    // Delay of a frame in hundredths of a second as the painter uses it.
    static int FrameDelay(const TGIFSubImage& frame, bool synchronous);
    // Milliseconds for a delay: 12 ms per unit, scaled by the speed percent; -1 at speed 0.
    static int WaitMs(int delay, int overrunMs, int speedPercent);

private:
    bool startPass();
    void showFrame(int index);

    const TGIFImage& m_image;
    TGIFDrawOptions m_options;
    int m_speed;
    TColor m_backgroundColor;
    TBitmap m_background;
    TBitmap m_backup; // the screen as the next frame finds it
    TBitmap m_shown;  // the screen as shown
    int m_next = 0;
    int m_active = -1;
    int m_counter = 1;
    int m_restart = 0;
    bool m_loopSeen = false;
    bool m_finished = false;
    int m_shownInPass = 0;
    bool m_firstStep = true;
};
