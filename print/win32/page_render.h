// Drawing printed pages with GDI: the header and footer bands with their
// rules, the picture in its colour mode, and the text of a Text page; and the
// pagination of the Text pages measured on a screen-compatible context.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "print/print_run.h"

namespace orbilux {

DeviceFigures FiguresOf(HDC dc);

// Draws the header (which 0) or footer (which 1) band and its rule, and moves
// the top or bottom of body past it. A band that does not exist draws nothing
// and leaves body alone.
void DrawBand(HDC dc, PageRect& body, int which, const PrintStyle& style, const ComputerInfo& info);

// Draws one page into pageRect (the printable area in device pixels).
void DrawPage(HDC dc, const PageRect& pageRect, const PageEntry& entry, const PrintStyle& style,
              const ComputerInfo& info);

// The printer text pages are laid out for: its device name and device mode
// (empty for the driver's own).
struct PrinterTarget {
    std::wstring deviceName;
    std::vector<uint8_t> devMode;
};

// Splits the lines into Text pages as they will print on that printer. When
// not even one line fits, there are no Text pages.
std::vector<std::vector<std::wstring>> PaginateText(const std::vector<std::wstring>& lines,
                                                    const PrintStyle& style, const ComputerInfo& info,
                                                    const PrinterTarget& printer);

// What the style leaves of a page on that printer (A4 when it does not answer):
// a body for the picture, and room for at least one line of the Text pages.
PageRoom RoomOnPrinter(const PrintStyle& style, const PrinterTarget& printer);

// The printer the settings name, with the stored device mode when it is sound.
PrinterTarget TargetFromSettings(const PrinterSettings& printer);

// Appends the Text pages for the settings' logType and computer information
// (gathered already), laid out for the printer the run will print on, and
// returns the page count.
int32_t BuildTextPages(ScreenShot& shot, ORBILUXSetting& settings, const PrinterTarget& printer);

}  // namespace orbilux
