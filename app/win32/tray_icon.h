// The notification-area icon of the hidden main dialog: install, busy/normal
// state (re-adding an icon the shell has lost), balloons, removal, and the
// mouse callback that opens the tray menu.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>

namespace orbilux {

extern const wchar_t kTrayTip[];  // "Tamrik Screen Print"

// The message the shell sends for mouse events on the icon ("WM_TRAYICON").
UINT TrayIconMessage();

class CTrayIconImpl {
public:
    CTrayIconImpl();
    ~CTrayIconImpl() { Remove(); }
    CTrayIconImpl(const CTrayIconImpl&) = delete;
    CTrayIconImpl& operator=(const CTrayIconImpl&) = delete;

    void Attach(HWND owner) { owner_ = owner; }
    bool Install(const wchar_t* tip, HICON icon, UINT id);
    // Busy (icon 223) or normal (icon 128); adds the icon anew when it is not
    // installed or the shell no longer knows it.
    void SetState(bool busy);
    void Remove();
    bool Installed() const { return installed_; }
    bool Busy() const { return busy_; }

    // Shows a balloon (the notification area's information message) at the
    // icon: title and text are cut to what the shell takes (63 and 255
    // characters); infoFlags is NIIF_INFO, NIIF_WARNING or NIIF_ERROR. Adds
    // the icon first when it is not there. Returns whether the shell took it.
    // onClick runs when the user clicks this balloon; it is forgotten when the
    // balloon goes away unclicked or another balloon replaces it.
    bool ShowBalloon(const std::wstring& title, const std::wstring& text, DWORD infoFlags,
                     std::function<void()> onClick = nullptr);

    // Takes this icon's balloon off the screen. True when one may still have
    // been showing (shown less than a minute ago and not yet seen to go).
    bool HideBalloon();

    // The WM_TRAYICON handler: right button up opens the first popup of the
    // owner's menu at the cursor, a double click sends the default item's
    // command, a click on the balloon runs its onClick.
    LRESULT OnTrayIcon(WPARAM wParam, LPARAM lParam);
    // The command the double click sends: the default item's, else the first item's.
    UINT DefaultCommand(HMENU popup) const;

private:
    HWND owner_ = nullptr;
    NOTIFYICONDATAW data_;
    bool installed_ = false;
    bool busy_ = false;     // the state last set, for an icon added anew by a balloon
    UINT defaultItem_ = 0;  // by position: the first item of the popup
    std::function<void()> balloonClick_;
    ULONGLONG balloonShownAt_ = 0;  // tick count of the balloon that may be showing, or 0
};

}  // namespace orbilux
