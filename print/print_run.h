// One print run: its own copy of the pages (with their pictures), of the
// settings that shape a page and of the token values. A run is made on the
// user-interface thread when printing starts and then belongs to its print
// thread alone, so a later capture can neither change nor free what it prints.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "capture/screen_shot.h"
#include "print/page_layout.h"
#include "settings/settings.h"
#include "sysinfo/computer_info.h"

namespace orbilux {

// The settings a page is drawn with.
struct PrintStyle {
    LayoutSettings layout;
    std::vector<std::wstring> headStrings;
    std::vector<std::wstring> footStrings;
    std::wstring fontFace = L"MS UI Gothic";
    uint32_t fontSize = 11;
    int32_t printMode = 0;
};

PrintStyle StyleFrom(const ORBILUXSetting& settings);

struct PrintRun {
    std::vector<PageEntry> pages;  // index = page number
    PrintStyle style;
    ComputerInfo info;  // token values; page is written per page, pageCount is the run's

    // The page with that number, or the shared placeholder.
    const PageEntry& Page(int32_t number) const;
};

// Copies pages 0 .. pageCount-1 of the screen shot, each picture duplicated
// once however many pages share it, with the settings and token values of now.
std::shared_ptr<PrintRun> MakePrintRun(const ScreenShot& shot, const ORBILUXSetting& settings,
                                       int32_t pageCount);

// ---- Text pages ----

extern const wchar_t kGeneralInfoHeading[];
extern const wchar_t kSystemLogHeading[];
extern const wchar_t kApplicationLogHeading[];

// The lines the Text pages print for a report level: none for 0 or an unknown
// level, the general information for 1, and the two event-log excerpts as
// well for 2 and 3.
std::vector<std::wstring> TextPageLines(const ComputerInfo& info, int32_t logType);

// Splits lines into pages of at most `capacity` in measured height; a line
// taller than a page gets a page of its own. No pages at all when the capacity
// does not hold one line of `lineHeight`.
std::vector<std::vector<std::wstring>> PaginateLines(const std::vector<std::wstring>& lines, int capacity,
                                                     int lineHeight,
                                                     const std::function<int(const std::wstring&)>& measure);

// What building the Text pages needs from the platform.
struct TextPageServices {
    // Lays lines out on pages as the printer would.
    std::function<std::vector<std::vector<std::wstring>>(const std::vector<std::wstring>&)> paginate;
};

// Appends the Text pages of the settings' computer information (gathered
// already) behind the screen shot's pages and returns the page count.
int32_t BuildTextPages(ScreenShot& shot, ORBILUXSetting& settings, const TextPageServices& services);

}  // namespace orbilux
