// The operating-system services: the Windows version table and architecture rule, the OS release
// name, the icon image, the dialog filter text, the UTF-8/UTF-16 conversions, and on the headless
// core the display modes, the native handle and the window icon.

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

#include <cstring>
#include <vector>

namespace {

uint32_t le32(const std::vector<uint8_t>& bytes, std::size_t at)
{
    return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) | (static_cast<uint32_t>(bytes[at + 3]) << 24);
}

uint16_t le16(const std::vector<uint8_t>& bytes, std::size_t at)
{
    return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

std::vector<uint8_t> pixelBytes(const SDL_Surface* surface)
{
    const auto* first = static_cast<const uint8_t*>(surface->pixels);
    return {first, first + static_cast<std::size_t>(surface->pitch) * surface->h};
}

// Row y of a w-pixel wide ARGB8888 surface painted so that every row differs: B = x, G = y, R = 0x5A.
SDL_Surface* paintedArgbSurface(int w, int h)
{
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(surface->pixels) + y * surface->pitch);
        for (int x = 0; x < w; ++x)
            row[x] = 0xFF5A0000u | static_cast<uint32_t>(y << 8) | static_cast<uint32_t>(x);
    }
    return surface;
}

std::u16string units(std::initializer_list<char16_t> list) { return std::u16string(list); }

} // namespace

// --- The Windows version table and the architecture rule ---

TEST(WindowsVersionName, NamesEveryRowOfTheTable)
{
    EXPECT_EQ(windowsVersionName(true, true, 10, 0, 0), "Windows 10");
    EXPECT_EQ(windowsVersionName(true, true, 10, 7, 0), "Windows 10");
    EXPECT_EQ(windowsVersionName(true, true, 6, 3, 0), "Windows 8.1");
    EXPECT_EQ(windowsVersionName(true, true, 6, 2, 0), "Windows 8");
    EXPECT_EQ(windowsVersionName(true, true, 6, 1, 0), "Windows 7");
    EXPECT_EQ(windowsVersionName(true, true, 6, 0, 0), "Windows Vista");
    EXPECT_EQ(windowsVersionName(true, true, 5, 2, 0), "Windows XP Professional x64 Edition");
    EXPECT_EQ(windowsVersionName(true, true, 5, 1, 0), "Windows XP");
    EXPECT_EQ(windowsVersionName(true, true, 5, 0, 0), "Windows 2000");
}

TEST(WindowsVersionName, CombinationsOutsideTheTableAreUnknown)
{
    EXPECT_EQ(windowsVersionName(true, true, 6, 4, 0), "Unknown");
    EXPECT_EQ(windowsVersionName(true, true, 11, 0, 0), "Unknown");
    EXPECT_EQ(windowsVersionName(true, true, 5, 3, 0), "Unknown");
    EXPECT_EQ(windowsVersionName(true, true, 0, 0, 0), "Unknown");
}

TEST(WindowsVersionName, ServicePacksAreAppendedToAnyWorkstationName)
{
    EXPECT_EQ(windowsVersionName(true, true, 6, 1, 1), "Windows 7 SP1");
    EXPECT_EQ(windowsVersionName(true, true, 5, 1, 3), "Windows XP SP3");
    EXPECT_EQ(windowsVersionName(true, true, 11, 0, 2), "Unknown SP2");
    EXPECT_EQ(windowsVersionName(true, true, 10, 0, 65535), "Windows 10 SP65535");
}

TEST(WindowsVersionName, ErrorAndServerCarryNoSuffix)
{
    EXPECT_EQ(windowsVersionName(true, false, 6, 1, 1), "Error");
    EXPECT_EQ(windowsVersionName(true, false, 0, 0, 0), "Error");
    EXPECT_EQ(windowsVersionName(false, true, 6, 1, 1), "Windows Server");
    EXPECT_EQ(windowsVersionName(false, true, 10, 0, 0), "Windows Server");
    EXPECT_EQ(windowsVersionName(false, false, 0, 0, 0), "Windows Server");
}

TEST(WindowsArchName, WowMeansSixtyFourBitWindows)
{
    EXPECT_EQ(windowsArchName(true), "x64");
    EXPECT_EQ(windowsArchName(false), "x86");
}

// --- The operating system's release name ---

TEST(OsReleasePrettyName, ReadsQuotedAndPlainValues)
{
    EXPECT_EQ(
        osReleasePrettyName("NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nID=debian\n"),
        "Debian GNU/Linux 12 (bookworm)");
    EXPECT_EQ(osReleasePrettyName("PRETTY_NAME='Fedora Linux 39'"), "Fedora Linux 39");
    EXPECT_EQ(osReleasePrettyName("PRETTY_NAME=Alpine\r\n"), "Alpine");
    EXPECT_EQ(osReleasePrettyName("PRETTY_NAME=\"A \\\"quoted\\\" \\\\ name\""), "A \"quoted\" \\ name");
}

