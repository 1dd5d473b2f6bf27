#include "System/ReportSections.h"

#include "System/OsInfo.h"
#include "Utils/StringUtils.h"

#include <SDL.h>
#include <SDL_image.h>
#include <SDL_mixer.h>
#include <SDL_opengl.h>
#include <SDL_ttf.h>

#ifdef _WIN32
#include <SDL_system.h>

#include <d3d9.h>
#endif

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <thread>
#include <utility>

namespace {

constexpr std::string_view kSectionEnd = "----------\n";

// The renderer flags in the order the report lists them.
constexpr std::array<std::pair<uint32_t, const char*>, 4> kRendererFlags = {{
    {SDL_RENDERER_SOFTWARE, "SDL_RENDERER_SOFTWARE"},
    {SDL_RENDERER_ACCELERATED, "SDL_RENDERER_ACCELERATED"},
    {SDL_RENDERER_PRESENTVSYNC, "SDL_RENDERER_PRESENTVSYNC"},
    {SDL_RENDERER_TARGETTEXTURE, "SDL_RENDERER_TARGETTEXTURE"},
}};

constexpr std::array<std::pair<uint32_t, const char*>, 7> kSubsystems = {{
    {SDL_INIT_TIMER, "Timer: "},
    {SDL_INIT_AUDIO, "Audio: "},
    {SDL_INIT_VIDEO, "Video: "},
    {SDL_INIT_EVENTS, "Events: "},
    {SDL_INIT_JOYSTICK, "Joystick: "},
    {SDL_INIT_HAPTIC, "Haptic: "},
    {SDL_INIT_GAMECONTROLLER, "Game controller: "},
}};

using CpuQuery = SDL_bool(SDLCALL*)();
constexpr std::array<std::pair<CpuQuery, const char*>, 11> kCpuFeatures = {{
    {SDL_Has3DNow, "3DNow: "},
    {SDL_HasAVX, "AVX: "},
    {SDL_HasAVX2, "AVX 2: "},
    {SDL_HasAltiVec, "AltiVec: "},
    {SDL_HasMMX, "MMX: "},
    {SDL_HasRDTSC, "RDTSC: "},
    {SDL_HasSSE, "SSE: "},
    {SDL_HasSSE2, "SSE 2: "},
    {SDL_HasSSE3, "SSE 3: "},
    {SDL_HasSSE41, "SSE 4.1: "},
    {SDL_HasSSE42, "SSE 4.2: "},
}};

// A library text that is missing reads as an empty value.
std::string_view libraryText(const char* text) { return text != nullptr ? text : ""; }

std::string_view boolText(bool value) { return value ? "true" : "false"; }

std::string versionText(const SDL_version& version)
{
    return std::to_string(version.major) + "." + std::to_string(version.minor) + "." + std::to_string(version.patch);
}

std::string versionText(const SDL_version* version)
{
    return version != nullptr ? versionText(*version) : std::string();
}

void addLine(std::string& out, std::string_view text)
{
    out += text;
    out += '\n';
}

void addLine(std::string& out, std::string_view key, std::string_view value)
{
    out += key;
    addLine(out, value);
}

// "32bpp 1920x1080" and "60Hz".
void addDisplayMode(std::string& out, const SDL_DisplayMode& mode)
{
    addLine(out, "Display mode: ",
        std::to_string(SDL_BITSPERPIXEL(mode.format)) + "bpp " + std::to_string(mode.w) + "x" + std::to_string(mode.h));
    addLine(out, "Refresh rate: ", std::to_string(mode.refresh_rate) + "Hz");
}

int revisionNumber()
{
    // Kept in the report for its layout; SDL 2.0.16 and later always answer 0.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
    return SDL_GetRevisionNumber();
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
}

void addOpenGlBlock(std::string& out, bool withExtensions)
{
    using GetString = const GLubyte*(APIENTRY*)(GLenum);
    // glGetString answers for the current context, which is the OpenGL renderer's own; without one
    // there is nothing to ask.
    auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    if (SDL_GL_GetCurrentContext() == nullptr)
        getString = nullptr;
    auto glText = [getString](GLenum name) {
        const GLubyte* text = getString != nullptr ? getString(name) : nullptr;
        return std::string(libraryText(reinterpret_cast<const char*>(text)));
    };
    out += "\nOpenGL info:\n";
    addLine(out, "Vendor: ", glText(GL_VENDOR));
    addLine(out, "Renderer: ", glText(GL_RENDERER));
    addLine(out, "Version: ", glText(GL_VERSION));
    addLine(out, "Shading language version: ", glText(GL_SHADING_LANGUAGE_VERSION));
    if (withExtensions) {
        out += "\nExtensions:\n";
        out += extensionLines(glText(GL_EXTENSIONS));
    }
}

#ifdef _WIN32

void addDirect3DBlock(std::string& out, SDL_Renderer* renderer)
{
    out += "\nDirect3D9 info:\n";
    D3DADAPTER_IDENTIFIER9 adapter = {};
    // Both interfaces come with a reference of their own that must be released.
    if (IDirect3DDevice9* device = SDL_RenderGetD3D9Device(renderer)) {
        IDirect3D9* direct3D = nullptr;
        if (SUCCEEDED(device->GetDirect3D(&direct3D)) && direct3D != nullptr) {
            direct3D->GetAdapterIdentifier(0, 0, &adapter);
            direct3D->Release();
        }
        device->Release();
    }
    addLine(out, "Description: ", adapter.Description);
    addLine(out, "Driver: ", adapter.Driver);
    const auto high = static_cast<uint32_t>(adapter.DriverVersion.HighPart);
    const auto low = static_cast<uint32_t>(adapter.DriverVersion.LowPart);
    addLine(out, "Driver version: ",
        std::to_string(high >> 16) + "." + std::to_string(high & 0xFFFF) + "." + std::to_string(low >> 16) + "."
            + std::to_string(low & 0xFFFF));
}

#endif

} // namespace

