// Text labels: rendering, re-rendering only when the string changes (always blended then), keeping
// the top-left corner, outlines, and strings cut inside a UTF-8 letter.

#include "Core/Core.h"
#include "Graphics/Renderer.h"
#include "Graphics/Text.h"
#include "support/Headless.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

const Color kWhite(255, 255, 255, 255);
const Color kBlack(0, 0, 0, 255);
const Color kRed(255, 0, 0, 255);

std::string fontPath()
{
    const std::string game = "data/ttf/tahomabd.ttf";
    return std::filesystem::exists(game) ? game : "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
}

class TextTest : public ::testing::Test {
protected:
    void SetUp() override { renderer().setTarget(Core::instance().renderTarget().handle()); }

    static Renderer& renderer() { return Core::instance().renderer(); }

    // Draws the label alone on black and reads back its rectangle.
    static Image drawnAlone(Text& label)
    {
        renderer().clear(kBlack);
        label.draw();
        return renderer().readPixels(label.rect());
    }

    // Pixels of the label's picture that are neither background nor full colour: anti-aliased edges.
    static int partialPixels(const Image& image)
    {
        int partial = 0;
        for (int y = 0; y < image.size.h; ++y)
            for (int x = 0; x < image.size.w; ++x)
                if (const uint8_t g = image.pixel(x, y).g; g > 0 && g < 255)
                    ++partial;
        return partial;
    }

    static int pixelsOf(const Image& image, Color color)
    {
        int count = 0;
        for (int y = 0; y < image.size.h; ++y)
            for (int x = 0; x < image.size.w; ++x)
                if (image.pixel(x, y) == color)
                    ++count;
        return count;
    }

    // The font needs the font library, which the core starts.
    static Font labelFont()
    {
        startHeadlessCore();
        return Font(fontPath(), 22);
    }

    Font font = labelFont();
};

} // namespace

TEST_F(TextTest, LabelTakesItsTextureSizeAtItsPosition)
{
    Text label(font, "Health", kWhite, {95, 170}, 1);
    EXPECT_EQ(label.rect().position(), Point(95, 170));
    EXPECT_EQ(label.rect().size(), label.texture().size());
    EXPECT_GT(label.rect().w, 40);
    EXPECT_EQ(label.text(), "Health");
    EXPECT_FALSE(label.clip().has_value());
    EXPECT_GT(pixelsOf(drawnAlone(label), kWhite), 10);
}

TEST_F(TextTest, EmptyTextIsOneBlankWideAndStaysEmpty)
{
    Text empty(font, "", kWhite, {0, 0}, 1);
    Text blank(font, " ", kWhite, {0, 0}, 1);
    EXPECT_EQ(empty.text(), "");
    EXPECT_GT(empty.rect().w, 0);
    EXPECT_EQ(empty.rect().size(), blank.rect().size());
}

TEST_F(TextTest, TheSameStringWithANewColourRendersNothing)
{
    Text label(font, "Boss", kWhite, {10, 20}, 1);
    SDL_Texture* before = label.texture().handle();
    label.setText("Boss", kRed);
    EXPECT_EQ(label.texture().handle(), before);
    EXPECT_EQ(label.color(), kWhite);
}

TEST_F(TextTest, ANewStringKeepsTheCornerTakesTheNewSizeAndTheOldColour)
{
    Text label(font, "i", kRed, {30, 40}, 1);
    const Size small = label.rect().size();
    SDL_Texture* before = label.texture().handle();
    label.setText("A much longer label");
    EXPECT_NE(label.texture().handle(), before);
    EXPECT_EQ(label.rect().position(), Point(30, 40));
    EXPECT_EQ(label.rect().size(), label.texture().size());
    EXPECT_GT(label.rect().w, small.w);
    EXPECT_EQ(label.text(), "A much longer label");
    EXPECT_EQ(label.color(), kRed);
    EXPECT_GT(pixelsOf(drawnAlone(label), kRed), 20);

    label.setText("i", kWhite);
    EXPECT_EQ(label.rect().size(), small);
    EXPECT_EQ(label.color(), kWhite);
}

TEST_F(TextTest, ANewFontGivenWithANewStringIsTaken)
{
    Text label(font, "Score", kWhite, {0, 0}, 1);
    const Font large(fontPath(), 44);
    label.setText("Score!", std::nullopt, large);
    EXPECT_GT(label.rect().h, Text(font, "Score!", kWhite, {0, 0}, 1).rect().h);
}

TEST_F(TextTest, ASolidLabelIsBlendedOnceChanged)
{
    Text label(font, "Game over", kWhite, {0, 0}, 0);
    EXPECT_EQ(partialPixels(drawnAlone(label)), 0); // solid: every pixel is text or background
    label.setText("Game over!");
    EXPECT_GT(partialPixels(drawnAlone(label)), 10); // blended: anti-aliased edges
}

TEST_F(TextTest, OutlinedLabelsAreTwoPixelsLargerAndShowTheOutline)
{
    const Text plain(font, "Win", kWhite, {0, 0}, 1);
    Text outlined(font, "Win", kWhite, kRed, 0, {5, 5}, 1);
    EXPECT_EQ(outlined.rect().size(), Size(plain.rect().w + 2, plain.rect().h + 2));
    EXPECT_EQ(outlined.rect().position(), Point(5, 5));
    EXPECT_GT(pixelsOf(drawnAlone(outlined), kRed), 10);

    outlined.setText("Won", kRed, 0);
    EXPECT_EQ(outlined.rect().size(), Size(Text(font, "Won", kWhite, {0, 0}, 1).rect().w + 2, plain.rect().h + 2));
    EXPECT_EQ(outlined.text(), "Won");
}

TEST_F(TextTest, CopiesShareTheTextureAndKeepTheirSize)
{
    const Text label(font, "Copy", kWhite, {7, 8}, 1);
    Text copy(label);
    EXPECT_EQ(copy.texture().handle(), const_cast<Text&>(label).texture().handle());
    EXPECT_EQ(copy.rect(), label.rect());
    Text assigned(font, "x", kRed, {0, 0}, 1);
    assigned = label;
    EXPECT_EQ(assigned.rect(), label.rect());
    EXPECT_EQ(assigned.text(), "Copy");
    EXPECT_EQ(assigned.color(), kWhite);
}

TEST_F(TextTest, ACyrillicPrefixCutInsideALetterRendersAndIsKeptAsGiven)
{
    const std::string word = "Поздравляю";
    Text label(font, "", kWhite, {95, 170}, 1);
    // Revealed byte by byte, as the victory message is: every other prefix ends inside a letter.
    for (size_t bytes = 1; bytes <= word.size(); ++bytes) {
        label.setText(word.substr(0, bytes));
        EXPECT_EQ(label.text(), word.substr(0, bytes));
        EXPECT_GT(label.rect().w, 0);
        EXPECT_EQ(label.rect().position(), Point(95, 170));
    }
    const Text cut(font, word.substr(0, 5), kWhite, {0, 0}, 0);
    EXPECT_GT(cut.rect().w, 0);
}
