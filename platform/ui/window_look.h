// Looks of borderless skinned windows: window regions from a colour key,
// the dialog font, screen metrics and the platform's own message box.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QRegion>
#include <functional>
#include <string>

class QWidget;

namespace platform {

// The region of an image's pixels that are NOT keyed out. A pixel is keyed
// out when each of its red, green and blue values lies within
// [key, key + tolerance] (clamped at 255). The region is the union of the
// horizontal runs of remaining pixels, one scan line at a time.
QRegion regionFromColourKey(const QImage& image, QRgb key, int tolerance);

// The image composed over an opaque background colour (alpha flattened).
QImage flattenOver(const QImage& image, QColor background);

// The colour reference of the programs (0x00BBGGRR) as a Qt colour and back.
QColor colourFromRef(std::uint32_t ref);
std::uint32_t refFromColour(const QColor& c);

// "MS Shell Dlg", the dialog font the skins are drawn for, maps to a sans
// font present on Linux, with a CJK font after it for the Chinese texts.
// Installed once; dialogFont installs it on first use.
void installFontSubstitutes();
// The dialog font with the given character cell height in pixels.
QFont dialogFont(int cellHeight = 14, int weight = QFont::Normal);

// The screen's work area (without panels) and the height of a full-screen
// window's client area (SM_CYFULLSCREEN).
QRect workArea();
int fullScreenClientHeight();

// The platform message box (a plain Qt message box). Tests and headless
// runs replace it with a handler; the handler's answer is returned.
enum class MessageBoxIcon { None, Information, Warning, Error };
using MessageBoxHandler =
    std::function<int(QWidget* parent, const std::u16string& text, const std::u16string& caption, MessageBoxIcon)>;
int messageBox(QWidget* parent, const std::u16string& text, const std::u16string& caption,
               MessageBoxIcon icon = MessageBoxIcon::None);
// Installs a handler (empty restores the real message box); returns the old one.
MessageBoxHandler setMessageBoxHandler(MessageBoxHandler handler);

}  // namespace platform
