// FindResourceW, LoadResource, LockResource and SizeofResource for the executable.
#include "modules_table.h"
#include "resources_table.h"
#include "win32/api.h"
#include "win32/resource_registry.h"

namespace {
// What LockResource gives for an empty resource: a valid address with nothing behind it.
const BYTE kEmpty[1] = {0};
}  // namespace

HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type) {
    if (!IsExecutableModule(module)) {
        // Other modules carry no resources on this platform.
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    if (name == nullptr || type == nullptr) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    const ResourceObject* found = FindRegisteredResource(MakeResourceKey(type), MakeResourceKey(name));
    return const_cast<ResourceObject*>(found);
}

HGLOBAL LoadResource(HMODULE module, HRSRC resource) {
    if (!IsExecutableModule(module) || !IsRegisteredResource(resource)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return resource;
}

void* LockResource(HGLOBAL data) {
    auto* resource = static_cast<ResourceObject*>(data);
    if (!IsRegisteredResource(resource)) return data;
    if (resource->data->empty()) return const_cast<BYTE*>(kEmpty);
    return const_cast<BYTE*>(resource->data->data());
}

DWORD SizeofResource(HMODULE module, HRSRC resource) {
    if (!IsExecutableModule(module) || !IsRegisteredResource(resource)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return static_cast<DWORD>(resource->data->size());
}
