#include <winsock2.h>
#include <windows.h>

#include <iphlpapi.h>
#include <ntsecapi.h>
#include <pdh.h>
#include <pdhmsg.h>

#include <cstring>

#include "sysinfo/computer_info.h"
#include "sysinfo/process_list.h"
#include "sysinfo/win32/process_win.h"
#include "sysinfo/win32/system_probes_win.h"
#include "base/win32/local_time.h"
#include "window/helpers.h"
#include "window/raii.h"

namespace orbilux {

namespace {

void ClosePdhQuery(PDH_HQUERY query) {
    ::PdhCloseQuery(query);
}
void CloseLsaHandle(LSA_HANDLE handle) {
    ::LsaClose(handle);
}
void FreeLsaMemory(void* block) {
    ::LsaFreeMemory(block);
}

constexpr DWORD kLimitedBroadcast = 0xFFFFFFFF;  // 255.255.255.255

// An adapter without a default gateway lists 0.0.0.0.
std::wstring GatewayText(const IP_ADDR_STRING& gateway) {
    if (std::strcmp(gateway.IpAddress.String, "0.0.0.0") == 0) return {};
    return AnsiToWide(gateway.IpAddress.String);
}

}  // namespace

std::wstring AnsiToWide(const char* text) {
    if (!text || !*text) return {};
    const int chars = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (chars <= 1) return {};
    std::wstring wide(size_t(chars), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), chars);
    wide.resize(size_t(chars) - 1);
    return wide;
}

bool Win32SystemProbes::Adapters(std::vector<AdapterRecord>& out) {
    out.clear();
    DWORD best = 0;
    if (::GetBestInterface(kLimitedBroadcast, &best) != NO_ERROR) return false;
    DWORD interfaces = 0;
    if (::GetNumberOfInterfaces(&interfaces) != NO_ERROR) return false;

    std::vector<IP_ADAPTER_INFO> records(std::max<DWORD>(interfaces, 1));
    ULONG bytes = ULONG(records.size() * sizeof(IP_ADAPTER_INFO));
    DWORD result = ::GetAdaptersInfo(records.data(), &bytes);
    if (result == ERROR_BUFFER_OVERFLOW) {  // more adapters than interfaces counted a moment ago
        records.resize(bytes / sizeof(IP_ADAPTER_INFO) + 1);
        bytes = ULONG(records.size() * sizeof(IP_ADAPTER_INFO));
        result = ::GetAdaptersInfo(records.data(), &bytes);
    }
    if (result != NO_ERROR) return false;

    for (const IP_ADAPTER_INFO* adapter = records.data(); adapter; adapter = adapter->Next) {
        AdapterRecord record;
        record.adapterName = AnsiToWide(adapter->AdapterName);
        record.description = AnsiToWide(adapter->Description);
        record.ipAddress = AnsiToWide(adapter->IpAddressList.IpAddress.String);
        record.ipMask = AnsiToWide(adapter->IpAddressList.IpMask.String);
        record.gateway = GatewayText(adapter->GatewayList);
        record.dhcpEnabled = adapter->DhcpEnabled != 0;
        out.push_back(record);
    }
    return true;
}

std::vector<std::wstring> Win32SystemProbes::DnsServers() {
    std::vector<std::wstring> servers;
    ULONG bytes = 0;
    if (::GetNetworkParams(nullptr, &bytes) != ERROR_BUFFER_OVERFLOW || bytes == 0) return servers;
    std::vector<FIXED_INFO> params(bytes / sizeof(FIXED_INFO) + 1);
    bytes = ULONG(params.size() * sizeof(FIXED_INFO));
    if (::GetNetworkParams(params.data(), &bytes) != NO_ERROR) return servers;
    for (const IP_ADDR_STRING* server = &params[0].DnsServerList; server; server = server->Next) {
        // With no server configured the list holds one empty address.
        if (server->IpAddress.String[0]) servers.push_back(AnsiToWide(server->IpAddress.String));
    }
    return servers;
}

std::wstring Win32SystemProbes::ComputerName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD chars = MAX_COMPUTERNAME_LENGTH + 1;
    if (::GetComputerNameW(name, &chars)) return std::wstring(name, chars);
    if (::GetLastError() != ERROR_BUFFER_OVERFLOW || chars == 0) return {};
    std::wstring longer(chars, L'\0');  // a host name longer than a NetBIOS name
    if (!::GetComputerNameW(longer.data(), &chars)) return {};
    longer.resize(chars);
    return longer;
}

std::wstring Win32SystemProbes::UserName() {
    wchar_t name[257] = {};
    DWORD chars = 257;
    if (!::GetUserNameW(name, &chars)) return {};
    return name;
}

