#include "settings/settings.h"

#include <cstring>
#include <new>
#include <stdexcept>

#include "settings/settings_storage.h"

namespace orbilux {

const wchar_t kDevModeFailureText[] =
    L"プリンタ設定の読み込みに失敗しました。\r\n申し訳ありませんが、再設定をお願いいたします。";
const wchar_t kDevModeFailureCaption[] = L"Tamrik";

namespace {

DevModeFailureNotifier g_devModeFailureNotifier = nullptr;

// Visits the items of one group in storage order and applies the failure
// rules: stop at the first failure unless the storage continues on error;
// a failed load puts the item's default back (when it has one); a failed
// save makes the result false, a failed load does not.
class ItemVisitor {
public:
    ItemVisitor(CSettingsStorage& storage, bool continueOnError, bool save)
        : storage_(storage), continueOnError_(continueOnError), save_(save) {}

    bool save() const { return save_; }
    bool stopped() const { return stopped_; }
    bool result() const { return result_; }
    CSettingsStorage& storage() { return storage_; }

    void Bool(const wchar_t* key, bool& field, bool def) {
        if (!stopped_) Done(storage_.SerializeBool(key, field, save_), [&] { field = def; });
    }
    void Int(const wchar_t* key, int32_t& field, int32_t def) {
        if (!stopped_) Done(storage_.SerializeInt(key, field, save_), [&] { field = def; });
    }
    void UInt(const wchar_t* key, uint32_t& field, uint32_t def) {
        if (!stopped_) Done(storage_.SerializeUInt(key, field, save_), [&] { field = def; });
    }
    void String(const wchar_t* key, std::wstring& field, const wchar_t* def) {
        if (!stopped_) Done(storage_.SerializeString(key, field, save_), [&] { field = def; });
    }
    // An item that keeps what it holds when it cannot be loaded.
    void KeptString(const wchar_t* key, std::wstring& field) {
        if (!stopped_) Done(storage_.SerializeString(key, field, save_), [] {});
    }
    template <typename T>
    void Block(const wchar_t* key, T& field, const T& def) {
        if (!stopped_) Done(storage_.SerializeBlock(key, &field, sizeof(T), save_), [&] { field = def; });
    }
    template <typename T>
    void KeptBlock(const wchar_t* key, T& field) {
        if (!stopped_) Done(storage_.SerializeBlock(key, &field, sizeof(T), save_), [] {});
    }
    template <typename T>
    void List(const wchar_t* key, std::vector<T>& list) {
        if (!stopped_) Done(storage_.SerializeList(key, list, save_), [] {});
    }

private:
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
    bool stopped_ = false;
    bool result_ = true;
};

}  // namespace

void SetDevModeFailureNotifier(DevModeFailureNotifier notifier) {
    g_devModeFailureNotifier = notifier;
}

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
    if (setDefaults) {
        bDisplaySplash_ = defaults.bDisplaySplash_;
        bEnableMutliMonitor_ = defaults.bEnableMutliMonitor_;
        numberOfMonitors_ = defaults.numberOfMonitors_;
        screenTarget = defaults.screenTarget;
        return true;
    }
    ItemVisitor v(storage, continueOnError, save);
    v.Bool(L"bDisplaySplash_", bDisplaySplash_, defaults.bDisplaySplash_);
    v.Bool(L"bEnableMutliMonitor_", bEnableMutliMonitor_, defaults.bEnableMutliMonitor_);
    v.List(L"disabledMonitors_", disabledMonitors_);
    v.Int(L"numberOfMonitors_", numberOfMonitors_, defaults.numberOfMonitors_);
    v.Int(L"screenTarget", screenTarget, defaults.screenTarget);
    return v.result();
}

// ---- PrinterSettings ----

PrinterSettings::PrinterSettings() = default;

uint16_t PrinterSettings::devModeDriverExtra() const {
    if (!hasDevMode()) return 0;
    return static_cast<uint16_t>(devModeBlock[kDevModeDriverExtraOffset] |
                                 devModeBlock[kDevModeDriverExtraOffset + 1] << 8);
}

