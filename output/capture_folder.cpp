#include "output/capture_folder.h"

#include "output/output_naming.h"
#include "output/output_path.h"

namespace orbilux {

std::wstring CaptureFolderToOpen(OutputPlatform& platform, const OutputSettings& output,
                                 const tamrik::CalendarTime& today) {
    std::wstring base = output.baseDirName.empty() ? DefaultPicturesFolder(platform) : output.baseDirName;
    while (!base.empty() && IsPathSeparator(base.back())) base.pop_back();
    if (base.empty()) return {};
    base += L'\\';
    if (output.bDateDir) {
        // The stem "MN" + date + ... carries the dated folder's name.
        const std::wstring dated = base + FormatNameStem(today).substr(2, 8) + L"\\";
        if (FolderExists(platform.Files(), dated)) return dated;
    }
    return CreateFolderLevels(platform.Files(), base) ? base : std::wstring();
}

}  // namespace orbilux
