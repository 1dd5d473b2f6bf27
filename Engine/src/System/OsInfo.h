#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The operating system's name and architecture, as the start-up report prints them.
//
// On Windows the name comes from the version record (RtlGetVersion) and the workstation test, the
// architecture from IsWow64Process. On Linux the name is the PRETTY_NAME of the OS release file
// (/etc/os-release, else /usr/lib/os-release), falling back to uname's system name and release; the
// architecture is uname's machine name (e.g. "x86_64").

// "Windows 10", "Windows 7 SP1", "Debian GNU/Linux 12 (bookworm)", ...; "Error" when nothing can be read.
std::string osName();
// "x64" or "x86" on Windows; the machine name on Linux; "Error" when it cannot be read.
std::string osArch();

// The Windows name from the workstation test and the version record: "Windows Server" for any server,
// "Error" when the record could not be read, otherwise the name of major.minor ("Unknown" for a
// combination not in the table) with " SP<n>" appended for a service pack n other than 0.
std::string windowsVersionName(
    bool workstation, bool queryOk, uint32_t major, uint32_t minor, uint16_t servicePackMajor);

// A 32-bit engine under WOW64 runs on 64-bit Windows: "x64"; otherwise "x86".
std::string windowsArchName(bool wow64);

// The value of PRETTY_NAME in the text of an os-release file, unquoted and unescaped; "" if absent.
std::string osReleasePrettyName(std::string_view osRelease);
