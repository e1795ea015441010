// Program icons, drawn at any size so each icon file carries sharp pictures
// for 16 to 256 pixels.
#pragma once

#include <QImage>
#include <vector>

namespace skingen {

enum class IconKind {
  Launcher,  // KavroQ350: the brand mark
  Q350,      // Q350Config: mark over a seven-zone light bar
  Lumera,    // Lumera's program icon (appico.ico)
  RgbKey,    // Lumera's window icon (q330rgb.ico): mark in a spectrum ring
};

QImage programIcon(IconKind kind, int size);
// The pictures of one icon file: 16, 24, 32, 48 and 256 pixels.
std::vector<QImage> iconSet(IconKind kind);

}  // namespace skingen
