// The animation as a document: what a project file keeps whole and what undo takes back.
// A plain value: frames in order (name, delay as typed, picture with its transparency
// flag), the frame size, the next frame number and the loop count. Pictures are shared
// and never changed in place, so copying a document (undo, autosave) copies no pixels.
#pragma once

#include "graphics/Bitmap.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A picture version no other picture of this run has (any strip, any loaded project), so
// whatever is kept by version (views, undo, the autosave's encoded pictures) never mixes
// two pictures up. Safe on any thread.
std::uint64_t NewPictureVersion();

struct TFrameRecord {
    std::string Name;      // "Frame" + counter at creation, never reused within a strip
    std::string DelayText; // as typed; reads as 30 when it is not a whole number
    // The picture and the frame's transparency flag (the bitmap's). Never null in a strip.
    std::shared_ptr<const TBitmap> Picture;
    // Changes whenever the picture or its transparency changes; unique within the run, so
    // views and autosave can keep what they made of it until it changes.
    std::uint64_t Version = 0;

    const TBitmap& Bitmap() const { return *Picture; }
    bool Transparent() const { return Picture->Transparent(); }
    std::string EntryText() const { return Name + "=" + DelayText; }
};

struct TStripDocument {
    std::vector<TFrameRecord> Frames;
    int FrameWidth = 0;
    int FrameHeight = 0;
    int FrameCounter = 1; // number of the next frame's name
    int LoopCount = 0;    // of the loop extension; 0 = forever

    int Count() const { return static_cast<int>(Frames.size()); }
};
