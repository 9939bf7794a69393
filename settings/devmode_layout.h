// The byte layout of the platform's wide device-mode record, as the settings
// store it and the printing code reads it. A record starts with the 64-byte
// device name, then dmSpecVersion and dmDriverVersion, then dmSize (offset 68)
// and dmDriverExtra (offset 70), both 16-bit little-endian; its whole size is
// dmSize + dmDriverExtra. The settings keep it as a fixed 220-byte public part
// (the size of the platform's own record) followed by the driver-extra bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orbilux {

constexpr size_t kDevModeFixedSize = 220;
constexpr size_t kDevModeSizeOffset = 68;
constexpr size_t kDevModeDriverExtraOffset = 70;
// The smallest public part that still holds the two size fields.
constexpr size_t kDevModeMinPublicSize = 72;

// The 16-bit little-endian field at `offset` of a record.
inline uint16_t DevModeField16(const uint8_t* record, size_t offset) {
    return static_cast<uint16_t>(record[offset] | record[offset + 1] << 8);
}
inline void SetDevModeField16(uint8_t* record, size_t offset, uint16_t value) {
    record[offset] = static_cast<uint8_t>(value & 0xFF);
    record[offset + 1] = static_cast<uint8_t>(value >> 8);
}

// dmDriverExtra of a record of at least kDevModeMinPublicSize bytes.
inline size_t DevModeDriverExtra(const uint8_t* record) {
    return DevModeField16(record, kDevModeDriverExtraOffset);
}

}  // namespace orbilux
