#include "platform/dialogs/volume_dialog.h"

#include <gtk/gtk.h>

#ifdef GDK_WINDOWING_X11
#include <gdk/gdkx.h>
#endif

#include "platform/dialogs/gtk_dialogs.h"

namespace win32 {

namespace {

constexpr int kMinimumVolume = 0;
constexpr int kMaximumVolume = 100;

struct SliderState {
    GtkWidget* text = nullptr;
    VolumeDialogEvents* events = nullptr;
};

int PositionOf(GtkRange* slider) {
    return static_cast<int>(gtk_range_get_value(slider) + 0.5);
}

void OnSliderMoved(GtkRange* slider, gpointer data) {
    auto* state = static_cast<SliderState*>(data);
    const std::string text = state->events->OnVolumeScroll(PositionOf(slider));
    gtk_label_set_text(GTK_LABEL(state->text), text.c_str());
}

// Keeps the dialog above the owner, as a dialog owned by another program's window.
void SetOwner(GtkWidget* dialog, std::optional<std::uint64_t> owner) {
#ifdef GDK_WINDOWING_X11
    GdkDisplay* display = gtk_widget_get_display(dialog);
    if (!owner || !GDK_IS_X11_DISPLAY(display)) {
        return;
    }
    gtk_widget_realize(dialog);
    gdk_x11_display_error_trap_push(display);
    GdkWindow* foreign = gdk_x11_window_foreign_new_for_display(display, Window(*owner));
    if (foreign) {
        gdk_window_set_transient_for(gtk_widget_get_window(dialog), foreign);
        g_object_unref(foreign);
    }
    gdk_x11_display_error_trap_pop_ignored(display);
#else
    (void)dialog;
    (void)owner;
#endif
}

GtkWidget* AddVolumeRow(GtkWidget* content, int volume, const std::string& text, SliderState& state) {
    GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 6);
    gtk_box_pack_start(GTK_BOX(row), gtk_label_new("Music Volume:"), FALSE, FALSE, 0);
    GtkWidget* slider =
        gtk_scale_new_with_range(GTK_ORIENTATION_HORIZONTAL, kMinimumVolume, kMaximumVolume, 1);
    gtk_scale_set_draw_value(GTK_SCALE(slider), FALSE);
    gtk_widget_set_size_request(slider, 172, -1);
    gtk_range_set_value(GTK_RANGE(slider), volume);
    gtk_box_pack_start(GTK_BOX(row), slider, TRUE, TRUE, 0);
    gtk_widget_set_name(slider, kVolumeSliderName);
    state.text = gtk_label_new(text.c_str());
    gtk_widget_set_name(state.text, kVolumeTextName);
    gtk_label_set_width_chars(GTK_LABEL(state.text), 6);
    gtk_box_pack_start(GTK_BOX(row), state.text, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(content), row, FALSE, FALSE, 0);
    // Connected after the initial position is set: only the user's moves report.
    g_signal_connect(slider, "value-changed", G_CALLBACK(OnSliderMoved), &state);
    return slider;
}

}  // namespace

VolumeDialogResult RunVolumeDialog(std::optional<std::uint64_t> owner, int volume, const std::string& text,
                                   VolumeDialogEvents& events) {
    if (!CanShowGtkDialogs()) {
        return VolumeDialogResult::NotShown;
    }
    GtkWidget* dialog = gtk_dialog_new_with_buttons(kVolumeDialogTitle, nullptr, GTK_DIALOG_MODAL, "OK",
                                                    GTK_RESPONSE_OK, "Cancel", GTK_RESPONSE_CANCEL, nullptr);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
    GtkWidget* content = gtk_dialog_get_content_area(GTK_DIALOG(dialog));
    gtk_container_set_border_width(GTK_CONTAINER(content), 10);
    SliderState state{nullptr, &events};
    GtkWidget* slider = AddVolumeRow(content, volume, text, state);
    SetOwner(dialog, owner);
    gtk_widget_show_all(dialog);

    const bool accepted = gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_OK;
    if (accepted) {
        events.OnOk(PositionOf(GTK_RANGE(slider)));
    }
    DestroyGtkDialog(dialog);
    return accepted ? VolumeDialogResult::Ok : VolumeDialogResult::Cancel;
}

}  // namespace win32
