// Fuzzes the reading of animation files (Animation::parse: image path, transparent colour, delay, count
// and frames; no image is loaded). Any text must parse without a fault and without reserving room for
// a count it merely claims, and what was read must read back the same from a plain description of it.

#include "Graphics/Animation.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

namespace {

// The most frames a file may make the reader reserve before it has read them.
constexpr size_t kReservedFramesLimit = 4096;

void check(bool condition)
{
    if (!condition)
        std::abort();
}

bool operator==(const AnimationData& a, const AnimationData& b)
{
    return a.image == b.image && a.transparentColor == b.transparentColor && a.delay == b.delay && a.count == b.count
        && a.frames == b.frames;
}

std::string colourText(const Color& c)
{
    char text[16];
    std::snprintf(text, sizeof text, "#%02x%02x%02x%02x", c.a, c.r, c.g, c.b);
    return text;
}

// The same description written plainly: every value as an attribute, every frame as an element.
std::string describe(const AnimationData& data)
{
    pugi::xml_document document;
    pugi::xml_node root = document.append_child("sheet");
    root.append_attribute("image") = data.image.c_str();
    if (!data.transparentColor.isEmpty())
        root.append_attribute("transparentColor") = colourText(data.transparentColor).c_str();
    pugi::xml_node animation = root.append_child("animation");
    animation.append_attribute("delay") = data.delay;
    animation.append_attribute("count") = data.count;
    for (const Rect& frame : data.frames) {
        pugi::xml_node element = animation.append_child("frame");
        element.append_attribute("x") = frame.x;
        element.append_attribute("y") = frame.y;
        element.append_attribute("width") = frame.w;
        element.append_attribute("height") = frame.h;
    }
    std::ostringstream out;
    document.save(out, "", pugi::format_raw);
    return out.str();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const AnimationData parsed = Animation::parse(std::string_view(reinterpret_cast<const char*>(data), size));
    // Room grows with the frames read, never with the count claimed.
    check(parsed.frames.capacity() <= std::max(kReservedFramesLimit, 2 * parsed.frames.size()));

    const AnimationData again = Animation::parse(describe(parsed));
    check(again == parsed);
    return 0;
}
