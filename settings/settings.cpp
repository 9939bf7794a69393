#include "settings/settings.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>

#include "settings/settings_storage.h"

namespace orbilux {

const wchar_t kDevModeFailureText[] =
    L"プリンタ設定の読み込みに失敗しました。\r\n申し訳ありませんが、再設定をお願いいたします。";
const wchar_t kDevModeFailureCaption[] = L"Tamrik";

namespace {

// Visits the items of one group in storage order: a load or a save moves
// them, a reset gives each item its default and leaves kept items alone.
// A load or a save applies the failure rules: stop at the first failure
// unless the storage continues on error; a failed load puts the item's
// default back (when it has one); a failed save makes the result false, a
// failed load does not. A reset touches no storage and always succeeds.
class ItemVisitor {
public:
    ItemVisitor(CSettingsStorage& storage, bool continueOnError, bool save, bool reset)
        : storage_(storage), continueOnError_(continueOnError), save_(save), reset_(reset) {}

    bool Result() const { return result_ && groups_; }

    void Bool(const wchar_t* key, bool& field, bool def) {
        Item(field, def, [&] { return storage_.SerializeBool(key, field, save_); });
    }
    void Int(const wchar_t* key, int32_t& field, int32_t def) {
        Item(field, def, [&] { return storage_.SerializeInt(key, field, save_); });
    }
    void UInt(const wchar_t* key, uint32_t& field, uint32_t def) {
        Item(field, def, [&] { return storage_.SerializeUInt(key, field, save_); });
    }
    void String(const wchar_t* key, std::wstring& field, const std::wstring& def) {
        Item(field, def, [&] { return storage_.SerializeString(key, field, save_); });
    }
    template <typename T>
    void Block(const wchar_t* key, T& field, const T& def) {
        Item(field, def, [&] { return storage_.SerializeBlock(key, &field, sizeof(T), save_); });
    }
    // Items that keep what they hold over a reset and when they cannot be
    // loaded.
    void KeptString(const wchar_t* key, std::wstring& field) {
        KeptItem([&] { return storage_.SerializeString(key, field, save_); });
    }
    template <typename T>
    void KeptBlock(const wchar_t* key, T& field) {
        KeptItem([&] { return storage_.SerializeBlock(key, &field, sizeof(T), save_); });
    }
    template <typename T>
    void KeptList(const wchar_t* key, std::vector<T>& list) {
        KeptItem([&] { return storage_.SerializeList(key, list, save_); });
    }
    // The device mode, kept over a reset. Its own rules decide what a load
    // that finds it damaged leaves; it never fails the group.
    void KeptDevMode(std::vector<uint8_t>& block);
    // A nested group in a sub-storage of its own. A group that fails makes
    // the result false, but the items after it are still moved.
    void Group(const wchar_t* key, CSettings& group) {
        if (reset_) {
            group.Serialize(continueOnError_, storage_, false, true);
        } else {
            groups_ = storage_.SerializeSettings(key, group, save_) && groups_;
        }
    }

private:
    template <typename T, typename D, typename Move>
    void Item(T& field, const D& def, Move move) {
        if (reset_) {
            field = def;
        } else if (!stopped_) {
            Done(move(), [&] { field = def; });
        }
    }
    template <typename Move>
    void KeptItem(Move move) {
        if (!reset_ && !stopped_) Done(move(), [] {});
    }
    template <typename Reset>
    void Done(bool ok, Reset reset) {
        if (ok) return;
        if (!continueOnError_) {
            stopped_ = true;
            result_ = false;
            return;
        }
        if (!save_) reset();
        result_ = result_ && !save_;
    }

