#include "window/ddx.h"

#include <commctrl.h>

#include <cwctype>

#include "window/helpers.h"

namespace tamrik {

std::wstring CDataExchange::ControlText(HWND control) {
    return WindowText(control);
}

bool ParseInteger(const std::wstring& text, long long& value) {
    size_t i = 0;
    while (i < text.size() && std::iswspace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) negative = text[i++] == L'-';
    const size_t digitsStart = i;
    unsigned long long magnitude = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        magnitude = magnitude * 10 + unsigned(text[i] - L'0');
        if (magnitude > (1ULL << 40)) return false;  // far beyond any field's range
    }
    if (i == digitsStart) return false;
    while (i < text.size() && std::iswspace(text[i])) ++i;
    if (i != text.size()) return false;
    value = negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
    return true;
}

void CDataExchange::Fail(int id) {
    ok_ = false;
    ::MessageBeep(MB_ICONEXCLAMATION);
    HWND control = ::GetDlgItem(dialog_, id);
    if (control) {
        ::SetFocus(control);
        ::SendMessageW(control, EM_SETSEL, 0, -1);
    }
}

void CDataExchange::Text(int id, std::wstring& value) {
    if (!ok_) return;
    HWND control = ::GetDlgItem(dialog_, id);
    if (save_)
        value = ControlText(control);
    else
        ::SetWindowTextW(control, value.c_str());
}

void CDataExchange::Text(int id, std::wstring& value, int maxLength) {
    if (!ok_) return;
    HWND control = ::GetDlgItem(dialog_, id);
    if (!save_) ::SendMessageW(control, EM_LIMITTEXT, WPARAM(maxLength), 0);
    if (save_) {
        std::wstring text = ControlText(control);
        if (text.size() > size_t(maxLength)) return Fail(id);
        value = text;
    } else {
        ::SetWindowTextW(control, value.c_str());
    }
}

void CDataExchange::Int(int id, int& value, int minValue, int maxValue) {
    if (!ok_) return;
    HWND control = ::GetDlgItem(dialog_, id);
    if (!save_) {
        ::SetWindowTextW(control, std::to_wstring(value).c_str());
        return;
    }
    long long parsed = 0;
    if (!ParseInteger(ControlText(control), parsed) || parsed < minValue || parsed > maxValue)
        return Fail(id);
    value = static_cast<int>(parsed);
}

void CDataExchange::UInt(int id, unsigned& value, unsigned minValue, unsigned maxValue) {
    if (!ok_) return;
    HWND control = ::GetDlgItem(dialog_, id);
    if (!save_) {
        ::SetWindowTextW(control, std::to_wstring(value).c_str());
        return;
    }
    long long parsed = 0;
    if (!ParseInteger(ControlText(control), parsed) || parsed < 0 || parsed < (long long)minValue ||
        parsed > (long long)maxValue)
        return Fail(id);
    value = static_cast<unsigned>(parsed);
}

void CDataExchange::Check(int id, bool& value) {
    if (!ok_) return;
    if (save_)
        value = ::IsDlgButtonChecked(dialog_, id) == BST_CHECKED;
    else
        ::CheckDlgButton(dialog_, id, value ? BST_CHECKED : BST_UNCHECKED);
}

void CDataExchange::Radio(int firstId, int count, int& value) {
    if (!ok_) return;
    if (save_) {
        value = -1;
        for (int i = 0; i < count; ++i)
            if (::IsDlgButtonChecked(dialog_, firstId + i) == BST_CHECKED) value = i;
    } else {
        for (int i = 0; i < count; ++i)
            ::CheckDlgButton(dialog_, firstId + i, i == value ? BST_CHECKED : BST_UNCHECKED);
    }
}

void CDataExchange::ComboIndex(int id, int& index) {
    if (!ok_) return;
    HWND control = ::GetDlgItem(dialog_, id);
    if (save_)
        index = static_cast<int>(::SendMessageW(control, CB_GETCURSEL, 0, 0));
    else
        ::SendMessageW(control, CB_SETCURSEL, WPARAM(index), 0);
}

void CDataExchange::Position(int id, int& value, bool trackBar) {
    if (!ok_) return;
    HWND control = ::GetDlgItem(dialog_, id);
    if (trackBar) {
        if (save_)
            value = static_cast<int>(::SendMessageW(control, TBM_GETPOS, 0, 0));
        else
            ::SendMessageW(control, TBM_SETPOS, TRUE, value);
    } else {
        if (save_)
            value = static_cast<int>(::SendMessageW(control, UDM_GETPOS32, 0, 0));
        else
            ::SendMessageW(control, UDM_SETPOS32, 0, value);
    }
}

}  // namespace tamrik