TEST(OsReleasePrettyName, MissingKeyGivesNothingAndTheLastAssignmentWins)
{
    EXPECT_EQ(osReleasePrettyName(""), "");
    EXPECT_EQ(osReleasePrettyName("NAME=Debian\nVARIANT_PRETTY_NAME=\"no\"\n# PRETTY_NAME=\"comment\"\n"), "");
    EXPECT_EQ(osReleasePrettyName("PRETTY_NAME=\"first\"\nPRETTY_NAME=\"second\"\n"), "second");
}

TEST(OsInfo, ThisMachineHasANameAndAnArchitecture)
{
    const std::string name = osName();
    EXPECT_FALSE(name.empty());
    EXPECT_NE(name, "Error");
#if defined(__x86_64__)
    EXPECT_EQ(osArch(), "x86_64");
#elif defined(__aarch64__)
    EXPECT_EQ(osArch(), "aarch64");
#else
    EXPECT_FALSE(osArch().empty());
#endif
}

// --- The icon image ---

TEST(IconImage, SixteenBySixteenGivesA1064ByteImageWithItsHeader)
{
    SDL_Surface* surface = paintedArgbSurface(16, 16);
    const std::vector<uint8_t> image = iconImage(surface);
    ASSERT_EQ(image.size(), 1064u);
    EXPECT_EQ(le32(image, 0), 40u);  // header size
    EXPECT_EQ(le32(image, 4), 16u);  // width
    EXPECT_EQ(le32(image, 8), 32u);  // colour image and mask together
    EXPECT_EQ(le16(image, 12), 1u);  // planes
    EXPECT_EQ(le16(image, 14), 32u); // bits per pixel
    EXPECT_EQ(le32(image, 16), 0u);  // uncompressed
    EXPECT_EQ(le32(image, 20), 16u * 16u * 4u);
    for (std::size_t at = 24; at < 40; at += 4)
        EXPECT_EQ(le32(image, at), 0u) << "header field at byte " << at;
    SDL_FreeSurface(surface);
}

TEST(IconImage, RowsRunBottomUpInBlueGreenRedAlphaOrder)
{
    SDL_Surface* surface = paintedArgbSurface(16, 16);
    const std::vector<uint8_t> image = iconImage(surface);
    ASSERT_EQ(image.size(), 1064u);
    // The top row (y = 0) is the last 64 bytes; the bottom row (y = 15) comes right after the header.
    const std::size_t topRow = image.size() - 64;
    for (int x = 0; x < 16; ++x) {
        EXPECT_EQ(image[topRow + x * 4 + 0], x);
        EXPECT_EQ(image[topRow + x * 4 + 1], 0);
        EXPECT_EQ(image[topRow + x * 4 + 2], 0x5A);
        EXPECT_EQ(image[topRow + x * 4 + 3], 0xFF);
        EXPECT_EQ(image[40 + x * 4 + 1], 15) << "bottom row first";
    }
    SDL_FreeSurface(surface);
}

TEST(IconImage, RowsAreAddressedByPitchNotByWidth)
{
    // Two 3-pixel rows in a buffer of 16 bytes per row: 4 bytes of padding that must be skipped.
    std::vector<uint32_t> memory = {0xFF000001, 0xFF000002, 0xFF000003, 0xDEADBEEF,
                                    0xFF000004, 0xFF000005, 0xFF000006, 0xDEADBEEF};
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(memory.data(), 3, 2, 32, 16, SDL_PIXELFORMAT_ARGB8888);
    const std::vector<uint8_t> image = iconImage(surface);
    ASSERT_EQ(image.size(), 40u + 3 * 2 * 4);
    const std::vector<uint8_t> expected = {4, 0, 0, 0xFF, 5, 0, 0, 0xFF, 6, 0, 0, 0xFF,
                                           1, 0, 0, 0xFF, 2, 0, 0, 0xFF, 3, 0, 0, 0xFF};
    EXPECT_EQ(std::vector<uint8_t>(image.begin() + 40, image.end()), expected);
    SDL_FreeSurface(surface);
}

