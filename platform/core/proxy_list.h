// The proxy lists of the Internet settings, turned into the engines' proxy settings.
// A proxy list holds entries "[<scheme>=][<proxy scheme>://]<host>[:<port>]" separated by
// blanks or semicolons: an entry without "<scheme>=" serves every scheme, "socks=" names a
// SOCKS server for the schemes without an entry of their own, "http=", "https=" and "ftp="
// one scheme each. Ports default to 80 (HTTP) and 1080 (SOCKS).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "backend/proxy.h"

namespace platform {

// Settings through the listed servers, or nothing when no entry names a usable server.
std::optional<ProxySettings> ParseProxyList(std::u16string_view proxies, std::u16string_view bypass);
// The patterns of a bypass list (separated by semicolons, blanks or commas). "<local>"
// (names without a dot) has no counterpart in the engines' lists and is left out.
std::vector<std::u16string> ParseBypassList(std::u16string_view bypass);

}  // namespace platform
