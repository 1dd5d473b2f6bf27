// Inputs that the fuzz targets of fuzz/ turned up, kept as plain tests so that every build runs them.

#include "System/TextConversion.h"

#include <gtest/gtest.h>

#include <string>

// fuzz_utf, input 0A CB 37: 0xCB announces a two-byte character and takes "7" as its second byte without
// looking at its mark, so the text counts two code points; stepping back from the end, "7" is no
// continuation byte and goes alone. Dropping both code points therefore leaves the line feed: in bounds
// and a prefix of the text, not the empty text that a well-formed text of two code points would give.
TEST(FuzzRegressions, DroppingFromACutShortSequenceStaysInsideTheText)
{
    const std::string text = "\n\xCB\x37";
    EXPECT_EQ(utf8Length(text), 2u);
    std::string shortened = text;
    utf8DropLast(shortened, 2);
    EXPECT_EQ(shortened, "\n");
    utf8DropLast(shortened, 1);
    EXPECT_EQ(shortened, "");
}

// The same holds for every malformed piece: whatever n, the result is a prefix of the text, and as many
// steps as the text has bytes always empty it.
TEST(FuzzRegressions, DroppingFromMalformedTextAlwaysLeavesAPrefix)
{
    const std::string pieces[] = {"\xF0\x9F\x8E", "\xE0\x61\x62", "\x80\x80\x78", "\xFF\xFE\xC3", "a\xED\xA0\x80\xF8"};
    for (const std::string& text : pieces) {
        for (size_t n = 0; n <= text.size() + 1; ++n) {
            std::string shortened = text;
            utf8DropLast(shortened, n);
            EXPECT_EQ(text.compare(0, shortened.size(), shortened), 0) << n;
            if (n >= text.size()) {
                EXPECT_EQ(shortened, "") << n;
            }
        }
    }
}
