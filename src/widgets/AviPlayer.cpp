#include "AviPlayer.h"

#include "platform/avi/VideoReader.h"

#include <algorithm>

TAviPlayer::TAviPlayer(QWidget* parent) : TImageControl(parent)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &TAviPlayer::Advance);
}

TAviPlayer::~TAviPlayer() = default;

bool TAviPlayer::Play(const std::string& path)
{
    StopPlaying();
    try {
        auto reader = std::make_unique<TVideoReader>(path);
        const TAviStreamTiming& t = reader->Info().Timing;
        // A frame lasts Scale / Rate seconds; without a rate, a tenth of a second.
        const std::uint64_t ms = t.Rate ? std::uint64_t(t.Scale) * 1000 / t.Rate : 100;
        m_reader = std::move(reader);
        m_fileName = path;
        m_timer.setInterval(static_cast<int>(std::clamp<std::uint64_t>(ms, 10, 10000)));
        Advance();
        if (!m_reader) {
            StopPlaying();
            return false;
        }
        m_timer.start();
        return true;
    } catch (const std::exception&) {
        StopPlaying();
        return false;
    }
}

void TAviPlayer::StopPlaying()
{
    m_timer.stop();
    m_reader.reset();
    m_fileName.clear();
    m_shown = 0;
    Clear();
}

void TAviPlayer::Advance()
{
    if (!m_reader)
        return;
    try {
        if (!m_reader->NextFrame(m_frame)) {
            m_reader->Rewind();
            if (!m_reader->NextFrame(m_frame)) {
                StopPlaying();
                return;
            }
        }
    } catch (const std::exception&) {
        // A damaged frame ends the playing; the last good frame stays.
        m_timer.stop();
        m_reader.reset();
        return;
    }
    ++m_shown;
    ShowBitmap(m_frame);
}
