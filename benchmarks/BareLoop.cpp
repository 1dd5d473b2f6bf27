#include "BareLoop.h"

#include <SDL_image.h>

#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "bare SDL loop: %s: %s\n", what, SDL_GetError());
    std::exit(2);
}

} // namespace

BareLoop::BareLoop()
{
    window_ = SDL_CreateWindow(
        "bare", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kWidth, kHeight, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (window_ == nullptr)
        fail("window");
    renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED);
    if (renderer_ == nullptr)
        fail("renderer");
    SDL_SetRenderDrawBlendMode(renderer_, SDL_BLENDMODE_BLEND);
    target_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, kWidth, kHeight);
    if (target_ == nullptr)
        fail("target");
}

BareLoop::~BareLoop()
{
    if (background_ != nullptr)
        SDL_DestroyTexture(background_);
    SDL_DestroyTexture(target_);
    SDL_DestroyRenderer(renderer_);
    SDL_DestroyWindow(window_);
}

void BareLoop::loadBackground(const std::string& path)
{
    background_ = IMG_LoadTexture(renderer_, path.c_str());
    if (background_ == nullptr)
        fail("background picture");
    SDL_QueryTexture(background_, nullptr, nullptr, &backgroundRect_.w, &backgroundRect_.h);
}

void BareLoop::show() { SDL_ShowWindow(window_); }

void BareLoop::runFrame()
{
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) { }
    SDL_SetRenderTarget(renderer_, target_);
    SDL_SetRenderDrawColor(renderer_, 192, 192, 192, 255);
    SDL_RenderClear(renderer_);
    if (background_ != nullptr)
        SDL_RenderCopy(renderer_, background_, nullptr, &backgroundRect_);
    SDL_SetRenderTarget(renderer_, nullptr);
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    const SDL_Rect whole{0, 0, kWidth, kHeight};
    SDL_RenderCopy(renderer_, target_, nullptr, &whole);
    SDL_RenderPresent(renderer_);
}

void BareLoop::readOnePixel()
{
    const SDL_Rect one{0, 0, 1, 1};
    uint32_t pixel = 0;
    SDL_RenderReadPixels(renderer_, &one, SDL_PIXELFORMAT_ARGB8888, &pixel, sizeof pixel);
}

std::string BareLoop::rendererName() const
{
    SDL_RendererInfo info{};
    SDL_GetRendererInfo(renderer_, &info);
    return info.name != nullptr ? info.name : "?";
}
