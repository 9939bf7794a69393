#include <gtest/gtest.h>

#include <windows.h>
#include <winspool.h>
// PrintLink::OpenPrinter, not the spooler's macro.
#undef OpenPrinter

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "app/win32/subsystem_links.h"
#include "print/devmode_bytes.h"
#include "print/win32/print_job.h"
#include "settings/win32/ini_file_storage.h"
#include "window/raii.h"

using namespace orbilux;

namespace {

int g_messages = 0;
void CountMessage(const wchar_t*, const wchar_t*) {
    ++g_messages;
}

// Every test starts with no message seen and the real dialogs replaced.
class PrintSelection : public ::testing::Test {
protected:
    void SetUp() override {
        g_messages = 0;
        prompts.message = CountMessage;
        if (DefaultPrinterName().empty()) GTEST_SKIP() << "no default printer in this environment";
    }
    // The dialogs a test runs in place of the real ones (null: the real one).
    void UseDialogs(PrintDialogRunner print, PageSetupDialogRunner pageSetup) {
        prompts.printDialog = print ? print : ::PrintDlgW;
        prompts.pageSetupDialog = pageSetup ? pageSetup : ::PageSetupDlgW;
    }
    PrinterPrompts prompts;
};

std::wstring TempIni(const wchar_t* name) {
    wchar_t dir[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, dir);
    std::wstring path = std::wstring(dir) + name;
    ::DeleteFileW(path.c_str());
    return path;
}

// The printer settings as a load gives them back after a save into the INI
// file `name` of the temporary folder.
PrinterSettings SavedAndLoaded(PrinterSettings& printer, const wchar_t* name) {
    const std::wstring path = TempIni(name);
    {
        CSettingsStorageIniFile storage(path, kSettingsPrinterSection);
        EXPECT_TRUE(printer.Save(storage));
    }
    PrinterSettings loaded;
    {
        CSettingsStorageIniFile storage(path, kSettingsPrinterSection);
        EXPECT_TRUE(loaded.Load(storage));
    }
    ::DeleteFileW(path.c_str());
    return loaded;
}

}  // namespace

TEST_F(PrintSelection, FirstStartTakesTheDefaultPrinterAndStoresItsDeviceMode) {
    PrinterObjects objects;
    PrinterSettings printer;
    InitPrinter(printer.bSetPrinter_, objects, printer, prompts);
    ASSERT_TRUE(objects.Printer());
    EXPECT_EQ(printer.printername_, DefaultPrinterName());
    EXPECT_EQ(objects.PrinterName(), DefaultPrinterName());
    EXPECT_FALSE(printer.bSetPrinter_);
    ASSERT_TRUE(objects.DevMode());
    EXPECT_EQ(printer.devModeBlock.size(), kDevModeFixedSize + objects.DevMode()->dmDriverExtra);
    EXPECT_EQ(DevModeFromStored(printer.devModeBlock), objects.DevModeBytes());
    EXPECT_EQ(printer.printerRef, &objects);
    EXPECT_EQ(g_messages, 0);
}

TEST_F(PrintSelection, StoredDeviceModeSurvivesSaveLoadAndStartUp) {
    PrinterObjects objects;
    PrinterSettings chosen;
    InitPrinter(false, objects, chosen, prompts);
    ASSERT_TRUE(chosen.HasDevMode());
    chosen.bSetPrinter_ = true;
    // Something the driver would keep: another paper orientation.
    chosen.devModeBlock[76] = DMORIENT_LANDSCAPE;  // dmOrientation

    PrinterSettings loaded = SavedAndLoaded(chosen, L"tamrik_print_devmode.ini");
    EXPECT_EQ(loaded.devModeBlock, chosen.devModeBlock);
    EXPECT_EQ(loaded.printername_, chosen.printername_);

    PrinterObjects reopened;
    const std::vector<uint8_t> before = loaded.devModeBlock;
    InitPrinter(loaded.bSetPrinter_, reopened, loaded, prompts);
    ASSERT_TRUE(reopened.Printer());
    EXPECT_EQ(loaded.devModeBlock, before);  // the stored bytes stay as they were
    EXPECT_EQ(reopened.PrinterName(), chosen.printername_);
    EXPECT_EQ(g_messages, 0);
}

