// Octree colour quantiser: builds a palette of at most maxColors colours from
// the pixels of a picture.
#pragma once

#include <cstdint>
#include <vector>

#include "image/ximage.h"

namespace orbilux {

class CQuantizer {
public:
    // maxColors is the palette size (16 or 256 in practice), colorBits the tree
    // depth (8 uses every bit of a channel).
    CQuantizer(uint32_t maxColors, uint32_t colorBits = 8);

    // Feeds every pixel in stored order (bottom row first, each row left to
    // right), folding the tree after each pixel while it has too many leaves.
    bool ProcessImage(const CxImage& image);
    // Feeds one pixel.
    void AddColor(uint8_t r, uint8_t g, uint8_t b);

    uint32_t GetColorCount() const { return leafCount_; }
    uint32_t GetMaxColors() const { return maxColors_; }
    // Fills maxColors entries: the leaves depth-first, children 0..7, each the
    // integer mean of its pixels; the slots after the last leaf are black.
    void SetColorTable(RGBQuadColor* table) const;
    std::vector<RGBQuadColor> GetPalette() const;

private:
    struct Node {
        uint64_t pixelCount = 0;
        uint64_t redSum = 0;
        uint64_t greenSum = 0;
        uint64_t blueSum = 0;
        int32_t child[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
        int32_t nextReducible = -1;
        bool leaf = false;
    };

    int32_t NewNode(uint32_t level);
    void FreeNode(int32_t index);
    void ReduceTree();
    void CollectPalette(int32_t node, RGBQuadColor* table, uint32_t& next) const;

    uint32_t maxColors_;
    uint32_t colorBits_;
    uint32_t leafCount_ = 0;
    int32_t root_ = -1;
    std::vector<Node> nodes_;
    std::vector<int32_t> freeNodes_;
    int32_t reducible_[9] = {-1, -1, -1, -1, -1, -1, -1, -1, -1};

    // The leaf the last colour reached; valid until the tree is folded.
    bool cacheValid_ = false;
    uint32_t cachedColor_ = 0;
    int32_t cachedLeaf_ = -1;
};

}  // namespace orbilux
