// The option sheet framework: a dialog with a tree of pages on the left, a
// banner with the caption of the selected page above the page area, the page
// itself and the OK / Cancel / Apply buttons the style flags ask for. Pages are
// child dialogs bound to one settings sub-record each.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "settings/settings.h"
#include "settings/settings_storage.h"
#include "window/raii.h"
#include "window/window_impl.h"

namespace orbilux {

class COptionPage;
class COptionSheet;

// One tree entry: its caption and its page.
class COptionItem {
public:
    COptionItem(std::wstring caption, COptionPage* page) : caption_(std::move(caption)), page_(page) {}
    virtual ~COptionItem() = default;

    // The entry's own caption, or the page window's title when it has none.
    std::wstring Caption() const;
    COptionPage* Page() const { return page_; }

private:
    std::wstring caption_;
    COptionPage* page_;
};

// A tree entry whose page edits one settings sub-record.
class COptionItemSettings : public COptionItem {
public:
    COptionItemSettings(std::wstring caption, COptionPage* page, CSettings* settings)
        : COptionItem(std::move(caption), page), settings_(settings) {}
    CSettings* Settings() const { return settings_; }

private:
    CSettings* settings_;
};

// Base of every page: a child dialog of the sheet.
class COptionPage : public tamrik::CDialogImplBase {
public:
    explicit COptionPage(UINT templateId) : CDialogImplBase(templateId) {}
    ~COptionPage() override = default;

    // Binds to the entry's sub-record and fills the controls from it.
    virtual bool OnSetActive(COptionItem* item) = 0;
    // Moves the controls into the sub-record and validates them.
    virtual bool OnApply(COptionItem* item) = 0;

    // Creates the page window, hidden, as a child of the sheet.
    bool CreatePage(COptionSheet& sheet);
    COptionSheet* Sheet() const { return sheet_; }

protected:
    COptionSheet* sheet_ = nullptr;
};

// A page bound to one settings class. TPage supplies GetMessageMap(),
// LoadControls() and SaveControls().
template <class TPage, class TSettings>
class COptionPageSettingsImpl : public COptionPage {
public:
    using COptionPage::COptionPage;

    bool OnSetActive(COptionItem* item) override {
        auto* entry = dynamic_cast<COptionItemSettings*>(item);
        auto* settings = entry ? dynamic_cast<TSettings*>(entry->Settings()) : nullptr;
        if (!settings) return false;
        settings_ = settings;
        return static_cast<TPage*>(this)->LoadControls();
    }
    bool OnApply(COptionItem*) override {
        if (!settings_) return true;
        return static_cast<TPage*>(this)->SaveControls();
    }
    TSettings* Bound() const { return settings_; }

protected:
    bool ProcessWindowMessage(const tamrik::WindowMessage& message, LRESULT& result) override {
        return TPage::GetMessageMap().Dispatch(static_cast<TPage&>(*this), message, result);
    }

    TSettings* settings_ = nullptr;
};

// The tree that selects the page.
class COptionSelectionTreeCtrl {
public:
    bool Create(HWND parent, int id);
    HWND Handle() const { return hwnd_; }
    // Adds a top-level entry carrying `index`; false on failure.
    bool Add(const std::wstring& caption, size_t index);
    bool Select(size_t index);
    size_t Count() const { return items_.size(); }
    // The index an entry handle carries, or -1.
    static int IndexOf(const TVITEMW& item) { return item.hItem ? int(item.lParam) : -1; }

private:
    HWND hwnd_ = nullptr;
    std::vector<HTREEITEM> items_;
};

// Places the tree on the left, the banner over the page area and the buttons
// under it, and draws the banner.
class COptionSelectionLayoutTreeBanner {
public:
    bool Create(HWND sheet);
    // Makes the tree's and the banner's fonts again from the sheet's (after a DPI change).
    void UpdateFonts(HWND sheet);
    // Sizes the sheet so that a page of the given size fits and moves every part.
    void Arrange(HWND sheet, SIZE pageSize, const std::vector<HWND>& buttons);
    RECT PageRect() const { return pageRect_; }
    COptionSelectionTreeCtrl& Tree() { return tree_; }
    HWND Banner() const { return banner_; }
    void SetBannerText(const std::wstring& text);
    const std::wstring& BannerText() const { return bannerText_; }
    void DrawBanner(const DRAWITEMSTRUCT& draw) const;

private:
    COptionSelectionTreeCtrl tree_;
    HWND banner_ = nullptr;
    tamrik::UniqueFont bannerFont_;
    std::wstring bannerText_;
    RECT pageRect_{};
};

// The sheet: pages in a tree, run modally or created modeless.
class COptionSheet : public tamrik::CDialogImplBase {
public:
    static constexpr DWORD kButtonOk = 0x20;
    static constexpr DWORD kButtonCancel = 0x40;
    static constexpr DWORD kButtonApply = 0x80;
    static constexpr int kApplyCommand = 12321;
    static constexpr INT_PTR kInitFailed = 3;

