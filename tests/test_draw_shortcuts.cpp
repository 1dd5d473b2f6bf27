// The drawing shortcuts must not change a pixel: a clear held back until something needs it (and dropped
// when an opaque picture hides the whole target), and layers flattened once into a picture of their own.
#include "Core/Core.h"
#include "Graphics/FlatPicture.h"
#include "Graphics/Renderer.h"
#include "Graphics/Sprite.h"
#include "Graphics/Texture.h"
#include "support/Headless.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

const Color kRed{255, 0, 0, 255}, kGreen{0, 255, 0, 255}, kBlue{0, 0, 255, 255};
const Size kTargetSize{64, 48};

struct Outcome {
    Image pixels;
    Color drawColor;
};

// Paints the target green, clears it red (held back, or done at once through SDL), runs the steps and
// reads the target and the draw colour back.
Outcome drawAfterClear(Texture& target, bool heldBack, const std::function<void(Renderer&)>& steps)
{
    Renderer& renderer = Core::instance().renderer();
    renderer.setTarget(target.handle());
    renderer.setScale(1, 1);
    renderer.fillRect({{0, 0}, kTargetSize}, kGreen);
    if (heldBack) {
        renderer.clear(kRed);
    } else {
        SDL_SetRenderDrawColor(renderer.handle(), kRed.r, kRed.g, kRed.b, kRed.a);
        SDL_RenderClear(renderer.handle());
    }
    steps(renderer);
    renderer.setScale(1, 1);
    Outcome outcome{renderer.readPixels(), {}};
    SDL_GetRenderDrawColor(
        renderer.handle(), &outcome.drawColor.r, &outcome.drawColor.g, &outcome.drawColor.b, &outcome.drawColor.a);
    renderer.setTarget(nullptr);
    return outcome;
}

TEST(HeldClear, EveryFrameLooksAsIfTheClearHadBeenDoneAtOnce)
{
    startHeadlessCore();
    Texture target(kTargetSize);
    Texture other(kTargetSize);
    Texture opaque("data/img/bg.png");
    Texture seeThrough("data/img/bullet.png");
    ASSERT_TRUE(opaque.isOpaque());
    ASSERT_FALSE(seeThrough.isOpaque());
    const Rect whole{{0, 0}, kTargetSize};

    struct Case {
        const char* what;
        std::function<void(Renderer&)> steps;
    };
    const Case cases[] = {
        {"an opaque picture over all of it", [&](Renderer& r) { r.copy(opaque, whole); }},
        {"an opaque picture beyond every edge",
            [&](Renderer& r) {
                r.copy(opaque, {{-5, -5}, {80, 60}});
            }},
        {"one pixel short on the right",
            [&](Renderer& r) {
                r.copy(opaque, {{0, 0}, {63, 48}});
            }},
        {"one pixel short at the bottom",
            [&](Renderer& r) {
                r.copy(opaque, {{0, 0}, {64, 47}});
            }},
        {"moved one pixel right",
            [&](Renderer& r) {
                r.copy(opaque, {{1, 0}, kTargetSize});
            }},
        {"moved one pixel down",
            [&](Renderer& r) {
                r.copy(opaque, {{0, 1}, kTargetSize});
            }},
        {"a source out of the picture",
            [&](Renderer& r) {
                r.copy(opaque, whole, Rect{{-64, 0}, kTargetSize});
            }},
        {"a source inside the picture",
            [&](Renderer& r) {
                r.copy(opaque, whole, Rect{{100, 100}, {64, 48}});
            }},
        {"translucent through its alpha",
            [&](Renderer& r) {
                opaque.setAlpha(uint8_t{128});
                r.copy(opaque, whole);
                opaque.setAlpha(uint8_t{255});
            }},
        {"added rather than copied",
            [&](Renderer& r) {
                opaque.setBlendMode(SDL_BLENDMODE_ADD);
                r.copy(opaque, whole);
                opaque.setBlendMode(SDL_BLENDMODE_NONE);
            }},
        {"a picture with transparent pixels", [&](Renderer& r) { r.copy(seeThrough, whole); }},
        {"scaled down by the renderer",
            [&](Renderer& r) {
                r.setScale(0.5f, 0.5f);
                r.copy(opaque, whole);
            }},
        {"scaled up by the renderer",
            [&](Renderer& r) {
                r.setScale(2, 2);
                r.copy(opaque, {{16, 0}, kTargetSize});
            }},
        {"turned", [&](Renderer& r) { r.copyEx(opaque, whole, std::nullopt, 90, SDL_FLIP_NONE); }},
        {"nothing drawn", [](Renderer&) {}},
        {"a colour set and nothing drawn", [](Renderer& r) { r.setDrawColor(kBlue); }},
        {"a colour set, then a copy",
            [&](Renderer& r) {
                r.setDrawColor(kBlue);
                r.copy(seeThrough, {{8, 8}, {16, 16}});
            }},
        {"a line in the set colour",
            [&](Renderer& r) {
                r.setDrawColor(kBlue);
                SDL_RenderDrawLine(r.handle(), 0, 0, 63, 0);
            }},
        {"a point",
            [](Renderer& r) {
                r.drawPoint({3, 3}, kBlue);
            }},
        {"a filled rectangle",
            [](Renderer& r) {
                r.fillRect({{2, 2}, {5, 5}}, kBlue);
            }},
        {"another target drawn in between",
            [&](Renderer& r) {
                r.setTarget(other.handle());
                r.fillRect({{0, 0}, kTargetSize}, kBlue);
                r.setTarget(target.handle());
            }},
    };
    for (const Case& c : cases) {
        const Outcome held = drawAfterClear(target, true, c.steps);
        const Outcome atOnce = drawAfterClear(target, false, c.steps);
        EXPECT_EQ(held.pixels.size, atOnce.pixels.size) << c.what;
        EXPECT_TRUE(held.pixels.pixels == atOnce.pixels.pixels) << c.what;
        EXPECT_EQ(held.drawColor, atOnce.drawColor) << c.what;
    }
}

