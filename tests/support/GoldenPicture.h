#pragma once

#include "Graphics/Image.h"

#include <string>

// The picture against tests/golden/pictures/<name>.png: pixels differing by more than 2 in a channel fail, named by
// number and box, and the picture and a difference image go to golden-diff/ in the working directory (the build
// folder); DUELFALL_UPDATE_GOLDEN rewrites the file. On Windows <name>.windows.png is taken where it exists (and
// only those are rewritten there). Not compared when drawn here by a non-software renderer.
void expectGoldenPicture(const Image& picture, const std::string& name);

// A PNG file's pixels, as the renderer reads them back (an empty image if the file cannot be read).
Image loadPicture(const std::string& path);
