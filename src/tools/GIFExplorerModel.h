// What the GIF explorer shows, without any widget: the tree of a document's blocks, the
// property rows of each node, which parts of the window a node uses (the view flags),
// the text previews, the palette grid and the colour under the mouse. The window and
// `anivor-cli gif-explore` both work from here; the blocks, their names and rows are the
// codec's describer (gif/GIFInfo.h), which `anivor-cli gif-info` lists too.
#pragma once

#include "gif/GIFImage.h"
#include "gif/GIFInfo.h"

#include <array>
#include <cstdint>
#include <exception>
#include <functional>
#include <span>
#include <string>
#include <utility>
#include <vector>

// Runs `load` on `image` keeping what was read before a failure; returns the failure
// (nullptr when the load succeeded). When not even the header could be read the document
// is left empty.
std::exception_ptr GIFExplorerLoad(TGIFImage& image, const std::function<void()>& load);

// Node images of the tree, as the window's image list holds them.
enum TGIFNodeImage {
    niDocument = 0,
    niLoop = 1,
    niApplication = 2,
    niUnknown = 3,
    niFrame = 4,
    niComment = 5,
    niText = 6,
    niHeader = 7,
    niPalette = 8,
    niGraphicControl = 9,
    kGIFNodeImageCount = 10,
};

// A node of the tree: a block of the document with its text and image in the tree.
// GIFNodeItem finds the block's object; two nodes whose objects are of one class keep the
// window's layout when the selection moves.
struct TGIFExplorerNode : TGIFNode {
    std::string Text;
    int ImageIndex = niDocument;
    std::vector<TGIFExplorerNode> Children;
};

// The tree of a loaded document. The root (text `rootText`: the file name without folder,
// or "[Clipboard]") holds the header, the global palette when it has entries and one node
// per frame; a frame holds its local palette when it has one and its extensions in order.
TGIFExplorerNode BuildGIFExplorerTree(const TGIFImage& image, const std::string& rootText);

// Property rows (caption, value) of a node; the document's "Filename" is the root text.
TGIFPropertyRows GIFNodeRows(const TGIFImage& image, const TGIFExplorerNode& node);

// The text preview of a node: the lines of a comment, or the dump of an application
// extension the codec keeps raw; empty for every other node.
std::vector<std::string> GIFNodePreviewText(const TGIFImage& image, const TGIFExplorerNode& node);

// The dump of raw data blocks: per block a title, a rule, 16 bytes a line in hex and as
// characters, and an empty line.
std::vector<std::string> GIFDataBlockDump(const std::vector<std::span<const std::uint8_t>>& blocks);

// View flags: which parts of the window are in use while a node is selected.
enum TGIFViewFlag : unsigned {
    vfFrameCounter = 0x01, // the second status panel counts the animation's frames
    vfProperties = 0x02,   // the property list, with grid lines
    vfSplitter = 0x04,     // the splitter between property list and preview
    vfPreview = 0x08,      // the preview area
    vfDocumentPage = 0x10, // the animated document
    vfFramePage = 0x20,    // one frame on the logical screen (centred on resize)
    vfPalettePage = 0x40,  // the palette grid (laid out on resize)
    vfColorInfo = 0x80,    // the strip with the colour under the mouse
};
// The flags at creation: property list, splitter and preview area.
constexpr unsigned kGIFInitialViewFlags = 14;
unsigned GIFNodeViewFlags(TGIFNodeKind kind, bool properties, bool preview);

// The palette grid of a table with `count` entries in a paint box of width x height.
struct TGIFPaletteGrid {
    int Rows = 0;
    int Columns = 0;
    int CellWidth = 0;
    int CellHeight = 0;
    int Left = 0;
    int Top = 0;
};
TGIFPaletteGrid LayoutPaletteGrid(int count, int width, int height);
// The entry under (x, y), or -1 outside the grid or past the last entry.
int PaletteGridIndex(const TGIFPaletteGrid& grid, int count, int x, int y);

// The five labels of the colour strip: index, red, green, blue and hex (red first);
// all empty when nothing is under the mouse.
using TGIFColorLabels = std::array<std::string, 5>;
TGIFColorLabels PaletteColorLabels(const TGIFColorMap& map, int index);
// The pixel (x, y) of a frame, in frame coordinates: its index and colour in the frame's
// active table (indices past the table show black, as the frame is drawn).
TGIFColorLabels FrameColorLabels(const TGIFSubImage& frame, int x, int y);

// The explorer's Animation menu. Stretch and Tile are how the preview fits the picture;
// Buffered, Dither and Auto dither are kept as the menu shows them (a true-colour display
// needs no dithering); the rest become the document's drawing options.
struct TGIFAnimationChoice {
    bool Animate = true;
    bool Loop = false;
    bool ClearOnLoop = false;
    bool Threaded = true;
    bool Buffered = false;
    bool Stretch = false;
    bool Tile = false;
    bool Transparent = true;
    bool Dither = true;
    bool AutoDither = true;
};
TGIFDrawOptions GIFExplorerDrawOptions(const TGIFAnimationChoice& choice);

// The whole tree as `anivor-cli gif-explore` prints it: one line per node ("+ " and its
// text), its rows ("Caption: Value") and its text preview ("| " and the line), indented
// by depth.
std::string GIFExplorerText(const TGIFImage& image, const TGIFExplorerNode& root);
// The same as one JSON document, with the file, the warnings and the error of the load
// ("" for none); the tree is null when `root` is (nothing could be read).
std::string GIFExplorerJson(const TGIFImage& image, const TGIFExplorerNode* root, const std::string& file,
                            const std::vector<std::string>& warnings, const std::string& error);
