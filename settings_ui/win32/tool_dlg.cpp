#include "settings_ui/win32/tool_dlg.h"

#include <commctrl.h>
#include <imm.h>
#include <windowsx.h>

#include <set>

#include "resources/settings_ui_resource.h"

namespace orbilux {

namespace {

constexpr UINT_PTR kReopenTimer = 1;
constexpr UINT kReopenDelayMs = 100;

INPUT KeyInput(WORD vk, WORD scan, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = scan;
    input.ki.dwFlags = flags;
    return input;
}

}  // namespace

UINT TypeText(const std::wstring& text) {
    std::vector<INPUT> inputs;
    bool shiftDown = false;
    for (wchar_t ch : text) {
        const SHORT scan = ::VkKeyScanW(ch);
        // No plain key (or one that needs Ctrl or Alt): send the character itself.
        if (scan == -1 || (HIBYTE(scan) & 0x06)) {
            inputs.push_back(KeyInput(0, ch, KEYEVENTF_UNICODE));
            inputs.push_back(KeyInput(0, ch, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP));
            continue;
        }
        const bool needShift = (HIBYTE(scan) & 0x01) != 0;
        if (needShift != shiftDown) {
            inputs.push_back(KeyInput(VK_SHIFT, 0, needShift ? 0 : KEYEVENTF_KEYUP));
            shiftDown = needShift;
        }
        const WORD vk = LOBYTE(scan);
        inputs.push_back(KeyInput(vk, 0, 0));
        inputs.push_back(KeyInput(vk, 0, KEYEVENTF_KEYUP));
    }
    if (shiftDown) inputs.push_back(KeyInput(VK_SHIFT, 0, KEYEVENTF_KEYUP));
    if (inputs.empty()) return 0;
    return ::SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT));
}

std::wstring PaletteToken(int id) {
    switch (id) {
        case IDC_TOKEN_LEFT:
            return L"\\L";
        case IDC_TOKEN_CENTRE:
            return L"\\C";
        case IDC_TOKEN_RIGHT:
            return L"\\R";
        case IDC_TOKEN_DATE:
            return L"$date";
        case IDC_TOKEN_TIME:
            return L"$time";
        case IDC_TOKEN_COMPUTER:
            return L"$computer";
        case IDC_TOKEN_USER:
            return L"$user";
        case IDC_TOKEN_PROGRAM:
            return L"$program";
        case IDC_TOKEN_WINDOW:
            return L"$window";
        case IDC_TOKEN_PAGE:
            return L"$page";
        case IDC_TOKEN_MAXPAGE:
            return L"$maxpage";
        case IDC_TOKEN_SEPARATOR:
            return L"|";
        case IDC_TOKEN_ENTER:
            return L"\r";
    }
    return {};
}

// ---- CSilentButton ----

bool CSilentButton::Attach(HWND button) {
    hwnd_ = button;
    return SubclassControl(button, GetMessageMap());
}

const tamrik::MessageMap<CSilentButton>& CSilentButton::GetMessageMap() {
    static const tamrik::MessageMap<CSilentButton> map{
        {WM_LBUTTONDOWN, &CSilentButton::OnButtonDown},
        {WM_LBUTTONDBLCLK, &CSilentButton::OnButtonDown},
        {WM_MOUSEMOVE, &CSilentButton::OnMouseMove},
        {WM_LBUTTONUP, &CSilentButton::OnButtonUp},
        {WM_CAPTURECHANGED, &CSilentButton::OnCaptureChanged},
    };
    return map;
}

bool CSilentButton::Inside(LPARAM point) const {
    RECT r{};
    ::GetClientRect(hwnd_, &r);
    const POINT p{GET_X_LPARAM(point), GET_Y_LPARAM(point)};
    return ::PtInRect(&r, p) != FALSE;
}

LRESULT CSilentButton::OnButtonDown(WPARAM, LPARAM) {
    // No SetFocus: the window that has the focus keeps it.
    tracking_ = true;
    ::SetCapture(hwnd_);
    ::SendMessageW(hwnd_, BM_SETSTATE, TRUE, 0);
    return 0;
}

LRESULT CSilentButton::OnMouseMove(WPARAM, LPARAM lParam) {
    if (tracking_) ::SendMessageW(hwnd_, BM_SETSTATE, Inside(lParam) ? TRUE : FALSE, 0);
    return 0;
}

LRESULT CSilentButton::OnButtonUp(WPARAM, LPARAM lParam) {
    if (!tracking_) return 0;
    const bool clicked = Inside(lParam);
    tracking_ = false;
    ::ReleaseCapture();
    ::SendMessageW(hwnd_, BM_SETSTATE, FALSE, 0);
    if (clicked)
        ::SendMessageW(::GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(hwnd_), BN_CLICKED),
                       LPARAM(hwnd_));
    return 0;
}

LRESULT CSilentButton::OnCaptureChanged(WPARAM, LPARAM) {
    if (tracking_) {
        tracking_ = false;
        ::SendMessageW(hwnd_, BM_SETSTATE, FALSE, 0);
    }
    return 0;
}

// ---- CToolDlg ----

CToolDlg::CToolDlg() : CDialogImpl(IDD_TOOL_PALETTE) {}

