// The utilities: log lines and the decorated console lines of LogMessage byte for byte, paths, string
// helpers and the small file reader over SDL's file streams.
#include "Utils/File.h"
#include "Utils/LogFile.h"
#include "Utils/LogMessage.h"
#include "Utils/Path.h"
#include "Utils/StringUtils.h"
#include "Utils/Time.h"
#include "support/Headless.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

const std::string kWhite = "\x1b[37m";
const std::string kReset = "\x1b[0m";
const std::string kBold = "\x1b[1m";
using Pieces = std::vector<std::string>;

// What a toStream message writes after configuring it and taking the values.
template <typename... Values> std::string plainLine(void (*configure)(LogMessage&), const Values&... values)
{
    std::ostringstream out;
    {
        LogMessage message("file.cpp", 1, kAnsiBold);
        message.toStream(out);
        configure(message);
        (message << ... << values);
    }
    return out.str();
}

void asIs(LogMessage&) { }

} // namespace

TEST(LogFile, ExactLinesAtAFixedLocalTimeAppendedByTwoWriters)
{
    const std::string path = scratchDirectory("logAppend") + "/log.txt";
    {
        std::ofstream first(path, std::ios::out | std::ios::app);
        writeLogLine(first, "boom", true, makeTime(2018, 3, 5, 9, 7, 41));
    }
    {
        std::ofstream second(path, std::ios::out | std::ios::app);
        writeLogLine(second, "calm", false, makeTime(2017, 12, 31, 23, 59, 5));
    }
    EXPECT_EQ(readFile(path), "05.03.2018 09:07:41 |ERROR| boom\n31.12.2017 23:59:05 |INFO| calm\n");
    EXPECT_EQ(makeTime(2020, 3, 1, 0, 0, 0) - makeTime(2020, 2, 29, 0, 0, 0), 24 * 60 * 60);
}

TEST(LogFile, CreatedBelowTheWorkingDirectoryWhichAlsoTakesNewDirectories)
{
    const fs::path home = fs::current_path();
    fs::current_path(scratchDirectory("logFile"));
    std::ofstream& log = logFile();
    EXPECT_EQ(&log, &logFile()) << "one stream for the process";
    writeLogLine(log, "written by the log file test", false);
    const std::string text = readFile("userData/log.txt");
    EXPECT_NE(text.find("|INFO| written by the log file test\n"), std::string::npos) << text;

    EXPECT_EQ(basePath(), ".");
    createDirectory("made");
    createDirectory("made\\inner"); // either separator
    createDirectory("missing/child"); // one level only: the parent must exist
    EXPECT_TRUE(fs::is_directory("made/inner"));
    EXPECT_FALSE(fs::exists("missing"));
    fs::current_path(home);
}

TEST(LogMessage, DecoratedLinesByteForByte)
{
    std::ostringstream out;
    LogMessage("..\\..\\a\\b", 7, kAnsiBold).setStream(out) << "loaded"
                                                            << "data/x.png";
    EXPECT_EQ(out.str(), kWhite + "a\\b:7 | " + kReset + kBold + "loaded data/x.png" + kReset + "\n");
    EXPECT_EQ(LogMessage("x\\..\\y", 0, kAnsiBold).location(), "x\\y:0 | ");
    EXPECT_EQ(LogMessage(".\\..\\z", -3, kAnsiBold).location(), ".\\z:-3 | ");

    std::ostringstream noLocation;
    LogMessage("f.cpp", 3, kAnsiBold).setStream(noLocation).noLocation() << "a";
    EXPECT_EQ(noLocation.str(), kBold + "a" + kReset + "\n");
    std::ostringstream noColour;
    LogMessage("f.cpp", 3, kAnsiBold).setStream(noColour).noColour() << "a";
    EXPECT_EQ(noColour.str(), "f.cpp:3 | a\n");
    std::ostringstream empty;
    LogMessage("f.cpp", 3, kAnsiBold).setStream(empty);
    EXPECT_EQ(empty.str(), "") << "an empty message writes nothing";

    testing::internal::CaptureStdout();
    const int line = __LINE__ + 1;
    LOG_MESSAGE << "to the console";
    const std::string text = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(text.starts_with(kWhite)) << text;
    EXPECT_TRUE(text.ends_with(":" + std::to_string(line) + " | " + kReset + kBold + "to the console" + kReset + "\n"))
        << text;
}

TEST(LogMessage, ValueFormsInTextHexAndBinary)
{
    EXPECT_EQ(plainLine(asIs, "a", std::string("b c"), 'd'), "a \"b c\" 'd'\n");
    EXPECT_EQ(plainLine(asIs, true, false, nullptr), "true false (nullptr)\n");
    EXPECT_EQ(plainLine(asIs, static_cast<const char*>(nullptr)), "(nullptr)\n");
    EXPECT_EQ(plainLine(asIs, u'A', U'\U0001F600', L'B'), "'65' '128512' '66'\n");

    using uchar = unsigned char;
    using schar = signed char;
    const auto hex = [](LogMessage& m) { m.hex(); };
    const auto binary = [](LogMessage& m) { m.binary(); };
    EXPECT_EQ(plainLine(asIs, uchar{5}), "5\n");
    EXPECT_EQ(plainLine(binary, uchar{5}), "00000101\n");
    EXPECT_EQ(plainLine(hex, uchar{255}), "ff\n");
    EXPECT_EQ(plainLine([](LogMessage& m) { m.binary().hex(); }, uchar{171}), "ab\n");
    EXPECT_EQ(plainLine([](LogMessage& m) { m.hex().binary(); }, uchar{171}), "10101011\n");
    EXPECT_EQ(plainLine(asIs, schar{-1}), "-1\n");
    EXPECT_EQ(plainLine(hex, schar{-1}), "ffffffff\n");
    EXPECT_EQ(plainLine(binary, schar{-128}), "10000000\n");
}

TEST(Strings, Affixes)
{
    // Trimming, case and splitting are in the table of test_values.
    EXPECT_TRUE(startsWith("abc", "") && endsWith("log.txt", ".txt") && startsWith("abc", "ab"));
    EXPECT_FALSE(startsWith("ab", "abc") || endsWith("bc", "abc") || endsWith("log.txt", ".txf"));
}

TEST(File, WritesAppendsAndReadsBytesAsTheyAre)
{
    const std::string path = scratchDirectory("file") + "/data.bin";
    const std::string bytes("<a>\0\r\n\xff</a>", 10);
    {
        File file(path, File::Write);
        EXPECT_EQ(file.write(bytes.substr(0, 4)), 4u);
    }
    {
        File file(path, File::Append);
        EXPECT_EQ(file.write(bytes.substr(4)), 6u);
    }
    File file(path, File::Read);
    EXPECT_EQ(file.size(), 10);
    EXPECT_EQ(file.readAll() + file.readAll(), bytes + bytes) << "the whole content each time";
    {
        File rewrite(path, File::Write);
    }
    EXPECT_EQ(File(path, File::Read).readAll(), "") << "writing starts the file afresh";
}
