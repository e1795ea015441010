// CSkinDialog: the base of Q350Config's skinned windows (the main window,
// its pages, the information and progress dialogs, the key setting dialog).
//
// What it promises:
// - A frameless top-level window, or a page inside another window (asChild),
//   drawn from its background picture (a flat dark grey without one).
// - A left click on the window's body (where no control takes it) first
//   closes the open skinned menus (the menu library's DestroyOrvane), then,
//   for a top-level window, starts moving the window. WM_COMMAND from any
//   control closes the open menus too, before the window's own handler.
// - The keys Enter, Esc, Space and F1 never reach a control of the window
//   (they neither close it nor press buttons), except in edit boxes (any
//   QLineEdit: the skinned edit box, the list's rename editor), which get
//   them as typed keys.
// - The window's region (SetRegion): on screen only the region shows and
//   takes the mouse; region() keeps it for platforms that cannot shape
//   windows.
#pragma once

#include <QImage>
#include <QRegion>

#include "platform/ui/message_window.h"

namespace q350ui {

// Closes every open skinned menu (when the menu library is loaded).
void closeSkinMenus();

class CSkinDialog : public platform::MessageWindow {
 public:
  explicit CSkinDialog(QWidget* parent = nullptr, bool asChild = false);
  ~CSkinDialog() override;

  void setBackground(const QImage& image);
  const QImage& background() const { return background_; }
  // Sizes the window to its background picture.
  void sizeToBackground();
  // Centres the window in the screen's work area.
  void centreOnScreen();

  void SetRegion(const QRegion& region);
  const QRegion& region() const { return region_; }

  // Whether the key would be swallowed when sent to `target` inside this
  // window.
  static bool isSwallowedKey(int qtKey);

 protected:
  bool onMessage(unsigned message, platform::WPARAM w, platform::LPARAM l, platform::LRESULT& result) override;
  void mousePressEvent(QMouseEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

  QImage background_;
  QRegion region_;
};

}  // namespace q350ui
