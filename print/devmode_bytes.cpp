#include "print/devmode_bytes.h"

#include <algorithm>

namespace orbilux {
namespace {

uint16_t Read16(const uint8_t* p) {
    return uint16_t(p[0] | (p[1] << 8));
}

}  // namespace

size_t DevModeClaimedSize(const uint8_t* data, size_t size) {
    if (data == nullptr || size < kDevModeMinPublicSize) return 0;
    const size_t publicSize = Read16(data + kDevModeSizeOffset);
    if (publicSize < kDevModeMinPublicSize) return 0;
    return publicSize + Read16(data + kDevModeSizeOffset + 2);
}

std::vector<uint8_t> DevModeToStored(const uint8_t* data, size_t size) {
    const size_t claimed = DevModeClaimedSize(data, size);
    if (claimed == 0 || claimed > size) return {};
    const size_t publicSize = Read16(data + kDevModeSizeOffset);
    if (publicSize > kDevModeStoredPublicSize) return {};
    const size_t extra = claimed - publicSize;
    std::vector<uint8_t> block(kDevModeStoredPublicSize + extra, 0);
    std::copy(data, data + publicSize, block.begin());
    std::copy(data + publicSize, data + claimed, block.begin() + kDevModeStoredPublicSize);
    return block;
}

std::vector<uint8_t> DevModeFromStored(const std::vector<uint8_t>& block) {
    if (block.size() < kDevModeStoredPublicSize) return {};
    const size_t claimed = DevModeClaimedSize(block.data(), block.size());
    if (claimed == 0) return {};
    const size_t publicSize = Read16(block.data() + kDevModeSizeOffset);
    const size_t extra = claimed - publicSize;
    if (publicSize > kDevModeStoredPublicSize || block.size() < kDevModeStoredPublicSize + extra) return {};
    std::vector<uint8_t> devMode(block.begin(), block.begin() + publicSize);
    devMode.insert(devMode.end(), block.begin() + kDevModeStoredPublicSize,
                   block.begin() + kDevModeStoredPublicSize + extra);
    return devMode;
}

std::wstring DevModeDeviceName(const std::vector<uint8_t>& devMode) {
    std::wstring name;
    for (size_t i = 0; i + 1 < devMode.size() && i < 64; i += 2) {
        const wchar_t unit = wchar_t(Read16(devMode.data() + i));
        if (unit == 0) break;
        name.push_back(unit);
    }
    return name;
}

bool IsBlankDevMode(const std::vector<uint8_t>& block) {
    return std::all_of(block.begin(), block.end(), [](uint8_t b) { return b == 0; });
}

}  // namespace orbilux
