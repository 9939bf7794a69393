#include "capture/win32/clipboard.h"

#include <atomic>
#include <cstring>
#include <system_error>
#include <thread>

#include "window/helpers.h"
#include "window/raii.h"

namespace orbilux {

struct ClipboardCopy::State {
    State() : done(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

    void Finish(Result how) {
        result.store(how);
        if (done) ::SetEvent(done.Get());
    }

    tamrik::UniqueHandle done;
    std::atomic<Result> result{Result::Running};
};

namespace {

const wchar_t kOwnerClass[] = L"TamrikClipboardOwner";

// The owner window's class, registered once per process.
bool RegisterOwnerClass() {
    static const bool registered = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = tamrik::ResourceInstance();
        wc.lpszClassName = kOwnerClass;
        return ::RegisterClassW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
}

// Opens the clipboard for owner, trying again while another program holds it,
// until the bound has passed.
bool OpenClipboardWithin(HWND owner, DWORD boundMs) {
    const ULONGLONG deadline = ::GetTickCount64() + boundMs;
    for (;;) {
        if (::OpenClipboard(owner)) return true;
        if (::GetTickCount64() >= deadline) return false;
        ::Sleep(10);
    }
}

// The helper thread: owns dib until the clipboard takes it.
ClipboardCopy::Result PutOnClipboard(tamrik::UniqueGlobal dib) {
    HWND owner = nullptr;
    if (RegisterOwnerClass())
        owner = ::CreateWindowExW(0, kOwnerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  tamrik::ResourceInstance(), nullptr);
    // Without an owner the emptied clipboard would refuse the data.
    if (!owner) return ClipboardCopy::Result::Failed;
    ClipboardCopy::Result result = ClipboardCopy::Result::Busy;
    if (OpenClipboardWithin(owner, kClipboardOpenBoundMs)) {
        result = ClipboardCopy::Result::Failed;
        if (::EmptyClipboard() && ::SetClipboardData(CF_DIB, dib.Get())) {
            dib.Release();  // the system's now
            result = ClipboardCopy::Result::Copied;
        }
        ::CloseClipboard();
    }
    ::DestroyWindow(owner);
    return result;
}

}  // namespace

HGLOBAL PackedDib24(const CxImage& picture) {
    if (!picture.IsValid()) return nullptr;
    const uint32_t width = picture.GetWidth();
    const uint32_t height = picture.GetHeight();
    const size_t rowBytes = CxImage::RowBytes(width, 24);
    const size_t size = sizeof(BITMAPINFOHEADER) + rowBytes * height;
    tamrik::UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, size));
    if (!memory) return nullptr;
    auto* bytes = static_cast<uint8_t*>(::GlobalLock(memory.Get()));
    if (!bytes) return nullptr;
    // The picture's own header, in 24 bits whatever its depth: no palette.
    BITMAPINFOHEADER header = tamrik::BitmapInfoOf(picture).header;
    header.biBitCount = 24;
    header.biClrUsed = 0;
    header.biSizeImage = DWORD(rowBytes * height);
    std::memcpy(bytes, &header, sizeof(header));
    uint8_t* rows = bytes + sizeof(header);
    for (uint32_t y = 0; y < height; ++y) {
        uint8_t* row = rows + rowBytes * y;
        if (picture.GetBpp() == 24) {
            std::memcpy(row, picture.GetBits(y), rowBytes);
        } else {
            std::memset(row, 0, rowBytes);
            for (uint32_t x = 0; x < width; ++x) {
                const RGBQuadColor c = picture.GetPixelColor(x, y);
                row[x * 3] = c.blue;
                row[x * 3 + 1] = c.green;
                row[x * 3 + 2] = c.red;
            }
        }
    }
    ::GlobalUnlock(memory.Get());
    return memory.Release();
}

ClipboardCopy::Result ClipboardCopy::Wait(DWORD timeoutMs) const {
    if (!state_) return Result::Failed;
    if (state_->done) ::WaitForSingleObject(state_->done.Get(), timeoutMs);
    return state_->result.load();
}

ClipboardCopy StartClipboardCopy(const CxImagePtr& picture) {
    auto state = std::make_shared<ClipboardCopy::State>();
    tamrik::UniqueGlobal dib(picture ? PackedDib24(*picture) : nullptr);
    if (!dib || !state->done) {
        state->Finish(ClipboardCopy::Result::Failed);
        return ClipboardCopy(state);
    }
    try {
        // A thread that cannot start gives the memory back with its callable.
        std::thread([state, dib = std::move(dib)]() mutable {
            state->Finish(PutOnClipboard(std::move(dib)));
        }).detach();
    } catch (const std::system_error&) {
        state->Finish(ClipboardCopy::Result::Failed);
    }
    return ClipboardCopy(state);
}

}  // namespace orbilux
