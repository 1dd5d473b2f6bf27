#pragma once

#include <string>

// The directory every file the engine writes is placed under: ".", the working directory, unless
// start-up chose another (an installed game writes under the user's own directory).
std::string basePath();
// Set once at start-up, before anything is written; no trailing separator.
void setBasePath(const std::string& path);
// Creates basePath() + "/" + name (one level; its parent must exist). "/" and "\" both separate.
// The outcome is not reported: an existing directory or a failure changes nothing.
void createDirectory(const std::string& name);
