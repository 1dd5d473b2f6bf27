#pragma once

#include <SDL_render.h>

#include <string>
#include <string_view>

// The sections of the start-up report, each a block of "key: value" lines that opens with its
// "---Name---" line and ends with "----------", every line ending in "\n". They only query.

// Compiled (from the headers' macros) and linked versions of SDL, SDL_image, SDL_ttf and SDL_mixer.
std::string versionsSection();
// Which SDL subsystems are running.
std::string subsystemSection();
// The renderer's name, limits, flags and texture formats; for an OpenGL renderer the GL strings and,
// with extensions on, the extension list; for Direct3D 9 (Windows) the adapter. A null renderer gives
// "Renderer not initialized!".
std::string renderSection(SDL_Renderer* renderer, bool withExtensions);
// Display 0: its name and current mode.
std::string displaySection();
// Every mode of display 0.
std::string displayModesSection();
// Audio drivers, the one in use and its output devices.
std::string audioSection();
// Cores, cache line size and instruction-set extensions.
std::string cpuSection();
// Platform, memory and hardware threads.
std::string otherSection();
// Operating-system name and architecture.
std::string osSection();

// An OpenGL extension string written one extension per line: every blank becomes a line feed and a
// final line feed is added where missing. An empty string gives no lines.
std::string extensionLines(std::string_view extensions);
