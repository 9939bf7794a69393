// The capture's platform side on Windows: the system's monitors, windows and
// screen through GDI, and the capture error box.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "capture/screen_shot.h"

namespace orbilux {

constexpr UINT kCaptureFailedStringId = 129;
extern const wchar_t kCaptureErrorCaption[];
// Used when the program's string table has no capture-failure text.
extern const wchar_t kCaptureFailedFallbackText[];

class SystemMonitorSource : public MonitorSource {
public:
    bool EnumMonitors(const std::function<bool(MonitorHandle)>& visit) override;
    MonitorInfo GetInfo(MonitorHandle monitor) override;
    MonitorInfo PrimaryScreen() override;
    void EnumForCapture(const std::function<bool(MonitorHandle, const MonitorRect&)>& visit) override;
};

class GdiScreenSource : public ScreenSource {
public:
    ScreenMetrics Metrics() override;
    bool Grab(int32_t left, int32_t top, int32_t width, int32_t height, CxImage& image) override;
    void SetPointerDrawn(bool drawn) override { drawPointer_ = drawn; }

private:
    bool drawPointer_ = false;
};

// Draws the mouse pointer as the screen shows it (when it shows) into dc,
// whose pixel (0, 0) is the desktop point (left, top). Returns whether a
// pointer was drawn.
bool DrawMousePointer(HDC dc, int32_t left, int32_t top);

class SystemWindowSource : public WindowSource {
public:
    WindowHandle Foreground() override;
    WindowHandle TopChild(WindowHandle window) override;
    bool IsVisible(WindowHandle window) override;
    WindowHandle Desktop() override;
    MonitorRect Rect(WindowHandle window) override;
};

class MessageBoxErrorReporter : public CaptureErrorReporter {
public:
    void ShowCaptureError() override;
};

// The text of the capture error: string 129 of the program's resources.
std::wstring CaptureFailedText();

// The system's seams, one set per process (user-interface thread only).
CaptureSeams& SystemCaptureSeams();

// The monitor list of the moment, in monitorOrder.
std::vector<CMonitor> CurrentMonitorList();

// Converts a bitmap (not selected into any device context) into image at the
// given depth (1, 4, 8 or 24 bits), rows bottom-up, with the colour table the
// system gives for palette depths. The image's old content is dropped first.
bool BitmapToImage(HDC dc, HBITMAP bitmap, uint32_t bpp, CxImage& image);

}  // namespace orbilux
