// LoadStringW over string tables in the documented layout, and LoadIconW.
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

#include "modules_table.h"
#include "resources_table.h"
#include "win32/api.h"
#include "win32/resource_registry.h"

namespace {

constexpr int kStringsPerBlock = 16;

WORD BlockOf(UINT id) {
    return static_cast<WORD>(id / kStringsPerBlock + 1);
}

WORD ReadWord(const std::vector<BYTE>& bytes, std::size_t offset) {
    return static_cast<WORD>(bytes[offset] | (bytes[offset + 1] << 8));
}

// The start (in bytes) and length (in characters) of entry index of a block; false when the
// block is too short to hold it.
bool LocateEntry(const std::vector<BYTE>& block, int index, std::size_t& start, std::size_t& length) {
    std::size_t offset = 0;
    for (int i = 0;; ++i) {
        if (offset + 2 > block.size()) return false;
        const std::size_t count = ReadWord(block, offset);
        if (offset + 2 + count * 2 > block.size()) return false;
        if (i == index) {
            start = offset + 2;
            length = count;
            return true;
        }
        offset += 2 + count * 2;
    }
}

}  // namespace

void RegisterStringResource(UINT id, std::u16string_view text, WORD language) {
    const ResourceKey type = MakeResourceKey(RT_STRING_W());
    std::vector<BYTE> old;
    CopyRegisteredResource(type, BlockOf(id), language, old);

    std::vector<BYTE> block;
    for (int i = 0; i < kStringsPerBlock; ++i) {
        std::u16string entry;
        std::size_t start = 0, length = 0;
        if (i == static_cast<int>(id % kStringsPerBlock)) {
            entry = text.substr(0, 0xFFFF);
        } else if (LocateEntry(old, i, start, length)) {
            for (std::size_t c = 0; c < length; ++c) entry += static_cast<char16_t>(ReadWord(old, start + 2 * c));
        }
        block.push_back(static_cast<BYTE>(entry.size() & 0xFF));
        block.push_back(static_cast<BYTE>(entry.size() >> 8));
        for (char16_t c : entry) {
            block.push_back(static_cast<BYTE>(c & 0xFF));
            block.push_back(static_cast<BYTE>(c >> 8));
        }
    }
    RegisterResource(RT_STRING_W(), BlockOf(id), language, std::move(block));
}

int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int bufferMax) {
    if (!IsExecutableModule(instance)) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return 0;
    }
    if (buffer == nullptr || bufferMax < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(BlockOf(id)), RT_STRING_W());
    std::size_t start = 0, length = 0;
    if (resource == nullptr || !LocateEntry(*resource->data, static_cast<int>(id % kStringsPerBlock), start, length) ||
        length == 0) {
        if (bufferMax > 0) buffer[0] = u'\0';
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return 0;
    }
    const auto* text = reinterpret_cast<const WCHAR*>(resource->data->data() + start);
    if (bufferMax == 0) {
        // As documented: the buffer receives a read-only pointer to the text itself, which
        // is not null-terminated.
        const WCHAR* pointer = text;
        std::memcpy(buffer, &pointer, sizeof pointer);
        return static_cast<int>(length);
    }
    const std::size_t copied = std::min(length, static_cast<std::size_t>(bufferMax - 1));
    std::memcpy(buffer, text, copied * sizeof(WCHAR));
    buffer[copied] = u'\0';
    return static_cast<int>(copied);
}

HICON LoadIconW(HINSTANCE instance, LPCWSTR name) {
    if (!IsExecutableModule(instance) || name == nullptr || !IS_INTRESOURCE(name)) {
        // Neither other modules' icons nor the system's stock icons exist here.
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    HRSRC resource = FindResourceW(instance, name, RT_GROUP_ICON_W());
    if (resource == nullptr) resource = FindResourceW(instance, name, RT_ICON_W());
    if (resource == nullptr) return nullptr;

    // One object per icon for the life of the process, as shared icons are on Windows.
    static std::mutex lock;
    static std::map<WORD, std::unique_ptr<IconObject>> icons;
    std::lock_guard<std::mutex> guard(lock);
    auto& icon = icons[resource->id];
    if (!icon) icon = std::make_unique<IconObject>();
    icon->id = resource->id;
    icon->data = *resource->data;
    return icon.get();
}
