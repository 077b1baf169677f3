// Frames as PNG files for other tools (game engines, web pages, video editors).
//  - PNG sequence: OUT "dir/name.png" writes "dir/name-0001.png", "dir/name-0002.png", ...
//    (at least four digits, more when there are more frames) and "dir/name.json": the frame
//    size, the loop count and one entry a frame (file, name, delay in hundredths, duration
//    in milliseconds). Frames without transparency are RGB files, others RGBA. Each file is
//    written whole or not at all and the JSON last, so a stopped export leaves the frames
//    written so far beside the JSON of the last finished export.
//  - Sprite sheet: OUT "dir/name.png" holds every frame in a grid, left to right, top to
//    bottom (Columns, or as many columns as make the grid about square), `Padding` pixels
//    around and between them, transparent where no frame is; "dir/name.json" gives each
//    frame's rectangle on the sheet, name, delay and duration.
#pragma once

#include "ExportAnimation.h"

#include <string>

// The file of frame `index` (0-based) of a sequence of `count` frames written as `path`.
std::string PngSequenceFileName(const std::string& path, int index, int count);
// The JSON file beside `path` (its extension replaced by ".json").
std::string FrameListFileName(const std::string& path);

void WritePngSequence(const TExportAnimation& animation, const std::string& path, const TExportProgress& progress);

// The grid of a sheet: columns and rows for `count` frames (`columns` 0: automatic).
struct TSheetGrid {
    int Columns = 1;
    int Rows = 1;
};
TSheetGrid SpriteSheetGrid(int count, int columns);

void WriteSpriteSheet(const TExportAnimation& animation, const std::string& path, const TExportOptions& options,
                      const TExportProgress& progress);
