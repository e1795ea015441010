// Where Q350Config finds its pictures: the skin folder (the one entry of
// "skins" in the program folder, whose name also picks the language) and the
// built-in pictures in "res" (named by their resource number).
#pragma once

#include <QImage>
#include <QString>
#include <string>

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
// A built-in picture by number ("res/<n>.bmp" or ".png"); null when missing.
QImage resPicture(int id);
// The program's icon (resource 128).
QString iconPath();

}  // namespace q350app
