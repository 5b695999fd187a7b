// Swaps entries of this program's import table for the length of a test.
#include "ImportSwap.h"

#include <cstring>

ImportSwap::ImportSwap(const char* dll, const char* function, void* replacement)
{
    auto* const base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const auto* const dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* const nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    // The linker may give one DLL several descriptors: every matching entry is swapped.
    for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         imports.VirtualAddress != 0 && entry->Name != 0; ++entry)
    {
        if (_stricmp(reinterpret_cast<const char*>(base + entry->Name), dll) != 0)
            continue;
        const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
        auto* addresses = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++addresses)
        {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0)
                slots.push_back({&addresses->u1.Function, addresses->u1.Function});
        }
    }
    for (const Slot& slot : slots)
        Write(slot.address, reinterpret_cast<decltype(slot.original)>(replacement));
}

ImportSwap::~ImportSwap()
{
    for (const Slot& slot : slots)
        Write(slot.address, slot.original);
}

void ImportSwap::Write(decltype(Slot::address) address, decltype(Slot::original) value)
{
    DWORD protection = 0;
    VirtualProtect(address, sizeof value, PAGE_READWRITE, &protection);
    *address = value;
    VirtualProtect(address, sizeof value, protection, &protection);
}
