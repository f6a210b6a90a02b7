#pragma once
// For the GTK dialogs only: whether a dialog can be shown at all.

typedef struct _GtkWidget GtkWidget;

namespace win32 {

// False when headless (ZUMBO_HEADLESS=1) or when GTK finds no display.
bool CanShowGtkDialogs();
// Destroys a dialog and lets GTK take it off the screen before the caller goes on.
void DestroyGtkDialog(GtkWidget* dialog);

}  // namespace win32
