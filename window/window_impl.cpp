#include "window/window_impl.h"

#include <commctrl.h>

#include <algorithm>
#include <mutex>
#include <set>

#include "window/helpers.h"
#include "window/message_loop.h"

namespace tamrik {

bool CWindowBase::DestroyWindow() {
    return hwnd_ && ::DestroyWindow(hwnd_);
}

std::wstring CWindowBase::GetText() const {
    return WindowText(hwnd_);
}

bool CWindowBase::CenterWindow(HWND parent) {
    if (!hwnd_) return false;
    RECT self{};
    ::GetWindowRect(hwnd_, &self);
    const LONG width = self.right - self.left;
    const LONG height = self.bottom - self.top;

    const bool useParent = parent && ::IsWindowVisible(parent) && !::IsIconic(parent);
    MONITORINFO info{sizeof(info)};
    ::GetMonitorInfoW(::MonitorFromWindow(useParent ? parent : hwnd_, MONITOR_DEFAULTTONEAREST), &info);
    const RECT area = info.rcWork;
    RECT centreOn = area;
    if (useParent) ::GetWindowRect(parent, &centreOn);

    LONG left = (centreOn.left + centreOn.right) / 2 - width / 2;
    LONG top = (centreOn.top + centreOn.bottom) / 2 - height / 2;
    if (left + width > area.right) left = area.right - width;
    if (top + height > area.bottom) top = area.bottom - height;
    if (left < area.left) left = area.left;
    if (top < area.top) top = area.top;
    return ::SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND CWindowImplBase::Create(HWND parent, const RECT& rect, const wchar_t* title) {
    const WindowTraits traits = Traits();
    static std::mutex registerMutex;
    static std::set<std::wstring> registered;
    {
        std::lock_guard<std::mutex> lock(registerMutex);
        if (!registered.count(traits.className)) {
            WNDCLASSEXW wc{sizeof(wc)};
            wc.style = traits.classStyle;
            wc.lpfnWndProc = &CWindowImplBase::WindowProc;
            wc.hInstance = ResourceInstance();
            wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
            wc.lpszClassName = traits.className;
            if (!::RegisterClassExW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return nullptr;
            registered.insert(traits.className);
        }
    }
    return ::CreateWindowExW(traits.exStyle, traits.className, title, traits.style, rect.left, rect.top,
                             rect.right - rect.left, rect.bottom - rect.top, parent, nullptr,
                             ResourceInstance(), this);
}

LRESULT CALLBACK CWindowImplBase::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CWindowImplBase*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self && message == WM_NCCREATE) {
        self = static_cast<CWindowImplBase*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = hwnd;
    }
    if (!self) return ::DefWindowProcW(hwnd, message, wParam, lParam);

    LRESULT result = 0;
    if (!self->ProcessWindowMessage({hwnd, message, wParam, lParam, &::DefWindowProcW}, result))
        result = ::DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        self->OnFinalMessage(hwnd);  // may delete self
    }
    return result;
}

INT_PTR CDialogImplBase::DoModal(HWND owner) {
    modal_ = true;
    return ::DialogBoxParamW(ResourceInstance(), MAKEINTRESOURCEW(templateId_), owner, &DialogProc,
                             reinterpret_cast<LPARAM>(this));
}

HWND CDialogImplBase::Create(HWND parent) {
    modal_ = false;
    return ::CreateDialogParamW(ResourceInstance(), MAKEINTRESOURCEW(templateId_), parent, &DialogProc,
                                reinterpret_cast<LPARAM>(this));
}

bool CDialogImplBase::EndDialog(INT_PTR code) {
    if (!hwnd_) return false;
    return modal_ ? ::EndDialog(hwnd_, code) : ::DestroyWindow(hwnd_);
}

INT_PTR CALLBACK CDialogImplBase::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CDialogImplBase*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!self && message == WM_INITDIALOG) {
        self = reinterpret_cast<CDialogImplBase*>(lParam);
        ::SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = hwnd;
    }
    if (!self) return FALSE;  // messages before WM_INITDIALOG (WM_SETFONT) get default processing
    if (self->passingOn_) {
        // A handler asked for the default processing of this message.
        self->passingOn_ = false;
        return FALSE;
    }

    LRESULT result = 0;
    const bool handled =
        self->DispatchDialogMessage({hwnd, message, wParam, lParam, &DefaultDialogProc}, result);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        self->hwnd_ = nullptr;
        self->OnFinalMessage(hwnd);  // may delete self
        return handled ? TRUE : FALSE;
    }
    if (!handled) return FALSE;
    switch (message) {
        // These messages return their result directly from the dialog procedure.
        case WM_INITDIALOG:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
            return static_cast<INT_PTR>(result);
        default:
            ::SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
            return TRUE;
    }
}

LRESULT CDialogImplBase::DefaultDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CDialogImplBase*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!self) return 0;
    // The dialog window's procedure (DefDlgProc) calls DialogProc first, for this
    // very message, and does its own processing when that answers "not handled".
    self->passingOn_ = true;
    const LRESULT result = ::DefDlgProcW(hwnd, message, wParam, lParam);
    self->passingOn_ = false;
    return result;
}

bool CDialogImplBase::DispatchDialogMessage(const WindowMessage& message, LRESULT& result) {
    if (ProcessWindowMessage(message, result)) return true;
    if (message.message != WM_DPICHANGED) return false;
    // Per-monitor DPI: take the rectangle the system suggests, then let the
    // dialog make its pixel sizes again.
    const auto* suggested = reinterpret_cast<const RECT*>(message.lParam);
    ::SetWindowPos(message.hwnd, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                   suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    OnDpiChanged(HIWORD(message.wParam));
    result = 0;
    return true;
}

// ---- CSubclassBase ----

CSubclassBase::~CSubclassBase() {
    UnsubclassAll();
}

void CSubclassBase::UnsubclassAll() {
    for (const Attached& a : attached_)
        if (::IsWindow(a.control)) ::RemoveWindowSubclass(a.control, &SubclassProc, a.key);
    attached_.clear();
}

bool CSubclassBase::Subclass(HWND control, UINT_PTR key) {
    if (!control || !::SetWindowSubclass(control, &SubclassProc, key, reinterpret_cast<DWORD_PTR>(this)))
        return false;
    attached_.push_back({control, key});
    return true;
}

LRESULT CSubclassBase::SendUnfiltered(HWND control, UINT message, WPARAM wParam, LPARAM lParam) const {
    ++unfiltered_;
    const LRESULT result = ::SendMessageW(control, message, wParam, lParam);
    --unfiltered_;
    return result;
}

LRESULT CALLBACK CSubclassBase::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                             UINT_PTR key, DWORD_PTR selfData) {
    auto* self = reinterpret_cast<CSubclassBase*>(selfData);
    LRESULT result = 0;
    if (self->unfiltered_ > 0 ||
        !self->Route(key, {hwnd, message, wParam, lParam, &::DefSubclassProc}, result))
        result = ::DefSubclassProc(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::RemoveWindowSubclass(hwnd, &SubclassProc, key);
        auto& list = self->attached_;
        list.erase(std::remove_if(list.begin(), list.end(),
                                  [&](const Attached& a) { return a.control == hwnd && a.key == key; }),
                   list.end());
    }
    return result;
}

}  // namespace tamrik
