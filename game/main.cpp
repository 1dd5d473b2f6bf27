// Duelfall: one player, two bosses, one arena. The command line asks only for help, silence or a
// replay (see GameOptions).

#include "Core/Core.h"
#include "Fight/World.h"
#include "Frame/GameFrame.h"
#include "Settings/ApplySettings.h"
#include "Settings/SettingsFile.h"
#include "Shell/GameIcon.h"
#include "Shell/GameOptions.h"
#include "Shell/GameSession.h"
#include "System/GameDirectories.h"
#include "System/ParentConsole.h"
#include "Utils/Utf8Path.h"

#include <SDL.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kUsageError = 2;
// The name of the installed files and of the per-user directory.
constexpr const char* kGameName = "duelfall";
#ifdef DUELFALL_SOURCE_TREE
constexpr const char* kSourceTree = DUELFALL_SOURCE_TREE;
#else
constexpr const char* kSourceTree = "";
#endif

std::string absolutePath(const std::string& path)
{
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(pathFromUtf8(path), error);
    return error ? path : utf8FromPath(absolute);
}

} // namespace

// SDL.h renames this function SDL_main on Windows, where SDL2main's entry point calls it with the
// arguments in UTF-8, whatever the system's code page: every argument is UTF-8 text on every platform.
int main(int argc, char* argv[])
{
    attachParentConsole();
    const GameOptionsResult read = parseGameOptions(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
    if (!read.error.empty()) {
        std::fprintf(stderr, "duelfall: %s\n", read.error.c_str());
        return kUsageError;
    }
    const GameOptions& options = read.options;
    if (options.help) {
        std::fputs(gameUsage(), stdout);
        return 0;
    }

    // The replay's path is the player's, from where the game was started: taken before the game moves
    // to the directory of its data.
    const std::string replayFile = options.replayFile.empty() ? "" : absolutePath(options.replayFile);
    settleGameDirectories(kGameName, kSourceTree);
    // A replay that cannot be read is refused before anything starts.
    std::optional<Replay> replay = GameSession::loadReplay(replayFile);
    // The player's settings: none of them can stop the game (a file that cannot be read is the defaults).
    SettingsFile settings = SettingsFile::read(settingsPath());

    // The stretched off-screen picture is filtered at the best quality the renderer offers.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "best");
    Core& core = Core::instance();
    core.setAudioEnabled(!options.noAudio);
    core.init(kTitle, kLogicalSize, true);
    showGameIcon(core.window());
    core.input().controllers().setMappingsFile(controllerMappingsPath());

    World world;
    applySettings(settings.settings(), world);
    GameSession session(world, std::move(replay), settings.settings().jumpBuffer, recordsPath());
    session.offerOptions(settings);
    core.scenes().setGlobalScene(session.scene());
    core.run();
    return session.finish();
}
