// The firmware update manifest holding any bytes (it comes from a web
// server): read from memory and from the file, which must agree.
#include <cstdint>
#include <string>

#include "q350config/settings/update_manifest.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = fuzzsupport::scratch() + "/update/update.xml";
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  fuzzsupport::writeBytes(path, bytes);
  const q350::UpdateManifest fromMemory = q350::ParseUpdateManifest(bytes);
  const q350::UpdateManifest fromFile = q350::ReadUpdateManifest(path);
  if (!fromFile.readable) fuzzsupport::fail("an existing manifest could not be read");
  if (fromFile.current != fromMemory.current || fromFile.newfile != fromMemory.newfile ||
      fromFile.hasFirmware != fromMemory.hasFirmware)
    fuzzsupport::fail("file and memory reads differ");
  if (!fromFile.hasFirmware && (fromFile.current != 0 || !fromFile.newfile.empty()))
    fuzzsupport::fail("values without a firmware section");
  return 0;
}
