// libFuzzer target for the printer's device mode as the settings keep it. The
// input is the bytes of one device-mode record as a printer driver hands it
// over (the public part, then the driver-extra bytes); a size field may claim
// more or less than is there.
// - The stored form and back give the record's own bytes, never more.
// - A record taken into the settings saves and loads back unchanged.
// - A settings file whose "devmode_" and "devmode_Extra" blocks hold these
//   bytes loads without reading past them: the loaded block is the 220-byte
//   fixed part and exactly as many extra bytes as that part announces.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "print/devmode_bytes.h"
#include "settings/memory_storage.h"
#include "settings/settings.h"
#include "settings/settings_storage.h"

namespace {

const wchar_t kRoot[] = L"ORBILUXSettings";
const wchar_t kPrinterSection[] = L"ORBILUXSettings.printer_";

std::shared_ptr<orbilux::MemoryProfile> Save(orbilux::ORBILUXSetting& record) {
    auto profile = std::make_shared<orbilux::MemoryProfile>();
    orbilux::CSettingsStorageMemory storage(profile, kRoot);
    if (!record.Save(storage)) std::abort();
    return profile;
}

void Load(const std::shared_ptr<orbilux::MemoryProfile>& profile, orbilux::ORBILUXSetting& record) {
    orbilux::CSettingsStorageMemory storage(profile, kRoot);
    record.Load(storage);
}

void CheckStoredForm(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> record(data, data + size);
    const size_t claimed = orbilux::DevModeClaimedSize(data, size);
    const std::vector<uint8_t> stored = orbilux::DevModeToStored(data, size);
    if (!stored.empty()) {
        if (claimed == 0 || claimed > size) std::abort();
        const std::vector<uint8_t> back = orbilux::DevModeFromStored(stored);
        if (back != std::vector<uint8_t>(data, data + claimed)) std::abort();
        if (orbilux::DevModeDeviceName(back) != orbilux::DevModeDeviceName(record)) std::abort();
    }
    // The input read as a stored block.
    const std::vector<uint8_t> devMode = orbilux::DevModeFromStored(record);
    if (!devMode.empty()) {
        if (devMode.size() != orbilux::DevModeClaimedSize(devMode.data(), devMode.size())) std::abort();
        if (orbilux::DevModeFromStored(orbilux::DevModeToStored(devMode.data(), devMode.size())) != devMode)
            std::abort();
    }
    if (orbilux::DevModeDeviceName(record).size() > 32) std::abort();
    orbilux::IsBlankDevMode(record);
}

// dmDriverExtra read by hand, little-endian at byte 70 (after the 64-byte
// device name and three 16-bit fields), not by the code under test.
size_t DriverExtraOf(const uint8_t* block) {
    return size_t(block[70]) | size_t(block[71]) << 8;
}

void CheckSettingsRoundTrip(const uint8_t* data, size_t size) {
    orbilux::ORBILUXSetting record;
    if (!record.printer_.SetDevMode(data, size)) {
        if (record.printer_.HasDevMode()) std::abort();
        return;
    }
    const std::vector<uint8_t>& block = record.printer_.devModeBlock;
    if (block.size() != orbilux::kDevModeFixedSize + DriverExtraOf(data)) std::abort();
    if (record.printer_.DevModeDriverExtra() != DriverExtraOf(data)) std::abort();

    const auto saved = Save(record);
    orbilux::ORBILUXSetting loaded;
    Load(saved, loaded);
    if (loaded.printer_.devModeBlock != block) std::abort();
    if (Save(loaded)->ToText() != saved->ToText()) std::abort();
}

void CheckStoredBlocks(const uint8_t* data, size_t size) {
    // The fixed part from the first 220 bytes (zeros beyond the input), the
    // rest as the extra block, whatever the fixed part claims.
    uint8_t fixed[orbilux::kDevModeFixedSize] = {};
    const size_t fixedBytes = size < sizeof fixed ? size : sizeof fixed;
    for (size_t i = 0; i < fixedBytes; ++i) fixed[i] = data[i];
    const std::vector<uint8_t> rest(data + fixedBytes, data + size);

    auto profile = std::make_shared<orbilux::MemoryProfile>();
    profile->Set(kPrinterSection, L"devmode_", orbilux::EncodeStructBlock(fixed, sizeof fixed));
    profile->Set(kPrinterSection, L"devmode_Extra", orbilux::EncodeStructBlock(rest.data(), rest.size()));
    orbilux::ORBILUXSetting loaded;
    Load(profile, loaded);

    const std::vector<uint8_t>& block = loaded.printer_.devModeBlock;
    const size_t extra = DriverExtraOf(fixed);
    if (block.size() != sizeof fixed + extra) std::abort();
    if (!std::equal(fixed, fixed + sizeof fixed, block.begin())) std::abort();
    if (rest.size() == extra && !std::equal(rest.begin(), rest.end(), block.begin() + sizeof fixed))
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CheckStoredForm(data, size);
    CheckSettingsRoundTrip(data, size);
    CheckStoredBlocks(data, size);
    return 0;
}
