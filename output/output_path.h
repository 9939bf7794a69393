// Path services of file output: splitting stored paths, turning them into
// platform paths, creating folders level by level, and listing the files of
// one folder that match a wildcard name.
//
// Stored paths use the backslash as folder separator (the output folder always
// ends in one); the forward slash is accepted as well, so that "/tmp/x\20240305\"
// names the same folder as "/tmp/x/20240305/" outside Windows.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "output/save_outcome.h"

namespace orbilux {

inline bool IsPathSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

// A path split into drive ("D:", "\\server\share" or empty), directory (with
// its leading and trailing separators as written), title and extension (with
// its dot).
class CPath {
public:
    explicit CPath(const std::wstring& path);

    const std::wstring& Drive() const { return drive_; }
    const std::wstring& Directory() const { return directory_; }
    const std::wstring& Title() const { return title_; }
    const std::wstring& Extension() const { return extension_; }
    // Whether the directory starts at the root of its drive.
    bool IsRooted() const { return !directory_.empty() && IsPathSeparator(directory_.front()); }
    // The non-empty components of the directory, in order.
    std::vector<std::wstring> DirectoryComponents() const;

private:
    std::wstring drive_;
    std::wstring directory_;
    std::wstring title_;
    std::wstring extension_;
};

// path without the separators it ends in, except the one of a root ("\" or
// "C:\"): the form in which the system answers what a path is.
std::wstring WithoutTrailingSeparators(const std::wstring& path);

// The file functions file output works through, passed to every function
// below that touches files. The portable one uses std::filesystem and the C
// library; the Windows build has its own (extended-length paths for long
// names, the system's error codes).
class OutputFileSystem {
public:
    enum class Kind { Missing, Folder, File };
    virtual ~OutputFileSystem() = default;

    virtual Kind Probe(const std::wstring& path) = 0;
    // Creates one folder whose parent exists; None when it exists afterwards.
    virtual SaveFailure MakeFolder(const std::wstring& folder) = 0;
    // Opens path for binary writing (created or truncated); null, with the
    // reason in failure, when it cannot.
    virtual std::FILE* OpenForWrite(const std::wstring& path, SaveFailure& failure) = 0;
    // Moves a file onto `to`, replacing a file there.
    virtual SaveFailure MoveReplacing(const std::wstring& from, const std::wstring& to) = 0;
    virtual void RemoveFile(const std::wstring& path) = 0;
    // Removes folder only when it is empty.
    virtual void RemoveEmptyFolder(const std::wstring& folder) = 0;
    // Hands the name of every file (not folder) of folder to visit; "" is the current folder.
    virtual void ListFiles(const std::wstring& folder,
                           const std::function<void(const std::wstring&)>& visit) = 0;
};

// The portable file functions (one shared object without state).
OutputFileSystem& PortableFileSystem();

// The reason behind a C library error number (a failed fopen, fwrite, fclose).
SaveFailure FailureFromErrno(int error);

// Creates folder and every missing folder above it, one level at a time
// starting from its drive (a UNC share, the root, or for a relative folder the
// current folder). A level that fails does not stop the later ones. Returns
// None when the folder exists afterwards, else the first level's reason; the
// levels it created are appended to created (outermost first).
SaveFailure MakeFolderLevels(OutputFileSystem& files, const std::wstring& folder,
                             std::vector<std::wstring>* created = nullptr);
// The same, answering only whether the folder exists afterwards.
bool CreateFolderLevels(OutputFileSystem& files, const std::wstring& folder);
// Removes the given folders, innermost first, each only while it is empty.
void RemoveEmptyFolders(OutputFileSystem& files, const std::vector<std::wstring>& folders);

bool FolderExists(OutputFileSystem& files, const std::wstring& folder);

// Opens path for binary writing (created or truncated) with a write buffer of
// kWriteBufferBytes; null on failure.
constexpr size_t kWriteBufferBytes = size_t(1) << 18;
std::FILE* OpenForWrite(OutputFileSystem& files, const std::wstring& path, SaveFailure* failure = nullptr);

// "~" + name + ".tmp" beside path: never taken for a file of a capture.
std::wstring TemporaryPathFor(const std::wstring& path);

// Writes a file whole or not at all: fill writes into a temporary file beside
// path, which replaces path once it is complete and closed. On any failure the
// temporary file is removed, path is left as it was, and the reason goes to
// failure (WriteFailed when fill failed without a write error).
bool WriteFileReplacing(OutputFileSystem& files, const std::wstring& path,
                        const std::function<bool(std::FILE*)>& fill, SaveFailure* failure = nullptr);

// ---- Long paths ----

// Paths of this length or longer need the extended-length form on Windows
// without long-path support (CreateDirectoryW stops at MAX_PATH - 12).
constexpr size_t kLongPathThreshold = 248;

// The extended-length form of a full path: C:\a\b becomes \\?\C:\a\b and
// \\server\share\a becomes \\?\UNC\server\share\a. Since the system takes that
// form literally, the path is first normalised as Windows would: "/" read as
// a backslash, runs of separators and "." dropped, ".." taking away the folder
// before it (never the drive or the share), a single dot ending a folder name
// dropped, and trailing dots and spaces of the last name dropped; a trailing
// separator is kept only on a drive's root. Paths already in that form, device
// paths (\\.\) and paths that are not full (relative, rooted without a drive,
// or "C:a") come back unchanged: the caller makes them full first.
std::wstring ExtendedLengthPath(const std::wstring& fullPath);

// text with its middle replaced by "…" so that it has at most maxChars
// characters, keeping the start up to the first folder and as much of the end
// as fits: for naming a long folder in a message.
std::wstring ShortenMiddle(const std::wstring& text, size_t maxChars);

// "?" matches any one character, "*" any run (also an empty one); letters are
// compared without regard to case; every other character stands for itself.
bool WildcardMatch(const std::wstring& pattern, const std::wstring& name);

// Case-insensitive equality of two paths as written.
bool SamePathText(const std::wstring& a, const std::wstring& b);

// Lists the files (not folders) of the folder part of pattern whose names
// match its last component, handing each match's full path (the folder part
// as written followed by the file name) to OnMatch.
class FileGlobBase {
public:
    explicit FileGlobBase(OutputFileSystem& files) : files_(files) {}
    virtual ~FileGlobBase() = default;
    void MatchPattern(const std::wstring& pattern);

protected:
    virtual void OnMatch(const std::wstring& fullPath) = 0;

private:
    OutputFileSystem& files_;
};

// Collects the matches, each path once (compared without regard to case).
class FileGlobList : public FileGlobBase {
public:
    using FileGlobBase::FileGlobBase;
    const std::vector<std::wstring>& Files() const { return files_; }

protected:
    void OnMatch(const std::wstring& fullPath) override;

private:
    std::vector<std::wstring> files_;
};

// Reads text that is an optional "+" or "-" followed by decimal digits and
// nothing else. Returns false for anything else and for values outside int64.
bool ParseDecimalInteger(const std::wstring& text, int64_t& value);

}  // namespace orbilux
