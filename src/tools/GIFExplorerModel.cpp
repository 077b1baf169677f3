#include "GIFExplorerModel.h"

#include <cmath>
#include <cstdio>
#include <sstream>

namespace {

std::string format(const char* fmt, int value)
{
    char buf[48];
    std::snprintf(buf, sizeof buf, fmt, value);
    return buf;
}

std::string number(int value) { return std::to_string(value); }
std::string yesNo(bool b) { return b ? "Yes" : "No"; }

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

std::string disposalName(int method)
{
    static const char* const names[] = {"None specified", "Do not dispose", "Background", "Previuos"};
    // 4 to 7 are reserved by the format; say so with the number.
    return method >= 0 && method < 4 ? names[method] : format("Reserved (%d)", method);
}

const TGIFSubImage* frameOf(const TGIFImage& image, const TGIFExplorerNode& node)
{
    if (node.Frame < 0 || node.Frame >= image.Count())
        return nullptr;
    return image.Images[static_cast<std::size_t>(node.Frame)].get();
}

const TGIFExtension* extensionOf(const TGIFImage& image, const TGIFExplorerNode& node)
{
    const TGIFSubImage* frame = frameOf(image, node);
    if (!frame || node.Extension < 0 || node.Extension >= static_cast<int>(frame->Extensions.size()))
        return nullptr;
    return frame->Extensions[static_cast<std::size_t>(node.Extension)].get();
}

TGIFExplorerNode extensionNode(const TGIFExtension& ext, int frame, int index)
{
    TGIFExplorerNode n;
    n.Frame = frame;
    n.Extension = index;
    // Tested in this order: the loop extension is an application extension too.
    if (dynamic_cast<const TGIFGraphicControlExtension*>(&ext)) {
        n.Kind = TGIFNodeKind::GraphicControl;
        n.Text = "Graphic Control Extension";
        n.ImageIndex = niGraphicControl;
    } else if (dynamic_cast<const TGIFTextExtension*>(&ext)) {
        n.Kind = TGIFNodeKind::Text;
        n.Text = "Text extension";
        n.ImageIndex = niText;
    } else if (dynamic_cast<const TGIFCommentExtension*>(&ext)) {
        n.Kind = TGIFNodeKind::Comment;
        n.Text = "Comment Extension";
        n.ImageIndex = niComment;
    } else if (dynamic_cast<const TGIFAppExtNSLoop*>(&ext)) {
        n.Kind = TGIFNodeKind::Loop;
        n.Text = "Netscape Loop Extension";
        n.ImageIndex = niLoop;
    } else if (dynamic_cast<const TGIFUnknownAppExtension*>(&ext)) {
        n.Kind = TGIFNodeKind::Application;
        n.Text = "Application Extension";
        n.ImageIndex = niApplication;
    } else {
        n.Kind = TGIFNodeKind::Unknown;
        n.Text = "Unknown extension";
        n.ImageIndex = niUnknown;
    }
    return n;
}

bool validUtf8(const std::string& s)
{
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size())
            return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return false;
        i += n;
    }
    return true;
}

