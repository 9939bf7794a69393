#include "print/devmode_bytes.h"

#include <algorithm>

namespace orbilux {

size_t DevModeClaimedSize(const uint8_t* data, size_t size) {
    if (data == nullptr || size < kDevModeMinPublicSize) return 0;
    const size_t publicSize = DevModeField16(data, kDevModeSizeOffset);
    if (publicSize < kDevModeMinPublicSize) return 0;
    return publicSize + DevModeDriverExtra(data);
}

std::vector<uint8_t> DevModeToStored(const uint8_t* data, size_t size) {
    const size_t claimed = DevModeClaimedSize(data, size);
    if (claimed == 0 || claimed > size) return {};
    const size_t publicSize = DevModeField16(data, kDevModeSizeOffset);
    if (publicSize > kDevModeFixedSize) return {};
    const size_t extra = claimed - publicSize;
    std::vector<uint8_t> block(kDevModeFixedSize + extra, 0);
    std::copy(data, data + publicSize, block.begin());
    std::copy(data + publicSize, data + claimed, block.begin() + kDevModeFixedSize);
    return block;
}

std::vector<uint8_t> DevModeFromStored(const std::vector<uint8_t>& block) {
    if (block.size() < kDevModeFixedSize) return {};
    const size_t claimed = DevModeClaimedSize(block.data(), block.size());
    if (claimed == 0) return {};
    const size_t publicSize = DevModeField16(block.data(), kDevModeSizeOffset);
    const size_t extra = claimed - publicSize;
    if (publicSize > kDevModeFixedSize || block.size() < kDevModeFixedSize + extra) return {};
    std::vector<uint8_t> devMode(block.begin(), block.begin() + publicSize);
    devMode.insert(devMode.end(), block.begin() + kDevModeFixedSize,
                   block.begin() + kDevModeFixedSize + extra);
    return devMode;
}

std::wstring DevModeDeviceName(const std::vector<uint8_t>& devMode) {
    std::wstring name;
    for (size_t i = 0; i + 1 < devMode.size() && i < 64; i += 2) {
        const wchar_t unit = wchar_t(DevModeField16(devMode.data(), i));
        if (unit == 0) break;
        name.push_back(unit);
    }
    return name;
}

bool IsBlankDevMode(const std::vector<uint8_t>& block) {
    return std::all_of(block.begin(), block.end(), [](uint8_t b) { return b == 0; });
}

}  // namespace orbilux
