#include "ColorQuantizer.h"

#include <algorithm>

namespace {
constexpr int kDepth = 8;
}

TColorQuantizer::TColorQuantizer(int maxColors) : m_maxColors(std::max(maxColors, 1))
{
    m_prefixNode.fill(-1);
    m_root = newNode(0);
}

int TColorQuantizer::newNode(int level)
{
    int index;
    if (!m_free.empty()) {
        index = m_free.back();
        m_free.pop_back();
        m_nodes[static_cast<std::size_t>(index)] = TOctreeNode();
    } else {
        index = static_cast<int>(m_nodes.size());
        m_nodes.emplace_back();
    }
    TOctreeNode& node = m_nodes[static_cast<std::size_t>(index)];
    if (level == kDepth) {
        node.Leaf = true;
        ++m_leafCount;
    } else {
        node.NextReducible = m_reducible[static_cast<std::size_t>(level)];
        m_reducible[static_cast<std::size_t>(level)] = index;
    }
    return index;
}

void TColorQuantizer::freeNode(int index)
{
    m_free.push_back(index);
}

void TColorQuantizer::addByWalk(int red, int green, int blue)
{
    // The walk starts where this colour's leading bits reached last time.
    const std::size_t prefix = static_cast<std::size_t>(((red >> (8 - kPrefixLevel)) << (2 * kPrefixLevel))
                                                        | ((green >> (8 - kPrefixLevel)) << kPrefixLevel)
                                                        | (blue >> (8 - kPrefixLevel)));
    int node = m_root;
    int level = 0;
    if (m_prefixNode[prefix] >= 0) {
        node = m_prefixNode[prefix] >> 4;
        level = m_prefixNode[prefix] & 15;
    }
    for (; !m_nodes[static_cast<std::size_t>(node)].Leaf; ++level) {
        if (level == kPrefixLevel)
            m_prefixNode[prefix] = (node << 4) | level;
        const int shift = 7 - level;
        const int child = (((red >> shift) & 1) << 2) | (((green >> shift) & 1) << 1) | ((blue >> shift) & 1);
        int next = m_nodes[static_cast<std::size_t>(node)].Children[static_cast<std::size_t>(child)];
        if (next < 0) {
            next = newNode(level + 1); // may grow the pool: index again afterwards
            m_nodes[static_cast<std::size_t>(node)].Children[static_cast<std::size_t>(child)] = next;
        }
        node = next;
    }
    if (level <= kPrefixLevel)
        m_prefixNode[prefix] = (node << 4) | level;
    TOctreeNode& leaf = m_nodes[static_cast<std::size_t>(node)];
    ++leaf.PixelCount;
    leaf.RedSum += static_cast<std::uint64_t>(red);
    leaf.GreenSum += static_cast<std::uint64_t>(green);
    leaf.BlueSum += static_cast<std::uint64_t>(blue);
    m_lastLeaf = node;
    m_lastShift = 8 - level;
    m_lastKey = static_cast<std::uint32_t>(((red >> m_lastShift) << 16) | ((green >> m_lastShift) << 8) | (blue >> m_lastShift));
    while (m_leafCount > m_maxColors) {
        reduce();
        m_lastLeaf = -1;
    }
}

void TColorQuantizer::AddColor(int red, int green, int blue)
{
    if (!addToLastLeaf(red, green, blue))
        addByWalk(red, green, blue);
}

void TColorQuantizer::AddRow(const std::uint8_t* bgr, int width)
{
    for (int x = 0; x < width; ++x, bgr += 3)
        if (!addToLastLeaf(bgr[2], bgr[1], bgr[0]))
            addByWalk(bgr[2], bgr[1], bgr[0]);
}

void TColorQuantizer::reduce()
{
    m_reduced = true;
    int level = kDepth - 1;
    while (level > 0 && m_reducible[static_cast<std::size_t>(level)] < 0)
        --level;
    const int index = m_reducible[static_cast<std::size_t>(level)];
    if (index < 0) {
        // Only the root is left and it is a leaf: nothing more to merge. Cannot happen
        // while N >= 1, kept so a broken invariant can never loop forever.
        m_leafCount = std::min(m_leafCount, m_maxColors);
        return;
    }
    // Merging a node above the prefix level frees nodes the walks start from.
    if (level < kPrefixLevel)
        m_prefixNode.fill(-1);
    TOctreeNode& node = m_nodes[static_cast<std::size_t>(index)];
    m_reducible[static_cast<std::size_t>(level)] = node.NextReducible;
    node.NextReducible = -1;
    int children = 0;
    for (int& c : node.Children) {
        if (c < 0)
            continue;
        const TOctreeNode& child = m_nodes[static_cast<std::size_t>(c)];
        node.PixelCount += child.PixelCount;
        node.RedSum += child.RedSum;
        node.GreenSum += child.GreenSum;
        node.BlueSum += child.BlueSum;
        freeNode(c);
        c = -1;
        ++children;
    }
    node.Leaf = true;
    m_leafCount -= children - 1;
}

void TColorQuantizer::collect(int index, std::vector<TColor>& palette) const
{
    const TOctreeNode& node = m_nodes[static_cast<std::size_t>(index)];
    if (node.Leaf) {
        if (node.PixelCount == 0) {
            palette.push_back(RGB(0, 0, 0));
        } else {
            palette.push_back(RGB(static_cast<int>(node.RedSum / node.PixelCount),
                                  static_cast<int>(node.GreenSum / node.PixelCount),
                                  static_cast<int>(node.BlueSum / node.PixelCount)));
        }
        return;
    }
    for (int c : node.Children)
        if (c >= 0)
            collect(c, palette);
}

std::vector<TColor> TColorQuantizer::Palette() const
{
    std::vector<TColor> palette;
    if (m_leafCount > 0)
        collect(m_root, palette);
    return palette;
}
