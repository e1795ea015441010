// Where Q350Config finds its pictures: the skin folder (the one entry of
// "skins" in the program folder, whose name also picks the language) and the
// built-in pictures in "res" (named by their resource number).
#pragma once

#include <QImage>
#include <QString>
#include <string>

#include "q350config/controls/skin_button.h"

namespace q350app {

// The name of the first entry of "<program folder>skins" (in name order),
// or empty when the folder is missing or empty.
std::string skinEntryName(const std::string& programFolder);
// "<program folder>skins/<entry>/" (set at start).
const std::string& skinFolder();
void setSkinFolder(std::string folder);

// A picture of the skin folder ("Config/Q350_Frame_Normal.bmp"), matched
// without regard to case; a null image when missing.
QImage skinPicture(const std::string& relative);
// `picture`, or a plain one of `size` in `fill` when it is missing, so that
// a damaged installation still gives a window of its usual size.
QImage orPlain(QImage picture, QSize size, QColor fill);
// The faces a window's buttons are cut from: `normal` and the skin's
// "<stem>Over.bmp" and "<stem>Down.bmp" (names matched without regard to
// case).
q350ui::FaceSet skinFaces(const QImage& normal, const std::string& stem);
// A built-in picture by number ("res/<n>.bmp" or ".png"); null when missing.
QImage resPicture(int id);
// The program's icon (resource 128).
QString iconPath();

}  // namespace q350app
