#include "config/gtk/gtk_dialog_view.h"
#include "config/quote.h"

#include <gdk/gdkkeysyms.h>
#include <gdk/gdkx.h>

#include <algorithm>
#include <cstdio>
#include <utility>

namespace tavrik {

namespace {

// The template is laid out in dialog units; two pixels a unit gives the default GTK font
// about the room the template gave its own.
constexpr int kPixelsPerUnit = 2;
constexpr int kTemplateWidth = 217;
constexpr int kTemplateHeight = 257;

constexpr const char* kCss =
    "button.tavrik-arrow { min-height: 0; min-width: 0; padding: 0; }\n"
    "frame.tavrik-count > border { border-style: inset; }\n";

void place(GtkWidget* fixed, GtkWidget* widget, int x, int y, int w, int h) {
  gtk_widget_set_size_request(widget, w * kPixelsPerUnit, h * kPixelsPerUnit);
  gtk_fixed_put(GTK_FIXED(fixed), widget, x * kPixelsPerUnit, y * kPixelsPerUnit);
}

void addGroupBox(GtkWidget* fixed, const char* text, int x, int y, int w, int h) {
  place(fixed, gtk_frame_new(text), x, y, w, h);
}

// A centred text that is wider than its box grows to both sides, not only to the right.
GtkWidget* addLabel(GtkWidget* fixed, const char* text, int x, int y, int w, int h) {
  GtkWidget* label = gtk_label_new(text);
  gtk_label_set_xalign(GTK_LABEL(label), 0.5f);
  gtk_label_set_yalign(GTK_LABEL(label), 0.5f);
  int natural = 0;
  gtk_widget_get_preferred_width(label, nullptr, &natural);
  const int width = std::max(w * kPixelsPerUnit, natural);
  gtk_widget_set_size_request(label, width, h * kPixelsPerUnit);
  gtk_fixed_put(GTK_FIXED(fixed), label, (2 * x + w) * kPixelsPerUnit / 2 - width / 2,
                y * kPixelsPerUnit);
  return label;
}

// The arrow glyph is drawn rather than taken from a font or an icon theme, which a bare
// machine may not have.
gboolean drawArrow(GtkWidget* area, cairo_t* cr, gpointer up) {
  const double w = gtk_widget_get_allocated_width(area);
  const double h = gtk_widget_get_allocated_height(area);
  GdkRGBA colour;
  gtk_style_context_get_color(gtk_widget_get_style_context(area), gtk_widget_get_state_flags(area),
                              &colour);
  gdk_cairo_set_source_rgba(cr, &colour);
  const double half = std::min(w, h * 2) * 0.25;
  const double tip = up != nullptr ? -half / 2 : half / 2;
  cairo_move_to(cr, w / 2 - half, h / 2 - tip);
  cairo_line_to(cr, w / 2 + half, h / 2 - tip);
  cairo_line_to(cr, w / 2, h / 2 + tip);
  cairo_close_path(cr);
  cairo_fill(cr);
  return FALSE;
}

GtkWidget* arrowButton(bool up) {
  GtkWidget* button = gtk_button_new();
  gtk_style_context_add_class(gtk_widget_get_style_context(button), "tavrik-arrow");
  GtkWidget* area = gtk_drawing_area_new();
  g_signal_connect(area, "draw", G_CALLBACK(drawArrow),
                   up ? GINT_TO_POINTER(1) : static_cast<gpointer>(nullptr));
  gtk_container_add(GTK_CONTAINER(button), area);
  // Return stays with OK, the default button, as in the template, where the arrows are no
  // push buttons.
  gtk_widget_set_receives_default(button, FALSE);
  return button;
}

void installCss() {
  GtkCssProvider* provider = gtk_css_provider_new();
  gtk_css_provider_load_from_data(provider, kCss, -1, nullptr);
  gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(provider),
                                            GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  g_object_unref(provider);
}

}  // namespace

GtkDialogView::GtkDialogView(std::string settingsPath) : settingsPath_(std::move(settingsPath)) {
  build();
}

GtkDialogView::~GtkDialogView() {
  if (window_ != nullptr) {
    gtk_widget_destroy(window_);
  }
  if (owner_ != nullptr) {
    g_object_unref(owner_);
  }
}

void GtkDialogView::build() {
  installCss();
  window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(window_), "TAVRIK");
  gtk_window_set_resizable(GTK_WINDOW(window_), FALSE);
  gtk_window_set_type_hint(GTK_WINDOW(window_), GDK_WINDOW_TYPE_HINT_DIALOG);
  gtk_window_set_position(GTK_WINDOW(window_), GTK_WIN_POS_CENTER);

