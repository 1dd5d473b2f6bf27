#include "support/Headless.h"

#include "Core/Core.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

void startHeadlessCore()
{
    static bool started = false;
    if (started)
        return;
    // Never under a real display: a fatal error would open a box that waits for a click.
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    Core::instance().init("Duelfall tests", {1024, 720}, true);
    started = true;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string scratchDirectory(const std::string& name)
{
    const std::filesystem::path dir = std::filesystem::path("scratch") / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir.string();
}
