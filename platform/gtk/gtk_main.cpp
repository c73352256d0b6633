// The program's entry on the desktop: GTK first, then the backend, then the application.
#include "gtk_toolkit.h"

#include <memory>

#include "afx/app.h"
#include "gtk_backend.h"
#include "sandbox_folders.h"

int main(int argc, char** argv) {
    platform::desktop::PrepareSandboxFolders();
    gtk_init(&argc, &argv);
    platform::InstallBackend(std::make_unique<platform::desktop::GtkBackend>());
    return AfxWinMain(argc, argv);
}