    COptionSheet();
    ~COptionSheet() override;

    void SetTitle(std::wstring title) { title_ = std::move(title); }
    const std::wstring& Title() const { return title_; }
    void SetStyleFlags(DWORD flags) { styleFlags_ = flags; }
    DWORD StyleFlags() const { return styleFlags_; }

    // Entries in tree order.
    COptionItem* AddItem(std::unique_ptr<COptionItem> item);
    size_t ItemCount() const { return items_.size(); }
    COptionItem* ItemAt(size_t index) const { return items_[index].get(); }
    COptionItem* CurrentItem() const { return current_; }
    // Selects an entry as a click in the tree would; false when the current
    // page refused to be left.
    bool SelectItem(size_t index);
    // True while Cancel lets the current page take its values one last time:
    // a page that refuses them then has nothing to tell the user.
    bool Cancelling() const { return cancelling_; }
    HWND TreeWindow() const { return layout_.Tree().Handle(); }
    const std::wstring& BannerText() const { return layout_.BannerText(); }
    RECT PageRect() const { return layout_.PageRect(); }

protected:
    // First set-up: derived sheets create their pages and add their entries,
    // then call this, which builds the tree, selects the first entry, sizes,
    // titles and centres the sheet.
    virtual bool DoInit(bool first);
    // Called after the selection moved to another entry.
    virtual void OnPageChanged(COptionItem* from, COptionItem* to) {}
    // The working copy is handed to its target (OK and Apply); false when it
    // could not be saved.
    virtual bool StoreWorkingCopy() { return true; }
    // Applies every page shown so far, the current one first. A page that
    // refuses has said why (beep, focus, message); a refusing page that is not
    // the current one is brought up. True when every page accepted.
    bool ApplyAllPages();
    virtual LRESULT OnOK(WORD code, WORD id, HWND control);
    virtual LRESULT OnApplyCommand(WORD code, WORD id, HWND control);
    virtual LRESULT OnCancel(WORD code, WORD id, HWND control);
    // True lets the selection change.
    virtual bool OnSelectionChanging(COptionItem* from, COptionItem* to);
    virtual void OnSelectionChanged(COptionItem* to);

    bool ProcessWindowMessage(const tamrik::WindowMessage& message, LRESULT& result) override;
    void OnDpiChanged(UINT dpi) override;

    std::vector<COptionPage*> pages_;  // every page window the sheet created

private:
    static const tamrik::MessageMap<COptionSheet>& GetMessageMap();
    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);
    LRESULT OnNotify(WPARAM wParam, LPARAM lParam);
    LRESULT OnDrawItem(WPARAM wParam, LPARAM lParam);
    LRESULT OnSysCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnHelp(WPARAM wParam, LPARAM lParam);
    // Sizes the sheet for its largest page and places every part and page.
    bool Arrange();

    std::wstring title_;
    DWORD styleFlags_ = kButtonOk | kButtonCancel | kButtonApply;
    std::vector<std::unique_ptr<COptionItem>> items_;
    std::vector<HWND> buttons_;        // OK / Cancel / Apply as the style flags keep them
    std::vector<COptionItem*> shown_;  // entries whose page has been shown, in order
    COptionItem* current_ = nullptr;
    bool cancelling_ = false;
    mutable COptionSelectionLayoutTreeBanner layout_;
};

// A sheet that edits a working copy of a settings record and, on OK, copies
// it into the live record and saves that to the storage. Until every page
// accepts its values, neither the live record nor the storage changes.
template <class T>
class COptionSheetSettings : public COptionSheet {
public:
    void SetTarget(T* live, CSettingsStorage* storage) {
        live_ = live;
        storage_ = storage;
    }
    T& Working() { return working_; }
    T* Live() const { return live_; }
    // True after a save of the working copy failed.
    bool SaveFailed() const { return saveFailed_; }

protected:
    bool StoreWorkingCopy() override {
        if (!live_) return true;
        *live_ = working_;
        saveFailed_ = storage_ && !live_->Save(*storage_);
        return !saveFailed_;
    }

    T* live_ = nullptr;
    bool saveFailed_ = false;
    CSettingsStorage* storage_ = nullptr;
    T working_;
};

// The layout of the program's sheet.
using COptionSheetLayoutImpl = COptionSelectionLayoutTreeBanner;

}  // namespace orbilux
