#!/usr/bin/env bash
# Start-up bench: time from launch to the first completed load of a local page, and the
# resident memory at that moment, for Pelmarin and for a bare GTK + WebKitGTK window
# built here, on this machine, in one run.
#
#   bench/startup.sh [build folder (default build/)] [runs per program (default 7)]
#
# Builds build/ (Release) when it has no Pelmarin yet. A measurement, not a test: it
# prints the medians and the ratio Pelmarin/bare; the target is at most 1.2 on both.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
build="$(realpath -m "${1:-$root/build}")"
runs="${2:-7}"

if [ ! -x "$build/Pelmarin" ]; then
  # -O2 as scripts/start.sh builds it (GCC 12 misreports warnings at -O3).
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DPELMARIN_DESKTOP=ON \
    "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG" "-DCMAKE_C_FLAGS_RELEASE=-O2 -DNDEBUG"
  cmake --build "$build" -j 2
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# The bare window: the engine's view in a top-level window with the engine's process
# sandbox on, loading the address given as its only argument.
cat > "$work/bare_window.c" <<'C'
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

static void on_destroy(GtkWidget *window, gpointer data)
{
    (void)window;
    (void)data;
    gtk_main_quit();
}

int main(int argc, char **argv)
{
    gtk_init(&argc, &argv);
    if (argc < 2) {
        g_printerr("usage: %s ADDRESS\n", argv[0]);
        return 2;
    }

    WebKitWebContext *context = webkit_web_context_get_default();
    webkit_web_context_set_sandbox_enabled(context, TRUE);

    GtkWidget *window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), "Bare WebKitGTK window");
    gtk_window_set_default_size(GTK_WINDOW(window), 1000, 700);
    g_signal_connect(window, "destroy", G_CALLBACK(on_destroy), NULL);

    GtkWidget *view = webkit_web_view_new_with_context(context);
    gtk_container_add(GTK_CONTAINER(window), view);
    webkit_web_view_load_uri(WEBKIT_WEB_VIEW(view), argv[1]);

    gtk_widget_show_all(window);
    gtk_main();
    return 0;
}
C
# shellcheck disable=SC2046 # pkg-config prints several words on purpose
cc -O2 -Wall -Wextra -o "$work/bare_window" "$work/bare_window.c" $(pkg-config --cflags --libs webkit2gtk-4.1)

exec /usr/bin/python3 "$here/measure_startup.py" --runs "$runs" \
  --bare "$work/bare_window" --pelmarin "$build/Pelmarin" --work "$work"