std::string versionsSection()
{
    SDL_version compiledSdl;
    SDL_version linkedSdl;
    SDL_version compiledImage;
    SDL_version compiledTtf;
    SDL_version compiledMixer;
    SDL_VERSION(&compiledSdl);
    SDL_GetVersion(&linkedSdl);
    SDL_IMAGE_VERSION(&compiledImage);
    SDL_TTF_VERSION(&compiledTtf);
    SDL_MIXER_VERSION(&compiledMixer);

    std::string out = "---Versions---\n";
    addLine(out, "Compiled SDL version: ", versionText(compiledSdl));
    addLine(out, "Linked SDL version: ", versionText(linkedSdl));
    addLine(out, "Revision SDL version: ", std::to_string(revisionNumber()));
    out += '\n';
    addLine(out, "Compiled SDL_image version: ", versionText(compiledImage));
    addLine(out, "Linked SDL_image version: ", versionText(IMG_Linked_Version()));
    out += '\n';
    addLine(out, "Compiled SDL_ttf version: ", versionText(compiledTtf));
    addLine(out, "Linked SDL_ttf version: ", versionText(TTF_Linked_Version()));
    out += '\n';
    addLine(out, "Compiled SDL_mixer version: ", versionText(compiledMixer));
    addLine(out, "Linked SDL_mixer version: ", versionText(Mix_Linked_Version()));
    out += kSectionEnd;
    return out;
}

std::string subsystemSection()
{
    std::string out = "---Check subsystem---\n";
    for (const auto& [flag, key] : kSubsystems)
        addLine(out, key, boolText(SDL_WasInit(flag) != 0));
    out += kSectionEnd;
    return out;
}