TEST_F(PrintSelection, StoredPrinterThatDoesNotOpenIsKeptWhileTheDefaultStandsIn) {
    PrinterObjects objects;
    PrinterSettings printer;
    InitPrinter(false, objects, printer, prompts);
    EXPECT_FALSE(objects.StandingIn());
    printer.bSetPrinter_ = true;
    printer.printername_ = L"Tamrik Printer That Was Removed";
    printer.devModeBlock[76] = DMORIENT_LANDSCAPE;  // the choice's own paper orientation
    const PrinterSettings chosen = printer;
    InitPrinter(true, objects, printer, prompts);
    // The default printer prints for now, silently ...
    ASSERT_TRUE(objects.Printer());
    EXPECT_EQ(objects.PrinterName(), DefaultPrinterName());
    EXPECT_TRUE(objects.StandingIn());
    EXPECT_EQ(g_messages, 0);
    // ... and the choice stays in the settings, so no later save loses it.
    EXPECT_EQ(printer.printername_, chosen.printername_);
    EXPECT_EQ(printer.devModeBlock, chosen.devModeBlock);
    EXPECT_TRUE(printer.bSetPrinter_);
    PrinterSettings loaded = SavedAndLoaded(printer, L"tamrik_print_offline.ini");
    EXPECT_EQ(loaded.printername_, chosen.printername_);
    EXPECT_EQ(loaded.devModeBlock, chosen.devModeBlock);
    // Still not there: nothing changes.
    EXPECT_FALSE(ReopenChosenPrinter(objects, printer, prompts));
    EXPECT_EQ(objects.PrinterName(), DefaultPrinterName());

    // A confirmed printer dialog makes what it shows the choice.
    UseDialogs([](PRINTDLGW*) -> BOOL { return TRUE; }, nullptr);
    ASSERT_TRUE(ShowPrintSetup(nullptr, objects, printer, prompts));
    EXPECT_FALSE(objects.StandingIn());
    EXPECT_EQ(printer.printername_, DefaultPrinterName());
}

TEST_F(PrintSelection, StoredDeviceModeShortOfItsClaimIsDroppedWithTheMessage) {
    PrinterObjects objects;
    PrinterSettings printer;
    InitPrinter(false, objects, printer, prompts);
    printer.bSetPrinter_ = true;
    // The header claims 4000 driver bytes the block does not have.
    printer.devModeBlock.resize(kDevModeFixedSize);
    printer.devModeBlock[70] = 0xA0;
    printer.devModeBlock[71] = 0x0F;
    InitPrinter(true, objects, printer, prompts);
    EXPECT_EQ(g_messages, 1);
    ASSERT_TRUE(objects.Printer());
    ASSERT_TRUE(objects.DevMode());
    // What the holder and the settings keep is sound again.
    EXPECT_EQ(DevModeFromStored(printer.devModeBlock), objects.DevModeBytes());
}

TEST_F(PrintSelection, NoDefaultPrinterOpensNothingAndSaysNothing) {
    wchar_t saved[512] = {};
    ::GetProfileStringW(L"windows", L"device", L"", saved, 512);
    ::WriteProfileStringW(L"windows", L"device", nullptr);
    PrinterObjects objects;
    PrinterSettings printer;
    InitPrinter(false, objects, printer, prompts);
    const std::wstring nameWithout = DefaultPrinterName();
    ::WriteProfileStringW(L"windows", L"device", saved);
    EXPECT_TRUE(nameWithout.empty());
    EXPECT_FALSE(objects.Printer());
    EXPECT_FALSE(objects.DevMode());
    EXPECT_EQ(g_messages, 0);
    // Nothing to print on: a run does not start.
    ScreenShot shot;
    PageEntry page;
    page.kind = PageKind::Text;
    page.lines = {L"x"};
    shot.InsertPage(page);
    ORBILUXSetting settings;
    EXPECT_FALSE(StartPrintJob(TargetOf(objects), shot, settings, 1));
    EXPECT_EQ(settings.format_.computerInfo.pageCount, 1);
}

namespace {

PAGESETUPDLGW g_seenPageSetup;
BOOL CancelPrint(PRINTDLGW*) {
    return FALSE;
}
BOOL CancelPageSetup(PAGESETUPDLGW* p) {
    g_seenPageSetup = *p;
    return FALSE;
}
BOOL ConfirmPageSetup(PAGESETUPDLGW* p) {
    g_seenPageSetup = *p;
    p->rtMargin = RECT{2000, 1500, 1200, 1100};
    p->rtMinMargin = RECT{400, 400, 400, 400};
    p->ptPaperSize = POINT{21000, 29700};
    return TRUE;
}
// Hands back a device mode whose header claims more bytes than its block holds.
BOOL ConfirmShortDevMode(PRINTDLGW* p) {
    tamrik::GlobalLockScope<DEVMODEW> lock(p->hDevMode);
    if (!lock) return FALSE;
    lock.Get()->dmDriverExtra = WORD(lock.Get()->dmDriverExtra + 512);
    return TRUE;
}

}  // namespace

