#include "scr/host_options_dlg.h"

#include <gtest/gtest.h>
// X11's macros after the test framework, whose names they would replace.
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include "platform/win32/registry.h"
#include "tests/scr/host_test_support.h"
#include "tests/scr/x11_test_window.h"

namespace {

using namespace zumbo::test;
using win32::HKEY_CURRENT_USER;

constexpr const char* kHostKey = "SOFTWARE\\Kervala Studio\\Zumbo ScreenSaver\\1.0";

void StoreValue(DWORD type, const std::vector<BYTE>& data) {
    HKEY key = nullptr;
    ASSERT_EQ(win32::RegCreateKeyEx(HKEY_CURRENT_USER, kHostKey, &key), ERROR_SUCCESS);
    ASSERT_EQ(win32::RegSetValueEx(key, "MusicVolume", type, data.data(), DWORD(data.size())), ERROR_SUCCESS);
    win32::RegCloseKey(key);
}

// The stored volume as REG_DWORD, or -1 when there is none of that type.
long StoredVolume() {
    HKEY key = nullptr;
    if (win32::RegOpenKeyEx(HKEY_CURRENT_USER, kHostKey, &key) != ERROR_SUCCESS) {
        return -1;
    }
    BYTE data[8] = {};
    DWORD type = 0;
    DWORD size = sizeof data;
    const LONG status = win32::RegQueryValueEx(key, "MusicVolume", &type, data, &size);
    win32::RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != win32::REG_DWORD || size != 4) {
        return -1;
    }
    return long(data[0]) | long(data[1]) << 8 | long(data[2]) << 16 | long(data[3]) << 24;
}

class HostOptionsTest : public ::testing::Test {
protected:
    TemporaryMachine machine;
    CHostOptionsDlg dialog;
};

TEST_F(HostOptionsTest, WithoutStoredVolumeOpensAtFifty) {
    dialog.OnInitDialog();
    EXPECT_EQ(dialog.Volume(), 50);
    EXPECT_EQ(dialog.VolumeText(), "50 %");
}

TEST_F(HostOptionsTest, StoredDwordIsShownOtherTypesAreIgnored) {
    StoreValue(win32::REG_DWORD, {100, 0, 0, 0});
    dialog.OnInitDialog();
    EXPECT_EQ(dialog.Volume(), 100);
    EXPECT_EQ(dialog.VolumeText(), "100 %");

    StoreValue(win32::REG_SZ, {'7', '0', 0});
    dialog.OnInitDialog();
    EXPECT_EQ(dialog.Volume(), 50);

    StoreValue(win32::REG_DWORD, {0, 0, 0, 0});
    dialog.OnInitDialog();
    EXPECT_EQ(dialog.VolumeText(), "0 %");
}

TEST_F(HostOptionsTest, ScrollUpdatesTextAndOnlyOkStores) {
    dialog.OnInitDialog();
    EXPECT_EQ(dialog.OnVolumeScroll(73), "73 %");
    EXPECT_EQ(dialog.Volume(), 73);
    // Closing with Cancel is closing without OnOk: nothing is stored.
    EXPECT_EQ(StoredVolume(), -1);
    dialog.OnOk(20);
    EXPECT_EQ(StoredVolume(), 20);
    EXPECT_EQ(dialog.VolumeText(), "20 %");
}

// ---- The GTK dialog itself (needs a display) ----

struct DialogScript {
    DialogScript(double slide, int answer) : slideTo(slide), response(answer) {}

    double slideTo = 0;
    int response = GTK_RESPONSE_CANCEL;
    std::string title;
    std::string textAtOpening;
    std::string textAfterSliding;
    double positionAtOpening = -1;
    std::uint64_t transientFor = 0;
};

GtkWidget* FindByName(GtkWidget* widget, const char* name) {
    if (std::string_view(gtk_widget_get_name(widget)) == name) {
        return widget;
    }
    GtkWidget* found = nullptr;
    if (GTK_IS_CONTAINER(widget)) {
        GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
        for (GList* child = children; child && !found; child = child->next) {
            found = FindByName(GTK_WIDGET(child->data), name);
        }
        g_list_free(children);
    }
    return found;
}

std::string VolumeText(GtkWidget* dialog) {
    GtkWidget* text = FindByName(dialog, win32::kVolumeTextName);
    return text && GTK_IS_LABEL(text) ? gtk_label_get_text(GTK_LABEL(text)) : "<no text>";
}

