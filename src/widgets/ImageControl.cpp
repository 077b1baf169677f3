#include "ImageControl.h"

#include "BitmapImage.h"
#include "graphics/MemoryBudget.h"

#include <QElapsedTimer>
#include <QPainter>
#include <QTimer>

namespace {

class TQtAnimationClock : public TAnimationClock {
public:
    // The timer belongs to the clock alone (no QObject parent), so replacing the clock
    // or destroying the control deletes it exactly once.
    TQtAnimationClock()
    {
        m_timer.setSingleShot(true);
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (OnTimeout)
                OnTimeout();
        });
        m_clock.start();
    }
    qint64 NowMs() const override { return m_clock.elapsed(); }
    void Schedule(int ms) override { m_timer.start(ms); }
    void Cancel() override { m_timer.stop(); }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
};

} // namespace

std::unique_ptr<TAnimationClock> MakeQtAnimationClock()
{
    return std::make_unique<TQtAnimationClock>();
}

TImageControl::TImageControl(QWidget* parent) : QWidget(parent)
{
    SetClock(MakeQtAnimationClock());
}

TImageControl::~TImageControl() { release(); }

void TImageControl::SetClock(std::unique_ptr<TAnimationClock> clock)
{
    if (m_clock)
        m_clock->Cancel();
    m_clock = std::move(clock);
    m_clock->OnTimeout = [this] { tick(); };
}

void TImageControl::Stop()
{
    // Only flags and the timer: the document's lock is held by the caller.
    m_playing = false;
    m_clock->Cancel();
}

void TImageControl::StopAnimation()
{
    m_playing = false;
    m_clock->Cancel();
}

void TImageControl::release()
{
    StopAnimation();
    m_playback.reset();
    if (m_document) {
        m_document->RemovePainter(this);
        m_document.reset();
    }
}

void TImageControl::ShowBitmap(const TBitmap& bitmap, bool now)
{
    release();
    m_image = ImageFromBitmap(bitmap);
    updateGeometry();
    if (now)
        repaint();
    else
        update();
}

void TImageControl::Clear()
{
    release();
    m_image = QImage();
    update();
}

void TImageControl::ShowDocument(const TGIFImage& image)
{
    // The control plays its own copy: the frames' pixels, the screen it composes them on
    // and the shown image, asked of the memory budget before anything changes.
    std::uint64_t pixels = 0;
    for (const auto& frame : image.Images)
        pixels += frame->Data.size();
    MemoryBudget::Check(pixels + MemoryBudget::PictureBytes(image.Width(), image.Height(), 2, 4),
                        "the preview of a " + std::to_string(image.Width()) + " x " + std::to_string(image.Height())
                            + " animation of " + std::to_string(image.Count()) + " frames");
    release();
    m_document = std::make_unique<TGIFImage>();
    m_document->DrawOptions = image.DrawOptions;
    m_document->SetAnimationSpeed(image.AnimationSpeed());
    m_document->DrawBackgroundColor = image.DrawBackgroundColor;
    m_document->Assign(image);
    if (m_document->Empty()) {
        m_image = QImage();
        update();
        return;
    }
    if (m_document->Count() > 1 && (m_document->DrawOptions & goAnimate)) {
        m_document->AddPainter(this);
        m_playback = std::make_unique<TGIFPlayback>(*m_document);
        if (!m_playbackBackground.Empty())
            m_playback->SetBackground(m_playbackBackground);
        m_playing = true;
        TGIFPlaybackStep step;
        if (m_playback->Next(step))
            show(step);
        else
            m_playing = false;
    } else {
        m_image = ImageFromBitmap(m_document->Bitmap());
        updateGeometry();
        update();
    }
}

void TImageControl::SetAnimationSpeed(int percent)
{
    if (!m_document)
        return;
    m_document->SetAnimationSpeed(percent);
    if (!m_playback)
        return;
    m_playback->SetAnimationSpeed(percent);
    // A frame held at speed 0 moves on once there is a speed again.
    if (m_playing && m_wait < 0 && m_playback->AnimationSpeed() > 0) {
        m_due = m_clock->NowMs();
        m_wait = 0;
        m_clock->Schedule(0);
    }
}

void TImageControl::SetFit(TImageFit fit)
{
    m_fit = fit;
    update();
}

void TImageControl::show(const TGIFPlaybackStep& step)
{
    if (step.Screen)
        m_image = ImageFromBitmap(*step.Screen);
    updateGeometry();
    update();
    m_wait = step.Wait;
    if (m_playing && step.Wait >= 0) {
        m_due = m_clock->NowMs() + step.Wait;
        m_clock->Schedule(step.Wait);
    }
    emit FramePainted(step.FrameIndex);
}

void TImageControl::tick()
{
    if (!m_playing || !m_playback)
        return;
    const int overrun = static_cast<int>(std::max<qint64>(0, m_clock->NowMs() - m_due));
    TGIFPlaybackStep step;
    if (!m_playback->Next(step, overrun)) {
        m_playing = false;
        emit AnimationEnded();
        return;
    }
    show(step);
}

QSize TImageControl::sizeHint() const
{
    return m_image.isNull() ? QSize(100, 80) : m_image.size();
}

void TImageControl::paintEvent(QPaintEvent*)
{
    if (m_image.isNull())
        return;
    QPainter p(this);
    if (m_fit == TImageFit::Stretch) {
        p.drawImage(rect(), m_image);
        return;
    }
    if (m_fit == TImageFit::Tile) {
        p.drawTiledPixmap(rect(), QPixmap::fromImage(m_image));
        return;
    }
    QSize size = m_image.size();
    if (size.width() > width() || size.height() > height())
        size.scale(this->size(), Qt::KeepAspectRatio);
    const QRect target((width() - size.width()) / 2, (height() - size.height()) / 2, size.width(), size.height());
    p.drawImage(target, m_image);
}