bool PrinterSettings::setDevMode(const void* data, size_t size) {
    devModeBlock.clear();
    if (data == nullptr || size < kDevModeFixedSize) return false;
    const auto* bytes = static_cast<const uint8_t*>(data);
    const size_t extra =
        static_cast<size_t>(bytes[kDevModeDriverExtraOffset] | bytes[kDevModeDriverExtraOffset + 1] << 8);
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
        const size_t extra =
            static_cast<size_t>(fixed[kDevModeDriverExtraOffset] | fixed[kDevModeDriverExtraOffset + 1] << 8);
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
        if (g_devModeFailureNotifier) g_devModeFailureNotifier(kDevModeFailureText, kDevModeFailureCaption);
    }
}

void SaveDevMode(CSettingsStorage& storage, std::vector<uint8_t>& block) {
    if (block.size() < kDevModeFixedSize) return;
    storage.SerializeBlock(L"devmode_", block.data(), kDevModeFixedSize, true);
    size_t extra =
        static_cast<size_t>(block[kDevModeDriverExtraOffset] | block[kDevModeDriverExtraOffset + 1] << 8);
    // Never write past the block, whatever its header claims.
    if (extra > block.size() - kDevModeFixedSize) extra = block.size() - kDevModeFixedSize;
    storage.SerializeBlock(L"devmode_Extra", block.data() + kDevModeFixedSize, extra, true);
}

}  // namespace

bool PrinterSettings::Serialize(bool continueOnError, CSettingsStorage& storage, bool save,
                                bool setDefaults) {
    const PrinterSettings defaults{};
    if (setDefaults) {
        // The chosen printer's name, device mode, paper size and minimum
        // margins are kept.
        bSetPrinter_ = defaults.bSetPrinter_;
        bSetPage_ = defaults.bSetPage_;
        rtMargin = defaults.rtMargin;
        lineHeightHead = defaults.lineHeightHead;
        marginHead = defaults.marginHead;
        enableHead = defaults.enableHead;
        lineHeightFoot = defaults.lineHeightFoot;
        marginFoot = defaults.marginFoot;
        enableFoot = defaults.enableFoot;
        enableInfo = defaults.enableInfo;
        pictureVerticalAlign = defaults.pictureVerticalAlign;
        return true;
    }
    ItemVisitor v(storage, continueOnError, save);
    v.Bool(L"bSetPrinter_", bSetPrinter_, defaults.bSetPrinter_);
    v.Bool(L"bSetPage_", bSetPage_, defaults.bSetPage_);
    v.KeptString(L"printername_", printername_);
    if (!v.stopped()) {
        if (save) {
            SaveDevMode(storage, devModeBlock);
        } else {
            LoadDevMode(storage, devModeBlock);
        }
    }
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
    return v.result();
}

// ---- FormatSettings ----

FormatSettings::FormatSettings() = default;

bool FormatSettings::Serialize(bool continueOnError, CSettingsStorage& storage, bool save, bool setDefaults) {
    static const wchar_t kDefaultFace[] = L"MS UI Gothic";
    const uint32_t kDefaultSize = 11;
    if (setDefaults) {
        fontFace = kDefaultFace;
        fontSize = kDefaultSize;
        return true;
    }
    ItemVisitor v(storage, continueOnError, save);
    v.String(L"fontFace", fontFace, kDefaultFace);
    v.UInt(L"fontSize", fontSize, kDefaultSize);
    v.List(L"headStrings", headStrings);
    v.List(L"footStrings", footStrings);
    return v.result();
}

// ---- KeySettings ----

KeySettings::KeySettings() = default;

