// What a picture file says about itself, read from its headers without decoding pixels.
#pragma once

#include <string>

struct TImageInfo {
    std::string Format; // "BMP", "ICO", "PNG", "JPEG", "GIF"
    int Width = 0;
    int Height = 0;
    int BitsPerPixel = 0; // as stored in the file (for icons: of the image that is used)
    int ImageCount = 1;   // icons hold several images
};