// Text from a file as UTF-8: kept when it already is, else read as Latin-1 (8-bit text).
std::string toUtf8(const std::string& s)
{
    if (validUtf8(s))
        return s;
    std::string out;
    out.reserve(s.size());
    for (unsigned char c : s) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// Comment lines as shown: each stored line, split again where it holds line breaks.
std::vector<std::string> textLines(const std::vector<std::string>& stored)
{
    std::vector<std::string> lines;
    for (const std::string& s : stored) {
        std::size_t start = 0;
        for (std::size_t i = 0; i <= s.size(); ++i) {
            if (i == s.size() || s[i] == '\n' || s[i] == '\r') {
                lines.push_back(toUtf8(s.substr(start, i - start)));
                if (i + 1 < s.size() && s[i] == '\r' && s[i + 1] == '\n')
                    ++i;
                start = i + 1;
            }
        }
    }
    return lines;
}

char dumpChar(std::uint8_t b)
{
    return (b >= ' ' && b <= 'Z') || (b >= 'a' && b <= 'z') ? static_cast<char>(b) : '.';
}

TGIFColorLabels colorLabels(int index, TGIFColor c)
{
    char hex[8];
    std::snprintf(hex, sizeof hex, "%02X%02X%02X", c.Red, c.Green, c.Blue);
    return {number(index), number(c.Red), number(c.Green), number(c.Blue), hex};
}

std::string jsonString(const std::string& s)
{
    std::string out = "\"";
    for (unsigned char c : toUtf8(s)) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20 || c == 0x7F) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04X", c);
                out += buf;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

// Control bytes in plain-text output would garble a terminal.
std::string plainText(const std::string& s)
{
    std::string out;
    for (unsigned char c : toUtf8(s))
        out += c < 0x20 && c != '\t' ? '.' : static_cast<char>(c);
    return out;
}

void writeText(std::ostringstream& out, const TGIFImage& image, const TGIFExplorerNode& node, int depth)
{
    const std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
    out << indent << "+ " << node.Text << "\n";
    for (const auto& [caption, value] : GIFNodeRows(image, node))
        out << indent << "  " << caption << ": " << plainText(value) << "\n";
    for (const std::string& line : GIFNodePreviewText(image, node))
        out << indent << "  | " << plainText(line) << "\n";
    for (const TGIFExplorerNode& child : node.Children)
        writeText(out, image, child, depth + 1);
}

void writeJson(std::ostringstream& out, const TGIFImage& image, const TGIFExplorerNode& node)
{
    out << "{\"text\":" << jsonString(node.Text) << ",\"image\":" << node.ImageIndex << ",\"rows\":[";
    bool first = true;
    for (const auto& [caption, value] : GIFNodeRows(image, node)) {
        out << (first ? "" : ",") << "{\"property\":" << jsonString(caption) << ",\"value\":" << jsonString(value) << "}";
        first = false;
    }
    out << "]";
    const std::vector<std::string> preview = GIFNodePreviewText(image, node);
    if (!preview.empty()) {
        out << ",\"preview\":[";
        for (std::size_t i = 0; i < preview.size(); ++i)
            out << (i ? "," : "") << jsonString(preview[i]);
        out << "]";
    }
    out << ",\"children\":[";
    for (std::size_t i = 0; i < node.Children.size(); ++i) {
        if (i)
            out << ",";
        writeJson(out, image, node.Children[i]);
    }
    out << "]}";
}

} // namespace

std::exception_ptr GIFExplorerLoad(TGIFImage& image, const std::function<void()>& load)
{
    const bool keep = image.KeepPartialLoad;
    image.KeepPartialLoad = true;
    image.Clear(); // a file that cannot even be read leaves nothing of the last one
    std::exception_ptr failure;
    try {
        load();
    } catch (...) {
        failure = std::current_exception();
        // A header that failed holds nothing worth showing.
        if (image.Header.FileVersion.empty())
            image.Clear();
    }
    image.KeepPartialLoad = keep;
    return failure;
}

TGIFExplorerNode BuildGIFExplorerTree(const TGIFImage& image, const std::string& rootText)
{
    TGIFExplorerNode root;
    root.Kind = TGIFNodeKind::Document;
    root.Text = rootText;
    root.ImageIndex = niDocument;
    root.Children.reserve(static_cast<std::size_t>(image.Count()) + 2);

    TGIFExplorerNode header;
    header.Kind = TGIFNodeKind::Header;
    header.Text = "Header";
    header.ImageIndex = niHeader;
    root.Children.push_back(std::move(header));
    if (image.Header.ColorMap.Count() > 0) {
        TGIFExplorerNode global;
        global.Kind = TGIFNodeKind::GlobalPalette;
        global.Text = "Global Palette";
        global.ImageIndex = niPalette;
        root.Children.push_back(std::move(global));
    }
    for (int i = 0; i < image.Count(); ++i) {
        const TGIFSubImage& frame = *image.Images[static_cast<std::size_t>(i)];
        TGIFExplorerNode f;
        f.Kind = TGIFNodeKind::Frame;
        f.Text = format("Image %d", i);
        f.ImageIndex = niFrame;
        f.Frame = i;
        if (frame.ColorMap.Count() > 0) {
            TGIFExplorerNode local;
            local.Kind = TGIFNodeKind::LocalPalette;
            local.Text = "Local Palette";
            local.ImageIndex = niPalette;
            local.Frame = i;
            f.Children.push_back(std::move(local));
        }
        for (std::size_t e = 0; e < frame.Extensions.size(); ++e)
            f.Children.push_back(extensionNode(*frame.Extensions[e], i, static_cast<int>(e)));
        root.Children.push_back(std::move(f));
    }
    return root;
}

