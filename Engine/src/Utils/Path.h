#pragma once

#include <string>

// The directory every file the engine writes is placed under: ".", the working directory.
std::string basePath();
// Creates basePath() + "/" + name (one level; its parent must exist). "/" and "\" both separate.
// The outcome is not reported: an existing directory or a failure changes nothing.
void createDirectory(const std::string& name);
