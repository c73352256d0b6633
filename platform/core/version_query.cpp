// VerQueryValueW over a VS_VERSIONINFO block. The block may come from anywhere, so it is
// read as hostile: the root's own length bounds every read, each node must lie inside its
// parent, and a text value is only handed out when its terminator lies inside the node
// (the caller reads it up to the terminator).
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "win32/api.h"

namespace {

constexpr WORD kText = 1;
constexpr std::size_t kHeaderBytes = 6;

struct NodeView {
    std::size_t end = 0;         // one past the node's last byte
    std::u16string key;
    std::size_t valueOffset = 0;
    std::size_t valueBytes = 0;
    WORD valueLength = 0;
    WORD type = 0;
    std::size_t childrenOffset = 0;
};

std::size_t AlignTo32Bits(std::size_t offset) {
    return (offset + 3) & ~std::size_t{3};
}

WORD ReadWord(const BYTE* base, std::size_t offset) {
    WORD value;
    std::memcpy(&value, base + offset, sizeof value);
    return value;
}

bool ReadNode(const BYTE* base, std::size_t offset, std::size_t limit, NodeView& node) {
    if (offset > limit || limit - offset < kHeaderBytes) return false;
    const std::size_t length = ReadWord(base, offset);
    if (length < kHeaderBytes || length > limit - offset) return false;
    node.end = offset + length;
    node.valueLength = ReadWord(base, offset + 2);
    node.type = ReadWord(base, offset + 4);
    if (node.type > kText) return false;

    node.key.clear();
    std::size_t cursor = offset + kHeaderBytes;
    for (;;) {
        if (cursor + 2 > node.end) return false;  // key without its terminator
        const char16_t c = ReadWord(base, cursor);
        cursor += 2;
        if (c == u'\0') break;
        node.key.push_back(c);
    }
    node.valueOffset = AlignTo32Bits(cursor);
    node.valueBytes = node.type == kText ? std::size_t{node.valueLength} * 2 : node.valueLength;
    if (node.valueBytes > 0 && (node.valueOffset > node.end || node.valueBytes > node.end - node.valueOffset)) {
        return false;
    }
    node.childrenOffset = AlignTo32Bits(node.valueOffset + node.valueBytes);
    return true;
}

bool SameKey(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto fold = [](char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c; };
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

bool FindChild(const BYTE* base, const NodeView& parent, std::u16string_view key, NodeView& found) {
    std::size_t offset = parent.childrenOffset;
    while (offset < parent.end && parent.end - offset >= kHeaderBytes) {
        NodeView child;
        if (!ReadNode(base, offset, parent.end, child)) return false;
        if (SameKey(child.key, key)) {
            found = std::move(child);
            return true;
        }
        offset = AlignTo32Bits(child.end);
    }
    return false;
}

std::vector<std::u16string_view> SplitPath(std::u16string_view path) {
    std::vector<std::u16string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == u'\\') {
            if (i > start) parts.push_back(path.substr(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

const char16_t kEmptyText[1] = {u'\0'};

}  // namespace

BOOL VerQueryValueW(const void* block, LPCWSTR subBlock, void** buffer, UINT* length) {
    if (block == nullptr || subBlock == nullptr || buffer == nullptr || length == nullptr) return FALSE;
    const auto* base = static_cast<const BYTE*>(block);
    const std::size_t blockLength = ReadWord(base, 0);

    NodeView node;
    if (!ReadNode(base, 0, blockLength, node)) return FALSE;
    const auto parts = SplitPath(subBlock);
    // Callers read a string up to its terminator, so under StringFileInfo only a text
    // value with its terminator is an answer.
    const bool wantsText = !parts.empty() && SameKey(parts.front(), u"StringFileInfo");
    for (std::u16string_view part : parts) {
        NodeView child;
        if (!FindChild(base, node, part, child)) return FALSE;
        node = std::move(child);
    }

    if (node.type == kText) {
        const bool hasChildren = node.childrenOffset < node.end;
        if (node.valueLength == 0) {
            if (hasChildren) return FALSE;  // a container, not a value
            *buffer = const_cast<char16_t*>(kEmptyText);
            *length = 0;
            return TRUE;
        }
        const auto* text = base + node.valueOffset;
        bool terminated = false;
        for (std::size_t i = 0; i + 2 <= node.valueBytes; i += 2) {
            if (ReadWord(text, i) == 0) {
                terminated = true;
                break;
            }
        }
        if (!terminated) return FALSE;
        *buffer = const_cast<BYTE*>(text);
        *length = node.valueLength;
        return TRUE;
    }
    if (wantsText || node.valueBytes == 0) return FALSE;
    *buffer = const_cast<BYTE*>(base + node.valueOffset);
    *length = static_cast<UINT>(node.valueBytes);
    return TRUE;
}
