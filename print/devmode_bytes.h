// The printer's device mode as bytes, converted between the record a driver
// hands over and the stored form of the settings (layout: devmode_layout.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "settings/devmode_layout.h"

namespace orbilux {

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