    CSettingsStorage& storage_;
    bool continueOnError_;
    bool save_;
    bool reset_;
    bool stopped_ = false;
    bool result_ = true;
    bool groups_ = true;
};

}  // namespace

// ---- CSettings ----

bool CSettings::Load(CSettingsStorage& storage) {
    const bool began = storage.BeginLoad();
    OnBeforeLoad(began);
    bool result = began ? Serialize(storage.ContinueOnError(), storage, false, false) : false;
    result = storage.EndLoad() && result;
    OnAfterLoad(result);
    return result;
}

bool CSettings::Save(CSettingsStorage& storage) {
    const bool began = storage.BeginSave();
    OnBeforeSave(began);
    bool result = began ? Serialize(storage.ContinueOnError(), storage, true, false) : false;
    result = storage.EndSave() && result;
    OnAfterSave(result);
    return result;
}

// ---- GeneralSettings ----

GeneralSettings::GeneralSettings() = default;

bool GeneralSettings::Serialize(bool continueOnError, CSettingsStorage& storage, bool save,
                                bool setDefaults) {
    const GeneralSettings defaults{};
    ItemVisitor v(storage, continueOnError, save, setDefaults);
    v.Bool(L"bDisplaySplash_", bDisplaySplash_, defaults.bDisplaySplash_);
    v.Bool(L"bEnableMutliMonitor_", bEnableMutliMonitor_, defaults.bEnableMutliMonitor_);
    v.KeptList(L"disabledMonitors_", disabledMonitors_);
    v.Int(L"numberOfMonitors_", numberOfMonitors_, defaults.numberOfMonitors_);
    v.Int(L"screenTarget", screenTarget, defaults.screenTarget);
    return v.Result();
}

// ---- PrinterSettings ----

PrinterSettings::PrinterSettings() = default;

uint16_t PrinterSettings::DevModeDriverExtra() const {
    if (!HasDevMode()) return 0;
    return static_cast<uint16_t>(orbilux::DevModeDriverExtra(devModeBlock.data()));
}

bool PrinterSettings::SetDevMode(const void* data, size_t size) {
    devModeBlock.clear();
    if (data == nullptr || size < kDevModeFixedSize) return false;
    const auto* bytes = static_cast<const uint8_t*>(data);
    const size_t extra = orbilux::DevModeDriverExtra(bytes);
    if (size < kDevModeFixedSize + extra) return false;
    devModeBlock.assign(bytes, bytes + kDevModeFixedSize + extra);
    return true;
}

namespace {

// Reads the stored device mode into `block`: the fixed part, then as many
// driver-extra bytes as the fixed part announces. A missing fixed part leaves
// no block; a missing extra part leaves zeros.
void LoadDevMode(CSettingsStorage& storage, std::vector<uint8_t>& block) {
    block.clear();
    uint8_t fixed[kDevModeFixedSize] = {};
    if (!storage.SerializeBlock(L"devmode_", fixed, sizeof(fixed), false)) return;
    try {
        const size_t extra = DevModeDriverExtra(fixed);
        std::vector<uint8_t> loaded(kDevModeFixedSize + extra, 0);
        std::memcpy(loaded.data(), fixed, kDevModeFixedSize);
        if (extra != 0) {
            std::vector<uint8_t> extraBytes(extra, 0);
            storage.SerializeBlock(L"devmode_Extra", extraBytes.data(), extra, false);
            std::memcpy(loaded.data() + kDevModeFixedSize, extraBytes.data(), extra);
        }
        block.swap(loaded);
    } catch (const std::exception&) {
        block.clear();
        storage.ReportUnreadableDevMode();
    }
}

void SaveDevMode(CSettingsStorage& storage, std::vector<uint8_t>& block) {
    if (block.size() < kDevModeFixedSize) return;
    storage.SerializeBlock(L"devmode_", block.data(), kDevModeFixedSize, true);
    // Never write past the block, whatever its header claims.
    const size_t extra = std::min(DevModeDriverExtra(block.data()), block.size() - kDevModeFixedSize);
    storage.SerializeBlock(L"devmode_Extra", block.data() + kDevModeFixedSize, extra, true);
}

void ItemVisitor::KeptDevMode(std::vector<uint8_t>& block) {
    if (reset_ || stopped_) return;
    if (save_) {
        SaveDevMode(storage_, block);
    } else {
        LoadDevMode(storage_, block);
    }
}

}  // namespace

bool PrinterSettings::Serialize(bool continueOnError, CSettingsStorage& storage, bool save,
                                bool setDefaults) {
    const PrinterSettings defaults{};
    ItemVisitor v(storage, continueOnError, save, setDefaults);
    v.Bool(L"bSetPrinter_", bSetPrinter_, defaults.bSetPrinter_);
    v.Bool(L"bSetPage_", bSetPage_, defaults.bSetPage_);
    // The chosen printer's name, device mode, paper size and minimum margins
    // and the information box are kept over a reset.
    v.KeptString(L"printername_", printername_);
    v.KeptDevMode(devModeBlock);
    v.KeptBlock(L"ptPaperSize", ptPaperSize);
    v.KeptBlock(L"rtMinMargin", rtMinMargin);
    v.Block(L"rtMargin", rtMargin, defaults.rtMargin);
    v.Int(L"lineHeightHead", lineHeightHead, defaults.lineHeightHead);
    v.Int(L"marginHead", marginHead, defaults.marginHead);
    v.Bool(L"enableHead", enableHead, defaults.enableHead);
    v.Int(L"lineHeightFoot", lineHeightFoot, defaults.lineHeightFoot);
    v.Int(L"marginFoot", marginFoot, defaults.marginFoot);
    v.Bool(L"enableFoot", enableFoot, defaults.enableFoot);
    v.KeptBlock(L"infoBoxRect", infoBoxRect);
    v.Int(L"enableInfo", enableInfo, defaults.enableInfo);
    v.Int(L"pictureVerticalAlign", pictureVerticalAlign, defaults.pictureVerticalAlign);
    return v.Result();
}

// ---- FormatSettings ----

FormatSettings::FormatSettings() = default;

bool FormatSettings::Serialize(bool continueOnError, CSettingsStorage& storage, bool save, bool setDefaults) {
    const FormatSettings defaults{};
    ItemVisitor v(storage, continueOnError, save, setDefaults);
    v.String(L"fontFace", fontFace, defaults.fontFace);
    v.UInt(L"fontSize", fontSize, defaults.fontSize);
    v.KeptList(L"headStrings", headStrings);
    v.KeptList(L"footStrings", footStrings);
    return v.Result();
}

// ---- KeySettings ----

KeySettings::KeySettings() = default;

bool KeySettings::Serialize(bool continueOnError, CSettingsStorage& storage, bool save, bool setDefaults) {
    const KeySettings defaults{};
    ItemVisitor v(storage, continueOnError, save, setDefaults);
    v.Bool(L"bEnableShotKey_", bEnableShotKey_, defaults.bEnableShotKey_);
    v.UInt(L"printVirtualKeyCode_", printVirtualKeyCode_, defaults.printVirtualKeyCode_);
    v.UInt(L"printmodifiers", printmodifiers, defaults.printmodifiers);
    v.UInt(L"shotVirtualKeyCode_", shotVirtualKeyCode_, defaults.shotVirtualKeyCode_);
    v.UInt(L"shotmodifiers", shotmodifiers, defaults.shotmodifiers);
    v.Int(L"keyAction", keyAction, defaults.keyAction);
    v.Int(L"keyKind", keyKind, defaults.keyKind);
    v.Int(L"logType", logType, defaults.logType);
    return v.Result();
}

// ---- OutputSettings ----

OutputSettings::OutputSettings() = default;

bool OutputSettings::Serialize(bool continueOnError, CSettingsStorage& storage, bool save, bool setDefaults) {
    // The naming state of the current capture is not stored, and a reset
    // leaves it.
    const OutputSettings defaults{};
    ItemVisitor v(storage, continueOnError, save, setDefaults);
    v.Bool(L"bDateDir", bDateDir, defaults.bDateDir);
    v.String(L"baseDirName", baseDirName, defaults.baseDirName);
    v.Int(L"printMode", printMode, defaults.printMode);
    v.Int(L"nPictureFormat", nPictureFormat, defaults.nPictureFormat);
    v.Int(L"bpp", bpp, defaults.bpp);
    v.UInt(L"scale", scale, defaults.scale);
    return v.Result();
}

// ---- ExtrasSettings ----

ExtrasSettings::ExtrasSettings() = default;

bool ExtrasSettings::Serialize(bool continueOnError, CSettingsStorage& storage, bool save, bool setDefaults) {
    const ExtrasSettings defaults{};
    ItemVisitor v(storage, continueOnError, save, setDefaults);
    v.Bool(L"copyToClipboard", copyToClipboard, defaults.copyToClipboard);
    v.Bool(L"notifyAfterSave", notifyAfterSave, defaults.notifyAfterSave);
    v.UInt(L"captureDelay", captureDelay, defaults.captureDelay);
    v.Bool(L"drawPointer", drawPointer, defaults.drawPointer);
    // A delay past the longest is taken as the longest.
    if (captureDelay > kMaxCaptureDelay) captureDelay = kMaxCaptureDelay;
    return v.Result();
}

// ---- ORBILUXSetting ----

ORBILUXSetting::ORBILUXSetting() = default;

bool ORBILUXSetting::Serialize(bool continueOnError, CSettingsStorage& storage, bool save, bool setDefaults) {
    ItemVisitor v(storage, continueOnError, save, setDefaults);
    v.Group(L"general_", general_);
    v.Group(L"printer_", printer_);
    v.Group(L"format_", format_);
    v.Group(L"key_", key_);
    v.Group(L"output_", output_);
    v.Bool(L"simpleMode", simpleMode, true);
    // Written behind everything an earlier version writes.
    v.Group(L"extras_", extras_);
    return v.Result();
}

// ---- The live record ----

namespace {

bool g_instanceDestroyed = false;

struct InstanceHolder {
    ORBILUXSetting record;
    ~InstanceHolder() { g_instanceDestroyed = true; }
};

}  // namespace

ORBILUXSetting& SettingsInstance() {
    if (g_instanceDestroyed) throw std::logic_error("Dead Reference Detected");
    static InstanceHolder holder;
    return holder.record;
}

}  // namespace orbilux
