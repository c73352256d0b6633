// The executable's resources. The program's resources/ folder registers them at
// static-initialisation time; FindResourceW and its siblings, LoadStringW and LoadIconW find
// them for the executable module (GetModuleHandleW(nullptr), or null).
//
// A type is MAKEINTRESOURCEW(n) or a name (compared without regard to the case of A-Z);
// a resource is named by its id. Registering the same type, id and language again replaces
// the data; data handed out earlier stays readable for the life of the process.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "win32/types.h"

// The icon of LoadIconW: the bytes of the icon resource as registered (for RT_GROUP_ICON a
// group directory, for RT_ICON one image), for a backend that shows it.
struct IconObject {
    WORD id = 0;
    std::vector<BYTE> data;
};

inline LPCWSTR RT_GROUP_ICON_W() { return MAKEINTRESOURCEW(14); }

void RegisterResource(LPCWSTR type, WORD id, WORD language, std::vector<BYTE> data);
// Returns false when no such resource was registered.
bool UnregisterResource(LPCWSTR type, WORD id, WORD language);

// String resources in the documented string-table layout: string n lives in the RT_STRING
// resource with id n / 16 + 1, as entry n % 16 of sixteen length-prefixed UTF-16 strings.
// This call writes string n into that block (creating the block when needed).
void RegisterStringResource(UINT id, std::u16string_view text, WORD language);

// A registration for the length of a scope (tests): on destruction the resource is
// unregistered, or the data it replaced is registered again.
class ScopedResource {
public:
    ScopedResource(LPCWSTR type, WORD id, WORD language, std::vector<BYTE> data);
    ~ScopedResource();
    ScopedResource(const ScopedResource&) = delete;
    ScopedResource& operator=(const ScopedResource&) = delete;

private:
    std::u16string typeName_;  // empty for a numeric type
    WORD typeId_ = 0;
    WORD id_;
    WORD language_;
    bool hadPrevious_ = false;
    std::vector<BYTE> previous_;
};

// Documented error codes of the resource calls.
constexpr DWORD ERROR_RESOURCE_DATA_NOT_FOUND = 1812;
constexpr DWORD ERROR_RESOURCE_TYPE_NOT_FOUND = 1813;
constexpr DWORD ERROR_RESOURCE_NAME_NOT_FOUND = 1814;