TEST(IconImage, OtherFormatsAreReadThroughACopyThatLeavesTheCallersSurfaceAlone)
{
    SDL_Surface* abgr = SDL_CreateRGBSurfaceWithFormat(0, 4, 4, 32, SDL_PIXELFORMAT_ABGR8888);
    SDL_FillRect(abgr, nullptr, SDL_MapRGBA(abgr->format, 0x10, 0x20, 0x30, 0x80));
    const std::vector<uint8_t> before = pixelBytes(abgr);
    const std::vector<uint8_t> image = iconImage(abgr);
    ASSERT_EQ(image.size(), 40u + 4 * 4 * 4);
    EXPECT_EQ(image[40], 0x30); // blue
    EXPECT_EQ(image[41], 0x20); // green
    EXPECT_EQ(image[42], 0x10); // red
    EXPECT_EQ(image[43], 0x80); // alpha
    EXPECT_EQ(abgr->format->format, SDL_PIXELFORMAT_ABGR8888);
    EXPECT_EQ(pixelBytes(abgr), before);
    SDL_FreeSurface(abgr);

    // 24-bit colour has no alpha: the icon's pixels come out opaque.
    SDL_Surface* rgb = SDL_CreateRGBSurfaceWithFormat(0, 3, 2, 24, SDL_PIXELFORMAT_RGB24);
    SDL_FillRect(rgb, nullptr, SDL_MapRGB(rgb->format, 0xAA, 0xBB, 0xCC));
    const std::vector<uint8_t> rgbImage = iconImage(rgb);
    ASSERT_EQ(rgbImage.size(), 40u + 3 * 2 * 4);
    EXPECT_EQ(le32(rgbImage, 4), 3u);
    EXPECT_EQ(le32(rgbImage, 8), 4u);
    for (std::size_t at = 40; at < rgbImage.size(); at += 4) {
        EXPECT_EQ(rgbImage[at], 0xCC);
        EXPECT_EQ(rgbImage[at + 1], 0xBB);
        EXPECT_EQ(rgbImage[at + 2], 0xAA);
        EXPECT_EQ(rgbImage[at + 3], 0xFF);
    }
    EXPECT_EQ(rgb->format->format, SDL_PIXELFORMAT_RGB24);
    SDL_FreeSurface(rgb);
}

TEST(IconImage, NoSurfaceGivesNoImage) { EXPECT_TRUE(iconImage(nullptr).empty()); }

// --- The dialog filter text ---

TEST(DialogFilterText, AnEmptyListMeansNoFilter)
{
    const auto text = dialogFilterText({});
    ASSERT_TRUE(text.has_value());
    EXPECT_TRUE(text->empty());
}

TEST(DialogFilterText, PairsAreSeparatedByZerosAndEndInTwo)
{
    const auto text = dialogFilterText({"Pictures", "*.png;*.bmp", "All files", "*.*"});
    ASSERT_TRUE(text.has_value());
    ASSERT_EQ(text->size(), kFilterTextUnits);
    const std::u16string expected(u"Pictures\0*.png;*.bmp\0All files\0*.*\0\0", 37);
    EXPECT_EQ(text->substr(0, expected.size()), expected);
    EXPECT_EQ(text->find_first_not_of(u'\0', expected.size()), std::u16string::npos) << "the rest is zero";
}

TEST(DialogFilterText, StringsAreConvertedToUtf16)
{
    const auto text = dialogFilterText({"Bilder \xC3\xA9\xF0\x9F\x98\x80", "*.png"});
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(text->substr(0, 17), std::u16string(u"Bilder \u00E9\U0001F600\0*.png\0\0", 17));
}

TEST(DialogFilterText, TextThatDoesNotFitIsRefused)
{
    // 509 characters, a zero after each string and the final zero fill the 512 units exactly.
    const auto exact = dialogFilterText({std::string(500, 'a'), std::string(9, 'b')});
    ASSERT_TRUE(exact.has_value());
    EXPECT_EQ(exact->size(), kFilterTextUnits);
    EXPECT_EQ((*exact)[500], u'\0');
    EXPECT_EQ((*exact)[509], u'b');
    EXPECT_EQ((*exact)[510], u'\0');
    EXPECT_EQ((*exact)[511], u'\0');
    EXPECT_TRUE(dialogFilterText({std::string(510, 'a')}).has_value());

    EXPECT_FALSE(dialogFilterText({std::string(500, 'a'), std::string(10, 'b')}).has_value());
    EXPECT_FALSE(dialogFilterText({std::string(511, 'a')}).has_value());
    EXPECT_FALSE(dialogFilterText({std::string(4000, 'a'), "*.*"}).has_value());
    // A four-byte character takes two units, a two-byte one a single unit.
    EXPECT_TRUE(dialogFilterText({std::string(508, 'a') + "\xF0\x9F\x98\x80"}).has_value());
    EXPECT_FALSE(dialogFilterText({std::string(509, 'a') + "\xF0\x9F\x98\x80"}).has_value());
    EXPECT_TRUE(dialogFilterText({std::string(509, 'a') + "\xC3\xA9"}).has_value());
}

