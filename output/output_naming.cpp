#include "output/output_naming.h"

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <limits>

#include "base/platform.h"
#include "output/output_path.h"

namespace orbilux {
namespace {

std::wstring Decimal(int64_t value, size_t minDigits) {
    const bool negative = value < 0;
    // Work on the magnitude as unsigned so that the smallest value prints too.
    uint64_t magnitude = negative ? uint64_t(0) - uint64_t(value) : uint64_t(value);
    std::wstring digits;
    do {
        digits.insert(digits.begin(), wchar_t(L'0' + magnitude % 10));
        magnitude /= 10;
    } while (magnitude != 0);
    if (digits.size() < minDigits) digits.insert(0, minDigits - digits.size(), L'0');
    return negative ? L"-" + digits : digits;
}

std::wstring Hex(uint32_t value, size_t minDigits) {
    static const wchar_t kDigits[] = L"0123456789abcdef";
    std::wstring digits;
    do {
        digits.insert(digits.begin(), kDigits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    if (digits.size() < minDigits) digits.insert(0, minDigits - digits.size(), L'0');
    return digits;
}

std::wstring DateDigits(const tamrik::CalendarTime& t) {
    return Decimal(t.year, 4) + Decimal(t.month, 2) + Decimal(t.day, 2);
}

}  // namespace

int halfMinuteIndex(const tamrik::CalendarTime& time) {
    return (int(time.hour) * 60 + int(time.minute)) * 2 + int(time.second) / 30;
}

std::wstring FormatNameStem(const tamrik::CalendarTime& time) {
    return L"MN" + DateDigits(time) + L"_??_" + Hex(uint32_t(halfMinuteIndex(time)), 3);
}

std::wstring makeOutputPath(OutputPlatform& platform, OutputSettings& output, int index,
                            const std::wstring& extension) {
    if (output.baseFileName.empty()) prepareNamePattern(platform, output, platform.LocalTime());
    std::wstring name = output.baseFileName;
    const std::wstring slot = Decimal(index, 2);
    for (size_t pos = name.find(L"??"); pos != std::wstring::npos; pos = name.find(L"??", pos + slot.size()))
        name.replace(pos, 2, slot);
    return output.currentDir + name + extension;
}

void prepareNamePattern(OutputPlatform& platform, OutputSettings& output, const tamrik::CalendarTime& time,
                        FolderResult* folder) {
    FolderResult result;
    output.captureTime = time;
    output.currentDir = ResolveOutputFolder(platform, output, &result);
    const std::wstring stem = FormatNameStem(time);
    // A folder that is not there holds no earlier capture.
    const int64_t sequence = result.failure == SaveFailure::None
                                 ? NextSequenceNumber(platform.Files(), output.currentDir, stem)
                                 : 1;
    output.baseFileName = stem + Decimal(sequence, 1);
    if (folder) *folder = std::move(result);
}

int64_t NextSequenceNumber(OutputFileSystem& files, const std::wstring& folder, const std::wstring& stem) {
    FileGlobList list(files);
    list.MatchPattern(folder + stem + L"*.*");
    int64_t largest = 0;
    for (const std::wstring& file : list.Files()) {
        const std::wstring title = CPath(file).Title();
        if (title.size() <= stem.size()) continue;
        int64_t number = 0;
        // A tail that is no decimal number ("1 - copy") names no capture of
        // ours; a number too large to follow is skipped as well.
        if (!ParseDecimalInteger(title.substr(stem.size()), number)) continue;
        if (number == std::numeric_limits<int64_t>::max()) continue;
        if (number > largest) largest = number;
    }
    return largest + 1;
}

std::wstring CaptureFolderOf(const std::wstring& base, bool dateDir, const tamrik::CalendarTime& time) {
    std::wstring folder = base;
    // One backslash after the base folder, however it was written.
    while (!folder.empty() && IsPathSeparator(folder.back())) folder.pop_back();
    folder += L'\\';
    if (dateDir) folder += DateDigits(time) + L"\\";
    return folder;
}

std::wstring ResolveOutputFolder(OutputPlatform& platform, OutputSettings& output, FolderResult* result) {
    FolderResult ignored;
    FolderResult& made = result ? *result : ignored;
    made = FolderResult();
    if (output.baseDirName.empty()) output.baseDirName = DefaultPicturesFolder(platform);
    if (output.baseDirName.empty()) {
        // Never the root of the current drive: no folder means no files.
        made.failure = SaveFailure::NoFolder;
        return std::wstring();
    }
    const std::wstring folder = CaptureFolderOf(output.baseDirName, output.bDateDir, output.captureTime);
    made.failure = MakeFolderLevels(platform.Files(), folder, &made.created);
    return folder;
}

std::wstring DefaultPicturesFolder(OutputPlatform& platform) {
    const std::wstring pictures = platform.PicturesFolder();
    return pictures.empty() ? FallbackCapturesFolder(platform) : pictures;
}

std::wstring FallbackCapturesFolder(OutputPlatform& platform) {
    std::wstring folder = platform.LocalAppDataFolder();
    while (!folder.empty() && IsPathSeparator(folder.back())) folder.pop_back();
    if (folder.empty()) return folder;
    return folder + L"\\Tamrik\\Captures";
}

OutputFileSystem& PortableOutputPlatform::Files() {
    return PortableFileSystem();
}

std::wstring PortableOutputPlatform::PicturesFolder() {
    return tamrik::HomePicturesFolder();
}

std::wstring PortableOutputPlatform::LocalAppDataFolder() {
    return tamrik::HomeLocalDataFolder();
}

tamrik::CalendarTime PortableOutputPlatform::LocalTime() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    tamrik::LocalCalendar(seconds, local);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    tamrik::CalendarTime t;
    t.year = uint16_t(local.tm_year + 1900);
    t.month = uint16_t(local.tm_mon + 1);
    t.dayOfWeek = uint16_t(local.tm_wday);
    t.day = uint16_t(local.tm_mday);
    t.hour = uint16_t(local.tm_hour);
    t.minute = uint16_t(local.tm_min);
    t.second = uint16_t(local.tm_sec);
    t.milliseconds = uint16_t(ms);
    return t;
}

}  // namespace orbilux
