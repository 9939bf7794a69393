#include "sysinfo/win32/process_win.h"

#include <windows.h>

#include <psapi.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cwchar>
#include <thread>

#include <boost/format.hpp>

#include "window/raii.h"

namespace orbilux {

namespace {

constexpr DWORD kModuleNameChars = 1024;

uint64_t FileTimeValue(const FILETIME& t) {
    return (uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

// One processor's entry of SystemProcessorPerformanceInformation.
struct ProcessorPerformance {
    LARGE_INTEGER idleTime;
    LARGE_INTEGER kernelTime;
    LARGE_INTEGER userTime;
    LARGE_INTEGER dpcTime;
    LARGE_INTEGER interruptTime;
    ULONG interruptCount;
};
static_assert(sizeof(ProcessorPerformance) == 48, "one processor's performance record is 48 bytes");

constexpr int kSystemProcessorPerformanceInformation = 8;
using QuerySystemInformation = LONG(WINAPI*)(int, void*, ULONG, ULONG*);

// The idle time of all processors, so that it weighs like the process times,
// which also count every processor.
bool IdleTime(uint64_t& idle) {
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    if (!ntdll) return false;
    auto query =
        reinterpret_cast<QuerySystemInformation>(::GetProcAddress(ntdll, "NtQuerySystemInformation"));
    if (!query) return false;
    SYSTEM_INFO system{};
    ::GetSystemInfo(&system);
    std::vector<ProcessorPerformance> processors(std::max<DWORD>(system.dwNumberOfProcessors, 1));
    ULONG returned = 0;
    const ULONG bytes = ULONG(processors.size() * sizeof(ProcessorPerformance));
    if (query(kSystemProcessorPerformanceInformation, processors.data(), bytes, &returned) < 0) return false;
    const size_t filled = std::min<size_t>(returned / sizeof(ProcessorPerformance), processors.size());
    if (filled == 0) return false;
    idle = 0;
    for (size_t i = 0; i < filled; ++i) idle += uint64_t(processors[i].idleTime.QuadPart);
    return true;
}

std::wstring FileDescription(const std::wstring& file) {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(file.c_str(), &ignored);
    if (size == 0) return {};
    std::vector<BYTE> block(size);
    if (!::GetFileVersionInfoW(file.c_str(), 0, size, block.data())) return {};

    struct Translation {
        WORD language;
        WORD codePage;
    };
    void* table = nullptr;
    UINT tableBytes = 0;
    if (!::VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &table, &tableBytes) || !table)
        return {};
    const auto* translations = static_cast<const Translation*>(table);
    const LANGID systemLanguage = ::GetSystemDefaultLangID();

    std::wstring description;
    for (UINT i = 0; i < tableBytes / sizeof(Translation); ++i) {
        const std::wstring query = (boost::wformat(L"\\StringFileInfo\\%04x%04x\\FileDescription") %
                                    translations[i].language % translations[i].codePage)
                                       .str();
        void* value = nullptr;
        UINT chars = 0;
        if (::VerQueryValueW(block.data(), query.c_str(), &value, &chars) && value) {
            const auto* text = static_cast<const wchar_t*>(value);
            description.assign(text, wcsnlen(text, chars));
        }
        if (translations[i].language == systemLanguage) break;
    }
    return description;
}

}  // namespace

ProcessInfo ProcessInfo::ForProcess(uint32_t processId) {
    ProcessInfo info;
    std::wstring file;
    tamrik::UniqueHandle process(
        ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (process) {
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof counters;
        if (::GetProcessMemoryInfo(process.Get(), &counters, sizeof counters))
            info.workingSet = counters.WorkingSetSize;

        HMODULE mainModule = nullptr;
        DWORD needed = 0;
        wchar_t name[kModuleNameChars] = {};
        if (::EnumProcessModules(process.Get(), &mainModule, sizeof mainModule, &needed) &&
            ::GetModuleFileNameExW(process.Get(), mainModule, name, kModuleNameChars) > 0) {
            file = name;
            info.description = FileDescription(file);
            if (info.description.empty()) {
                SHFILEINFOW shellInfo{};
                if (::SHGetFileInfoW(file.c_str(), FILE_ATTRIBUTE_NORMAL, &shellInfo, sizeof shellInfo,
                                     SHGFI_DISPLAYNAME | SHGFI_USEFILEATTRIBUTES)) {
                    info.displayName = shellInfo.szDisplayName;
                }
            }
        }
    }
    if (info.displayName.empty()) info.path = file.empty() ? ProcessIdName(processId) : file;
    return info;
}

std::vector<ProcessTime> Win32ProcessSource::SampleTimes() {
    std::vector<ProcessTime> times;
    tamrik::UniqueFileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (snapshot) {
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof entry;
        for (BOOL more = ::Process32FirstW(snapshot.Get(), &entry); more;
             more = ::Process32NextW(snapshot.Get(), &entry)) {
            if (entry.th32ProcessID == 0) continue;  // id 0 holds the idle time
            tamrik::UniqueHandle process(
                ::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, entry.th32ProcessID));
            if (!process) continue;
            FILETIME created, exited, kernel, user;
            if (::GetProcessTimes(process.Get(), &created, &exited, &kernel, &user)) {
                times.push_back({entry.th32ProcessID, FileTimeValue(kernel) + FileTimeValue(user)});
            }
        }
    }
    uint64_t idle = 0;
    if (IdleTime(idle)) times.push_back({0, idle});
    return times;
}

void Win32ProcessSource::Pause(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

}  // namespace orbilux
