// The start-up report of the machine: its nine sections in order, the renderer's OpenGL block with one
// extension per line, the CPU's cache line, and the report file rewritten at every start.
#include "Core/Core.h"
#include "System/OsInfo.h"
#include "System/ReportSections.h"
#include "System/SystemInfo.h"
#include "support/Headless.h"

#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_opengl.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <vector>

namespace {

const std::string kSectionEnd = "----------\n";

std::size_t countOf(const std::string& text, const std::string& piece)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1))
        ++count;
    return count;
}

} // namespace

TEST(SystemInfo, TheNineSectionsFollowEachOtherSeparatedByBlankLines)
{
    startHeadlessCore();
    const std::string report = systemInfoReport();
    ASSERT_EQ(report.rfind("---Versions---\n", 0), 0u);
    const std::vector<std::string> headers = {"---Versions---", "---Check subsystem---", "---Render---",
        "---Display---", "---Avaible display formats---", "---Audio---", "---CPU---", "---Other---", "---OS---"};
    EXPECT_EQ(countOf(report, kSectionEnd), headers.size());
    std::size_t previous = 0;
    for (std::size_t i = 1; i < headers.size(); ++i) {
        const std::size_t at = report.find(kSectionEnd + "\n" + headers[i] + "\n");
        ASSERT_NE(at, std::string::npos) << headers[i] << " follows the previous section after one blank line";
        EXPECT_GT(at, previous) << headers[i] << " out of order";
        previous = at;
    }
    const std::string osEnd = "---OS---\nOS Name: " + osName() + "\nOS Arch: " + osArch() + "\n" + kSectionEnd;
    EXPECT_TRUE(report.ends_with(osEnd)) << report;
    EXPECT_TRUE(std::regex_search(report,
        std::regex("\nCompiled SDL version: [0-9.]+\nLinked SDL version: [0-9.]+\n"
                   "Revision SDL version: -?[0-9]+\n\nCompiled SDL_image")));
    EXPECT_NE(report.find("\nAudio: true\nVideo: true\nEvents: true\n"), std::string::npos);
    EXPECT_NE(report.find("\n\nAudio driver: dummy\n"), std::string::npos);
    EXPECT_NE(report.find("\nL1 cache line: " + std::to_string(SDL_GetCPUCacheLineSize()) + " B\n"), std::string::npos);
}

TEST(SystemInfo, TheOpenGlRendererListsItsStringsAndOneExtensionPerLine)
{
    startHeadlessCore();
    const std::string report = systemInfoReport();
    EXPECT_NE(report.find("---Render---\nRender name: opengl\nRender target: true\n"), std::string::npos);
    EXPECT_TRUE(std::regex_search(report,
        std::regex("\nOpenGL info:\nVendor: [^\n]+\nRenderer: [^\n]+\n"
                   "Version: [^\n]+\nShading language version: [^\n]+\n\n"
                   "Extensions:\n")));
    EXPECT_EQ(report.find("Direct3D9 info:"), std::string::npos);

    // The list holds exactly the extensions the context names, in its order, and ends its last line.
    using GetString = const GLubyte*(APIENTRY*)(GLenum);
    const auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    ASSERT_NE(getString, nullptr);
    std::istringstream names(reinterpret_cast<const char*>(getString(GL_EXTENSIONS)));
    std::string expected;
    for (std::string name; names >> name;)
        expected += name + "\n";
    ASSERT_GT(countOf(expected, "\n"), 10u);
    EXPECT_NE(report.find("\nExtensions:\n" + expected + kSectionEnd + "\n---Display---\n"), std::string::npos);

    EXPECT_EQ(extensionLines("GL_A GL_B "), "GL_A\nGL_B\n");
    EXPECT_EQ(extensionLines("GL_A GL_B\n"), "GL_A\nGL_B\n");
    EXPECT_EQ(extensionLines(""), "");
}

TEST(SystemInfo, ASoftwareRendererGetsNeitherOpenGlNorDirect3DBlock)
{
    startHeadlessCore();
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 64, 64, 32, SDL_PIXELFORMAT_ARGB8888);
    SDL_Renderer* renderer = SDL_CreateSoftwareRenderer(surface);
    ASSERT_NE(renderer, nullptr);
    const std::string section = renderSection(renderer, true);
    SDL_DestroyRenderer(renderer);
    SDL_FreeSurface(surface);
    EXPECT_TRUE(section.starts_with("---Render---\nRender name: software\n")) << section;
    EXPECT_EQ(section.find("OpenGL info:"), std::string::npos);
    EXPECT_EQ(section.find("Direct3D9 info:"), std::string::npos);
    EXPECT_TRUE(section.ends_with("\n" + kSectionEnd));
    EXPECT_EQ(renderSection(nullptr, true), "---Render---\nRenderer not initialized!\n" + kSectionEnd);
}

TEST(SystemInfo, TheReportFileIsRewrittenWithTheReportAndOneLineFeed)
{
    startHeadlessCore();
    const std::string path = "userData/systemInfo.txt";
    std::filesystem::create_directories("userData");
    std::ofstream(path, std::ios::trunc) << std::string(200000, 'x');
    writeSystemInfoReport();
    const std::string report = systemInfoReport();
    EXPECT_EQ(readFile(path), report + "\n");
    writeSystemInfoReport();
    EXPECT_EQ(readFile(path), report + "\n") << "a second start rewrites the file";

    // Where the directory cannot be made, the report is skipped and nothing is harmed.
    const std::filesystem::path home = std::filesystem::current_path();
    const std::string dir = scratchDirectory("system-info-blocked");
    std::ofstream(dir + "/userData") << "keep";
    std::filesystem::current_path(dir);
    writeSystemInfoReport();
    std::filesystem::current_path(home);
    EXPECT_EQ(readFile(dir + "/userData"), "keep");
}