  fixed_ = gtk_fixed_new();
  gtk_widget_set_size_request(fixed_, kTemplateWidth * kPixelsPerUnit,
                              kTemplateHeight * kPixelsPerUnit);
  gtk_container_add(GTK_CONTAINER(window_), fixed_);

  // In template order; GTK moves the keyboard focus by place, row by row.
  addGroupBox(fixed_, "the number of harriers", 93, 19, 103, 36);

  GtkWidget* countFrame = gtk_frame_new(nullptr);
  gtk_frame_set_shadow_type(GTK_FRAME(countFrame), GTK_SHADOW_IN);
  gtk_style_context_add_class(gtk_widget_get_style_context(countFrame), "tavrik-count");
  GtkWidget* count = gtk_label_new("");
  gtk_container_add(GTK_CONTAINER(countFrame), count);
  labels_[kIdCountText] = count;
  place(fixed_, countFrame, 109, 33, 28, 15);

  GtkWidget* arrows = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
  gtk_box_set_homogeneous(GTK_BOX(arrows), TRUE);
  up_ = arrowButton(true);
  down_ = arrowButton(false);
  gtk_box_pack_start(GTK_BOX(arrows), up_, TRUE, TRUE, 0);
  gtk_box_pack_start(GTK_BOX(arrows), down_, TRUE, TRUE, 0);
  place(fixed_, arrows, 138, 33, 15, 15);

  GSList* group = nullptr;
  addGroupBox(fixed_, "resolution", 13, 116, 191, 25);
  addRadio(kIdResolution640, "640*480", 18, 127, 44, 9, group);
  addRadio(kIdResolution800, "800*600", 63, 127, 44, 9, group);
  addRadio(kIdResolution1024, "1024*768", 108, 127, 48, 9, group);
  addRadio(kIdResolutionScreen, "screen", 158, 127, 42, 9, group);
  endRadioGroup(group,
                {kIdResolution640, kIdResolution800, kIdResolution1024, kIdResolutionScreen});

  addGroupBox(fixed_, "cloud", 13, 147, 91, 39);
  addRadio(kIdCloudSurface, "surface model", 26, 160, 66, 10, group);
  addRadio(kIdCloudWire, "wire model", 26, 171, 66, 10, group);
  endRadioGroup(group, {kIdCloudSurface, kIdCloudWire});

  addGroupBox(fixed_, "formation", 13, 9, 191, 101);
  addRadio(kIdFormationNone, "no formation", 25, 36, 65, 8, group);
  addRadio(kIdFormationTriangle, "triangle", 25, 71, 63, 8, group);
  // The line formation has no place in the template: it goes in the room under "triangle".
  addRadio(kIdFormationLine, "line", 25, 81, 63, 8, group);
  // Random picks no formation or the triangle, never the line now listed above it.
  addRadio(kIdFormationRandom, "at random: none or triangle", 25, 91, 149, 12, group);
  endRadioGroup(group,
                {kIdFormationNone, kIdFormationTriangle, kIdFormationLine, kIdFormationRandom});