TEST(FileDialog, WithoutADialogOnThisPlatformTheChoiceReadsAsCancelled)
{
#ifndef _WIN32
    EXPECT_EQ(openFileDialog({"Pictures", "*.png"}), "");
    EXPECT_EQ(saveFileDialog({}), "");
#endif
    EXPECT_EQ(openFileDialog({std::string(600, 'a')}), "") << "a filter that does not fit opens no dialog";
}

// --- UTF-8 and UTF-16 ---

TEST(TextConversion, FourByteCharactersBecomeASurrogatePairAndBack)
{
    const std::string grin = "\xF0\x9F\x98\x80"; // U+1F600
    EXPECT_EQ(utf8ToUtf16(grin), units({0xD83D, 0xDE00}));
    EXPECT_EQ(utf16ToUtf8(units({0xD83D, 0xDE00})), grin);
    EXPECT_EQ(utf8ToUtf16("\xF4\x8F\xBF\xBF"), units({0xDBFF, 0xDFFF})); // U+10FFFF
    EXPECT_EQ(utf8ToUtf16("\xF0\x90\x80\x80"), units({0xD800, 0xDC00})); // U+10000
}

TEST(TextConversion, EveryLengthRoundTrips)
{
    const std::string text = "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z"; // A é € U+1F600 z
    const std::u16string wide = units({u'A', 0x00E9, 0x20AC, 0xD83D, 0xDE00, u'z'});
    EXPECT_EQ(utf8ToUtf16(text), wide);
    EXPECT_EQ(utf16ToUtf8(wide), text);
    EXPECT_EQ(utf8Length(text), 5u);
    EXPECT_EQ(utf8Length(""), 0u);
    EXPECT_EQ(utf8ToUtf16(""), u"");
    EXPECT_EQ(utf16ToUtf8(u""), "");
    // The edges of each length: U+007F, U+0080, U+07FF, U+0800, U+FFFF.
    const std::u16string edges = units({0x7F, 0x80, 0x7FF, 0x800, 0xFFFF});
    EXPECT_EQ(utf16ToUtf8(edges), "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF");
    EXPECT_EQ(utf8ToUtf16(utf16ToUtf8(edges)), edges);
}

TEST(TextConversion, MalformedBytesAreDecodedByTheLeadByteAlone)
{
    // A stray continuation byte and the bytes 0xF8..0xFF each stand for themselves (0x62 is 'b').
    EXPECT_EQ(utf8ToUtf16("a\x80\x62"), units({u'a', 0x80, u'b'}));
    EXPECT_EQ(utf8ToUtf16("\xBF\xF8\xFF"), units({0xBF, 0xF8, 0xFF}));
    EXPECT_EQ(utf8Length("\xF8\xF9\xFA\xFB\xFC\xFD\xFE\xFF"), 8u);
    EXPECT_EQ(utf8Length("a\x80\x80\x62"), 4u);
    // A lead byte takes its continuation bytes without looking at their marks: 0xC3 'A' is one code point,
    // and 0xE2 'a' 'b' is one followed by 'c'.
    EXPECT_EQ(utf8ToUtf16("\xC3\x41"), units({0xC1}));
    EXPECT_EQ(utf8Length("\xE2\x61\x62\x63"), 2u);
    // A sequence cut short by the end takes only what is there.
    EXPECT_EQ(utf8Length("x\xF0\x9F"), 2u);
    EXPECT_EQ(utf8ToUtf16("\xE2\x82"), units({0x82}));
}

TEST(TextConversion, LoneSurrogatesAreWrittenAsTheyAre)
{
    EXPECT_EQ(utf16ToUtf8(units({u'a', 0xD800})), "a\xED\xA0\x80"); // high surrogate at the end
    EXPECT_EQ(utf16ToUtf8(units({0xDC00})), "\xED\xB0\x80");        // low surrogate alone
    // A high surrogate takes the next unit whatever it is: the result is still four bytes.
    EXPECT_EQ(utf16ToUtf8(units({0xD83D, u'x'})).size(), 4u);
}

