// The press's picture on the clipboard as a device-independent bitmap. The
// clipboard is opened, filled and closed on a thread of its own with its own
// owner window, so another program that holds the clipboard open delays only
// that thread, and only for a bounded time.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "image/ximage.h"

namespace orbilux {

// How long the copy tries to open a clipboard that another program holds.
constexpr DWORD kClipboardOpenBoundMs = 250;

// The CF_DIB form of a picture: a BITMAPINFOHEADER followed by 24-bit rows,
// bottom-up, each padded to 4 bytes, in movable global memory. Null for an
// invalid picture or when there is no memory for it.
HGLOBAL PackedDib24(const CxImage& picture);

// A running or finished copy to the clipboard. A default one has nothing to wait for.
class ClipboardCopy {
public:
    enum class Result { Running, Copied, Busy, Failed };

    ClipboardCopy() = default;
    // Waits at most timeoutMs for the copy to end and returns how it stands.
    Result Wait(DWORD timeoutMs) const;
    bool Started() const { return state_ != nullptr; }

    struct State;

private:
    explicit ClipboardCopy(std::shared_ptr<State> state) : state_(std::move(state)) {}
    friend ClipboardCopy StartClipboardCopy(const CxImagePtr& picture);

    std::shared_ptr<State> state_;
};

// Converts picture into the clipboard's form on the calling thread (one copy
// of its pixels; the picture is not used afterwards), then puts it on the
// clipboard on a helper thread that gives up after kClipboardOpenBoundMs when
// the clipboard stays held. The caller never waits on the clipboard itself.
// A missing or invalid picture, or no memory, gives a finished Failed copy.
ClipboardCopy StartClipboardCopy(const CxImagePtr& picture);

}  // namespace orbilux
