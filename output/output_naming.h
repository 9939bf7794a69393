// Output folder and file names of a capture. All files of one capture share
// one folder and one stem "MN" + date + "_??_" + half minute + sequence
// number; "??" becomes the two-digit file index.
#pragma once

#include <string>
#include <vector>

#include "base/calendar_time.h"
#include "output/output_path.h"
#include "output/save_outcome.h"
#include "settings/settings.h"

namespace orbilux {

// What file output takes from the platform, passed in by the caller: the file
// functions, the user's folders and the clock.
class OutputPlatform {
public:
    virtual ~OutputPlatform() = default;

    virtual OutputFileSystem& Files() = 0;
    // The user's pictures folder, or failing that the documents folder; empty
    // when neither is known.
    virtual std::wstring PicturesFolder() = 0;
    // The user's local application-data folder; empty when unknown.
    virtual std::wstring LocalAppDataFolder() = 0;
    // The clock read when a capture's names are prepared without a moment of
    // their own.
    virtual tamrik::CalendarTime LocalTime() = 0;
};

// The portable platform: PortableFileSystem, the home folder's "Pictures",
// LOCALAPPDATA or the XDG data folder, and the C library's local time.
class PortableOutputPlatform : public OutputPlatform {
public:
    OutputFileSystem& Files() override;
    std::wstring PicturesFolder() override;
    std::wstring LocalAppDataFolder() override;
    tamrik::CalendarTime LocalTime() override;
};

// Length of the stem before the sequence number: "MN20240305_??_6bf".
constexpr size_t kNameStemLength = 17;

// (hour * 60 + minute) * 2 + second / 30: 0x000 ... 0xb3f.
int halfMinuteIndex(const tamrik::CalendarTime& time);

// "MN%04d%02d%02d_??_%03x" of the date and the half-minute index.
std::wstring FormatNameStem(const tamrik::CalendarTime& time);

// The full path of one file of the current capture: currentDir, baseFileName
// with every "??" replaced by index ("%02d"), and extension (".png", ".txt").
// Prepares the name pattern from the platform's local time when baseFileName
// is empty.
std::wstring makeOutputPath(OutputPlatform& platform, OutputSettings& output, int index,
                            const std::wstring& extension);

// How the output folder of a capture was made ready.
struct FolderResult {
    SaveFailure failure = SaveFailure::None;  // None: the folder exists
    std::vector<std::wstring> created;        // levels created for it, outermost first
};

// Stores time, resolves the folder and builds baseFileName: the stem followed
// by one more than the largest sequence number found among the files of the
// same half minute in that folder (1 in an empty folder).
void prepareNamePattern(OutputPlatform& platform, OutputSettings& output, const tamrik::CalendarTime& time,
                        FolderResult* folder = nullptr);

// The folder of the captures of `time` under base: base without the
// separators it ends in, a backslash, and with dateDir the date
// "%04d%02d%02d" and another backslash. Only names it.
std::wstring CaptureFolderOf(const std::wstring& base, bool dateDir, const tamrik::CalendarTime& time);

// baseDirName (the default folder when empty), a backslash, and with bDateDir
// the date "%04d%02d%02d" and another backslash; created when missing. Empty,
// with the failure NoFolder, when there is no base folder at all.
std::wstring ResolveOutputFolder(OutputPlatform& platform, OutputSettings& output,
                                 FolderResult* result = nullptr);

// The sequence number that follows every file of folder whose name matches
// stem + "*.*": tails that are not a decimal integer are skipped.
int64_t NextSequenceNumber(OutputFileSystem& files, const std::wstring& folder, const std::wstring& stem);

// The default base folder: the platform's pictures folder, or when it has
// none the fallback folder below.
std::wstring DefaultPicturesFolder(OutputPlatform& platform);

// The fallback base folder: "Tamrik\Captures" in the local application-data
// folder; empty when that is unknown too.
std::wstring FallbackCapturesFolder(OutputPlatform& platform);

}  // namespace orbilux
