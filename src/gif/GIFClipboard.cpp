#include "GIFClipboard.h"

std::vector<std::uint8_t> GIFClipboardData(const TGIFImage& image) { return image.SaveToBytes(); }

void LoadGIFClipboardData(TGIFImage& image, const std::string& format, const std::vector<std::uint8_t>& data)
{
    if (format != kGIFClipboardFormat)
        throw GIFException("Unsupported clipboard format");
    image.LoadFromBytes(data);
}
