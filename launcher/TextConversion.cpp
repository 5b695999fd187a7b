// UTF-16 <-> UTF-8 by hand (the standard converter splits surrogate pairs and throws on bad
// input), and the ANSI code page for narrow text that is not UTF-8.
#include "TextConversion.h"

#include <windows.h>

#include <climits>
#include <stdexcept>

namespace TARNWICK
{

namespace
{

bool IsHighSurrogate(unsigned int unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(unsigned int unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void AppendUtf8(std::string& text, unsigned long codePoint)
{
    if (codePoint < 0x80)
    {
        text += static_cast<char>(codePoint);
    }
    else if (codePoint < 0x800)
    {
        text += static_cast<char>(0xC0 | (codePoint >> 6));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
    else if (codePoint < 0x10000)
    {
        text += static_cast<char>(0xE0 | (codePoint >> 12));
        text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
    else
    {
        text += static_cast<char>(0xF0 | (codePoint >> 18));
        text += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

} // namespace

std::string WideToUtf8(const std::wstring& text)
{
    std::string utf8;
    utf8.reserve(text.size());
    for (std::wstring::size_type index = 0; index < text.size(); ++index)
    {
        // wchar_t is 16 bits here; the mask keeps the arithmetic right wherever it is not.
        const unsigned int unit = static_cast<unsigned int>(text[index]) & 0xFFFF;
        if (IsHighSurrogate(unit) && index + 1 < text.size())
        {
            const unsigned int next = static_cast<unsigned int>(text[index + 1]) & 0xFFFF;
            if (IsLowSurrogate(next))
            {
                AppendUtf8(utf8, 0x10000 + ((static_cast<unsigned long>(unit) - 0xD800) << 10) + (next - 0xDC00));
                ++index;
                continue;
            }
        }
        // A lone surrogate cannot be helped: it keeps its own three bytes so nothing is lost.
        AppendUtf8(utf8, unit);
    }
    return utf8;
}

bool Utf8ToWide(const std::string& text, std::wstring& wide)
{
    wide.clear();
    wide.reserve(text.size());
    std::string::size_type index = 0;
    while (index < text.size())
    {
        const unsigned char lead = static_cast<unsigned char>(text[index]);
        unsigned long codePoint = 0;
        std::string::size_type length = 0;
        unsigned long smallest = 0;
        if (lead < 0x80)
        {
            codePoint = lead;
            length = 1;
        }
        else if (lead >= 0xC2 && lead <= 0xDF)
        {
            codePoint = lead & 0x1F;
            length = 2;
            smallest = 0x80;
        }
        else if (lead >= 0xE0 && lead <= 0xEF)
        {
            codePoint = lead & 0x0F;
            length = 3;
            smallest = 0x800;
        }
        else if (lead >= 0xF0 && lead <= 0xF4)
        {
            codePoint = lead & 0x07;
            length = 4;
            smallest = 0x10000;
        }
        else
        {
            // A stray continuation byte, or a lead byte that can only start an overlong form
            // (C0, C1) or a code point beyond U+10FFFF (F5 and above).
            return false;
        }

        if (text.size() - index < length)
            return false;
        for (std::string::size_type offset = 1; offset < length; ++offset)
        {
            const unsigned char byte = static_cast<unsigned char>(text[index + offset]);
            if ((byte & 0xC0) != 0x80)
                return false;
            codePoint = (codePoint << 6) | (byte & 0x3F);
        }
        if (codePoint < smallest || codePoint > 0x10FFFF ||
            (codePoint >= 0xD800 && codePoint <= 0xDFFF))
            return false;

        if (codePoint >= 0x10000)
        {
            codePoint -= 0x10000;
            wide += static_cast<wchar_t>(0xD800 + (codePoint >> 10));
            wide += static_cast<wchar_t>(0xDC00 + (codePoint & 0x3FF));
        }
        else
        {
            wide += static_cast<wchar_t>(codePoint);
        }
        index += length;
    }
    return true;
}

std::wstring NarrowToWide(const std::string& text)
{
    std::wstring wide;
    if (Utf8ToWide(text, wide))
    {
        return wide;
    }
    // Not UTF-8, so it is the ANSI text that the platform handed over: an accented letter of
    // the player's own code page must not cost the game start.
    if (text.size() > static_cast<std::string::size_type>(INT_MAX))
    {
        throw std::length_error("Text too long to convert.");
    }
    const int narrowLength = static_cast<int>(text.size());
    const int wideLength = MultiByteToWideChar(CP_ACP, 0, text.data(), narrowLength, nullptr, 0);
    if (wideLength <= 0)
    {
        throw std::runtime_error("Cannot convert text from the ANSI code page.");
    }
    wide.assign(static_cast<std::wstring::size_type>(wideLength), L'\0');
    if (MultiByteToWideChar(CP_ACP, 0, text.data(), narrowLength, &wide[0], wideLength) != wideLength)
    {
        throw std::runtime_error("Cannot convert text from the ANSI code page.");
    }
    return wide;
}

} // namespace TARNWICK