std::string renderSection(SDL_Renderer* renderer, bool withExtensions)
{
    std::string out = "---Render---\n";
    if (renderer == nullptr) {
        addLine(out, "Renderer not initialized!");
        out += kSectionEnd;
        return out;
    }
    SDL_RendererInfo info = {};
    SDL_GetRendererInfo(renderer, &info);
    const std::string name(libraryText(info.name));
    addLine(out, "Render name: ", name);
    addLine(out, "Render target: ", boolText(SDL_RenderTargetSupported(renderer) != SDL_FALSE));
    addLine(out, "Max texture width: ", std::to_string(info.max_texture_width));
    addLine(out, "Max texture height: ", std::to_string(info.max_texture_height));

    out += "\nFlags:\n";
    for (const auto& [flag, flagName] : kRendererFlags) {
        if ((info.flags & flag) != 0)
            addLine(out, flagName);
    }
    out += "\nAvailable formats:\n";
    for (uint32_t i = 0; i < info.num_texture_formats && i < std::size(info.texture_formats); ++i)
        addLine(out, SDL_GetPixelFormatName(info.texture_formats[i]));

    // "opengl" and the OpenGL ES renderers "opengles" and "opengles2".
    if (startsWith(name, "opengl"))
        addOpenGlBlock(out, withExtensions);
#ifdef _WIN32
    if (name == "direct3d")
        addDirect3DBlock(out, renderer);
#endif
    out += kSectionEnd;
    return out;
}

std::string displaySection()
{
    std::string out = "---Display---\n";
    const char* name = SDL_GetDisplayName(0);
    if (name == nullptr) {
        addLine(out, "No active display!");
    } else {
        addLine(out, "Display name: ", name);
        SDL_DisplayMode mode = {};
        SDL_GetCurrentDisplayMode(0, &mode);
        addDisplayMode(out, mode);
        addLine(out, "Format: ", SDL_GetPixelFormatName(mode.format));
    }
    out += kSectionEnd;
    return out;
}

std::string displayModesSection()
{
    std::string out = "---Avaible display formats---\n";
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode = {};
        SDL_GetDisplayMode(0, i, &mode);
        addDisplayMode(out, mode);
        out += '\n';
    }
    out += kSectionEnd;
    return out;
}

std::string audioSection()
{
    std::string out = "---Audio---\nAvailable audio drivers:\n";
    const int driverCount = SDL_GetNumAudioDrivers();
    for (int i = 0; i < driverCount; ++i)
        addLine(out, std::to_string(i) + ": ", libraryText(SDL_GetAudioDriver(i)));
    out += '\n';
    if (const char* driver = SDL_GetCurrentAudioDriver()) {
        addLine(out, "Audio driver: ", driver);
        const int deviceCount = SDL_GetNumAudioDevices(0);
        for (int i = 0; i < deviceCount; ++i)
            addLine(out, "Audio device: ", libraryText(SDL_GetAudioDeviceName(i, 0)));
    } else {
        addLine(out, "Audio driver no initialized!");
    }
    out += kSectionEnd;
    return out;
}

std::string cpuSection()
{
    std::string out = "---CPU---\n";
    addLine(out, "Logical CPU cores: ", std::to_string(SDL_GetCPUCount()));
    // SDL answers the size of one L1 cache line, in bytes.
    addLine(out, "L1 cache line: ", std::to_string(SDL_GetCPUCacheLineSize()) + " B");
    for (const auto& [query, key] : kCpuFeatures)
        addLine(out, key, boolText(query() != SDL_FALSE));
    out += kSectionEnd;
    return out;
}

std::string otherSection()
{
    std::string out = "---Other---\n";
    addLine(out, "Platform: ", libraryText(SDL_GetPlatform()));
    addLine(out, "Memory(RAM): ", std::to_string(SDL_GetSystemRAM()) + "MB");
    addLine(out, "Threads: ", std::to_string(std::thread::hardware_concurrency()));
    out += kSectionEnd;
    return out;
}

std::string osSection()
{
    std::string out = "---OS---\n";
    addLine(out, "OS Name: ", osName());
    addLine(out, "OS Arch: ", osArch());
    out += kSectionEnd;
    return out;
}

std::string extensionLines(std::string_view extensions)
{
    std::string out(extensions);
    std::replace(out.begin(), out.end(), ' ', '\n');
    if (!out.empty() && out.back() != '\n')
        out += '\n';
    return out;
}
