// The printer's device mode as bytes. A record starts with the 64-byte device
// name, then dmSpecVersion and dmDriverVersion, then dmSize (offset 68) and
// dmDriverExtra (offset 70), both 16-bit little-endian; its whole size is
// dmSize + dmDriverExtra. The settings keep it as a 220-byte public part
// followed by the driver-extra bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace orbilux {

constexpr size_t kDevModeSizeOffset = 68;
constexpr size_t kDevModeStoredPublicSize = 220;
// The smallest public part that still holds the two size fields.
constexpr size_t kDevModeMinPublicSize = 72;

// dmSize + dmDriverExtra, or 0 when fewer than the two size fields are given
// or dmSize is implausible.
size_t DevModeClaimedSize(const uint8_t* data, size_t size);

// The stored form of a device mode, or empty when the record claims more
// bytes than given or its public part does not fit in 220 bytes.
std::vector<uint8_t> DevModeToStored(const uint8_t* data, size_t size);

// The device mode (exactly dmSize + dmDriverExtra bytes) held in a stored
// block, or empty when the block cannot provide them.
std::vector<uint8_t> DevModeFromStored(const std::vector<uint8_t>& block);

// The device name in the first field (up to 32 UTF-16 units, zero-terminated).
std::wstring DevModeDeviceName(const std::vector<uint8_t>& devMode);

// True when the block holds nothing but zeros (the placeholder of a record
// that never had a device mode).
bool IsBlankDevMode(const std::vector<uint8_t>& block);

}  // namespace orbilux
