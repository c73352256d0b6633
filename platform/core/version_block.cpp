// Builds VS_VERSIONINFO blocks in the documented binary layout.
#include "win32/version_block.h"

#include <cstring>
#include <string_view>

namespace {

constexpr WORD kBinary = 0;
constexpr WORD kText = 1;

void PadTo32Bits(std::vector<BYTE>& out) {
    while (out.size() % 4 != 0) out.push_back(0);
}

void AppendWord(std::vector<BYTE>& out, WORD value) {
    out.push_back(static_cast<BYTE>(value & 0xFF));
    out.push_back(static_cast<BYTE>(value >> 8));
}

void AppendText(std::vector<BYTE>& out, std::u16string_view text) {
    for (char16_t c : text) AppendWord(out, c);
    AppendWord(out, 0);
}

// One node; children are complete nodes. Every node starts on a 32-bit boundary of the
// block, so padding relative to the node is padding relative to the block.
std::vector<BYTE> Node(std::u16string_view key, WORD type, WORD valueLength, const std::vector<BYTE>& value,
                       const std::vector<std::vector<BYTE>>& children) {
    std::vector<BYTE> out(6, 0);
    AppendText(out, key);
    PadTo32Bits(out);
    out.insert(out.end(), value.begin(), value.end());
    for (const auto& child : children) {
        PadTo32Bits(out);
        out.insert(out.end(), child.begin(), child.end());
    }
    const WORD total = static_cast<WORD>(out.size());
    out[0] = static_cast<BYTE>(total & 0xFF);
    out[1] = static_cast<BYTE>(total >> 8);
    out[2] = static_cast<BYTE>(valueLength & 0xFF);
    out[3] = static_cast<BYTE>(valueLength >> 8);
    out[4] = static_cast<BYTE>(type & 0xFF);
    out[5] = static_cast<BYTE>(type >> 8);
    return out;
}

std::vector<BYTE> StringNode(const VersionString& s) {
    std::vector<BYTE> value;
    AppendText(value, s.value);
    return Node(s.name, kText, static_cast<WORD>(s.value.size() + 1), value, {});
}

}  // namespace

std::vector<BYTE> BuildVersionInfoBlock(const VersionInfoContent& content) {
    std::vector<std::vector<BYTE>> rootChildren;

    if (!content.stringTables.empty()) {
        std::vector<std::vector<BYTE>> tables;
        for (const auto& table : content.stringTables) {
            std::vector<std::vector<BYTE>> strings;
            for (const auto& s : table.strings) strings.push_back(StringNode(s));
            tables.push_back(Node(table.blockName, kText, 0, {}, strings));
        }
        rootChildren.push_back(Node(u"StringFileInfo", kText, 0, {}, tables));
    }

    if (content.translations) {
        std::vector<BYTE> entries;
        for (const auto& t : *content.translations) {
            AppendWord(entries, t.language);
            AppendWord(entries, t.codePage);
        }
        const auto translation = Node(u"Translation", kBinary, static_cast<WORD>(entries.size()), entries, {});
        rootChildren.push_back(Node(u"VarFileInfo", kText, 0, {}, {translation}));
    }

    std::vector<BYTE> fixed(sizeof(VS_FIXEDFILEINFO));
    std::memcpy(fixed.data(), &content.fixed, sizeof(VS_FIXEDFILEINFO));
    return Node(u"VS_VERSION_INFO", kBinary, static_cast<WORD>(fixed.size()), fixed, rootChildren);
}
