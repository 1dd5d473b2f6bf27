#pragma once

#include "Graphics/BaseDrawable.h"
#include "Graphics/Color.h"
#include "Graphics/Font.h"
#include "Graphics/Texture.h"

#include <optional>
#include <string>

// A label rendered from a font and a UTF-8 string. Its rectangle always has the rendered texture's
// size and keeps its top-left corner. It is rendered again only when its string changes, and then
// always blended (mode 1). A string that ends inside a UTF-8 character renders without failing.
class Text : public BaseDrawable {
public:
    // mode 1: blended (anti-aliased), any other value: solid.
    Text(const Font& font, const std::string& text, Color color, Point position, int mode);
    // With a four-neighbour outline around the glyphs (2 pixels wider and higher).
    Text(const Font& font, const std::string& text, Color color, Color outline, uint8_t alphaThreshold, Point position,
        int mode);
    Text(const Text& other);
    Text& operator=(const Text& other);

    // Re-renders only if the string differs; a colour or font given with the same string is ignored.
    void setText(const std::string& text, const std::optional<Color>& color = std::nullopt,
        const std::optional<Font>& font = std::nullopt);
    void setText(const std::string& text, Color outline, uint8_t alphaThreshold,
        const std::optional<Color>& color = std::nullopt, const std::optional<Font>& font = std::nullopt);
    const std::string& text() const { return text_; }
    Color color() const { return color_; }
    Texture& texture() { return texture_; }

    void draw() override;

private:
    // Takes the parts of a freshly rendered label; the top-left corner stays, the clip goes.
    void replace(const Font& font, const std::string& text, Color color, Texture texture);

    Font font_;
    std::string text_;
    Color color_;
    Texture texture_;
};
