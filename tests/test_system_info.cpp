// The start-up report of the machine: its nine sections in order, the renderer's OpenGL block with one
// extension per line, the CPU's cache line, and the report file rewritten at every start.

#include "Core/Core.h"
#include "System/OsInfo.h"
#include "System/ReportSections.h"
#include "System/SystemInfo.h"
#include "support/Headless.h"

#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_image.h>
#include <SDL_mixer.h>
#include <SDL_opengl.h>
#include <SDL_ttf.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>
#include <vector>

namespace {

const std::vector<std::string> kSectionHeaders = {
    "---Versions---",
    "---Check subsystem---",
    "---Render---",
    "---Display---",
    "---Avaible display formats---",
    "---Audio---",
    "---CPU---",
    "---Other---",
    "---OS---",
};

const std::string kSectionEnd = "----------\n";

std::string versionText(int major, int minor, int patch)
{
    return std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(patch);
}

// The lines between "Extensions:" and the end of the Render section.
std::vector<std::string> extensionList(const std::string& report)
{
    const std::size_t start = report.find("\nExtensions:\n");
    const std::size_t end = report.find(kSectionEnd, start);
    std::vector<std::string> lines;
    std::istringstream in(report.substr(start + 13, end - start - 13));
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::size_t countOf(const std::string& text, const std::string& piece)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1))
        ++count;
    return count;
}

} // namespace

TEST(SystemInfo, BeforeStartUpTheReportSaysWhatIsMissing)
{
    if (Core::instance().hasRenderer())
        GTEST_SKIP() << "the core was started by an earlier test in this process";
    const std::string report = systemInfoReport();
    EXPECT_NE(report.find("---Render---\nRenderer not initialized!\n----------\n"), std::string::npos);
    EXPECT_NE(report.find("---Display---\nNo active display!\n----------\n"), std::string::npos);
    EXPECT_NE(report.find("---Avaible display formats---\n----------\n"), std::string::npos);
    EXPECT_NE(report.find("\nAudio driver no initialized!\n----------\n"), std::string::npos);
    EXPECT_NE(report.find("Video: false\n"), std::string::npos);
}

TEST(SystemInfo, TheNineSectionsFollowEachOtherSeparatedByBlankLines)
{
    startHeadlessCore();
    const std::string report = systemInfoReport();
    ASSERT_EQ(report.rfind("---Versions---\n", 0), 0u);
    EXPECT_EQ(report.find('\r'), std::string::npos);
    EXPECT_EQ(countOf(report, kSectionEnd), kSectionHeaders.size());

    std::size_t previous = 0;
    for (std::size_t i = 0; i < kSectionHeaders.size(); ++i) {
        const std::size_t at = report.find(kSectionHeaders[i] + "\n");
        ASSERT_NE(at, std::string::npos) << kSectionHeaders[i];
        EXPECT_EQ(countOf(report, kSectionHeaders[i]), 1u) << kSectionHeaders[i];
        if (i > 0) {
            EXPECT_GT(at, previous) << kSectionHeaders[i] << " out of order";
            EXPECT_EQ(report.substr(at - kSectionEnd.size() - 1, kSectionEnd.size() + 1), kSectionEnd + "\n")
                << kSectionHeaders[i] << " follows the previous section after one blank line";
        }
        previous = at;
    }
    const std::string osEnd = "---OS---\nOS Name: " + osName() + "\nOS Arch: " + osArch() + "\n----------\n";
    ASSERT_GE(report.size(), osEnd.size());
    EXPECT_EQ(report.substr(report.size() - osEnd.size()), osEnd);
}

