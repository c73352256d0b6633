// Clearing the engine's stored website data (cookies, cache) for every view of the program.
#include "gtk_backend.h"

#include "web_context.h"

namespace platform::desktop {
namespace {

WebKitWebsiteDataTypes DataTypesFor(unsigned kinds) {
    unsigned types = 0;
    if (kinds & kWebsiteCookies) types |= WEBKIT_WEBSITE_DATA_COOKIES;
    if (kinds & kWebsiteCache) types |= WEBKIT_WEBSITE_DATA_MEMORY_CACHE | WEBKIT_WEBSITE_DATA_DISK_CACHE;
    return static_cast<WebKitWebsiteDataTypes>(types);
}

void OnCleared(GObject* manager, GAsyncResult* result, gpointer) {
    GError* error = nullptr;
    webkit_website_data_manager_clear_finish(WEBKIT_WEBSITE_DATA_MANAGER(manager), result, &error);
    // Nobody waits for the result, as for the system's own clearing process.
    if (error) g_error_free(error);
}

}  // namespace

bool GtkBackend::ClearWebsiteData(unsigned kinds) {
    WebKitWebsiteDataTypes types = DataTypesFor(kinds);
    if (types == 0) return true;
    WebKitWebsiteDataManager* manager = webkit_web_context_get_website_data_manager(SharedWebContext());
    if (!manager) return false;
    // A time span of 0 clears everything, however old.
    webkit_website_data_manager_clear(manager, types, 0, nullptr, OnCleared, nullptr);
    return true;
}

}  // namespace platform::desktop
