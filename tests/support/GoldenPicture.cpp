#include "support/GoldenPicture.h"

#include "Core/Core.h"
#include "Graphics/Renderer.h"
#include "Utils/Utf8Path.h"

#include <SDL_image.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace {

// Rounding of scaled or blended pixels may differ by this much in a channel without failing.
constexpr int kTolerance = 2;

bool differs(uint32_t a, uint32_t b)
{
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > kTolerance)
            return true;
    return false;
}

// FreeType as built for Windows, without HarfBuzz, places some letters a pixel apart: where that shows, a
// picture has a Windows variant, made and kept up to date under Wine.
std::string goldenPath(const std::string& name, bool& variant)
{
    const std::string path = std::string(DUELFALL_SOURCE_DIR) + "/tests/golden/pictures/" + name;
#ifdef _WIN32
    variant = std::filesystem::exists(pathFromUtf8(path + ".windows.png"));
#else
    variant = false;
#endif
    return path + (variant ? ".windows.png" : ".png");
}

} // namespace

Image loadPicture(const std::string& path)
{
    SDL_Surface* loaded = IMG_Load(path.c_str());
    SDL_Surface* surface = loaded ? SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0) : nullptr;
    SDL_FreeSurface(loaded);
    Image image{surface ? Size{surface->w, surface->h} : Size{}, {}};
    for (int y = 0; y < image.size.h; ++y) {
        const auto* row = static_cast<const uint32_t*>(surface->pixels) + y * surface->pitch / 4;
        image.pixels.insert(image.pixels.end(), row, row + image.size.w);
    }
    SDL_FreeSurface(surface);
    return image;
}

void expectGoldenPicture(const Image& picture, const std::string& name)
{
    if (Core::instance().hasRenderer() && Core::instance().renderer().name() != "software")
        return;
    bool variant = false;
    const std::string path = goldenPath(name, variant);
#ifdef _WIN32
    // Windows rewrites only its own variants: the shared pictures are made on Linux.
    const bool update = variant && std::getenv("DUELFALL_UPDATE_GOLDEN");
#else
    const bool update = std::getenv("DUELFALL_UPDATE_GOLDEN") != nullptr;
#endif
    if (update) {
        EXPECT_TRUE(picture.savePng(path)) << path;
        return;
    }
    const Image golden = loadPicture(path);
    ASSERT_EQ(golden.size, picture.size) << "golden picture " << path << " missing or of another size";
    // The pixels that differ in magenta, the others at half their light.
    Image difference{picture.size, {}};
    int count = 0, left = picture.size.w, top = picture.size.h, right = -1, bottom = -1;
    for (size_t i = 0; i < picture.pixels.size(); ++i) {
        const bool wrong = differs(picture.pixels[i], golden.pixels[i]);
        difference.pixels.push_back(wrong ? 0xFFFF00FF : 0xFF000000 | ((picture.pixels[i] >> 1) & 0x7F7F7F));
        if (!wrong)
            continue;
        const int x = static_cast<int>(i % picture.size.w), y = static_cast<int>(i / picture.size.w);
        ++count, left = std::min(left, x), top = std::min(top, y), right = std::max(right, x), bottom = y;
    }
    if (count == 0)
        return;
    const std::filesystem::path directory = std::filesystem::absolute(pathFromUtf8("golden-diff"));
    std::filesystem::create_directories(directory);
    const std::string written = utf8FromPath(directory / pathFromUtf8(name));
    picture.savePng(written + ".png");
    difference.savePng(written + "-difference.png");
    ADD_FAILURE() << "picture " << name << ": " << count << " pixels differ from the golden one by more than "
                  << kTolerance << ", in x " << left << " to " << right << ", y " << top << " to " << bottom
                  << " (the picture and its difference: " << written << ".png, " << written << "-difference.png)";
}
