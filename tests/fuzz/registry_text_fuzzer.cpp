// The registry hive files: whatever the reader makes of any text, the writer writes in a form
// the reader reads back completely and into the same keys and values, and writing that again
// gives the same text.
//
// Input: the bytes of a hive file.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "crt/crt.h"
#include "fuzz_check.h"
#include "registry_text_format.h"

namespace {

bool SameValue(const RegistryValue& a, const RegistryValue& b) {
    return a.name == b.name && a.type == b.type && a.data == b.data;
}

bool SameDocument(const RegistryDocument& a, const RegistryDocument& b) {
    if (a.sections.size() != b.sections.size()) return false;
    for (std::size_t i = 0; i < a.sections.size(); ++i) {
        const RegistrySection& left = a.sections[i];
        const RegistrySection& right = b.sections[i];
        if (left.path != right.path || left.values.size() != right.values.size()) return false;
        for (std::size_t j = 0; j < left.values.size(); ++j) {
            if (!SameValue(left.values[j], right.values[j])) return false;
        }
    }
    return true;
}

// Keys and values are unique under the registry's own comparison, as a hive holds them.
bool NamesUnique(const RegistryDocument& document) {
    for (std::size_t i = 0; i < document.sections.size(); ++i) {
        for (std::size_t j = i + 1; j < document.sections.size(); ++j) {
            if (SameRegistryName(document.sections[i].path, document.sections[j].path)) return false;
        }
        const auto& values = document.sections[i].values;
        for (std::size_t a = 0; a < values.size(); ++a) {
            for (std::size_t b = a + 1; b < values.size(); ++b) {
                if (SameRegistryName(values[a].name, values[b].name)) return false;
            }
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const ParsedRegistryDocument first = ParseRegistryText(input);
    FUZZ_CHECK(NamesUnique(first.document));

    const std::string written = SerializeRegistryText(first.document);
    FUZZ_CHECK(text::ToUtf8(text::FromUtf8(written)) == written);

    const ParsedRegistryDocument second = ParseRegistryText(written);
    FUZZ_CHECK(second.complete);
    FUZZ_CHECK(SameDocument(first.document, second.document));
    FUZZ_CHECK(SerializeRegistryText(second.document) == written);

    return 0;
}
