#include "resource_scheme.h"

#include <memory>

#include "crt/crt.h"
#include "resource_address.h"

namespace platform::desktop {
namespace {

constexpr char kScheme[] = "res";
constexpr std::string_view kEnginePrefix = "res:";

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Everything the engine's address parser would change or cut: the percent sign itself,
// "#" and "?", blanks and controls, bytes outside ASCII, and the leading slashes.
bool MustEncode(unsigned char c, bool leading) {
    return c == '%' || c == '#' || c == '?' || c <= ' ' || c >= 0x7F || (leading && c == '/');
}

void OnResourceRequest(WebKitURISchemeRequest* request, gpointer) {
    std::u16string address = ProgramAddress(webkit_uri_scheme_request_get_uri(request));
    auto resource = LoadResourceAtAddress(address);
    if (!resource) {
        GError* error = g_error_new(G_IO_ERROR, G_IO_ERROR_NOT_FOUND, "No resource at %s",
                                    text::ToUtf8(address).c_str());
        webkit_uri_scheme_request_finish_error(request, error);
        g_error_free(error);
        return;
    }
    auto* copy = new std::vector<BYTE>(std::move(resource->data));
    GInputStream* stream = g_memory_input_stream_new_from_data(
        copy->data(), static_cast<gssize>(copy->size()), [](gpointer) {});
    // The bytes live as long as the stream reads them.
    g_object_set_data_full(G_OBJECT(stream), "pelmarin-resource-bytes", copy,
                           [](gpointer data) { delete static_cast<std::vector<BYTE>*>(data); });
    webkit_uri_scheme_request_finish(request, stream, static_cast<gint64>(copy->size()), resource->mimeType.c_str());
    g_object_unref(stream);
}

}  // namespace

void RegisterResourceScheme(WebKitWebContext* context) {
    webkit_web_context_register_uri_scheme(context, kScheme, OnResourceRequest, nullptr, nullptr);
}

bool HasResourceScheme(std::u16string_view address) {
    return address.size() >= 4 && (address[0] | 0x20) == u'r' && (address[1] | 0x20) == u'e' &&
           (address[2] | 0x20) == u's' && address[3] == u':';
}

std::string EngineResourceAddress(std::u16string_view programAddress) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out(kEnginePrefix);
    bool leading = true;
    for (char ch : text::ToUtf8(programAddress.substr(kEnginePrefix.size()))) {
        auto c = static_cast<unsigned char>(ch);
        leading = leading && c == '/';
        if (MustEncode(c, leading)) {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        } else {
            out += ch;
        }
    }
    return out;
}

std::u16string ProgramAddress(const char* engineAddress) {
    if (!engineAddress) return {};
    std::string_view address(engineAddress);
    if (address.size() < kEnginePrefix.size() || g_ascii_strncasecmp(address.data(), kEnginePrefix.data(), 4) != 0)
        return text::FromUtf8(address);
    std::string decoded;
    std::string_view rest = address.substr(kEnginePrefix.size());
    for (std::size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] == '%' && i + 2 < rest.size() && HexValue(rest[i + 1]) >= 0 && HexValue(rest[i + 2]) >= 0) {
            decoded += static_cast<char>(HexValue(rest[i + 1]) * 16 + HexValue(rest[i + 2]));
            i += 2;
        } else {
            decoded += rest[i];
        }
    }
    return u"res:" + text::FromUtf8(decoded);
}

std::u16string ProgramAddress(std::u16string_view engineAddress) {
    if (!HasResourceScheme(engineAddress)) return std::u16string(engineAddress);
    return ProgramAddress(text::ToUtf8(engineAddress).c_str());
}

}  // namespace platform::desktop
