#include <gtest/gtest.h>

#include "link/AnsiText.h"

namespace {

struct AnsiCase {
    const char* utf8;
    const char* ansi;
};

class AnsiText : public testing::TestWithParam<AnsiCase> {};

TEST_P(AnsiText, ConvertsToWindows1252AndBack)
{
    const AnsiCase c = GetParam();
    EXPECT_EQ(dz::toAnsi(c.utf8), c.ansi);
    EXPECT_EQ(dz::fromAnsi(c.ansi), c.utf8);
}

INSTANTIATE_TEST_SUITE_P(Texts, AnsiText,
                         testing::Values(AnsiCase{"Kanal 7", "Kanal 7"}, AnsiCase{"Würzburg", "W\xFCrzburg"},
                                         AnsiCase{"Speicherplätze", "Speicherpl\xE4tze"}, AnsiCase{"20 €", "20 \x80"},
                                         AnsiCase{"„Ö“", "\x84\xD6\x93"}, AnsiCase{"", ""}));

TEST(AnsiTextReplacement, CharactersTheCodePageCannotHoldBecomeQuestionMarks)
{
    EXPECT_EQ(dz::toAnsi("Ω-Band ✓"), "?-Band ?");
    EXPECT_EQ(dz::toAnsi("a\xFF"
                         "b"),
              "a?b");                        // not UTF-8 at all
    EXPECT_EQ(dz::toAnsi("ab\xC3"), "ab?");  // cut in the middle of a character
}

// Windows maps the five bytes Windows-1252 leaves undefined to the C1 controls of the same value.
TEST(AnsiTextReplacement, EveryByteComesBackUnchanged)
{
    EXPECT_EQ(dz::fromAnsi("x\x81y\x8D\x8F\x90\x9D"), "x\u0081y\u008D\u008F\u0090\u009D");
    std::string all;
    for (int b = 1; b < 256; ++b) {
        all += static_cast<char>(b);
    }
    EXPECT_EQ(dz::toAnsi(dz::fromAnsi(all)), all);
    // Other C1 controls are not in the code page: 0x80 is the euro sign there.
    EXPECT_EQ(dz::toAnsi("\u0080"), "?");
}

}  // namespace
