// The parts of the settings dialog that need no window: the mappings of the
// easy page, the hotkey field's modifier encoding, the monitor tile layout,
// the scale rules and the string-table list items.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "capture/monitor_list.h"
#include "settings/settings.h"
#include "settings/settings_storage.h"

namespace orbilux {

// ---- Hotkey field ----
// The hotkey control keeps Shift 1, Ctrl 2, Alt 4 and the extended-key flag 8;
// registered hotkeys use Alt 1, Ctrl 2, Shift 4.
constexpr uint32_t kHotkeyFieldShift = 0x01;
constexpr uint32_t kHotkeyFieldControl = 0x02;
constexpr uint32_t kHotkeyFieldAlt = 0x04;
constexpr uint32_t kHotkeyFieldExtended = 0x08;
constexpr uint32_t kModAlt = 0x01;
constexpr uint32_t kModControl = 0x02;
constexpr uint32_t kModShift = 0x04;
constexpr uint32_t kPrintScreenKey = 0x2C;

uint32_t HotkeyFieldFromModifiers(uint32_t modifiers);
// The extended-key flag is dropped.
uint32_t ModifiersFromHotkeyField(uint32_t fieldModifiers);

// ---- String-table lists ----
// "a;b;c" -> {"a", "b", "c"}; an empty text gives no items.
std::vector<std::wstring> SplitListItems(const std::wstring& text, wchar_t separator = L';');

// ---- Monitor tiles ----
constexpr size_t kMaxMonitorTiles = 16;

struct TileRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// The tiles of the monitors (at most kMaxMonitorTiles) inside a frame of the
// given size: every monitor moved by the bounding rectangle's top-left corner
// and scaled by frame size / bounding size, width and height rounded up.
std::vector<TileRect> LayoutMonitorTiles(const std::vector<MonitorRect>& monitors, int32_t frameWidth,
                                         int32_t frameHeight);

// Ascending positions of the tiles that are not checked.
std::vector<int32_t> DisabledMonitorsFromTiles(const std::vector<bool>& checked);
// Which tiles start unchecked for a stored list (indexes without a tile are ignored).
std::vector<bool> TilesFromDisabledMonitors(std::vector<int32_t> disabled, size_t tileCount);

// ---- Scale ----
constexpr uint32_t kMinScale = 1;
constexpr uint32_t kMaxScale = 150;
constexpr uint32_t kScaleWhenUnreadable = 100;

inline bool IsAcceptedScale(uint32_t scale) {
    return scale >= kMinScale && scale <= kMaxScale;
}
// What the scale field shows after leaving it: unreadable text gives 100,
// anything else is clamped into 1..150.
uint32_t ScaleOnLeave(bool parsed, uint32_t value);

// ---- Numbers a page can hold ----
// Header and footer line spacing and gaps, millimetres: the print layout
// takes any larger distance as this one.
constexpr uint32_t kMaxBandDistanceMm = 1000;
// Header and footer font size, points: the printed font is never larger.
constexpr uint32_t kMaxFontPoints = 10000;

inline bool IsAcceptedBandDistance(uint32_t mm) {
    return mm <= kMaxBandDistanceMm;
}
inline bool IsAcceptedFontSize(int32_t points) {
    return points >= 0 && uint32_t(points) <= kMaxFontPoints;
}

// The capture delay field: decimal digits only (blanks around them allowed),
// 0 to ExtrasSettings::kMaxCaptureDelay seconds. False for anything else.
bool ParseCaptureDelayField(const std::wstring& text, uint32_t& seconds);

// ---- Header and footer lines ----
// The longest line the editor accepts: what a load gives back whole, less the
// pair of quotes the file may need around a line (see ProfileValueText).
constexpr size_t kMaxTemplateLineChars = kMaxLoadedStringChars - 2;

// Position of the first line longer than kMaxTemplateLineChars, or -1.
int FirstTooLongLine(const std::vector<std::wstring>& lines);

// ---- Fonts ----
// Index of the first name that begins with `face` (ignoring case), or -1.
int FindFontEntry(const std::vector<std::wstring>& names, const std::wstring& face);

// ---- Easy page ----
// The print keys the easy page offers, by list position.
constexpr int kEasyKeyCount = 13;
extern const wchar_t kEasyKeyNames[];  // "PrintScreen;F1;...;F12"
uint32_t EasyKeyCode(int index);       // 0 for an index outside the table
// The list position shown for a key group: 0 for the standard key or a key
// outside the table.
int EasyKeyIndex(const KeySettings& key);

// The control state of the easy page.
struct EasyPageState {
    int keyIndex = 0;  // -1 when the key list has no selection
    bool showHead = true;
    bool showFoot = true;
    bool showInfo = false;
    bool monochrome = false;
    bool invert = false;
    bool activeWindowOnly = false;  // otherwise the whole desktop
    bool fileOnly = false;
};

EasyPageState EasyStateFromRecord(const ORBILUXSetting& record);
// Writes the choices into the record. With no key selected only the header
// and footer switches are written and the call fails.
bool ApplyEasyState(const EasyPageState& state, ORBILUXSetting& record);

// "BITMAP", "PNG", "JPEG" or "TIFF" followed by "形式".
std::wstring EasyPictureFormatText(int32_t nPictureFormat);
// "画像印刷位置: " followed by the position word.
std::wstring EasyPicturePositionText(int32_t pictureVerticalAlign);

}  // namespace orbilux
