#include "support/Headless.h"

#include "Core/Core.h"
#include "Core/HeadlessRendering.h"
#include "System/HeadlessDrivers.h"
#include "Utils/Utf8Path.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

void startHeadlessCore()
{
    static bool started = false;
    if (started)
        return;
    // Never under a real display: a fatal error would open a box that waits for a click.
    useHeadlessDrivers();
    chooseHeadlessRendering(); // no one sees the window: the software renderer draws into its memory
    Core::instance().init("Duelfall tests", {1024, 720}, true);
    started = true;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(pathFromUtf8(path), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string scratchDirectory(const std::string& name)
{
    // CTest runs a program's tests side by side: a directory per test keeps one from clearing another's files.
    std::filesystem::path dir = "scratch";
    if (const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info())
        dir /= std::string(test->test_suite_name()) + "." + test->name();
    dir /= pathFromUtf8(name);
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return utf8FromPath(dir);
}