TEST(FlatPicture, ShowsTheLayersAsDrawnOneByOneWhateverChanges)
{
    startHeadlessCore();
    Renderer& renderer = Core::instance().renderer();
    const Rect whole{{0, 0}, renderer.outputSize()};
    Texture background("data/img/bg.png");
    Sprite bottom(background, {0, 0});
    Sprite top(Texture("data/img/gameover_overlay.png"), {0, 0});
    bottom.rect() = top.rect() = whole;
    FlatPicture flat;
    const auto frame = [&](bool flattened) {
        renderer.clear(kRed);
        if (flattened) {
            flat.draw({&bottom, &top});
        } else {
            bottom.draw();
            top.draw();
        }
        return renderer.readPixels().pixels;
    };
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"as loaded", [] {}},
        {"again", [] {}},
        {"another top picture", [&] { top.setTexture(Texture("data/img/victory_overlay.png")); }},
        {"the top translucent", [&] { top.texture().setAlpha(uint8_t{100}); }},
        {"the top moved",
            [&] {
                top.texture().setAlpha(uint8_t{255});
                top.rect().x = 7;
            }},
        {"the bottom tinted",
            [&] {
                top.rect().x = 0;
                background.setColorMod(200, 100, 50);
            }},
        {"the bottom cut",
            [&] {
                background.setColorMod(255, 255, 255);
                bottom.clip() = Rect{{0, 0}, {512, 360}};
            }},
        {"a bottom with transparent pixels",
            [&] {
                bottom.clip().reset();
                bottom.setTexture(Texture("data/img/victory_overlay.png"));
                bottom.rect() = whole;
            }},
    };
    for (const auto& [what, change] : changes) {
        change();
        EXPECT_TRUE(frame(true) == frame(false)) << what;
    }
}

} // namespace
