// The engines' network proxy for this process (the website data manager of the shared
// context), and the desktop's own proxy configuration (GSettings "org.gnome.system.proxy").
#pragma once

#include <optional>

#include "backend/proxy.h"

namespace platform::desktop {

// In force for the next request of every view, present and future.
bool ApplyNetworkProxy(const ProxySettings& settings);
// Absent when the desktop has no such settings installed.
std::optional<DesktopProxyConfiguration> ReadDesktopProxyConfiguration();

}  // namespace platform::desktop
