// The print settings page judges the page its values leave: no body is
// refused like a bad number, no room for one line of text is warned about.
#include <gtest/gtest.h>

#include "print/win32/print_job.h"
#include "tests/win32/ui_test_support.h"
#include "window/message_loop.h"

using namespace uitest;

namespace {

// Answers the program's message box while its own loop runs, keeping its text.
struct MessageWatch {
    static std::vector<std::wstring> texts;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        HWND box = ::FindWindowW(L"#32770", L"Tamrik");
        if (!box) return;
        wchar_t buffer[512] = {};
        ::GetDlgItemTextW(box, 0xFFFF, buffer, 512);
        texts.push_back(buffer);
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    UINT_PTR timer;
    MessageWatch() {
        texts.clear();
        timer = ::SetTimer(nullptr, 0, 50, &Tick);
    }
    ~MessageWatch() { ::KillTimer(nullptr, timer); }
};
std::vector<std::wstring> MessageWatch::texts;

std::wstring StringResource(UINT id) {
    wchar_t text[512] = {};
    ::LoadStringW(tamrik::ResourceInstance(), id, text, 512);
    return text;
}

constexpr size_t kLayoutPage = 2;

// Gaps count only beside a band: both templates have a line.
void WithBands(ORBILUXSetting& settings) {
    settings.simpleMode = false;
    settings.format_.headStrings = {L"HEAD $page"};
    settings.format_.footStrings = {L"FOOT"};
}

}  // namespace

TEST(UiLayoutPage, ValuesThatLeaveNoBodyAreRefusedWithTheReason) {
    SheetHarness h;
    WithBands(h.live);
    ASSERT_TRUE(h.Open());
    HWND page = h.Page(kLayoutPage);
    ::SetDlgItemTextW(page, IDC_MARGIN_FOOT, L"300");
    {
        MessageWatch watch;
        h.PressOk();
        Pump(200);
        ASSERT_EQ(MessageWatch::texts.size(), 1u);
        EXPECT_EQ(MessageWatch::texts[0], StringResource(IDS_LAYOUT_NO_BODY));
        // It says why: the picture has no place (Japanese or neutral resources).
        const std::wstring& text = MessageWatch::texts[0];
        EXPECT_TRUE(text.find(L"\u753b\u50cf") != std::wstring::npos ||
                    text.find(L"picture") != std::wstring::npos)
            << std::string(text.begin(), text.end());
    }
    EXPECT_TRUE(h.IsOpen());
    EXPECT_EQ(::GetFocus(), ::GetDlgItem(page, IDC_MARGIN_FOOT));
    // Leaving the page is refused the same way.
    {
        MessageWatch watch;
        EXPECT_FALSE(h.sheet->SelectItem(kLayoutPage + 1));
        Pump(200);
        EXPECT_EQ(MessageWatch::texts.size(), 1u);
    }
    // Cancel closes without a message.
    {
        MessageWatch watch;
        h.PressCancel();
        Pump(200);
        EXPECT_TRUE(MessageWatch::texts.empty());
    }
    EXPECT_FALSE(h.IsOpen());

    // A value that leaves a body is taken.
    ASSERT_TRUE(h.Open());
    page = h.Page(kLayoutPage);
    ::SetDlgItemTextW(page, IDC_MARGIN_FOOT, L"30");
    {
        MessageWatch watch;
        h.PressOk();
        Pump(200);
        EXPECT_TRUE(MessageWatch::texts.empty());
    }
    EXPECT_FALSE(h.IsOpen());
    EXPECT_EQ(h.live.printer_.marginFoot, 30);
}

TEST(UiLayoutPage, ValuesThatLeaveNoLineOfTextWarnOnceAndAreTaken) {
    SheetHarness h;
    WithBands(h.live);
    // A header gap that keeps a body but leaves no line for the Text pages.
    ORBILUXSetting trial = h.live;
    int gap = -1;
    for (int mm = 150; mm <= 300 && gap < 0; ++mm) {
        trial.printer_.marginHead = mm;
        const PageRoom room = RoomForSettings(trial);
        if (room.body && !room.text) gap = mm;
    }
    ASSERT_GT(gap, 0);

    ASSERT_TRUE(h.Open());
    HWND page = h.Page(kLayoutPage);
    ::SetDlgItemTextW(page, IDC_MARGIN_HEAD, std::to_wstring(gap).c_str());
    {
        MessageWatch watch;
        EXPECT_TRUE(h.sheet->SelectItem(kLayoutPage + 1));
        Pump(200);
        ASSERT_EQ(MessageWatch::texts.size(), 1u);
        EXPECT_EQ(MessageWatch::texts[0], StringResource(IDS_LAYOUT_NO_TEXT_ROOM));
    }
    // The same values again: no second warning.
    page = h.Page(kLayoutPage);
    {
        MessageWatch watch;
        h.PressOk();
        Pump(200);
        EXPECT_TRUE(MessageWatch::texts.empty());
    }
    EXPECT_FALSE(h.IsOpen());
    EXPECT_EQ(h.live.printer_.marginHead, gap);
}
