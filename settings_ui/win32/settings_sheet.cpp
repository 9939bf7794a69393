#include "settings_ui/win32/settings_sheet.h"

#include "resources/resource.h"
#include "window/message_loop.h"

namespace orbilux {

namespace {

// The system's monitors for the monitor tiles, through the platform's
// monitor functions.
class SystemMonitorSource : public MonitorSource {
public:
    bool EnumMonitors(const std::function<bool(MonitorHandle)>& visit) override {
        struct Walk {
            const std::function<bool(MonitorHandle)>* visit;
        } walk{&visit};
        auto proc = [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
            return (*reinterpret_cast<Walk*>(data)->visit)(MonitorHandle(monitor)) ? TRUE : FALSE;
        };
        return ::EnumDisplayMonitors(nullptr, nullptr, proc, LPARAM(&walk)) != FALSE;
    }
    MonitorInfo GetInfo(MonitorHandle monitor) override {
        MONITORINFO info{sizeof(info)};
        if (!::GetMonitorInfoW(reinterpret_cast<HMONITOR>(monitor), &info)) return PrimaryScreen();
        return {Convert(info.rcMonitor), Convert(info.rcWork)};
    }
    MonitorInfo PrimaryScreen() override {
        RECT work{};
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        return {{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)}, Convert(work)};
    }
    void EnumForCapture(const std::function<bool(MonitorHandle, const MonitorRect&)>& visit) override {
        EnumMonitors([&](MonitorHandle m) { return visit(m, GetInfo(m).monitor); });
    }

private:
    static MonitorRect Convert(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
};

}  // namespace

std::vector<CMonitor> SystemMonitors() {
    SystemMonitorSource source;
    return RebuildMonitorList(source);
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

    COptionPage* pages[] = {&monitorPage_, &keyPage_,     &layoutPage_,
                            &formatPage_,  &picturePage_, &simplePage_};
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
    }
    if (!COptionSheet::DoInit(first)) return false;
    if (services_.onShown) ::PostMessageW(Handle(), kShownMessage, 0, 0);
    return true;
}

bool CCSNOptionSheet::ProcessWindowMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                           LRESULT& result) {
    if (message == kShownMessage) {
        if (services_.onShown) services_.onShown(*this);
        result = 0;
        return true;
    }
    return COptionSheet::ProcessWindowMessage(hwnd, message, wParam, lParam, result);
}

bool RunOptionSheet(HWND owner, ORBILUXSetting& live, CSettingsStorage& storage,
                    const OptionSheetServices& services) {
    CCSNOptionSheet sheet(services);
    sheet.SetTitle(L"設定");
    sheet.SetStyleFlags(sheet.StyleFlags() & ~COptionSheet::kButtonApply);
    sheet.SetTarget(&live, &storage);
    sheet.Working() = live;
    return sheet.DoModal(owner) == IDOK;
}

}  // namespace orbilux
