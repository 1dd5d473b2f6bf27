// The engine's small parts that need no window, byte for byte (colour texts, overlaps, conversions, printed
// points and rectangles and string helpers are in the table of test_values).
#include "Core/FramePacer.h"
#include "Core/FrameTimer.h"
#include "Graphics/Color.h"
#include "Math/Random.h"
#include "Math/Rect.h"
#include "System/FileDialog.h"
#include "System/GameDirectories.h"
#include "System/IconImage.h"
#include "System/OsInfo.h"
#include "Utils/File.h"
#include "Utils/LogFile.h"
#include "Utils/LogMessage.h"
#include "Utils/Path.h"
#include "Utils/StringUtils.h"
#include "Utils/Time.h"
#include "Utils/Utf8Path.h"
#include "support/Headless.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

// The number of the tick (1-based) on which the timer fires first.
int firstFiring(FrameTimer& timer)
{
    for (int tick = 1; tick < 100000; ++tick)
        if (timer.tick())
            return tick;
    return -1;
}

// What a toStream message writes after configuring it and taking the values.
template <typename... Values> std::string plainLine(void (*configure)(LogMessage&), const Values&... values)
{
    std::ostringstream out;
    {
        LogMessage message("file.cpp", 1, kAnsiBold);
        configure(message.toStream(out));
        (message << ... << values);
    }
    return out.str();
}

void asIs(LogMessage&) { }

uint32_t le32(const Bytes& bytes, size_t at)
{
    return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) | (static_cast<uint32_t>(bytes[at + 3]) << 24);
}

// The frames a pacer at 60 frames a second runs over ten seconds of a display's callbacks (at `hz`, each
// time moved by +jitter and -jitter in turn, one stall of `stall` nanoseconds after the second second),
// and how many callbacks in a row ran one.
std::pair<long, long> pacedFrames(double hz, int64_t jitter = 0, int64_t stall = 0)
{
    FramePacer pacer(FrameTimer::framePeriod(60));
    long frames = 0, run = 0, longestRun = 0;
    const int64_t beat = static_cast<int64_t>(1e9 / hz);
    for (int64_t n = 0, t = 0; t < 10'000'000'000; ++n, t = n * beat + (t >= 2'000'000'000 ? stall : 0)) {
        const bool due = pacer.frameDue(t + (n % 2 ? jitter : -jitter));
        frames += due;
        run = due ? run + 1 : 0;
        longestRun = std::max(longestRun, run);
    }
    return {frames, longestRun};
}

} // namespace

TEST(Random, ASeedFixesTheSequenceRandomIntIsTheModuloOfTheNextNumberAndColoursAreRandomNamedOrEmpty)
{
    // After seed(0) the shifts leave x = 0 unchanged: the first number is y ^ z = 362436069 ^ 521288629.
    const uint32_t sequence[] = {362436069u ^ 521288629u, 3542066235u, 3071397075u, 3423444878u};
    Random::seed(0);
    for (const uint32_t n : sequence)
        EXPECT_EQ(Random::random(), n);
    Random::seed(0);
    EXPECT_EQ(randomInt(300, 600), static_cast<int32_t>(sequence[0] % 301 + 300)); // 409
    EXPECT_EQ(randomInt(-10, -5), -7) << "negative ranges by wrap-around: 3542066235 % 6 = 3";
    // max - min + 1 wraps to 0 for the full range: the number is returned whole instead of dividing by zero.
    Random::seed(0);
    EXPECT_EQ((std::pair{randomInt(INT32_MIN, INT32_MAX), randomInt(-8, -8)}), std::pair(int32_t(sequence[0]), -8));
    // Random colours take the low bytes of three numbers in order; randomize keeps the alpha.
    Random::seed(0);
    EXPECT_EQ(Color::random(), Color(sequence[0] & 0xFF, sequence[1] & 0xFF, sequence[2] & 0xFF, 255));
    Color c(1, 2, 3, 77);
    Random::seed(0);
    c.randomize();
    EXPECT_EQ(c, Color(80, 59, 211, 77));
    // EMPTY stays empty whatever the alpha.
    EXPECT_TRUE(Color().isEmpty() && !Color(0, 0, 0, 1).isEmpty() && Color(NamedColor::EMPTY, 255) == Color());
    EXPECT_TRUE(Color(9, 9, 9, 100).isTransparent(100) && !Color(9, 9, 9, 101).isTransparent(100));
}

