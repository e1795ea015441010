// The picture of what a Q350RGB shows, drawn as a keyboard: every key of
// Lumera's key layout at its rectangle, in the colour the keyboard's memory
// gives it, under the name of the lighting effect in use.
//
// Per-key effect (Pro1 byte 4 = 1): each key takes the colour of its LED in
// the active colour group's frame (byte 6: 0x24 the single group, 0x20 + g
// group g), found through the LED layout. Any other effect (byte 5 = effect
// + 1): every key takes the effect's chosen colour from row 25 + effect of
// the colour table; a colourful effect shows the row's seven colours across
// the keyboard.
#pragma once

#include <QImage>
#include <cstdint>
#include <string>
#include <vector>

#include "lumera/model/profile.h"
#include "lumera/model/services.h"

namespace cli {

struct KeyboardPicture {
  QImage image;
  std::u16string effectName;
  int effect = -1;     // 0..16, -1 when the memory names none
  bool perKey = false;
  std::vector<::lumera::Colour> keyColours;  // per configured key, in layout order
};

// Needs a QGuiApplication (the name is drawn with a font). `texts` gives the
// effect names ("tc_led_mode1", ...); keys without a name read as the key.
KeyboardPicture DrawKeyboardPicture(const std::vector<std::uint8_t>& memory, const ::lumera::LumeraConfig& config,
                                    const ::lumera::TextLookup& texts);

}  // namespace cli
