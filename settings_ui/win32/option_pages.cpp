// The basic, key and print settings pages, and helpers shared by all pages.
#include "settings_ui/win32/option_pages.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>

#include "print/win32/print_job.h"
#include "resources/settings_ui_resource.h"
#include "settings_ui/option_logic.h"
#include "settings_ui/win32/settings_sheet.h"
#include "window/ddx.h"
#include "window/helpers.h"

namespace orbilux {

void ForegroundDesktopThenSheet(HWND sheet) {
    ::SetForegroundWindow(::GetDesktopWindow());
    if (sheet) ::SetForegroundWindow(sheet);
}

std::wstring FormatStringTable(UINT id, unsigned first, unsigned second) {
    const std::wstring pattern = tamrik::ResourceString(id);
    std::wstring text;
    const unsigned values[] = {first, second};
    size_t used = 0;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern.compare(i, 2, L"%u") == 0 && used < 2) {
            text += std::to_wstring(values[used++]);
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return text;
}

void RefuseControl(COptionPage& page, int id, const std::wstring& why) {
    if (page.Sheet() && page.Sheet()->Cancelling()) return;
    ::MessageBoxW(page.Handle(), why.c_str(), page.GetText().c_str(), MB_OK | MB_ICONWARNING);
    HWND control = page.Item(id);
    if (!control) return;
    ::SetFocus(control);
    ::SendMessageW(control, EM_SETSEL, 0, -1);
}

void RefuseNumber(COptionPage& page, int id, unsigned low, unsigned high) {
    RefuseControl(page, id, FormatStringTable(IDS_NUMBER_RANGE, low, high));
}

std::vector<std::wstring> StringTableItems(UINT id) {
    const std::wstring text = tamrik::ResourceString(id);
    if (text.empty()) return {};
    return SplitListItems(text);
}

namespace {

CCSNOptionSheet& SheetOf(COptionPage& page) {
    return *static_cast<CCSNOptionSheet*>(page.Sheet());
}

}  // namespace

// ---- Basic settings ----

CSettingsMonitorOptionPage::CSettingsMonitorOptionPage() : COptionPageSettingsImpl(IDD_PAGE_MONITOR) {}

const tamrik::MessageMap<CSettingsMonitorOptionPage>& CSettingsMonitorOptionPage::GetMessageMap() {
    using Page = CSettingsMonitorOptionPage;
    static const tamrik::MessageMap<Page> map{
        {WM_INITDIALOG, &Page::OnInitDialog},
        {WM_DRAWITEM, &Page::OnDrawItem},
        {tamrik::Command(IDC_MONITOR_SELECT_ALL), &Page::OnSelectAll},
        {tamrik::Command(IDC_TARGET_DESKTOP), &Page::OnTarget},
        {tamrik::Command(IDC_TARGET_MONITOR), &Page::OnTarget},
        {tamrik::Command(IDC_TARGET_ACTIVE), &Page::OnTarget},
        {tamrik::Commands(IDC_MONITOR_TILE_FIRST, IDC_MONITOR_TILE_FIRST + kMaxMonitorTiles - 1),
         &Page::OnTile},
    };
    return map;
}

LRESULT CSettingsMonitorOptionPage::OnInitDialog(WPARAM, LPARAM) {
    BuildTiles();
    return FALSE;
}

void CSettingsMonitorOptionPage::BuildTiles() {
    HWND frame = Item(IDC_MONITOR_FRAME);
    RECT frameRect{};
    ::GetWindowRect(frame, &frameRect);
    ::MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&frameRect), 2);

    std::vector<MonitorRect> rects;
    for (const CMonitor& monitor : SheetOf(*this).Monitors()) rects.push_back(monitor.rect);
    const std::vector<TileRect> layout =
        LayoutMonitorTiles(rects, frameRect.right - frameRect.left, frameRect.bottom - frameRect.top);

    // Tiles left over from a larger monitor count go.
    while (tiles_.size() > layout.size()) {
        ::DestroyWindow(tiles_.back());
        tiles_.pop_back();
    }
    checked_.assign(layout.size(), true);
    int fontHeight = 0;
    for (const TileRect& t : layout) fontHeight = std::max(fontHeight, int((t.bottom - t.top) * 4 / 5));
    // One font for every tile, 80 % of the tallest tile.
    tileFont_.Reset(::CreateFontW(-std::max(fontHeight, 8), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                                  DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                  DEFAULT_PITCH, L"MS UI Gothic"));
    for (size_t i = 0; i < layout.size(); ++i) {
        const TileRect& t = layout[i];
        const int x = frameRect.left + t.left, y = frameRect.top + t.top;
        const int w = t.right - t.left, h = t.bottom - t.top;
        if (i == tiles_.size()) {
            HWND tile = ::CreateWindowExW(0, L"BUTTON", std::to_wstring(i + 1).c_str(),
                                          WS_CHILD | BS_OWNERDRAW | WS_TABSTOP, x, y, w, h, hwnd_,
                                          reinterpret_cast<HMENU>(INT_PTR(IDC_MONITOR_TILE_FIRST + i)),
                                          tamrik::ResourceInstance(), nullptr);
            tiles_.push_back(tile);
        } else {
            ::MoveWindow(tiles_[i], x, y, w, h, TRUE);
        }
        ::SendMessageW(tiles_[i], WM_SETFONT, WPARAM(tileFont_.Get()), TRUE);
    }
}

