// The octree quantizer: an optimised palette of at most N colours for a picture.
#pragma once

#include "graphics/Types.h"

#include <array>
#include <cstdint>
#include <vector>

// One node of the colour octree. Nodes live in the quantizer's pool and refer to each
// other by pool index (-1 for none), so building a tree never allocates per pixel.
struct TOctreeNode {
    bool Leaf = false;
    std::uint64_t PixelCount = 0;
    // 64-bit sums: 2^28 pixels of 255 do not fit in 32 bits.
    std::uint64_t RedSum = 0, GreenSum = 0, BlueSum = 0;
    std::array<int, 8> Children{-1, -1, -1, -1, -1, -1, -1, -1};
    // Next node of the same level's list of reducible nodes.
    int NextReducible = -1;
};

// Octree of depth 8. Pixels are added one by one; after each the tree is reduced until
// it has at most N leaves, merging the children of the most recently created reducible
// node of the deepest level that has one.
class TColorQuantizer {
public:
    explicit TColorQuantizer(int maxColors);

    int MaxColors() const { return m_maxColors; }
    int LeafCount() const { return m_leafCount; }
    // No leaves were ever merged: every colour added is an entry of the palette.
    bool EveryColorKept() const { return !m_reduced; }

    void AddColor(int red, int green, int blue);
    // Adds the pixels of one 24-bit row (blue, green, red bytes), left to right.
    void AddRow(const std::uint8_t* bgr, int width);

    // The leaves in depth-first order, children 0..7: (sum div count) per channel.
    std::vector<TColor> Palette() const;

private:
    // A colour whose leading bits match the last pixel's down to its leaf ends in that
    // same leaf, as long as no reduction has changed the tree since: counted there.
    bool addToLastLeaf(int red, int green, int blue)
    {
        if (m_lastLeaf < 0)
            return false;
        const int s = m_lastShift;
        if (static_cast<std::uint32_t>(((red >> s) << 16) | ((green >> s) << 8) | (blue >> s)) != m_lastKey)
            return false;
        TOctreeNode& leaf = m_nodes[static_cast<std::size_t>(m_lastLeaf)];
        ++leaf.PixelCount;
        leaf.RedSum += static_cast<std::uint64_t>(red);
        leaf.GreenSum += static_cast<std::uint64_t>(green);
        leaf.BlueSum += static_cast<std::uint64_t>(blue);
        return true;
    }
    // The path from the root (or from the node the leading bits reached before), growing
    // it to a leaf; then the tree is reduced to at most N leaves.
    void addByWalk(int red, int green, int blue);
    int newNode(int level);
    void freeNode(int index);
    void reduce();
    void collect(int index, std::vector<TColor>& palette) const;

    int m_maxColors;
    int m_leafCount = 0;
    bool m_reduced = false;
    int m_root = -1;
    std::vector<TOctreeNode> m_nodes;
    std::vector<int> m_free;
    std::array<int, 8> m_reducible{-1, -1, -1, -1, -1, -1, -1, -1};
    // The leaf the last pixel reached, the shift that leaves the bits of its path, and
    // that pixel's path; -1 once a reduction may have changed the tree.
    int m_lastLeaf = -1;
    // Per combination of the leading kPrefixLevel bits of red, green and blue: the node
    // of that path at level kPrefixLevel, or the leaf above it (node x 16 + level), -1
    // while unknown. Nodes down to that level stay until a node above it is merged.
    static constexpr int kPrefixLevel = 3;
    std::array<int, 1 << (3 * kPrefixLevel)> m_prefixNode;
    int m_lastShift = 0;
    std::uint32_t m_lastKey = 0;
};
