// The About box (dialog 100) and the reader of the program's version resource.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "window/raii.h"
#include "window/window_impl.h"

namespace orbilux {

// The string values of a module's version resource, in the first language and
// code page of its translation table.
class CFileVersionInfo {
public:
    bool Open(HMODULE module);
    // Empty when the value is absent.
    std::wstring Get(const std::wstring& name) const;

private:
    std::map<std::wstring, std::wstring> values_;
};

// "Version: a.b.c.d" from the first four parts of a version text split at '.'
// and ' ' (empty parts dropped); empty with fewer than four parts.
std::wstring FormatVersionLine(const std::wstring& productVersion);

class CAboutDlg : public tamrik::CDialogImpl<CAboutDlg> {
public:
    CAboutDlg();
    static const tamrik::MessageMap<CAboutDlg>& GetMessageMap();

private:
    LRESULT OnInitDialog(WPARAM, LPARAM);
    LRESULT OnClose(WORD, WORD id, HWND);

    tamrik::UniqueFont productFont_;  // made for the box, deleted after it closed
};

}  // namespace orbilux
