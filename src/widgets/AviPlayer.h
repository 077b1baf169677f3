// TAviPlayer: the playback control for silent videos in the converter windows. It plays
// the first video stream of a file (AVI or anything else the video reader opens) at the
// stream's rate, over and over, decoding one frame per tick: the image control shows the
// frame, centred and scaled down when it does not fit. It does not size itself to the
// video.
#pragma once

#include "ImageControl.h"

#include <QTimer>

#include <memory>
#include <string>

class TVideoReader;

class TAviPlayer : public TImageControl {
    Q_OBJECT
public:
    explicit TAviPlayer(QWidget* parent = nullptr);
    ~TAviPlayer() override;
    using QWidget::show;

    // Sets the file and starts playing it at its first frame; false (and nothing shown,
    // inactive) when the file cannot be played.
    bool Play(const std::string& path);
    // Stops and forgets the file.
    void StopPlaying();
    bool Active() const { return m_timer.isActive(); }
    const std::string& FileName() const { return m_fileName; }
    // Frames shown since Play; the interval between them in milliseconds.
    int FramesShown() const { return m_shown; }
    int Interval() const { return m_timer.interval(); }
    // Shows the next frame (what the timer does; tests call it directly).
    void Advance();

private:
    std::unique_ptr<TVideoReader> m_reader;
    std::string m_fileName;
    QTimer m_timer;
    TBitmap m_frame;
    int m_shown = 0;
};
