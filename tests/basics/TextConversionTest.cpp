// UTF-16 <-> UTF-8: surrogate pairs as one sequence, and strict rejection of bad UTF-8.
#include "TextConversion.h"

#include "RowName.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace
{

std::wstring Units(std::initializer_list<unsigned int> units)
{
    std::wstring text;
    for (unsigned int unit : units)
        text += static_cast<wchar_t>(unit);
    return text;
}

struct ConversionCase
{
    const char* name;
    std::wstring wide;
    std::string utf8;
};

const ConversionCase ValidPairs[] = {
    {"Empty", L"", ""},
    {"Ascii", L"Az~", "Az~"},
    {"EmbeddedNul", std::wstring(L"a\0b", 3), std::string("a\0b", 3)},
    {"TwoBytes", Units({0xE9, 0x7FF}), "\xC3\xA9\xDF\xBF"},
    {"ThreeBytes", Units({0x800, 0x4E2D, 0xFFFF}), "\xE0\xA0\x80\xE4\xB8\xAD\xEF\xBF\xBF"},
    {"ByteOrderMarkIsACharacter", Units({0xFEFF}), "\xEF\xBB\xBF"},
    {"SurrogatePair_FourBytes", Units({0xD83D, 0xDE00}), "\xF0\x9F\x98\x80"},
    {"HighestCodePoint_FourBytes", Units({0xDBFF, 0xDFFF}), "\xF4\x8F\xBF\xBF"},
};

using ValidConversionTest = testing::TestWithParam<ConversionCase>;

TEST_P(ValidConversionTest, ConvertsBothWays)
{
    const ConversionCase& row = GetParam();
    EXPECT_EQ(TARNWICK::WideToUtf8(row.wide), row.utf8);
    std::wstring wide = L"stale";
    EXPECT_TRUE(TARNWICK::Utf8ToWide(row.utf8, wide));
    EXPECT_EQ(wide, row.wide);
}

INSTANTIATE_TEST_SUITE_P(Table, ValidConversionTest, testing::ValuesIn(ValidPairs), RowName());

const ConversionCase LoneSurrogates[] = {
    {"HighAlone", Units({0xD83D}), "\xED\xA0\xBD"},
    {"LowAlone", Units({0xDE00}), "\xED\xB8\x80"},
    {"HighBeforeAscii", Units({0xD83D, 'A'}), "\xED\xA0\xBD" "A"},
    {"LowBeforeHigh_EachOnItsOwn", Units({0xDE00, 0xD83D}), "\xED\xB8\x80\xED\xA0\xBD"},
    {"HighBeforeHighPair", Units({0xD83D, 0xD83D, 0xDE00}), "\xED\xA0\xBD\xF0\x9F\x98\x80"},
};

using LoneSurrogateTest = testing::TestWithParam<ConversionCase>;

TEST_P(LoneSurrogateTest, EncodedByItselfInThreeBytes)
{
    EXPECT_EQ(TARNWICK::WideToUtf8(GetParam().wide), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(Table, LoneSurrogateTest, testing::ValuesIn(LoneSurrogates), RowName());

struct InvalidCase
{
    const char* name;
    std::string utf8;
};

const InvalidCase InvalidUtf8[] = {
    {"OverlongTwoBytesC0", "\xC0\x80"},
    {"OverlongTwoBytesC1", "\xC1\xBF"},
    {"OverlongThreeBytes", "\xE0\x9F\xBF"},
    {"OverlongFourBytes", "\xF0\x8F\xBF\xBF"},
    {"EncodedHighSurrogate", "\xED\xA0\x80"},
    {"EncodedLowSurrogate", "\xED\xBF\xBF"},
    {"AboveLastCodePoint", "\xF4\x90\x80\x80"},
    {"LeadByteF5", "\xF5\x80\x80\x80"},
    {"LeadByteFF", "\xFF"},
    {"StrayContinuation", "\x80"},
    {"StrayContinuationAfterCharacter", "\xC3\xA9\xA9"},
    {"TruncatedTwoBytes", "ab\xC3"},
    {"TruncatedThreeBytes", "\xE4\xB8"},
    {"TruncatedFourBytes", "\xF0\x9F\x98"},
    {"ContinuationReplacedByAscii", "\xE4\xB8" "A"},
};

using InvalidUtf8Test = testing::TestWithParam<InvalidCase>;

TEST_P(InvalidUtf8Test, Rejected)
{
    std::wstring wide;
    EXPECT_FALSE(TARNWICK::Utf8ToWide(GetParam().utf8, wide));
}

INSTANTIATE_TEST_SUITE_P(Table, InvalidUtf8Test, testing::ValuesIn(InvalidUtf8), RowName());

} // namespace
