// The animation as the exporters take it (export/ExportAnimation.h): the strip's document
// or a GIF document, frames shared, not copied.
#pragma once

#include "StripDocument.h"
#include "export/ExportAnimation.h"
#include "gif/GIFImage.h"

#include <string>

// Every frame of the document with its picture, name, delay (the delay text read as
// GetFrameDelay reads it; below 0 counts as 0) and the loop count.
TExportAnimation ExportAnimationOf(const TStripDocument& document);

// The frames of a GIF as Open composes them (ComposeGIFFrames), named "Frame1",
// "Frame2", ..., with the loop count of its loop extension (none: 0). The budget is asked
// first; `path` names the file in a refusal.
TExportAnimation ExportAnimationOf(const TGIFImage& image, const std::string& path);
