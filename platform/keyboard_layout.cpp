#include "platform/keyboard_layout.h"

namespace platform {

char16_t virtualKeyChar(unsigned vk) {
  if ((vk >= 0x30 && vk <= 0x39) || (vk >= 0x41 && vk <= 0x5A)) return static_cast<char16_t>(vk);
  switch (vk) {
    case 0xBA: return u';';
    case 0xBB: return u'=';
    case 0xBC: return u',';
    case 0xBD: return u'-';
    case 0xBE: return u'.';
    case 0xBF: return u'/';
    case 0xC0: return u'`';
    case 0xDB: return u'[';
    case 0xDC: return u'\\';
    case 0xDD: return u']';
    case 0xDE: return u'\'';
    case 0xE2: return u'\\';  // the extra key of 102-key boards
    default: return 0;
  }
}

}  // namespace platform
