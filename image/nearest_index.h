// Nearest palette index with memory: the same colour always gets the same
// answer, so the last colour asked (and a small table of earlier ones) is kept.
#pragma once

#include <cstdint>
#include <memory>

#include "image/ximage.h"

namespace orbilux {

class CNearestIndex {
public:
    CNearestIndex(const RGBQuadColor* palette, uint32_t count);

    // The entry with the smallest squared distance; the lower index on ties.
    uint8_t Find(uint8_t r, uint8_t g, uint8_t b) {
        const uint32_t key = (uint32_t(r) << 16) | (uint32_t(g) << 8) | b;
        if (key == lastKey_) return lastIndex_;
        lastKey_ = key;
        const uint32_t slot = Hash(key);
        if (cacheKey_[slot] == (key | kValid)) return lastIndex_ = cacheIndex_[slot];
        lastIndex_ = Search(int32_t(r), int32_t(g), int32_t(b));
        cacheKey_[slot] = key | kValid;
        cacheIndex_[slot] = lastIndex_;
        return lastIndex_;
    }

private:
    static constexpr uint32_t kValid = 0x80000000u;
    static constexpr uint32_t kCacheBits = 14;
    static uint32_t Hash(uint32_t key) { return (key * 2654435761u) >> (32 - kCacheBits); }
    uint8_t Search(int32_t r, int32_t g, int32_t b) const;

    uint32_t count_;
    // The palette sorted by green (then by index): the search walks outwards
    // from the asked green and stops where the green difference alone is
    // already farther than the best entry found.
    struct Entry {
        int32_t red, green, blue, index;
    };
    Entry byGreen_[256];
    uint32_t lastKey_ = 0xFFFFFFFFu;
    uint8_t lastIndex_ = 0;
    std::unique_ptr<uint32_t[]> cacheKey_;
    std::unique_ptr<uint8_t[]> cacheIndex_;
};

}  // namespace orbilux