TEST(SystemInfo, VersionsShowTheHeadersAndTheLinkedLibraries)
{
    startHeadlessCore();
    SDL_version linked;
    SDL_GetVersion(&linked);
    const std::string compiled = versionText(SDL_MAJOR_VERSION, SDL_MINOR_VERSION, SDL_PATCHLEVEL);
    const std::string expected = "---Versions---\nCompiled SDL version: " + compiled +
                                 "\nLinked SDL version: " + versionText(linked.major, linked.minor, linked.patch) +
                                 "\n";
    const std::string section = versionsSection();
    ASSERT_EQ(section.substr(0, expected.size()), expected);

    const SDL_version* image = IMG_Linked_Version();
    const SDL_version* ttf = TTF_Linked_Version();
    const SDL_version* mixer = Mix_Linked_Version();
    const std::string rest = "\n\nCompiled SDL_image version: " +
                             versionText(SDL_IMAGE_MAJOR_VERSION, SDL_IMAGE_MINOR_VERSION, SDL_IMAGE_PATCHLEVEL) +
                             "\nLinked SDL_image version: " + versionText(image->major, image->minor, image->patch) +
                             "\n\nCompiled SDL_ttf version: " +
                             versionText(SDL_TTF_MAJOR_VERSION, SDL_TTF_MINOR_VERSION, SDL_TTF_PATCHLEVEL) +
                             "\nLinked SDL_ttf version: " + versionText(ttf->major, ttf->minor, ttf->patch) +
                             "\n\nCompiled SDL_mixer version: " +
                             versionText(SDL_MIXER_MAJOR_VERSION, SDL_MIXER_MINOR_VERSION, SDL_MIXER_PATCHLEVEL) +
                             "\nLinked SDL_mixer version: " + versionText(mixer->major, mixer->minor, mixer->patch) +
                             "\n----------\n";
    ASSERT_GE(section.size(), rest.size());
    EXPECT_EQ(section.substr(section.size() - rest.size()), rest);
    EXPECT_TRUE(std::regex_search(section, std::regex("\nRevision SDL version: -?[0-9]+\n\nCompiled SDL_image")));
}

TEST(SystemInfo, TheHeadlessCoreRunsVideoAndAudio)
{
    startHeadlessCore();
    const std::string section = subsystemSection();
    EXPECT_TRUE(std::regex_match(section, std::regex("---Check subsystem---\n"
                                                     "Timer: (true|false)\n"
                                                     "Audio: true\n"
                                                     "Video: true\n"
                                                     "Events: true\n"
                                                     "Joystick: (true|false)\n"
                                                     "Haptic: (true|false)\n"
                                                     "Game controller: (true|false)\n"
                                                     "----------\n")))
        << section;
    EXPECT_NE(audioSection().find("\n\nAudio driver: dummy\n"), std::string::npos) << audioSection();
}

TEST(SystemInfo, TheOpenGlRendererListsItsStringsAndOneExtensionPerLine)
{
    startHeadlessCore();
    const std::string report = systemInfoReport();
    EXPECT_NE(report.find("---Render---\nRender name: opengl\nRender target: true\n"), std::string::npos);
    EXPECT_TRUE(
        std::regex_search(report, std::regex("\nMax texture width: [1-9][0-9]*\nMax texture height: [1-9][0-9]*\n\n"
                                             "Flags:\n(SDL_RENDERER_[A-Z]+\n)+\nAvailable formats:\n"
                                             "(SDL_PIXELFORMAT_[A-Z0-9]+\n)+\nOpenGL info:\n")));
    EXPECT_NE(report.find("\nSDL_RENDERER_ACCELERATED\n"), std::string::npos);
    EXPECT_NE(report.find("\nSDL_RENDERER_TARGETTEXTURE\n"), std::string::npos);
    EXPECT_TRUE(std::regex_search(report, std::regex("\nOpenGL info:\nVendor: [^\n]+\nRenderer: [^\n]+\n"
                                                     "Version: [^\n]+\nShading language version: [^\n]+\n\n"
                                                     "Extensions:\n")));
    EXPECT_EQ(report.find("Direct3D9 info:"), std::string::npos);

    // The list holds exactly the extensions the context names, in its order, and ends its last line.
    using GetString = const GLubyte*(APIENTRY*)(GLenum);
    const auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    ASSERT_NE(getString, nullptr);
    std::istringstream names(reinterpret_cast<const char*>(getString(GL_EXTENSIONS)));
    std::vector<std::string> expected;
    for (std::string name; names >> name;)
        expected.push_back(name);
    ASSERT_GT(expected.size(), 10u);
    EXPECT_EQ(extensionList(report), expected);
    EXPECT_NE(report.find("\n" + expected.back() + "\n----------\n\n---Display---\n"), std::string::npos);
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
    EXPECT_EQ(section.rfind("---Render---\nRender name: software\n", 0), 0u) << section;
    EXPECT_NE(section.find("\nFlags:\nSDL_RENDERER_SOFTWARE\n"), std::string::npos);
    EXPECT_EQ(section.find("OpenGL info:"), std::string::npos);
    EXPECT_EQ(section.find("Direct3D9 info:"), std::string::npos);
    EXPECT_TRUE(section.ends_with("\n----------\n"));
    EXPECT_EQ(renderSection(nullptr, true), "---Render---\nRenderer not initialized!\n----------\n");
}

