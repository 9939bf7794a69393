// The header and footer line editor on the format page and its token palette.
#include <gtest/gtest.h>

#include "settings_ui/win32/tool_dlg.h"
#include "tests/win32/ui_test_support.h"

using namespace uitest;

namespace {

using Lines = std::vector<std::wstring>;

struct FormatPageHarness : SheetHarness {
    FormatPageHarness(Lines head, Lines foot) {
        live.simpleMode = false;
        live.format_.headStrings = std::move(head);
        live.format_.footStrings = std::move(foot);
    }
    bool OpenFormatPage() {
        if (!Open()) return false;
        page = Page(3);
        return true;
    }
    CSettingsFormatOptionPage& Format() { return sheet->FormatPage(); }
    CEditListBox& Head() { return Format().HeadList(); }
    HWND HeadList() { return Head().Handle(); }
    HWND page = nullptr;
};

}  // namespace

TEST(UiLineEditor, ThePlaceholderRowIsInvisibleToTheListsUsers) {
    FormatPageHarness h({L"\\L$date", L"$page / $maxpage"}, {});
    ASSERT_TRUE(h.OpenFormatPage());
    HWND list = h.HeadList();
    EXPECT_EQ(::SendMessageW(list, LB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(::SendMessageW(list, LB_GETTEXTLEN, 2, 0), LB_ERR);
    wchar_t text[64] = {};
    EXPECT_EQ(::SendMessageW(list, LB_GETTEXT, 2, LPARAM(text)), LB_ERR);
    EXPECT_EQ(::SendMessageW(list, LB_DELETESTRING, 2, 0), LB_ERR);
    // The footer list is empty but still shows its placeholder row.
    EXPECT_EQ(::SendMessageW(h.Format().FootList().Handle(), LB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(h.Head().PlaceholderRow(), L"[ ... ]");

    ::SendMessageW(list, LB_INSERTSTRING, WPARAM(-1), LPARAM(L"end"));
    ::SendMessageW(list, LB_INSERTSTRING, 99, LPARAM(L"later"));
    ::SendMessageW(list, LB_ADDSTRING, 0, LPARAM(L"added"));
    EXPECT_EQ(h.Head().Lines(), (Lines{L"\\L$date", L"$page / $maxpage", L"end", L"later", L"added"}));
    ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
    EXPECT_EQ(::SendMessageW(list, LB_GETCOUNT, 0, 0), 0);
    ::SendMessageW(list, LB_ADDSTRING, 0, LPARAM(L"one"));
    ::SendMessageW(list, LB_ADDSTRING, 0, LPARAM(L"two"));
    h.PressOk();
    ASSERT_FALSE(h.IsOpen());
    EXPECT_EQ(h.live.format_.headStrings, (Lines{L"one", L"two"}));
    EXPECT_TRUE(h.live.format_.footStrings.empty());
}

TEST(UiLineEditor, ClearingALineAndLeavingTheEditorDeletesIt) {
    FormatPageHarness h({L"first", L"second", L"third"}, {});
    ASSERT_TRUE(h.OpenFormatPage());
    h.Head().EditItem(1);
    ASSERT_TRUE(h.Head().IsEditing());
    EXPECT_EQ(TextOf(h.Head().EditControl()), L"second");
    EXPECT_EQ(HWND(::SendMessageW(h.HeadList(), CEditListBox::EditControlMessage(), 0, 0)),
              h.Head().EditControl());
    ::SetWindowTextW(h.Head().EditControl(), L"");
    ::SetFocus(::GetDlgItem(h.page, IDC_FONT_SIZE));
    Pump(20);
    EXPECT_FALSE(h.Head().IsEditing());
    EXPECT_EQ(h.Head().Lines(), (Lines{L"first", L"third"}));

    // Escape on a new line puts back its empty text, and the empty line goes.
    h.Head().NewItem();
    ASSERT_TRUE(h.Head().IsEditing());
    ::SetWindowTextW(h.Head().EditControl(), L"typed");
    ::SendMessageW(h.Head().EditControl(), WM_KEYDOWN, VK_ESCAPE, 0);
    Pump(20);
    EXPECT_FALSE(h.Head().IsEditing());
    EXPECT_EQ(h.Head().Lines(), (Lines{L"first", L"third"}));

    // An edited line keeps its place and its selection.
    h.Head().EditItem(0);
    ::SetWindowTextW(h.Head().EditControl(), L"changed");
    ::SendMessageW(h.Head().EditControl(), WM_KEYDOWN, VK_RETURN, 0);
    Pump(20);
    EXPECT_EQ(h.Head().Lines(), (Lines{L"changed", L"third"}));
    EXPECT_EQ(::SendMessageW(h.HeadList(), LB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(::GetFocus(), h.HeadList());
}

TEST(UiLineEditor, MovingAndDeletingLines) {
    FormatPageHarness h({L"a", L"b", L"c"}, {});
    ASSERT_TRUE(h.OpenFormatPage());
    HWND list = h.HeadList();
    ::SetFocus(list);
    ::SendMessageW(list, LB_SETCURSEL, 0, 0);
    h.Head().MoveUp();  // first line: nothing
    EXPECT_EQ(h.Head().Lines(), (Lines{L"a", L"b", L"c"}));
    ::SendMessageW(list, LB_SETCURSEL, 2, 0);
    h.Head().MoveDown();  // last line: nothing
    EXPECT_EQ(h.Head().Lines(), (Lines{L"a", L"b", L"c"}));
    ::SendMessageW(list, LB_SETCURSEL, 3, 0);  // the placeholder row moves nowhere
    h.Head().MoveUp();
    h.Head().DeleteItem();
    EXPECT_EQ(h.Head().Lines(), (Lines{L"a", L"b", L"c"}));

    // Alt+Up and Alt+Down from the keyboard; the selection follows the line.
    ::SendMessageW(list, LB_SETCURSEL, 2, 0);
    PressKeys({VK_MENU, VK_UP});
    Pump(100, h.Sheet());
    EXPECT_EQ(h.Head().Lines(), (Lines{L"a", L"c", L"b"}));
    EXPECT_EQ(::SendMessageW(list, LB_GETCURSEL, 0, 0), 1);
    ::SendMessageW(h.Head().Header(), WM_COMMAND, MAKEWPARAM(CEditListBox::kCommandDown, BN_CLICKED), 0);
    EXPECT_EQ(h.Head().Lines(), (Lines{L"a", L"b", L"c"}));
    PressKeys({VK_DELETE});
    Pump(100, h.Sheet());
    EXPECT_EQ(h.Head().Lines(), (Lines{L"a", L"b"}));
}

TEST(UiLineEditor, PaletteTypesTokensWithoutTakingActivationAndEnterEndsEditing) {
    FormatPageHarness h({}, {L"footer"});
    ASSERT_TRUE(h.OpenFormatPage());
    CToolDlg& palette = h.Format().Palette();
    EXPECT_FALSE(palette.IsVisible());

    // Insert starts a new line; the palette shows beside the sheet.
    ::SetFocus(h.HeadList());
    PressKeys({VK_INSERT});
    Pump(100, h.Sheet());
    ASSERT_TRUE(h.Head().IsEditing());
    EXPECT_TRUE(palette.IsVisible());
    RECT sheetRect{}, paletteRect{};
    ::GetWindowRect(h.Sheet(), &sheetRect);
    ::GetWindowRect(palette.Handle(), &paletteRect);
    EXPECT_EQ(paletteRect.top, sheetRect.top);
    EXPECT_TRUE(paletteRect.left == sheetRect.right || paletteRect.right == sheetRect.left);
    // The footer's selection is cleared when the header list takes the focus.
    EXPECT_EQ(::SendMessageW(h.Format().FootList().Handle(), LB_GETCURSEL, 0, 0), LB_ERR);

    for (int id : {IDC_TOKEN_LEFT, IDC_TOKEN_DATE, IDC_TOKEN_SEPARATOR, IDC_TOKEN_MAXPAGE}) {
        ClickAt(::GetDlgItem(palette.Handle(), id));
        Pump(250, h.Sheet());
        EXPECT_NE(::GetActiveWindow(), palette.Handle());
        EXPECT_EQ(::GetFocus(), h.Head().EditControl()) << "token " << id;
    }
    EXPECT_EQ(TextOf(h.Head().EditControl()), L"\\L$date|$maxpage");
    EXPECT_FALSE(palette.Inserting());  // the contexts were given back after 100 ms

    ClickAt(::GetDlgItem(palette.Handle(), IDC_TOKEN_ENTER));
    Pump(250, h.Sheet());
    EXPECT_FALSE(h.Head().IsEditing());
    EXPECT_TRUE(h.IsOpen());
    EXPECT_EQ(h.Head().Lines(), (Lines{L"\\L$date|$maxpage"}));
    EXPECT_NE(::GetActiveWindow(), palette.Handle());

    // Enter from the keyboard ends the editing too, and does not close the sheet.
    ::SetForegroundWindow(h.Sheet());
    h.Head().EditItem(0);
    PressKeys({VK_END});
    TypeText(L"!");
    PressKeys({VK_RETURN});
    Pump(150, h.Sheet());
    EXPECT_FALSE(h.Head().IsEditing());
    EXPECT_TRUE(h.IsOpen());
    EXPECT_EQ(h.Head().Lines(), (Lines{L"\\L$date|$maxpage!"}));

    // Leaving the lists hides the palette.
    ::SetFocus(::GetDlgItem(h.page, IDC_FONT_SIZE));
    Pump(50, h.Sheet());
    EXPECT_FALSE(palette.IsVisible());
    h.PressOk();
    ASSERT_FALSE(h.IsOpen());
    EXPECT_EQ(h.live.format_.headStrings, (Lines{L"\\L$date|$maxpage!"}));
    EXPECT_EQ(h.live.format_.footStrings, (Lines{L"footer"}));
}

TEST(UiLineEditor, TypedTextReachesTheFocusedEditIncludingJapanese) {
    FormatPageHarness h({L"x"}, {});
    ASSERT_TRUE(h.OpenFormatPage());
    h.Head().EditItem(0);
    ::SetWindowTextW(h.Head().EditControl(), L"");
    EXPECT_GT(TypeText(L"Aa$|日本"), 0u);
    Pump(150, h.Sheet());
    EXPECT_EQ(TextOf(h.Head().EditControl()), L"Aa$|日本");
    EXPECT_EQ(PaletteToken(IDC_TOKEN_ENTER), L"\r");
    EXPECT_EQ(PaletteToken(IDC_TOKEN_COMPUTER), L"$computer");
}
