// The INI library's code, compiled once for the launcher's one INI class.
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include "IniFile.h"

// The library's header holds its code only where SI_IMPLEMENTATION is defined, so every other
// file links against this one instantiation.
template class CSimpleIniTempl<wchar_t, SI_NoCase<wchar_t>, SI_ConvertW<wchar_t>>;
