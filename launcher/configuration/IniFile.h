// The launcher's one INI class: wide text, section and key names compared without regard to case.
#pragma once

// Declared rather than included: <SimpleIni.h> brings <windows.h> along, which the users of
// the configuration headers do not need.
template<class SI_CHAR> struct SI_NoCase;
template<class SI_CHAR> class SI_ConvertW;
template<class SI_CHAR, class SI_STRLESS, class SI_CONVERTER> class CSimpleIniTempl;

namespace TARNWICK::CONFIGURATION
{

// Made with its three options off (UTF-8 storage, several values per key, multi-line values).
// Its code is compiled once, in SimpleIniImplementation.cpp.
using IniFile = CSimpleIniTempl<wchar_t, SI_NoCase<wchar_t>, SI_ConvertW<wchar_t>>;

} // namespace TARNWICK::CONFIGURATION
