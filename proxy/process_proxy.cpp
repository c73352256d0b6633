#include "proxy/process_proxy.h"

#include <string>

#include "settings/app_config.h"
#include "win32/api.h"
#include "wininet/wininet.h"
#include "winhttp/winhttp.h"

namespace {

constexpr UINT kSystemSettings = 0;
constexpr UINT kCustomSocks = 2;

// The text in UTF-8, as the process proxy takes it.
std::string Utf8(LPCWSTR text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return {};
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes.data(), size, nullptr, nullptr);
    bytes.resize(static_cast<std::size_t>(size) - 1);  // the terminator
    return bytes;
}

}  // namespace

void SetProcessProxy(LPCWSTR proxy, LPCWSTR bypass) {
    INTERNET_PROXY_INFO info{};
    std::string proxyText, bypassText;
    if (!proxy) {
        info.dwAccessType = INTERNET_OPEN_TYPE_DIRECT;
    } else {
        info.dwAccessType = INTERNET_OPEN_TYPE_PROXY;
        proxyText = Utf8(proxy);
        bypassText = bypass ? Utf8(bypass) : std::string("127.0.0.1");
        info.lpszProxy = proxyText.c_str();
        info.lpszProxyBypass = bypassText.c_str();
    }
    InternetSetOptionW(nullptr, INTERNET_OPTION_PROXY, &info, sizeof(info));
}

void ApplyProxySettings() {
    CCorvaleAppConfig& config = CCorvaleAppConfig::Instance();
    UINT mode = config.app ? config.app->GetProfileIntW(kFeaturesSection, kProxyModeKey, 0) : kSystemSettings;
    if (mode == kSystemSettings) {
        // A failed query gives no proxy data: direct access.
        WINHTTP_CURRENT_USER_IE_PROXY_CONFIG user{};
        if (!WinHttpGetIEProxyConfigForCurrentUser(&user)) {
            SetProcessProxy(nullptr, nullptr);
            return;
        }
        SetProcessProxy(user.lpszProxy, user.lpszProxyBypass);
        for (LPWSTR text : {user.lpszAutoConfigUrl, user.lpszProxy, user.lpszProxyBypass})
            if (text) GlobalFree(text);
        return;
    }
    std::u16string server = config.GetProxy();
    if (mode == kCustomSocks) server = u"socks=" + server;
    SetProcessProxy(server.c_str(), nullptr);
}
