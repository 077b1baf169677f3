#include "GIFInfo.h"

#include <cstdio>
#include <sstream>

namespace {

// Text of comments and identifiers, quoted, with control bytes escaped.
std::string quoted(const std::string& s)
{
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

const char* yesNo(bool b) { return b ? "yes" : "no"; }

void describeExtension(std::ostringstream& out, const TGIFExtension& ext)
{
    out << "  ";
    if (const auto* gce = dynamic_cast<const TGIFGraphicControlExtension*>(&ext)) {
        out << "Graphic Control Extension: delay " << gce->Delay() << " (" << gce->Delay() * 10 << " ms), disposal "
            << gce->Disposal() << " (" << GIFDisposalName(gce->Disposal()) << "), transparent " << yesNo(gce->Transparent())
            << ", transparent index " << gce->TransparentColorIndex() << ", user input " << yesNo(gce->UserInput());
    } else if (const auto* text = dynamic_cast<const TGIFTextExtension*>(&ext)) {
        out << "Text Extension: grid " << text->GridLeft() << "," << text->GridTop() << " " << text->GridWidth() << " x "
            << text->GridHeight() << ", cell " << text->CellWidth() << " x " << text->CellHeight() << ", foreground "
            << text->ForegroundColorIndex() << ", background " << text->BackgroundColorIndex() << ", text "
            << quoted(text->Text.Joined());
    } else if (const auto* comment = dynamic_cast<const TGIFCommentExtension*>(&ext)) {
        out << "Comment Extension: " << quoted(comment->Text.Joined());
    } else if (const auto* loop = dynamic_cast<const TGIFAppExtNSLoop*>(&ext)) {
        out << "Netscape Loop Extension: loops " << loop->Loops();
        if (loop->Loops() == 0)
            out << " (forever)";
        if (loop->BufferSize() != 0)
            out << ", buffer size " << loop->BufferSize();
    } else if (const auto* app = dynamic_cast<const TGIFUnknownAppExtension*>(&ext)) {
        out << "Application Extension: identifier " << quoted(app->Identifier()) << ", authentication "
            << quoted(app->Authentication()) << ", " << app->Blocks.Count() << " data blocks";
    } else if (const auto* unknown = dynamic_cast<const TGIFUnknownExtension*>(&ext)) {
        char label[8];
        std::snprintf(label, sizeof label, "0x%02X", unknown->ExtensionType());
        out << "Unknown Extension: label " << label << ", " << unknown->Blocks.Count() << " data blocks";
    }
    out << "\n";
}

} // namespace

std::string GIFDisposalName(int method)
{
    switch (method) {
    case 0:
        return "none specified";
    case 1:
        return "do not dispose";
    case 2:
        return "background";
    case 3:
        return "previous";
    default:
        return "reserved";
    }
}

std::string GIFBlockTreeText(const TGIFImage& image)
{
    std::ostringstream out;
    const TGIFHeader& h = image.Header;
    const std::string version = h.FileVersion.empty() ? GIFVersionText(image.Empty() ? h.Version() : image.Version()) : h.FileVersion;
    out << "Header: GIF" << version << ", screen " << h.Width << " x " << h.Height << ", background " << int(h.BackgroundColorIndex)
        << ", aspect ratio " << int(h.AspectRatio) << "\n";
    if (h.ColorMap.Count() > 0)
        out << "Global Palette: " << h.ColorMap.Count() << " colors, " << h.ColorMap.BitsPerPixel() << " bits"
            << (h.ColorMap.Sorted() ? ", sorted" : "") << "\n";
    for (int i = 0; i < image.Count(); ++i) {
        const TGIFSubImage& f = *image.Images[static_cast<std::size_t>(i)];
        out << "Image " << i << ": ";
        if (f.Empty()) {
            out << "no image data";
        } else {
            out << "left " << f.Left << ", top " << f.Top << ", width " << f.Width() << ", height " << f.Height()
                << ", interlaced " << yesNo(f.Interlaced()) << ", ";
            if (f.ColorMap.Count() > 0)
                out << "local palette " << f.ColorMap.Count() << " colors, " << f.ColorMap.BitsPerPixel() << " bits"
                    << (f.ColorMap.Sorted() ? ", sorted" : "");
            else
                out << "global palette";
        }
        out << "\n";
        for (const auto& ext : f.Extensions)
            describeExtension(out, *ext);
    }
    // A file cut short has no trailer, and says so.
    out << (image.MissingTrailer() ? "No trailer\n" : "Trailer\n");
    return out.str();
}
