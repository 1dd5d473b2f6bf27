#include "Graphics/Animation.h"

#include "Core/Core.h"
#include "Graphics/Renderer.h"
#include "Graphics/Surface.h"
#include "Utils/File.h"

#include <pugixml.hpp>

#include <algorithm>
#include <utility>

namespace {

// Room reserved up front at most; a file may claim any count, the frames actually read all count.
constexpr uint32_t kMaxReservedFrames = 4096;
constexpr uint64_t kNanosecondsPerMs = 1'000'000;
constexpr int kLoopForever = 1;

pugi::xml_node firstElement(const pugi::xml_node& parent)
{
    for (const pugi::xml_node& child : parent.children()) {
        if (child.type() == pugi::node_element)
            return child;
    }
    return {};
}

} // namespace

Animation::Animation(const std::string& path, int looping, bool skipImage)
    : looping_(looping)
{
    AnimationData data = parse(File(path, File::Read).readAll());
    checkLoaded(path, data);

    if (!skipImage) {
        const Surface sheet(data.image, data.transparentColor);
        texture_ = Texture(sheet);
    }
    frameTimer_.setDuration(static_cast<int64_t>(uint64_t{data.delay} * kNanosecondsPerMs));
    frames_ = std::move(data.frames);
    rect().setSize(frames_.front().size());
}

void Animation::checkLoaded(const std::string& path, const AnimationData& data)
{
    const std::string failed = "Animation " + path + " failed load! ";
    if (!data.parseError.empty())
        fatalError(
            failed + "Broken XML: " + data.parseError + " at byte " + std::to_string(data.parseErrorOffset) + ".");
    // Without a frame there is nothing to size, step or draw.
    if (data.frames.empty())
        fatalError(failed + "It describes no frame.");
    for (size_t i = 0; i < data.frames.size(); ++i) {
        const Rect& frame = data.frames[i];
        if (frame.w <= 0 || frame.h <= 0)
            fatalError(failed + "Frame " + std::to_string(i + 1) + " is " + std::to_string(frame.w) + " x "
                + std::to_string(frame.h) + " pixels; a frame needs a width and a height above 0.");
    }
}

AnimationData Animation::parse(std::string_view xml)
{
    // The nodes built before an error are kept, and the error is reported with them.
    const std::string text(xml);
    pugi::xml_document document;
    const pugi::xml_parse_result result = document.load_string(text.c_str());

    AnimationData data;
    if (!result) {
        data.parseError = result.description();
        data.parseErrorOffset = result.offset;
    }
    const pugi::xml_node root = firstElement(document);
    data.image = root.attribute("image").as_string();
    data.transparentColor = Color(std::string(root.attribute("transparentColor").as_string()));

    const pugi::xml_node animation = root.child("animation");
    data.delay = animation.attribute("delay").as_uint();
    data.count = animation.attribute("count").as_uint();
    data.frames.reserve(std::min(data.count, kMaxReservedFrames));
    // Every child is a frame; text or CDATA among them gives an empty one.
    for (const pugi::xml_node& child : animation.children())
        data.frames.push_back(child.type() == pugi::node_element ? Rect::fromXml(child) : Rect());
    return data;
}

void Animation::update()
{
    if (!frameTimer_.tick())
        return;
    const auto last = static_cast<uint32_t>(frames_.size() - 1);
    if (current_ < last)
        ++current_;
    else
        current_ = looping_ == kLoopForever ? 0 : last;
}

void Animation::draw() { Core::instance().renderer().copy(texture_, destination(), frames_[current_]); }

void Animation::drawEx(double angle, SDL_RendererFlip flip, const std::optional<Point>& center)
{
    Core::instance().renderer().copyEx(texture_, destination(), frames_[current_], angle, flip, center);
}

void Animation::drawFlipped(SDL_RendererFlip flip) { drawEx(0.0, flip); }

void Animation::reset()
{
    current_ = 0;
    frameTimer_.reset();
}

// Each frame is drawn at its own size at the animation's position.
Rect Animation::destination() const { return Rect(rect().position(), frames_[current_].size()); }
