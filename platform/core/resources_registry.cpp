// The table behind RegisterResource and FindResourceW. Objects are never freed while the
// process runs: handles and locked data stay valid after a replacement, as resources of a
// loaded module do on Windows.
#include <algorithm>
#include <mutex>

#include "resources_table.h"
#include "win32/api.h"
#include "win32/resource_registry.h"

namespace {

struct ResourceTable {
    std::mutex lock;
    std::vector<std::unique_ptr<ResourceObject>> live;
    std::vector<std::unique_ptr<ResourceObject>> retired;
};

// Function-local: registration runs during static initialisation of other files.
ResourceTable& Table() {
    static ResourceTable table;
    return table;
}

char16_t Upper(char16_t c) {
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

WORD PrimaryLanguage(WORD language) {
    return language & 0x3FF;
}

auto FindLive(ResourceTable& table, const ResourceKey& type, WORD id, WORD language) {
    return std::find_if(table.live.begin(), table.live.end(), [&](const auto& r) {
        return r->type == type && r->id == id && r->language == language;
    });
}

}  // namespace

ResourceKey MakeResourceKey(LPCWSTR typeOrName) {
    ResourceKey key;
    if (IS_INTRESOURCE(typeOrName)) {
        key.number = static_cast<WORD>(reinterpret_cast<std::uintptr_t>(typeOrName));
        return key;
    }
    std::u16string text = typeOrName;
    // "#16" names the number 16.
    if (text.size() > 1 && text[0] == u'#' &&
        std::all_of(text.begin() + 1, text.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; }) &&
        text.size() <= 6) {
        unsigned value = 0;
        for (std::size_t i = 1; i < text.size(); ++i) value = value * 10 + (text[i] - u'0');
        if (value <= 0xFFFF) {
            key.number = static_cast<WORD>(value);
            return key;
        }
    }
    key.isNumber = false;
    for (auto& c : text) c = Upper(c);
    key.name = std::move(text);
    return key;
}

void RegisterResource(LPCWSTR type, WORD id, WORD language, std::vector<BYTE> data) {
    ResourceTable& table = Table();
    const ResourceKey key = MakeResourceKey(type);
    std::lock_guard<std::mutex> guard(table.lock);
    auto existing = FindLive(table, key, id, language);
    if (existing != table.live.end()) {
        table.retired.push_back(std::move(*existing));
        table.live.erase(existing);
    }
    auto object = std::make_unique<ResourceObject>();
    object->type = key;
    object->id = id;
    object->language = language;
    object->data = std::make_shared<const std::vector<BYTE>>(std::move(data));
    table.live.push_back(std::move(object));
}

bool UnregisterResource(LPCWSTR type, WORD id, WORD language) {
    ResourceTable& table = Table();
    const ResourceKey key = MakeResourceKey(type);
    std::lock_guard<std::mutex> guard(table.lock);
    auto existing = FindLive(table, key, id, language);
    if (existing == table.live.end()) return false;
    table.retired.push_back(std::move(*existing));
    table.live.erase(existing);
    return true;
}

bool CopyRegisteredResource(const ResourceKey& type, WORD id, WORD language, std::vector<BYTE>& data) {
    ResourceTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    auto existing = FindLive(table, type, id, language);
    if (existing == table.live.end()) return false;
    data = *(*existing)->data;
    return true;
}

const ResourceObject* FindRegisteredResource(const ResourceKey& type, const ResourceKey& name) {
    if (!name.isNumber) {
        // Resources are registered by number only.
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    const WORD userLanguage = GetUserDefaultLangID();
    ResourceTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);

    bool typeSeen = false;
    const ResourceObject* best = nullptr;
    int bestRank = 100;
    for (const auto& r : table.live) {
        if (!(r->type == type)) continue;
        typeSeen = true;
        if (r->id != name.number) continue;
        int rank = 4;
        if (r->language == userLanguage) {
            rank = 0;
        } else if (r->language == 0) {
            rank = 1;
        } else if (PrimaryLanguage(r->language) == PrimaryLanguage(userLanguage)) {
            rank = 2;
        } else if (r->language == 0x0409) {
            rank = 3;
        }
        if (rank < bestRank) {
            best = r.get();
            bestRank = rank;
        }
    }
    if (best == nullptr) SetLastError(typeSeen ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND);
    return best;
}

bool IsRegisteredResource(const ResourceObject* resource) {
    if (resource == nullptr) return false;
    ResourceTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    auto owns = [&](const auto& list) {
        return std::any_of(list.begin(), list.end(), [&](const auto& r) { return r.get() == resource; });
    };
    return owns(table.live) || owns(table.retired);
}

ScopedResource::ScopedResource(LPCWSTR type, WORD id, WORD language, std::vector<BYTE> data)
    : id_(id), language_(language) {
    const ResourceKey key = MakeResourceKey(type);
    if (key.isNumber) {
        typeId_ = key.number;
    } else {
        typeName_ = key.name;
    }
    hadPrevious_ = CopyRegisteredResource(key, id, language, previous_);
    RegisterResource(type, id, language, std::move(data));
}

ScopedResource::~ScopedResource() {
    LPCWSTR type = typeName_.empty() ? MAKEINTRESOURCEW(typeId_) : typeName_.c_str();
    if (hadPrevious_) {
        RegisterResource(type, id_, language_, std::move(previous_));
    } else {
        UnregisterResource(type, id_, language_);
    }
}
