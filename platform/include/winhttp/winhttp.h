// The user's own proxy configuration, as the HTTP services report it.
#pragma once

#include "win32/types.h"

// The strings are allocated with GlobalAlloc; the caller frees each present one with
// GlobalFree.
struct WINHTTP_CURRENT_USER_IE_PROXY_CONFIG {
    BOOL fAutoDetect;
    LPWSTR lpszAutoConfigUrl;
    LPWSTR lpszProxy;        // "host:port" for every scheme, or "http=host:port;https=..."
    LPWSTR lpszProxyBypass;  // patterns separated by semicolons
};

// On this desktop: the desktop's proxy settings when they are manual or automatic, else
// the http_proxy, https_proxy, ftp_proxy, all_proxy and no_proxy variables of the
// environment (either case). Members without a value are null (fAutoDetect FALSE).
BOOL WinHttpGetIEProxyConfigForCurrentUser(WINHTTP_CURRENT_USER_IE_PROXY_CONFIG* config);
