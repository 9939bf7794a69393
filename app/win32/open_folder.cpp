#include "app/win32/open_folder.h"

#include <shellapi.h>

#include "output/capture_folder.h"
#include "output/output_naming.h"
#include "output/output_path.h"
#include "resources/resource.h"
#include "window/helpers.h"
#include "window/message_loop.h"

namespace orbilux {

bool OpenCaptureFolder(HWND owner, OutputPlatform& platform, const OutputSettings& output) {
    const std::wstring folder = CaptureFolderToOpen(platform, output, platform.LocalTime());
    if (!folder.empty()) {
        // Explorer takes the folder without its trailing separator (a drive's root keeps it).
        const std::wstring shown = WithoutTrailingSeparators(folder);
        const auto result = reinterpret_cast<INT_PTR>(
            ::ShellExecuteW(owner, L"explore", shown.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
        if (result > 32) return true;
    }
    std::wstring message = tamrik::ResourceString(IDS_OPEN_FOLDER_FAILED);
    if (!folder.empty()) message += L"\r\n" + ShortenMiddle(folder, 200);
    ::MessageBoxW(owner, message.c_str(), L"Tamrik", MB_OK | MB_ICONWARNING | MB_SETFOREGROUND);
    return false;
}

}  // namespace orbilux
