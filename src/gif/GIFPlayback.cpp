#include "GIFPlayback.h"

#include "GIFDraw.h"

#include <algorithm>

TGIFPlayback::TGIFPlayback(const TGIFImage& image)
    : m_image(image), m_options(image.DrawOptions), m_speed(image.AnimationSpeed())
{
    m_backgroundColor = GIFBackgroundColor(image);
    m_background = TBitmap(image.Width(), image.Height(), TPixelFormat::pf24bit);
    m_background.Fill(m_backgroundColor);
    Reset();
}

void TGIFPlayback::SetBackground(const TBitmap& background)
{
    m_background = TBitmap(m_image.Width(), m_image.Height(), TPixelFormat::pf24bit);
    m_background.Fill(m_backgroundColor);
    m_background.CopyRect(Point(0, 0), background, Rect(0, 0, background.Width(), background.Height()));
    Reset();
}

void TGIFPlayback::SetAnimationSpeed(int percent) { m_speed = std::clamp(percent, 0, 1000); }

void TGIFPlayback::Reset()
{
    m_backup = m_background;
    m_shown = m_background;
    m_next = 0;
    m_active = -1;
    m_counter = 1;
    m_restart = 0;
    m_loopSeen = false;
    m_finished = m_image.Images.empty();
    m_shownInPass = 0;
    m_firstStep = true;
}

int TGIFPlayback::FrameDelay(const TGIFSubImage& frame, bool synchronous)
{
    int delay = frame.Delay();
    delay = delay != 0 ? std::max(delay, 3) : 10;
    return synchronous ? std::min(delay, 1000) : delay;
}

int TGIFPlayback::WaitMs(int delay, int overrunMs, int speedPercent)
{
    if (speedPercent <= 0)
        return -1;
    const std::int64_t ms = (std::int64_t(delay) * 12 - overrunMs / 2) * 100 / speedPercent;
    return static_cast<int>(std::clamp<std::int64_t>(ms, 0, 1 << 30));
}

bool TGIFPlayback::startPass()
{
    // After the last frame: a counter above 0 counts down; another pass follows while it
    // is not 0 (or looping is continuous) and animation and looping are on.
    if (m_shownInPass == 0)
        return false;
    if (m_counter > 0)
        --m_counter;
    const bool again = (m_counter != 0 || (m_options & goLoopContinously)) && (m_options & goAnimate) && (m_options & goLoop);
    if (!again)
        return false;
    m_next = m_restart;
    m_shownInPass = 0;
    if (m_options & goClearOnLoop)
        m_backup.Fill(m_backgroundColor);
    return true;
}

bool TGIFPlayback::Next(TGIFPlaybackStep& step, int overrunMs)
{
    if (m_finished)
        return false;
    const bool animate = (m_options & goAnimate) && m_image.Count() > 1;
    if (!animate && !m_firstStep) {
        m_finished = true;
        m_active = -1;
        return false;
    }
    if (m_firstStep && (m_options & goClearOnLoop))
        m_backup.Fill(m_backgroundColor);
    m_firstStep = false;
    auto passEnded = [&] { return m_next >= m_image.Count() || m_image.Images[static_cast<std::size_t>(m_next)]->Empty(); };
    if (passEnded()) {
        if (!startPass() || passEnded()) {
            m_finished = true;
            m_active = -1;
            return false;
        }
    }
    showFrame(m_next);
    const TGIFSubImage& frame = *m_image.Images[static_cast<std::size_t>(m_next)];
    m_active = m_next;
    ++m_next;
    ++m_shownInPass;
    step.FrameIndex = m_active;
    step.Screen = &m_shown;
    step.Wait = WaitMs(FrameDelay(frame, !(m_options & goAsync)), overrunMs, m_speed);
    return true;
}

void TGIFPlayback::showFrame(int index)
{
    const TGIFSubImage& frame = *m_image.Images[static_cast<std::size_t>(index)];
    if (!m_loopSeen)
        for (const auto& ext : frame.Extensions)
            if (const auto* loop = dynamic_cast<const TGIFAppExtNSLoop*>(ext.get())) {
                m_loopSeen = true;
                m_counter = loop->Loops();
                m_restart = index;
                if ((loop->Loops() == 0 || (m_options & goLoopContinously)) && (m_options & goAsync))
                    m_counter = -1;
                break;
            }
    ComposeGIFFrame(m_backup, m_shown, m_background, m_backgroundColor, frame, (m_options & goTransparent) != 0);
}
