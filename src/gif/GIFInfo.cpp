#include "GIFInfo.h"

#include <cctype>
#include <cstdio>
#include <iterator>
#include <sstream>

namespace {

// A name as the explorer shows it and as the gif-info listing prints it.
struct TWording {
    const char* Explorer;
    const char* Line;
};

// Names of the blocks, by TGIFNodeKind. The document is named by its file; a local palette
// has no line of its own in the listing.
constexpr TWording kBlockNames[] = {
    {"", ""},
    {"Header", "Header"},
    {"Global Palette", "Global Palette"},
    {"Local Palette", ""},
    {"Image %d", "Image %d"},
    {"Graphic Control Extension", "Graphic Control Extension"},
    {"Text extension", "Text Extension"},
    {"Comment Extension", "Comment Extension"},
    {"Netscape Loop Extension", "Netscape Loop Extension"},
    {"Application Extension", "Application Extension"},
    {"Unknown extension", "Unknown Extension"},
};
static_assert(std::size(kBlockNames) == static_cast<std::size_t>(TGIFNodeKind::Unknown) + 1);

// Disposal methods 0 to 3 (the explorer's "Disposal" row keeps the spelling it has always
// shown); the format reserves 4 to 7.
constexpr TWording kDisposalNames[] = {
    {"None specified", "none specified"},
    {"Do not dispose", "do not dispose"},
    {"Background", "background"},
    {"Previuos", "previous"},
};

const TWording& names(TGIFNodeKind kind) { return kBlockNames[static_cast<std::size_t>(kind)]; }

std::string format(const char* fmt, int value)
{
    char buf[48];
    std::snprintf(buf, sizeof buf, fmt, value);
    return buf;
}

std::string disposalRow(int method)
{
    return method >= 0 && method < 4 ? kDisposalNames[method].Explorer : format("Reserved (%d)", method);
}

std::string disposalLine(int method) { return method >= 0 && method < 4 ? kDisposalNames[method].Line : "reserved"; }

const TGIFSubImage* frameOf(const TGIFImage& image, const TGIFNode& node)
{
    if (node.Frame < 0 || node.Frame >= image.Count())
        return nullptr;
    return image.Images[static_cast<std::size_t>(node.Frame)].get();
}

const TGIFExtension* extensionOf(const TGIFImage& image, const TGIFNode& node)
{
    const TGIFSubImage* frame = frameOf(image, node);
    if (!frame || node.Extension < 0 || node.Extension >= static_cast<int>(frame->Extensions.size()))
        return nullptr;
    return frame->Extensions[static_cast<std::size_t>(node.Extension)].get();
}

// --- the explorer's rows -------------------------------------------------------------------

std::string number(int value) { return std::to_string(value); }
std::string YesNo(bool b) { return b ? "Yes" : "No"; }

// Identifier bytes as text: printable ASCII as it is, anything else as ".".
std::string printable(const std::string& bytes)
{
    std::string s = bytes;
    for (char& c : s)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E)
            c = '.';
    return s;
}

// "ColorResolution" and "BitsPerPixel", each only when it is above 0.
void addDepthRows(TGIFPropertyRows& rows, int resolution, int bitsPerPixel)
{
    if (resolution > 0)
        rows.emplace_back("ColorResolution", format("%d colors", 1 << (resolution + 1)));
    if (bitsPerPixel > 0)
        rows.emplace_back("BitsPerPixel", format("%d bits", bitsPerPixel));
}

// --- the listing ---------------------------------------------------------------------------

const char* yesNo(bool b) { return b ? "yes" : "no"; }

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

void describePalette(std::ostringstream& out, const TGIFColorMap& map)
{
    out << map.Count() << " colors, " << map.BitsPerPixel() << " bits" << (map.Sorted() ? ", sorted" : "");
}