const tamrik::MessageMap<CToolDlg>& CToolDlg::GetMessageMap() {
    static const tamrik::MessageMap<CToolDlg> map{
        {WM_INITDIALOG, &CToolDlg::OnInitDialog},
        {WM_MOUSEACTIVATE, &CToolDlg::OnMouseActivate},
        {WM_ACTIVATE, &CToolDlg::OnActivate},
        {WM_WINDOWPOSCHANGED, &CToolDlg::OnWindowPosChanged},
        {WM_NCHITTEST, &CToolDlg::OnNcHitTest},
        {WM_TIMER, &CToolDlg::OnTimer},
        {tamrik::Commands(IDC_TOKEN_DATE, IDC_TOKEN_RIGHT), &CToolDlg::OnToken},
    };
    return map;
}

bool CToolDlg::CreatePalette(HWND owner) {
    HWND top = owner ? ::GetAncestor(owner, GA_ROOT) : nullptr;
    return Create(top) != nullptr;
}

LRESULT CToolDlg::OnInitDialog(WPARAM, LPARAM) {
    for (int id = IDC_TOKEN_DATE; id <= IDC_TOKEN_RIGHT; ++id) {
        HWND button = Item(id);
        if (!button) continue;
        buttons_.push_back(std::make_unique<CSilentButton>());
        buttons_.back()->Attach(button);
    }
    return FALSE;  // no focus for the palette
}

void CToolDlg::PlaceBeside(HWND sheet) {
    if (!hwnd_ || !sheet) return;
    RECT sheetRect{}, self{};
    ::GetWindowRect(sheet, &sheetRect);
    ::GetWindowRect(hwnd_, &self);
    const int width = self.right - self.left;
    const int screenRight = ::GetSystemMetrics(SM_XVIRTUALSCREEN) + ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    int x = sheetRect.right;
    if (x + width > screenRight) x = sheetRect.left - width;
    ::SetWindowPos(hwnd_, nullptr, x, sheetRect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CToolDlg::Show() {
    if (hwnd_)
        ::SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void CToolDlg::Hide() {
    if (hwnd_) ::ShowWindow(hwnd_, SW_HIDE);
}

LRESULT CToolDlg::OnMouseActivate(WPARAM, LPARAM) {
    return MA_NOACTIVATE;  // the click still reaches the control under the cursor
}

LRESULT CToolDlg::OnActivate(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) != WA_INACTIVE) previousActive_ = reinterpret_cast<HWND>(lParam);
    return 0;
}

LRESULT CToolDlg::OnWindowPosChanged(WPARAM, LPARAM lParam) {
    const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
    const bool moved = !(pos->flags & SWP_NOMOVE);
    if (moved && ::GetActiveWindow() == hwnd_) {
        HWND back =
            previousActive_ && ::IsWindow(previousActive_) ? previousActive_ : ::GetWindow(hwnd_, GW_OWNER);
        if (back) ::SetActiveWindow(back);
    }
    return 0;
}

LRESULT CToolDlg::OnNcHitTest(WPARAM, LPARAM lParam) {
    // The background moves the palette; the buttons are hit as usual.
    POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ::ScreenToClient(hwnd_, &p);
    HWND child = ::ChildWindowFromPointEx(hwnd_, p, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
    return child && child != hwnd_ ? HTCLIENT : HTCAPTION;
}

LRESULT CToolDlg::OnToken(WORD code, WORD id, HWND control) {
    if (code != BN_CLICKED) return 0;
    const std::wstring token = PaletteToken(id);
    if (token.empty()) return 0;
    if (inserting_) {
        TypeText(token);
        return 0;
    }
    inserting_ = true;
    CloseInputContexts(control ? control : hwnd_);
    TypeText(token);
    ::SetTimer(hwnd_, kReopenTimer, kReopenDelayMs, nullptr);
    return 0;
}

LRESULT CToolDlg::OnTimer(WPARAM wParam, LPARAM) {
    if (wParam != kReopenTimer) return 0;
    ::KillTimer(hwnd_, kReopenTimer);
    ReopenInputContexts();
    inserting_ = false;
    return 0;
}

namespace {

struct ContextWalk {
    std::set<HIMC> seen;
    std::vector<HWND>* closed;
};

void CloseContextOf(HWND window, ContextWalk& walk) {
    HIMC context = ::ImmGetContext(window);
    if (!context) return;
    if (walk.seen.insert(context).second && ::ImmGetOpenStatus(context)) {
        ::ImmNotifyIME(context, NI_COMPOSITIONSTR, CPS_COMPLETE, 0);
        ::ImmSetOpenStatus(context, FALSE);
        walk.closed->push_back(window);
    }
    ::ImmReleaseContext(window, context);
}

BOOL CALLBACK CloseChildContext(HWND window, LPARAM walk) {
    CloseContextOf(window, *reinterpret_cast<ContextWalk*>(walk));
    return TRUE;
}

BOOL CALLBACK CloseTopLevelContext(HWND window, LPARAM walk) {
    CloseContextOf(window, *reinterpret_cast<ContextWalk*>(walk));
    ::EnumChildWindows(window, &CloseChildContext, walk);
    return TRUE;
}

}  // namespace

void CToolDlg::CloseInputContexts(HWND window) {
    closedContexts_.clear();
    ContextWalk walk{{}, &closedContexts_};
    const DWORD thread = ::GetWindowThreadProcessId(window, nullptr);
    ::EnumThreadWindows(thread, &CloseTopLevelContext, LPARAM(&walk));
}

void CToolDlg::ReopenInputContexts() {
    for (HWND window : closedContexts_) {
        if (!::IsWindow(window)) continue;
        if (HIMC context = ::ImmGetContext(window)) {
            ::ImmSetOpenStatus(context, TRUE);
            ::ImmReleaseContext(window, context);
        }
    }
    closedContexts_.clear();
}

}  // namespace orbilux
