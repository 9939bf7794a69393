// The pages of the settings sheet: six detail pages, each bound to one
// settings group, and the easy page bound to the whole record.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "settings/settings.h"
#include "settings_ui/win32/edit_list_box.h"
#include "settings_ui/win32/option_sheet.h"
#include "settings_ui/win32/tool_dlg.h"
#include "window/raii.h"

namespace orbilux {

class CCSNOptionSheet;

// Basic settings: capture target, monitor tiles and the printing splash.
class CSettingsMonitorOptionPage
    : public COptionPageSettingsImpl<CSettingsMonitorOptionPage, GeneralSettings> {
public:
    CSettingsMonitorOptionPage();
    static const tamrik::MessageMap<CSettingsMonitorOptionPage>& GetMessageMap();
    bool LoadControls();
    bool SaveControls();

    size_t TileCount() const { return tiles_.size(); }
    HWND Tile(size_t index) const { return tiles_[index]; }
    bool TileChecked(size_t index) const { return checked_[index]; }
    void SetTileChecked(size_t index, bool checked);

private:
    LRESULT OnInitDialog(WPARAM, LPARAM);
    LRESULT OnDrawItem(WPARAM, LPARAM);
    LRESULT OnTile(WORD code, WORD id, HWND control);
    LRESULT OnSelectAll(WORD code, WORD id, HWND control);
    LRESULT OnTarget(WORD code, WORD id, HWND control);
    void BuildTiles();
    void ShowTiles(bool show);

    std::vector<HWND> tiles_;
    std::vector<bool> checked_;
    tamrik::UniqueFont tileFont_;
};

// Key settings: print key, hotkey field, key action and computer information.
class CSettingsKeyOptionPage : public COptionPageSettingsImpl<CSettingsKeyOptionPage, KeySettings> {
public:
    CSettingsKeyOptionPage();
    static const tamrik::MessageMap<CSettingsKeyOptionPage>& GetMessageMap();
    bool LoadControls();
    bool SaveControls();

private:
    LRESULT OnKeyKind(WORD code, WORD id, HWND control);
};

// Print settings: printer, page set-up, header and footer spacing, picture position.
class CSettingsLayoutOptionPage : public COptionPageSettingsImpl<CSettingsLayoutOptionPage, PrinterSettings> {
public:
    CSettingsLayoutOptionPage();
    static const tamrik::MessageMap<CSettingsLayoutOptionPage>& GetMessageMap();
    bool LoadControls();
    bool SaveControls();

private:
    LRESULT OnPrinter(WORD code, WORD id, HWND control);
    LRESULT OnPageSetup(WORD code, WORD id, HWND control);
    bool CheckPageRoom();

    std::vector<int32_t> warnedFor_;  // the values the last no-room-for-text warning was about
};

// Format settings: header and footer font and the two line editors.
class CSettingsFormatOptionPage : public COptionPageSettingsImpl<CSettingsFormatOptionPage, FormatSettings> {
public:
    CSettingsFormatOptionPage();
    static const tamrik::MessageMap<CSettingsFormatOptionPage>& GetMessageMap();
    bool LoadControls();
    bool SaveControls();

    CEditListBox& HeadList() { return headList_; }
    CEditListBox& FootList() { return footList_; }
    CToolDlg& Palette() { return palette_; }

private:
    LRESULT OnInitDialog(WPARAM, LPARAM);
    LRESULT OnHeadList(WORD code, WORD id, HWND control);
    LRESULT OnFootList(WORD code, WORD id, HWND control);
    LRESULT OnSizeOrFace(WORD code, WORD id, HWND control);
    LRESULT OnFontButton(WORD code, WORD id, HWND control);
    void FillFontList();
    // Shows the face in the face list, adding it when the list lacks it.
    void SelectFace(const std::wstring& face);
    // False, after saying so, when a line is longer than the file keeps.
    bool CheckLineLengths();
    void ShowPalette();
    void OnListFocus(CEditListBox& gained, CEditListBox& other, WORD code);

    CEditListBox headList_;
    CEditListBox footList_;
    CToolDlg palette_;
};

// Image format settings: print colours, output folder, format, depth and scale.
class CSettingsPictureOptionPage
    : public COptionPageSettingsImpl<CSettingsPictureOptionPage, OutputSettings> {
public:
    CSettingsPictureOptionPage();
    static const tamrik::MessageMap<CSettingsPictureOptionPage>& GetMessageMap();
    bool LoadControls();
    bool SaveControls();

private:
    LRESULT OnInitDialog(WPARAM, LPARAM);
    LRESULT OnScaleEdit(WORD code, WORD id, HWND control);
    LRESULT OnHScroll(WPARAM, LPARAM);
    LRESULT OnBrowse(WORD code, WORD id, HWND control);
};

// Other settings: clipboard, mouse pointer, capture delay, the word after
// saving, and start at sign-in (which the sheet keeps, not the group).
class CSettingsExtrasOptionPage : public COptionPageSettingsImpl<CSettingsExtrasOptionPage, ExtrasSettings> {
public:
    CSettingsExtrasOptionPage();
    static const tamrik::MessageMap<CSettingsExtrasOptionPage>& GetMessageMap();
    bool LoadControls();
    bool SaveControls();

private:
    LRESULT OnInitDialog(WPARAM, LPARAM);
};

// The easy page: a few choices mapped onto several groups of the record.
class CSettingsSimpleOptionPage : public COptionPageSettingsImpl<CSettingsSimpleOptionPage, ORBILUXSetting> {
public:
    CSettingsSimpleOptionPage();
    static const tamrik::MessageMap<CSettingsSimpleOptionPage>& GetMessageMap();
    bool LoadControls();
    bool SaveControls();

private:
    LRESULT OnInitDialog(WPARAM, LPARAM);
    LRESULT OnDefaultPrinter(WORD code, WORD id, HWND control);
};

// Brings the desktop and then the sheet to the foreground around a common dialog.
void ForegroundDesktopThenSheet(HWND sheet);
// A string-table string with its "%u" places filled in, in order.
std::wstring FormatStringTable(UINT id, unsigned first, unsigned second = 0);
// Refuses a value: a warning owned by the page and captioned with its title
// says why, then the control takes the focus with its text selected. Nothing
// is said while the sheet is being cancelled.
void RefuseControl(COptionPage& page, int id, const std::wstring& why);
// Refuses a number field whose value is not a number from low to high.
void RefuseNumber(COptionPage& page, int id, unsigned low, unsigned high);
// The items of a string-table string split at ";".
std::vector<std::wstring> StringTableItems(UINT id);

}  // namespace orbilux
