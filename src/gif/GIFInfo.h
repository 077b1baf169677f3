// The blocks of a GIF document and what is said about each: one describer for the GIF
// explorer (a tree of nodes, each with property rows) and for `anivor-cli gif-info` (one
// line per block). Both walk the same blocks, sort extensions the same way and take block
// and disposal names from the same tables; each keeps its own wording.
#pragma once

#include "GIFImage.h"

#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

enum class TGIFNodeKind {
    Document,
    Header,
    GlobalPalette,
    LocalPalette,
    Frame,
    GraphicControl,
    Text,
    Comment,
    Loop,
    Application,
    Unknown,
};

// One block of a document.
struct TGIFNode {
    TGIFNodeKind Kind = TGIFNodeKind::Document;
    int Frame = -1;     // frame of a frame, local palette or extension node
    int Extension = -1; // index in the frame's extension list
};

// The kind of an extension. The loop extension is an application extension too: it counts
// as a loop.
TGIFNodeKind GIFExtensionKind(const TGIFExtension& extension);

// The blocks below the document in file order: the header, the global palette when it has
// entries, then per frame the frame, its local palette when it has one and its extensions.
std::vector<TGIFNode> GIFNodes(const TGIFImage& image);

// The document object a node stands for (nullptr when the node no longer matches the
// document).
const TGIFObject* GIFNodeItem(const TGIFImage& image, const TGIFNode& node);

// The explorer's name of a block below the document: "Header", "Image 0", "Text extension".
std::string GIFNodeName(const TGIFNode& node);

// Where a reader warning comes from, in plain words: "the header", "image 2" (counted
// from 0, as the explorer names frames), "the global palette", "a comment extension".
std::string GIFWarningSource(const TGIFImage& image, const TGIFObject& sender);

// The explorer's property rows (caption, value) of a node; `fileName` is the document's
// "Filename".
using TGIFPropertyRows = std::vector<std::pair<std::string, std::string>>;
TGIFPropertyRows GIFBlockRows(const TGIFImage& image, const TGIFNode& node, const std::string& fileName);

// The data sub-blocks an application extension (kept raw) or an unknown extension holds;
// none for the others.
std::vector<std::span<const std::uint8_t>> GIFExtensionDataBlocks(const TGIFExtension& extension);

// The listing of `anivor-cli gif-info`: one line per block, extensions indented under
// their frame, then "Trailer" (or "No trailer" for a file cut short).
std::string GIFBlockTreeText(const TGIFImage& image);
