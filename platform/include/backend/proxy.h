// The network proxy of the process's engines, and the desktop's own proxy configuration,
// as the seam carries them.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace platform {

struct ProxyServer {
    enum class Protocol { Http, Socks };  // SOCKS 5; the proxy resolves host names
    Protocol protocol = Protocol::Http;
    std::u16string host;  // a name or an address; an IPv6 address without brackets
    unsigned port = 0;
    friend bool operator==(const ProxyServer&, const ProxyServer&) = default;
};

// Where the engines of this process send their requests. Nothing outside the process changes.
struct ProxySettings {
    bool direct = true;  // no proxy: every request goes straight to its server
    // With a proxy: the server for schemes without one of their own (absent: those go direct),
    // then the servers of single schemes ("http", "https", "ftp").
    std::optional<ProxyServer> anyScheme;
    std::vector<std::pair<std::u16string, ProxyServer>> byScheme;
    // Hosts reached without a proxy: names, addresses, "*.example.com", "10.0.0.0/8".
    std::vector<std::u16string> bypass;
    friend bool operator==(const ProxySettings&, const ProxySettings&) = default;
};

// The proxy configuration the desktop keeps for its user.
struct DesktopProxyConfiguration {
    enum class Mode { Direct, Manual, Automatic };
    Mode mode = Mode::Direct;
    // Manual: "host:port" per protocol, empty where none is set.
    std::u16string http, https, ftp, socks;
    std::vector<std::u16string> bypass;
    // Automatic: the configuration script's address; empty when the proxy is detected.
    std::u16string autoConfigUrl;
};

}  // namespace platform