void describeFrame(std::ostringstream& out, const TGIFSubImage& f)
{
    if (f.Empty()) {
        out << "no image data";
        return;
    }
    out << "left " << f.Left << ", top " << f.Top << ", width " << f.Width() << ", height " << f.Height()
        << ", interlaced " << yesNo(f.Interlaced()) << ", ";
    if (f.ColorMap.Count() > 0) {
        out << "local palette ";
        describePalette(out, f.ColorMap);
    } else {
        out << "global palette";
    }
}

void describeExtension(std::ostringstream& out, TGIFNodeKind kind, const TGIFExtension& ext)
{
    switch (kind) {
    case TGIFNodeKind::GraphicControl: {
        const auto& gce = static_cast<const TGIFGraphicControlExtension&>(ext);
        out << "delay " << gce.Delay() << " (" << gce.Delay() * 10 << " ms), disposal " << gce.Disposal() << " ("
            << disposalLine(gce.Disposal()) << "), transparent " << yesNo(gce.Transparent()) << ", transparent index "
            << gce.TransparentColorIndex() << ", user input " << yesNo(gce.UserInput());
        break;
    }
    case TGIFNodeKind::Text: {
        const auto& text = static_cast<const TGIFTextExtension&>(ext);
        out << "grid " << text.GridLeft() << "," << text.GridTop() << " " << text.GridWidth() << " x " << text.GridHeight()
            << ", cell " << text.CellWidth() << " x " << text.CellHeight() << ", foreground "
            << text.ForegroundColorIndex() << ", background " << text.BackgroundColorIndex() << ", text "
            << quoted(text.Text.Joined());
        break;
    }
    case TGIFNodeKind::Comment:
        out << quoted(static_cast<const TGIFCommentExtension&>(ext).Text.Joined());
        break;
    case TGIFNodeKind::Loop: {
        const auto& loop = static_cast<const TGIFAppExtNSLoop&>(ext);
        out << "loops " << loop.Loops();
        if (loop.Loops() == 0)
            out << " (forever)";
        if (loop.BufferSize() != 0)
            out << ", buffer size " << loop.BufferSize();
        break;
    }
    case TGIFNodeKind::Application: {
        const auto& app = static_cast<const TGIFUnknownAppExtension&>(ext);
        out << "identifier " << quoted(app.Identifier()) << ", authentication " << quoted(app.Authentication()) << ", "
            << GIFExtensionDataBlocks(app).size() << " data blocks";
        break;
    }
    default: {
        char label[8];
        std::snprintf(label, sizeof label, "0x%02X", ext.ExtensionType());
        out << "label " << label << ", " << GIFExtensionDataBlocks(ext).size() << " data blocks";
        break;
    }
    }
}

} // namespace

TGIFNodeKind GIFExtensionKind(const TGIFExtension& ext)
{
    if (dynamic_cast<const TGIFGraphicControlExtension*>(&ext))
        return TGIFNodeKind::GraphicControl;
    if (dynamic_cast<const TGIFTextExtension*>(&ext))
        return TGIFNodeKind::Text;
    if (dynamic_cast<const TGIFCommentExtension*>(&ext))
        return TGIFNodeKind::Comment;
    if (dynamic_cast<const TGIFAppExtNSLoop*>(&ext))
        return TGIFNodeKind::Loop;
    if (dynamic_cast<const TGIFUnknownAppExtension*>(&ext))
        return TGIFNodeKind::Application;
    return TGIFNodeKind::Unknown;
}

std::vector<TGIFNode> GIFNodes(const TGIFImage& image)
{
    std::vector<TGIFNode> nodes;
    nodes.push_back({TGIFNodeKind::Header});
    if (image.Header.ColorMap.Count() > 0)
        nodes.push_back({TGIFNodeKind::GlobalPalette});
    for (int i = 0; i < image.Count(); ++i) {
        const TGIFSubImage& frame = *image.Images[static_cast<std::size_t>(i)];
        nodes.push_back({TGIFNodeKind::Frame, i});
        if (frame.ColorMap.Count() > 0)
            nodes.push_back({TGIFNodeKind::LocalPalette, i});
        for (std::size_t e = 0; e < frame.Extensions.size(); ++e)
            nodes.push_back({GIFExtensionKind(*frame.Extensions[e]), i, static_cast<int>(e)});
    }
    return nodes;
}

