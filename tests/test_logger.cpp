// The log file's lines and the decorated console lines of LogMessage, byte for byte.
#include "Utils/LogFile.h"
#include "Utils/LogMessage.h"
#include "Utils/Path.h"
#include "Utils/Time.h"
#include "support/Headless.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace fs = std::filesystem;

namespace {

const std::string kWhite = "\x1b[37m";
const std::string kReset = "\x1b[0m";
const std::string kBold = "\x1b[1m";

// The values of a plain (toStream) line, without its newline.
template <typename... Values> std::string plainLine(const Values&... values)
{
    std::ostringstream out;
    {
        LogMessage message("file.cpp", 1, kAnsiBold);
        message.toStream(out);
        (message << ... << values);
    }
    std::string text = out.str();
    EXPECT_FALSE(text.empty());
    if (!text.empty()) {
        EXPECT_EQ(text.back(), '\n');
        text.pop_back();
    }
    return text;
}

// Switches the working directory to a fresh scratch directory for one test, and back.
class ScratchWorkingDirectory {
public:
    explicit ScratchWorkingDirectory(const std::string& name)
        : previous_(fs::current_path())
    {
        fs::current_path(scratchDirectory(name));
    }
    ~ScratchWorkingDirectory() { fs::current_path(previous_); }

private:
    fs::path previous_;
};

} // namespace

TEST(LogLine, ExactFormAtAFixedLocalTime)
{
    const std::time_t when = makeTime(2018, 3, 5, 9, 7, 41);
    ASSERT_NE(when, -1);
    std::ostringstream out;
    writeLogLine(out, "boom", true, when);
    EXPECT_EQ(out.str(), "05.03.2018 09:07:41 |ERROR| boom\n");
    writeLogLine(out, "calm", false, makeTime(2017, 12, 31, 23, 59, 5));
    EXPECT_EQ(out.str(), "05.03.2018 09:07:41 |ERROR| boom\n31.12.2017 23:59:05 |INFO| calm\n");
}

TEST(LogLine, NowUsesTheClock)
{
    std::ostringstream out;
    const std::time_t before = currentTime();
    writeLogLine(out, "now", false);
    const std::time_t after = currentTime();
    const std::string line = out.str();
    const std::string stamp = line.substr(0, 19);
    EXPECT_TRUE(stamp == formatTime(before, "%d.%m.%Y %H:%M:%S") || stamp == formatTime(after, "%d.%m.%Y %H:%M:%S"))
        << line;
    EXPECT_EQ(line.substr(19), " |INFO| now\n");
}

TEST(Time, MakeTimeAndFormatTimeAgree)
{
    const std::time_t when = makeTime(2020, 2, 29, 13, 0, 59);
    EXPECT_EQ(formatTime(when, "%Y-%m-%d %H:%M:%S"), "2020-02-29 13:00:59");
    EXPECT_EQ(makeTime(2020, 3, 1, 0, 0, 0) - makeTime(2020, 2, 29, 0, 0, 0), 24 * 60 * 60);
    EXPECT_NEAR(static_cast<double>(currentTime()), static_cast<double>(std::time(nullptr)), 2.0);
}

TEST(LogFile, TwoWritersAppendInOrder)
{
    const std::string dir = scratchDirectory("logAppend");
    const std::string path = dir + "/log.txt";
    {
        std::ofstream first(path, std::ios::out | std::ios::app);
        writeLogLine(first, "first run", false, makeTime(2018, 3, 5, 9, 7, 41));
    }
    {
        std::ofstream second(path, std::ios::out | std::ios::app);
        writeLogLine(second, "second run", true, makeTime(2018, 3, 5, 9, 7, 42));
    }
    EXPECT_EQ(readFile(path), "05.03.2018 09:07:41 |INFO| first run\n05.03.2018 09:07:42 |ERROR| second run\n");
}

TEST(LogFile, CreatedBelowTheWorkingDirectory)
{
    const ScratchWorkingDirectory scratch("logFile");
    ASSERT_FALSE(fs::exists("userData"));
    std::ofstream& log = logFile();
    EXPECT_TRUE(log.is_open());
    EXPECT_EQ(&log, &logFile()) << "one stream for the process";
    writeLogLine(log, "written by the log file test", false);
    EXPECT_TRUE(fs::is_directory("userData"));
    const std::string text = readFile("userData/log.txt");
    EXPECT_NE(text.find("|INFO| written by the log file test\n"), std::string::npos) << text;
}

TEST(Path, BasePathAndDirectories)
{
    EXPECT_EQ(basePath(), ".");
    const ScratchWorkingDirectory scratch("paths");
    createDirectory("made");
    EXPECT_TRUE(fs::is_directory("made"));
    createDirectory("made"); // already there: nothing happens
    EXPECT_TRUE(fs::is_directory("made"));
    createDirectory("made\\inner"); // either separator
    EXPECT_TRUE(fs::is_directory("made/inner"));
    createDirectory("missing/child"); // one level only: the parent must exist
    EXPECT_FALSE(fs::exists("missing"));
}

