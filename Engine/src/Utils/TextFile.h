#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Small text files of the player's (settings, records), read whole and replaced whole.

// The bytes of a regular file of at most `largest` bytes; nothing for a missing, larger or unreadable one.
std::optional<std::string> readTextFile(const std::string& path, std::uintmax_t largest);

// Writes the text under the temporary name, then renames it over the path, so that a cut write never
// spoils the file already there. Nothing on success; otherwise the system's reason (empty when the
// stream gave none), the temporary file removed. Logs nothing: it may run on a thread of its own.
std::optional<std::string> replaceFile(const std::string& path, const std::string& temporary, const std::string& text);