// Acts like a user once the dialog is on screen: reads it, moves the slider, answers.
gboolean PlayScript(gpointer data) {
    auto* script = static_cast<DialogScript*>(data);
    GList* windows = gtk_window_list_toplevels();
    GtkWidget* dialog = nullptr;
    for (GList* window = windows; window; window = window->next) {
        if (GTK_IS_DIALOG(window->data) && gtk_widget_get_visible(GTK_WIDGET(window->data))) {
            dialog = GTK_WIDGET(window->data);
        }
    }
    g_list_free(windows);
    if (!dialog) {
        return G_SOURCE_CONTINUE;
    }
    script->title = gtk_window_get_title(GTK_WINDOW(dialog));
    Window owner = None;
    GdkWindow* native = gtk_widget_get_window(dialog);
    if (native && GDK_IS_X11_WINDOW(native) &&
        XGetTransientForHint(GDK_WINDOW_XDISPLAY(native), GDK_WINDOW_XID(native), &owner)) {
        script->transientFor = owner;
    }
    GtkWidget* slider = FindByName(dialog, win32::kVolumeSliderName);
    script->textAtOpening = VolumeText(dialog);
    if (slider && GTK_IS_RANGE(slider)) {
        script->positionAtOpening = gtk_range_get_value(GTK_RANGE(slider));
        gtk_range_set_value(GTK_RANGE(slider), script->slideTo);
    }
    script->textAfterSliding = VolumeText(dialog);
    gtk_dialog_response(GTK_DIALOG(dialog), script->response);
    return G_SOURCE_REMOVE;
}

class HostOptionsGtkTest : public HostOptionsTest {
protected:
    void SetUp() override {
        if (!gtk_init_check(nullptr, nullptr)) {
            GTEST_SKIP() << "no display";
        }
    }

    // Shows the real dialog (not headless) and lets the script answer it.
    win32::VolumeDialogResult Show(DialogScript& script, std::optional<std::uint64_t> owner = std::nullopt) {
        ScopedEnvironmentVariable windowed("ZUMBO_HEADLESS", "0");
        g_timeout_add(20, PlayScript, &script);
        return dialog.DoModal(owner);
    }
};

TEST_F(HostOptionsGtkTest, OkStoresTheSliderPosition) {
    StoreValue(win32::REG_DWORD, {100, 0, 0, 0});
    DialogScript script(64, GTK_RESPONSE_OK);
    EXPECT_EQ(win32::VolumeDialogResult::Ok, Show(script));
    EXPECT_EQ(script.title, "Zumbo Screen Saver Options");
    EXPECT_EQ(script.positionAtOpening, 100.0);
    EXPECT_EQ(script.textAtOpening, "100 %");
    EXPECT_EQ(script.textAfterSliding, "64 %");
    EXPECT_EQ(StoredVolume(), 64);
}

TEST_F(HostOptionsGtkTest, CancelAfterMovingTheSliderStoresNothing) {
    DialogScript script(10, GTK_RESPONSE_CANCEL);
    EXPECT_EQ(win32::VolumeDialogResult::Cancel, Show(script));
    EXPECT_EQ(script.positionAtOpening, 50.0);
    EXPECT_EQ(script.textAtOpening, "50 %");
    EXPECT_EQ(script.textAfterSliding, "10 %");
    EXPECT_EQ(StoredVolume(), -1);
}

TEST_F(HostOptionsGtkTest, SliderStaysWithinZeroToHundred) {
    DialogScript script(250, GTK_RESPONSE_OK);
    EXPECT_EQ(win32::VolumeDialogResult::Ok, Show(script));
    EXPECT_EQ(script.textAfterSliding, "100 %");
    EXPECT_EQ(StoredVolume(), 100);
}

TEST_F(HostOptionsGtkTest, DialogStaysAboveTheOwnerWindow) {
    X11TestWindow owner(200, 100, 0x808080);
    ASSERT_TRUE(owner.Valid());
    DialogScript script(50, GTK_RESPONSE_CANCEL);
    EXPECT_EQ(win32::VolumeDialogResult::Cancel, Show(script, owner.Id()));
    EXPECT_EQ(script.transientFor, owner.Id());

    // A window that is not there leaves the dialog without an owner, and working.
    const std::uint64_t gone = owner.Id();
    owner.Destroy();
    DialogScript alone(30, GTK_RESPONSE_OK);
    EXPECT_EQ(win32::VolumeDialogResult::Ok, Show(alone, gone));
    EXPECT_EQ(alone.textAfterSliding, "30 %");
}

}  // namespace
