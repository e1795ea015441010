// The skinned pop-up menu behind libOrvane.so: one menu open at a time,
// drawn from the eight pictures, with cascading submenus. Internal to the
// library; the programs see only the C entries of orvane_api.h.
#pragma once

#include <QColor>
#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <vector>

#include "outside/orvane/orvane_api.h"

namespace orvane {

struct MenuSpec {
  QPointer<QObject> owner;  // guarded: the owner may go while the menu is open
  int itemHeight = 20;
  int width = 0;  // 0: as wide as the widest text needs
  QPoint at;      // screen point of the top-left corner
  QColor text, over, down;
  QColor frame{0x32, 0x32, 0x32};
  std::vector<QImage> pictures;  // ORVANE_PICTURES, null images where loading failed
  std::vector<OrvaneMenuItem> items;
  // How the choice travels: message number, and whether the id goes into
  // wParam (with lParam = callerValue) or into lParam.
  unsigned message = 0;
  bool idInWParam = false;
  std::intptr_t callerValue = 0;
};

class MenuLevel;

// The open menu (all its levels).
class MenuSession {
 public:
  // Opens a menu; closes the one open before. False when nothing can be
  // shown (no application, wrong thread, no reachable item).
  static bool open(MenuSpec spec);
  // Closes the open menu without a choice.
  static void close();
  static MenuSession* current();

  const MenuSpec& spec() const { return spec_; }
  QString textOf(int index) const;
  bool hasChildren(int index) const;
  std::vector<int> childrenOf(int parent) const;

  // Called by the levels.
  void openSubmenu(MenuLevel* from, int headerIndex, const QRect& headerGlobal);
  void closeLevelsAbove(MenuLevel* level);
  MenuLevel* levelAt(const QPoint& global) const;
  void choose(int index);
  const std::vector<QPointer<MenuLevel>>& levels() const { return levels_; }

 private:
  explicit MenuSession(MenuSpec spec);
  ~MenuSession();
  void closeAll();
  int widthFor(const std::vector<int>& rows) const;

  MenuSpec spec_;
  std::vector<QPointer<MenuLevel>> levels_;
};

class MenuLevel : public QWidget {
 public:
  MenuLevel(MenuSession* session, int parentIndex, std::vector<int> rows, int width);
  int parentIndex() const { return parentIndex_; }
  int rowAt(const QPoint& local) const;
  QRect rowRect(int row) const;
  void setHover(int row);
  int hoverRow() const { return hover_; }
  const std::vector<int>& rows() const { return rows_; }
  // The index of the item whose submenu is open from this level (-1: none).
  int openHeader = -1;

 protected:
  void paintEvent(QPaintEvent*) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  void hoverRow(int row);

  MenuSession* session_;
  int parentIndex_;
  std::vector<int> rows_;
  int hover_ = -1;
  int pressed_ = -1;
};

}  // namespace orvane
