// WinHttpGetIEProxyConfigForCurrentUser over the desktop's and the environment's proxy
// configuration.
#include <cstring>

#include "user_proxy_configuration.h"
#include "win32/api.h"
#include "winhttp/winhttp.h"

namespace {

// A GlobalAlloc copy with its terminator, or null when there is no text or no memory.
LPWSTR GlobalCopy(const std::optional<std::u16string>& text, bool* failed) {
    if (!text) return nullptr;
    std::size_t bytes = (text->size() + 1) * sizeof(char16_t);
    auto* copy = static_cast<LPWSTR>(GlobalAlloc(GMEM_FIXED, bytes));
    if (!copy) {
        *failed = true;
        return nullptr;
    }
    std::memcpy(copy, text->c_str(), bytes);
    return copy;
}

}  // namespace

BOOL WinHttpGetIEProxyConfigForCurrentUser(WINHTTP_CURRENT_USER_IE_PROXY_CONFIG* config) {
    if (!config) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    platform::UserProxyConfiguration user = platform::ReadUserProxyConfiguration();
    bool failed = false;
    WINHTTP_CURRENT_USER_IE_PROXY_CONFIG result{};
    result.fAutoDetect = user.autoDetect ? TRUE : FALSE;
    result.lpszAutoConfigUrl = GlobalCopy(user.autoConfigUrl, &failed);
    result.lpszProxy = GlobalCopy(user.proxy, &failed);
    result.lpszProxyBypass = GlobalCopy(user.bypass, &failed);
    if (failed) {
        for (LPWSTR text : {result.lpszAutoConfigUrl, result.lpszProxy, result.lpszProxyBypass})
            if (text) GlobalFree(text);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    *config = result;
    return TRUE;
}
