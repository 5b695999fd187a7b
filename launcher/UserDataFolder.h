// The per-user folder below the local application-data folder: its lookup and its creation.
#pragma once

#include <string>

namespace TARNWICK
{

// The lookup's failure value; compare results with it by value.
extern const std::wstring EmptyPath;

// The local application-data folder followed by "\Corvash\Vantorel\", or EmptyPath.
std::wstring GetUserDataFolder();

// Creates the folder and every missing parent; false when the creation failed.
bool InitializeUserDataFolder(const std::wstring& userDataFolder);

} // namespace TARNWICK
