#include "support/EngineHarness.h"

#include "support/Headless.h"

#include "System/HeadlessDrivers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace engine_test {

std::uintmax_t logSize()
{
    std::error_code error;
    const auto size = std::filesystem::file_size("userData/log.txt", error);
    return error ? 0 : size;
}

std::string logSince(std::uintmax_t offset)
{
    const std::string text = readFile("userData/log.txt");
    return offset < text.size() ? text.substr(offset) : std::string();
}

std::string expectFatal(const std::function<void()>& action, const std::string& message)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // A fatal error shows a message box: never under a display.
    useHeadlessDrivers();
    std::filesystem::create_directories("userData");
    std::string pattern = "Error! "; // the message taken literally
    for (const char c : message)
        pattern += std::string(std::strchr("\\^$.|?*+()[]{}", c) && c ? "\\" : "") + c;
    const auto before = logSize();
    EXPECT_EXIT(action(), ::testing::ExitedWithCode(1), pattern);
    const std::string added = logSince(before);
    const size_t line = added.find("|ERROR| " + message + "\n");
    EXPECT_NE(line, std::string::npos) << added;
    // SDL's own error text follows as a second ERROR line.
    EXPECT_NE(added.find("|ERROR| ", line + 1), std::string::npos) << added;
    return added;
}

int countPixels(const Image& image, Color color)
{
    int count = 0;
    for (int y = 0; y < image.size.h; ++y)
        for (int x = 0; x < image.size.w; ++x)
            count += image.pixel(x, y) == color;
    return count;
}

} // namespace engine_test
