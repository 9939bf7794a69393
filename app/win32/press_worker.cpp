#include "app/win32/press_worker.h"

#include <mutex>

#include "app/win32/subsystem_links.h"
#include "capture/press_picture.h"
#include "capture/press_queue.h"
#include "capture/screen_shot.h"
#include "capture/win32/clipboard.h"
#include "output/win32/output_files_win.h"
#include "sysinfo/info_gathering.h"
#include "sysinfo/win32/system_probes_win.h"

namespace orbilux {

namespace {

// Beyond the copy's own bound for a held clipboard: an owner of the clipboard
// that is slow to let go of what it held.
constexpr DWORD kClipboardGraceMs = 250;

std::mutex g_queueLock;
std::unique_ptr<PressQueue> g_queue;

PressQueue& Queue() {
    std::lock_guard<std::mutex> hold(g_queueLock);
    if (!g_queue) g_queue = std::make_unique<PressQueue>(PressQueue::kDefaultByteBudget, LowerThreadPriority);
    return *g_queue;
}

// What the worker does with a press; it reaches the main dialog only through
// posted messages.
class WorkerSteps : public PressSteps {
public:
    explicit WorkerSteps(HWND notify) : notify_(notify) {}

    void CopyToClipboard(Press& press) override {
        // The files never wait longer than the copy's own bound for a
        // clipboard that another program holds.
        const ClipboardCopy copy = StartClipboardCopy(PressPicture(*press.shot));
        copy.Wait(kClipboardOpenBoundMs + kClipboardGraceMs);
    }
    SaveOutcome SaveFiles(Press& press) override {
        return SavePressFiles(output_, *press.shot, press.settings, [&press] { press.TakeGatheredInfo(); });
    }
    void NotifySaveFailure(const SaveOutcome& outcome) override {
        Post(kPressSaveFailedMessage, new SaveOutcome(outcome));
    }
    void NotifySaved(const SaveOutcome& outcome) override {
        Post(kPressSavedMessage, new SaveOutcome(outcome));
    }
    int32_t BuildTextPages(Press& press) override {
        press.TakeGatheredInfo();
        return BuildPressTextPages(*press.shot, press.settings, press.printer);
    }
    void StartPrinting(Press& press, int32_t pageCount) override {
        StartPressPrinting(*press.shot, press.settings, press.printer, pageCount);
    }
    void Post(UINT message, SaveOutcome* outcome) {
        // After Exit the dialog is gone: nobody is left to tell.
        if (!::PostMessageW(notify_, message, 0, LPARAM(outcome))) delete outcome;
    }

private:
    HWND notify_;
    Win32OutputPlatform output_;
};

}  // namespace

void LowerThreadPriority() {
    ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
}

bool QueuePressWork(const std::shared_ptr<Press>& press, HWND notify) {
    const uint64_t bytes = PictureBytes(*press->shot);
    return Queue().Push(bytes, [press, notify] {
        WorkerSteps steps(notify);
        try {
            FinishPress(*press, steps);
        } catch (...) {
            // Out of memory, say: this press ends here; the next one still runs.
        }
        // Every press is told finished once, even one whose work failed.
        steps.Post(kPressFinishedMessage, nullptr);
    });
}

void ReadPressMoment(Press& press) {
    Win32SystemProbes probes;
    press.settings.format_.computerInfo.ReadMoment(probes);
}

void StartPressGathering(Press& press) {
    press.gathering = InfoGathering::Start(
        press.settings.format_.computerInfo, GatherNeeds::ForLogType(press.settings.key_.logType),
        [] { return std::unique_ptr<SystemProbes>(new Win32SystemProbes()); }, LowerThreadPriority);
}

void FinishPressesAtExit() {
    std::unique_ptr<PressQueue> queue;
    {
        std::lock_guard<std::mutex> hold(g_queueLock);
        queue = std::move(g_queue);
    }
    queue.reset();  // lets the queued presses finish, then ends the worker
}

}  // namespace orbilux
