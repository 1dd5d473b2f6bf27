// The start-up report of the machine: its nine sections in order, the renderer's OpenGL block with one
// extension per line, and the report file rewritten at every start.
#include "Core/Core.h"
#include "System/OsInfo.h"
#include "System/ReportSections.h"
#include "System/SystemInfo.h"
#include "support/Headless.h"

#include <gtest/gtest.h>

#include <SDL.h>

#include <filesystem>
#include <fstream>
#include <regex>

TEST(SystemInfo, NineSectionsInOrderWithTheirLinesAndTheFileRewrittenAtEveryStart)
{
    startHeadlessCore();
    const std::string report = systemInfoReport();
    const std::string end = "----------\n";
    EXPECT_EQ(report.rfind("---Versions---\n", 0), 0u);
    size_t at = 0;
    for (const char* header :
        {"Check subsystem", "Render", "Display", "Avaible display formats", "Audio", "CPU", "Other", "OS"}) {
        const size_t next = report.find(end + "\n---" + header + "---\n");
        EXPECT_NE(next, std::string::npos) << header << " follows the previous section after one blank line";
        EXPECT_TRUE(next > at && report.find(end, at) == next) << header << " out of order";
        at = next + end.size();
    }
    EXPECT_TRUE(report.ends_with("---OS---\nOS Name: " + osName() + "\nOS Arch: " + osArch() + "\n" + end));
    EXPECT_TRUE(std::regex_search(report,
        std::regex("\nCompiled SDL version: [0-9.]+\nLinked SDL version: [0-9.]+\n"
                   "Revision SDL version: -?[0-9]+\n\nCompiled SDL_image")));
    EXPECT_NE(report.find("\nAudio: true\nVideo: true\nEvents: true\n"), std::string::npos);
    EXPECT_NE(report.find("\n\nAudio driver: dummy\n"), std::string::npos);
    EXPECT_NE(report.find("\nL1 cache line: " + std::to_string(SDL_GetCPUCacheLineSize()) + " B\n"), std::string::npos);
    EXPECT_NE(report.find("---Render---\nRender name: opengl\nRender target: true\n"), std::string::npos);
    EXPECT_TRUE(std::regex_search(report,
        std::regex("\nOpenGL info:\nVendor: [^\n]+\nRenderer: [^\n]+\nVersion: [^\n]+\nShading language version: "
                   "[^\n]+\n\nExtensions:\n(GL_[^ \n]+\n){10,}"
            + end)));
    EXPECT_EQ(extensionLines("GL_A GL_B "), "GL_A\nGL_B\n");
    EXPECT_EQ(extensionLines("GL_A GL_B\n"), "GL_A\nGL_B\n");
    EXPECT_EQ(extensionLines(""), "");

    // A software renderer gets neither an OpenGL nor a Direct3D block; no renderer, a line that says so.
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 64, 64, 32, SDL_PIXELFORMAT_ARGB8888);
    SDL_Renderer* software = SDL_CreateSoftwareRenderer(surface);
    const std::string section = renderSection(software, true);
    SDL_DestroyRenderer(software);
    SDL_FreeSurface(surface);
    EXPECT_TRUE(section.starts_with("---Render---\nRender name: software\n") && section.ends_with("\n" + end))
        << section;
    EXPECT_EQ(section.find(" info:"), std::string::npos) << section;
    EXPECT_EQ(renderSection(nullptr, true), "---Render---\nRenderer not initialized!\n" + end);

    const std::string path = "userData/systemInfo.txt";
    std::filesystem::create_directories("userData");
    std::ofstream(path, std::ios::trunc) << std::string(200000, 'x');
    writeSystemInfoReport();
    EXPECT_EQ(readFile(path), report + "\n");
    // Where the directory cannot be made, the report is skipped and nothing is harmed.
    const std::filesystem::path home = std::filesystem::current_path();
    const std::string dir = scratchDirectory("system-info-blocked");
    std::ofstream(dir + "/userData") << "keep";
    std::filesystem::current_path(dir);
    writeSystemInfoReport();
    std::filesystem::current_path(home);
    EXPECT_EQ(readFile(dir + "/userData"), "keep");
}