tamrik::CalendarTime Win32SystemProbes::LocalTime() {
    return tamrik::SystemLocalTime();
}

bool Win32SystemProbes::ReadMemoryStatus(MemoryStatus& out) {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!::GlobalMemoryStatusEx(&status)) return false;
    out.memoryLoad = status.dwMemoryLoad;
    out.physicalTotal = status.ullTotalPhys;
    out.physicalFree = status.ullAvailPhys;
    out.pageFileTotal = status.ullTotalPageFile;
    out.pageFileFree = status.ullAvailPageFile;
    out.virtualTotal = status.ullTotalVirtual;
    out.virtualFree = status.ullAvailVirtual;
    return true;
}

std::vector<std::wstring> Win32SystemProbes::ProcessLines() {
    Win32ProcessSource source;
    ProcessList list;
    list.Sample(source);
    return list.lines;
}

ForegroundWindow Win32SystemProbes::ReadForegroundWindow() {
    ForegroundWindow foreground;
    HWND window = ::GetForegroundWindow();
    if (!window) return foreground;
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    foreground.found = true;
    foreground.processId = processId;
    foreground.ownProcess = processId == ::GetCurrentProcessId();
    if (foreground.ownProcess) return foreground;
    foreground.title = tamrik::WindowText(window);
    return foreground;
}

std::wstring Win32SystemProbes::ProcessName(uint32_t processId) {
    return ProcessInfo::ForProcess(processId).Name();
}

bool Win32SystemProbes::UpTimeCounter(uint32_t& seconds) {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (!::GetVersionExW(&version) || version.dwPlatformId != VER_PLATFORM_WIN32_NT) return false;

    tamrik::UniqueResource<PDH_HQUERY, &ClosePdhQuery> query;
    if (::PdhOpenQueryW(nullptr, 0, query.Put()) != ERROR_SUCCESS) return false;
    // Counter names are translated on localised systems; the English name is tried first.
    const wchar_t* counterPath = L"\\\\.\\System\\System Up Time";
    PDH_HCOUNTER counter = nullptr;
    if (::PdhAddEnglishCounterW(query.Get(), counterPath, 0, &counter) != ERROR_SUCCESS &&
        ::PdhAddCounterW(query.Get(), counterPath, 0, &counter) != ERROR_SUCCESS) {
        return false;
    }
    if (::PdhCollectQueryData(query.Get()) != ERROR_SUCCESS) return false;
    PDH_FMT_COUNTERVALUE value{};
    if (::PdhGetFormattedCounterValue(counter, PDH_FMT_LARGE, nullptr, &value) != ERROR_SUCCESS) return false;
    if (value.CStatus != PDH_CSTATUS_VALID_DATA && value.CStatus != PDH_CSTATUS_NEW_DATA) return false;
    seconds = uint32_t(uint64_t(value.largeValue) & 0xFFFFFFFFu);
    return true;
}

uint64_t Win32SystemProbes::MillisecondsSinceStart() {
    return ::GetTickCount64();
}

bool Win32SystemProbes::ReadPowerStatus(PowerStatus& out) {
    SYSTEM_POWER_STATUS status{};
    if (!::GetSystemPowerStatus(&status)) return false;
    out.acLineStatus = status.ACLineStatus;
    out.batteryLifePercent = status.BatteryLifePercent;
    return true;
}

bool Win32SystemProbes::ReadPrimaryDomain(PrimaryDomain& out) {
    LSA_OBJECT_ATTRIBUTES attributes{};
    tamrik::UniqueResource<LSA_HANDLE, &CloseLsaHandle> policy;
    if (::LsaOpenPolicy(nullptr, &attributes, POLICY_VIEW_LOCAL_INFORMATION, policy.Put()) != 0) return false;
    tamrik::UniqueResource<void*, &FreeLsaMemory> answer;
    if (::LsaQueryInformationPolicy(policy.Get(), PolicyPrimaryDomainInformation, answer.Put()) != 0)
        return false;
    const auto* domain = static_cast<const POLICY_PRIMARY_DOMAIN_INFO*>(answer.Get());
    if (!domain) return false;
    out.name.assign(domain->Name.Buffer ? domain->Name.Buffer : L"", domain->Name.Length / sizeof(wchar_t));
    out.hasSid = domain->Sid != nullptr;
    return true;
}

}  // namespace orbilux

namespace orbilux {

void GatherSystemInfo(ComputerInfo& info, const GatherNeeds& needs) {
    Win32SystemProbes probes;
    info.gatherComputerInfo(needs, probes);
}

}  // namespace orbilux
