#include "Shell/GameIcon.h"

#include "Graphics/Surface.h"
#include "System/WindowIcon.h"
#include "Utils/LogFile.h"
#include "Utils/Utf8Path.h"

#include <filesystem>
#include <string>

#ifdef _WIN32

// Windows gives the window the icon of the executable's resource, with every size drawn for it.
void showGameIcon(Window& /*window*/) { }

#else

namespace {

constexpr int kBigIcon = 256; // pixels
constexpr int kSmallIcon = 32;

std::string iconPath(int size) { return "data/icon/duelfall-" + std::to_string(size) + ".png"; }

} // namespace

void showGameIcon(Window& window)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(pathFromUtf8(iconPath(kBigIcon)), error)) {
        writeLogLine(logFile(), "Window icon " + iconPath(kBigIcon) + " not found: the default icon stays", false);
        return;
    }
    const Surface big(iconPath(kBigIcon), Color());
    if (std::filesystem::is_regular_file(pathFromUtf8(iconPath(kSmallIcon)), error)) {
        const Surface small(iconPath(kSmallIcon), Color());
        setIcon(window, big, &small);
    } else {
        setIcon(window, big);
    }
}

#endif