void CSettingsMonitorOptionPage::SetTileChecked(size_t index, bool checked) {
    if (index >= checked_.size()) return;
    checked_[index] = checked;
    ::InvalidateRect(tiles_[index], nullptr, TRUE);
}

LRESULT CSettingsMonitorOptionPage::OnDrawItem(WPARAM, LPARAM lParam) {
    const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    const int index = int(draw->CtlID) - IDC_MONITOR_TILE_FIRST;
    if (index < 0 || size_t(index) >= tiles_.size()) return FALSE;
    // A set tile is a captured monitor: blue with a white number; a cleared one is grey.
    const bool on = checked_[size_t(index)];
    RECT r = draw->rcItem;
    tamrik::UniqueBrush fill(::CreateSolidBrush(on ? RGB(0, 90, 200) : RGB(200, 200, 200)));
    ::FillRect(draw->hDC, &r, fill.Get());
    ::DrawEdge(draw->hDC, &r, (draw->itemState & ODS_SELECTED) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    tamrik::SelectObjectScope font(draw->hDC, tileFont_.Get());
    ::SetBkMode(draw->hDC, TRANSPARENT);
    ::SetTextColor(draw->hDC, on ? RGB(255, 255, 255) : RGB(110, 110, 110));
    const std::wstring number = std::to_wstring(index + 1);
    ::DrawTextW(draw->hDC, number.c_str(), int(number.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (draw->itemState & ODS_FOCUS) {
        ::InflateRect(&r, -3, -3);
        ::DrawFocusRect(draw->hDC, &r);
    }
    return TRUE;
}

void CSettingsMonitorOptionPage::ShowTiles(bool show) {
    for (HWND tile : tiles_) ::ShowWindow(tile, show ? SW_SHOW : SW_HIDE);
    ::ShowWindow(Item(IDC_MONITOR_SELECT_ALL), show ? SW_SHOW : SW_HIDE);
    ::ShowWindow(Item(IDC_MONITOR_BOX), show ? SW_SHOW : SW_HIDE);
}

bool CSettingsMonitorOptionPage::LoadControls() {
    tamrik::CDataExchange dx(hwnd_, false);
    dx.Check(IDC_SHOW_SPLASH, settings_->bDisplaySplash_);
    int target = settings_->screenTarget;
    dx.Radio(IDC_TARGET_DESKTOP, 3, target);
    std::sort(settings_->disabledMonitors_.begin(), settings_->disabledMonitors_.end());
    const std::vector<bool> checked = TilesFromDisabledMonitors(settings_->disabledMonitors_, tiles_.size());
    for (size_t i = 0; i < tiles_.size(); ++i)
        if (!checked[i]) SetTileChecked(i, false);
    ShowTiles(settings_->screenTarget == kTargetMonitors);
    return true;
}

bool CSettingsMonitorOptionPage::SaveControls() {
    tamrik::CDataExchange dx(hwnd_, true);
    dx.Check(IDC_SHOW_SPLASH, settings_->bDisplaySplash_);
    int target = -1;
    dx.Radio(IDC_TARGET_DESKTOP, 3, target);
    settings_->screenTarget = target;
    settings_->disabledMonitors_ = DisabledMonitorsFromTiles(checked_);
    const bool anyChecked = std::find(checked_.begin(), checked_.end(), true) != checked_.end();
    if (anyChecked || settings_->screenTarget != kTargetMonitors) return true;

    CCSNOptionSheet& sheet = SheetOf(*this);
    if (::GetFocus() != sheet.Item(IDCANCEL))
        ::MessageBoxW(hwnd_, tamrik::ResourceString(IDS_NO_MONITOR).c_str(),
                      tamrik::ResourceString(IDS_NO_MONITOR_CAPTION).c_str(), MB_OK | MB_ICONWARNING);
    if (sheet.Live()) settings_->disabledMonitors_ = sheet.Live()->general_.disabledMonitors_;
    return false;
}

LRESULT CSettingsMonitorOptionPage::OnTile(WORD code, WORD id, HWND) {
    if (code == BN_CLICKED) {
        const size_t index = size_t(id - IDC_MONITOR_TILE_FIRST);
        if (index < checked_.size()) SetTileChecked(index, !checked_[index]);
    }
    return 0;
}

LRESULT CSettingsMonitorOptionPage::OnSelectAll(WORD code, WORD, HWND) {
    if (code == BN_CLICKED)
        for (size_t i = 0; i < checked_.size(); ++i) SetTileChecked(i, true);
    return 0;
}

LRESULT CSettingsMonitorOptionPage::OnTarget(WORD code, WORD, HWND) {
    if (code == BN_CLICKED) ShowTiles(::IsDlgButtonChecked(hwnd_, IDC_TARGET_MONITOR) == BST_CHECKED);
    return 0;
}

// ---- Key settings ----

CSettingsKeyOptionPage::CSettingsKeyOptionPage() : COptionPageSettingsImpl(IDD_PAGE_KEY) {}

const tamrik::MessageMap<CSettingsKeyOptionPage>& CSettingsKeyOptionPage::GetMessageMap() {
    using Page = CSettingsKeyOptionPage;
    static const tamrik::MessageMap<Page> map{
        {tamrik::Command(IDC_KEY_STANDARD), &Page::OnKeyKind},
        {tamrik::Command(IDC_KEY_USER), &Page::OnKeyKind},
    };
    return map;
}

bool CSettingsKeyOptionPage::LoadControls() {
    tamrik::CDataExchange dx(hwnd_, false);
    int action = settings_->keyAction, kind = settings_->keyKind, log = settings_->logType;
    dx.Radio(IDC_ACTION_PRINT, 3, action);
    dx.Radio(IDC_KEY_STANDARD, 2, kind);
    dx.Radio(IDC_LOG_NONE, 3, log);
    const WORD hotkey = MAKEWORD(BYTE(settings_->printVirtualKeyCode_),
                                 BYTE(HotkeyFieldFromModifiers(settings_->printmodifiers)));
    ::SendDlgItemMessageW(hwnd_, IDC_KEY_HOTKEY, HKM_SETHOTKEY, hotkey, 0);
    ::ShowWindow(Item(IDC_KEY_HOTKEY), settings_->keyKind == kKeyChosen ? SW_SHOW : SW_HIDE);
    return true;
}

bool CSettingsKeyOptionPage::SaveControls() {
    tamrik::CDataExchange dx(hwnd_, true);
    int action = -1, kind = -1, log = -1;
    dx.Radio(IDC_ACTION_PRINT, 3, action);
    dx.Radio(IDC_KEY_STANDARD, 2, kind);
    dx.Radio(IDC_LOG_NONE, 3, log);
    settings_->keyAction = action;
    settings_->keyKind = kind;
    settings_->logType = log;
    if (kind == 0) {
        settings_->printVirtualKeyCode_ = kPrintScreenKey;
        settings_->printmodifiers = 0;
    } else if (kind == 1) {
        const WORD hotkey = WORD(::SendDlgItemMessageW(hwnd_, IDC_KEY_HOTKEY, HKM_GETHOTKEY, 0, 0));
        if (LOBYTE(hotkey) != 0) {  // no key in the field keeps the previous one
            settings_->printVirtualKeyCode_ = LOBYTE(hotkey);
            settings_->printmodifiers = ModifiersFromHotkeyField(HIBYTE(hotkey));
        }
    }
    return true;
}

LRESULT CSettingsKeyOptionPage::OnKeyKind(WORD code, WORD, HWND) {
    if (code != BN_CLICKED) return 0;
    const bool user = ::IsDlgButtonChecked(hwnd_, IDC_KEY_USER) == BST_CHECKED;
    if (user) ::SendDlgItemMessageW(hwnd_, IDC_KEY_HOTKEY, HKM_SETHOTKEY, MAKEWORD(kPrintScreenKey, 0), 0);
    ::ShowWindow(Item(IDC_KEY_HOTKEY), user ? SW_SHOW : SW_HIDE);
    return 0;
}

// ---- Print settings ----

CSettingsLayoutOptionPage::CSettingsLayoutOptionPage() : COptionPageSettingsImpl(IDD_PAGE_LAYOUT) {}

const tamrik::MessageMap<CSettingsLayoutOptionPage>& CSettingsLayoutOptionPage::GetMessageMap() {
    using Page = CSettingsLayoutOptionPage;
    static const tamrik::MessageMap<Page> map{
        {tamrik::Command(IDC_PRINTER_BUTTON), &Page::OnPrinter},
        {tamrik::Command(IDC_PAGE_SETUP_BUTTON), &Page::OnPageSetup},
    };
    return map;
}

bool CSettingsLayoutOptionPage::LoadControls() {
    ::SetDlgItemInt(hwnd_, IDC_LINE_HEIGHT_HEAD, UINT(settings_->lineHeightHead), FALSE);
    ::SetDlgItemInt(hwnd_, IDC_MARGIN_HEAD, UINT(settings_->marginHead), FALSE);
    ::SetDlgItemInt(hwnd_, IDC_LINE_HEIGHT_FOOT, UINT(settings_->lineHeightFoot), FALSE);
    ::SetDlgItemInt(hwnd_, IDC_MARGIN_FOOT, UINT(settings_->marginFoot), FALSE);
    ::SetDlgItemTextW(hwnd_, IDC_PRINTER_NAME, settings_->printername_.c_str());
    tamrik::CDataExchange dx(hwnd_, false);
    int align = settings_->pictureVerticalAlign;
    dx.Radio(IDC_ALIGN_TOP, 2, align);
    return true;
}

bool CSettingsLayoutOptionPage::SaveControls() {
    tamrik::CDataExchange dx(hwnd_, true);
    const std::pair<int, int32_t*> numbers[] = {{IDC_MARGIN_HEAD, &settings_->marginHead},
                                                {IDC_LINE_HEIGHT_HEAD, &settings_->lineHeightHead},
                                                {IDC_MARGIN_FOOT, &settings_->marginFoot},
                                                {IDC_LINE_HEIGHT_FOOT, &settings_->lineHeightFoot}};
    for (const auto& [id, field] : numbers) {
        BOOL ok = FALSE;
        const UINT value = ::GetDlgItemInt(hwnd_, id, &ok, FALSE);
        // Distances beyond any page are refused, not stored.
        if (!ok || !IsAcceptedBandDistance(value)) {
            RefuseNumber(*this, id, 0, kMaxBandDistanceMm);
            return false;
        }
        *field = int32_t(value);
    }
    int align = -1;
    dx.Radio(IDC_ALIGN_TOP, 2, align);
    settings_->pictureVerticalAlign = align;
    return CheckPageRoom();
}

// Values that leave the page no body are refused like a bad number; values
// that leave no line for the Text pages are taken after a warning (once for
// the same values).
bool CSettingsLayoutOptionPage::CheckPageRoom() {
    CCSNOptionSheet& sheet = SheetOf(*this);
    ORBILUXSetting trial = sheet.Working();
    trial.printer_ = *settings_;
    const PageRoom room = RoomForSettings(trial);
    const bool cancelling = ::GetFocus() == sheet.Item(IDCANCEL);
    auto say = [this](UINT id, UINT icon) {
        ::MessageBoxW(hwnd_, tamrik::ResourceString(id).c_str(), L"Tamrik", MB_OK | icon);
    };
    if (!room.body) {
        if (cancelling) return false;
        // The focus goes to the largest of the four distances.
        const std::pair<int, int32_t> fields[] = {{IDC_MARGIN_HEAD, settings_->marginHead},
                                                  {IDC_LINE_HEIGHT_HEAD, settings_->lineHeightHead},
                                                  {IDC_MARGIN_FOOT, settings_->marginFoot},
                                                  {IDC_LINE_HEIGHT_FOOT, settings_->lineHeightFoot}};
        const auto largest =
            std::max_element(std::begin(fields), std::end(fields),
                             [](const auto& a, const auto& b) { return a.second < b.second; });
        tamrik::CDataExchange(hwnd_, true).Fail(largest->first);
        say(IDS_LAYOUT_NO_BODY, MB_ICONWARNING);
        return false;
    }
    const std::vector<int32_t> values{trial.printer_.rtMargin.left,  trial.printer_.rtMargin.top,
                                      trial.printer_.rtMargin.right, trial.printer_.rtMargin.bottom,
                                      settings_->marginHead,         settings_->lineHeightHead,
                                      settings_->marginFoot,         settings_->lineHeightFoot};
    if (!room.text && !cancelling && values != warnedFor_) {
        warnedFor_ = values;
        say(IDS_LAYOUT_NO_TEXT_ROOM, MB_ICONINFORMATION);
    }
    return true;
}

LRESULT CSettingsLayoutOptionPage::OnPrinter(WORD code, WORD, HWND) {
    if (code != BN_CLICKED || !settings_) return 0;
    CCSNOptionSheet& sheet = SheetOf(*this);
    OnApply(nullptr);
    ::SetForegroundWindow(::GetDesktopWindow());
    if (sheet.Services().choosePrinter) sheet.Services().choosePrinter(sheet.Handle(), *settings_);
    ForegroundDesktopThenSheet(sheet.Handle());
    LoadControls();
    return 0;
}

LRESULT CSettingsLayoutOptionPage::OnPageSetup(WORD code, WORD, HWND) {
    if (code != BN_CLICKED || !settings_) return 0;
    CCSNOptionSheet& sheet = SheetOf(*this);
    OnApply(nullptr);
    ::SetForegroundWindow(::GetDesktopWindow());
    if (sheet.Services().pageSetup) sheet.Services().pageSetup(sheet.Handle(), *settings_);
    ForegroundDesktopThenSheet(sheet.Handle());
    LoadControls();
    return 0;
}

}  // namespace orbilux
