// The small binary containers the programs load: icon and cursor files
// (ICO/CUR) and the skin package marker "mak.skn".
#pragma once

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QString>
#include <vector>

namespace skingen {

// An ICO file holding one entry per picture (all square, 1 to 256 pixels).
// Pictures up to 64 pixels are stored as 32-bit DIBs with an AND mask, larger
// ones as PNG, which is what icon readers expect of each size.
QByteArray makeIco(const std::vector<QImage>& pictures);
// A CUR file with one 32-bit picture and its hot spot.
QByteArray makeCur(const QImage& picture, QPoint hotSpot);

// The skin package marker: 520 bytes whose UTF-16LE text at byte offset 192
// is the window title the skins belong to. The bytes before it carry a tag,
// the format version and the skin's own name.
constexpr int kMarkerSize = 520;
constexpr int kMarkerTitleOffset = 192;
QByteArray makeSkinMarker(const QString& title, const QString& skinName);

}  // namespace skingen
