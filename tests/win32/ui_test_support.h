// Shared by the settings dialog tests: a modeless sheet on a live record and
// an in-memory settings file, a message pump, and synthesised input.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "base/text.h"
#include "resources/settings_ui_resource.h"
#include "settings/memory_storage.h"
#include "settings/settings.h"
#include "settings_ui/win32/settings_sheet.h"
#include "window/helpers.h"

namespace uitest {

using namespace orbilux;

// Runs the thread's messages for `ms` milliseconds, with dialog keyboard
// handling for `dialog` when given.
inline void Pump(DWORD ms, HWND dialog = nullptr) {
    const DWORD end = ::GetTickCount() + ms;
    do {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (dialog && ::IsWindow(dialog) && ::IsDialogMessageW(dialog, &msg)) continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(5);
    } while (LONG(::GetTickCount() - end) < 0);
}

// String id in the given language's string table, read from the resource
// itself whatever the thread's language.
inline std::wstring StringIn(LANGID language, UINT id) {
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC block = ::FindResourceExW(module, MAKEINTRESOURCEW(6) /* RT_STRING */,
                                    MAKEINTRESOURCEW(id / 16 + 1), language);
    if (!block) return std::wstring();
    const auto* p = static_cast<const wchar_t*>(::LockResource(::LoadResource(module, block)));
    if (!p) return std::wstring();
    for (UINT i = 0; i < id % 16; ++i) p += 1 + *p;  // each entry: its length, then its characters
    return std::wstring(p + 1, *p);
}

inline std::wstring TextOf(HWND window) {
    return tamrik::WindowText(window);
}

inline void SendKey(WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = WORD(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ::SendInput(1, &input, sizeof(input));
}

// Presses and releases the keys in order, releasing in reverse.
inline void PressKeys(std::vector<WORD> keys) {
    for (WORD k : keys) SendKey(k, false);
    for (auto it = keys.rbegin(); it != keys.rend(); ++it) SendKey(*it, true);
}

// A left click at the centre of a window, through the input queue.
inline void ClickAt(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    const int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    const int width = ::GetSystemMetrics(SM_CXSCREEN) - 1, height = ::GetSystemMetrics(SM_CYSCREEN) - 1;
    INPUT inputs[3] = {};
    for (auto& i : inputs) {
        i.type = INPUT_MOUSE;
        i.mi.dx = x * 65535 / width;
        i.mi.dy = y * 65535 / height;
    }
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
    inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(3, inputs, sizeof(INPUT));
}

// Two monitors side by side, whatever the display has.
inline std::vector<CMonitor> TwoMonitors() {
    return {CMonitor(1, {0, 0, 1280, 1024}, {0, 0, 1280, 1000}),
            CMonitor(2, {1280, 0, 2560, 1024}, {1280, 0, 2560, 1000})};
}

class SheetHarness {
public:
    SheetHarness() : profile(std::make_shared<MemoryProfile>()), storage(profile, L"ORBILUXSettings") {}
    ~SheetHarness() { Close(); }

    // Opens the sheet modeless on a working copy of `live`.
    bool Open(OptionSheetServices services = {}) {
        if (!services.monitors) services.monitors = TwoMonitors;
        sheet = std::make_unique<CCSNOptionSheet>(services);
        sheet->SetTitle(L"設定");
        sheet->SetStyleFlags(sheet->StyleFlags() & ~COptionSheet::kButtonApply);
        sheet->SetTarget(&live, &storage);
        sheet->Working() = live;
        if (!sheet->Create(nullptr)) return false;
        ::ShowWindow(sheet->Handle(), SW_SHOW);
        ::SetForegroundWindow(sheet->Handle());
        Pump(50, sheet->Handle());
        return true;
    }
    HWND Sheet() const { return sheet->Handle(); }
    bool IsOpen() const { return sheet && sheet->IsWindow(); }
    void PressOk() {
        ::SetFocus(sheet->Item(IDOK));
        ::SendMessageW(Sheet(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), LPARAM(sheet->Item(IDOK)));
        Pump(20);
    }
    void PressCancel() {
        ::SetFocus(sheet->Item(IDCANCEL));
        ::SendMessageW(Sheet(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), LPARAM(sheet->Item(IDCANCEL)));
        Pump(20);
    }
    // Selects the detail page at `index` (tree order) and returns its window.
    HWND Page(size_t index) {
        sheet->SelectItem(index);
        Pump(20);
        return sheet->CurrentItem()->Page()->Handle();
    }
    void Close() {
        if (IsOpen()) sheet->DestroyWindow();
        sheet.reset();
        Pump(20);
    }
    void Click(HWND page, int id) {
        ::SendMessageW(::GetDlgItem(page, id), BM_CLICK, 0, 0);
        Pump(10);
    }

    ORBILUXSetting live;
    std::shared_ptr<MemoryProfile> profile;
    CSettingsStorageMemory storage;
    std::unique_ptr<CCSNOptionSheet> sheet;
};

// Answers the first message box with the given caption that shows while the
// thread waits in a modal loop (OK), and keeps its text. The pages caption
// their warnings with the page's title; the monitor page's is kNoMonitorCaption.
struct BoxAnswer {
    inline static std::wstring caption;
    inline static std::wstring text;
    inline static int seen = 0;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        HWND box = ::FindWindowW(L"#32770", caption.c_str());
        if (!box || !::IsWindowVisible(box)) return;
        wchar_t buffer[1024] = {};
        ::GetDlgItemTextW(box, 0xFFFF, buffer, 1024);
        text = buffer;
        ++seen;
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    UINT_PTR timer;
    explicit BoxAnswer(const wchar_t* boxCaption) {
        caption = boxCaption;
        text.clear();
        seen = 0;
        timer = ::SetTimer(nullptr, 0, 50, &Tick);
    }
    ~BoxAnswer() { ::KillTimer(nullptr, timer); }
    BoxAnswer(const BoxAnswer&) = delete;
    BoxAnswer& operator=(const BoxAnswer&) = delete;
};
constexpr wchar_t kNoMonitorCaption[] = L"No Monitor Selected.";

inline bool Checked(HWND page, int id) {
    return ::IsDlgButtonChecked(page, id) == BST_CHECKED;
}

// OK with `text` in `field` is refused: one message box titled `caption`
// that names `limit`, the sheet still open and the focus back in the field.
inline void ExpectOkRefused(SheetHarness& h, HWND field, const wchar_t* text, const wchar_t* caption,
                            const wchar_t* limit) {
    SCOPED_TRACE(testing::Message() << "text " << tamrik::WideToUtf8(text));
    ::SetWindowTextW(field, text);
    BoxAnswer watch(caption);
    h.PressOk();
    EXPECT_EQ(BoxAnswer::seen, 1);
    EXPECT_NE(BoxAnswer::text.find(limit), std::wstring::npos);
    EXPECT_TRUE(h.IsOpen());
    EXPECT_EQ(::GetFocus(), field);
}

}  // namespace uitest
