// Q350Config's profile files holding any bytes: the start-up load and the
// import (a profile or an exported file), then what the program does with the
// profile in use: every key's assignment name, the macro keys resolved for a
// full write against the library, and an export that must import again to
// the same settings. The same bytes also stand for the registry's profile
// table.
#include <cstdint>
#include <string>

#include "q350config/settings/settings_store.h"
#include "tests/fuzz/fuzz_q350.h"

namespace {

// A library with three macros (ids 1..3) that fuzzed macro keys can name.
q350::MacroLibrary smallLibrary() {
  q350::MacroLibrary lib;
  for (std::uint32_t id = 1; id <= 3; ++id) {
    q350::MacroImage image;
    image.id = id;
    image.setName(u"macro");
    for (std::uint32_t e = 0; e < 10 * id; ++e)
      image.events.push_back(q350::makeEvent(e % 2 ? q350::kEventRelease : q350::kEventPress, 0x41 + e / 2));
    image.size = static_cast<std::uint32_t>(q350::MacroImage::kHeaderSize + 4 * image.events.size());
    lib.store(image);
  }
  return lib;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const q350::MacroLibrary library = smallLibrary();
  const std::string folder = fuzzsupport::freshFolder("Q350");
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::string path = folder + "/Profile/Profile1.cfg";
  fuzzsupport::writeBytes(path, bytes);

  q350::SettingsStore store(folder);
  store.setPauseFunction([](unsigned) {});
  store.macroLibrary = library;
  store.profileTable = q350::ProfileTable::fromBytes(bytes);
  for (const q350::ProfileEntry& e : store.profileTable.entries) {
    e.nameText();
    e.pathText();
  }
  const int loaded = store.LoadProfileFile(path, false);
  const bool imported = store.ImportProfile(path);
  if ((loaded == q350::kLoadOk) != imported) fuzzsupport::fail("load and import disagree");
  if (!imported) return 0;

  for (std::size_t i = 0; i <= q350::kKeyCount; ++i) store.AssignmentName(i);

  // Export and import again: the same settings in use.
  const q350::ProfileSettings settings = store.profileSettings;
  const q350::KeyExtra extra = store.keyExtra;
  const std::string exported = folder + "/export.cfg";
  if (!store.ExportProfile(exported)) fuzzsupport::fail("export failed");
  if (fuzzsupport::readBytes(exported).size() != q350::kExportFileSize) fuzzsupport::fail("export has a wrong size");
  store.RestoreFactorySettings();
  if (!store.ImportProfile(exported)) fuzzsupport::fail("an export does not import");
  unsigned char a[q350::ProfileSettings::kSize], b[q350::ProfileSettings::kSize];
  settings.store(a);
  store.profileSettings.store(b);
  if (std::string(a, a + sizeof a) != std::string(b, b + sizeof b) || !(extra == store.keyExtra))
    fuzzsupport::fail("export and import changed the profile");

  // The full write's macro resolution on this profile, with no keyboard.
  fuzzsupport::resolveMacroKeysWithoutKeyboard(store);
  return 0;
}
