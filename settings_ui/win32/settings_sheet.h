// The program's settings sheet and the one call that runs it.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <functional>
#include <vector>

#include "capture/monitor_list.h"
#include "settings/settings.h"
#include "settings/settings_storage.h"
#include "settings_ui/win32/option_pages.h"
#include "settings_ui/win32/option_sheet.h"

namespace orbilux {

class CCSNOptionSheet;

// What the sheet needs from the rest of the program. Empty members fall back
// to what is said beside them.
struct OptionSheetServices {
    // The printer dialog for the group; true when the user confirmed it. Empty: no dialog.
    std::function<bool(HWND owner, PrinterSettings& printer)> choosePrinter;
    // The page set-up dialog for the group; true when the user confirmed it. Empty: no dialog.
    std::function<bool(HWND owner, PrinterSettings& printer)> pageSetup;
    // Opens the system default printer for the group (name and device mode). Empty: nothing.
    std::function<void(PrinterSettings& printer)> openDefaultPrinter;
    // The monitors in monitor-list order. Empty: the system's monitors.
    std::function<std::vector<CMonitor>()> monitors;
    // The font dialog; true when the user chose a font. Empty: the platform's.
    std::function<bool(CHOOSEFONTW& choose)> chooseFont;
    // Called once the sheet is up (tests drive it from here).
    std::function<void(CCSNOptionSheet& sheet)> onShown;
    // Called after OK when the record could not be saved. Empty: nothing.
    std::function<void()> saveFailed;
    // Whether the program starts at sign-in. Empty: the current user's Run key.
    std::function<bool()> startsAtSignIn;
    // Makes it start at sign-in or not; false when that failed. Empty: the Run key.
    std::function<bool(bool start)> setStartAtSignIn;
};

// The system's monitors in monitor-list order.
std::vector<CMonitor> SystemMonitors();

class CCSNOptionSheet : public COptionSheetSettings<ORBILUXSetting> {
public:
    static constexpr UINT kShownMessage = WM_APP + 0x51;

    explicit CCSNOptionSheet(OptionSheetServices services = {});
    ~CCSNOptionSheet() override;

    const OptionSheetServices& Services() const { return services_; }
    std::vector<CMonitor> Monitors() const;

    CSettingsMonitorOptionPage& MonitorPage() { return monitorPage_; }
    CSettingsKeyOptionPage& KeyPage() { return keyPage_; }
    CSettingsLayoutOptionPage& LayoutPage() { return layoutPage_; }
    CSettingsFormatOptionPage& FormatPage() { return formatPage_; }
    CSettingsPictureOptionPage& PicturePage() { return picturePage_; }
    CSettingsSimpleOptionPage& SimplePage() { return simplePage_; }
    CSettingsExtrasOptionPage& ExtrasPage() { return extrasPage_; }

    // Start at sign-in as the sheet shows it: what the system said when the
    // sheet opened until a page changes it; written back by OK and Apply when
    // it differs from what the system has.
    bool StartAtSignIn() const { return signInShown_; }
    void SetStartAtSignIn(bool start) { signInShown_ = start; }

protected:
    bool DoInit(bool first) override;
    bool StoreWorkingCopy() override;
    bool ProcessWindowMessage(const tamrik::WindowMessage& message, LRESULT& result) override;

private:
    OptionSheetServices services_;
    tamrik::UniqueIcon icon_;
    CSettingsMonitorOptionPage monitorPage_;
    CSettingsKeyOptionPage keyPage_;
    CSettingsLayoutOptionPage layoutPage_;
    CSettingsFormatOptionPage formatPage_;
    CSettingsPictureOptionPage picturePage_;
    CSettingsSimpleOptionPage simplePage_;
    CSettingsExtrasOptionPage extrasPage_;
    bool signInStored_ = false;  // what the system has
    bool signInShown_ = false;
};

// Runs the settings sheet modally, owned by `owner`, titled "設定" with OK and
// Cancel, on a working copy of `live`: the easy page when live.simpleMode is
// set, the six detail pages otherwise. OK copies the working copy into `live`
// and saves it to `storage` (section "ORBILUXSettings"), once every page has
// accepted its values; a failed save calls services.saveFailed. Cancel changes
// nothing. Returns true when the sheet was closed with OK.
bool RunOptionSheet(HWND owner, ORBILUXSetting& live, CSettingsStorage& storage,
                    const OptionSheetServices& services = {});

}  // namespace orbilux
