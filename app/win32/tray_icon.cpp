#include "app/win32/tray_icon.h"

#include <algorithm>
#include <cwchar>

#include "resources/resource.h"
#include "window/message_loop.h"
#include "window/raii.h"

namespace orbilux {

const wchar_t kTrayTip[] = L"Tamrik Screen Print";

UINT TrayIconMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"WM_TRAYICON");
    return message;
}

CTrayIconImpl::CTrayIconImpl() {
    TrayIconMessage();
    ::ZeroMemory(&data_, sizeof(data_));
}

bool CTrayIconImpl::Install(const wchar_t* tip, HICON icon, UINT id) {
    data_.cbSize = NOTIFYICONDATAW_V3_SIZE;
    data_.hWnd = owner_;
    data_.uID = id;
    data_.hIcon = icon;
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data_.uCallbackMessage = TrayIconMessage();
    wcsncpy(data_.szTip, tip, ARRAYSIZE(data_.szTip) - 1);
    data_.szTip[ARRAYSIZE(data_.szTip) - 1] = L'\0';
    installed_ = ::Shell_NotifyIconW(NIM_ADD, &data_) != FALSE;
    return installed_;
}

void CTrayIconImpl::SetState(bool busy) {
    busy_ = busy;
    const int size = ::GetSystemMetrics(SM_CXSMICON);
    tamrik::UniqueIcon icon(static_cast<HICON>(::LoadImageW(tamrik::ResourceInstance(),
                                                            MAKEINTRESOURCEW(busy ? IDI_BUSY : IDR_MAINFRAME),
                                                            IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
    if (installed_) {
        data_.hIcon = icon.Get();
        data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        wcsncpy(data_.szTip, kTrayTip, ARRAYSIZE(data_.szTip) - 1);
        installed_ = ::Shell_NotifyIconW(NIM_MODIFY, &data_) != FALSE;
        if (installed_) return;
    }
    // Never installed, or the shell lost the icon (it restarted): add it again.
    Install(kTrayTip, icon.Get(), IDT_TRAYICON);
}

namespace {

template <size_t N>
void CopyCut(wchar_t (&target)[N], const std::wstring& text) {
    const size_t length = std::min(text.size(), N - 1);
    text.copy(target, length);
    target[length] = L'\0';
}

}  // namespace

bool CTrayIconImpl::ShowBalloon(const std::wstring& title, const std::wstring& text, DWORD infoFlags,
                                std::function<void()> onClick) {
    balloonClick_ = nullptr;
    if (!installed_) SetState(busy_);
    if (!installed_) return false;
    data_.uFlags = NIF_INFO;
    CopyCut(data_.szInfoTitle, title);
    CopyCut(data_.szInfo, text);
    data_.dwInfoFlags = infoFlags;
    data_.uTimeout = 10000;  // ignored from Windows Vista on; the system decides
    bool shown = ::Shell_NotifyIconW(NIM_MODIFY, &data_) != FALSE;
    if (!shown) {
        // The shell lost the icon since it was last set: add it and try once more.
        installed_ = false;
        SetState(busy_);
        if (installed_) {
            data_.uFlags = NIF_INFO;
            shown = ::Shell_NotifyIconW(NIM_MODIFY, &data_) != FALSE;
        }
    }
    // Later changes of the icon must not show the balloon again.
    data_.uFlags = 0;
    data_.szInfo[0] = L'\0';
    data_.szInfoTitle[0] = L'\0';
    if (shown) {
        balloonClick_ = std::move(onClick);
        balloonShownAt_ = ::GetTickCount64();
    }
    return shown;
}

bool CTrayIconImpl::HideBalloon() {
    // The shell shows a balloon for some seconds at most; after a minute it is
    // surely gone, whether or not its end was reported.
    constexpr ULONGLONG kLongestShownMs = 60000;
    const ULONGLONG shownAt = balloonShownAt_;
    balloonShownAt_ = 0;
    if (shownAt == 0 || ::GetTickCount64() - shownAt > kLongestShownMs || !installed_) return false;
    // An empty text with NIF_INFO takes the balloon away.
    data_.uFlags = NIF_INFO;
    data_.szInfo[0] = L'\0';
    data_.szInfoTitle[0] = L'\0';
    ::Shell_NotifyIconW(NIM_MODIFY, &data_);
    data_.uFlags = 0;
    balloonClick_ = nullptr;
    return true;
}

void CTrayIconImpl::Remove() {
    if (!installed_) return;
    data_.uFlags = 0;
    ::Shell_NotifyIconW(NIM_DELETE, &data_);
    installed_ = false;
}

UINT CTrayIconImpl::DefaultCommand(HMENU popup) const {
    const UINT item = ::GetMenuDefaultItem(popup, FALSE, 0);
    if (item != UINT(-1)) return item;
    return ::GetMenuItemID(popup, int(defaultItem_));
}

LRESULT CTrayIconImpl::OnTrayIcon(WPARAM wParam, LPARAM lParam) {
    if (wParam != IDT_TRAYICON) return 0;
    switch (LOWORD(lParam)) {
        case NIN_BALLOONUSERCLICK:
            balloonShownAt_ = 0;
            if (auto click = std::move(balloonClick_)) {
                balloonClick_ = nullptr;
                click();
            }
            return 0;
        case NIN_BALLOONTIMEOUT:
        case NIN_BALLOONHIDE:
            balloonShownAt_ = 0;
            balloonClick_ = nullptr;
            return 0;
        default:
            break;
    }
    HMENU popup = ::GetSubMenu(::GetMenu(owner_), 0);
    if (!popup) return 0;
    switch (LOWORD(lParam)) {
        case WM_RBUTTONUP: {
            POINT pt{};
            ::GetCursorPos(&pt);
            ::SetForegroundWindow(owner_);
            ::SetMenuDefaultItem(popup, defaultItem_, TRUE);
            // A point on no monitor is moved into the nearest monitor's work area.
            if (!::MonitorFromPoint(pt, MONITOR_DEFAULTTONULL)) {
                MONITORINFO info{sizeof(info)};
                ::GetMonitorInfoW(::MonitorFromPoint(pt, MONITOR_DEFAULTTONEAREST), &info);
                if (pt.x < info.rcWork.left) pt.x = info.rcWork.left;
                if (pt.x >= info.rcWork.right) pt.x = info.rcWork.right - 1;
            }
            ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, pt.x, pt.y, 0, owner_,
                             nullptr);
            ::PostMessageW(owner_, WM_NULL, 0, 0);  // lets the menu close properly
            break;
        }
        case WM_LBUTTONDBLCLK:
            ::SetForegroundWindow(owner_);
            ::SendMessageW(owner_, WM_COMMAND, DefaultCommand(popup), 0);
            break;
        default:
            break;
    }
    return 0;
}

}  // namespace orbilux
