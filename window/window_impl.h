// Window and dialog implementation bases. A derived class supplies its message
// map; what the map does not take goes to DefWindowProc (windows) or to the
// platform's default dialog processing (dialogs).
#pragma once

#include <windows.h>

#include <string>

#include "window/message_map.h"

namespace tamrik {

// Shared by windows and dialogs: the handle and a few helpers on it.
class CWindowBase {
public:
    virtual ~CWindowBase() = default;
    HWND Handle() const { return hwnd_; }
    bool IsWindow() const { return hwnd_ && ::IsWindow(hwnd_); }
    bool DestroyWindow();
    // Centres on the parent when it is visible and not minimised, otherwise in the work
    // area of the nearest monitor; keeps the window inside that work area. No activation.
    bool CenterWindow(HWND parent = nullptr);
    std::wstring GetText() const;
    HWND Item(int id) const { return ::GetDlgItem(hwnd_, id); }

protected:
    // Returns true when the message was handled, with its result in `result`.
    virtual bool ProcessWindowMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                      LRESULT& result) = 0;
    // Called after the last message (WM_NCDESTROY); the object may delete itself here.
    virtual void OnFinalMessage(HWND hwnd) {}

    HWND hwnd_ = nullptr;
};

// Fixed traits of a window class: its registered name, class style and the
// window styles used by Create.
struct WindowTraits {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
    UINT classStyle = 0;
};

class CWindowImplBase : public CWindowBase {
public:
    HWND Create(HWND parent, const RECT& rect, const wchar_t* title = nullptr);

protected:
    virtual WindowTraits Traits() const = 0;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
};

class CDialogImplBase : public CWindowBase {
public:
    explicit CDialogImplBase(UINT templateId) : templateId_(templateId) {}
    UINT TemplateId() const { return templateId_; }

    // Modal: runs until EndDialog and returns its code (-1 when the dialog failed).
    INT_PTR DoModal(HWND owner);
    // Modeless: returns the window, or null when the dialog could not be made.
    HWND Create(HWND parent);
    // Ends a modal dialog; a modeless one is destroyed instead.
    bool EndDialog(INT_PTR code);

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    UINT templateId_;
    bool modal_ = false;
};

// Typed bases: route messages through T::GetMessageMap().
template <class T>
class CWindowImpl : public CWindowImplBase {
protected:
    bool ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        return T::GetMessageMap().Dispatch(static_cast<T&>(*this), message, wParam, lParam, result);
    }
};

template <class T>
class CDialogImpl : public CDialogImplBase {
public:
    explicit CDialogImpl(UINT templateId) : CDialogImplBase(templateId) {}

protected:
    bool ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        return T::GetMessageMap().Dispatch(static_cast<T&>(*this), message, wParam, lParam, result);
    }
};

}  // namespace tamrik