TEST(LogMessage, DecoratedLineByteForByte)
{
    std::ostringstream out;
    LogMessage("..\\..\\a\\b", 7, kAnsiBold).setStream(out) << "loaded"
                                                            << "data/x.png";
    EXPECT_EQ(out.str(), kWhite + "a\\b:7 | " + kReset + kBold + "loaded data/x.png" + kReset + "\n");
}

TEST(LogMessage, LocationPrefix)
{
    EXPECT_EQ(LogMessage("..\\..\\a\\b", 7, kAnsiBold).location(), "a\\b:7 | ");
    EXPECT_EQ(LogMessage("/src/Engine/Core.cpp", 120, kAnsiBold).location(), "/src/Engine/Core.cpp:120 | ");
    EXPECT_EQ(LogMessage("x\\..\\y", 0, kAnsiBold).location(), "x\\y:0 | ");
    EXPECT_EQ(LogMessage(".\\..\\z", -3, kAnsiBold).location(), ".\\z:-3 | ");
}

TEST(LogMessage, DecorationsSwitchedOffOneByOne)
{
    std::ostringstream noLocation;
    LogMessage("f.cpp", 3, kAnsiBold).setStream(noLocation).noLocation() << "a";
    EXPECT_EQ(noLocation.str(), kBold + "a" + kReset + "\n");

    std::ostringstream noColour;
    LogMessage("f.cpp", 3, kAnsiBold).setStream(noColour).noColour() << "a";
    EXPECT_EQ(noColour.str(), "f.cpp:3 | a\n");

    std::ostringstream file;
    LogMessage("f.cpp", 3, kAnsiBold).toStream(file) << "abc";
    EXPECT_EQ(file.str(), "abc\n");
}

TEST(LogMessage, EmptyMessageWritesNothing)
{
    std::ostringstream out;
    {
        LogMessage("f.cpp", 3, kAnsiBold).setStream(out);
    }
    EXPECT_EQ(out.str(), "");
}

TEST(LogMessage, DefaultsToStandardOutput)
{
    testing::internal::CaptureStdout();
    LOG_MESSAGE << "to the console";
    const std::string text = testing::internal::GetCapturedStdout();
    EXPECT_EQ(text.substr(0, kWhite.size()), kWhite);
    EXPECT_NE(text.find(":" + std::to_string(__LINE__ - 3) + " | " + kReset + kBold + "to the console" + kReset + "\n"),
        std::string::npos)
        << text;
}

TEST(LogMessage, TextValueForms)
{
    EXPECT_EQ(plainLine(std::string("hello")), "\"hello\"");
    EXPECT_EQ(plainLine("plain"), "plain");
    EXPECT_EQ(plainLine('x'), "'x'");
    EXPECT_EQ(plainLine(true, false), "true false");
    EXPECT_EQ(plainLine(nullptr), "(nullptr)");
    EXPECT_EQ(plainLine(static_cast<const char*>(nullptr)), "(nullptr)");
    EXPECT_EQ(plainLine(u'A', U'\U0001F600', L'B'), "'65' '128512' '66'");
    EXPECT_EQ(plainLine("a", std::string("b c"), 'd'), "a \"b c\" 'd'");
}

TEST(LogMessage, SmallNumbersInDecimalHexAndBinary)
{
    const auto numbers = [](auto mode, auto value) {
        std::ostringstream out;
        {
            LogMessage message("f.cpp", 1, kAnsiBold);
            message.toStream(out);
            mode(message);
            message << value;
        }
        return out.str();
    };
    const auto decimal = [](LogMessage&) {};
    const auto hex = [](LogMessage& m) { m.hex(); };
    const auto binary = [](LogMessage& m) { m.binary(); };
    const auto binaryThenHex = [](LogMessage& m) { m.binary().hex(); };
    const auto hexThenBinary = [](LogMessage& m) { m.hex().binary(); };

    using uchar = unsigned char;
    using schar = signed char;
    EXPECT_EQ(numbers(decimal, uchar{5}), "5\n");
    EXPECT_EQ(numbers(binary, uchar{5}), "00000101\n");
    EXPECT_EQ(numbers(hex, uchar{5}), "5\n");
    EXPECT_EQ(numbers(hex, uchar{255}), "ff\n");
    EXPECT_EQ(numbers(binaryThenHex, uchar{171}), "ab\n");
    EXPECT_EQ(numbers(hexThenBinary, uchar{171}), "10101011\n");
    EXPECT_EQ(numbers(decimal, schar{-1}), "-1\n");
    EXPECT_EQ(numbers(hex, schar{-1}), "ffffffff\n");
    EXPECT_EQ(numbers(hex, schar{16}), "10\n");
    EXPECT_EQ(numbers(binary, schar{-1}), "11111111\n");
    EXPECT_EQ(numbers(binary, schar{-128}), "10000000\n");
}
