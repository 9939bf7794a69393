#include "print/win32/print_job.h"

#include <winspool.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include "print/devmode_bytes.h"
#include "print/win32/page_render.h"
#include "window/raii.h"

namespace orbilux {

const wchar_t kPrintDocumentName[] = L"Tamrik prints the DESKTOP.";

namespace {

using tamrik::GlobalLockScope;
using tamrik::UniqueDC;
using tamrik::UniqueGlobal;

void ShowPrinterMessage(const PrinterPrompts& prompts) {
    if (prompts.message) prompts.message(kDevModeFailureText, kDevModeFailureCaption);
}

}  // namespace

void ClosePrinterHandle(HANDLE printer) {
    ::ClosePrinter(printer);
}

namespace {

UniquePrinter OpenForUse(const std::wstring& name, const DEVMODEW* devMode) {
    if (name.empty()) return UniquePrinter();
    PRINTER_DEFAULTSW defaults{};
    defaults.pDevMode = const_cast<DEVMODEW*>(devMode);
    defaults.DesiredAccess = PRINTER_ACCESS_USE;
    UniquePrinter printer;
    if (!::OpenPrinterW(const_cast<wchar_t*>(name.c_str()), printer.Put(), devMode ? &defaults : nullptr))
        return UniquePrinter();
    return printer;
}

// Printer information of one level, in a buffer of the size the spooler asks for.
std::vector<uint8_t> PrinterInfo(HANDLE printer, DWORD level) {
    DWORD needed = 0;
    ::GetPrinterW(printer, level, nullptr, 0, &needed);
    if (needed == 0) return {};
    std::vector<uint8_t> buffer(needed);
    if (!::GetPrinterW(printer, level, buffer.data(), needed, &needed)) return {};
    return buffer;
}

// The bytes of a device mode lying inside a buffer, when it holds what it claims.
std::vector<uint8_t> DevModeWithin(const void* devMode, const uint8_t* bufferEnd) {
    if (!devMode) return {};
    const auto* p = static_cast<const uint8_t*>(devMode);
    if (p >= bufferEnd) return {};
    const size_t available = size_t(bufferEnd - p);
    const size_t claimed = DevModeClaimedSize(p, available);
    if (claimed == 0 || claimed > available) return {};
    return std::vector<uint8_t>(p, p + claimed);
}

// The printer's own default device mode.
std::vector<uint8_t> PrinterDefaultDevMode(HANDLE printer, const std::wstring& name) {
    const std::vector<uint8_t> info = PrinterInfo(printer, 2);
    if (!info.empty()) {
        const auto* pi = reinterpret_cast<const PRINTER_INFO_2W*>(info.data());
        std::vector<uint8_t> dm = DevModeWithin(pi->pDevMode, info.data() + info.size());
        if (!dm.empty()) return dm;
    }
    const LONG size =
        ::DocumentPropertiesW(nullptr, printer, const_cast<wchar_t*>(name.c_str()), nullptr, nullptr, 0);
    if (size <= 0) return {};
    std::vector<uint8_t> out(size_t(size), 0);
    if (::DocumentPropertiesW(nullptr, printer, const_cast<wchar_t*>(name.c_str()),
                              reinterpret_cast<DEVMODEW*>(out.data()), nullptr, DM_OUT_BUFFER) != IDOK) {
        return {};
    }
    return DevModeWithin(out.data(), out.data() + out.size());
}

// The printer's device mode merged with ours, or empty.
std::vector<uint8_t> MergedDevMode(HANDLE printer, const std::wstring& name, const DEVMODEW* ours) {
    const LONG size =
        ::DocumentPropertiesW(nullptr, printer, const_cast<wchar_t*>(name.c_str()), nullptr, nullptr, 0);
    if (size <= 0) return {};
    std::vector<uint8_t> out(size_t(size), 0);
    if (::DocumentPropertiesW(nullptr, printer, const_cast<wchar_t*>(name.c_str()),
                              reinterpret_cast<DEVMODEW*>(out.data()), const_cast<DEVMODEW*>(ours),
                              DM_IN_BUFFER | DM_OUT_BUFFER) != IDOK) {
        return {};
    }
    return DevModeWithin(out.data(), out.data() + out.size());
}

// The device mode in a global block the dialogs return.
std::vector<uint8_t> DevModeOfGlobal(HGLOBAL block) {
    if (!block) return {};
    GlobalLockScope<uint8_t> lock(block);
    if (!lock) return {};
    return DevModeWithin(lock.Get(), lock.Get() + ::GlobalSize(block));
}

// A device-names block naming only the device.
UniqueGlobal MakeDevNames(const std::wstring& device) {
    if (device.empty()) return UniqueGlobal();
    const size_t header = sizeof(DEVNAMES) / sizeof(wchar_t);
    std::vector<wchar_t> data(header + 1 + device.size() + 1 + 1, 0);
    auto* names = reinterpret_cast<DEVNAMES*>(data.data());
    names->wDriverOffset = WORD(header);
    names->wDeviceOffset = WORD(header + 1);
    names->wOutputOffset = WORD(header + 1 + device.size() + 1);
    std::copy(device.begin(), device.end(), data.begin() + header + 1);
    return tamrik::GlobalCopyOf(data.data(), data.size() * sizeof(wchar_t));
}

std::wstring DeviceOfDevNames(HGLOBAL block) {
    if (!block) return std::wstring();
    GlobalLockScope<DEVNAMES> lock(block);
    if (!lock) return std::wstring();
    const SIZE_T units = ::GlobalSize(block) / sizeof(wchar_t);
    const auto* text = reinterpret_cast<const wchar_t*>(lock.Get());
    std::wstring name;
    for (SIZE_T i = lock.Get()->wDeviceOffset; i < units && text[i]; ++i) name.push_back(text[i]);
    return name;
}

// Opens the profile's default printer into the objects and, unless it only
// stands in for the chosen printer, records it in the settings.
void OpenDefaultPrinter(PrinterObjects& objects, PrinterSettings* record) {
    const std::wstring name = DefaultPrinterName();
    if (name.empty() || !objects.OpenNamed(name)) return;
    const std::vector<uint8_t> dm = PrinterDefaultDevMode(objects.Printer(), name);
    if (dm.empty() || !objects.SetDevMode(dm)) return;
    if (!record) return;
    const std::vector<uint8_t> stored = DevModeToStored(dm.data(), dm.size());
    if (!stored.empty()) record->devModeBlock = stored;
    record->printername_ = name;
}

// Whether the settings name a printer to come back to.
bool HasChosenPrinter(const PrinterSettings& printer) {
    return !printer.printername_.empty() ||
           !DevModeDeviceName(DevModeFromStored(printer.devModeBlock)).empty();
}

void LinkSettings(PrinterObjects& objects, PrinterSettings& printer) {
    printer.printerRef = &objects;
    printer.devModeRef = objects.Printer() ? const_cast<DEVMODEW*>(objects.DevMode()) : nullptr;
}

// Opens the printer the settings remember; false when it does not open.
bool OpenStoredPrinter(PrinterObjects& objects, PrinterSettings& printer, const PrinterPrompts& prompts) {
    std::vector<uint8_t> dm = DevModeFromStored(printer.devModeBlock);
    if (dm.empty() && !IsBlankDevMode(printer.devModeBlock)) {
        // The block does not hold the bytes its own header claims: never hand
        // it to the spooler.
        ShowPrinterMessage(prompts);
        printer.ClearDevMode();
    }
    std::wstring name = printer.printername_;
    if (name.empty()) name = DevModeDeviceName(dm);
    if (!dm.empty()) objects.SetDevMode(dm);
    if (!objects.OpenNamed(name)) {
        objects.ClearDevMode();
        return false;
    }
    if (!dm.empty()) {
        const std::vector<uint8_t> merged = MergedDevMode(objects.Printer(), name, objects.DevMode());
        if (!merged.empty()) objects.SetDevMode(merged);
    } else {
        const std::vector<uint8_t> own = PrinterDefaultDevMode(objects.Printer(), name);
        if (!own.empty() && objects.SetDevMode(own)) {
            const std::vector<uint8_t> stored = DevModeToStored(own.data(), own.size());
            if (!stored.empty()) printer.devModeBlock = stored;
        }
    }
    return true;
}

// Takes a confirmed dialog's printer: records it and reopens the printer.
void TakeDialogPrinter(PrinterObjects& objects, PrinterSettings& printer, HGLOBAL devMode, HGLOBAL devNames) {
    // Without a device-names block the printer shown was the one in use.
    std::wstring device = DeviceOfDevNames(devNames);
    if (device.empty()) device = objects.PrinterName();
    const std::vector<uint8_t> dm = DevModeOfGlobal(devMode);
    if (!dm.empty() && objects.SetDevMode(dm)) {
        const std::vector<uint8_t> stored = DevModeToStored(dm.data(), dm.size());
        if (!stored.empty()) printer.devModeBlock = stored;
        printer.bSetPrinter_ = true;
        printer.printername_ = device;
        objects.SetStandingIn(false);  // what is open now is the choice
    }
    objects.ClosePrinter();
    objects.OpenNamed(device);
}

// ---- Running jobs ----

struct JobRegistry {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::shared_ptr<PrintJob>> running;
};

// Never destroyed: a detached print thread may still report in during exit.
JobRegistry& Registry() {
    static JobRegistry* registry = new JobRegistry;
    return *registry;
}

void Unregister(const std::shared_ptr<PrintJob>& job) {
    JobRegistry& r = Registry();
    {
        std::lock_guard<std::mutex> lock(r.mutex);
        r.running.erase(std::remove(r.running.begin(), r.running.end(), job), r.running.end());
    }
    r.changed.notify_all();
}

}  // namespace

// ---- PrinterObjects ----

std::vector<uint8_t> PrinterObjects::DevModeBytes() const {
    if (!devMode_) return {};
    const auto* p = reinterpret_cast<const uint8_t*>(devMode_);
    return std::vector<uint8_t>(p, p + devMode_->dmSize + devMode_->dmDriverExtra);
}

std::wstring PrinterObjects::PrinterName() const {
    if (!printer_) return std::wstring();
    std::vector<uint8_t> info = PrinterInfo(printer_.Get(), 5);
    if (!info.empty()) {
        const auto* pi = reinterpret_cast<const PRINTER_INFO_5W*>(info.data());
        if (pi->pPrinterName) return pi->pPrinterName;
    }
    info = PrinterInfo(printer_.Get(), 2);
    if (!info.empty()) {
        const auto* pi = reinterpret_cast<const PRINTER_INFO_2W*>(info.data());
        if (pi->pPrinterName) return pi->pPrinterName;
    }
    return std::wstring();
}

bool PrinterObjects::SetDevMode(const std::vector<uint8_t>& bytes) {
    const size_t claimed = DevModeClaimedSize(bytes.data(), bytes.size());
    if (claimed == 0 || claimed > bytes.size()) return false;
    tamrik::UniqueGlobal block(::GlobalAlloc(GMEM_MOVEABLE, claimed));
    void* p = block ? ::GlobalLock(block.Get()) : nullptr;
    if (!p) return false;
    std::memcpy(p, bytes.data(), claimed);
    ClearDevMode();
    devModeBlock_ = std::move(block);
    devMode_ = static_cast<DEVMODEW*>(p);
    return true;
}

bool PrinterObjects::OpenNamed(const std::wstring& name) {
    ClosePrinter();
    printer_ = OpenForUse(name, devMode_);
    return bool(printer_);
}

void PrinterObjects::TakeFrom(PrinterObjects& other) {
    if (&other == this) return;
    Close();
    printer_ = std::move(other.printer_);
    devModeBlock_ = std::move(other.devModeBlock_);
    devMode_ = std::exchange(other.devMode_, nullptr);
    standingIn_ = std::exchange(other.standingIn_, false);
}

PrinterTarget TargetOf(const PrinterObjects& objects) {
    PrinterTarget t;
    if (!objects.Printer()) return t;
    t.deviceName = objects.PrinterName();
    t.devMode = objects.DevModeBytes();
    return t;
}

void PrinterObjects::ClosePrinter() {
    printer_.Reset();
}

void PrinterObjects::ClearDevMode() {
    if (devMode_) ::GlobalUnlock(devModeBlock_.Get());  // locked while held
    devMode_ = nullptr;
    devModeBlock_.Reset();
}

// ---- Printer selection ----

std::wstring DefaultPrinterName() {
    wchar_t buffer[512] = {};
    ::GetProfileStringW(L"windows", L"device", L",,,", buffer, 512);
    std::wstring entry(buffer);
    return entry.substr(0, entry.find(L','));
}

void InitPrinter(bool useStoredPrinter, PrinterObjects& objects, PrinterSettings& printer,
                 const PrinterPrompts& prompts) {
    objects.Close();
    if (!printer.HasDevMode()) printer.devModeBlock.assign(kDevModeFixedSize, 0);
    try {
        if (!useStoredPrinter || !OpenStoredPrinter(objects, printer, prompts)) {
            // A chosen printer that is offline or gone for now: the default
            // printer prints meanwhile, and the choice stays for later.
            const bool keepChoice = useStoredPrinter && HasChosenPrinter(printer);
            OpenDefaultPrinter(objects, keepChoice ? nullptr : &printer);
            objects.SetStandingIn(keepChoice && objects.Printer() != nullptr);
        }
    } catch (...) {
        ShowPrinterMessage(prompts);
    }
    LinkSettings(objects, printer);
}

bool ReopenChosenPrinter(PrinterObjects& objects, PrinterSettings& printer, const PrinterPrompts& prompts) {
    if (!objects.StandingIn() || !printer.bSetPrinter_) return false;
    PrinterObjects chosen;
    try {
        if (!OpenStoredPrinter(chosen, printer, prompts)) return false;
    } catch (...) {
        return false;
    }
    objects.TakeFrom(chosen);
    objects.SetStandingIn(false);
    LinkSettings(objects, printer);
    return true;
}

PrinterTarget PrinterInUse(const PrinterSettings& printer) {
    const auto* objects = static_cast<const PrinterObjects*>(printer.printerRef);
    if (objects && objects->Printer()) return TargetOf(*objects);
    return TargetFromSettings(printer);
}

PageRoom RoomForSettings(const ORBILUXSetting& settings) {
    return RoomOnPrinter(StyleFrom(settings), PrinterInUse(settings.printer_));
}

bool ShowPrintSetup(HWND owner, PrinterObjects& objects, PrinterSettings& printer,
                    const PrinterPrompts& prompts) {
    const std::vector<uint8_t> dm = objects.DevModeBytes();
    UniqueGlobal devMode = dm.empty() ? UniqueGlobal() : tamrik::GlobalCopyOf(dm.data(), dm.size());
    UniqueGlobal devNames = MakeDevNames(objects.PrinterName());
    PRINTDLGW pd{};
    pd.lStructSize = sizeof(pd);
    pd.hwndOwner = owner ? owner : ::GetActiveWindow();
    pd.Flags = PD_PRINTSETUP | PD_NOPAGENUMS | PD_NOSELECTION | PD_USEDEVMODECOPIESANDCOLLATE;
    pd.hDevMode = devMode.Release();
    pd.hDevNames = devNames.Release();
    const bool confirmed = prompts.printDialog(&pd) != FALSE;
    // The dialog may have replaced the blocks; own whatever it left.
    devMode.Reset(pd.hDevMode);
    devNames.Reset(pd.hDevNames);
    if (confirmed) TakeDialogPrinter(objects, printer, devMode.Get(), devNames.Get());
    return confirmed;
}

bool ShowPageSetup(HWND owner, PrinterObjects& objects, PrinterSettings& printer,
                   const PrinterPrompts& prompts) {
    const std::vector<uint8_t> dm = objects.DevModeBytes();
    UniqueGlobal devMode = dm.empty() ? UniqueGlobal() : tamrik::GlobalCopyOf(dm.data(), dm.size());
    UniqueGlobal devNames = MakeDevNames(objects.PrinterName());
    PAGESETUPDLGW psd{};
    psd.lStructSize = sizeof(psd);
    psd.hwndOwner = owner ? owner : ::GetActiveWindow();
    // Margins always in hundredths of a millimetre, whatever the locale measures in.
    psd.Flags = PSD_MARGINS | PSD_INHUNDREDTHSOFMILLIMETERS;
    psd.rtMargin =
        RECT{printer.rtMargin.left, printer.rtMargin.top, printer.rtMargin.right, printer.rtMargin.bottom};
    if (printer.bSetPage_) {
        psd.Flags |= PSD_MINMARGINS;
        psd.ptPaperSize = POINT{printer.ptPaperSize.x, printer.ptPaperSize.y};
        psd.rtMinMargin = RECT{printer.rtMinMargin.left, printer.rtMinMargin.top, printer.rtMinMargin.right,
                               printer.rtMinMargin.bottom};
    }
    psd.hDevMode = devMode.Release();
    psd.hDevNames = devNames.Release();
    const bool confirmed = prompts.pageSetupDialog(&psd) != FALSE;
    devMode.Reset(psd.hDevMode);
    devNames.Reset(psd.hDevNames);
    if (confirmed) {
        TakeDialogPrinter(objects, printer, devMode.Get(), devNames.Get());
        printer.ptPaperSize = SettingsPoint{psd.ptPaperSize.x, psd.ptPaperSize.y};
        printer.rtMinMargin = SettingsRect{psd.rtMinMargin.left, psd.rtMinMargin.top, psd.rtMinMargin.right,
                                           psd.rtMinMargin.bottom};
        printer.rtMargin =
            SettingsRect{psd.rtMargin.left, psd.rtMargin.top, psd.rtMargin.right, psd.rtMargin.bottom};
        printer.bSetPage_ = true;
    }
    return confirmed;
}

bool ShowPrintSetup(HWND owner, PrinterSettings& printer, const PrinterPrompts& prompts) {
    auto* objects = static_cast<PrinterObjects*>(printer.printerRef);
    return objects && ShowPrintSetup(owner, *objects, printer, prompts);
}

bool ShowPageSetup(HWND owner, PrinterSettings& printer, const PrinterPrompts& prompts) {
    auto* objects = static_cast<PrinterObjects*>(printer.printerRef);
    return objects && ShowPageSetup(owner, *objects, printer, prompts);
}

// ---- Print jobs ----

void PrintRunCallbacks::PrePrintPage(UINT, HDC dc) {
    savedState_ = ::SaveDC(dc);
}

bool PrintRunCallbacks::PrintPage(UINT page, HDC dc) {
    run_->info.page = int(page) + 1;
    const PageRect pageRect{0, 0, ::GetDeviceCaps(dc, HORZRES), ::GetDeviceCaps(dc, VERTRES)};
    DrawPage(dc, pageRect, run_->Page(int32_t(page)), run_->style, run_->info);
    return true;
}

void PrintRunCallbacks::PostPrintPage(UINT, HDC dc) {
    if (savedState_) ::RestoreDC(dc, savedState_);
    savedState_ = 0;
}

void RunPrintJob(PrintJob& job) {
    const auto* devMode =
        job.devMode.empty() ? nullptr : reinterpret_cast<const DEVMODEW*>(job.devMode.data());
    UniqueDC dc(job.deviceName.empty() ? nullptr
                                       : ::CreateDCW(nullptr, job.deviceName.c_str(), nullptr, devMode));
    if (dc && job.callbacks) {
        DOCINFOW doc{};
        doc.cbSize = sizeof(doc);
        doc.lpszDocName = job.documentName.c_str();
        job.jobId = ::StartDocW(dc.Get(), &doc);
        if (job.jobId >= 1) {
            IPrintJobInfo& info = *job.callbacks;
            info.BeginPrintJob(dc.Get());
            UINT previous = 0;
            for (UINT page = job.firstPage; page <= job.lastPage && !job.cancel; ++page) {
                if (!info.IsValidPage(page)) break;
                if (const DEVMODEW* pageMode = info.GetNewDevModeForPage(previous, page)) {
                    ::ResetDCW(dc.Get(), pageMode);
                }
                ::StartPage(dc.Get());
                info.PrePrintPage(page, dc.Get());
                if (!info.PrintPage(page, dc.Get())) job.cancel = true;
                info.PostPrintPage(page, dc.Get());
                ::EndPage(dc.Get());
                previous = page;
            }
            info.EndPrintJob(dc.Get(), job.cancel);
            if (job.cancel) {
                ::AbortDoc(dc.Get());
            } else {
                ::EndDoc(dc.Get());
            }
            job.jobId = 0;
        }
    }
    dc.Reset();
    job.complete = true;
}

bool StartPrintJob(const PrinterTarget& printer, std::shared_ptr<PrintRun> run) {
    if (!run || run->pages.empty() || printer.deviceName.empty()) return false;
    auto job = std::make_shared<PrintJob>();
    job->deviceName = printer.deviceName;
    job->devMode = printer.devMode;
    job->firstPage = 0;
    job->lastPage = UINT(run->pages.size() - 1);
    job->callbacks = std::make_shared<PrintRunCallbacks>(std::move(run));
    return StartPrintJob(std::move(job));
}

bool StartPrintJob(std::shared_ptr<PrintJob> job) {
    if (!job) return false;
    job->complete = false;
    JobRegistry& r = Registry();
    {
        std::lock_guard<std::mutex> lock(r.mutex);
        r.running.push_back(job);
    }
    try {
        std::thread([job] {
            RunPrintJob(*job);
            Unregister(job);
        }).detach();
    } catch (const std::system_error&) {
        Unregister(job);
        job->complete = true;
        return false;
    }
    return true;
}

bool StartPrintJob(const PrinterTarget& printer, const ScreenShot& shot, ORBILUXSetting& settings,
                   int32_t pageCount) {
    settings.format_.computerInfo.pageCount = pageCount;
    if (pageCount <= 0) return false;
    // The same printer and device mode the Text pages were laid out for.
    return StartPrintJob(printer, MakePrintRun(shot, settings, pageCount));
}

bool WaitForPrintJobsAtExit(DWORD finishMs, DWORD cancelMs) {
    JobRegistry& r = Registry();
    std::unique_lock<std::mutex> lock(r.mutex);
    auto none = [&r] { return r.running.empty(); };
    if (r.changed.wait_for(lock, std::chrono::milliseconds(finishMs), none)) return true;
    for (const auto& job : r.running) job->cancel = true;
    return r.changed.wait_for(lock, std::chrono::milliseconds(cancelMs), none);
}

size_t RunningPrintJobs() {
    JobRegistry& r = Registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    return r.running.size();
}

void PrinterWarningBox(const wchar_t* text, const wchar_t* caption) {
    ::MessageBoxW(::GetActiveWindow(), text, caption, MB_OK | MB_ICONWARNING);
}

}  // namespace orbilux
