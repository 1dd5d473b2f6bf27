#pragma once

#include <string>

// Starts the engine once per test program, headless (chooseHeadlessRendering, the dummy audio driver): a hidden
// 1024 x 720 window with its off-screen target. Safe to call often.
void startHeadlessCore();

// The whole content of a file ("" if it cannot be read).
std::string readFile(const std::string& path);

// A fresh scratch directory for files a test writes itself, inside a directory of the running test's own.
std::string scratchDirectory(const std::string& name);