const TGIFObject* GIFNodeItem(const TGIFImage& image, const TGIFNode& node)
{
    switch (node.Kind) {
    case TGIFNodeKind::Document:
        return &image;
    case TGIFNodeKind::Header:
        return &image.Header;
    case TGIFNodeKind::GlobalPalette:
        return &image.Header.ColorMap;
    case TGIFNodeKind::LocalPalette: {
        const TGIFSubImage* frame = frameOf(image, node);
        return frame ? &frame->ColorMap : nullptr;
    }
    case TGIFNodeKind::Frame:
        return frameOf(image, node);
    default:
        return extensionOf(image, node);
    }
}

std::string GIFNodeName(const TGIFNode& node)
{
    return node.Kind == TGIFNodeKind::Frame ? format(names(node.Kind).Explorer, node.Frame) : names(node.Kind).Explorer;
}

std::string GIFWarningSource(const TGIFImage& image, const TGIFObject& sender)
{
    if (dynamic_cast<const TGIFHeader*>(&sender))
        return "the header";
    if (dynamic_cast<const TGIFGlobalColorMap*>(&sender))
        return "the global palette";
    if (dynamic_cast<const TGIFLocalColorMap*>(&sender))
        return "a local palette";
    if (dynamic_cast<const TGIFTrailer*>(&sender))
        return "the end of the file";
    if (const auto* frame = dynamic_cast<const TGIFSubImage*>(&sender)) {
        // A frame still being read is not in the list yet: it is the next one.
        int index = image.Count();
        for (int i = 0; i < image.Count(); ++i)
            if (image.Images[static_cast<std::size_t>(i)].get() == frame)
                index = i;
        return format("image %d", index);
    }
    if (const auto* extension = dynamic_cast<const TGIFExtension*>(&sender)) {
        std::string name = names(GIFExtensionKind(*extension)).Line;
        for (char& c : name)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return "a " + name;
    }
    return "the file";
}