TEST_F(PrintSelection, CancelledDialogsChangeNothing) {
    PrinterObjects objects;
    PrinterSettings printer;
    InitPrinter(false, objects, printer, prompts);
    const PrinterSettings before = printer;
    UseDialogs(CancelPrint, CancelPageSetup);
    EXPECT_FALSE(ShowPrintSetup(nullptr, printer, prompts));
    EXPECT_FALSE(ShowPageSetup(nullptr, printer, prompts));
    EXPECT_EQ(printer.devModeBlock, before.devModeBlock);
    EXPECT_EQ(printer.bSetPrinter_, before.bSetPrinter_);
    EXPECT_EQ(printer.bSetPage_, before.bSetPage_);
    EXPECT_EQ(printer.rtMargin, before.rtMargin);
    EXPECT_TRUE(objects.Printer());
    // Margins go in as hundredths of a millimetre; no minimum margins before a confirmed set-up.
    EXPECT_TRUE(g_seenPageSetup.Flags & PSD_INHUNDREDTHSOFMILLIMETERS);
    EXPECT_TRUE(g_seenPageSetup.Flags & PSD_MARGINS);
    EXPECT_FALSE(g_seenPageSetup.Flags & PSD_MINMARGINS);
    EXPECT_EQ(g_seenPageSetup.rtMargin.left, 1500);
}

TEST_F(PrintSelection, ConfirmedPageSetupRecordsMarginsAndThePrinter) {
    PrinterObjects objects;
    PrinterSettings printer;
    InitPrinter(false, objects, printer, prompts);
    UseDialogs(nullptr, ConfirmPageSetup);
    ASSERT_TRUE(ShowPageSetup(nullptr, objects, printer, prompts));
    EXPECT_EQ(printer.rtMargin, (SettingsRect{2000, 1500, 1200, 1100}));
    EXPECT_EQ(printer.rtMinMargin, (SettingsRect{400, 400, 400, 400}));
    EXPECT_EQ(printer.ptPaperSize, (SettingsPoint{21000, 29700}));
    EXPECT_TRUE(printer.bSetPage_);
    EXPECT_TRUE(printer.bSetPrinter_);
    EXPECT_EQ(printer.printername_, DefaultPrinterName());
    EXPECT_EQ(objects.PrinterName(), DefaultPrinterName());

    // The next page set-up passes paper size and minimum margins back in.
    ASSERT_TRUE(ShowPageSetup(nullptr, objects, printer, prompts));
    EXPECT_TRUE(g_seenPageSetup.Flags & PSD_MINMARGINS);
    EXPECT_EQ(g_seenPageSetup.ptPaperSize.x, 21000);
}

TEST_F(PrintSelection, ConfirmedDeviceModeShortOfItsClaimIsNotTaken) {
    PrinterObjects objects;
    PrinterSettings printer;
    InitPrinter(false, objects, printer, prompts);
    const std::vector<uint8_t> held = objects.DevModeBytes();
    const std::vector<uint8_t> stored = printer.devModeBlock;
    UseDialogs(ConfirmShortDevMode, nullptr);
    EXPECT_TRUE(ShowPrintSetup(nullptr, objects, printer, prompts));
    EXPECT_EQ(objects.DevModeBytes(), held);
    EXPECT_EQ(printer.devModeBlock, stored);
    EXPECT_FALSE(printer.bSetPrinter_);
    EXPECT_TRUE(objects.Printer());  // the printer is reopened all the same
}

