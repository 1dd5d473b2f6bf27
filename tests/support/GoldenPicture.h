#pragma once

#include "Graphics/Image.h"

#include <string>

// Golden pictures: what the player sees at a chosen moment, against tests/golden/pictures/<name>.png. A pixel
// whose channels differ by more than 2 fails the test, which names the picture, the number of such pixels and
// the box they lie in, and writes the picture and a difference image (the pixels that differ in magenta over a
// faded copy) into golden-diff/ of the working directory, in the build folder. With DUELFALL_UPDATE_GOLDEN set
// in the environment the file is written from the picture instead. Pictures drawn in this process by another
// renderer than SDL's software one (the accelerated renderers round differently) are not compared.
void expectGoldenPicture(const Image& picture, const std::string& name);

// A PNG file's pixels, as the renderer reads them back (an empty image if the file cannot be read).
Image loadPicture(const std::string& path);
