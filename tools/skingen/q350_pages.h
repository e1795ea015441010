// Q350Config's window pictures. Unlike Lumera, Q350Config paints few words
// itself: its page captions are part of these pictures, so every picture is
// drawn in one interface language. Each page comes in three looks (normal,
// mouse over, pressed); the program cuts each control's face from the look
// it needs at the control's rectangle.
#pragma once

#include <QImage>
#include <QPolygon>
#include <QRect>
#include <QString>
#include <vector>

#include "tools/skingen/canvas.h"
#include "tools/skingen/skins.h"

namespace skingen::q350 {

// Page size: every page of the main window, placed at 17,128.
constexpr int kPageW = 925;
constexpr int kPageH = 456;
// The frame's size and the colour its window region leaves out.
constexpr int kFrameW = 960;
constexpr int kFrameH = 645;
inline const QColor kKeyColour(255, 0, 253);

// One key of the key assignment page: its key-matrix index and rectangle.
struct PageKey {
  int matrix;
  QRect rect;
  const char* legend;
};
const std::vector<PageKey>& pageKeys();

// The seven lighting zones (polygons in page pixels).
const std::vector<QPolygon>& zonePolygons();

QImage frame(SkinLanguage lang, Face face);
QImage lightPage(SkinLanguage lang, Face face);
QImage keyPage(SkinLanguage lang, Face face);
QImage macroPage(SkinLanguage lang, Face face);
QImage supportPage(SkinLanguage lang, Face face);
QImage settingDialog(SkinLanguage lang, Face face);
QImage comboTab(SkinLanguage lang, Face face);
QImage macroTab(SkinLanguage lang, Face face);
QImage baseTab(SkinLanguage lang, Face face);

}  // namespace skingen::q350
