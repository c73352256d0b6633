#include "web_context.h"

#include "resource_scheme.h"

namespace platform::desktop {

WebKitWebContext* SharedWebContext() {
    static WebKitWebContext* const context = [] {
        WebKitWebContext* made = webkit_web_context_get_default();
        webkit_web_context_set_sandbox_enabled(made, TRUE);
        const gchar* languages[] = {"en-US", nullptr};
        webkit_web_context_set_preferred_languages(made, languages);
        RegisterResourceScheme(made);
        return made;
    }();
    return context;
}

}  // namespace platform::desktop
