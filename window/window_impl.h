// Window, dialog and control-subclass bases. A derived class supplies its
// message map; what the map does not take, or a handler declines, goes to
// DefWindowProc (windows), the platform's default dialog processing (dialogs)
// or the control's own window procedure (subclassed controls).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "window/message_map.h"

namespace tamrik {

// Shared by windows and dialogs: the handle and a few helpers on it.
// Not copyable: the window procedure holds the object's address.
class CWindowBase : public CMessageTarget {
public:
    HWND Handle() const { return hwnd_; }
    bool IsWindow() const { return hwnd_ && ::IsWindow(hwnd_); }
    bool DestroyWindow();
    // Centres on the parent when it is visible and not minimised, otherwise in the work
    // area of the nearest monitor; keeps the window inside that work area. No activation.
    bool CenterWindow(HWND parent = nullptr);
    std::wstring GetText() const;  // any length
    HWND Item(int id) const { return ::GetDlgItem(hwnd_, id); }

protected:
    // Returns true when the message was handled, with its result in `result`.
    virtual bool ProcessWindowMessage(const WindowMessage& message, LRESULT& result) = 0;
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

protected:
    // The dialog moved to a monitor of another DPI (WM_DPICHANGED) and has been
    // placed in the rectangle the system suggests; sizes the dialog keeps in
    // pixels are made again here. The dialog manager has already scaled the
    // template's controls and font.
    virtual void OnDpiChanged(UINT dpi) {}

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Default processing from inside a handler: the dialog window's own procedure,
    // which asks DialogProc first; that nested call is answered "not handled".
    static LRESULT DefaultDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    bool DispatchDialogMessage(const WindowMessage& message, LRESULT& result);

    UINT templateId_;
    bool modal_ = false;
    bool passingOn_ = false;
};

// Subclasses controls (SetWindowSubclass) and routes their messages through a
// message map of T; what the map does not take goes on to the control. One
// object may subclass several controls, each with its own map. The subclasses
// go with the control (WM_NCDESTROY) or with the object, whichever is first.
class CSubclassBase : public CMessageTarget {
public:
    ~CSubclassBase() override;

protected:
    // Sends a message to a subclassed control past every map of this object.
    LRESULT SendUnfiltered(HWND control, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    bool Subclass(HWND control, UINT_PTR key);
    // Gives every control back; a derived destructor calls this before its members go.
    void UnsubclassAll();
    virtual bool Route(UINT_PTR key, const WindowMessage& message, LRESULT& result) = 0;

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR key,
                                         DWORD_PTR self);

    struct Attached {
        HWND control;
        UINT_PTR key;
    };
    std::vector<Attached> attached_;
    mutable int unfiltered_ = 0;  // > 0 while SendUnfiltered talks to a control
};

template <class T>
class CSubclassImpl : public CSubclassBase {
protected:
    bool SubclassControl(HWND control, const MessageMap<T>& map) {
        return Subclass(control, reinterpret_cast<UINT_PTR>(&map));
    }

private:
    bool Route(UINT_PTR key, const WindowMessage& message, LRESULT& result) override {
        return reinterpret_cast<const MessageMap<T>*>(key)->Dispatch(static_cast<T&>(*this), message, result);
    }
};

// Typed bases: route messages through T::GetMessageMap().
template <class T>
class CWindowImpl : public CWindowImplBase {
protected:
    bool ProcessWindowMessage(const WindowMessage& message, LRESULT& result) override {
        return T::GetMessageMap().Dispatch(static_cast<T&>(*this), message, result);
    }
};

template <class T>
class CDialogImpl : public CDialogImplBase {
public:
    explicit CDialogImpl(UINT templateId) : CDialogImplBase(templateId) {}

protected:
    bool ProcessWindowMessage(const WindowMessage& message, LRESULT& result) override {
        return T::GetMessageMap().Dispatch(static_cast<T&>(*this), message, result);
    }
};

}  // namespace tamrik
