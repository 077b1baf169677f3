// What a script runner process gets and gives back, through one file (an anonymous
// memory file the parent makes): the script, its limits, the picture and the canvas's
// pen, brush and font; back come the first error, the picture when the script drew, the
// canvas state and the actor path when the script set one.
//
// The outcome comes from a process that ran someone's script: it is read as untrusted
// input (every size checked against the file and the memory budget).
#pragma once

#include "graphics/Bitmap.h"
#include "graphics/canvas/Canvas.h"
#include "platform/script/ScriptHost.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The canvas settings a script can change (and the editor's tools share).
struct TCanvasState {
    TPen Pen;
    TColor BrushColor = clWhite;
    TBrushStyle BrushStyle = TBrushStyle::bsSolid;
    std::string FontName;
    TColor FontColor = clBlack;
    unsigned FontStyle = 0;
    int FontHeight = -11;
    TPoint PenPos;
    TPolyFillMode PolyFillMode = TPolyFillMode::Alternate;

    static TCanvasState Of(const TCanvas& canvas);
    void ApplyTo(TCanvas& canvas) const;
};

struct TScriptRequest {
    std::string Code;
    double TimeoutSeconds = 0;      // 0: no limit
    std::uint64_t MemoryRoom = 0;   // bytes the runner may grow by
    TCanvasState Canvas;
};

struct TScriptOutcome {
    bool Completed = false;         // read back from a runner that finished its run
    std::optional<TScriptError> Error;
    bool Drawn = false;             // Picture holds the picture after the run
    TBitmap Picture;
    TCanvasState Canvas;
    bool ActorPathSet = false;
    std::vector<TPoint> ActorPath;
};

// Each writes from the start of `fd` (a regular or memory file) and throws Exception
// when the file cannot be written or read, or holds something else.
void WriteScriptRequest(int fd, const TScriptRequest& request, const TBitmap& picture);
TScriptRequest ReadScriptRequest(int fd, TBitmap& picture);
void WriteScriptOutcome(int fd, const TScriptOutcome& outcome);
TScriptOutcome ReadScriptOutcome(int fd);
