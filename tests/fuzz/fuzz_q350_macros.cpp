// Q350Config's macro library "Macro.cfg" holding any bytes (the first records
// of it, or a whole damaged file): the load, the macro page's listing and
// names, the keyboard encoding of every listed macro, the full write's macro
// resolution for keys that use them, and the round trip of the library file.
// The same bytes also stand for a macro image as the registry keeps it.
#include <cstdint>
#include <string>

#include "q350config/device/macro_encoder.h"
#include "q350config/settings/key_tables.h"
#include "q350config/settings/settings_store.h"
#include "tests/fuzz/fuzz_q350.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string folder = fuzzsupport::freshFolder("Q350");
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  fuzzsupport::writeBytes(folder + "/Macro.cfg", bytes);

  q350::SettingsStore store(folder);
  store.setPauseFunction([](unsigned) {});
  if (!store.LoadMacroLibrary()) fuzzsupport::fail("an existing Macro.cfg did not load");
  q350::MacroLibrary& lib = store.macroLibrary;

  // The file written back is the input, zero-filled to its full size.
  const std::string written = lib.toBytes();
  if (written.size() != q350::MacroLibrary::kFileSize) fuzzsupport::fail("library image has a wrong size");
  const std::size_t common = size < written.size() ? size : written.size();
  if (written.compare(0, common, bytes.substr(0, common)) != 0) fuzzsupport::fail("library bytes changed by a load");

  const std::vector<std::size_t> listed = lib.listedAll();
  for (std::size_t i : listed) {
    const q350::StoredMacro& m = lib.at(i);
    lib.nameOf(m.id);
    lib.listed(m.category());
    q350::DeviceMacro encoded;
    if (q350::EncodeMacro(m, encoded) &&
        (encoded.entries > q350::DeviceMacro::kMaxEntries || encoded.keys > encoded.entries))
      fuzzsupport::fail("encoded macro has more entries than its buffer");
  }

  // Macro keys for the listed macros, resolved as a full write does.
  const auto& keys = q350::KeyList();
  for (std::size_t k = 0; k < listed.size() && k < 30; ++k) {
    const std::uint32_t index = keys[k].matrixIndex;
    store.keyMap[index] = q350::kKindMacro;
    store.keyExtra.setMacroId(index, lib.at(listed[k]).id);
  }
  fuzzsupport::resolveMacroKeysWithoutKeyboard(store);

  // The bytes as a macro image handed over by the macro page.
  q350::MacroImage image;
  if (q350::MacroImage::fromBytes(bytes, image)) {
    q350::MacroImage again;
    if (!q350::MacroImage::fromBytes(image.toBytes(), again) || again.events != image.events)
      fuzzsupport::fail("macro image round trip");
    lib.store(image);
  }
  return 0;
}
