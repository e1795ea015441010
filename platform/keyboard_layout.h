// Characters of keys, for key names that are not fixed texts.
#pragma once

namespace platform {

// The character the unshifted key with this Windows virtual-key code gives
// on a US layout, letters in upper case (the way the virtual-key-to-character
// mapping of the platform answers), or 0 for keys without a character. The
// programs can plug the desktop's own layout in on top of this default.
char16_t virtualKeyChar(unsigned virtualKey);

}  // namespace platform
