#include "desktop_launcher.h"

#include "gtk_toolkit.h"

#include "address_scheme.h"
#include "crt/crt.h"
#include "gobject_ptr.h"
#include "paths.h"

namespace platform::desktop {

std::optional<std::string> DesktopArgumentFor(std::u16string_view target) {
    if (target.empty() || target.find(u'\0') != std::u16string_view::npos) return std::nullopt;
    if (HasAddressScheme(target)) return text::ToUtf8(target);
    std::optional<std::string> path = ToHostPath(target);
    if (!path || g_path_is_absolute(path->c_str())) return path;
    // A relative path is made absolute, so that nothing the program passes can read as an
    // option of xdg-open ("-x").
    GCharPtr here(g_get_current_dir());
    GCharPtr absolute(g_build_filename(here.get(), path->c_str(), nullptr));
    return std::string(absolute.get());
}

bool LaunchWithDesktop(const std::string& argument) {
    // "--" is not passed: xdg-open takes exactly one argument and treats it as a file or URL.
    gchar* argv[] = {const_cast<gchar*>("xdg-open"), const_cast<gchar*>(argument.c_str()), nullptr};
    GError* error = nullptr;
    gboolean started = g_spawn_async(nullptr, argv, nullptr, G_SPAWN_SEARCH_PATH, nullptr, nullptr, nullptr, &error);
    if (error) g_error_free(error);
    return started != FALSE;
}

}  // namespace platform::desktop
