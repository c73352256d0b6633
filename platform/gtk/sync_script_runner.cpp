#include "sync_script_runner.h"

namespace platform::desktop {
namespace {

constexpr guint kGiveUpMilliseconds = 10000;

struct PendingScript {
    bool done = false;
    GObjectPtr<JSCValue> value;
};

void OnFinished(GObject* source, GAsyncResult* result, gpointer data) {
    auto* pending = static_cast<PendingScript*>(data);
    GError* error = nullptr;
    JSCValue* value = webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, &error);
    if (error) g_error_free(error);
    pending->value = GObjectPtr<JSCValue>::Adopt(value);
    pending->done = true;
}

gboolean OnGiveUp(gpointer cancellable) {
    g_cancellable_cancel(G_CANCELLABLE(cancellable));
    return G_SOURCE_REMOVE;
}

}  // namespace

GObjectPtr<JSCValue> RunScriptAndWait(WebKitWebView* view, const std::string& script, const char* world) {
    auto keep = GObjectPtr<WebKitWebView>::Retain(view);  // the view may be closed meanwhile
    auto cancellable = GObjectPtr<GCancellable>::Adopt(g_cancellable_new());
    PendingScript pending;
    guint timer = g_timeout_add(kGiveUpMilliseconds, OnGiveUp, cancellable.get());
    webkit_web_view_evaluate_javascript(view, script.data(), static_cast<gssize>(script.size()), world, nullptr,
                                        cancellable.get(), OnFinished, &pending);
    // The callback always comes, with an error when cancelled, so pending outlives it.
    while (!pending.done) g_main_context_iteration(nullptr, TRUE);
    if (!g_cancellable_is_cancelled(cancellable.get())) g_source_remove(timer);
    return std::move(pending.value);
}

}  // namespace platform::desktop
