// String helpers and the small file reader over SDL's file streams.
#include "Utils/File.h"
#include "Utils/LogFile.h"
#include "Utils/StringUtils.h"
#include "support/Headless.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

using Pieces = std::vector<std::string>;

TEST(Strings, TrimBothEnds)
{
    std::string text = " \t a b \r\n";
    trim(text);
    EXPECT_EQ(text, "a b");

    std::string left = "  x  ";
    trimLeft(left);
    EXPECT_EQ(left, "x  ");
    std::string right = "  x  ";
    trimRight(right);
    EXPECT_EQ(right, "  x");

    std::string blank = " \v\f\t\n ";
    trim(blank);
    EXPECT_EQ(blank, "");
    std::string empty;
    trim(empty);
    EXPECT_EQ(empty, "");
}

TEST(Strings, CaseChanges)
{
    std::string text = "Light_Gray #ff00Aa";
    toUpper(text);
    EXPECT_EQ(text, "LIGHT_GRAY #FF00AA");
    toLower(text);
    EXPECT_EQ(text, "light_gray #ff00aa");
    std::string high = "caf\xc3\xa9"; // bytes above 127 pass through unchanged
    toUpper(high);
    EXPECT_EQ(high, "CAF\xc3\xa9");
}

TEST(Strings, StartsWithAndEndsWith)
{
    EXPECT_TRUE(startsWith("Mesa Intel", "Mesa"));
    EXPECT_TRUE(startsWith("abc", ""));
    EXPECT_TRUE(startsWith("", ""));
    EXPECT_TRUE(startsWith("abc", "abc"));
    EXPECT_FALSE(startsWith("ab", "abc"));
    EXPECT_FALSE(startsWith("abc", "b"));

    EXPECT_TRUE(endsWith("log.txt", ".txt"));
    EXPECT_TRUE(endsWith("abc", ""));
    EXPECT_TRUE(endsWith("", ""));
    EXPECT_FALSE(endsWith("bc", "abc"));
    EXPECT_FALSE(endsWith("abc", "b"));
}

TEST(Strings, SplitKeepsEmptyPiecesUnlessAsked)
{
    EXPECT_EQ(split("a,b,,c", ','), (Pieces{"a", "b", "", "c"}));
    EXPECT_EQ(split("a,b,,c", ',', true), (Pieces{"a", "b", "c"}));
    EXPECT_EQ(split(",", ','), (Pieces{"", ""}));
    EXPECT_EQ(split(",", ',', true), Pieces{});
    EXPECT_EQ(split("", ','), (Pieces{""}));
    EXPECT_EQ(split("", ',', true), Pieces{});
    EXPECT_EQ(split("abc", ','), (Pieces{"abc"}));
    EXPECT_EQ(split("1.2 3;;4", " .;"), (Pieces{"1", "2", "3", "", "4"}));
    EXPECT_EQ(split("1.2 3;;4", " .;", true), (Pieces{"1", "2", "3", "4"}));
    EXPECT_EQ(split("a b", ""), (Pieces{"a b"})) << "no delimiters: one piece";
}

TEST(File, WriteAppendAndReadBack)
{
    const std::string path = scratchDirectory("file") + "/notes.txt";
    {
        File file(path, File::Write);
        EXPECT_EQ(file.write("hello"), 5u);
    }
    {
        File file(path, File::Append);
        EXPECT_EQ(file.write(" world"), 6u);
    }
    File file(path, File::Read);
    EXPECT_EQ(file.size(), 11);
    EXPECT_EQ(file.readAll(), "hello world");
    EXPECT_EQ(file.readAll(), "hello world") << "the whole content again";

    {
        File rewrite(path, File::Write);
    }
    EXPECT_EQ(File(path, File::Read).readAll(), "") << "mode 1 starts the file afresh";
}

TEST(File, ReadsBytesAsTheyAre)
{
    const std::string path = scratchDirectory("fileBytes") + "/data.bin";
    const std::string bytes("<a>\0\r\n\xff</a>", 10);
    {
        std::ofstream out(path, std::ios::binary);
        out << bytes;
    }
    File file(path, 0);
    EXPECT_EQ(file.size(), 10);
    EXPECT_EQ(file.readAll(), bytes);
}

TEST(FileDeathTest, MissingFileOrUnknownModeIsFatal)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // A fatal error shows a message box: never under a display.
    unsetenv("DISPLAY");
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    const std::string dir = scratchDirectory("fileFatal");
    EXPECT_EXIT(File(dir + "/missing.xml", File::Read), ::testing::ExitedWithCode(1),
        "File scratch/fileFatal/missing.xml failed load!");
    {
        std::ofstream(dir + "/present.xml") << "<a/>";
    }
    EXPECT_EXIT(
        File(dir + "/present.xml", 3), ::testing::ExitedWithCode(1), "File scratch/fileFatal/present.xml failed load!");

    const std::string log = readFile("userData/log.txt");
    EXPECT_NE(log.find("|ERROR| File scratch/fileFatal/missing.xml failed load!\n"), std::string::npos);
    EXPECT_NE(log.find("|ERROR| File scratch/fileFatal/present.xml failed load!\n"), std::string::npos);
}
