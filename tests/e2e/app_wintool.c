/* A small Windows console tool for the end-to-end tests: it finds windows by
 * caption, class or text from outside the program and sends them commands.
 * Built by app_lib.sh with the mingw compiler; run under the same Wine prefix. */
#include <windows.h>
#include <shellapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>

struct search {
    const wchar_t* text;
    const wchar_t* cls;
    HWND found;
    int count;
};

static BOOL CALLBACK child_has_text(HWND child, LPARAM lp) {
    struct search* s = (struct search*)lp;
    wchar_t buf[1024];
    GetWindowTextW(child, buf, 1024);
    if (wcscmp(buf, s->text) == 0) {
        s->found = child;
        return FALSE;
    }
    return TRUE;
}

/* Visible top-level windows that hold a child with exactly that text. */
static BOOL CALLBACK top_with_text(HWND top, LPARAM lp) {
    struct search* s = (struct search*)lp;
    struct search inner = {s->text, NULL, NULL, 0};
    if (!IsWindowVisible(top)) return TRUE;
    EnumChildWindows(top, child_has_text, (LPARAM)&inner);
    if (inner.found) {
        s->found = top;
        s->count++;
    }
    return TRUE;
}

static BOOL CALLBACK top_with_class(HWND top, LPARAM lp) {
    struct search* s = (struct search*)lp;
    wchar_t buf[256];
    GetClassNameW(top, buf, 256);
    if (wcscmp(buf, s->cls) == 0 && IsWindowVisible(top)) {
        s->found = top;
        s->count++;
    }
    return TRUE;
}

struct control {
    int id;
    HWND found;
};

static BOOL CALLBACK child_with_id(HWND child, LPARAM lp) {
    struct control* c = (struct control*)lp;
    if (GetDlgCtrlID(child) != c->id) return TRUE;
    c->found = child;
    return FALSE;
}

/* A control (at any depth) of the last visible top-level window of a class. */
static HWND control_of_class(const wchar_t* cls, int id) {
    struct search s = {NULL, cls, NULL, 0};
    struct control c = {id, NULL};
    EnumWindows(top_with_class, (LPARAM)&s);
    if (!s.found) return NULL;
    EnumChildWindows(s.found, child_with_id, (LPARAM)&c);
    return c.found;
}

static BOOL CALLBACK list_top(HWND top, LPARAM lp) {
    wchar_t text[256], cls[256];
    GetWindowTextW(top, text, 256);
    GetClassNameW(top, cls, 256);
    wprintf(L"%p visible=%d class=[%ls] caption=[%ls]\n", (void*)top, IsWindowVisible(top) ? 1 : 0, cls, text);
    return TRUE;
}

static BOOL CALLBACK count_child(HWND child, LPARAM lp) {
    if (IsWindowVisible(child)) ++*(int*)lp;
    return TRUE;
}

/* Icons shown by the stand-alone tray window (each icon is a child window of it). */
static int tray_icon_count(void) {
    int count = 0;
    HWND tray = FindWindowW(NULL, L"Wine System Tray");
    if (tray) EnumChildWindows(tray, count_child, (LPARAM)&count);
    return count;
}

/* Balloons of the notification area: visible tooltip windows in balloon style. */
struct balloons {
    wchar_t text[1024];
    int count;
};
static BOOL CALLBACK find_balloon(HWND top, LPARAM lp) {
    struct balloons* b = (struct balloons*)lp;
    wchar_t cls[64];
    DWORD_PTR length = 0;
    GetClassNameW(top, cls, 64);
    if (wcscmp(cls, L"tooltips_class32") != 0 || !IsWindowVisible(top)) return TRUE;
    if (!(GetWindowLongW(top, GWL_STYLE) & 0x40 /* TTS_BALLOON */)) return TRUE;
    b->count++;
    /* A tooltip answers WM_GETTEXT with its current tool's text. */
    if (!SendMessageTimeoutW(top, WM_GETTEXT, 1024, (LPARAM)b->text, SMTO_ABORTIFHUNG, 2000, &length))
        b->text[0] = 0;
    return TRUE;
}

/* Writes text as UTF-8, whatever the console's code page. */
static void print_utf8(const wchar_t* text) {
    char bytes[4096];
    DWORD written = 0;
    int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, sizeof(bytes) - 2, NULL, NULL);
    if (n <= 0) return;
    bytes[n - 1] = '\n';
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes, (DWORD)n, &written, NULL);
}

