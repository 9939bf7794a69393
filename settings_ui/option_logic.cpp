#include "settings_ui/option_logic.h"

#include <algorithm>
#include <cwctype>

namespace orbilux {

uint32_t HotkeyFieldFromModifiers(uint32_t modifiers) {
    uint32_t field = 0;
    if (modifiers & kModAlt) field |= kHotkeyFieldAlt;
    if (modifiers & kModControl) field |= kHotkeyFieldControl;
    if (modifiers & kModShift) field |= kHotkeyFieldShift;
    return field;
}

uint32_t ModifiersFromHotkeyField(uint32_t fieldModifiers) {
    uint32_t modifiers = 0;
    if (fieldModifiers & kHotkeyFieldShift) modifiers |= kModShift;
    if (fieldModifiers & kHotkeyFieldControl) modifiers |= kModControl;
    if (fieldModifiers & kHotkeyFieldAlt) modifiers |= kModAlt;
    return modifiers;
}

std::vector<std::wstring> SplitListItems(const std::wstring& text, wchar_t separator) {
    std::vector<std::wstring> items;
    if (text.empty()) return items;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(separator, start);
        items.push_back(text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
        if (end == std::wstring::npos) break;
        start = end + 1;
    }
    return items;
}

std::vector<TileRect> LayoutMonitorTiles(const std::vector<MonitorRect>& monitors, int32_t frameWidth,
                                         int32_t frameHeight) {
    std::vector<TileRect> tiles;
    if (monitors.empty()) return tiles;
    MonitorRect bound = monitors.front();
    for (const auto& m : monitors) {
        bound.left = std::min(bound.left, m.left);
        bound.top = std::min(bound.top, m.top);
        bound.right = std::max(bound.right, m.right);
        bound.bottom = std::max(bound.bottom, m.bottom);
    }
    const int64_t boundWidth = std::max<int64_t>(1, int64_t(bound.right) - bound.left);
    const int64_t boundHeight = std::max<int64_t>(1, int64_t(bound.bottom) - bound.top);
    // Scaled coordinates, with sizes rounded up so that neighbouring tiles meet.
    auto scaleDown = [](int64_t v, int64_t num, int64_t den) { return int32_t(v * num / den); };
    auto scaleUp = [](int64_t v, int64_t num, int64_t den) { return int32_t((v * num + den - 1) / den); };
    for (const auto& m : monitors) {
        if (tiles.size() == kMaxMonitorTiles) break;
        const int64_t x = int64_t(m.left) - bound.left;
        const int64_t y = int64_t(m.top) - bound.top;
        const int64_t w = std::max<int64_t>(0, int64_t(m.right) - m.left);
        const int64_t h = std::max<int64_t>(0, int64_t(m.bottom) - m.top);
        TileRect t;
        t.left = scaleDown(x, frameWidth, boundWidth);
        t.top = scaleDown(y, frameHeight, boundHeight);
        t.right = t.left + scaleUp(w, frameWidth, boundWidth);
        t.bottom = t.top + scaleUp(h, frameHeight, boundHeight);
        tiles.push_back(t);
    }
    return tiles;
}

std::vector<int32_t> DisabledMonitorsFromTiles(const std::vector<bool>& checked) {
    std::vector<int32_t> disabled;
    for (size_t i = 0; i < checked.size(); ++i)
        if (!checked[i]) disabled.push_back(int32_t(i));
    return disabled;
}

std::vector<bool> TilesFromDisabledMonitors(std::vector<int32_t> disabled, size_t tileCount) {
    std::sort(disabled.begin(), disabled.end());
    std::vector<bool> checked(tileCount, true);
    for (int32_t index : disabled)
        if (index >= 0 && size_t(index) < tileCount) checked[size_t(index)] = false;
    return checked;
}

uint32_t ScaleOnLeave(bool parsed, uint32_t value) {
    if (!parsed) return kScaleWhenUnreadable;
    return std::clamp(value, kMinScale, kMaxScale);
}

int FirstTooLongLine(const std::vector<std::wstring>& lines) {
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].size() > kMaxTemplateLineChars) return int(i);
    return -1;
}