TEST(FrameTimer, FiresOnEveryLimitPlusOnethTickAndANewDurationKeepsTheCount)
{
    EXPECT_EQ(std::pair(FrameTimer::framePeriod(60), FrameTimer::framePeriod(0)),
        (std::pair<int64_t, int64_t>(16'666'666, 0)));
    EXPECT_EQ(FrameTimer(INT64_MAX, 60).limit(), UINT32_MAX) << "longer than the counter holds";
    FrameTimer timer(milliseconds(800), 60); // limit 48
    EXPECT_EQ((std::pair{firstFiring(timer), firstFiring(timer)}), std::pair(49, 49));
    FrameTimer everyFrame;
    EXPECT_TRUE(everyFrame.tick() && everyFrame.tick());
    for (int i = 0; i < 5; ++i)
        timer.tick();
    timer.reset();
    EXPECT_EQ(firstFiring(timer), 49) << "reset keeps the limit";

    // Shortened below the count, the timer fires on the next tick, not after the counter wraps round.
    FrameTimer changed(milliseconds(1500), 60);
    for (int i = 0; i < 30; ++i)
        ASSERT_FALSE(changed.tick());
    changed.setDuration(milliseconds(600), 60);
    EXPECT_EQ((std::pair{changed.count(), firstFiring(changed)}), std::pair(30u, 7)) << "counts on to 36, fires next";
    for (int i = 0; i < 10; ++i)
        changed.tick();
    changed.setDuration(milliseconds(25), 60);
    EXPECT_EQ((std::tuple{changed.tick(), changed.tick(), changed.tick()}), std::tuple(true, false, true));
}

TEST(FramePacer, SixtyFramesASecondOnEveryDisplayNeverTwoInACallbackAndAStallIsNotMadeUp)
{
    for (const double hz : {75.0, 90.0, 120.0, 144.0, 165.0, 240.0})
        EXPECT_NEAR(pacedFrames(hz).first, 600, 1) << hz << " Hz";
    EXPECT_EQ(pacedFrames(120).second, 1) << "every other callback at 120 Hz";
    // At the display's own rate every callback runs a frame, even with its time off by 3 ms either way.
    EXPECT_EQ(pacedFrames(60, 3'000'000), std::pair(601L, 601L));
    EXPECT_EQ(pacedFrames(30), std::pair(301L, 301L)) << "a slower display: a frame at every callback";
    EXPECT_NEAR(pacedFrames(144, 0, 500'000'000).first, 570, 1) << "half a second lost, not made up";
}

TEST(Rect, CentreEdgesAndMarginMoveOrResizeAsAsked)
{
    Rect r(0, 0, 5, 5);
    r.setCenter({50, 50});
    EXPECT_TRUE(r == Rect(48, 48, 5, 5) && r.center() == Point(50, 50)) << r;
    EXPECT_EQ(Rect(0, 0, -5, 5).center(), Point(-2, 2)) << "halves round toward zero";
    r.setRight(100);
    r.setBottom(20);
    EXPECT_EQ(r, Rect(95, 15, 5, 5));
    EXPECT_EQ(std::pair(Rect(Rect(10, 10, 4, 4), 2), Rect(Rect(10, 10, 4, 4), -1)),
        std::pair(Rect(8, 8, 8, 8), Rect(11, 11, 2, 2)));
    pugi::xml_document document;
    document.load_string(R"(<f x="1" y="2" width="3" height="4"/>)");
    EXPECT_EQ(std::pair(Rect::fromXml(document.first_child()), Rect::fromXml(pugi::xml_node())),
        std::pair(Rect(1, 2, 3, 4), Rect()))
        << "a missing node reads as zeros";
}

TEST(LogFile, ExactLinesAtAFixedLocalTimeAppendedByTwoWriters)
{
    const std::string path = scratchDirectory("logAppend") + "/log.txt";
    std::ofstream first(pathFromUtf8(path), std::ios::out | std::ios::app | std::ios::binary);
    writeLogLine(first, "boom", true, makeTime(2018, 3, 5, 9, 7, 41));
    first.close();
    {
        std::ofstream second(pathFromUtf8(path), std::ios::out | std::ios::app | std::ios::binary);
        writeLogLine(second, "calm", false, makeTime(2017, 12, 31, 23, 59, 5));
        // A line of a million bytes (a damaged file quoted whole) is cut to 1 000 with its length.
        writeLogLine(second, std::string(1000000, 'x'), true, makeTime(2017, 12, 31, 23, 59, 5));
    }
    const std::string cut = "31.12.2017 23:59:05 |ERROR| " + std::string(944, 'x') + " [cut: 1000000 bytes in all]\n";
    EXPECT_EQ(readFile(path), "05.03.2018 09:07:41 |ERROR| boom\n31.12.2017 23:59:05 |INFO| calm\n" + cut);
    EXPECT_EQ(cutLongLines("\xC3\xA4\xC3\xA4" + std::string(30, 'x'), 26), "\xC3\xA4 [cut: 34 bytes in all]")
        << "no half letter";
    EXPECT_EQ(makeTime(2020, 3, 1, 0, 0, 0) - makeTime(2020, 2, 29, 0, 0, 0), 24 * 60 * 60);
}