TEST(Utf8DropLast, RemovesWholeCharacters)
{
    std::string text = "a\xC3\xA9";
    utf8DropLast(text, 1);
    EXPECT_EQ(text, "a");

    text = "x\xE2\x82\xAC\xF0\x9F\x98\x80";
    utf8DropLast(text, 1);
    EXPECT_EQ(text, "x\xE2\x82\xAC");
    utf8DropLast(text, 0);
    EXPECT_EQ(text, "x\xE2\x82\xAC");
    utf8DropLast(text, 2);
    EXPECT_EQ(text, "");
}

TEST(Utf8DropLast, MoreThanThereIsLeavesAnEmptyText)
{
    std::string text = "ab\xC3\xA9";
    utf8DropLast(text, 10);
    EXPECT_EQ(text, "");
    utf8DropLast(text, 1);
    EXPECT_EQ(text, "");
    // Nothing but continuation bytes: stepping back stops at the first byte.
    text = "\x80\x80\x80";
    utf8DropLast(text, 1);
    EXPECT_EQ(text, "");
}

// --- With the headless core ---

TEST(DisplayMode, WithoutAWindowThereIsNothingToChange)
{
    if (Core::instance().hasWindow())
        GTEST_SKIP() << "the core was started by an earlier test in this process";
    EXPECT_LT(setDisplayMode({640, 480}, 60), 0);
    EXPECT_LT(restoreDisplayMode(), 0);
}

TEST(DisplayMode, TheClosestModeBecomesTheWindowsFullScreenMode)
{
    startHeadlessCore();
    SDL_Window* window = Core::instance().window().handle();
    const int display = SDL_GetWindowDisplayIndex(window);
    SDL_DisplayMode desktop = {};
    ASSERT_EQ(SDL_GetDesktopDisplayMode(display, &desktop), 0);

    ASSERT_EQ(setDisplayMode({desktop.w / 2, desktop.h / 2}, 60), 0);
    SDL_DisplayMode chosen = {};
    ASSERT_EQ(SDL_GetWindowDisplayMode(window, &chosen), 0);
    SDL_DisplayMode closest = {};
    const SDL_DisplayMode wanted = {SDL_PIXELFORMAT_RGB888, desktop.w / 2, desktop.h / 2, 60, nullptr};
    ASSERT_NE(SDL_GetClosestDisplayMode(display, &wanted, &closest), nullptr);
    EXPECT_EQ(chosen.w, closest.w);
    EXPECT_EQ(chosen.h, closest.h);

    // A driver that lists a mode of 0 x 0 (offscreen) takes any size; others have a largest mode.
    SDL_DisplayMode largest = {};
    ASSERT_EQ(SDL_GetDisplayMode(display, 0, &largest), 0);
    if (largest.w > 0 && largest.h > 0) {
        EXPECT_LT(setDisplayMode({largest.w * 4, largest.h * 4}, 60), 0) << "no mode that large";
    }

    EXPECT_EQ(restoreDisplayMode(), 0);
    ASSERT_EQ(SDL_GetWindowDisplayMode(window, &chosen), 0);
    EXPECT_EQ(chosen.w, desktop.w);
    EXPECT_EQ(chosen.h, desktop.h);
}

TEST(NativeWindow, OnlyAKnownWindowSystemHasAHandle)
{
    EXPECT_EQ(nativeWindowHandle(nullptr), nullptr);
    startHeadlessCore();
    // The offscreen driver has no window system behind it.
    if (std::strcmp(SDL_GetCurrentVideoDriver(), "offscreen") == 0) {
        EXPECT_EQ(nativeWindowHandle(Core::instance().window().handle()), nullptr);
    }
}

TEST(WindowIcon, SettingTheIconsLeavesTheSurfacesAsTheyWere)
{
    startHeadlessCore();
    Surface big(SDL_CreateRGBSurfaceWithFormat(0, 32, 32, 32, SDL_PIXELFORMAT_ABGR8888));
    Surface small(SDL_CreateRGBSurfaceWithFormat(0, 16, 16, 24, SDL_PIXELFORMAT_RGB24));
    SDL_FillRect(big.handle(), nullptr, SDL_MapRGBA(big.handle()->format, 1, 2, 3, 4));
    const std::vector<uint8_t> bigBefore = pixelBytes(big.handle());
    setIcon(Core::instance().window(), big, &small);
    setIcon(Core::instance().window(), big);
    setWindowIcon(nullptr, big.handle());
    setWindowIcon(Core::instance().window().handle(), nullptr);
    EXPECT_EQ(big.handle()->format->format, SDL_PIXELFORMAT_ABGR8888);
    EXPECT_EQ(pixelBytes(big.handle()), bigBefore);
    EXPECT_EQ(small.handle()->format->format, SDL_PIXELFORMAT_RGB24);
}
