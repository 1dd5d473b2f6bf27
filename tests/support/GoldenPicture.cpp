#include "support/GoldenPicture.h"

#include "Core/Core.h"
#include "Graphics/Renderer.h"

#include <SDL_image.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace {

// Rounding of scaled or blended pixels may differ by this much in a channel without failing.
constexpr int kTolerance = 2;
constexpr uint32_t kMagenta = 0xFFFF00FF;

bool differs(uint32_t a, uint32_t b)
{
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > kTolerance)
            return true;
    return false;
}

// Half of the pixel's light, so that the differences stand out.
uint32_t faded(uint32_t pixel) { return 0xFF000000 | ((pixel >> 1) & 0x007F7F7F); }

} // namespace

Image loadPicture(const std::string& path)
{
    Image image;
    SDL_Surface* loaded = IMG_Load(path.c_str());
    SDL_Surface* surface = loaded ? SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0) : nullptr;
    SDL_FreeSurface(loaded);
    if (surface == nullptr)
        return image;
    image.size = {surface->w, surface->h};
    for (int y = 0; y < surface->h; ++y) {
        const auto* row
            = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(surface->pixels) + y * surface->pitch);
        image.pixels.insert(image.pixels.end(), row, row + surface->w);
    }
    SDL_FreeSurface(surface);
    return image;
}

void expectGoldenPicture(const Image& picture, const std::string& name)
{
    Core& core = Core::instance();
    if (core.hasRenderer() && core.renderer().name() != "software")
        return;
    const std::string path = std::string(DUELFALL_SOURCE_DIR) + "/tests/golden/pictures/" + name + ".png";
    ASSERT_FALSE(picture.pixels.empty()) << "no picture " << name;
    if (std::getenv("DUELFALL_UPDATE_GOLDEN")) {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        EXPECT_TRUE(picture.savePng(path)) << path;
        return;
    }
    const Image golden = loadPicture(path);
    ASSERT_EQ(golden.size, picture.size) << "golden picture " << path << " missing or of another size";
    Image difference{picture.size, {}};
    int count = 0;
    Rect box{picture.size.w, picture.size.h, 0, 0}; // grown below as right and bottom edges
    for (int y = 0; y < picture.size.h; ++y)
        for (int x = 0; x < picture.size.w; ++x) {
            const size_t i = static_cast<size_t>(y) * picture.size.w + x;
            const bool wrong = differs(picture.pixels[i], golden.pixels[i]);
            difference.pixels.push_back(wrong ? kMagenta : faded(picture.pixels[i]));
            if (!wrong)
                continue;
            ++count;
            box = {std::min(box.x, x), std::min(box.y, y), std::max(box.w, x + 1), std::max(box.h, y + 1)};
        }
    if (count == 0)
        return;
    std::filesystem::create_directories("golden-diff");
    const std::string written = std::filesystem::absolute("golden-diff/" + name).string();
    picture.savePng(written + ".png");
    difference.savePng(written + "-difference.png");
    ADD_FAILURE() << "picture " << name << ": " << count << " pixels differ from the golden one by more than "
                  << kTolerance << ", in x " << box.x << " to " << box.w - 1 << ", y " << box.y << " to " << box.h - 1
                  << " (the picture and its difference: " << written << ".png, " << written << "-difference.png)";
}