TEST(File, TheLogAndNewDirectoriesLieBelowTheBasePathWhateverItsNameAndFilesKeepTheirBytes)
{
    EXPECT_EQ(basePath(), ".");
    // Cyrillic, a space and an accent: outside Windows' ANSI code page, where a narrow path is garbled.
    const std::string base = scratchDirectory("Юрий é");
    setBasePath(base);
    std::ofstream& log = logFile();
    EXPECT_EQ(&log, &logFile()) << "one stream for the process";
    writeLogLine(log, "written by the log file test", false);
    EXPECT_NE(readFile(base + "/userData/log.txt").find("|INFO| written by the log file test\n"), std::string::npos);
    for (const char* name : {"made", "made\\inner", "missing/child"}) // either separator; one level only
        createDirectory(name);
    EXPECT_TRUE(fs::is_directory(pathFromUtf8(base + "/made/inner")) && !fs::exists(pathFromUtf8(base + "/missing")));
    setBasePath(".");
    // Trimming, case and splitting are in the table of test_values.
    EXPECT_TRUE(startsWith("abc", "") && endsWith("log.txt", ".txt") && startsWith("abc", "ab")
        && !startsWith("ab", "abc") && !endsWith("bc", "abc") && !endsWith("log.txt", ".txf"));

    // A file writes, appends and reads bytes as they are.
    const std::string path = scratchDirectory("file") + "/data.bin";
    const std::string bytes("<a>\0\r\n\xff</a>", 10);
    EXPECT_EQ(File(path, File::Write).write(bytes.substr(0, 4)), 4u); // each File closed before the next opens
    EXPECT_EQ(File(path, File::Append).write(bytes.substr(4)), 6u);
    {
        File file(path, File::Read);
        EXPECT_EQ(file.size(), 10);
        EXPECT_EQ(file.readAll() + file.readAll(), bytes + bytes) << "the whole content each time";
    } // closed before the file is written again: Windows refuses to rewrite a file that is open
    EXPECT_EQ(File(path, File::Write).write(""), 0u);
    EXPECT_EQ(File(path, File::Read).readAll(), "") << "writing starts the file afresh";
}

// A player's own folder: under the XDG data directory on Linux, in the roaming application data on Windows.
TEST(GameDirectories, ThePerUserFolderLiesWhereThePlatformKeepsAUsersFiles)
{
#ifdef _WIN32
    EXPECT_TRUE(endsWith(preferencePath("duelfall"), "\\AppData\\Roaming\\duelfall")) << preferencePath("duelfall");
#else
    // $HOME/.local/share/duelfall when XDG_DATA_HOME is not set: see the installed game in test_misuse.
    const std::string xdg = fs::absolute(scratchDirectory("xdg")).string();
    setenv("XDG_DATA_HOME", xdg.c_str(), 1);
    EXPECT_EQ(preferencePath("duelfall"), xdg + "/duelfall");
    unsetenv("XDG_DATA_HOME");
#endif
}