  addGroupBox(fixed_, "the number of harriers", 93, 61, 103, 23);
  addRadio(kIdTriangle9, "9", 99, 70, 26, 10, group);
  addRadio(kIdTriangle16, "16", 127, 70, 30, 10, group);
  addRadio(kIdTriangle25, "25", 159, 70, 30, 10, group);
  endRadioGroup(group, {kIdTriangle9, kIdTriangle16, kIdTriangle25});

  ok_ = gtk_button_new_with_label("OK");
  place(fixed_, ok_, 113, 155, 44, 29);
  cancel_ = gtk_button_new_with_label("CANCEL");
  place(fixed_, cancel_, 160, 155, 44, 29);

  addGroupBox(fixed_, nullptr, 22, 191, 172, 21);
  labels_[kIdVersionText] = addLabel(fixed_, "", 31, 199, 155, 9);
  addLabel(fixed_, kCreditLines[0], 56, 217, 105, 10);
  addLabel(fixed_, kCreditLines[1], 61, 239, 93, 8);
  addLabel(fixed_, "（1-30）", 155, 33, 33, 15);
  addLabel(fixed_, kCreditLines[2], 31, 229, 152, 8);

  gtk_widget_set_can_default(ok_, TRUE);
  gtk_window_set_default(GTK_WINDOW(window_), ok_);
}

void GtkDialogView::addRadio(int id, const char* text, int x, int y, int w, int h, GSList*& group) {
  GtkWidget* button = gtk_radio_button_new_with_label(group, text);
  group = gtk_radio_button_get_group(GTK_RADIO_BUTTON(button));
  place(fixed_, button, x, y, w, h);
  radios_[id] = Radio{button, nullptr};
}

void GtkDialogView::endRadioGroup(GSList*& group, std::initializer_list<int> ids) {
  // A GTK radio group always has one button checked; this one is never shown.
  GtkWidget* clear = gtk_radio_button_new(group);
  gtk_widget_set_no_show_all(clear, TRUE);
  gtk_fixed_put(GTK_FIXED(fixed_), clear, 0, 0);
  for (int id : ids) {
    radios_[id].clear = clear;
  }
  group = nullptr;
}

void GtkDialogView::attach(SettingsDialog& dialog) {
  dialog_ = &dialog;
  g_signal_connect(window_, "key-press-event", G_CALLBACK(onKeyPress), this);
  g_signal_connect(window_, "delete-event", G_CALLBACK(onDelete), this);
  g_signal_connect(ok_, "clicked", G_CALLBACK(onOk), this);
  g_signal_connect(cancel_, "clicked", G_CALLBACK(onCancel), this);
  g_signal_connect(up_, "clicked", G_CALLBACK(onUp), this);
  g_signal_connect(down_, "clicked", G_CALLBACK(onDown), this);
  g_signal_connect(up_, "key-press-event", G_CALLBACK(onArrowKeyPress), this);
  g_signal_connect(down_, "key-press-event", G_CALLBACK(onArrowKeyPress), this);
}

bool GtkDialogView::setOwner(unsigned long xid) {
  GdkDisplay* display = gtk_widget_get_display(window_);
  if (!GDK_IS_X11_DISPLAY(display)) {
    return false;
  }
  GdkWindow* owner = gdk_x11_window_foreign_new_for_display(display, xid);
  if (owner == nullptr) {
    return false;
  }
  gtk_widget_realize(window_);
  gdk_window_set_transient_for(gtk_widget_get_window(window_), owner);
  if (owner_ != nullptr) {
    g_object_unref(owner_);
  }
  owner_ = owner;
  return true;
}

int GtkDialogView::run() {
  gtk_widget_show_all(window_);
  gtk_widget_grab_focus(ok_);
  if (!ended_) {
    gtk_main();
  }
  return result_;
}