int FindFontEntry(const std::vector<std::wstring>& names, const std::wstring& face) {
    auto lower = [](wchar_t c) { return wchar_t(std::towlower(wint_t(c))); };
    for (size_t i = 0; i < names.size(); ++i) {
        const std::wstring& name = names[i];
        if (name.size() < face.size()) continue;
        if (std::equal(face.begin(), face.end(), name.begin(),
                       [&](wchar_t a, wchar_t b) { return lower(a) == lower(b); }))
            return int(i);
    }
    return -1;
}

const wchar_t kEasyKeyNames[] = L"PrintScreen;F1;F2;F3;F4;F5;F6;F7;F8;F9;F10;F11;F12";

uint32_t EasyKeyCode(int index) {
    if (index == 0) return kPrintScreenKey;
    if (index >= 1 && index < kEasyKeyCount) return 0x70 + uint32_t(index - 1);  // F1..F12
    return 0;
}

int EasyKeyIndex(const KeySettings& key) {
    if (key.keyKind == kKeyPrintScreen) return 0;
    for (int i = 0; i < kEasyKeyCount; ++i)
        if (EasyKeyCode(i) == key.printVirtualKeyCode_) return i;
    return 0;
}

EasyPageState EasyStateFromRecord(const ORBILUXSetting& record) {
    EasyPageState s;
    s.showHead = record.printer_.enableHead;
    s.showFoot = record.printer_.enableFoot;
    s.keyIndex = EasyKeyIndex(record.key_);
    const int32_t mode = record.output_.printMode;
    s.invert = mode == 1 || mode == 3;
    s.monochrome = mode == 2 || mode == 3;
    s.showInfo = record.key_.logType != kLogNone;
    s.fileOnly = record.key_.keyAction == kActionFiles;
    s.activeWindowOnly = record.general_.screenTarget == kTargetActiveWindow;
    return s;
}

bool ApplyEasyState(const EasyPageState& state, ORBILUXSetting& record) {
    record.printer_.enableHead = state.showHead;
    record.printer_.enableFoot = state.showFoot;
    if (state.keyIndex < 0 || state.keyIndex >= kEasyKeyCount) return false;
    record.key_.keyKind = state.keyIndex != 0 ? 1 : 0;
    record.key_.printVirtualKeyCode_ = EasyKeyCode(state.keyIndex);
    record.key_.printmodifiers = 0;
    record.output_.printMode = state.monochrome ? (state.invert ? 3 : 2) : (state.invert ? 1 : 0);
    record.general_.screenTarget = state.activeWindowOnly ? 2 : 0;
    record.key_.logType = state.showInfo ? 2 : 0;
    record.key_.keyAction = state.fileOnly ? 1 : 0;
    return true;
}

std::wstring EasyPictureFormatText(int32_t nPictureFormat) {
    static const wchar_t* const kWords[] = {L"BITMAP", L"PNG", L"JPEG", L"TIFF"};
    std::wstring text;
    if (nPictureFormat >= 0 && nPictureFormat < 4) text = kWords[nPictureFormat];
    return text + L"形式";
}

std::wstring EasyPicturePositionText(int32_t pictureVerticalAlign) {
    static const wchar_t* const kWords[] = {L"上寄せ", L"中央寄せ", L"下寄せ"};
    std::wstring text = L"画像印刷位置: ";
    if (pictureVerticalAlign >= 0 && pictureVerticalAlign < 3) text += kWords[pictureVerticalAlign];
    return text;
}

bool ParseCaptureDelayField(const std::wstring& text, uint32_t& seconds) {
    size_t begin = 0, end = text.size();
    while (begin < end && text[begin] == L' ') ++begin;
    while (end > begin && text[end - 1] == L' ') --end;
    if (begin == end) return false;
    uint32_t value = 0;
    for (size_t i = begin; i < end; ++i) {
        if (text[i] < L'0' || text[i] > L'9') return false;
        value = value * 10 + uint32_t(text[i] - L'0');
        if (value > ExtrasSettings::kMaxCaptureDelay) return false;  // also keeps long input from overflowing
    }
    seconds = value;
    return true;
}

}  // namespace orbilux
