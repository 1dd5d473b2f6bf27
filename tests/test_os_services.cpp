// The operating-system services: the Windows version table, the OS release name, the icon image, the
// dialog filter text, the UTF-8/UTF-16 conversions, and on the headless core the display modes and icon.
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

std::u16string units(std::initializer_list<char16_t> list) { return std::u16string(list); }

} // namespace

TEST(OsInfo, TheWindowsVersionTable)
{
    const struct {
        bool workstation, ok;
        int major, minor, servicePack;
        const char* name;
    } rows[] = {
        {true, true, 10, 0, 0, "Windows 10"},
        {true, true, 10, 7, 0, "Windows 10"},
        {true, true, 6, 3, 0, "Windows 8.1"},
        {true, true, 6, 2, 0, "Windows 8"},
        {true, true, 6, 1, 0, "Windows 7"},
        {true, true, 6, 0, 0, "Windows Vista"},
        {true, true, 5, 2, 0, "Windows XP Professional x64 Edition"},
        {true, true, 5, 1, 0, "Windows XP"},
        {true, true, 5, 0, 0, "Windows 2000"},
        {true, true, 6, 4, 0, "Unknown"},
        {true, true, 11, 0, 0, "Unknown"},
        {true, true, 6, 1, 1, "Windows 7 SP1"},
        {true, true, 11, 0, 2, "Unknown SP2"},
        {true, true, 10, 0, 65535, "Windows 10 SP65535"},
        {true, false, 6, 1, 1, "Error"},
        {false, true, 6, 1, 1, "Windows Server"},
        {false, true, 10, 0, 0, "Windows Server"},
        {false, false, 0, 0, 0, "Windows Server"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(windowsVersionName(r.workstation, r.ok, r.major, r.minor, r.servicePack), r.name)
            << r.major << "." << r.minor << " SP" << r.servicePack;
    EXPECT_EQ(windowsArchName(true), "x64");
    EXPECT_EQ(windowsArchName(false), "x86");
}

TEST(OsInfo, TheReleaseNameReadsQuotedAndPlainValuesAndTheLastAssignmentWins)
{
    EXPECT_EQ(osReleasePrettyName("NAME=\"Debian\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nID=debian\n"),
        "Debian GNU/Linux 12 (bookworm)");
    EXPECT_EQ(osReleasePrettyName("PRETTY_NAME='Fedora Linux 39'"), "Fedora Linux 39");
    EXPECT_EQ(osReleasePrettyName("PRETTY_NAME=Alpine\r\n"), "Alpine");
    EXPECT_EQ(osReleasePrettyName("PRETTY_NAME=\"A \\\"quoted\\\" \\\\ name\""), "A \"quoted\" \\ name");
    EXPECT_EQ(osReleasePrettyName("VARIANT_PRETTY_NAME=\"no\"\n# PRETTY_NAME=\"comment\"\n"), "");
    EXPECT_EQ(osReleasePrettyName("PRETTY_NAME=\"first\"\nPRETTY_NAME=\"second\"\n"), "second");
    EXPECT_FALSE(osName().empty());
    EXPECT_NE(osName(), "Error");
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

TEST(DialogFilterText, EmptyListPairsAndTextThatDoesNotFit)
{
    const auto none = dialogFilterText({});
    ASSERT_TRUE(none.has_value());
    EXPECT_TRUE(none->empty());

    const auto text = dialogFilterText({"Pictures \xC3\xA9\xF0\x9F\x98\x80", "*.png;*.bmp", "All files", "*.*"});
    ASSERT_TRUE(text.has_value());
    ASSERT_EQ(text->size(), kFilterTextUnits);
    const std::u16string expected(u"Pictures \u00E9\U0001F600\0*.png;*.bmp\0All files\0*.*\0\0", 40);
    EXPECT_EQ(text->substr(0, expected.size()), expected);
    EXPECT_EQ(text->find_first_not_of(u'\0', expected.size()), std::u16string::npos) << "the rest is zero";

    // 509 characters, a zero after each string and the final zero fill the 512 units exactly.
    const auto exact = dialogFilterText({std::string(500, 'a'), std::string(9, 'b')});
    ASSERT_TRUE(exact.has_value());
    EXPECT_EQ((*exact)[509], u'b');
    EXPECT_EQ((*exact)[510], u'\0');
    EXPECT_FALSE(dialogFilterText({std::string(500, 'a'), std::string(10, 'b')}).has_value());
    EXPECT_FALSE(dialogFilterText({std::string(4000, 'a'), "*.*"}).has_value());
    // A four-byte character takes two units, a two-byte one a single unit.
    EXPECT_TRUE(dialogFilterText({std::string(508, 'a') + "\xF0\x9F\x98\x80"}).has_value());
    EXPECT_FALSE(dialogFilterText({std::string(509, 'a') + "\xF0\x9F\x98\x80"}).has_value());
    EXPECT_TRUE(dialogFilterText({std::string(509, 'a') + "\xC3\xA9"}).has_value());
    EXPECT_EQ(openFileDialog({std::string(600, 'a')}), "") << "a filter that does not fit opens no dialog";
}

TEST(TextConversion, EveryLengthRoundTripsIncludingSurrogatePairs)
{
    const std::string text = "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z"; // A é € U+1F600 z
    const std::u16string wide = units({u'A', 0x00E9, 0x20AC, 0xD83D, 0xDE00, u'z'});
    EXPECT_EQ(utf8ToUtf16(text), wide);
    EXPECT_EQ(utf16ToUtf8(wide), text);
    EXPECT_EQ(utf8Length(text), 5u);
    EXPECT_EQ(utf8ToUtf16("\xF4\x8F\xBF\xBF"), units({0xDBFF, 0xDFFF})); // U+10FFFF
    EXPECT_EQ(utf8ToUtf16("\xF0\x90\x80\x80"), units({0xD800, 0xDC00})); // U+10000
    // The edges of each length: U+007F, U+0080, U+07FF, U+0800, U+FFFF.
    const std::u16string edges = units({0x7F, 0x80, 0x7FF, 0x800, 0xFFFF});
    EXPECT_EQ(utf16ToUtf8(edges), "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF");
    EXPECT_EQ(utf8ToUtf16(utf16ToUtf8(edges)), edges);
}

TEST(TextConversion, MalformedInputIsDecodedByTheLeadByteAlone)
{
    // A stray continuation byte and the bytes 0xF8..0xFF each stand for themselves (0x62 is 'b').
    EXPECT_EQ(utf8ToUtf16("a\x80\x62\xF8\xFF"), units({u'a', 0x80, u'b', 0xF8, 0xFF}));
    EXPECT_EQ(utf8Length("a\x80\x80\x62"), 4u);
    // A lead byte takes its continuation bytes without looking at their marks.
    EXPECT_EQ(utf8ToUtf16("\xC3\x41"), units({0xC1}));
    EXPECT_EQ(utf8Length("\xE2\x61\x62\x63"), 2u);
    // A sequence cut short by the end takes only what is there.
    EXPECT_EQ(utf8Length("x\xF0\x9F"), 2u);
    EXPECT_EQ(utf8ToUtf16("\xE2\x82"), units({0x82}));
    // Lone surrogates are written as they are.
    EXPECT_EQ(utf16ToUtf8(units({u'a', 0xD800})), "a\xED\xA0\x80");
    EXPECT_EQ(utf16ToUtf8(units({0xDC00})), "\xED\xB0\x80");
    EXPECT_EQ(utf16ToUtf8(units({0xD83D, u'x'})).size(), 4u) << "a high surrogate takes the next unit";
}

TEST(TextConversion, Utf8DropLastRemovesWholeCharacters)
{
    std::string text = "a\xC3\xA9";
    utf8DropLast(text, 1);
    EXPECT_EQ(text, "a");
    text = "x\xE2\x82\xAC\xF0\x9F\x98\x80";
    utf8DropLast(text, 1);
    EXPECT_EQ(text, "x\xE2\x82\xAC");
    utf8DropLast(text, 0);
    EXPECT_EQ(text, "x\xE2\x82\xAC");
    utf8DropLast(text, 10);
    EXPECT_EQ(text, "") << "more than there is leaves an empty text";
    text = "\x80\x80\x80"; // nothing but continuation bytes: stepping back stops at the first byte
    utf8DropLast(text, 1);
    EXPECT_EQ(text, "");
}

TEST(DisplayMode, TheClosestModeBecomesTheWindowsFullScreenModeUntilRestored)
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

    EXPECT_EQ(restoreDisplayMode(), 0);
    ASSERT_EQ(SDL_GetWindowDisplayMode(window, &chosen), 0);
    EXPECT_EQ(chosen.w, desktop.w);
    EXPECT_EQ(chosen.h, desktop.h);
    EXPECT_EQ(nativeWindowHandle(nullptr), nullptr);
}

TEST(WindowIcon, SettingTheIconsLeavesTheSurfacesAsTheyWere)
{
    startHeadlessCore();
    Surface big(SDL_CreateRGBSurfaceWithFormat(0, 32, 32, 32, SDL_PIXELFORMAT_ABGR8888));
    Surface small(SDL_CreateRGBSurfaceWithFormat(0, 16, 16, 24, SDL_PIXELFORMAT_RGB24));
    SDL_FillRect(big.handle(), nullptr, SDL_MapRGBA(big.handle()->format, 1, 2, 3, 4));
    const Bytes bigBefore = pixelBytes(big.handle());
    setIcon(Core::instance().window(), big, &small);
    setWindowIcon(nullptr, big.handle());
    setWindowIcon(Core::instance().window().handle(), nullptr);
    EXPECT_EQ(big.handle()->format->format, SDL_PIXELFORMAT_ABGR8888);
    EXPECT_EQ(pixelBytes(big.handle()), bigBefore);
    EXPECT_EQ(small.handle()->format->format, SDL_PIXELFORMAT_RGB24);
}
