#include "app/win32/about_dlg.h"

#include <cstdio>
#include <vector>

#include "resources/resource.h"

namespace orbilux {

bool CFileVersionInfo::Open(HMODULE module) {
    values_.clear();
    wchar_t path[MAX_PATH + 1] = {};
    if (!::GetModuleFileNameW(module, path, MAX_PATH)) return false;
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path, &ignored);
    if (!size) return false;
    std::vector<uint8_t> block(size);
    if (!::GetFileVersionInfoW(path, 0, size, block.data())) return false;

    const WORD* translation = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", (void**)&translation, &length) ||
        length < 2 * sizeof(WORD))
        return false;
    wchar_t prefix[64];
    swprintf(prefix, 64, L"\\StringFileInfo\\%04X%04X\\", translation[0], translation[1]);

    static const wchar_t* const names[] = {L"CompanyName",     L"FileDescription", L"FileVersion",
                                           L"InternalName",    L"LegalCopyright",  L"OriginalFileName",
                                           L"ProductName",     L"ProductVersion",  L"Comments",
                                           L"LegalTrademarks", L"PrivateBuild",    L"SpecialBuild"};
    for (const wchar_t* name : names) {
        const std::wstring query = std::wstring(prefix) + name;
        const wchar_t* text = nullptr;
        UINT chars = 0;
        if (::VerQueryValueW(block.data(), query.c_str(), (void**)&text, &chars) && text)
            values_[name] = std::wstring(text, chars && !text[chars - 1] ? chars - 1 : chars);
    }
    return true;
}

std::wstring CFileVersionInfo::Get(const std::wstring& name) const {
    auto it = values_.find(name);
    return it == values_.end() ? std::wstring() : it->second;
}

std::wstring FormatVersionLine(const std::wstring& productVersion) {
    std::vector<std::wstring> parts;
    std::wstring current;
    for (wchar_t c : productVersion) {
        if (c == L'.' || c == L' ') {
            if (!current.empty()) parts.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) parts.push_back(current);
    if (parts.size() < 4) return std::wstring();
    return L"Version: " + parts[0] + L"." + parts[1] + L"." + parts[2] + L"." + parts[3];
}

CAboutDlg::CAboutDlg() : CDialogImpl(IDD_ABOUTBOX) {}

const tamrik::MessageMap<CAboutDlg>& CAboutDlg::GetMessageMap() {
    static const tamrik::MessageMap<CAboutDlg> map{
        {WM_INITDIALOG, &CAboutDlg::OnInitDialog},
        {tamrik::Command(IDOK), &CAboutDlg::OnClose},
        {tamrik::Command(IDCANCEL), &CAboutDlg::OnClose},
    };
    return map;
}

LRESULT CAboutDlg::OnInitDialog(WPARAM, LPARAM) {
    CenterWindow(::GetWindow(Handle(), GW_OWNER));
    CFileVersionInfo info;
    info.Open(nullptr);

    LOGFONTW description{};
    if (::GetObjectW(::GetStockObject(SYSTEM_FONT), sizeof(description), &description)) {
        productFont_.Reset(::CreateFontIndirectW(&description));
        if (productFont_)
            ::SendDlgItemMessageW(Handle(), IDC_ABOUT_PRODUCT, WM_SETFONT, WPARAM(productFont_.Get()), 0);
    }
    ::SetDlgItemTextW(Handle(), IDC_ABOUT_PRODUCT, info.Get(L"ProductName").c_str());
    ::SetDlgItemTextW(Handle(), IDC_ABOUT_VERSION, FormatVersionLine(info.Get(L"ProductVersion")).c_str());
    ::SetDlgItemTextW(Handle(), IDC_ABOUT_COPYRIGHT, info.Get(L"LegalCopyright").c_str());
    return 1;
}

LRESULT CAboutDlg::OnClose(WORD, WORD id, HWND) {
    EndDialog(id);
    return 0;
}

}  // namespace orbilux