TGIFPropertyRows GIFBlockRows(const TGIFImage& image, const TGIFNode& node, const std::string& fileName)
{
    TGIFPropertyRows rows;
    const TGIFObject* item = GIFNodeItem(image, node);
    if (!item)
        return rows;
    switch (node.Kind) {
    case TGIFNodeKind::Document:
        rows.emplace_back("Filename", fileName);
        rows.emplace_back("Frames", number(image.Count()));
        rows.emplace_back("Global Palette", YesNo(image.Header.ColorMap.Count() > 0));
        addDepthRows(rows, image.ColorResolution(), image.BitsPerPixel());
        break;
    case TGIFNodeKind::Header: {
        const TGIFHeader& h = image.Header;
        // The version the file says it is; a document not read from a file, the one its
        // header would be written with.
        std::string version = h.FileVersion.empty() ? GIFVersionText(h.Version()) : h.FileVersion;
        for (char& c : version)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        rows.emplace_back("Version", "gif" + version);
        rows.emplace_back("Width", number(h.Width));
        rows.emplace_back("Height", number(h.Height));
        rows.emplace_back("BackGroundColor", number(h.BackgroundColorIndex));
        rows.emplace_back("AspectRatio", number(h.AspectRatio));
        addDepthRows(rows, h.ColorResolution(), h.BitsPerPixel());
        break;
    }
    case TGIFNodeKind::GlobalPalette:
    case TGIFNodeKind::LocalPalette: {
        const auto& map = static_cast<const TGIFColorMap&>(*item);
        rows.emplace_back("Count", number(map.Count()));
        rows.emplace_back("Optimized", YesNo(map.Sorted()));
        rows.emplace_back("BitsPerPixel", format("%d bits", map.BitsPerPixel()));
        break;
    }
    case TGIFNodeKind::Frame: {
        const auto& f = static_cast<const TGIFSubImage&>(*item);
        rows.emplace_back("Left", number(f.Left));
        rows.emplace_back("Top", number(f.Top));
        rows.emplace_back("Width", number(f.Width()));
        rows.emplace_back("Height", number(f.Height()));
        rows.emplace_back("Interlaced", YesNo(f.Interlaced()));
        rows.emplace_back("Extensions", number(static_cast<int>(f.Extensions.size())));
        rows.emplace_back("Local Palette", YesNo(f.ColorMap.Count() > 0));
        addDepthRows(rows, f.ColorResolution(), f.BitsPerPixel());
        break;
    }
    case TGIFNodeKind::GraphicControl: {
        const auto& g = static_cast<const TGIFGraphicControlExtension&>(*item);
        rows.emplace_back("Delay", format("%d mS", g.Delay() * 10));
        rows.emplace_back("Transparent", YesNo(g.Transparent()));
        rows.emplace_back("TransparentColor", number(g.TransparentColorIndex()));
        rows.emplace_back("Prompt", YesNo(g.UserInput()));
        rows.emplace_back("Disposal", disposalRow(g.Disposal()));
        break;
    }
    case TGIFNodeKind::Loop:
        rows.emplace_back("Loops", number(static_cast<const TGIFAppExtNSLoop&>(*item).Loops()));
        break;
    case TGIFNodeKind::Application: {
        const auto& a = static_cast<const TGIFUnknownAppExtension&>(*item);
        rows.emplace_back("Identifier", printable(a.Identifier()));
        rows.emplace_back("Authentication", printable(a.Authentication()));
        rows.emplace_back("Data Blocks", number(static_cast<int>(GIFExtensionDataBlocks(a).size())));
        break;
    }
    default:
        break;
    }
    return rows;
}

std::vector<std::span<const std::uint8_t>> GIFExtensionDataBlocks(const TGIFExtension& extension)
{
    std::vector<std::span<const std::uint8_t>> blocks;
    const TGIFSubBlocks* stored = nullptr;
    if (const auto* app = dynamic_cast<const TGIFUnknownAppExtension*>(&extension))
        stored = &app->Blocks;
    else if (const auto* unknown = dynamic_cast<const TGIFUnknownExtension*>(&extension))
        stored = &unknown->Blocks;
    if (stored)
        for (std::string_view b : *stored)
            blocks.emplace_back(reinterpret_cast<const std::uint8_t*>(b.data()), b.size());
    return blocks;
}

std::string GIFBlockTreeText(const TGIFImage& image)
{
    std::ostringstream out;
    for (const TGIFNode& node : GIFNodes(image)) {
        switch (node.Kind) {
        case TGIFNodeKind::Header: {
            const TGIFHeader& h = image.Header;
            const std::string version =
                h.FileVersion.empty() ? GIFVersionText(image.Empty() ? h.Version() : image.Version()) : h.FileVersion;
            out << names(node.Kind).Line << ": GIF" << version << ", screen " << h.Width << " x " << h.Height
                << ", background " << int(h.BackgroundColorIndex) << ", aspect ratio " << int(h.AspectRatio);
            break;
        }
        case TGIFNodeKind::GlobalPalette:
            out << names(node.Kind).Line << ": ";
            describePalette(out, image.Header.ColorMap);
            break;
        case TGIFNodeKind::Frame:
            out << format(names(node.Kind).Line, node.Frame) << ": ";
            describeFrame(out, *frameOf(image, node));
            break;
        case TGIFNodeKind::LocalPalette:
            continue; // said in its frame's line
        default:
            out << "  " << names(node.Kind).Line << ": ";
            describeExtension(out, node.Kind, *extensionOf(image, node));
            break;
        }
        out << "\n";
    }
    // A file cut short has no trailer, and says so.
    out << (image.MissingTrailer() ? "No trailer\n" : "Trailer\n");
    return out.str();
}
