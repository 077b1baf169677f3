// TVideoReader: the first video stream of an AVI file (or of an MP4, MOV, MKV or WebM
// file) through FFmpeg, frame by frame as 24-bit bitmaps. Any codec FFmpeg decodes.
//
// Timing comes as an AVI stream header gives it: a frame lasts Scale / Rate seconds and
// the positions run from Start; frame `Start + k` is the k-th frame of the stream. For
// AVI files these are the stream header's own values (read from the file, so a rate of
// 0 stays 0); for other containers the frame rate and the frame count of the stream.
//
// Bad files raise EVideoError with the messages of the AVI services ("Failed to open AVI
// file", "Failed to decompress AVI frame", ...), a reason after a colon where one helps.
// Claimed frame sizes are checked before the decoder starts; FFmpeg never prints.
#pragma once

#include "AviHeader.h"

#include "graphics/Bitmap.h"
#include "graphics/Exception.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class EVideoError : public Exception {
public:
    using Exception::Exception;
};

struct TVideoStreamInfo {
    TAviStreamTiming Timing;
    int Width = 0;
    int Height = 0;
    bool Avi = false; // the container is RIFF AVI
    // The frames the file really holds data for (its index, or its packets counted):
    // a header may claim more than a cut file has.
    std::uint32_t FramesInFile = 0;
    std::string Codec; // FFmpeg's short codec name, for messages and the command line
};

class TVideoReader {
public:
    // Opens a regular file. Throws EVideoError.
    explicit TVideoReader(const std::string& path);
    // Reads from bytes in memory (the fuzz target, tests).
    explicit TVideoReader(std::vector<std::uint8_t> bytes);
    ~TVideoReader();
    TVideoReader(const TVideoReader&) = delete;
    TVideoReader& operator=(const TVideoReader&) = delete;

    const TVideoStreamInfo& Info() const;

    // The frame at `position` (Start, Start + 1, ...) as a 24-bit bitmap of the stream's
    // size. Positions are decoded in order: a later one skips ahead, an earlier one
    // starts again from the beginning. Past the last frame the file "ends early".
    void ReadFrame(std::uint32_t position, TBitmap& out);
    // The next frame in order; false after the last one.
    bool NextFrame(TBitmap& out);
    // Back to the first frame.
    void Rewind();

private:
    struct Impl;
    std::unique_ptr<Impl> m;
};
