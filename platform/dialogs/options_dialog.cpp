#include "platform/dialogs/options_dialog.h"

#include <gtk/gtk.h>

#include "platform/dialogs/gtk_dialogs.h"
#include "platform/win32/window.h"

namespace win32 {

namespace {

GtkWidget* AddCheckBox(GtkWidget* box, const char* label, bool active) {
    GtkWidget* check = gtk_check_button_new_with_label(label);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(check), active ? TRUE : FALSE);
    gtk_box_pack_start(GTK_BOX(box), check, FALSE, FALSE, 0);
    return check;
}

GtkWidget* AddDebugLevelList(GtkWidget* box, int selection) {
    GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 6);
    gtk_box_pack_start(GTK_BOX(row), gtk_label_new("Debug Level:"), FALSE, FALSE, 0);
    GtkWidget* list = gtk_combo_box_text_new();
    for (const char* entry : kDebugLevelEntries) {
        gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(list), entry);
    }
    gtk_combo_box_set_active(GTK_COMBO_BOX(list), selection);
    gtk_box_pack_start(GTK_BOX(row), list, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(box), row, FALSE, FALSE, 0);
    return list;
}

bool IsChecked(GtkWidget* check) {
    return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(check)) != FALSE;
}

}  // namespace

int RunOptionsDialog(HWND /*owner*/, OptionsDialogControls& controls) {
    if (!CanShowGtkDialogs()) {
        return IDCANCEL;
    }
    GtkWidget* dialog = gtk_dialog_new_with_buttons("Options", nullptr, GTK_DIALOG_MODAL, "OK",
                                                    GTK_RESPONSE_OK, "Cancel", GTK_RESPONSE_CANCEL, nullptr);
    GtkWidget* content = gtk_dialog_get_content_area(GTK_DIALOG(dialog));
    gtk_container_set_border_width(GTK_CONTAINER(content), 10);
    gtk_box_set_spacing(GTK_BOX(content), 6);
    GtkWidget* boundingBoxes = AddCheckBox(content, "Draw Bounding Boxes", controls.drawBoundingBoxes);
    GtkWidget* eggs = AddCheckBox(content, "Draw Eggs", controls.drawEggs);
    GtkWidget* shadows = AddCheckBox(content, "Render Shadows", controls.renderShadows);
    GtkWidget* debugLevel = AddDebugLevelList(content, controls.debugLevelSelection);
    gtk_widget_show_all(dialog);

    const bool accepted = gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_OK;
    if (accepted) {
        controls.drawBoundingBoxes = IsChecked(boundingBoxes);
        controls.drawEggs = IsChecked(eggs);
        controls.renderShadows = IsChecked(shadows);
        controls.debugLevelSelection = gtk_combo_box_get_active(GTK_COMBO_BOX(debugLevel));
    }
    DestroyGtkDialog(dialog);
    return accepted ? IDOK : IDCANCEL;
}

}  // namespace win32
