#include "System/OsInfo.h"

#include "Utils/Utf8Path.h"

#include <array>
#include <fstream>
#include <sstream>

#ifdef _WIN32
#include "System/WindowsHeaders.h"
#else
#include <sys/utsname.h>
#endif

namespace {

constexpr const char* kErrorName = "Error";

struct WindowsVersion {
    uint32_t major;
    uint32_t minor; // kAnyMinor matches every minor version
    const char* name;
};
constexpr uint32_t kAnyMinor = UINT32_MAX;
constexpr std::array<WindowsVersion, 8> kWindowsVersions = {{
    {10, kAnyMinor, "Windows 10"},
    {6, 3, "Windows 8.1"},
    {6, 2, "Windows 8"},
    {6, 1, "Windows 7"},
    {6, 0, "Windows Vista"},
    {5, 2, "Windows XP Professional x64 Edition"},
    {5, 1, "Windows XP"},
    {5, 0, "Windows 2000"},
}};

std::string tableName(uint32_t major, uint32_t minor)
{
    for (const WindowsVersion& version : kWindowsVersions) {
        if (version.major == major && (version.minor == kAnyMinor || version.minor == minor))
            return version.name;
    }
    return "Unknown";
}

// One value of an os-release file: a shell-like string, optionally in double or single quotes;
// backslash escapes apply outside single quotes.
std::string unquoteOsReleaseValue(std::string_view value)
{
    char quote = 0;
    if (!value.empty() && (value.front() == '"' || value.front() == '\'')) {
        quote = value.front();
        value.remove_prefix(1);
    }
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (quote != 0 && c == quote)
            break;
        if (c == '\\' && quote != '\'' && i + 1 < value.size()) {
            out.push_back(value[++i]);
            continue;
        }
        out.push_back(c);
    }
    if (quote == 0) {
        while (!out.empty() && (out.back() == ' ' || out.back() == '\t' || out.back() == '\r'))
            out.pop_back();
    }
    return out;
}

#ifdef _WIN32

// Reads the true version record through RtlGetVersion: unlike GetVersionEx it is not bent by the
// program's compatibility manifest. The record is cleared before the query.
bool queryOsVersion(OSVERSIONINFOEXW& record)
{
    HMODULE ntdll = LoadLibraryW(L"ntdll.dll");
    if (ntdll == nullptr)
        return false;
    using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);
    const auto rtlGetVersion
        = reinterpret_cast<RtlGetVersionFunction>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
    if (rtlGetVersion == nullptr) {
        FreeLibrary(ntdll);
        return false;
    }
    record = {};
    record.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXW); // 284 bytes
    rtlGetVersion(reinterpret_cast<OSVERSIONINFOW*>(&record));
    FreeLibrary(ntdll);
    return true;
}

bool isWorkstation()
{
    OSVERSIONINFOEXW request = {};
    request.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXW);
    request.wProductType = VER_NT_WORKSTATION;
    const DWORDLONG condition = VerSetConditionMask(0, VER_PRODUCT_TYPE, VER_EQUAL);
    return VerifyVersionInfoW(&request, VER_PRODUCT_TYPE, condition) != FALSE;
}

// IsWow64Process is missing on early Windows XP; there the engine cannot run under WOW64.
bool isWow64Process()
{
    HMODULE kernel32 = GetModuleHandleW(L"kernel32");
    if (kernel32 == nullptr)
        return false;
    using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, BOOL*);
    const auto isWow64
        = reinterpret_cast<IsWow64ProcessFunction>(reinterpret_cast<void*>(GetProcAddress(kernel32, "IsWow64Process")));
    if (isWow64 == nullptr)
        return false;
    BOOL flag = FALSE;
    isWow64(GetCurrentProcess(), &flag);
    return flag != FALSE;
}

#else

std::string readTextFile(const char* path)
{
    std::ifstream in(pathFromUtf8(path));
    if (!in)
        return {};
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

#endif

} // namespace

std::string windowsVersionName(
    bool workstation, bool queryOk, uint32_t major, uint32_t minor, uint16_t servicePackMajor)
{
    if (!workstation)
        return "Windows Server";
    if (!queryOk)
        return kErrorName;
    std::string name = tableName(major, minor);
    if (servicePackMajor != 0)
        name += " SP" + std::to_string(servicePackMajor);
    return name;
}

std::string windowsArchName(bool wow64) { return wow64 ? "x64" : "x86"; }

std::string osReleasePrettyName(std::string_view osRelease)
{
    constexpr std::string_view key = "PRETTY_NAME=";
    std::string name;
    while (!osRelease.empty()) {
        const std::size_t end = osRelease.find('\n');
        const std::string_view line = osRelease.substr(0, end);
        osRelease.remove_prefix(end == std::string_view::npos ? osRelease.size() : end + 1);
        // As in a shell, a later assignment wins.
        if (line.substr(0, key.size()) == key)
            name = unquoteOsReleaseValue(line.substr(key.size()));
    }
    return name;
}

#ifdef _WIN32

std::string osName()
{
    const bool workstation = isWorkstation();
    OSVERSIONINFOEXW record = {};
    record.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXW);
    const bool queryOk = workstation && queryOsVersion(record);
    return windowsVersionName(
        workstation, queryOk, record.dwMajorVersion, record.dwMinorVersion, record.wServicePackMajor);
}

// A 64-bit engine runs only on 64-bit Windows; a 32-bit one is on 64-bit Windows when WOW64 carries it.
std::string osArch() { return windowsArchName(sizeof(void*) == 8 || isWow64Process()); }

#else

std::string osName()
{
    for (const char* path : {"/etc/os-release", "/usr/lib/os-release"}) {
        std::string name = osReleasePrettyName(readTextFile(path));
        if (!name.empty())
            return name;
    }
    utsname system = {};
    if (uname(&system) != 0)
        return kErrorName;
    return std::string(system.sysname) + " " + system.release;
}

std::string osArch()
{
    utsname system = {};
    if (uname(&system) != 0)
        return kErrorName;
    return system.machine;
}

#endif