TEST(SystemInfo, ExtensionsStandOneALineWithOneFinalLineFeed)
{
    EXPECT_EQ(extensionLines("GL_A GL_B"), "GL_A\nGL_B\n");
    EXPECT_EQ(extensionLines("GL_A GL_B "), "GL_A\nGL_B\n");
    EXPECT_EQ(extensionLines("GL_A GL_B\n"), "GL_A\nGL_B\n");
    EXPECT_EQ(extensionLines("GL_A"), "GL_A\n");
    EXPECT_EQ(extensionLines(""), "");
}

TEST(SystemInfo, DisplaysCpuAndMachine)
{
    startHeadlessCore();
    const std::string display = displaySection();
    const char* name = SDL_GetDisplayName(0);
    ASSERT_NE(name, nullptr);
    EXPECT_TRUE(std::regex_match(display, std::regex("---Display---\nDisplay name: [^\n]*\n"
                                                     "Display mode: [0-9]+bpp [0-9]+x[0-9]+\n"
                                                     "Refresh rate: [0-9]+Hz\nFormat: SDL_PIXELFORMAT_[A-Z0-9]+\n"
                                                     "----------\n")))
        << display;
    const std::string modes = displayModesSection();
    EXPECT_EQ(countOf(modes, "Display mode: "), static_cast<std::size_t>(SDL_GetNumDisplayModes(0)));
    EXPECT_TRUE(
        std::regex_match(modes, std::regex("---Avaible display formats---\n"
                                           "(Display mode: [0-9]+bpp [0-9]+x[0-9]+\nRefresh rate: [0-9]+Hz\n\n)*"
                                           "----------\n")))
        << modes;

    const std::string cpu = cpuSection();
    EXPECT_NE(cpu.find("\nL1 cache line: " + std::to_string(SDL_GetCPUCacheLineSize()) + " B\n"), std::string::npos)
        << cpu;
    EXPECT_EQ(cpu.find("KB"), std::string::npos);
    EXPECT_TRUE(std::regex_search(cpu, std::regex("\n3DNow: (true|false)\nAVX: (true|false)\nAVX 2: (true|false)\n"
                                                  "AltiVec: (true|false)\nMMX: (true|false)\nRDTSC: (true|false)\n"
                                                  "SSE: (true|false)\nSSE 2: (true|false)\nSSE 3: (true|false)\n"
                                                  "SSE 4.1: (true|false)\nSSE 4.2: (true|false)\n----------\n$")))
        << cpu;
    EXPECT_EQ(otherSection(), "---Other---\nPlatform: " + std::string(SDL_GetPlatform()) +
                                  "\nMemory(RAM): " + std::to_string(SDL_GetSystemRAM()) + "MB\nThreads: " +
                                  std::to_string(std::thread::hardware_concurrency()) + "\n----------\n");
}

TEST(SystemInfo, TheReportFileIsRewrittenWithTheReportAndOneLineFeed)
{
    startHeadlessCore();
    const std::string path = "userData/systemInfo.txt";
    std::filesystem::create_directories("userData");
    {
        std::ofstream stale(path, std::ios::trunc);
        stale << std::string(200000, 'x');
    }
    writeSystemInfoReport();
    const std::string report = systemInfoReport();
    EXPECT_EQ(readFile(path), report + "\n");
    writeSystemInfoReport();
    EXPECT_EQ(readFile(path), report + "\n") << "a second start rewrites the file";
}

TEST(SystemInfo, AReportFileThatCannotBeOpenedIsSkipped)
{
    startHeadlessCore();
    const std::filesystem::path home = std::filesystem::current_path();
    const std::string dir = scratchDirectory("system-info-blocked");
    {
        std::ofstream blocker(dir + "/userData"); // a file where the directory should be
        blocker << "keep";
    }
    std::filesystem::current_path(dir);
    writeSystemInfoReport();
    std::filesystem::current_path(home);
    EXPECT_TRUE(std::filesystem::is_regular_file(dir + "/userData"));
    EXPECT_EQ(readFile(dir + "/userData"), "keep");
}
