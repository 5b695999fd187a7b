// Points this program's import of one platform function at a test's own while it lives, so a
// test can record the arguments of calls whose effect no run under Wine shows. The launcher's
// library is linked into the test program, so its calls go through the same import table.
#pragma once

#include <windows.h>

#include <sstream>
#include <string>
#include <vector>

class ImportSwap
{
public:
    // The function as the DLL exports it, undecorated (also on 32-bit, where the import library
    // names it __imp__Name@N).
    ImportSwap(const char* dll, const char* function, void* replacement);
    ~ImportSwap();
    ImportSwap(const ImportSwap&) = delete;
    ImportSwap& operator=(const ImportSwap&) = delete;

    bool Swapped() const { return !slots.empty(); }

private:
    struct Slot
    {
        decltype(IMAGE_THUNK_DATA::u1.Function)* address;
        decltype(IMAGE_THUNK_DATA::u1.Function) original;
    };

    static void Write(decltype(Slot::address) address, decltype(Slot::original) value);

    std::vector<Slot> slots;
};

// The platform's own function, for a replacement that records a call and passes it on.
template <typename Function> Function PlatformFunction(const wchar_t* dll, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(dll), name)));
}

// One recorded call as a line: the function's name, then its arguments, numbers in hexadecimal.
template <typename... Arguments> std::wstring Call(const wchar_t* function, const Arguments&... arguments)
{
    std::wostringstream line;
    line << function << std::hex << std::showbase;
    ((line << L' ' << arguments), ...);
    return line.str();
}