static int wait_for(int (*probe)(const wchar_t*, const wchar_t*), const wchar_t* a, const wchar_t* b,
                    double seconds) {
    DWORD end = GetTickCount() + (DWORD)(seconds * 1000);
    for (;;) {
        if (probe(a, b)) return 0;
        if ((LONG)(GetTickCount() - end) >= 0) return 1;
        Sleep(100);
    }
}

static int probe_caption(const wchar_t* caption, const wchar_t* unused) { return FindWindowW(NULL, caption) != NULL; }
static int probe_no_caption(const wchar_t* caption, const wchar_t* unused) { return FindWindowW(NULL, caption) == NULL; }
static int probe_visible_caption(const wchar_t* caption, const wchar_t* unused) {
    HWND w = FindWindowW(NULL, caption);
    return w && IsWindowVisible(w);
}
static int probe_hidden_caption(const wchar_t* caption, const wchar_t* unused) {
    HWND w = FindWindowW(NULL, caption);
    return !w || !IsWindowVisible(w);
}
static int probe_text(const wchar_t* text, const wchar_t* unused) {
    struct search s = {text, NULL, NULL, 0};
    EnumWindows(top_with_text, (LPARAM)&s);
    return s.found != NULL;
}
static int probe_class(const wchar_t* cls, const wchar_t* unused) {
    struct search s = {NULL, cls, NULL, 0};
    EnumWindows(top_with_class, (LPARAM)&s);
    return s.found != NULL;
}
static int probe_no_class(const wchar_t* cls, const wchar_t* unused) { return !probe_class(cls, unused); }

