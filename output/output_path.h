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
#include <string>
#include <vector>

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

// The platform path of a stored path: wide as it is on Windows; elsewhere UTF-8
// with every backslash read as a folder separator.
std::filesystem::path ToFsPath(const std::wstring& path);

// Creates folder and every missing folder above it, one level at a time
// starting from its drive (a UNC share, the root, or for a relative folder the
// current folder). Failures are not reported; later levels are still tried.
// Returns whether the folder exists afterwards.
bool CreateFolderLevels(const std::wstring& folder);

bool FolderExists(const std::wstring& folder);

// Opens path for binary writing (created or truncated) with a write buffer of
// kWriteBufferBytes; null on failure.
constexpr size_t kWriteBufferBytes = size_t(1) << 18;
std::FILE* OpenForWrite(const std::wstring& path);

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
    virtual ~FileGlobBase() = default;
    void MatchPattern(const std::wstring& pattern);

protected:
    virtual void OnMatch(const std::wstring& fullPath) = 0;
};

// Collects the matches, each path once (compared without regard to case).
class FileGlobList : public FileGlobBase {
public:
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
