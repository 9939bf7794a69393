#include "output/capture_folder.h"

#include "output/output_naming.h"
#include "output/output_path.h"

namespace orbilux {

std::wstring CaptureFolderToOpen(OutputPlatform& platform, const OutputSettings& output,
                                 const tamrik::CalendarTime& today) {
    const std::wstring base =
        output.baseDirName.empty() ? DefaultPicturesFolder(platform) : output.baseDirName;
    const std::wstring undated = CaptureFolderOf(base, false, today);
    if (undated == L"\\") return {};  // no base folder at all
    if (output.bDateDir) {
        const std::wstring dated = CaptureFolderOf(base, true, today);
        if (FolderExists(platform.Files(), dated)) return dated;
    }
    return CreateFolderLevels(platform.Files(), undated) ? undated : std::wstring();
}

}  // namespace orbilux
