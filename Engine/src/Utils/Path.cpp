#include "Utils/Path.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <sys/stat.h>
#include <sys/types.h>
#endif

#include <algorithm>

namespace {

std::string& storedBasePath()
{
    static std::string path = ".";
    return path;
}

} // namespace

std::string basePath() { return storedBasePath(); }

void setBasePath(const std::string& path) { storedBasePath() = path; }

#ifdef _WIN32

// Windows takes both separators as they are; the path goes to it as UTF-16.
void createDirectory(const std::string& name)
{
    const std::string path = basePath() + "/" + name;
    const int length = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
    if (length <= 0)
        return;
    std::wstring widePath(static_cast<size_t>(length), L'\0');
    if (MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, widePath.data(), length) <= 0)
        return;
    // The converted length counts the terminating null, which the string keeps on its own.
    widePath.resize(static_cast<size_t>(length) - 1);
    CreateDirectoryW(widePath.c_str(), nullptr);
}

#else

// Here only "/" separates, so a "\" written in the Windows way is turned into one.
void createDirectory(const std::string& name)
{
    std::string path = basePath() + "/" + name;
    std::replace(path.begin(), path.end(), '\\', '/');
    mkdir(path.c_str(), 0755);
}

#endif
