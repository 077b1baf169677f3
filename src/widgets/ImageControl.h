// TImageControl: the image control that shows a bitmap or plays a GIF document (the main
// window's preview ImageAnimate and every later preview). Playback runs on the GUI thread:
// the codec's playback logic says which frame to show and for how long, a one-shot timer
// waits that long. The control keeps its own copy of a document and registers with that
// copy's painter list, so any operation that changes the document stops the animation.
#pragma once

#include "gif/GIFImage.h"
#include "gif/GIFPlayback.h"
#include "graphics/Bitmap.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <memory>

// The control's clock: the time now and a one-shot wait. Tests replace it with a fake.
class TAnimationClock {
public:
    virtual ~TAnimationClock() = default;
    virtual qint64 NowMs() const = 0;
    // Calls OnTimeout once after `ms` milliseconds; a new call replaces the pending one.
    virtual void Schedule(int ms) = 0;
    virtual void Cancel() = 0;
    std::function<void()> OnTimeout;
};

// The real clock: a precise single-shot QTimer on the GUI thread.
std::unique_ptr<TAnimationClock> MakeQtAnimationClock();

// How the picture sits in the control: centred (shrunk to fit when larger), stretched
// over the whole control, or repeated at its own size from the top left corner.
enum class TImageFit { Centre, Stretch, Tile };

class TImageControl : public QWidget, private TGIFPainterHandle {
    Q_OBJECT
public:
    explicit TImageControl(QWidget* parent = nullptr);
    ~TImageControl() override;

    void SetClock(std::unique_ptr<TAnimationClock> clock);

    // Shows a still picture (any running animation stops). `now` repaints at once.
    void ShowBitmap(const TBitmap& bitmap, bool now = false);
    // Shows a copy of `image`: animated when it has more than one frame and its drawing
    // options animate, otherwise its first frame.
    void ShowDocument(const TGIFImage& image);
    // Shows nothing.
    void Clear();
    // Stops the animation where it is (the frame shown stays).
    void StopAnimation();
    // The animation speed of the document shown, from the next frame on (0..1000 percent;
    // 0 holds the frame until another speed is set).
    void SetAnimationSpeed(int percent);
    void SetFit(TImageFit fit);
    TImageFit Fit() const { return m_fit; }
    // What the next animated document is drawn over (its logical screen from the top left);
    // an empty bitmap brings back the document's background colour.
    void SetPlaybackBackground(const TBitmap& background) { m_playbackBackground = background; }

    bool IsAnimating() const { return m_playing; }
    // The document shown (nullptr for a bitmap or nothing); the control owns it.
    TGIFImage* Document() const { return m_document.get(); }
    bool HasPicture() const { return !m_image.isNull(); }
    const QImage& Picture() const { return m_image; }
    int ActiveFrame() const { return m_playback ? m_playback->ActiveFrame() : -1; }
    // Milliseconds the current frame stays (-1: until woken); for tests and tools.
    int CurrentWait() const { return m_wait; }

    QSize sizeHint() const override;

signals:
    // The animation ended by itself (its loops are done).
    void AnimationEnded();
    // A frame of the animation was shown (index in the document).
    void FramePainted(int index);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Stop() override; // the document's painter list: called with its lock held
    void release();
    void tick();
    void show(const TGIFPlaybackStep& step);

    std::unique_ptr<TAnimationClock> m_clock;
    std::unique_ptr<TGIFImage> m_document;
    std::unique_ptr<TGIFPlayback> m_playback;
    QImage m_image;
    TImageFit m_fit = TImageFit::Centre;
    TBitmap m_playbackBackground;
    bool m_playing = false;
    qint64 m_due = 0;
    int m_wait = 0;
};
