// Duelfall: one player, two bosses, one arena. The command line is ignored.

#include "Core/Core.h"
#include "GameFrame.h"
#include "GameSession.h"
#include "World.h"

#include <SDL.h>

int main(int /*argc*/, char* /*argv*/[])
{
    // The stretched off-screen picture is filtered at the best quality the renderer offers.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "best");
    Core& core = Core::instance();
    core.init(kTitle, kLogicalSize, true);

    World world;
    GameSession session(world, std::nullopt);
    core.scenes().setGlobalScene(session.scene());
    core.run();
    return session.finish();
}
