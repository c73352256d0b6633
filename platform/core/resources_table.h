// The executable's registered resources, shared by the resource calls of the layer.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "win32/types.h"

// A type or name as the resource calls take it: a number (MAKEINTRESOURCEW, or "#n"), or a
// name kept in upper case for case-insensitive comparison.
struct ResourceKey {
    bool isNumber = true;
    WORD number = 0;
    std::u16string name;
    friend bool operator==(const ResourceKey&, const ResourceKey&) = default;
};

ResourceKey MakeResourceKey(LPCWSTR typeOrName);

struct ResourceObject {
    ResourceKey type;
    WORD id = 0;
    WORD language = 0;
    std::shared_ptr<const std::vector<BYTE>> data;
};

// The best match for the user's language: the user's own language, then language-neutral,
// then the same primary language, then U.S. English, then the first one registered.
// Returns null and sets the documented error when there is none.
const ResourceObject* FindRegisteredResource(const ResourceKey& type, const ResourceKey& name);

// A copy of the data of a registered resource, or nothing.
bool CopyRegisteredResource(const ResourceKey& type, WORD id, WORD language, std::vector<BYTE>& data);

bool IsRegisteredResource(const ResourceObject* resource);
