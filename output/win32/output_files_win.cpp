#include "output/win32/output_files_win.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <vector>

#include "base/win32/local_time.h"
#include "output/output_naming.h"
#include "output/output_path.h"
#include "output/win32/shell_folders.h"

namespace orbilux {

namespace {

constexpr size_t kMaxComponentChars = 255;
constexpr size_t kMaxExtendedPathChars = 32767;
constexpr DWORD kErrorDiskQuotaExceeded = 1295;  // ERROR_DISK_QUOTA_EXCEEDED, missing from some headers

bool HasOverlongComponent(const std::wstring& path) {
    size_t run = 0;
    for (wchar_t c : path) {
        run = IsPathSeparator(c) ? 0 : run + 1;
        if (run > kMaxComponentChars) return true;
    }
    return false;
}

std::wstring FullPath(const std::wstring& path) {
    DWORD size = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return path;
    std::wstring full(size, L'\0');
    size = ::GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    if (size == 0 || size >= full.size()) return path;
    full.resize(size);
    return full;
}

class Win32OutputFileSystem final : public OutputFileSystem {
public:
    Kind Probe(const std::wstring& path) override {
        // "blocker\" is no file to the system: ask without the separator.
        const DWORD attributes = ::GetFileAttributesW(LongPathForm(WithoutTrailingSeparators(path)).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) return Kind::Missing;
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? Kind::Folder : Kind::File;
    }

    SaveFailure MakeFolder(const std::wstring& folder) override {
        if (::CreateDirectoryW(LongPathForm(folder).c_str(), nullptr)) return SaveFailure::None;
        const DWORD error = ::GetLastError();
        const Kind kind = Probe(folder);
        if (kind == Kind::Folder) return SaveFailure::None;
        if (kind == Kind::File) return SaveFailure::NotAFolder;
        const SaveFailure failure = FailureFromWin32Error(error, folder);
        return failure == SaveFailure::WriteFailed ? SaveFailure::FolderNotCreated : failure;
    }

    std::FILE* OpenForWrite(const std::wstring& path, SaveFailure& failure) override {
        HANDLE handle = ::CreateFileW(LongPathForm(path).c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            failure = FailureFromWin32Error(::GetLastError(), path);
            return nullptr;
        }
        // The encoders write through the C library: the handle becomes a stream
        // that owns it.
        const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
        if (descriptor == -1) {
            ::CloseHandle(handle);
            ::DeleteFileW(LongPathForm(path).c_str());
            failure = SaveFailure::WriteFailed;
            return nullptr;
        }
        std::FILE* file = _fdopen(descriptor, "wb");
        if (!file) {
            _close(descriptor);
            ::DeleteFileW(LongPathForm(path).c_str());
            failure = SaveFailure::WriteFailed;
            return nullptr;
        }
        failure = SaveFailure::None;
        return file;
    }

    SaveFailure MoveReplacing(const std::wstring& from, const std::wstring& to) override {
        if (::MoveFileExW(LongPathForm(from).c_str(), LongPathForm(to).c_str(), MOVEFILE_REPLACE_EXISTING))
            return SaveFailure::None;
        return FailureFromWin32Error(::GetLastError(), to);
    }

    void RemoveFile(const std::wstring& path) override { ::DeleteFileW(LongPathForm(path).c_str()); }

    void RemoveEmptyFolder(const std::wstring& folder) override {
        // The system removes a folder only while it is empty.
        ::RemoveDirectoryW(LongPathForm(folder).c_str());
    }

    void ListFiles(const std::wstring& folder,
                   const std::function<void(const std::wstring&)>& visit) override {
        std::wstring pattern = LongPathForm(folder.empty() ? std::wstring(L".") : folder);
        if (!pattern.empty() && !IsPathSeparator(pattern.back())) pattern += L'\\';
        pattern += L'*';
        WIN32_FIND_DATAW found{};
        HANDLE search =
            ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
        if (search == INVALID_HANDLE_VALUE) return;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) visit(found.cFileName);
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
};

}  // namespace

std::wstring LongPathForm(const std::wstring& path) {
    if (path.size() >= 4 && path[0] == L'\\' && path[1] == L'\\' && (path[2] == L'?' || path[2] == L'.') &&
        path[3] == L'\\')
        return path;
    const std::wstring full = FullPath(path);
    if (full.size() < kLongPathThreshold) return path;
    return ExtendedLengthPath(full);
}

SaveFailure FailureFromWin32Error(DWORD error, const std::wstring& path) {
    switch (error) {
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
        case ERROR_PRIVILEGE_NOT_HELD:
            return SaveFailure::NoPermission;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
        case kErrorDiskQuotaExceeded:
            return SaveFailure::DiskFull;
        case ERROR_FILENAME_EXCED_RANGE:
        case ERROR_BUFFER_OVERFLOW:
            return SaveFailure::PathTooLong;
        case ERROR_INVALID_NAME:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_FILE_NOT_FOUND:
        case ERROR_DIRECTORY:
            // A name the system would take but for its length.
            if (HasOverlongComponent(path) || FullPath(path).size() >= kMaxExtendedPathChars)
                return SaveFailure::PathTooLong;
            return error == ERROR_PATH_NOT_FOUND ? SaveFailure::FolderNotCreated : SaveFailure::WriteFailed;
        default:
            return SaveFailure::WriteFailed;
    }
}

OutputFileSystem& Win32FileSystem() {
    static Win32OutputFileSystem files;
    return files;
}

OutputFileSystem& Win32OutputPlatform::Files() {
    return Win32FileSystem();
}

std::wstring Win32OutputPlatform::PicturesFolder() {
    return ShellPicturesFolder();
}

std::wstring Win32OutputPlatform::LocalAppDataFolder() {
    return ShellLocalAppDataFolder();
}

tamrik::CalendarTime Win32OutputPlatform::LocalTime() {
    return tamrik::SystemLocalTime();
}

}  // namespace orbilux
