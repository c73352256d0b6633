#include "network_proxy.h"

#include "webkit_toolkit.h"

#include <string>
#include <vector>

#include "crt/crt.h"
#include "gobject_ptr.h"
#include "web_context.h"

namespace platform::desktop {
namespace {

// "http://host:port" or "socks://host:port" (SOCKS 5 with the proxy resolving names).
std::string ProxyUri(const ProxyServer& server) {
    std::string host = text::ToUtf8(server.host);
    if (host.find(':') != std::string::npos) host = "[" + host + "]";
    return std::string(server.protocol == ProxyServer::Protocol::Socks ? "socks://" : "http://") + host + ":" +
           std::to_string(server.port);
}

class ProxySettingsPtr {
public:
    explicit ProxySettingsPtr(WebKitNetworkProxySettings* settings) : settings_(settings) {}
    ~ProxySettingsPtr() {
        if (settings_) webkit_network_proxy_settings_free(settings_);
    }
    ProxySettingsPtr(const ProxySettingsPtr&) = delete;
    ProxySettingsPtr& operator=(const ProxySettingsPtr&) = delete;
    WebKitNetworkProxySettings* get() const { return settings_; }

private:
    WebKitNetworkProxySettings* settings_;
};

std::u16string HostAndPort(GSettings* settings) {
    GCharPtr host(g_settings_get_string(settings, "host"));
    int port = g_settings_get_int(settings, "port");
    if (!host || !*host.get() || port <= 0) return {};
    return text::FromUtf8(host.get()) + u":" + text::FromUtf8(std::to_string(port));
}

}  // namespace

bool ApplyNetworkProxy(const ProxySettings& settings) {
    WebKitWebsiteDataManager* manager = webkit_web_context_get_website_data_manager(SharedWebContext());
    if (!manager) return false;
    if (settings.direct) {
        webkit_website_data_manager_set_network_proxy_settings(manager, WEBKIT_NETWORK_PROXY_MODE_NO_PROXY, nullptr);
        return true;
    }
    std::vector<std::string> bypass;
    for (const std::u16string& pattern : settings.bypass) bypass.push_back(text::ToUtf8(pattern));
    std::vector<const char*> ignore;
    for (const std::string& pattern : bypass) ignore.push_back(pattern.c_str());
    ignore.push_back(nullptr);
    std::string any = settings.anyScheme ? ProxyUri(*settings.anyScheme) : std::string();
    ProxySettingsPtr proxy(webkit_network_proxy_settings_new(settings.anyScheme ? any.c_str() : nullptr, ignore.data()));
    for (const auto& [scheme, server] : settings.byScheme)
        webkit_network_proxy_settings_add_proxy_for_scheme(proxy.get(), text::ToUtf8(scheme).c_str(),
                                                           ProxyUri(server).c_str());
    webkit_website_data_manager_set_network_proxy_settings(manager, WEBKIT_NETWORK_PROXY_MODE_CUSTOM, proxy.get());
    return true;
}

std::optional<DesktopProxyConfiguration> ReadDesktopProxyConfiguration() {
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    if (!source) return std::nullopt;
    GSettingsSchema* schema = g_settings_schema_source_lookup(source, "org.gnome.system.proxy", TRUE);
    if (!schema) return std::nullopt;
    g_settings_schema_unref(schema);
    auto settings = GObjectPtr<GSettings>::Adopt(g_settings_new("org.gnome.system.proxy"));
    DesktopProxyConfiguration config;
    GCharPtr mode(g_settings_get_string(settings.get(), "mode"));
    std::string modeText = mode ? mode.get() : "";
    if (modeText == "manual") {
        config.mode = DesktopProxyConfiguration::Mode::Manual;
        const std::pair<const char*, std::u16string*> protocols[] = {
            {"http", &config.http}, {"https", &config.https}, {"ftp", &config.ftp}, {"socks", &config.socks}};
        for (const auto& [name, target] : protocols) {
            auto child = GObjectPtr<GSettings>::Adopt(g_settings_get_child(settings.get(), name));
            if (child) *target = HostAndPort(child.get());
        }
        gchar** hosts = g_settings_get_strv(settings.get(), "ignore-hosts");
        for (gchar** host = hosts; host && *host; ++host) config.bypass.push_back(text::FromUtf8(*host));
        g_strfreev(hosts);
    } else if (modeText == "auto") {
        config.mode = DesktopProxyConfiguration::Mode::Automatic;
        GCharPtr url(g_settings_get_string(settings.get(), "autoconfig-url"));
        config.autoConfigUrl = url ? text::FromUtf8(url.get()) : std::u16string();
    }
    return config;
}

}  // namespace platform::desktop
