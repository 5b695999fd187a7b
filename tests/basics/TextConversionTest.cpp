// UTF-16 <-> UTF-8: surrogate pairs as one sequence, and strict rejection of bad UTF-8.
#include "TextConversion.h"

#include "RowName.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
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

// The platform's own converters are the reference for the sweep: strict UTF-8, the ANSI code
// page for narrow text that is no UTF-8, and UTF-8 from wide text.
bool PlatformUtf8ToWide(const std::string& utf8, std::wstring& wide)
{
    wchar_t units[8];
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()),
                                           units, 8);
    wide.assign(units, static_cast<std::wstring::size_type>(length > 0 ? length : 0));
    return length > 0;
}

std::wstring PlatformAnsiToWide(const std::string& narrow)
{
    wchar_t units[8];
    const int length = MultiByteToWideChar(CP_ACP, 0, narrow.data(), static_cast<int>(narrow.size()), units, 8);
    return std::wstring(units, static_cast<std::wstring::size_type>(length > 0 ? length : 0));
}

std::string PlatformWideToUtf8(const std::wstring& wide)
{
    char bytes[16];
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), bytes,
                                           sizeof bytes, nullptr, nullptr);
    return std::string(bytes, static_cast<std::string::size_type>(length > 0 ? length : 0));
}

// The three bytes of a lone surrogate encoded by itself: ED, then its upper and lower six bits.
std::string LoneSurrogateBytes(unsigned int unit)
{
    return {'\xED', static_cast<char>(0x80 | ((unit >> 6) & 0x3F)), static_cast<char>(0x80 | (unit & 0x3F))};
}

template <typename Text>
std::string Hex(const Text& text)
{
    std::string hex;
    for (auto unit : text)
    {
        const unsigned int value =
            sizeof unit == 1 ? static_cast<unsigned char>(unit) : static_cast<unsigned int>(unit) & 0xFFFF;
        char digits[8];
        std::snprintf(digits, sizeof digits, " %02X", value);
        hex += digits;
    }
    return hex;
}

// Counts the disagreements of a sweep; only the first few are described, for the failure message.
struct Disagreements
{
    bool CountAndDescribe()
    {
        return ++count <= 5;
    }

    void Describe(const std::string& what)
    {
        examples += what + "\n";
    }

    int count = 0;
    std::string examples;
};

// Utf8ToWide succeeds where the strict converter does, with its units; NarrowToWide gives the
// same, or the ANSI code page's units where the text is no UTF-8.
void CompareNarrow(const std::string& narrow, Disagreements& disagreements)
{
    std::wstring expected;
    const bool valid = PlatformUtf8ToWide(narrow, expected);
    std::wstring wide;
    const bool converted = TARNWICK::Utf8ToWide(narrow, wide);
    if ((converted != valid || (valid && wide != expected)) && disagreements.CountAndDescribe())
        disagreements.Describe("Utf8ToWide of" + Hex(narrow) + (converted ? " gave" + Hex(wide) : " failed") +
                               (valid ? ", platform gives" + Hex(expected) : ", platform fails"));
    if (!valid)
        expected = PlatformAnsiToWide(narrow);
    const std::wstring fromNarrow = TARNWICK::NarrowToWide(narrow);
    if (fromNarrow != expected && disagreements.CountAndDescribe())
        disagreements.Describe("NarrowToWide of" + Hex(narrow) + " gave" + Hex(fromNarrow) + ", expected" + Hex(expected));
}

void CompareWide(const std::wstring& wide, const std::string& expected, Disagreements& disagreements)
{
    const std::string utf8 = TARNWICK::WideToUtf8(wide);
    if (utf8 != expected && disagreements.CountAndDescribe())
        disagreements.Describe("WideToUtf8 of" + Hex(wide) + " gave" + Hex(utf8) + ", expected" + Hex(expected));
}

// The bytes at every edge: of ASCII, of the continuation bytes and of the class each byte opens
// as a lead, and of the second bytes that make a three- or four-byte form overlong, a surrogate
// or too large.
const unsigned char EdgeBytes[] = {0x00, 0x41, 0x7F, 0x80, 0x81, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0,
                                   0xC1, 0xC2, 0xDF, 0xE0, 0xED, 0xEF, 0xF0, 0xF4, 0xF5, 0xFF};

TEST(TextConversionSweepTest, AgreesWithThePlatformAndKeepsLoneSurrogates)
{
    // Every sequence of one, two and three bytes; of four, every lead byte before edge bytes.
    Disagreements narrow;
    for (unsigned int first = 0; first < 0x100; ++first)
    {
        std::string text(1, static_cast<char>(first));
        CompareNarrow(text, narrow);
        text.resize(2);
        for (unsigned int second = 0; second < 0x100; ++second)
        {
            text[1] = static_cast<char>(second);
            CompareNarrow(text, narrow);
        }
        text.resize(3);
        for (unsigned int second = 0; second < 0x100; ++second)
        {
            text[1] = static_cast<char>(second);
            for (unsigned int third = 0; third < 0x100; ++third)
            {
                text[2] = static_cast<char>(third);
                CompareNarrow(text, narrow);
            }
        }
        text.resize(4);
        for (unsigned char second : EdgeBytes)
            for (unsigned char third : EdgeBytes)
                for (unsigned char fourth : EdgeBytes)
                {
                    text[1] = static_cast<char>(second);
                    text[2] = static_cast<char>(third);
                    text[3] = static_cast<char>(fourth);
                    CompareNarrow(text, narrow);
                }
    }
    EXPECT_EQ(narrow.count, 0) << narrow.examples;

    // Every unit of the basic plane that is no surrogate, and every surrogate pair.
    Disagreements wide;
    for (unsigned int unit = 0; unit < 0x10000; ++unit)
    {
        const std::wstring text = Units({unit});
        if (unit < 0xD800 || unit > 0xDFFF)
            CompareWide(text, PlatformWideToUtf8(text), wide);
    }
    for (unsigned int high = 0xD800; high <= 0xDBFF; ++high)
        for (unsigned int low = 0xDC00; low <= 0xDFFF; ++low)
        {
            const std::wstring pair = Units({high, low});
            CompareWide(pair, PlatformWideToUtf8(pair), wide);
        }
    EXPECT_EQ(wide.count, 0) << wide.examples;

    // The platform puts U+FFFD in a lone surrogate's place; the launcher keeps it.
    Disagreements lone;
    for (unsigned int first = 0xD800; first <= 0xDFFF; ++first)
    {
        CompareWide(Units({first}), LoneSurrogateBytes(first), lone);
        // Before and after the units next to the surrogates and at the ends of the plane.
        for (unsigned int neighbour : {0x00u, 0x41u, 0xD7FFu, 0xE000u, 0xFFFFu})
        {
            const std::string neighbourBytes = PlatformWideToUtf8(Units({neighbour}));
            CompareWide(Units({first, neighbour}), LoneSurrogateBytes(first) + neighbourBytes, lone);
            CompareWide(Units({neighbour, first}), neighbourBytes + LoneSurrogateBytes(first), lone);
        }
        // Beside another lone surrogate: high then high, low then low, low then high.
        const unsigned int last = first <= 0xDBFF ? 0xDBFF : 0xDFFF;
        for (unsigned int second = 0xD800; second <= last; ++second)
            CompareWide(Units({first, second}), LoneSurrogateBytes(first) + LoneSurrogateBytes(second), lone);
    }
    EXPECT_EQ(lone.count, 0) << lone.examples;
}

} // namespace