namespace {

// The real dialogs, confirmed from another thread as soon as one is up.
template <typename Run>
BOOL ConfirmWhenShown(Run run) {
    const DWORD uiThread = ::GetCurrentThreadId();
    std::atomic<bool> done{false};
    std::thread presser([&] {
        while (!done) {
            ::EnumThreadWindows(
                uiThread,
                [](HWND w, LPARAM) -> BOOL {
                    wchar_t cls[16] = {};
                    ::GetClassNameW(w, cls, 16);
                    if (std::wstring(cls) == L"#32770" && ::IsWindowVisible(w)) {
                        ::PostMessageW(w, WM_COMMAND, IDOK, 0);
                    }
                    return TRUE;
                },
                0);
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
    });
    const BOOL result = run();
    done = true;
    presser.join();
    return result;
}
BOOL RealPrintDialogConfirmed(PRINTDLGW* p) {
    return ConfirmWhenShown([p] { return ::PrintDlgW(p); });
}
BOOL RealPageSetupConfirmed(PAGESETUPDLGW* p) {
    return ConfirmWhenShown([p] { return ::PageSetupDlgW(p); });
}

}  // namespace

TEST_F(PrintSelection, RealDialogsTakeOurBlocksAndGiveThePrinterBack) {
    PrinterObjects objects;
    PrinterSettings printer;
    InitPrinter(false, objects, printer, prompts);
    UseDialogs(RealPrintDialogConfirmed, RealPageSetupConfirmed);
    ASSERT_TRUE(ShowPrintSetup(nullptr, printer, prompts));
    EXPECT_TRUE(printer.bSetPrinter_);
    EXPECT_EQ(printer.printername_, DefaultPrinterName());
    EXPECT_EQ(DevModeFromStored(printer.devModeBlock), objects.DevModeBytes());
    ASSERT_TRUE(objects.Printer());

    ASSERT_TRUE(ShowPageSetup(nullptr, printer, prompts));
    EXPECT_TRUE(printer.bSetPage_);
    // Margins come back in hundredths of a millimetre as they went in.
    EXPECT_EQ(printer.rtMargin, (SettingsRect{1500, 1000, 1000, 1000}));
    EXPECT_GT(printer.ptPaperSize.x, 10000);  // A4 or Letter: over 100 mm wide
    EXPECT_TRUE(objects.Printer());
    EXPECT_EQ(g_messages, 0);
}

namespace {

// A printer added to the spooler for one test, on the default printer's
// driver and port, and removed again: a chosen printer coming back online.
class PrinterComingBack {
public:
    explicit PrinterComingBack(std::wstring name) : name_(std::move(name)) {}
    ~PrinterComingBack() {
        if (!added_) return;
        PRINTER_DEFAULTSW all{nullptr, nullptr, PRINTER_ALL_ACCESS};
        HANDLE h = nullptr;
        if (::OpenPrinterW(name_.data(), &h, &all)) {
            ::DeletePrinter(h);
            ::ClosePrinter(h);
        }
    }
    bool Add() {
        std::wstring model = DefaultPrinterName();
        HANDLE def = nullptr;
        if (!::OpenPrinterW(model.data(), &def, nullptr)) return false;
        DWORD needed = 0;
        ::GetPrinterW(def, 2, nullptr, 0, &needed);
        std::vector<BYTE> info(needed ? needed : 1);
        const BOOL got = ::GetPrinterW(def, 2, info.data(), needed, &needed);
        ::ClosePrinter(def);
        if (!got) return false;
        PRINTER_INFO_2W pi = *reinterpret_cast<PRINTER_INFO_2W*>(info.data());
        pi.pPrinterName = name_.data();
        pi.pShareName = nullptr;
        pi.pSecurityDescriptor = nullptr;
        pi.Attributes &= ~DWORD(PRINTER_ATTRIBUTE_DEFAULT | PRINTER_ATTRIBUTE_SHARED);
        HANDLE added = ::AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&pi));
        if (!added) return false;
        ::ClosePrinter(added);
        added_ = true;
        return true;
    }

private:
    std::wstring name_;
    bool added_ = false;
};

std::vector<std::wstring> NumberedLines(int count) {
    std::vector<std::wstring> lines;
    for (int i = 0; i < count; ++i) lines.push_back(L"info line " + std::to_wstring(i) + L"\n");
    return lines;
}

const PrinterObjects& LinkedObjects(const ORBILUXSetting& settings) {
    return *static_cast<const PrinterObjects*>(settings.printer_.printerRef);
}

}  // namespace

