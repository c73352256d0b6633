// The user's own proxy configuration in the Internet settings' form: the desktop's proxy
// settings when it keeps manual or automatic ones, otherwise the proxy variables of the
// environment (http_proxy, https_proxy, ftp_proxy, all_proxy and no_proxy, lower case
// first, then upper case).
#pragma once

#include <optional>
#include <string>

namespace platform {

struct UserProxyConfiguration {
    bool autoDetect = false;
    std::optional<std::u16string> autoConfigUrl;
    std::optional<std::u16string> proxy;   // "http=host:port;https=host:port;socks=host:port"
    std::optional<std::u16string> bypass;  // "localhost;*.example.com"
};

UserProxyConfiguration ReadUserProxyConfiguration();

}  // namespace platform
