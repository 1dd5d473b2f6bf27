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

struct DataCandidate {
    fs::path dir;
    bool installed = false;
};

// SDL's strings as UTF-8 paths, with SDL's allocation released.
std::string takeSdlString(char* text)
{
    if (text == nullptr)
        return {};
    std::string copy = text;
    SDL_free(text);
    return copy;
}

// A folder named data is any folder of that name (a player's photos, another game's): only the marker
// of the asset generator tells this game's data.
bool holdsData(const fs::path& dir, const std::string& name)
{
    if (dir.empty())
        return false;
    std::ifstream marker(dir / "data" / pathFromUtf8(dataMarkerName(name)), std::ios::binary);
    std::string firstLine;
    std::getline(marker, firstLine);
    if (!firstLine.empty() && firstLine.back() == '\r')
        firstLine.pop_back();
    return marker && firstLine == dataMarkerText(name);
}

std::vector<DataCandidate> dataCandidates(const std::string& name, const std::string& sourceDir)
{
    std::vector<DataCandidate> candidates{{fs::path("."), false}};
    const std::string executableDir = takeSdlString(SDL_GetBasePath());
    if (!executableDir.empty()) {
        const fs::path exe = pathFromUtf8(executableDir);
        candidates.push_back({exe, false});
        candidates.push_back({exe / ".." / "share" / pathFromUtf8(name), true});
        candidates.push_back({exe / ".." / "share" / "games" / pathFromUtf8(name), true});
    }
    if (!sourceDir.empty())
        candidates.push_back({pathFromUtf8(sourceDir), false});
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

std::string dataMarkerName(const std::string& name) { return name + ".data"; }

std::string dataMarkerText(const std::string& name) { return name + " game data"; }

std::string preferencePath(const std::string& name)
{
    std::string pref = takeSdlString(SDL_GetPrefPath("", name.c_str()));
    while (!pref.empty() && (pref.back() == '/' || pref.back() == '\\'))
        pref.pop_back();
    return pref;
}

GameDirectories settleGameDirectories(const std::string& name, const std::string& sourceDir)
{
    GameDirectories found;
    for (const DataCandidate& candidate : dataCandidates(name, sourceDir)) {
        if (!holdsData(candidate.dir, name))
            continue;
        std::error_code error;
        const fs::path dir = fs::canonical(candidate.dir, error);
        if (error)
            continue;
        fs::current_path(dir, error);
        if (error)
            continue;
        found.data = utf8FromPath(dir);
        found.installed = candidate.installed;
        break;
    }

    // An installation's folders belong to its package, whoever runs the game; and a working directory
    // without the game's data is the player's, not a place to leave files in.
    const bool besideData = !found.data.empty() && !found.installed;
    found.user = std::string("."); // not assigned from the literal: GCC 12 warns wrongly (-Wrestrict) there
    if (!besideData || !canWriteUserData(".")) {
        const std::string pref = preferencePath(name);
        if (!pref.empty() && canWriteUserData(pathFromUtf8(pref)))
            found.user = pref;
    }
    setBasePath(found.user);
    return found;
}
