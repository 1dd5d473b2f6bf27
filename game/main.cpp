// Duelfall: one player, two bosses, one arena. The command line asks only for help, silence or a
// replay (see GameOptions).

#include "Core/Core.h"
#include "GameFrame.h"
#include "GameOptions.h"
#include "GameSession.h"
#include "World.h"

#include <SDL.h>

#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kUsageError = 2;

} // namespace

int main(int argc, char* argv[])
{
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

    // A replay that cannot be read is refused before anything starts.
    std::optional<Replay> replay = GameSession::loadReplay(options.replayFile);

    // The stretched off-screen picture is filtered at the best quality the renderer offers.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "best");
    Core& core = Core::instance();
    core.setAudioEnabled(!options.noAudio);
    core.init(kTitle, kLogicalSize, true);

    World world;
    GameSession session(world, std::move(replay));
    core.scenes().setGlobalScene(session.scene());
    core.run();
    return session.finish();
}
