#include "output/output_path.h"

#include <cwctype>
#include <limits>
#include <system_error>

#include "base/text.h"

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

fs::path ToFsPath(const std::wstring& path) {
#ifdef _WIN32
    return fs::path(path);
#else
    std::wstring slashes = path;
    for (wchar_t& c : slashes)
        if (c == L'\\') c = L'/';
    return fs::path(tamrik::WideToUtf8(slashes));
#endif
}

bool FolderExists(const std::wstring& folder) {
    std::error_code ec;
    return fs::is_directory(ToFsPath(folder), ec);
}

bool CreateFolderLevels(const std::wstring& folder) {
    if (folder.empty()) return false;
    if (FolderExists(folder)) return true;
    const CPath path(folder + L"\\");  // every component of folder is a directory
    std::wstring level = path.Drive();
    if (path.IsRooted() || (!level.empty() && !IsDriveLetterPrefix(level))) level += L'\\';
    for (const std::wstring& part : path.DirectoryComponents()) {
        level += part;
        level += L'\\';
        std::error_code ec;
        const fs::path p = ToFsPath(level);
        if (!fs::is_directory(p, ec)) fs::create_directory(p, ec);  // a failure is not reported
    }
    return FolderExists(folder);
}

std::FILE* OpenForWrite(const std::wstring& path) {
#ifdef _WIN32
    std::FILE* file = _wfopen(ToFsPath(path).c_str(), L"wb");
#else
    std::FILE* file = std::fopen(ToFsPath(path).c_str(), "wb");
#endif
    // Encoders hand over a few kilobytes at a time; fewer, larger writes.
    if (file) std::setvbuf(file, nullptr, _IOFBF, kWriteBufferBytes);
    return file;
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

    std::error_code ec;
    fs::directory_iterator it(folder.empty() ? fs::path(".") : ToFsPath(folder), ec);
    if (ec) return;
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        if (ec) break;
        std::error_code typeError;
        if (it->is_directory(typeError)) continue;
#ifdef _WIN32
        const std::wstring name = it->path().filename().wstring();
#else
        const std::wstring name = tamrik::Utf8ToWide(it->path().filename().string());
#endif
        if (WildcardMatch(namePattern, name)) OnMatch(folder + name);
    }
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
