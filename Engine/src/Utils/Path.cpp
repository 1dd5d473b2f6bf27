#include "Utils/Path.h"

#include "Utils/Utf8Path.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {

std::string& storedBasePath()
{
    static std::string path = ".";
    return path;
}

} // namespace

std::string basePath() { return storedBasePath(); }

void setBasePath(const std::string& path) { storedBasePath() = path; }

void createDirectory(const std::string& name)
{
    std::string path = basePath() + "/" + name;
#ifndef _WIN32
    // Windows takes both separators as they are; elsewhere only "/" separates, so a "\" written in
    // the Windows way is turned into one.
    std::replace(path.begin(), path.end(), '\\', '/');
#endif
    std::error_code error;
    std::filesystem::create_directory(pathFromUtf8(path), error);
}