void GtkDialogView::setChecked(int id, bool checked) {
  const auto it = radios_.find(id);
  if (it == radios_.end()) {
    return;
  }
  GtkToggleButton* button = GTK_TOGGLE_BUTTON(it->second.button);
  if (checked) {
    gtk_toggle_button_set_active(button, TRUE);
  } else if (gtk_toggle_button_get_active(button)) {
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(it->second.clear), TRUE);
  }
}

bool GtkDialogView::isChecked(int id) const {
  const auto it = radios_.find(id);
  return it != radios_.end() && gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(it->second.button));
}

void GtkDialogView::setText(int id, const char* text) {
  const auto it = labels_.find(id);
  if (it != labels_.end()) {
    gtk_label_set_text(GTK_LABEL(it->second), text);
  }
}

// Our arrows are two plain buttons that keep no position: the behaviour holds the count.
void GtkDialogView::setArrowRange(int, int, int) {}
void GtkDialogView::setArrowPosition(int, int) {}

void GtkDialogView::reportSaveFailure() {
  saveFailed_ = true;
  std::fprintf(stderr, "tavrik-settings: could not save the settings to %s\n",
               quotedValue(settingsPath_).c_str());
  GtkWidget* message =
      gtk_message_dialog_new(GTK_WINDOW(window_), GTK_DIALOG_MODAL, GTK_MESSAGE_ERROR,
                             GTK_BUTTONS_OK, "The settings could not be saved.");
  gtk_message_dialog_format_secondary_text(
      GTK_MESSAGE_DIALOG(message), "%s",
      settingsPath_.empty() ? "Neither XDG_CONFIG_HOME nor HOME names a folder for them."
                            : settingsPath_.c_str());
  gtk_window_set_title(GTK_WINDOW(message), "TAVRIK");
  gtk_window_set_position(GTK_WINDOW(message), GTK_WIN_POS_CENTER_ON_PARENT);
  gtk_dialog_run(GTK_DIALOG(message));
  gtk_widget_destroy(message);
}

void GtkDialogView::endDialog(int result) {
  if (ended_) {
    return;
  }
  ended_ = true;
  result_ = result;
  gtk_widget_hide(window_);
  if (gtk_main_level() > 0) {
    gtk_main_quit();
  }
}

gboolean GtkDialogView::onKeyPress(GtkWidget*, GdkEventKey* event, gpointer self) {
  if (event->keyval == GDK_KEY_Escape) {
    static_cast<GtkDialogView*>(self)->dialog_->command(kIdCancel);
    return TRUE;
  }
  return FALSE;
}

// With the focus on an arrow, the up and down keys move the count as the arrows do.
gboolean GtkDialogView::onArrowKeyPress(GtkWidget*, GdkEventKey* event, gpointer self) {
  SettingsDialog& dialog = *static_cast<GtkDialogView*>(self)->dialog_;
  switch (event->keyval) {
    case GDK_KEY_Up:
    case GDK_KEY_KP_Up:
      dialog.stepCount(1);
      return TRUE;
    case GDK_KEY_Down:
    case GDK_KEY_KP_Down:
      dialog.stepCount(-1);
      return TRUE;
    default:
      return FALSE;
  }
}

gboolean GtkDialogView::onDelete(GtkWidget*, GdkEvent*, gpointer self) {
  static_cast<GtkDialogView*>(self)->dialog_->command(kIdCancel);
  return TRUE;
}

void GtkDialogView::onOk(GtkButton*, gpointer self) {
  static_cast<GtkDialogView*>(self)->dialog_->command(kIdOk);
}

void GtkDialogView::onCancel(GtkButton*, gpointer self) {
  static_cast<GtkDialogView*>(self)->dialog_->command(kIdCancel);
}

void GtkDialogView::onUp(GtkButton*, gpointer self) {
  static_cast<GtkDialogView*>(self)->dialog_->stepCount(1);
}

void GtkDialogView::onDown(GtkButton*, gpointer self) {
  static_cast<GtkDialogView*>(self)->dialog_->stepCount(-1);
}

}  // namespace tavrik