static void usage(void) {
    fwprintf(stderr,
             L"usage: app_wintool list | foreground | wait CAPTION SECS | wait-gone CAPTION SECS |\n"
             L"  wait-visible CAPTION SECS | wait-hidden CAPTION SECS | post CAPTION COMMAND |\n"
             L"  wait-text TEXT SECS | count-text TEXT | ok-text TEXT | wait-class CLASS SECS |\n"
             L"  wait-no-class CLASS SECS | count-class CLASS | post-class CLASS COMMAND |\n"
             L"  tray-delete CAPTION ID | tray-icons | balloon-count | wait-balloon SECS |\n"
             L"  responsive CAPTION SECS | retitle-foreground TEXT|\n"
             L"  close-class CLASS | click-class CLASS ID | checked-class CLASS ID\n");
}

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return usage(), 2;
    const wchar_t* cmd = argv[1];
    if (!wcscmp(cmd, L"list")) {
        EnumWindows(list_top, 0);
        return 0;
    }
    if (!wcscmp(cmd, L"foreground")) {
        wchar_t text[256] = L"", cls[256] = L"";
        HWND w = GetForegroundWindow();
        if (w) {
            GetWindowTextW(w, text, 256);
            GetClassNameW(w, cls, 256);
        }
        if (argc > 2) wprintf(L"%p ", (void*)w);
        wprintf(L"%ls|%ls\n", cls, text);
        return w ? 0 : 1;
    }
    if (!wcscmp(cmd, L"balloon-count")) {
        struct balloons b;
        b.count = 0;
        b.text[0] = 0;
        EnumWindows(find_balloon, (LPARAM)&b);
        wprintf(L"%d\n", b.count);
        return 0;
    }
    if (!wcscmp(cmd, L"wait-balloon")) {
        /* Prints the text of the first balloon that shows within SECS. */
        DWORD end = GetTickCount() + (DWORD)((argc > 2 ? _wtof(argv[2]) : 0) * 1000);
        for (;;) {
            struct balloons b;
            b.count = 0;
            b.text[0] = 0;
            EnumWindows(find_balloon, (LPARAM)&b);
            if (b.count > 0) {
                print_utf8(b.text);
                return 0;
            }
            if ((LONG)(GetTickCount() - end) >= 0) return 1;
            Sleep(100);
        }
    }
    if (!wcscmp(cmd, L"tray-icons")) {
        wprintf(L"%d\n", tray_icon_count());
        return 0;
    }
    if (argc < 3) return usage(), 2;
    const wchar_t* arg = argv[2];
    double secs = argc > 3 ? _wtof(argv[3]) : 0;
    if (!wcscmp(cmd, L"responsive")) {
        /* Asks the window every 20 ms for SECS seconds; prints how many times
         * it answered and its slowest answer. */
        HWND w = FindWindowW(NULL, arg);
        if (!w) return 1;
        DWORD end = GetTickCount() + (DWORD)(secs * 1000);
        int answers = 0;
        DWORD slowest = 0;
        while ((LONG)(GetTickCount() - end) < 0) {
            DWORD_PTR result = 0;
            DWORD start = GetTickCount();
            if (SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result)) ++answers;
            DWORD took = GetTickCount() - start;
            if (took > slowest) slowest = took;
            Sleep(20);
        }
        wprintf(L"answers=%d slowest_ms=%lu\n", answers, (unsigned long)slowest);
        return 0;
    }
    if (!wcscmp(cmd, L"retitle-foreground")) {
        HWND w = GetForegroundWindow();
        return w && SetWindowTextW(w, arg) ? 0 : 1;
    }
    if (!wcscmp(cmd, L"wait")) return wait_for(probe_caption, arg, NULL, secs);
    if (!wcscmp(cmd, L"wait-gone")) return wait_for(probe_no_caption, arg, NULL, secs);
    if (!wcscmp(cmd, L"wait-visible")) return wait_for(probe_visible_caption, arg, NULL, secs);
    if (!wcscmp(cmd, L"wait-hidden")) return wait_for(probe_hidden_caption, arg, NULL, secs);
    if (!wcscmp(cmd, L"wait-text")) return wait_for(probe_text, arg, NULL, secs);
    if (!wcscmp(cmd, L"wait-class")) return wait_for(probe_class, arg, NULL, secs);
    if (!wcscmp(cmd, L"wait-no-class")) return wait_for(probe_no_class, arg, NULL, secs);
    if (!wcscmp(cmd, L"count-text") || !wcscmp(cmd, L"ok-text")) {
        struct search s = {arg, NULL, NULL, 0};
        EnumWindows(top_with_text, (LPARAM)&s);
        if (!wcscmp(cmd, L"ok-text")) {
            if (!s.found) return 1;
            PostMessageW(s.found, WM_COMMAND, IDOK, 0);
            return 0;
        }
        wprintf(L"%d\n", s.count);
        return 0;
    }
    if (!wcscmp(cmd, L"count-class")) {
        struct search s = {NULL, arg, NULL, 0};
        EnumWindows(top_with_class, (LPARAM)&s);
        wprintf(L"%d\n", s.count);
        return 0;
    }
    if (!wcscmp(cmd, L"close-class")) {
        /* Closes every visible top-level window of the class. */
        int closed = 0;
        for (;;) {
            struct search s = {NULL, arg, NULL, 0};
            EnumWindows(top_with_class, (LPARAM)&s);
            if (!s.found || closed >= 20) break;
            PostMessageW(s.found, WM_CLOSE, 0, 0);
            ++closed;
            for (int i = 0; i < 40 && IsWindow(s.found) && IsWindowVisible(s.found); ++i) Sleep(50);
        }
        return 0;
    }
    if (argc < 4) return usage(), 2;
    if (!wcscmp(cmd, L"post")) {
        HWND w = FindWindowW(NULL, arg);
        if (!w) return 1;
        return PostMessageW(w, WM_COMMAND, (WPARAM)_wtoi(argv[3]), 0) ? 0 : 1;
    }
    if (!wcscmp(cmd, L"post-class")) {
        struct search s = {NULL, arg, NULL, 0};
        EnumWindows(top_with_class, (LPARAM)&s);
        if (!s.found) return 1;
        return PostMessageW(s.found, WM_COMMAND, (WPARAM)_wtoi(argv[3]), 0) ? 0 : 1;
    }
    if (!wcscmp(cmd, L"click-class")) {
        /* A click on a button of the window, as the mouse would give it (focus included). */
        HWND control = control_of_class(arg, _wtoi(argv[3]));
        if (!control) return 1;
        SendMessageW(control, BM_CLICK, 0, 0);
        return 0;
    }
    if (!wcscmp(cmd, L"checked-class")) {
        HWND control = control_of_class(arg, _wtoi(argv[3]));
        if (!control) return 1;
        wprintf(L"%d\n", (int)SendMessageW(control, BM_GETCHECK, 0, 0));
        return 0;
    }
    if (!wcscmp(cmd, L"tray-delete")) {
        NOTIFYICONDATAW data;
        ZeroMemory(&data, sizeof(data));
        data.cbSize = NOTIFYICONDATAW_V3_SIZE;
        data.hWnd = FindWindowW(NULL, arg);
        data.uID = (UINT)_wtoi(argv[3]);
        if (!data.hWnd) return 1;
        return Shell_NotifyIconW(NIM_DELETE, &data) ? 0 : 1;
    }
    return usage(), 2;
}
