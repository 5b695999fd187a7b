// Conversions between wide (UTF-16) text and narrow text, free of the platform headers.
#pragma once

#include <string>

namespace TARNWICK
{

// A surrogate pair becomes its one 4-byte sequence; every other 16-bit unit, a lone surrogate
// included, is encoded by itself in 1 to 3 bytes. Never fails.
std::string WideToUtf8(const std::wstring& text);

// Strict: false on text that is not valid UTF-8 (then `wide` is unspecified). Characters beyond
// U+FFFF become surrogate pairs.
bool Utf8ToWide(const std::string& text, std::wstring& wide);

// Narrow text as the launcher meets it, to wide text: as UTF-8 when it is valid UTF-8,
// otherwise from the ANSI code page that the platform's command line is written in. Throws
// when neither can convert it.
std::wstring NarrowToWide(const std::string& text);

} // namespace TARNWICK