// The chosen printer is offline at start-up; once it opens again, the next
// print run takes it back before its pages are laid out. A run that writes
// files only does not try.
TEST_F(PrintSelection, NextPrintRunTakesTheChosenPrinterBackOnceItOpens) {
    const std::wstring chosen = L"Tamrik Printer Back Online";
    ORBILUXSetting settings;
    settings.printer_.bSetPrinter_ = true;
    settings.printer_.printername_ = chosen;
    settings.key_.logType = 1;
    PrintLink link;
    link.OpenPrinter(settings.printer_, true);
    ASSERT_TRUE(settings.printer_.printerRef);
    EXPECT_EQ(LinkedObjects(settings).PrinterName(), DefaultPrinterName());
    EXPECT_EQ(settings.printer_.printername_, chosen);

    PrinterComingBack back(chosen);
    if (!back.Add()) GTEST_SKIP() << "this spooler cannot add a printer";
    settings.format_.computerInfo.infoLines = NumberedLines(5);
    ScreenShot shot;
    // A press that prints takes the chosen printer again, and lays its Text
    // pages out for it.
    const PrinterTarget taken = link.TargetForPress(settings.printer_);
    EXPECT_EQ(taken.deviceName, chosen);
    EXPECT_EQ(BuildPressTextPages(shot, settings, taken), 1);
    EXPECT_EQ(LinkedObjects(settings).PrinterName(), chosen);
    EXPECT_FALSE(LinkedObjects(settings).StandingIn());
    EXPECT_EQ(settings.printer_.devModeRef, LinkedObjects(settings).DevMode());
    EXPECT_EQ(g_messages, 0);
}

