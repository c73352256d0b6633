// InternetSetOptionW: the process's proxy, handed to the engines through the backend.
#include <string>

#include "backend/backend.h"
#include "crt/crt.h"
#include "proxy_list.h"
#include "user_proxy_configuration.h"
#include "wininet/wininet.h"
#include "win32/api.h"

namespace {

constexpr DWORD ERROR_INTERNET_INTERNAL_ERROR = 12004;

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

BOOL Apply(const platform::ProxySettings& settings) {
    if (!platform::HasBackend() || !platform::CurrentBackend().SetProxy(settings))
        return Fail(ERROR_INTERNET_INTERNAL_ERROR);
    return TRUE;
}

platform::ProxySettings Direct() { return platform::ProxySettings{}; }

// The user's own configuration; a configuration script cannot be run here, so without a
// manual proxy the process goes direct.
platform::ProxySettings Preconfigured() {
    platform::UserProxyConfiguration user = platform::ReadUserProxyConfiguration();
    if (!user.proxy) return Direct();
    auto parsed = platform::ParseProxyList(*user.proxy, user.bypass.value_or(u""));
    return parsed ? *parsed : Direct();
}

BOOL SetProxyInfo(const void* buffer, DWORD length) {
    if (!buffer) return Fail(ERROR_INVALID_PARAMETER);
    if (length < sizeof(INTERNET_PROXY_INFO)) return Fail(ERROR_INTERNET_BAD_OPTION_LENGTH);
    const auto* info = static_cast<const INTERNET_PROXY_INFO*>(buffer);
    switch (info->dwAccessType) {
    case INTERNET_OPEN_TYPE_DIRECT: return Apply(Direct());
    case INTERNET_OPEN_TYPE_PRECONFIG: return Apply(Preconfigured());
    case INTERNET_OPEN_TYPE_PROXY: {
        std::u16string proxies = info->lpszProxy ? text::FromUtf8(info->lpszProxy) : std::u16string();
        std::u16string bypass = info->lpszProxyBypass ? text::FromUtf8(info->lpszProxyBypass) : std::u16string();
        auto parsed = platform::ParseProxyList(proxies, bypass);
        if (!parsed) return Fail(ERROR_INVALID_PARAMETER);
        return Apply(*parsed);
    }
    default: return Fail(ERROR_INVALID_PARAMETER);
    }
}

BOOL SetPerConnectionOptions(void* buffer, DWORD length) {
    if (!buffer) return Fail(ERROR_INVALID_PARAMETER);
    if (length < sizeof(INTERNET_PER_CONN_OPTION_LISTW)) return Fail(ERROR_INTERNET_BAD_OPTION_LENGTH);
    auto* list = static_cast<INTERNET_PER_CONN_OPTION_LISTW*>(buffer);
    if (list->dwSize < sizeof(INTERNET_PER_CONN_OPTION_LISTW) || (list->dwOptionCount && !list->pOptions))
        return Fail(ERROR_INVALID_PARAMETER);
    DWORD flags = PROXY_TYPE_DIRECT;
    std::u16string server, bypass;
    for (DWORD i = 0; i < list->dwOptionCount; ++i) {
        const INTERNET_PER_CONN_OPTIONW& option = list->pOptions[i];
        switch (option.dwOption) {
        case INTERNET_PER_CONN_FLAGS: flags = option.Value.dwValue; break;
        case INTERNET_PER_CONN_PROXY_SERVER: server = option.Value.pszValue ? option.Value.pszValue : u""; break;
        case INTERNET_PER_CONN_PROXY_BYPASS: bypass = option.Value.pszValue ? option.Value.pszValue : u""; break;
        case INTERNET_PER_CONN_AUTOCONFIG_URL:
        case INTERNET_PER_CONN_AUTODISCOVERY_FLAGS: break;  // used only with PROXY_TYPE_AUTO_*
        default: list->dwOptionError = i; return Fail(ERROR_INVALID_PARAMETER);
        }
    }
    if (flags & PROXY_TYPE_PROXY) {
        auto parsed = platform::ParseProxyList(server, bypass);
        if (!parsed) return Fail(ERROR_INVALID_PARAMETER);
        return Apply(*parsed);
    }
    // Automatic configuration needs a script engine for the proxy script, which the engines
    // here do not run for the host: refused rather than silently going direct.
    if (flags & (PROXY_TYPE_AUTO_PROXY_URL | PROXY_TYPE_AUTO_DETECT)) return Fail(ERROR_INVALID_PARAMETER);
    return Apply(Direct());
}

}  // namespace

BOOL InternetSetOptionW(HINTERNET internet, DWORD option, void* buffer, DWORD length) {
    // Only the process-wide defaults exist: no session handles are ever handed out.
    if (internet) return Fail(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
    switch (option) {
    case INTERNET_OPTION_PROXY: return SetProxyInfo(buffer, length);
    case INTERNET_OPTION_PER_CONNECTION_OPTION: return SetPerConnectionOptions(buffer, length);
    default: return Fail(ERROR_INTERNET_INVALID_OPTION);
    }
}
