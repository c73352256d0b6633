#include "proxy_list.h"

namespace platform {
namespace {

constexpr unsigned kDefaultHttpPort = 80;
constexpr unsigned kDefaultSocksPort = 1080;

char16_t LowerAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

std::u16string Lower(std::u16string_view text) {
    std::u16string out(text);
    for (char16_t& c : out) c = LowerAscii(c);
    return out;
}

std::vector<std::u16string_view> Split(std::u16string_view text, std::u16string_view separators) {
    std::vector<std::u16string_view> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of(separators, start);
        if (end == std::u16string_view::npos) end = text.size();
        if (end > start) parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::optional<unsigned> PortOf(std::u16string_view digits) {
    if (digits.empty() || digits.size() > 5) return std::nullopt;
    unsigned value = 0;
    for (char16_t c : digits) {
        if (c < u'0' || c > u'9') return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - u'0');
    }
    if (value == 0 || value > 65535) return std::nullopt;
    return value;
}

// "[<proxy scheme>://]<host>[:<port>][/]"; protocol is what the entry's own scheme implies.
std::optional<ProxyServer> ServerOf(std::u16string_view text, ProxyServer::Protocol protocol) {
    if (std::size_t mark = text.find(u"://"); mark != std::u16string_view::npos) {
        std::u16string scheme = Lower(text.substr(0, mark));
        if (scheme == u"http") protocol = ProxyServer::Protocol::Http;
        else if (scheme == u"socks" || scheme == u"socks5" || scheme == u"socks5h") protocol = ProxyServer::Protocol::Socks;
        else return std::nullopt;  // a proxy spoken to in another way (https, socks4) is not supported
        text.remove_prefix(mark + 3);
    }
    while (!text.empty() && text.back() == u'/') text.remove_suffix(1);
    if (text.find_first_of(u"/@") != std::u16string_view::npos) return std::nullopt;
    ProxyServer server;
    server.protocol = protocol;
    server.port = protocol == ProxyServer::Protocol::Socks ? kDefaultSocksPort : kDefaultHttpPort;
    std::u16string_view host = text;
    if (!text.empty() && text.front() == u'[') {
        std::size_t close = text.find(u']');
        if (close == std::u16string_view::npos) return std::nullopt;
        host = text.substr(1, close - 1);
        std::u16string_view after = text.substr(close + 1);
        if (!after.empty()) {
            if (after.front() != u':') return std::nullopt;
            auto port = PortOf(after.substr(1));
            if (!port) return std::nullopt;
            server.port = *port;
        }
    } else if (std::size_t colon = text.rfind(u':'); colon != std::u16string_view::npos) {
        if (text.find(u':') != colon) return std::nullopt;  // an IPv6 address needs its brackets
        auto port = PortOf(text.substr(colon + 1));
        if (!port) return std::nullopt;
        server.port = *port;
        host = text.substr(0, colon);
    }
    if (host.empty()) return std::nullopt;
    server.host = std::u16string(host);
    return server;
}

}  // namespace

std::vector<std::u16string> ParseBypassList(std::u16string_view bypass) {
    std::vector<std::u16string> patterns;
    for (std::u16string_view part : Split(bypass, u"; ,\t\r\n")) {
        if (Lower(part) == u"<local>") continue;
        patterns.emplace_back(part);
    }
    return patterns;
}

std::optional<ProxySettings> ParseProxyList(std::u16string_view proxies, std::u16string_view bypass) {
    ProxySettings settings;
    settings.direct = false;
    std::optional<ProxyServer> socks;
    bool any = false;
    for (std::u16string_view entry : Split(proxies, u"; \t\r\n")) {
        std::u16string scheme;
        std::size_t equals = entry.find(u'=');
        if (equals != std::u16string_view::npos) {
            scheme = Lower(entry.substr(0, equals));
            entry.remove_prefix(equals + 1);
        }
        if (scheme == u"socks") {
            auto server = ServerOf(entry, ProxyServer::Protocol::Socks);
            if (server && !socks) socks = server;
            any = any || server.has_value();
            continue;
        }
        auto server = ServerOf(entry, ProxyServer::Protocol::Http);
        if (!server) continue;
        if (scheme.empty()) {
            if (!settings.anyScheme) settings.anyScheme = server;
        } else if (scheme == u"http" || scheme == u"https" || scheme == u"ftp") {
            bool known = false;
            for (const auto& [name, existing] : settings.byScheme) known = known || name == scheme;
            if (!known) settings.byScheme.emplace_back(scheme, *server);
        } else {
            continue;  // a scheme the engines do not fetch
        }
        any = true;
    }
    if (!any) return std::nullopt;
    if (!settings.anyScheme && socks) settings.anyScheme = socks;
    settings.bypass = ParseBypassList(bypass);
    return settings;
}

}  // namespace platform
