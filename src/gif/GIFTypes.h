// Basic vocabulary of the GIF codec: the exception, versions, callbacks, drawing options.
#pragma once

#include "ColorReduction.h"
#include "graphics/Exception.h"

#include <cstdint>
#include <functional>
#include <string>

// Every error raised by the codec.
class GIFException : public EInvalidGraphic {
public:
    using EInvalidGraphic::EInvalidGraphic;
};

// The data ends inside a block. Loading turns this into the warning "Premature end of
// data" and keeps what was complete before the cut; it never reaches the caller.
class EGIFPrematureEnd : public GIFException {
public:
    EGIFPrematureEnd() : GIFException("Premature end of data") {}
};

enum TGIFVersion { gvUnknown = 0, gv87a = 1, gv89a = 2 };
const char* GIFVersionText(TGIFVersion version); // "87a" / "89a"

// Anything that can send a warning: blocks, lists and colour tables.
class TGIFObject {
public:
    virtual ~TGIFObject() = default;
    virtual const char* ClassName() const = 0;
};

enum TGIFSeverity { gsInfo = 0, gsWarning = 1, gsError = 2 };

// Warning callback: the block that warns, the severity and the text. Returning false
// aborts the running operation with GIFException("GIF Aborted"); an exception thrown by
// the callback ends it too. Without a callback warnings are ignored.
using TGIFWarningFn = std::function<bool(const TGIFObject& sender, int severity, const std::string& message)>;

enum TGIFProgressStage { psStarting = 0, psRunning = 1, psEnding = 2 };
// Progress callback: stage, percent 0..100 and the message ("Loading...", "Saving...").
using TGIFProgressFn = std::function<void(TGIFProgressStage stage, int percent, const std::string& message)>;

// How a document plays (a set of bits; each document has its own).
enum TGIFDrawOption : unsigned {
    goAsync = 0x0001,           // frames keep their time even when one is late
    goTransparent = 0x0002,     // transparent pixels show what is beneath
    goAnimate = 0x0004,         // more than one frame plays
    goLoop = 0x0008,            // the loop extension's count is honoured
    goLoopContinously = 0x0010, // plays forever whatever the count says
    goClearOnLoop = 0x0080,     // each pass starts from the background
};
using TGIFDrawOptions = unsigned;
// What a new document starts with.
constexpr TGIFDrawOptions kDefaultDrawOptions = goAsync | goTransparent | goAnimate | goLoop;

// Caps on what a file may make us allocate: one frame holds at most kMaxBitmapPixels
// pixels, one document at most this many decoded pixel bytes in all.
constexpr std::int64_t kMaxGIFDocumentPixels = std::int64_t(1) << 30;
