// giflib as an independent decoder and encoder for the codec tests.
#pragma once

#include "gif/GIFColorMap.h"

#include <cstdint>
#include <string>
#include <vector>

struct GLFrame {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    bool Interlace = false;
    std::vector<std::uint8_t> Pixels; // row-major, de-interlaced
    std::vector<TGIFColor> Colors;    // the active table as stored in the file
    bool LocalTable = false;
    int Transparent = -1;
    int Delay = 0;
    int Disposal = 0;
};

struct GLFile {
    std::string Version;
    int Width = 0, Height = 0;
    std::vector<TGIFColor> Global;
    bool GlobalSorted = false;
    std::vector<GLFrame> Frames;
    int Loops = -1;
};

// Throws std::runtime_error with giflib's message when giflib refuses the data.
GLFile GiflibDecode(const std::vector<std::uint8_t>& bytes);
// Writes frames with giflib (global table when `global` is not empty).
std::vector<std::uint8_t> GiflibEncode(const GLFile& file);