bool KeySettings::Serialize(bool continueOnError, CSettingsStorage& storage, bool save, bool setDefaults) {
    const KeySettings defaults{};
    if (setDefaults) {
        *this = defaults;
        return true;
    }
    ItemVisitor v(storage, continueOnError, save);
    v.Bool(L"bEnableShotKey_", bEnableShotKey_, defaults.bEnableShotKey_);
    v.UInt(L"printVirtualKeyCode_", printVirtualKeyCode_, defaults.printVirtualKeyCode_);
    v.UInt(L"printmodifiers", printmodifiers, defaults.printmodifiers);
    v.UInt(L"shotVirtualKeyCode_", shotVirtualKeyCode_, defaults.shotVirtualKeyCode_);
    v.UInt(L"shotmodifiers", shotmodifiers, defaults.shotmodifiers);
    v.Int(L"keyAction", keyAction, defaults.keyAction);
    v.Int(L"keyKind", keyKind, defaults.keyKind);
    v.Int(L"logType", logType, defaults.logType);
    return v.result();
}

// ---- OutputSettings ----

OutputSettings::OutputSettings() = default;

bool OutputSettings::Serialize(bool continueOnError, CSettingsStorage& storage, bool save, bool setDefaults) {
    const OutputSettings defaults{};
    if (setDefaults) {
        // The naming state of the current capture is not a setting.
        bDateDir = defaults.bDateDir;
        baseDirName = defaults.baseDirName;
        printMode = defaults.printMode;
        nPictureFormat = defaults.nPictureFormat;
        bpp = defaults.bpp;
        scale = defaults.scale;
        return true;
    }
    ItemVisitor v(storage, continueOnError, save);
    v.Bool(L"bDateDir", bDateDir, defaults.bDateDir);
    v.String(L"baseDirName", baseDirName, defaults.baseDirName.c_str());
    v.Int(L"printMode", printMode, defaults.printMode);
    v.Int(L"nPictureFormat", nPictureFormat, defaults.nPictureFormat);
    v.Int(L"bpp", bpp, defaults.bpp);
    v.UInt(L"scale", scale, defaults.scale);
    return v.result();
}

// ---- ExtrasSettings ----

ExtrasSettings::ExtrasSettings() = default;

bool ExtrasSettings::Serialize(bool continueOnError, CSettingsStorage& storage, bool save, bool setDefaults) {
    const ExtrasSettings defaults{};
    if (setDefaults) {
        *this = defaults;
        return true;
    }
    ItemVisitor v(storage, continueOnError, save);
    v.Bool(L"copyToClipboard", copyToClipboard, defaults.copyToClipboard);
    v.Bool(L"notifyAfterSave", notifyAfterSave, defaults.notifyAfterSave);
    v.UInt(L"captureDelay", captureDelay, defaults.captureDelay);
    v.Bool(L"drawPointer", drawPointer, defaults.drawPointer);
    // A delay past the longest is taken as the longest.
    if (captureDelay > kMaxCaptureDelay) captureDelay = kMaxCaptureDelay;
    return v.result();
}

// ---- ORBILUXSetting ----

ORBILUXSetting::ORBILUXSetting() = default;

bool ORBILUXSetting::Serialize(bool continueOnError, CSettingsStorage& storage, bool save, bool setDefaults) {
    if (setDefaults) {
        general_.Serialize(continueOnError, storage, save, true);
        printer_.Serialize(continueOnError, storage, save, true);
        format_.Serialize(continueOnError, storage, save, true);
        key_.Serialize(continueOnError, storage, save, true);
        output_.Serialize(continueOnError, storage, save, true);
        extras_.Serialize(continueOnError, storage, save, true);
        simpleMode = true;
        return true;
    }
    // A group that fails makes the whole result false, but the other groups
    // are still moved.
    bool groups = true;
    groups = storage.SerializeSettings(L"general_", general_, save) && groups;
    groups = storage.SerializeSettings(L"printer_", printer_, save) && groups;
    groups = storage.SerializeSettings(L"format_", format_, save) && groups;
    groups = storage.SerializeSettings(L"key_", key_, save) && groups;
    groups = storage.SerializeSettings(L"output_", output_, save) && groups;
    ItemVisitor v(storage, continueOnError, save);
    v.Bool(L"simpleMode", simpleMode, true);
    // Written behind everything an earlier version writes.
    groups = storage.SerializeSettings(L"extras_", extras_, save) && groups;
    return groups && v.result();
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
