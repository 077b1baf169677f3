#include "GIFExplorerModel.h"

#include <cmath>
#include <cstdio>
#include <sstream>

namespace {

std::string number(int value) { return std::to_string(value); }

// The tree's picture of each kind of node.
int nodeImage(TGIFNodeKind kind)
{
    switch (kind) {
    case TGIFNodeKind::Document: return niDocument;
    case TGIFNodeKind::Header: return niHeader;
    case TGIFNodeKind::GlobalPalette:
    case TGIFNodeKind::LocalPalette: return niPalette;
    case TGIFNodeKind::Frame: return niFrame;
    case TGIFNodeKind::GraphicControl: return niGraphicControl;
    case TGIFNodeKind::Text: return niText;
    case TGIFNodeKind::Comment: return niComment;
    case TGIFNodeKind::Loop: return niLoop;
    case TGIFNodeKind::Application: return niApplication;
    case TGIFNodeKind::Unknown: return niUnknown;
    }
    return niUnknown;
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
    root.Text = rootText;
    root.ImageIndex = nodeImage(root.Kind);
    root.Children.reserve(static_cast<std::size_t>(image.Count()) + 2);
    for (const TGIFNode& block : GIFNodes(image)) {
        TGIFExplorerNode node;
        static_cast<TGIFNode&>(node) = block;
        node.Text = GIFNodeName(block);
        node.ImageIndex = nodeImage(block.Kind);
        // A frame's palette and extensions hang below it.
        if (block.Frame >= 0 && block.Kind != TGIFNodeKind::Frame)
            root.Children.back().Children.push_back(std::move(node));
        else
            root.Children.push_back(std::move(node));
    }
    return root;
}

TGIFPropertyRows GIFNodeRows(const TGIFImage& image, const TGIFExplorerNode& node)
{
    return GIFBlockRows(image, node, node.Text);
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
    if (node.Kind != TGIFNodeKind::Comment && node.Kind != TGIFNodeKind::Application)
        return {};
    const auto* ext = dynamic_cast<const TGIFExtension*>(GIFNodeItem(image, node));
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
