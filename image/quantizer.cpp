#include "image/quantizer.h"

#include <algorithm>

namespace orbilux {

CQuantizer::CQuantizer(uint32_t maxColors, uint32_t colorBits)
    : maxColors_(std::max<uint32_t>(maxColors, 1)),
      colorBits_(std::min<uint32_t>(std::max<uint32_t>(colorBits, 1), 8)) {
    nodes_.reserve(1024);
}

int32_t CQuantizer::NewNode(uint32_t level) {
    int32_t index;
    if (!freeNodes_.empty()) {
        index = freeNodes_.back();
        freeNodes_.pop_back();
        nodes_[size_t(index)] = Node{};
    } else {
        index = int32_t(nodes_.size());
        nodes_.emplace_back();
    }
    Node& n = nodes_[size_t(index)];
    if (level == colorBits_) {
        n.leaf = true;
        ++leafCount_;
    } else {
        n.nextReducible = reducible_[level];
        reducible_[level] = index;
    }
    return index;
}

void CQuantizer::FreeNode(int32_t index) {
    freeNodes_.push_back(index);
}

void CQuantizer::AddColor(uint8_t r, uint8_t g, uint8_t b) {
    const uint32_t key = (uint32_t(r) << 16) | (uint32_t(g) << 8) | b;
    int32_t node;
    if (cacheValid_ && key == cachedColor_) {
        node = cachedLeaf_;
    } else {
        if (root_ < 0) root_ = NewNode(0);
        node = root_;
        uint32_t level = 0;
        while (!nodes_[size_t(node)].leaf) {
            const uint32_t shift = 7 - level;
            const uint32_t slot =
                (((r >> shift) & 1u) << 2) | (((g >> shift) & 1u) << 1) | ((b >> shift) & 1u);
            int32_t child = nodes_[size_t(node)].child[slot];
            if (child < 0) {
                child = NewNode(level + 1);
                nodes_[size_t(node)].child[slot] = child;
            }
            node = child;
            ++level;
        }
        cacheValid_ = true;
        cachedColor_ = key;
        cachedLeaf_ = node;
    }
    Node& leaf = nodes_[size_t(node)];
    ++leaf.pixelCount;
    leaf.redSum += r;
    leaf.greenSum += g;
    leaf.blueSum += b;
    while (leafCount_ > maxColors_) ReduceTree();
}

void CQuantizer::ReduceTree() {
    int level = int(colorBits_) - 1;
    while (level > 0 && reducible_[level] < 0) --level;
    const int32_t index = reducible_[level];
    if (index < 0) {
        leafCount_ = 0;  // cannot happen with a tree of leaves; stops the caller's loop
        return;
    }
    cacheValid_ = false;
    Node& n = nodes_[size_t(index)];
    reducible_[level] = n.nextReducible;
    n.nextReducible = -1;
    uint32_t children = 0;
    for (int32_t& c : n.child) {
        if (c < 0) continue;
        const Node& child = nodes_[size_t(c)];
        n.pixelCount += child.pixelCount;
        n.redSum += child.redSum;
        n.greenSum += child.greenSum;
        n.blueSum += child.blueSum;
        FreeNode(c);
        c = -1;
        ++children;
    }
    n.leaf = true;
    leafCount_ = leafCount_ + 1 - children;  // its child leaves become one leaf
}

bool CQuantizer::ProcessImage(const CxImage& image) {
    if (!image.IsValid()) return false;
    const uint32_t w = image.GetWidth();
    const uint32_t h = image.GetHeight();
    if (image.GetBpp() == 24) {
        for (uint32_t y = 0; y < h; ++y) {
            const uint8_t* p = image.GetBits(y);
            for (uint32_t x = 0; x < w; ++x, p += 3) AddColor(p[2], p[1], p[0]);
        }
    } else {
        for (uint32_t y = 0; y < h; ++y)
            for (uint32_t x = 0; x < w; ++x) {
                const RGBQuadColor c = image.GetPixelColor(x, y);
                AddColor(c.red, c.green, c.blue);
            }
    }
    return true;
}

void CQuantizer::CollectPalette(int32_t node, RGBQuadColor* table, uint32_t& next) const {
    const Node& n = nodes_[size_t(node)];
    if (n.leaf) {
        if (next < maxColors_) {
            const uint64_t count = std::max<uint64_t>(n.pixelCount, 1);
            table[next] = RGBQuadColor::FromRgb(uint8_t(n.redSum / count), uint8_t(n.greenSum / count),
                                                uint8_t(n.blueSum / count));
            ++next;
        }
        return;
    }
    for (int32_t c : n.child)
        if (c >= 0) CollectPalette(c, table, next);
}

void CQuantizer::SetColorTable(RGBQuadColor* table) const {
    for (uint32_t i = 0; i < maxColors_; ++i) table[i] = RGBQuadColor{};
    uint32_t next = 0;
    if (root_ >= 0) CollectPalette(root_, table, next);
}

std::vector<RGBQuadColor> CQuantizer::GetPalette() const {
    std::vector<RGBQuadColor> table(maxColors_);
    SetColorTable(table.data());
    return table;
}

}  // namespace orbilux
