// The operating-system services: the Windows version table, the OS release name, the icon image, the
// dialog filter text, the UTF-8/UTF-16 conversions (with what the fuzz targets of fuzz/ turned up), and on
// the headless core the display modes and icon.
#include "Core/Core.h"
#include "Graphics/Surface.h"
#include "Input/Window.h"
#include "System/DisplayMode.h"
#include "System/FileDialog.h"
#include "System/IconImage.h"
#include "System/NativeWindow.h"
#include "System/OsInfo.h"
#include "System/TextConversion.h"
#include "System/WindowIcon.h"
#include "support/Headless.h"

#include <gtest/gtest.h>

#include <SDL.h>

#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

uint32_t le32(const Bytes& bytes, std::size_t at)
{
    return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) | (static_cast<uint32_t>(bytes[at + 3]) << 24);
}

Bytes pixelBytes(const SDL_Surface* surface)
{
    const auto* first = static_cast<const uint8_t*>(surface->pixels);
    return {first, first + static_cast<std::size_t>(surface->pitch) * surface->h};
}

} // namespace

TEST(OsInfo, TheNameOfThisSystemAndTheWindowsArchitectures)
{
    // The Windows version table, the release-file parser and the conversions are in the table of test_values.
    EXPECT_FALSE(osName().empty());
    EXPECT_NE(osName(), "Error");
    EXPECT_EQ(windowsArchName(true), "x64");
    EXPECT_EQ(windowsArchName(false), "x86");
    EXPECT_EQ(openFileDialog({std::string(600, 'a')}), "") << "a filter that does not fit opens no dialog";
}

TEST(IconImage, SixteenBySixteenGivesA1064ByteImageWithRowsBottomUp)
{
    // B = x, G = y, R = 0x5A: every row differs.
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 16, 16, 32, SDL_PIXELFORMAT_ARGB8888);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            static_cast<uint32_t*>(surface->pixels)[y * surface->pitch / 4 + x] = 0xFF5A0000u | (y << 8) | x;
    const Bytes image = iconImage(surface);
    SDL_FreeSurface(surface);
    ASSERT_EQ(image.size(), 1064u);
    // Header size, width, height of colour image and mask together, planes and bits, uncompressed, image size.
    EXPECT_EQ(Bytes(image.begin(), image.begin() + 24),
        (Bytes{40, 0, 0, 0, 16, 0, 0, 0, 32, 0, 0, 0, 1, 0, 32, 0, 0, 0, 0, 0, 0, 4, 0, 0}));
    EXPECT_EQ(Bytes(image.begin() + 24, image.begin() + 40), Bytes(16, 0));
    // The top row (y = 0) is the last 64 bytes; the bottom row (y = 15) comes right after the header.
    for (int x = 0; x < 16; ++x) {
        EXPECT_EQ(le32(image, image.size() - 64 + x * 4), 0xFF5A0000u | x);
        EXPECT_EQ(le32(image, 40 + x * 4), 0xFF5A0F00u | x);
    }
    EXPECT_TRUE(iconImage(nullptr).empty());
}

TEST(IconImage, RowsAreAddressedByPitchAndOtherFormatsReadThroughACopy)
{
    // Two 3-pixel rows in a buffer of 16 bytes per row: 4 bytes of padding that must be skipped.
    std::vector<uint32_t> memory
        = {0xFF000001, 0xFF000002, 0xFF000003, 0xDEADBEEF, 0xFF000004, 0xFF000005, 0xFF000006, 0xDEADBEEF};
    SDL_Surface* padded = SDL_CreateRGBSurfaceWithFormatFrom(memory.data(), 3, 2, 32, 16, SDL_PIXELFORMAT_ARGB8888);
    const Bytes image = iconImage(padded);
    SDL_FreeSurface(padded);
    EXPECT_EQ(Bytes(image.begin() + 40, image.end()),
        (Bytes{4, 0, 0, 0xFF, 5, 0, 0, 0xFF, 6, 0, 0, 0xFF, 1, 0, 0, 0xFF, 2, 0, 0, 0xFF, 3, 0, 0, 0xFF}));

    SDL_Surface* abgr = SDL_CreateRGBSurfaceWithFormat(0, 4, 4, 32, SDL_PIXELFORMAT_ABGR8888);
    SDL_FillRect(abgr, nullptr, SDL_MapRGBA(abgr->format, 0x10, 0x20, 0x30, 0x80));
    const Bytes before = pixelBytes(abgr);
    const Bytes converted = iconImage(abgr);
    ASSERT_EQ(converted.size(), 40u + 4 * 4 * 4);
    EXPECT_EQ(le32(converted, 40), 0x80102030u);
    EXPECT_EQ(abgr->format->format, SDL_PIXELFORMAT_ABGR8888);
    EXPECT_EQ(pixelBytes(abgr), before) << "the caller's surface is left alone";
    SDL_FreeSurface(abgr);
}

TEST(DisplayMode, TheClosestModeIsTakenUntilRestoredAndSettingIconsLeavesTheSurfacesAsTheyWere)
{
    startHeadlessCore();
    SDL_Window* window = Core::instance().window().handle();
    const int display = SDL_GetWindowDisplayIndex(window);
    SDL_DisplayMode desktop = {}, chosen = {}, closest = {};
    ASSERT_EQ(SDL_GetDesktopDisplayMode(display, &desktop), 0);
    ASSERT_EQ(setDisplayMode({desktop.w / 2, desktop.h / 2}, 60), 0);
    ASSERT_EQ(SDL_GetWindowDisplayMode(window, &chosen), 0);
    const SDL_DisplayMode wanted = {SDL_PIXELFORMAT_RGB888, desktop.w / 2, desktop.h / 2, 60, nullptr};
    ASSERT_NE(SDL_GetClosestDisplayMode(display, &wanted, &closest), nullptr);
    EXPECT_EQ(Size(chosen.w, chosen.h), Size(closest.w, closest.h));
    EXPECT_EQ(restoreDisplayMode(), 0);
    ASSERT_EQ(SDL_GetWindowDisplayMode(window, &chosen), 0);
    EXPECT_EQ(Size(chosen.w, chosen.h), Size(desktop.w, desktop.h));
    EXPECT_EQ(nativeWindowHandle(nullptr), nullptr);

    Surface big(SDL_CreateRGBSurfaceWithFormat(0, 32, 32, 32, SDL_PIXELFORMAT_ABGR8888));
    Surface small(SDL_CreateRGBSurfaceWithFormat(0, 16, 16, 24, SDL_PIXELFORMAT_RGB24));
    SDL_FillRect(big.handle(), nullptr, SDL_MapRGBA(big.handle()->format, 1, 2, 3, 4));
    const Bytes bigBefore = pixelBytes(big.handle());
    setIcon(Core::instance().window(), big, &small);
    setWindowIcon(nullptr, big.handle());
    setWindowIcon(window, nullptr);
    EXPECT_EQ(big.handle()->format->format, SDL_PIXELFORMAT_ABGR8888);
    EXPECT_EQ(pixelBytes(big.handle()), bigBefore);
    EXPECT_EQ(small.handle()->format->format, SDL_PIXELFORMAT_RGB24);
}
