// Lumera's macro files: the ".mck" decoder on any bytes, what a decoded
// macro goes through next (file round trip, hardware macro encoding into a
// buffer of the configured size) and the library walk over a folder tree
// holding the file under a name of the input's choosing.
//
// Input: one flags byte, one name-length byte (low 4 bits), the name, then
// the file bytes.
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "lumera/model/config.h"
#include "lumera/model/macro.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

std::string safeName(std::string_view raw) {
  std::string name;
  for (char c : raw) name.push_back(c == '/' || c == '\0' ? '_' : c);
  if (name.empty() || name == "." || name == "..") name = "macro01.mck";
  return name;
}

void checkEncoding(const lumera::MacroRecord& m, std::int32_t bufferSize) {
  lumera::HwParam hw;
  hw.nMacroBufferSize = bufferSize;
  // Exactly the buffer's size, so that a write past it is caught.
  std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[static_cast<std::size_t>(bufferSize)]);
  const int n = lumera::StMacro_To_HdMacro(&m, buffer.get(), hw);
  if (n < 0 || n > bufferSize) fuzzsupport::fail("hardware macro longer than its buffer");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzsupport::Input in(data, size);
  const std::uint8_t flags = in.byte();
  const std::string name = safeName(in.take(in.byte() & 0x0F));
  const std::string_view bytes = in.rest();

  lumera::MacroRecord m;
  const std::int32_t mask = (flags & 0x80) ? 0x7F : (flags & 0x7F);
  if (lumera::decodeMacroFile(bytes, mask, m) == lumera::MacroFileStatus::Ok) {
    if (!lumera::macroEventsAllowed(m, mask)) fuzzsupport::fail("accepted a macro with a refused mouse code");
    // A decoded macro written again and read back is the same record, its
    // change bits aside (they are never stored).
    lumera::MacroRecord again;
    if (lumera::decodeMacroFile(lumera::encodeMacroFile(m), mask, again) != lumera::MacroFileStatus::Ok)
      fuzzsupport::fail("a written macro does not read back");
    m.changeBits = 0;
    std::uint8_t a[lumera::kMacroRecordSize], b[lumera::kMacroRecordSize];
    lumera::writeMacroRecord(a, m);
    lumera::writeMacroRecord(b, again);
    if (std::memcmp(a, b, sizeof a) != 0) fuzzsupport::fail("macro file round trip changed the record");
    lumera::macroName(m);
    lumera::macroEventCount(m);
    checkEncoding(m, 256);
    checkEncoding(m, 10 + (flags & 0x3F));  // the encoder needs 10 bytes at least
  }

  // The library walk: the file at the top, in a sub-folder, in a hidden
  // folder, beyond the depth limit, and a folder link back to the top.
  const std::string root = fuzzsupport::freshFolder("Mac");
  fuzzsupport::writeBytes(root + "/" + name, bytes);
  if (flags & 0x01) fuzzsupport::writeBytes(root + "/Sub/" + name, bytes);
  if (flags & 0x02) fuzzsupport::writeBytes(root + "/.hidden/" + name, bytes);
  if (flags & 0x04) {
    std::string deep = root;
    for (int i = 0; i < 22; ++i) deep += "/d";
    fuzzsupport::writeBytes(deep + "/" + name, bytes);
  }
  // (Unless the file itself took the link's name.)
  if ((flags & 0x08) && name != "loop") {
    if (symlink(root.c_str(), (root + "/loop").c_str()) != 0) fuzzsupport::fail("cannot make the folder link");
  }
  lumera::MacroList list;
  const std::size_t added = lumera::ReadMacroLibrary(root, (flags & 0x10) != 0, mask, list);
  if (added != list.size() || added > 2) fuzzsupport::fail("library walk took a file from a hidden, too deep or linked folder");
  return 0;
}