// The settings name a landscape paper while the printer objects hold the
// printer's own portrait one (as after a printer that could not open, or a
// choice taken back): the Text pages follow the paper the run prints on.
TEST_F(PrintSelection, TextPagesAreLaidOutForThePaperTheRunPrintsOn) {
    ORBILUXSetting settings;
    PrintLink link;
    link.OpenPrinter(settings.printer_, false);
    ASSERT_TRUE(settings.printer_.printerRef);
    const PrinterTarget held = TargetOf(LinkedObjects(settings));
    ASSERT_FALSE(held.devMode.empty());
    std::vector<uint8_t>& stored = settings.printer_.devModeBlock;
    stored[76] = DMORIENT_LANDSCAPE;
    stored[72] |= uint8_t(DM_ORIENTATION);
    // 200 mm from the top: room for text on portrait A4, none on landscape.
    settings.printer_.rtMargin.top = 20000;
    settings.key_.logType = 1;
    settings.format_.computerInfo.infoLines = NumberedLines(60);

    ScreenShot shot;
    const int32_t count = BuildPressTextPages(shot, settings, link.TargetForPress(settings.printer_));
    const std::vector<std::wstring> lines = TextPageLines(settings.format_.computerInfo, 1);
    const auto expected = PaginateText(lines, StyleFrom(settings), settings.format_.computerInfo, held);
    ASSERT_FALSE(expected.empty());
    ASSERT_EQ(count, int32_t(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(shot.GetPage(int32_t(i)).lines, expected[i]);
    // The landscape paper of the settings would have laid them out otherwise.
    const PrinterTarget landscape{held.deviceName, DevModeFromStored(stored)};
    EXPECT_NE(PaginateText(lines, StyleFrom(settings), settings.format_.computerInfo, landscape), expected);
}

namespace {

// Slow pages, to be cut short by the exit.
class SlowPages : public IPrintJobInfo {
public:
    bool PrintPage(UINT page, HDC dc) override {
        printed++;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        return true;
    }
    void EndPrintJob(HDC, bool wasAborted) override { aborted = wasAborted; }
    std::atomic<int> printed{0};
    std::atomic<bool> aborted{false};
};

}  // namespace

TEST_F(PrintSelection, ExitLetsAJobStopAfterItsPageAndAbortsTheDocument) {
    auto pages = std::make_shared<SlowPages>();
    auto job = std::make_shared<PrintJob>();
    job->deviceName = DefaultPrinterName();
    job->documentName = L"Tamrik cancelled test job";
    job->callbacks = pages;
    job->firstPage = 0;
    job->lastPage = 500;
    ASSERT_TRUE(StartPrintJob(job));
    EXPECT_TRUE(WaitForPrintJobsAtExit(300, 10000));
    EXPECT_TRUE(job->complete);
    EXPECT_TRUE(pages->aborted);
    EXPECT_LT(pages->printed, 501);
    EXPECT_EQ(job->jobId, 0);
    EXPECT_EQ(RunningPrintJobs(), 0u);
}

// Prints a run of one picture page and two text pages when the end-to-end
// script asks for it (TAMRIK_PRINT_E2E_MARK names the run).
TEST(PrintE2E, ThreePageRun) {
    const char* mark = std::getenv("TAMRIK_PRINT_E2E_MARK");
    if (!mark) GTEST_SKIP() << "run by tests/e2e/print_job_test.sh";
    const char* mode = std::getenv("TAMRIK_PRINT_E2E_MODE");

    ORBILUXSetting settings;
    settings.format_.headStrings = {L"$computer|\\B$date|page $page / $maxpage", L"", L"\\Rright",
                                    L"[$window]|[$program]"};
    settings.format_.footStrings = {L"FOOTER $user|Total && count"};
    settings.output_.printMode = mode ? std::atoi(mode) : 3;
    // A Latin face whose embedded glyphs keep their character codes, so that
    // the script can read the bands back from the PDF.
    const char* font = std::getenv("TAMRIK_PRINT_E2E_FONT");
    const std::string face = font ? font : "DejaVu Sans";
    settings.format_.fontFace = std::wstring(face.begin(), face.end());
    ComputerInfo& info = settings.format_.computerInfo;
    info.computerName = std::wstring(mark, mark + std::strlen(mark));
    info.userName = L"tester";
    info.shotDate = L"2024/05/06";
    // Titles and names print as they are, ampersands and all.
    info.windowText = L"Q&A - Notepad";
    info.application = L"R&D.exe";

    // A white screen with a dark blue window in its top-left quarter.
    ScreenShot shot;
    shot.image->Create(640, 400, 24);
    for (uint32_t y = 0; y < 400; ++y)
        for (uint32_t x = 0; x < 640; ++x) {
            const bool window = x < 320 && y >= 200;  // rows are stored bottom-up
            shot.image->SetPixelColor(
                x, y, window ? RGBQuadColor::FromRgb(0, 0, 128) : RGBQuadColor::FromRgb(255, 255, 255));
        }
    PageEntry picture;
    picture.pageNumber = 0;
    picture.image = shot.image;
    shot.InsertPage(picture);
    for (int n = 1; n <= 2; ++n) {
        PageEntry text;
        text.pageNumber = n;
        text.kind = PageKind::Text;
        text.lines = {L"\nText page " + std::to_wstring(n) + L"\n", L"Computer Name:\tPC-01\n"};
        shot.InsertPage(text);
    }

    PrinterObjects objects;
    InitPrinter(false, objects, settings.printer_, PrinterPrompts());
    ASSERT_TRUE(objects.Printer());
    ASSERT_TRUE(StartPrintJob(TargetOf(objects), shot, settings, 3));
    // The next capture refills the same picture while the job may still print.
    for (uint32_t y = 0; y < 400; ++y)
        for (uint32_t x = 0; x < 640; ++x) shot.image->SetPixelColor(x, y, RGBQuadColor::FromRgb(0, 0, 0));
    shot.pages.clear();
    EXPECT_TRUE(WaitForPrintJobsAtExit(60000, 5000));
}

// A page whose header gap turns the body inside out, with a report the run
// has no room for: the script reads its one page back from the PDF.
TEST(PrintE2E, PageWithoutBody) {
    const char* mark = std::getenv("TAMRIK_PRINT_E2E_NOBODY_MARK");
    if (!mark) GTEST_SKIP() << "run by tests/e2e/print_no_body_test.sh";

    ORBILUXSetting settings;
    settings.simpleMode = false;
    settings.format_.headStrings = {L"HEAD $computer"};
    settings.format_.footStrings = {L"FOOT $page / $maxpage"};
    settings.format_.fontFace = L"DejaVu Sans";
    settings.printer_.marginHead = 300;
    settings.output_.printMode = 3;  // the white screen would print black
    settings.key_.logType = 1;
    settings.format_.computerInfo.computerName = std::wstring(mark, mark + std::strlen(mark));

    ScreenShot shot;
    shot.image->Create(640, 400, 24);
    for (uint32_t y = 0; y < 400; ++y)
        for (uint32_t x = 0; x < 640; ++x)
            shot.image->SetPixelColor(x, y, RGBQuadColor::FromRgb(255, 255, 255));
    PageEntry picture;
    picture.image = shot.image;
    shot.InsertPage(picture);

    PrinterObjects objects;
    InitPrinter(false, objects, settings.printer_, PrinterPrompts());
    ASSERT_TRUE(objects.Printer());
    settings.format_.computerInfo.computerName = std::wstring(mark, mark + std::strlen(mark));
    settings.format_.computerInfo.infoLines = NumberedLines(130);
    const int32_t pageCount = BuildTextPages(shot, settings, TargetOf(objects));
    EXPECT_EQ(pageCount, 1);  // no Text page: not one line would fit
    ASSERT_TRUE(StartPrintJob(TargetOf(objects), shot, settings, pageCount));
    EXPECT_TRUE(WaitForPrintJobsAtExit(60000, 5000));
}