TEST(LogMessage, DecoratedLinesAndValueFormsByteForByte)
{
    const std::string white = "\x1b[37m", reset = "\x1b[0m", bold = "\x1b[1m";
    std::ostringstream out, others;
    LogMessage("..\\..\\a\\b", 7, kAnsiBold).setStream(out) << "loaded"
                                                            << "data/x.png";
    EXPECT_EQ(out.str(), white + "a\\b:7 | " + reset + bold + "loaded data/x.png" + reset + "\n");
    EXPECT_EQ(LogMessage("x\\..\\y", 0, kAnsiBold).location() + LogMessage(".\\..\\z", -3, kAnsiBold).location(),
        "x\\y:0 | .\\z:-3 | ");
    LogMessage("f.cpp", 3, kAnsiBold).setStream(others).noLocation() << "a";
    LogMessage("f.cpp", 3, kAnsiBold).setStream(others).noColour() << "a";
    LogMessage("f.cpp", 3, kAnsiBold).setStream(others); // an empty message writes nothing
    EXPECT_EQ(others.str(), bold + "a" + reset + "\nf.cpp:3 | a\n");
    testing::internal::CaptureStdout();
    const int line = __LINE__ + 1;
    LOG_MESSAGE << "to the console";
    const std::string text = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(text.starts_with(white)
        && text.ends_with(":" + std::to_string(line) + " | " + reset + bold + "to the console" + reset + "\n"))
        << text;

    EXPECT_EQ(plainLine(asIs, "a", std::string("b c"), 'd', true, false, nullptr, static_cast<const char*>(nullptr),
                  u'A', U'\U0001F600', L'B'),
        "a \"b c\" 'd' true false (nullptr) (nullptr) '65' '128512' '66'\n");
    using uchar = unsigned char;
    using schar = signed char;
    const auto hex = [](LogMessage& m) { m.hex(); };
    const auto binary = [](LogMessage& m) { m.binary(); };
    EXPECT_EQ(
        plainLine(asIs, uchar{5}) + plainLine(binary, uchar{5}) + plainLine(hex, uchar{255}), "5\n00000101\nff\n");
    EXPECT_EQ(plainLine([](LogMessage& m) { m.binary().hex(); }, uchar{171})
            + plainLine([](LogMessage& m) { m.hex().binary(); }, uchar{171}),
        "ab\n10101011\n");
    EXPECT_EQ(plainLine(asIs, schar{-1}) + plainLine(hex, schar{-1}) + plainLine(binary, schar{-128}),
        "-1\nffffffff\n10000000\n");
}

TEST(OsInfo, TheNameOfThisSystemTheWindowsArchitecturesAndTheIconImageRowsBottomUpByPitch)
{
    EXPECT_TRUE(!osName().empty() && osName() != "Error" && windowsArchName(true) + windowsArchName(false) == "x64x86")
        << osName();
    EXPECT_EQ(openFileDialog({std::string(600, 'a')}), "") << "a filter that does not fit opens no dialog";

    // 16 x 16, B = x, G = y, R = 0x5A, in rows of 17 pixels: the padding must be skipped.
    std::vector<uint32_t> memory(17 * 16, 0xDEADBEEF);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            memory[y * 17 + x] = 0xFF5A0000u | (y << 8) | x;
    SDL_Surface* padded
        = SDL_CreateRGBSurfaceWithFormatFrom(memory.data(), 16, 16, 32, 17 * 4, SDL_PIXELFORMAT_ARGB8888);
    const Bytes image = iconImage(padded);
    SDL_FreeSurface(padded);
    ASSERT_EQ(image.size(), 1064u);
    // Header size, width, height of colour image and mask together, planes and bits, uncompressed, image size.
    EXPECT_EQ(Bytes(image.begin(), image.begin() + 40),
        (Bytes{40, 0, 0, 0, 16, 0, 0, 0, 32, 0, 0, 0, 1, 0, 32, 0, 0, 0, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
            0, 0, 0, 0, 0, 0}));
    // The top row (y = 0) is the last 64 bytes; the bottom row (y = 15) comes right after the header.
    for (int x = 0; x < 16; ++x)
        EXPECT_EQ(std::pair(le32(image, image.size() - 64 + x * 4), le32(image, 40 + x * 4)),
            std::pair(0xFF5A0000u | x, 0xFF5A0F00u | x));
    EXPECT_TRUE(iconImage(nullptr).empty());

    // Other formats are read through a copy; the caller's surface is left alone.
    SDL_Surface* abgr = SDL_CreateRGBSurfaceWithFormat(0, 4, 4, 32, SDL_PIXELFORMAT_ABGR8888);
    SDL_FillRect(abgr, nullptr, SDL_MapRGBA(abgr->format, 0x10, 0x20, 0x30, 0x80));
    const Bytes converted = iconImage(abgr);
    ASSERT_EQ(converted.size(), 40u + 4 * 4 * 4);
    EXPECT_TRUE(le32(converted, 40) == 0x80102030u && abgr->format->format == SDL_PIXELFORMAT_ABGR8888
        && static_cast<uint32_t*>(abgr->pixels)[15] == SDL_MapRGBA(abgr->format, 0x10, 0x20, 0x30, 0x80));
    SDL_FreeSurface(abgr);
}
