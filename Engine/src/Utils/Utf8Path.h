#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// Paths are UTF-8 text everywhere in the engine, the game and the tools. These two functions are the
// one place where such text becomes the platform's own form and back: on Windows a wide string, so
// that names outside the ANSI code page (Cyrillic, Greek, CJK user names) survive. Every file is
// opened, created, listed, renamed or removed through a path made here (or through SDL, which takes
// UTF-8 itself); a narrow std::string never reaches the C or C++ library.
std::filesystem::path pathFromUtf8(std::string_view text);
std::string utf8FromPath(const std::filesystem::path& path);
