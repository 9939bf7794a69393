#include "settings_ui/win32/settings_sheet.h"

#include "capture/win32/gdi_capture.h"
#include "resources/resource.h"
#include "resources/settings_ui_resource.h"
#include "settings/win32/sign_in_start.h"
#include "window/helpers.h"
#include "window/message_loop.h"

namespace orbilux {

std::vector<CMonitor> SystemMonitors() {
    return CurrentMonitorList();
}

CCSNOptionSheet::CCSNOptionSheet(OptionSheetServices services) : services_(std::move(services)) {}

CCSNOptionSheet::~CCSNOptionSheet() {
    if (IsWindow()) DestroyWindow();
}

std::vector<CMonitor> CCSNOptionSheet::Monitors() const {
    return services_.monitors ? services_.monitors() : SystemMonitors();
}

bool CCSNOptionSheet::DoInit(bool first) {
    icon_.Reset(static_cast<HICON>(::LoadImageW(tamrik::ResourceInstance(), MAKEINTRESOURCEW(IDI_SETTINGS),
                                                IMAGE_ICON, ::GetSystemMetrics(SM_CXICON),
                                                ::GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR)));
    if (icon_) ::SendMessageW(Handle(), WM_SETICON, ICON_BIG, LPARAM(icon_.Get()));

    signInStored_ = services_.startsAtSignIn ? services_.startsAtSignIn() : orbilux::StartsAtSignIn();
    signInShown_ = signInStored_;
    COptionPage* pages[] = {&monitorPage_, &keyPage_,    &layoutPage_, &formatPage_,
                            &picturePage_, &simplePage_, &extrasPage_};
    for (COptionPage* page : pages) {
        if (!page->CreatePage(*this)) return false;
        pages_.push_back(page);
    }
    ORBILUXSetting& w = Working();
    if (w.simpleMode) {
        AddItem(std::make_unique<COptionItemSettings>(L"", &simplePage_, &w));
    } else {
        AddItem(std::make_unique<COptionItemSettings>(L"", &monitorPage_, &w.general_));
        AddItem(std::make_unique<COptionItemSettings>(L"", &keyPage_, &w.key_));
        AddItem(std::make_unique<COptionItemSettings>(L"", &layoutPage_, &w.printer_));
        AddItem(std::make_unique<COptionItemSettings>(L"", &formatPage_, &w.format_));
        AddItem(std::make_unique<COptionItemSettings>(L"", &picturePage_, &w.output_));
        AddItem(std::make_unique<COptionItemSettings>(L"", &extrasPage_, &w.extras_));
    }
    if (!COptionSheet::DoInit(first)) return false;
    if (services_.onShown) ::PostMessageW(Handle(), kShownMessage, 0, 0);
    return true;
}

bool CCSNOptionSheet::StoreWorkingCopy() {
    const bool stored = COptionSheetSettings::StoreWorkingCopy();
    if (signInShown_ != signInStored_) {
        const bool changed = services_.setStartAtSignIn ? services_.setStartAtSignIn(signInShown_)
                                                        : orbilux::SetStartAtSignIn(signInShown_);
        if (changed) {
            signInStored_ = signInShown_;
        } else {
            ::MessageBoxW(Handle(), tamrik::ResourceString(IDS_SIGN_IN_NOT_SAVED).c_str(), L"Tamrik",
                          MB_OK | MB_ICONWARNING);
        }
    }
    return stored;
}

bool CCSNOptionSheet::ProcessWindowMessage(const tamrik::WindowMessage& message, LRESULT& result) {
    if (message.message == kShownMessage) {
        if (services_.onShown) services_.onShown(*this);
        result = 0;
        return true;
    }
    return COptionSheet::ProcessWindowMessage(message, result);
}

bool RunOptionSheet(HWND owner, ORBILUXSetting& live, CSettingsStorage& storage,
                    const OptionSheetServices& services) {
    CCSNOptionSheet sheet(services);
    sheet.SetTitle(tamrik::ResourceString(IDS_SHEET_TITLE));
    sheet.SetStyleFlags(sheet.StyleFlags() & ~COptionSheet::kButtonApply);
    sheet.SetTarget(&live, &storage);
    sheet.Working() = live;
    const bool ok = sheet.DoModal(owner) == IDOK;
    if (ok && sheet.SaveFailed() && services.saveFailed) services.saveFailed();
    return ok;
}

}  // namespace orbilux
