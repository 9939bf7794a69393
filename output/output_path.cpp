#include "output/output_path.h"

#include <cerrno>
#include <cwctype>
#include <exception>
#include <limits>
#include <system_error>

#include "base/platform.h"

namespace orbilux {
namespace fs = std::filesystem;

namespace {

wchar_t FoldCase(wchar_t c) {
    return wchar_t(std::towlower(std::wint_t(c)));
}

bool IsDriveLetterPrefix(const std::wstring& p) {
    return p.size() >= 2 && p[1] == L':' &&
           ((p[0] >= L'A' && p[0] <= L'Z') || (p[0] >= L'a' && p[0] <= L'z'));
}

}  // namespace

std::wstring WithoutTrailingSeparators(const std::wstring& path) {
    size_t end = path.size();
    while (end > 0 && IsPathSeparator(path[end - 1])) --end;
    if (end == 0) return path.empty() ? path : path.substr(0, 1);         // the root
    if (end == 2 && IsDriveLetterPrefix(path)) return path.substr(0, 3);  // "C:\"
    return path.substr(0, end);
}

CPath::CPath(const std::wstring& path) {
    size_t pos = 0;
    if (IsDriveLetterPrefix(path)) {
        drive_ = path.substr(0, 2);
        pos = 2;
    } else if (path.size() >= 2 && IsPathSeparator(path[0]) && IsPathSeparator(path[1])) {
        // "\\server\share": the server and share names belong to the drive.
        size_t end = 2;
        for (int part = 0; part < 2 && end < path.size(); ++part) {
            while (end < path.size() && !IsPathSeparator(path[end])) ++end;
            if (part == 0 && end < path.size()) ++end;
        }
        drive_ = path.substr(0, end);
        pos = end;
    }
    size_t lastSep = std::wstring::npos;
    for (size_t i = pos; i < path.size(); ++i)
        if (IsPathSeparator(path[i])) lastSep = i;
    const size_t nameStart = lastSep == std::wstring::npos ? pos : lastSep + 1;
    directory_ = path.substr(pos, nameStart - pos);
    const std::wstring name = path.substr(nameStart);
    const size_t dot = name.rfind(L'.');
    if (dot == std::wstring::npos) {
        title_ = name;
    } else {
        title_ = name.substr(0, dot);
        extension_ = name.substr(dot);
    }
}

std::vector<std::wstring> CPath::DirectoryComponents() const {
    std::vector<std::wstring> parts;
    std::wstring current;
    for (wchar_t c : directory_) {
        if (IsPathSeparator(c)) {
            if (!current.empty()) parts.push_back(current);
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    if (!current.empty()) parts.push_back(current);
    return parts;
}

namespace {

// The portable file functions: std::filesystem and the C library.
class PortableFiles final : public OutputFileSystem {
public:
    Kind Probe(const std::wstring& path) override {
        std::error_code ec;
        // "blocker/" is no file to the system: ask without the separator.
        const fs::file_status status = fs::status(tamrik::NativePath(WithoutTrailingSeparators(path)), ec);
        if (status.type() == fs::file_type::not_found || status.type() == fs::file_type::none)
            return Kind::Missing;
        return status.type() == fs::file_type::directory ? Kind::Folder : Kind::File;
    }
    SaveFailure MakeFolder(const std::wstring& folder) override {
        std::error_code ec;
        fs::create_directory(tamrik::NativePath(folder), ec);
        if (!ec) return SaveFailure::None;
        const Kind kind = Probe(folder);
        if (kind == Kind::Folder) return SaveFailure::None;
        if (kind == Kind::File) return SaveFailure::NotAFolder;
        return ec.value() == ENOENT ? SaveFailure::FolderNotCreated : FailureFromErrno(ec.value());
    }
    std::FILE* OpenForWrite(const std::wstring& path, SaveFailure& failure) override {
        errno = 0;
        std::FILE* file = tamrik::OpenFileForWriting(tamrik::NativePath(path));
        failure = file ? SaveFailure::None : FailureFromErrno(errno);
        return file;
    }
    SaveFailure MoveReplacing(const std::wstring& from, const std::wstring& to) override {
        std::error_code ec;
        const fs::path target = tamrik::NativePath(to);
        fs::rename(tamrik::NativePath(from), target, ec);
        if (ec) {  // some platforms do not replace an existing file
            std::error_code removeError;
            fs::remove(target, removeError);
            ec.clear();
            fs::rename(tamrik::NativePath(from), target, ec);
        }
        return ec ? FailureFromErrno(ec.value()) : SaveFailure::None;
    }
    void RemoveFile(const std::wstring& path) override {
        std::error_code ec;
        fs::remove(tamrik::NativePath(path), ec);
    }
    void RemoveEmptyFolder(const std::wstring& folder) override {
        std::error_code ec;
        const fs::path p = tamrik::NativePath(folder);
        if (fs::is_directory(p, ec) && fs::is_empty(p, ec) && !ec) fs::remove(p, ec);
    }
    void ListFiles(const std::wstring& folder,
                   const std::function<void(const std::wstring&)>& visit) override {
        std::error_code ec;
        fs::directory_iterator it(folder.empty() ? fs::path(".") : tamrik::NativePath(folder), ec);
        if (ec) return;
        for (const fs::directory_iterator end; it != end; it.increment(ec)) {
            if (ec) break;
            std::error_code typeError;
            if (it->is_directory(typeError)) continue;
            visit(tamrik::WideFileName(it->path()));
        }
    }
};

}  // namespace

OutputFileSystem& PortableFileSystem() {
    static PortableFiles files;
    return files;
}

namespace {

// A full disk quota, where the C library names one.
#ifdef EDQUOT
bool IsQuotaExceeded(int error) {
    return error == EDQUOT;
}
#else
bool IsQuotaExceeded(int) {
    return false;
}
#endif

}  // namespace

SaveFailure FailureFromErrno(int error) {
    if (IsQuotaExceeded(error)) return SaveFailure::DiskFull;
    switch (error) {
        case 0:
            return SaveFailure::WriteFailed;  // failed without saying why
        case EACCES:
        case EPERM:
        case EROFS:
            return SaveFailure::NoPermission;
        case ENOSPC:
        case EFBIG:
            return SaveFailure::DiskFull;
        case ENAMETOOLONG:
            return SaveFailure::PathTooLong;
        case ENOTDIR:
            return SaveFailure::NotAFolder;
        default:
            return SaveFailure::WriteFailed;
    }
}

bool FolderExists(OutputFileSystem& files, const std::wstring& folder) {
    return files.Probe(folder) == OutputFileSystem::Kind::Folder;
}

SaveFailure MakeFolderLevels(OutputFileSystem& files, const std::wstring& folder,
                             std::vector<std::wstring>* created) {
    if (folder.empty()) return SaveFailure::NoFolder;
    if (files.Probe(folder) == OutputFileSystem::Kind::Folder) return SaveFailure::None;
    const CPath path(folder + L"\\");  // every component of folder is a directory
    std::wstring level = path.Drive();
    if (path.IsRooted() || (!level.empty() && !IsDriveLetterPrefix(level))) level += L'\\';
    SaveFailure first = SaveFailure::None;
    for (const std::wstring& part : path.DirectoryComponents()) {
        level += part;
        level += L'\\';
        const OutputFileSystem::Kind kind = files.Probe(level);
        if (kind == OutputFileSystem::Kind::Folder) continue;
        SaveFailure failure = SaveFailure::NotAFolder;
        if (kind == OutputFileSystem::Kind::Missing) {
            failure = files.MakeFolder(level);
            if (failure == SaveFailure::None && created) created->push_back(level);
        }
        if (first == SaveFailure::None) first = failure;
    }
    if (files.Probe(folder) == OutputFileSystem::Kind::Folder) return SaveFailure::None;
    return first == SaveFailure::None ? SaveFailure::FolderNotCreated : first;
}

bool CreateFolderLevels(OutputFileSystem& files, const std::wstring& folder) {
    return MakeFolderLevels(files, folder) == SaveFailure::None;
}

void RemoveEmptyFolders(OutputFileSystem& files, const std::vector<std::wstring>& folders) {
    for (auto it = folders.rbegin(); it != folders.rend(); ++it) files.RemoveEmptyFolder(*it);
}

std::FILE* OpenForWrite(OutputFileSystem& files, const std::wstring& path, SaveFailure* failure) {
    SaveFailure why = SaveFailure::None;
    std::FILE* file = files.OpenForWrite(path, why);
    if (failure) *failure = why;
    // Encoders hand over a few kilobytes at a time; fewer, larger writes.
    if (file) std::setvbuf(file, nullptr, _IOFBF, kWriteBufferBytes);
    return file;
}

std::wstring TemporaryPathFor(const std::wstring& path) {
    size_t split = 0;
    for (size_t i = 0; i < path.size(); ++i)
        if (IsPathSeparator(path[i])) split = i + 1;
    // The "~" keeps a half-written file out of the sequence-number listing.
    return path.substr(0, split) + L"~" + path.substr(split) + L".tmp";
}

bool WriteFileReplacing(OutputFileSystem& files, const std::wstring& path,
                        const std::function<bool(std::FILE*)>& fill, SaveFailure* failure) {
    SaveFailure why = SaveFailure::None;
    const std::wstring temporary = TemporaryPathFor(path);
    std::FILE* file = OpenForWrite(files, temporary, &why);
    if (file) {
        bool filled = false;
        errno = 0;
        try {
            filled = fill(file);
        } catch (const std::exception&) {
            filled = false;
        }
        // The reason is the error number of the first write that failed,
        // read right after it.
        const int fillError = errno;
        if (std::ferror(file)) why = FailureFromErrno(fillError);
        errno = 0;
        if ((std::fflush(file) != 0 || std::ferror(file)) && why == SaveFailure::None)
            why = FailureFromErrno(errno);
        errno = 0;
        if (std::fclose(file) != 0 && why == SaveFailure::None) why = FailureFromErrno(errno);
        if (!filled && why == SaveFailure::None) why = SaveFailure::WriteFailed;
        if (why == SaveFailure::None) why = files.MoveReplacing(temporary, path);
        if (why != SaveFailure::None) files.RemoveFile(temporary);
    }
    if (failure) *failure = why;
    return why == SaveFailure::None;
}

std::wstring ExtendedLengthPath(const std::wstring& fullPath) {
    const std::wstring& p = fullPath;
    if (p.size() >= 4 && IsPathSeparator(p[0]) && IsPathSeparator(p[1]) && (p[2] == L'?' || p[2] == L'.') &&
        IsPathSeparator(p[3]))
        return p;
    std::wstring prefix;
    size_t pos = 0;
    size_t keep = 0;  // components that ".." may not take away (server and share)
    if (IsDriveLetterPrefix(p) && p.size() >= 3 && IsPathSeparator(p[2])) {
        prefix = L"\\\\?\\" + p.substr(0, 2) + L"\\";
        pos = 3;
    } else if (p.size() >= 3 && IsPathSeparator(p[0]) && IsPathSeparator(p[1]) && !IsPathSeparator(p[2])) {
        prefix = L"\\\\?\\UNC\\";
        pos = 2;
        keep = 2;
    } else {
        return p;  // not a full path
    }

    std::vector<std::wstring> parts;
    std::wstring current;
    auto flush = [&](bool last) {
        if (current == L"..") {
            if (parts.size() > keep) parts.pop_back();
        } else if (!current.empty() && current != L".") {
            // A name ending in one dot loses it ("a." is "a"; "a.." stays).
            if (current.size() >= 2 && current.back() == L'.' && current[current.size() - 2] != L'.')
                current.pop_back();
            if (last)
                while (!current.empty() && (current.back() == L'.' || current.back() == L' '))
                    current.pop_back();
            if (!current.empty()) parts.push_back(current);
        }
        current.clear();
    };
    for (; pos < p.size(); ++pos) {
        if (IsPathSeparator(p[pos]))
            flush(false);
        else
            current.push_back(p[pos]);
    }
    flush(true);
    if (keep > 0 && parts.size() < keep) return p;  // "\\server" alone names no share

    std::wstring out = prefix;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) out += L'\\';
        out += parts[i];
    }
    return out;
}

std::wstring ShortenMiddle(const std::wstring& text, size_t maxChars) {
    if (text.size() <= maxChars) return text;
    const wchar_t kEllipsis = L'\u2026';
    if (maxChars == 0) return std::wstring();
    if (maxChars == 1) return std::wstring(1, kEllipsis);
    // Keep the start up to the end of the first folder name ("C:\Users\",
    // "\\server\share\") when that leaves room for the end, else half of it.
    const bool unc = text.size() > 1 && IsPathSeparator(text[0]) && IsPathSeparator(text[1]);
    size_t head = 0;
    size_t seps = 0;
    for (size_t i = 0; i < text.size() && head == 0; ++i)
        if (IsPathSeparator(text[i]) && ++seps == (unc ? 4u : 2u)) head = i + 1;
    const size_t room = maxChars - 1;
    if (head == 0 || head > room / 2) head = room / 2;
    const size_t tail = room - head;
    return text.substr(0, head) + kEllipsis + text.substr(text.size() - tail);
}

bool WildcardMatch(const std::wstring& pattern, const std::wstring& name) {
    size_t p = 0, n = 0;
    size_t starP = std::wstring::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == L'*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == L'?' || FoldCase(pattern[p]) == FoldCase(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::wstring::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*') ++p;
    return p == pattern.size();
}

