// Animated WebP through libwebp's animation encoder: lossless (every pixel exact, the
// transparent ones included) or lossy at a quality of 0..100 (transparency kept exactly in
// either). Delays become milliseconds (a hundredth is 10 ms, 0 stays 0); the loop count is
// the file's (0 forever, at most 65535).
#pragma once

#include "ExportAnimation.h"

void WriteWebPAnimation(const TExportAnimation& animation, const std::string& path, const TExportOptions& options,
                        const TExportProgress& progress);