const TGIFObject* GIFNodeItem(const TGIFImage& image, const TGIFExplorerNode& node)
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

TGIFPropertyRows GIFNodeRows(const TGIFImage& image, const TGIFExplorerNode& node)
{
    TGIFPropertyRows rows;
    const TGIFObject* item = GIFNodeItem(image, node);
    if (!item)
        return rows;
    switch (node.Kind) {
    case TGIFNodeKind::Document:
        rows.emplace_back("Filename", node.Text);
        rows.emplace_back("Frames", number(image.Count()));
        rows.emplace_back("Global Palette", yesNo(image.Header.ColorMap.Count() > 0));
        addDepthRows(rows, image.ColorResolution(), image.BitsPerPixel());
        break;
    case TGIFNodeKind::Header: {
        const TGIFHeader& h = image.Header;
        rows.emplace_back("Version", h.Version() == gv87a ? "gif87a" : "gif89a");
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
        rows.emplace_back("Optimized", yesNo(map.Sorted()));
        rows.emplace_back("BitsPerPixel", format("%d bits", map.BitsPerPixel()));
        break;
    }
    case TGIFNodeKind::Frame: {
        const auto& f = static_cast<const TGIFSubImage&>(*item);
        rows.emplace_back("Left", number(f.Left));
        rows.emplace_back("Top", number(f.Top));
        rows.emplace_back("Width", number(f.Width()));
        rows.emplace_back("Height", number(f.Height()));
        rows.emplace_back("Interlaced", yesNo(f.Interlaced()));
        rows.emplace_back("Extensions", number(static_cast<int>(f.Extensions.size())));
        rows.emplace_back("Local Palette", yesNo(f.ColorMap.Count() > 0));
        addDepthRows(rows, f.ColorResolution(), f.BitsPerPixel());
        break;
    }
    case TGIFNodeKind::GraphicControl: {
        const auto& g = static_cast<const TGIFGraphicControlExtension&>(*item);
        rows.emplace_back("Delay", format("%d mS", g.Delay() * 10));
        rows.emplace_back("Transparent", yesNo(g.Transparent()));
        rows.emplace_back("TransparentColor", number(g.TransparentColorIndex()));
        rows.emplace_back("Prompt", yesNo(g.UserInput()));
        rows.emplace_back("Disposal", disposalName(g.Disposal()));
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

std::vector<std::string> GIFDataBlockDump(const std::vector<std::span<const std::uint8_t>>& blocks)
{
    std::vector<std::string> lines;
    char title[64];
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const std::span<const std::uint8_t> b = blocks[i];
        std::snprintf(title, sizeof title, "Block: %.2d   Size: %.3d bytes", static_cast<int>(i), static_cast<int>(b.size()));
        lines.emplace_back(title);
        lines.emplace_back(65, '-');
        for (std::size_t at = 0; at < b.size(); at += 16) {
            const std::size_t n = std::min<std::size_t>(16, b.size() - at);
            std::string line;
            line.reserve(16 * 3 + 1 + 16);
            static const char hex[] = "0123456789ABCDEF";
            for (std::size_t k = 0; k < n; ++k) {
                line += hex[b[at + k] >> 4];
                line += hex[b[at + k] & 15];
                line += ' ';
            }
            line.append((16 - n) * 3, ' ');
            line += ' ';
            for (std::size_t k = 0; k < n; ++k)
                line += dumpChar(b[at + k]);
            lines.push_back(std::move(line));
        }
        lines.emplace_back();
    }
    return lines;
}

std::vector<std::string> GIFNodePreviewText(const TGIFImage& image, const TGIFExplorerNode& node)
{
    const TGIFExtension* ext = extensionOf(image, node);
    if (!ext)
        return {};
    if (node.Kind == TGIFNodeKind::Comment)
        if (const auto* comment = dynamic_cast<const TGIFCommentExtension*>(ext))
            return textLines(comment->Text.Lines());
    if (node.Kind == TGIFNodeKind::Application)
        return GIFDataBlockDump(GIFExtensionDataBlocks(*ext));
    return {};
}

unsigned GIFNodeViewFlags(TGIFNodeKind kind, bool properties, bool preview)
{
    unsigned flags = properties ? unsigned(vfProperties) : 0u;
    if (preview) {
        switch (kind) {
        case TGIFNodeKind::Document:
            flags |= vfDocumentPage | vfPreview | vfFrameCounter;
            break;
        case TGIFNodeKind::Frame:
            flags |= vfColorInfo | vfFramePage | vfPreview;
            break;
        case TGIFNodeKind::GlobalPalette:
        case TGIFNodeKind::LocalPalette:
            flags |= vfColorInfo | vfPalettePage | vfPreview;
            break;
        case TGIFNodeKind::Comment:
        case TGIFNodeKind::Application:
            flags |= vfPreview;
            break;
        default:
            break;
        }
    }
    if ((flags & vfPreview) && (flags & vfProperties))
        flags |= vfSplitter;
    return flags;
}

TGIFPaletteGrid LayoutPaletteGrid(int count, int width, int height)
{
    TGIFPaletteGrid g;
    if (count <= 0)
        return g;
    g.Rows = static_cast<int>(std::sqrt(static_cast<double>(count)));
    // Guard against the square root landing just below a whole number.
    while ((g.Rows + 1) * (g.Rows + 1) <= count)
        ++g.Rows;
    while (g.Rows * g.Rows > count)
        --g.Rows;
    g.Columns = (count + g.Rows - 1) / g.Rows;
    g.CellHeight = std::max(height, 0) / g.Rows;
    g.CellWidth = std::max(width, 0) / g.Columns;
    g.Left = (std::max(width, 0) - g.CellWidth * g.Columns) / 2;
    g.Top = (std::max(height, 0) - g.CellHeight * g.Rows) / 2;
    return g;
}

int PaletteGridIndex(const TGIFPaletteGrid& grid, int count, int x, int y)
{
    if (grid.CellWidth <= 0 || grid.CellHeight <= 0 || x < grid.Left || y < grid.Top)
        return -1;
    const int column = (x - grid.Left) / grid.CellWidth;
    const int row = (y - grid.Top) / grid.CellHeight;
    if (column >= grid.Columns || row >= grid.Rows)
        return -1;
    const int index = row * grid.Columns + column;
    return index < count ? index : -1;
}

TGIFColorLabels PaletteColorLabels(const TGIFColorMap& map, int index)
{
    if (index < 0 || index >= map.Count())
        return {};
    return colorLabels(index, map.Colors()[static_cast<std::size_t>(index)]);
}

TGIFColorLabels FrameColorLabels(const TGIFSubImage& frame, int x, int y)
{
    if (frame.Empty() || x < 0 || y < 0 || x >= frame.Width() || y >= frame.Height())
        return {};
    const int index = frame.ScanLine(y)[x];
    const TGIFColorMap& map = frame.ActiveColorMap();
    const TGIFColor c = index < map.Count() ? map.Colors()[static_cast<std::size_t>(index)] : TGIFColor{};
    return colorLabels(index, c);
}

TGIFDrawOptions GIFExplorerDrawOptions(const TGIFAnimationChoice& c)
{
    TGIFDrawOptions o = goLoop;
    if (c.Threaded)
        o |= goAsync;
    if (c.Transparent)
        o |= goTransparent;
    if (c.Animate)
        o |= goAnimate;
    if (c.Loop)
        o |= goLoopContinously;
    if (c.ClearOnLoop)
        o |= goClearOnLoop;
    return o;
}

std::string GIFExplorerText(const TGIFImage& image, const TGIFExplorerNode& root)
{
    std::ostringstream out;
    writeText(out, image, root, 0);
    return out.str();
}

std::string GIFExplorerJson(const TGIFImage& image, const TGIFExplorerNode* root, const std::string& file,
                            const std::vector<std::string>& warnings, const std::string& error)
{
    std::ostringstream out;
    out << "{\"file\":" << jsonString(file) << ",\"error\":" << (error.empty() ? "null" : jsonString(error))
        << ",\"warnings\":[";
    for (std::size_t i = 0; i < warnings.size(); ++i)
        out << (i ? "," : "") << jsonString(warnings[i]);
    out << "],\"tree\":";
    if (root)
        writeJson(out, image, *root);
    else
        out << "null";
    out << "}\n";
    return out.str();
}
