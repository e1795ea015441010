// The Q350RGB key layout as cfg.ini gives it: the keyboard view's size and
// every key's rectangle and virtual-key code. The key picture is drawn from
// these, so picture and configuration always agree.
#pragma once

#include <QPoint>
#include <QPolygon>
#include <QRect>
#include <QString>
#include <vector>

namespace skingen {

struct LayoutKey {
  QRect rect;     // in keyboard-view pixels
  unsigned vk = 0;
  int matrix = -1;
};

struct KeyLayout {
  QRect view;                 // "rcKB" (x, y, width, height) in the main window
  std::vector<LayoutKey> keys;
  int outlinedKey = -1;       // "UnRectKey": index of the non-rectangular key
  QPolygon outline;
  // Places of the main window's parts that the window picture frames
  // (defaults as Lumera uses them when cfg.ini lacks the key).
  QRect led{19, 284, 242, 252};         // "rcLED" (x, y, width, height)
  QPoint ptMin{932, 14}, ptExit{953, 14}, ptProfile{30, 87}, ptMacro{30, 219}, ptReset{30, 575},
      ptApply{758, 581};
  int macroX = 350;                      // "Macro_Opt_X"
  QRect macroList{QPoint(30, 76), QPoint(180, 326)};  // "rcMacroList" (left, top, right, bottom)
  QRect keyList{QPoint(190, 76), QPoint(320, 326)};   // "rcKeyList"
};

// Reads "OPT" rcKB, section "KEY" (K1, K2, ... up to the first missing line),
// "UnRectKey" and the window places above. False with a message when the file cannot be read or a
// line is malformed: the generator refuses to draw a picture that would not
// match the configuration.
bool readKeyLayout(const QString& cfgPath, KeyLayout& out, QString& error);

// Legend printed on a key cap for a virtual-key code ("Esc", "F1", "A", ...).
QString keyLegend(unsigned vk);

}  // namespace skingen
