#pragma once

#include "Graphics/Image.h"

#include <cstdint>
#include <functional>
#include <string>

// Helpers of the engine's test programs, in a namespace of their own so that no other helper clashes at link time.
namespace engine_test {

// The log's size now: the lines a death test adds come after it.
std::uintmax_t logSize();

// Everything the log received after the given size.
std::string logSince(std::uintmax_t offset);

// Runs the action in a child process that must end with status 1, printing "Error! " and the message and logging
// it as an ERROR line followed by a second one (SDL's error). Returns the lines the child added to the log.
std::string expectFatal(const std::function<void()>& action, const std::string& message);

// How many pixels of the image have exactly this colour.
int countPixels(const Image& image, Color color);

} // namespace engine_test
