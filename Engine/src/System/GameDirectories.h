#pragma once

#include <string>

// Where the game reads its data/ and writes its userData/, settled once at start-up, before anything
// is loaded or logged, so that the game runs the same from the repository and from an installation.
struct GameDirectories {
    // The directory holding data/, made the working directory; empty if none was found (nothing is
    // changed then, and the first file that cannot be loaded is reported as usual).
    std::string data;
    // The directory userData/ goes under (the engine's basePath()).
    std::string user;
};

// data/ is looked for in the working directory, then next to the executable, then in the prefix's
// share/<name> (the executable being in <prefix>/bin or <prefix>/games). userData/ stays next to data/
// when it can be written there; otherwise it goes under SDL's per-user preference path for the name
// (~/.local/share/<name> on Linux, %APPDATA%\<name> on Windows).
GameDirectories settleGameDirectories(const std::string& name);
