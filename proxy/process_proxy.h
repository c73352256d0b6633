// The process's proxy, from the stored choice: the user's own proxy, or the custom HTTP or
// SOCKS server. It holds for this process only; the user's own settings are never written.
#pragma once

#include "win32/types.h"

// Reads "ProxyMode" (and "Proxy" in the custom modes) and sets the process proxy.
void ApplyProxySettings();
// proxy null: direct access. Otherwise through proxy, bypassing bypass (null: "127.0.0.1").
void SetProcessProxy(LPCWSTR proxy, LPCWSTR bypass);
