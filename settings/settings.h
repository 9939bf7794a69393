// The one settings record of the program and its groups. Each group lists its
// stored items once, with their storage keys (the member names as they stand)
// and defaults; that one list loads, saves and resets the group. The record is
// moved to and from a CSettingsStorage (settings_storage.h) by Load/Save.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/calendar_time.h"
#include "settings/devmode_layout.h"
#include "sysinfo/computer_info.h"

namespace orbilux {

class CSettingsStorage;

// The platform's POINT and RECT, kept portable (8 and 16 bytes as stored).
struct SettingsPoint {
    int32_t x = 0;
    int32_t y = 0;
};
static_assert(sizeof(SettingsPoint) == 8, "a stored point is 8 bytes");

struct SettingsRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};
static_assert(sizeof(SettingsRect) == 16, "a stored rectangle is 16 bytes");

inline bool operator==(const SettingsPoint& a, const SettingsPoint& b) {
    return a.x == b.x && a.y == b.y;
}
inline bool operator!=(const SettingsPoint& a, const SettingsPoint& b) {
    return !(a == b);
}
inline bool operator==(const SettingsRect& a, const SettingsRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline bool operator!=(const SettingsRect& a, const SettingsRect& b) {
    return !(a == b);
}

// The stored numbers of the settings, by name (the values are what the file holds).
enum ScreenTarget { kTargetDesktop = 0, kTargetMonitors = 1, kTargetActiveWindow = 2 };
enum KeyAction { kActionPrint = 0, kActionFiles = 1, kActionPrintAndFiles = 2 };
enum KeyKind { kKeyPrintScreen = 0, kKeyChosen = 1 };
enum LogType { kLogNone = 0, kLogBasic = 1, kLogWithEvents = 2, kLogWithEventsToo = 3 };
enum PictureFormat { kFormatBmp = 0, kFormatPng = 1, kFormatJpeg = 2, kFormatTiff = 3 };
enum PictureDepth { kDepth1 = 0, kDepth4 = 1, kDepth8 = 2, kDepth24 = 3 };

// Base of the record and of every group.
class CSettings {
public:
    virtual ~CSettings() = default;

    virtual void OnBeforeSave(bool /*began*/) {}
    virtual void OnAfterSave(bool /*result*/) {}
    virtual void OnBeforeLoad(bool /*began*/) {}
    virtual void OnAfterLoad(bool /*result*/) {}
    // Moves the items of the class (save or load), or with setDefaults assigns
    // the defaults without touching the storage: every item takes its default
    // except those the group keeps over a reset (the chosen printer, its device
    // mode and page, the lists), and the run-time state, which is not stored.
    virtual bool Serialize(bool continueOnError, CSettingsStorage& storage, bool save, bool setDefaults) = 0;
    virtual bool Load(CSettingsStorage& storage);
    virtual bool Save(CSettingsStorage& storage);
};

class GeneralSettings : public CSettings {
public:
    GeneralSettings();
    bool Serialize(bool continueOnError, CSettingsStorage& storage, bool save, bool setDefaults) override;

    bool bDisplaySplash_ = true;
    bool bEnableMutliMonitor_ = true;
    std::vector<int32_t> disabledMonitors_;  // ascending monitor positions left out per-monitor
    int32_t numberOfMonitors_ = 0;
    int32_t screenTarget = kTargetDesktop;  // ScreenTarget
};

class PrinterSettings : public CSettings {
public:
    PrinterSettings();
    bool Serialize(bool continueOnError, CSettingsStorage& storage, bool save, bool setDefaults) override;

    // Device mode helpers: the block is the fixed 220 bytes followed by the
    // driver-extra bytes; empty means no device mode is held.
    bool HasDevMode() const { return devModeBlock.size() >= kDevModeFixedSize; }
    // Driver-extra byte count recorded in the fixed part (0 without a block).
    uint16_t DevModeDriverExtra() const;
    // Takes a copy of a device mode (fixed part plus driver extra as its field
    // says); fails and clears the block when fewer bytes are given.
    bool SetDevMode(const void* data, size_t size);
    void ClearDevMode() { devModeBlock.clear(); }

    // Non-owning references to the main window's open printer and device mode;
    // copied as references.
    void* printerRef = nullptr;
    void* devModeRef = nullptr;
    bool bSetPrinter_ = false;
    bool bSetPage_ = false;
    std::vector<uint8_t> devModeBlock;  // owned copy, duplicated when the record is copied
    std::wstring printername_;
    SettingsPoint ptPaperSize;
    SettingsRect rtMinMargin;
    SettingsRect rtMargin{1500, 1000, 1000, 1000};
    int32_t lineHeightHead = 1;
    int32_t marginHead = 10;
    bool enableHead = true;
    int32_t lineHeightFoot = 1;
    int32_t marginFoot = 10;
    bool enableFoot = true;
    SettingsRect infoBoxRect;
    int32_t enableInfo = 0;
    int32_t pictureVerticalAlign = 0;  // 0 top, 1 centred
};

class FormatSettings : public CSettings {
public:
    FormatSettings();
    bool Serialize(bool continueOnError, CSettingsStorage& storage, bool save, bool setDefaults) override;

    ComputerInfo computerInfo;  // run-time only, never stored
    std::vector<std::wstring> headStrings;
    std::vector<std::wstring> footStrings;
    std::wstring fontFace = L"MS UI Gothic";
    uint32_t fontSize = 11;
};

class KeySettings : public CSettings {
public:
    KeySettings();
    bool Serialize(bool continueOnError, CSettingsStorage& storage, bool save, bool setDefaults) override;

    uint32_t printVirtualKeyCode_ = 0x2C;  // Print Screen
    uint32_t printmodifiers = 0;           // Alt 1, Ctrl 2, Shift 4
    bool bEnableShotKey_ = true;
    uint32_t shotVirtualKeyCode_ = 0x2C;
    uint32_t shotmodifiers = 3;         // Alt + Ctrl
    int32_t keyAction = kActionPrint;   // KeyAction
    int32_t keyKind = kKeyPrintScreen;  // KeyKind
    int32_t logType = kLogNone;         // LogType: 2 and 3 add the event logs
};

class OutputSettings : public CSettings {
public:
    OutputSettings();
    bool Serialize(bool continueOnError, CSettingsStorage& storage, bool save, bool setDefaults) override;

    std::wstring baseDirName;
    std::wstring currentDir;    // run-time: output folder of the current capture
    std::wstring baseFileName;  // run-time: file-name stem of the current capture
    bool bDateDir = false;
    tamrik::CalendarTime captureTime;      // run-time
    int32_t printMode = 0;                 // 0 colour, 1 inverted, 2 monochrome, 3 inverted monochrome
    int32_t nPictureFormat = kFormatJpeg;  // PictureFormat
    int32_t bpp = kDepth24;                // PictureDepth
    uint32_t scale = 100;                  // percent
};

// What this version adds beyond the earlier groups; stored in a group of its
// own after them, so an earlier program that reads the file ignores it.
class ExtrasSettings : public CSettings {
public:
    ExtrasSettings();
    bool Serialize(bool continueOnError, CSettingsStorage& storage, bool save, bool setDefaults) override;

    // The longest wait before the print key's capture, in seconds.
    static constexpr uint32_t kMaxCaptureDelay = 10;

    bool copyToClipboard = false;  // the press also puts its picture on the clipboard
    bool notifyAfterSave = true;   // a balloon names the files a press wrote
    uint32_t captureDelay = 0;     // seconds before the print key captures, 0 .. kMaxCaptureDelay
    bool drawPointer = false;      // the mouse pointer is drawn into the pictures
};

class ORBILUXSetting : public CSettings {
public:
    ORBILUXSetting();
    bool Serialize(bool continueOnError, CSettingsStorage& storage, bool save, bool setDefaults) override;

    GeneralSettings general_;
    PrinterSettings printer_;
    FormatSettings format_;
    KeySettings key_;
    OutputSettings output_;
    ExtrasSettings extras_;
    bool simpleMode = true;
};

// The live record, created on first use. Throws std::logic_error("Dead
// Reference Detected") when called after it was destroyed at process exit.
ORBILUXSetting& SettingsInstance();

// The warning that a stored device mode could not be read (shown by the
// storage, CSettingsStorage::ReportUnreadableDevMode, and by printing).
extern const wchar_t kDevModeFailureText[];
extern const wchar_t kDevModeFailureCaption[];

}  // namespace orbilux
