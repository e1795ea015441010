// The firmware update manifest ("update\update.xml" in the program folder,
// a fresh copy downloaded from the maker's server):
//
//   <update>
//     <firmware>
//       <current>107</current>        newest firmware, decimal (107 = V1.0.7)
//       <newfile>https://...</newfile> where the firmware updater comes from
//     </firmware>
//     <software>
//       <current>108</current>        newest Q350Config, decimal (108 = 1.0.8)
//     </software>
//   </update>
//
// The support page compares "current" with the keyboard's firmware number
// and downloads the updater from "newfile"; the program updater compares the
// software's "current" with the program's version. A manifest that is missing,
// unreadable or lacks a value reads as 0 and an empty address, so that no
// update is offered.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace q350 {

struct UpdateManifest {
  bool readable = false;          // the file could be read
  bool hasFirmware = false;       // a "firmware" element under the root
  std::int32_t current = 0;       // the decimal value of "current", 0 without one
  std::u16string newfile;         // "newfile" without surrounding blanks
  std::int32_t software = 0;      // the software's "current", 0 without one
};

// Reads the manifest file.
UpdateManifest ReadUpdateManifest(const std::string& path);
// The same for file bytes already in memory (any encoding the XML reader
// takes).
UpdateManifest ParseUpdateManifest(std::string_view bytes);

// The decimal value of a text as the manifest's "current" is read: leading
// blanks, an optional sign, the digits up to the first other character;
// 0 without digits; held at the 32-bit limits instead of wrapping.
std::int32_t manifestNumber(std::u16string_view text);

}  // namespace q350
