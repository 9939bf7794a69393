// Dialog data exchange: moves values between dialog controls and variables.
// Load (save = false) fills the controls; save reads them back and validates.
// A failed validation beeps, focuses the control, selects its text and makes
// the exchange report false.
#pragma once

#include <windows.h>

#include <string>

namespace tamrik {

class CDataExchange {
public:
    CDataExchange(HWND dialog, bool save) : dialog_(dialog), save_(save) {}

    bool Saving() const { return save_; }
    // False after the first failed validation; later exchanges are skipped.
    bool Ok() const { return ok_; }

    void Text(int id, std::wstring& value);
    // Text limited to maxLength characters (the control also refuses longer input).
    void Text(int id, std::wstring& value, int maxLength);
    void Int(int id, int& value, int minValue, int maxValue);
    void UInt(int id, unsigned& value, unsigned minValue, unsigned maxValue);
    void Check(int id, bool& value);
    // A group of radio buttons with consecutive ids; value is the index of the checked one.
    void Radio(int firstId, int count, int& value);
    // Selected index of a combo box (-1 for none).
    void ComboIndex(int id, int& index);
    // Position of a track bar or up-down control.
    void Position(int id, int& value, bool trackBar);

    // Marks the control as failed: beep, focus, select its text.
    void Fail(int id);

    static std::wstring ControlText(HWND control);

private:
    HWND dialog_;
    bool save_;
    bool ok_ = true;
};

// Parses a whole decimal number with optional sign and surrounding blanks.
bool ParseInteger(const std::wstring& text, long long& value);

}  // namespace tamrik
