// The other settings page.
#include <windows.h>
#include <commctrl.h>

#include "resources/settings_ui_resource.h"
#include "settings_ui/option_logic.h"
#include "settings_ui/win32/option_pages.h"
#include "settings_ui/win32/settings_sheet.h"
#include "window/ddx.h"

namespace orbilux {

CSettingsExtrasOptionPage::CSettingsExtrasOptionPage() : COptionPageSettingsImpl(IDD_PAGE_EXTRAS) {}

const tamrik::MessageMap<CSettingsExtrasOptionPage>& CSettingsExtrasOptionPage::GetMessageMap() {
    using Page = CSettingsExtrasOptionPage;
    static const tamrik::MessageMap<Page> map{
        {WM_INITDIALOG, &Page::OnInitDialog},
    };
    return map;
}

LRESULT CSettingsExtrasOptionPage::OnInitDialog(WPARAM, LPARAM) {
    ::SendDlgItemMessageW(hwnd_, IDC_EXTRAS_DELAY, EM_LIMITTEXT, 4, 0);
    ::SendDlgItemMessageW(hwnd_, IDC_EXTRAS_DELAY_SPIN, UDM_SETRANGE32, 0, ExtrasSettings::kMaxCaptureDelay);
    return FALSE;
}

bool CSettingsExtrasOptionPage::LoadControls() {
    tamrik::CDataExchange dx(hwnd_, false);
    dx.Check(IDC_EXTRAS_CLIPBOARD, settings_->copyToClipboard);
    dx.Check(IDC_EXTRAS_POINTER, settings_->drawPointer);
    dx.Check(IDC_EXTRAS_NOTIFY, settings_->notifyAfterSave);
    bool signIn = static_cast<CCSNOptionSheet*>(Sheet())->StartAtSignIn();
    dx.Check(IDC_EXTRAS_SIGN_IN, signIn);
    ::SetDlgItemInt(hwnd_, IDC_EXTRAS_DELAY, settings_->captureDelay, FALSE);
    return true;
}

bool CSettingsExtrasOptionPage::SaveControls() {
    tamrik::CDataExchange dx(hwnd_, true);
    std::wstring text;
    dx.Text(IDC_EXTRAS_DELAY, text);
    uint32_t delay = 0;
    if (!ParseCaptureDelayField(text, delay)) {
        RefuseNumber(*this, IDC_EXTRAS_DELAY, 0, ExtrasSettings::kMaxCaptureDelay);
        return false;
    }
    settings_->captureDelay = delay;
    dx.Check(IDC_EXTRAS_CLIPBOARD, settings_->copyToClipboard);
    dx.Check(IDC_EXTRAS_POINTER, settings_->drawPointer);
    dx.Check(IDC_EXTRAS_NOTIFY, settings_->notifyAfterSave);
    bool signIn = false;
    dx.Check(IDC_EXTRAS_SIGN_IN, signIn);
    static_cast<CCSNOptionSheet*>(Sheet())->SetStartAtSignIn(signIn);
    return true;
}

}  // namespace orbilux
