// What became of a capture's files: written, or why not and where.
#pragma once

#include <string>
#include <vector>

namespace orbilux {

// Why a file or folder of a capture could not be written. The first failure
// of a saving run is the one reported.
enum class SaveFailure {
    None,
    NoFolder,          // no base folder at all: neither a stored one nor a default
    FolderNotCreated,  // the folder is missing and cannot be created
    NotAFolder,        // a file stands where the folder (or one above it) should be
    NoPermission,      // access denied, read-only medium
    DiskFull,
    PathTooLong,
    WriteFailed,  // any other failure while creating, writing or moving a file
};

struct SaveOutcome {
    SaveFailure failure = SaveFailure::None;
    // The folder the capture's files were to go into (ends in a backslash);
    // empty when there was none.
    std::wstring folder;
    // The files the run wrote, full paths in the order written: the pictures,
    // then the report.
    std::vector<std::wstring> pictureFiles;
    std::wstring reportFile;

    bool Ok() const { return failure == SaveFailure::None; }
};

}  // namespace orbilux