bool SamePathText(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldCase(a[i]) != FoldCase(b[i])) return false;
    return true;
}

void FileGlobBase::MatchPattern(const std::wstring& pattern) {
    size_t split = 0;
    for (size_t i = 0; i < pattern.size(); ++i)
        if (IsPathSeparator(pattern[i])) split = i + 1;
    if (split == 0 && IsDriveLetterPrefix(pattern)) split = 2;
    const std::wstring folder = pattern.substr(0, split);
    const std::wstring namePattern = pattern.substr(split);
    files_.ListFiles(folder, [&](const std::wstring& name) {
        if (WildcardMatch(namePattern, name)) OnMatch(folder + name);
    });
}

void FileGlobList::OnMatch(const std::wstring& fullPath) {
    for (const std::wstring& f : files_)
        if (SamePathText(f, fullPath)) return;
    files_.push_back(fullPath);
}

bool ParseDecimalInteger(const std::wstring& text, int64_t& value) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    if (i == text.size()) return false;
    // Accumulate as a negative number so that INT64_MIN is representable.
    int64_t result = 0;
    for (; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c < L'0' || c > L'9') return false;
        const int digit = int(c - L'0');
        if (result < (std::numeric_limits<int64_t>::min() + digit) / 10) return false;
        result = result * 10 - digit;
    }
    if (!negative) {
        if (result == std::numeric_limits<int64_t>::min()) return false;
        result = -result;
    }
    value = result;
    return true;
}

}  // namespace orbilux
