#include "System/GameDirectories.h"

#include "Utils/Path.h"
#include "Utils/Utf8Path.h"

#include <SDL_filesystem.h>
#include <SDL_stdinc.h>

#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

// SDL's strings as UTF-8 paths, with SDL's allocation released.
std::string takeSdlString(char* text)
{
    if (text == nullptr)
        return {};
    std::string copy = text;
    SDL_free(text);
    return copy;
}

bool holdsData(const fs::path& dir)
{
    std::error_code error;
    return !dir.empty() && fs::is_directory(dir / "data", error);
}

std::vector<fs::path> dataCandidates(const std::string& name)
{
    std::vector<fs::path> candidates{fs::path(".")};
    const std::string executableDir = takeSdlString(SDL_GetBasePath());
    if (!executableDir.empty()) {
        const fs::path exe = pathFromUtf8(executableDir);
        candidates.push_back(exe);
        candidates.push_back(exe / ".." / "share" / name);
        candidates.push_back(exe / ".." / "share" / "games" / name);
    }
    return candidates;
}

// Whether userData/ exists or can be made here and a file in it opened for appending.
bool canWriteUserData(const fs::path& dir)
{
    std::error_code error;
    fs::create_directories(dir / "userData", error);
    if (error)
        return false;
    std::ofstream probe(dir / "userData" / "log.txt", std::ios::app);
    return probe.is_open();
}

} // namespace

GameDirectories settleGameDirectories(const std::string& name)
{
    GameDirectories found;
    for (const fs::path& candidate : dataCandidates(name)) {
        if (!holdsData(candidate))
            continue;
        std::error_code error;
        const fs::path dir = fs::canonical(candidate, error);
        if (error)
            continue;
        fs::current_path(dir, error);
        if (error)
            continue;
        found.data = utf8FromPath(dir);
        break;
    }

    found.user = ".";
    if (!canWriteUserData(".")) {
        std::string pref = takeSdlString(SDL_GetPrefPath("", name.c_str()));
        while (!pref.empty() && (pref.back() == '/' || pref.back() == '\\'))
            pref.pop_back();
        if (!pref.empty() && canWriteUserData(pathFromUtf8(pref)))
            found.user = pref;
    }
    setBasePath(found.user);
    return found;
}
