// Inside the simulator: the two firmware models and their shared helpers.
#pragma once

#include <QImage>
#include <string>

#include "sim/keyboard.h"

namespace sim {

std::unique_ptr<Keyboard> makeQ350();
std::unique_ptr<Keyboard> makeQ350Rgb();

// The background every picture starts from.
QImage blankPicture(int width, int height);
// Writes `image` as a PNG, whole or not at all.
bool savePng(const QImage& image, const std::string& path);

}  // namespace sim
