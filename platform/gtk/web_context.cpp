#include "web_context.h"

#include "flash_player.h"
#include "resource_scheme.h"

namespace platform::desktop {

WebKitWebContext* SharedWebContext() {
    static WebKitWebContext* const context = [] {
        // The DMA-BUF renderer left stale areas where a menu or a dialog had been, and
        // software drawing missed the first paint of a page shown late (both measured
        // under X without a GPU); the shared-memory path shows both right. A value the
        // user set is kept.
        g_setenv("WEBKIT_DISABLE_DMABUF_RENDERER", "1", FALSE);
        WebKitWebContext* made = webkit_web_context_get_default();
        webkit_web_context_set_sandbox_enabled(made, TRUE);
        // A certificate error stops the load (the engine's default, kept whatever changes it).
        webkit_website_data_manager_set_tls_errors_policy(webkit_web_context_get_website_data_manager(made),
                                                          WEBKIT_TLS_ERRORS_POLICY_FAIL);
        const gchar* languages[] = {"en-US", nullptr};
        webkit_web_context_set_preferred_languages(made, languages);
        RegisterResourceScheme(made);
        RegisterFlashPlayerScheme(made);
        return made;
    }();
    return context;
}

}  // namespace platform::desktop
