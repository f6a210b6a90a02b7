#include "platform/dialogs/gtk_dialogs.h"

#include <gtk/gtk.h>

#include "platform/win32/files.h"

namespace win32 {

bool CanShowGtkDialogs() {
    return GetEnvironmentVariable("ZUMBO_HEADLESS") != "1" && gtk_init_check(nullptr, nullptr) != FALSE;
}

void DestroyGtkDialog(GtkWidget* dialog) {
    gtk_widget_destroy(dialog);
    while (gtk_events_pending()) {
        gtk_main_iteration();
    }
}

}  // namespace win32
