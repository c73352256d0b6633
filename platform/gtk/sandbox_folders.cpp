#include "sandbox_folders.h"

#include <glib.h>
#include <glib/gstdio.h>

#include <string>

namespace platform::desktop {
namespace {

// The folder the toolkit would use for this variable: its value when absolute, else the
// default below the home folder.
std::string EffectiveFolder(const char* variable, const char* homeDefault) {
    const char* value = g_getenv(variable);
    if (value && g_path_is_absolute(value)) return value;
    return std::string(g_get_home_dir()) + "/" + homeDefault;
}

bool Usable(const std::string& folder) {
    return g_mkdir_with_parents(folder.c_str(), 0700) == 0 && g_file_test(folder.c_str(), G_FILE_TEST_IS_DIR);
}

// Makes the toolkit remember a private folder for variable, then puts the variable back.
void Substitute(const char* variable, const gchar* (*ask)()) {
    const char* before = g_getenv(variable);
    std::string original = before ? before : "";
    GError* error = nullptr;
    gchar* privateFolder = g_dir_make_tmp("pelmarin-XXXXXX", &error);
    if (!privateFolder) {
        g_clear_error(&error);
        return;
    }
    g_setenv(variable, privateFolder, TRUE);
    ask();  // the toolkit keeps the first answer for the life of the process
    if (before) g_setenv(variable, original.c_str(), TRUE);
    else g_unsetenv(variable);
    g_printerr("Pelmarin: %s (%s) cannot be used; the browser engine keeps its files in %s\n", variable,
               original.c_str(), privateFolder);
    g_free(privateFolder);
}

}  // namespace

void PrepareSandboxFolders() {
    if (!Usable(EffectiveFolder("XDG_CONFIG_HOME", ".config"))) Substitute("XDG_CONFIG_HOME", g_get_user_config_dir);
    if (!Usable(EffectiveFolder("XDG_CACHE_HOME", ".cache"))) Substitute("XDG_CACHE_HOME", g_get_user_cache_dir);
    if (!Usable(EffectiveFolder("XDG_DATA_HOME", ".local/share"))) Substitute("XDG_DATA_HOME", g_get_user_data_dir);
}

}  // namespace platform::desktop
