#pragma once
// System: the start-up report of the machine's capabilities and the operating-system services.
// Depends on Core (renderer, window), Graphics (surfaces) and Utils (logging, paths).

#include <string>

// The whole report: nine sections (Versions, Check subsystem, Render, Display, Available display
// formats, Audio, CPU, Other, OS), each ending in "----------", separated by blank lines.
std::string systemInfoReport();

// Rewrites "userData/systemInfo.txt" with the report and one line feed; skipped if the file cannot
// be opened.
void writeSystemInfoReport();
