// The settings dialog drawn with GTK 3: the template's controls at the template's places,
// scaled from dialog units to pixels, driving a SettingsDialog.
#pragma once

#include <gtk/gtk.h>

#include <map>
#include <string>

#include "config/dialog.h"

namespace tavrik {

class GtkDialogView : public SettingsDialogView {
 public:
  // settingsPath only names the file in the message shown when it cannot be saved.
  explicit GtkDialogView(std::string settingsPath);
  ~GtkDialogView() override;
  GtkDialogView(const GtkDialogView&) = delete;
  GtkDialogView& operator=(const GtkDialogView&) = delete;

  // Connects the controls to the behaviour; call once, before run().
  void attach(SettingsDialog& dialog);
  // Makes the dialog a transient of an X window of another program; false when there is no
  // such window or the display is not X11.
  bool setOwner(unsigned long xid);
  // Shows the dialog and returns its result once OK or CANCEL has ended it.
  int run();
  bool saveFailed() const { return saveFailed_; }

  void setChecked(int id, bool checked) override;
  bool isChecked(int id) const override;
  void setText(int id, const char* text) override;
  void setArrowRange(int id, int low, int high) override;
  void setArrowPosition(int id, int position) override;
  void reportSaveFailure() override;
  void endDialog(int result) override;

 private:
  struct Radio {
    GtkWidget* button;
    GtkWidget* clear;  // the group's unshown button, checked to leave the visible ones clear
  };

  void build();
  void addRadio(int id, const char* text, int x, int y, int w, int h, GSList*& group);
  void endRadioGroup(GSList*& group, std::initializer_list<int> ids);

  static gboolean onKeyPress(GtkWidget* widget, GdkEventKey* event, gpointer self);
  static gboolean onArrowKeyPress(GtkWidget* widget, GdkEventKey* event, gpointer self);
  static gboolean onDelete(GtkWidget* widget, GdkEvent* event, gpointer self);
  static void onOk(GtkButton* button, gpointer self);
  static void onCancel(GtkButton* button, gpointer self);
  static void onUp(GtkButton* button, gpointer self);
  static void onDown(GtkButton* button, gpointer self);

  std::string settingsPath_;
  SettingsDialog* dialog_ = nullptr;
  GtkWidget* window_ = nullptr;
  GtkWidget* fixed_ = nullptr;
  GtkWidget* ok_ = nullptr;
  GtkWidget* cancel_ = nullptr;
  GtkWidget* up_ = nullptr;
  GtkWidget* down_ = nullptr;
  GdkWindow* owner_ = nullptr;
  std::map<int, Radio> radios_;
  std::map<int, GtkWidget*> labels_;
  int result_ = kDialogCancelled;
  bool ended_ = false;
  bool saveFailed_ = false;
};

}  // namespace tavrik
