#include "internet_options_dialog.h"

#include "webkit_toolkit.h"

#include <cstdlib>
#include <memory>
#include <string>

#include "gobject_ptr.h"
#include "gtk_backend.h"
#include "web_context.h"

namespace platform::desktop {
namespace {

constexpr char kTitle[] = "Internet Properties";

std::string EnvironmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? value : "(not set)";
}

// The desktop's own proxy mode, where the desktop keeps one.
std::string DesktopProxyMode() {
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    GSettingsSchema* schema = source ? g_settings_schema_source_lookup(source, "org.gnome.system.proxy", TRUE) : nullptr;
    if (!schema) return "no desktop proxy settings on this desktop";
    g_settings_schema_unref(schema);
    auto settings = GObjectPtr<GSettings>::Adopt(g_settings_new("org.gnome.system.proxy"));
    GCharPtr mode(g_settings_get_string(settings.get(), "mode"));
    return mode ? mode.get() : "";
}

const char* TlsPolicyText(WebKitTLSErrorsPolicy policy) {
    return policy == WEBKIT_TLS_ERRORS_POLICY_IGNORE ? "ignored" : "the page is not loaded";
}

void AddSection(GtkGrid* grid, int* row, const char* heading) {
    GtkWidget* label = gtk_label_new(nullptr);
    GCharPtr markup(g_markup_printf_escaped("<b>%s</b>", heading));
    gtk_label_set_markup(GTK_LABEL(label), markup.get());
    gtk_widget_set_halign(label, GTK_ALIGN_START);
    gtk_widget_set_margin_top(label, *row ? 12 : 0);
    gtk_grid_attach(grid, label, 0, (*row)++, 2, 1);
}

GtkWidget* AddLine(GtkGrid* grid, int* row, const char* name, const std::string& value) {
    GtkWidget* key = gtk_label_new(name);
    gtk_widget_set_halign(key, GTK_ALIGN_START);
    GtkWidget* text = gtk_label_new(value.c_str());
    gtk_widget_set_halign(text, GTK_ALIGN_START);
    gtk_label_set_selectable(GTK_LABEL(text), TRUE);
    gtk_grid_attach(grid, key, 0, *row, 1, 1);
    gtk_grid_attach(grid, text, 1, (*row)++, 1, 1);
    return text;
}

// Fills in the number of sites with stored cookies once the engine has counted them; the
// label may be gone by then (the dialog closed), so it is held weakly.
struct CookieCount {
    GWeakRef label;
};

void OnCookiesFetched(GObject* manager, GAsyncResult* result, gpointer data) {
    std::unique_ptr<CookieCount> count(static_cast<CookieCount*>(data));
    GError* error = nullptr;
    GList* sites = webkit_website_data_manager_fetch_finish(WEBKIT_WEBSITE_DATA_MANAGER(manager), result, &error);
    auto label = GObjectPtr<GtkLabel>::Adopt(static_cast<GtkLabel*>(g_weak_ref_get(&count->label)));
    g_weak_ref_clear(&count->label);
    std::string text = error ? "unknown" : std::to_string(g_list_length(sites)) + " site(s)";
    if (error) g_error_free(error);
    g_list_free_full(sites, reinterpret_cast<GDestroyNotify>(webkit_website_data_unref));
    if (label) gtk_label_set_text(label.get(), text.c_str());
}

}  // namespace

void RunInternetOptionsDialog(GtkWindow* parent) {
    WebKitWebsiteDataManager* manager = webkit_web_context_get_website_data_manager(SharedWebContext());
    GtkWidget* dialog = gtk_dialog_new_with_buttons(kTitle, parent,
                                                    static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL |
                                                                                GTK_DIALOG_DESTROY_WITH_PARENT),
                                                    "Close", GTK_RESPONSE_CLOSE, nullptr);
    auto* grid = GTK_GRID(gtk_grid_new());
    gtk_grid_set_row_spacing(grid, 4);
    gtk_grid_set_column_spacing(grid, 12);
    gtk_container_set_border_width(GTK_CONTAINER(grid), 12);
    int row = 0;

    AddSection(grid, &row, "Connections");
    AddLine(grid, &row, "Desktop proxy mode:", DesktopProxyMode());
    AddLine(grid, &row, "http_proxy:", EnvironmentValue("http_proxy"));
    AddLine(grid, &row, "https_proxy:", EnvironmentValue("https_proxy"));
    AddLine(grid, &row, "no_proxy:", EnvironmentValue("no_proxy"));
    AddLine(grid, &row, "This program:", "File > Proxy settings... chooses the proxy of this program");

    AddSection(grid, &row, "Browsing history");
    const char* data = manager ? webkit_website_data_manager_get_base_data_directory(manager) : nullptr;
    const char* cache = manager ? webkit_website_data_manager_get_base_cache_directory(manager) : nullptr;
    AddLine(grid, &row, "Website data folder:", data ? data : "(kept in memory only)");
    AddLine(grid, &row, "Cache folder:", cache ? cache : "(kept in memory only)");
    GtkWidget* cookies = AddLine(grid, &row, "Cookies stored for:", "counting...");
    AddLine(grid, &row, "Delete:", "File > Clear cache deletes the cookies and the cached files");

    AddSection(grid, &row, "Security");
    if (manager) {
        AddLine(grid, &row, "Certificate errors:", TlsPolicyText(webkit_website_data_manager_get_tls_errors_policy(manager)));
        AddLine(grid, &row, "Tracking prevention:", webkit_website_data_manager_get_itp_enabled(manager) ? "on" : "off");
    }

    GtkWidget* content = gtk_dialog_get_content_area(GTK_DIALOG(dialog));
    gtk_box_pack_start(GTK_BOX(content), GTK_WIDGET(grid), TRUE, TRUE, 0);
    gtk_widget_show_all(dialog);

    if (manager) {
        auto* count = new CookieCount;
        g_weak_ref_init(&count->label, cookies);
        webkit_website_data_manager_fetch(manager, WEBKIT_WEBSITE_DATA_COOKIES, nullptr, OnCookiesFetched, count);
    }
    gtk_dialog_run(GTK_DIALOG(dialog));
    gtk_widget_destroy(dialog);
}

void GtkBackend::ShowInternetOptions(HWND owner) {
    RunInternetOptionsDialog(owner ? presenter_.TopLevelWidget(owner) : presenter_.CurrentTopLevel());
}

}  // namespace platform::desktop
