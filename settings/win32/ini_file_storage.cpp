#include "settings/win32/ini_file_storage.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "settings/settings.h"
#include "window/raii.h"

namespace orbilux {

const wchar_t kSettingsRootSection[] = L"ORBILUXSettings";
const wchar_t kSettingsPrinterSection[] = L"ORBILUXSettings.printer_";

namespace {

using FileHandle = tamrik::UniqueFileHandle;

// Reads a whole file; an absent file reads as empty. False when it exists
// but cannot be read.
bool ReadWholeFile(const std::wstring& path, std::vector<char>& bytes) {
    bytes.clear();
    FileHandle file(::CreateFileW(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return ::GetLastError() == ERROR_FILE_NOT_FOUND;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.Get(), &size) || size.QuadPart > (64 << 20)) return false;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!bytes.empty() &&
        (!::ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
         read != bytes.size()))
        return false;
    return true;
}

bool WriteWholeFile(const std::wstring& path, const std::vector<char>& bytes,
                    DWORD creation = CREATE_ALWAYS) {
    FileHandle file(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, creation, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

bool FlushFile(const std::wstring& path) {
    FileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && ::FlushFileBuffers(file.Get());
}

bool HasByteOrderMark(const std::vector<char>& bytes) {
    auto starts = [&](const char* mark, size_t n) {
        return bytes.size() >= n && std::equal(mark, mark + n, bytes.begin());
    };
    return starts("\xFF\xFE", 2) || starts("\xFE\xFF", 2) || starts("\xEF\xBB\xBF", 3);
}

// The ANSI text as UTF-16LE with its byte-order mark.
std::vector<char> AnsiToUtf16File(const std::vector<char>& ansi) {
    std::vector<char> out = {'\xFF', '\xFE'};
    if (ansi.empty()) return out;
    const int chars =
        ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::vector<wchar_t> wide(chars > 0 ? chars : 0);
    if (chars > 0)
        ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), chars);
    for (wchar_t c : wide) {
        out.push_back(static_cast<char>(c & 0xFF));
        out.push_back(static_cast<char>((c >> 8) & 0xFF));
    }
    return out;
}

// How many other names a save tries when the usual temporary copy is held
// open by someone else.
constexpr int kSpareTempNames = 9;

// Writes the start of a save's temporary copy and returns its path; empty
// when no copy could be made. A copy left behind by an earlier save that
// ended badly is replaced, read-only or not; one that another program holds
// open is left alone and a name of its own is used instead.
std::wstring CreateTempCopy(const std::wstring& usual, const std::vector<char>& bytes) {
    ::SetFileAttributesW(usual.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (WriteWholeFile(usual, bytes)) return usual;
    ::DeleteFileW(usual.c_str());                                 // a copy cut short by a failed write
    const std::wstring stem = usual.substr(0, usual.size() - 4);  // without ".tmp"
    for (int i = 1; i <= kSpareTempNames; ++i) {
        const std::wstring spare = stem + L"." + std::to_wstring(i) + L".tmp";
        ::SetFileAttributesW(spare.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(spare.c_str());
        if (WriteWholeFile(spare, bytes, CREATE_NEW)) return spare;
        ::DeleteFileW(spare.c_str());
    }
    return std::wstring();
}

}  // namespace

// The temporary copy a save writes into. Dropped unless committed.
class CSettingsStorageIniFile::SaveSession {
public:
    explicit SaveSession(std::wstring tempPath) : tempPath_(std::move(tempPath)) {}
    ~SaveSession() {
        if (!committed_) ::DeleteFileW(tempPath_.c_str());
    }
    SaveSession(const SaveSession&) = delete;
    SaveSession& operator=(const SaveSession&) = delete;

    const std::wstring& TempPath() const { return tempPath_; }

    bool Commit(const std::wstring& filePath) {
        // Let the platform drop what it caches of the copy before moving it.
        ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, tempPath_.c_str());
        FlushFile(tempPath_);
        committed_ = ::MoveFileExW(tempPath_.c_str(), filePath.c_str(),
                                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
        return committed_;
    }

private:
    std::wstring tempPath_;
    bool committed_ = false;
};

CSettingsStorageIniFile::CSettingsStorageIniFile(const std::wstring& filePath, const std::wstring& section)
    : CSettingsStorageProfile(section), filePath_(TruncateSectionName(filePath)) {}

CSettingsStorageIniFile::~CSettingsStorageIniFile() = default;

std::wstring CSettingsStorageIniFile::TempPathFor(const std::wstring& filePath) {
    return filePath + L".tmp";
}

const std::wstring& CSettingsStorageIniFile::ActivePath() const {
    return session_ ? session_->TempPath() : filePath_;
}

std::unique_ptr<CSettingsStorage> CSettingsStorageIniFile::CreateSubStorage(const std::wstring& name) {
    auto sub = std::make_unique<CSettingsStorageIniFile>(filePath_, SubSectionName(Section(), name));
    sub->session_ = session_;
    return sub;
}

bool CSettingsStorageIniFile::BeginSave() {
    if (session_) {
        if (ownsSession_) ++saveDepth_;
        return true;
    }
    // The copy starts as the current file in UTF-16LE, which the profile
    // functions then keep writing as UTF-16LE: a missing or empty file starts
    // as just the byte-order mark, and a file in the ANSI code page is
    // converted, so that Japanese text written from now on survives.
    std::vector<char> bytes;
    if (!ReadWholeFile(filePath_, bytes)) return false;
    if (!HasByteOrderMark(bytes)) bytes = AnsiToUtf16File(bytes);
    std::wstring tempPath = CreateTempCopy(TempPathFor(filePath_), bytes);
    if (tempPath.empty()) return false;
    session_ = std::make_shared<SaveSession>(std::move(tempPath));
    ownsSession_ = true;
    saveDepth_ = 1;
    return true;
}

bool CSettingsStorageIniFile::EndSave() {
    if (!ownsSession_) return true;
    if (--saveDepth_ > 0) return true;
    const bool moved = session_->Commit(filePath_);
    session_.reset();
    ownsSession_ = false;
    return moved;
}

std::wstring CSettingsStorageIniFile::ReadText(const std::wstring& key, const std::wstring& defaultText,
                                               size_t bufferChars) {
    if (bufferChars == 0) return std::wstring();
    std::vector<wchar_t> buffer(bufferChars, L'\0');
    const DWORD count =
        ::GetPrivateProfileStringW(Section().c_str(), key.c_str(), defaultText.c_str(), buffer.data(),
                                   static_cast<DWORD>(bufferChars), ActivePath().c_str());
    return std::wstring(buffer.data(), count < bufferChars ? count : bufferChars - 1);
}

bool CSettingsStorageIniFile::WriteText(const std::wstring& key, const std::wstring& text) {
    // Written so that the reader's trimming and unquoting give the text back whole.
    const std::wstring value = ProfileValueText(text);
    return ::WritePrivateProfileStringW(Section().c_str(), key.c_str(), value.c_str(),
                                        ActivePath().c_str()) != FALSE;
}

bool CSettingsStorageIniFile::ReadStruct(const std::wstring& key, void* data, size_t size) {
    return ::GetPrivateProfileStructW(Section().c_str(), key.c_str(), data, static_cast<UINT>(size),
                                      ActivePath().c_str()) != FALSE;
}

bool CSettingsStorageIniFile::WriteStruct(const std::wstring& key, const void* data, size_t size) {
    return ::WritePrivateProfileStructW(Section().c_str(), key.c_str(), const_cast<void*>(data),
                                        static_cast<UINT>(size), ActivePath().c_str()) != FALSE;
}

void CSettingsStorageIniFile::ReportUnreadableDevMode() {
    ::MessageBoxW(nullptr, kDevModeFailureText, kDevModeFailureCaption, MB_OK | MB_ICONWARNING);
}

}  // namespace orbilux
