#include "Graphics/Text.h"

#include "Core/Core.h"
#include "Graphics/Renderer.h"
#include "Graphics/Surface.h"

#include <utility>

namespace {

// Labels changed after construction are always rendered anti-aliased.
constexpr int kBlendedMode = 1;
// The outline of a label marks the four direct neighbours of every glyph pixel, not the diagonals.
constexpr int kFourNeighbourOutline = 0;

Texture renderLabel(const Font& font, const std::string& text, Color color, int mode)
{
    const Surface surface(font, text, color, mode);
    return Texture(surface);
}

Texture renderOutlinedLabel(
    const Font& font, const std::string& text, Color color, Color outline, uint8_t alphaThreshold, int mode)
{
    Surface surface(font, text, color, mode);
    const Surface withOutline = surface.outlined(outline, alphaThreshold, kFourNeighbourOutline);
    return Texture(withOutline);
}

} // namespace

Text::Text(const Font& font, const std::string& text, Color color, Point position, int mode)
    : BaseDrawable(position, Size(), std::nullopt)
    , font_(font)
    , text_(text)
    , color_(color)
    , texture_(renderLabel(font, text, color, mode))
{
    rect().setSize(texture_.size());
}

Text::Text(const Font& font, const std::string& text, Color color, Color outline, uint8_t alphaThreshold,
    Point position, int mode)
    : BaseDrawable(position, Size(), std::nullopt)
    , font_(font)
    , text_(text)
    , color_(color)
    , texture_(renderOutlinedLabel(font, text, color, outline, alphaThreshold, mode))
{
    rect().setSize(texture_.size());
}

Text::Text(const Text& other)
    : BaseDrawable(other)
    , font_(other.font_)
    , text_(other.text_)
    , color_(other.color_)
    , texture_(other.texture_)
{
    rect().setSize(texture_.size());
}

Text& Text::operator=(const Text& other)
{
    if (this != &other) {
        BaseDrawable::operator=(other);
        font_ = other.font_;
        text_ = other.text_;
        color_ = other.color_;
        texture_ = other.texture_;
        rect().setSize(texture_.size());
    }
    return *this;
}

void Text::setText(const std::string& text, const std::optional<Color>& color, const std::optional<Font>& font)
{
    // The frame drawing sets its labels every frame: an unchanged string costs one comparison.
    if (text == text_)
        return;
    const Font newFont = font.value_or(font_);
    const Color newColor = color.value_or(color_);
    Texture newTexture = renderLabel(newFont, text, newColor, kBlendedMode);
    replace(newFont, text, newColor, std::move(newTexture));
}

void Text::setText(const std::string& text, Color outline, uint8_t alphaThreshold, const std::optional<Color>& color,
    const std::optional<Font>& font)
{
    if (text == text_)
        return;
    const Font newFont = font.value_or(font_);
    const Color newColor = color.value_or(color_);
    Texture newTexture = renderOutlinedLabel(newFont, text, newColor, outline, alphaThreshold, kBlendedMode);
    replace(newFont, text, newColor, std::move(newTexture));
}

void Text::draw() { Core::instance().renderer().copy(texture_, rect(), clip()); }

void Text::replace(const Font& font, const std::string& text, Color color, Texture texture)
{
    font_ = font;
    text_ = text;
    color_ = color;
    texture_ = std::move(texture);
    clip().reset();
    rect().setSize(texture_.size());
}
