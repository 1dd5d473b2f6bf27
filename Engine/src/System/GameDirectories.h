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
    // Whether the data was found where an installation puts it, <prefix>/share/<name>.
    bool installed = false;
};

// The name of the file the asset generator writes into data/, and its first line: a folder named data
// holds this game's data only if it holds this file.
std::string dataMarkerName(const std::string& name);
std::string dataMarkerText(const std::string& name);

// The per-user directory for the name, without a trailing separator: $XDG_DATA_HOME/<name> or
// ~/.local/share/<name> on Linux, %APPDATA%\<name> on Windows (SDL's preference path). Created if missing;
// empty if there is none.
std::string preferencePath(const std::string& name);

// data/ is taken where it holds the game's marker, looked for in the working directory, then next to the
// executable, then in the prefix's share/<name> (the executable being in <prefix>/bin or <prefix>/games),
// then in sourceDir (a build finds the data of its own source tree; empty for none). An installed game
// writes userData/ under the preference path; a game run from its own folder writes it next to data/
// when it can, under the preference path otherwise, and so does a game that found no data.
GameDirectories settleGameDirectories(const std::string& name, const std::string& sourceDir = "");
