// The picture sets the generator writes, each below the stage root in the
// folder its program reads it from.
#pragma once

#include <QString>

#include "tools/skingen/keylayout.h"
#include "tools/skingen/output.h"

namespace skingen {

// Language of the words painted into Q350Config's pictures: its page captions
// are part of the skin, so the skin folder carries its language in its name.
enum class SkinLanguage { English, Chinese };

// Q350RGB/skins/..., Q350RGB/appico.ico and q330rgb.ico. `title` goes into
// the skin marker and must be Lumera's window title.
bool drawLumeraSkins(Output& out, const KeyLayout& layout, const QString& title);
// Q350/skins/<en|sc>/...: the frame, the pages and dialogs in three looks,
// the progress bar, the menu bitmaps and the slider knob.
bool drawQ350Skins(Output& out, SkinLanguage language);
// Q350/res/...: the pictures built into Q350Config (information dialog
// backgrounds, language flags and menu icons, the two lighting page pictures,
// the picker cursor, the program icon).
bool drawQ350Resources(Output& out);
// Q350Config's cleared "Macro.cfg" and its five factory profiles.
bool writeQ350StartFiles(Output& out);
// share/icons/hicolor/<size>/apps/...: icons for the desktop entries.
bool drawDesktopIcons(Output& out);

}  // namespace skingen
