// Writes the binary seeds of the fuzz corpus with the programs' own writers,
// so that the fuzzer starts from files the programs really make:
//   fuzz_make_seeds <corpus folder> <shipped data folder>
// The text seeds (XML, INI) are the shipped files themselves; run-fuzz.sh
// --seeds copies them.
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "lumera/model/config.h"
#include "lumera/model/macro.h"
#include "lumera/model/profile.h"
#include "platform/paths.h"
#include "q350config/settings/key_tables.h"
#include "q350config/settings/macro_library.h"
#include "q350config/settings/records.h"

namespace {

std::string gCorpus;

void put(const std::string& target, const std::string& name, const std::string& bytes) {
  const std::string folder = gCorpus + "/" + target;
  platform::makeFolders(folder);
  if (!platform::writeFileAtomic(folder + "/" + name, bytes)) std::fprintf(stderr, "cannot write %s\n", name.c_str());
}

std::string str(const std::vector<std::uint8_t>& v) { return std::string(v.begin(), v.end()); }

class StillClock final : public lumera::Clock {
 public:
  platform::LocalTime now() const override { return {2024, 5, 6, 7, 8, 9, 10}; }
  void sleepMs(unsigned) const override {}
};

lumera::MacroRecord macro(std::int32_t id, std::initializer_list<lumera::MacroEvent> events) {
  lumera::MacroRecord m = lumera::NewMacro(u"Seed macro", StillClock());
  m.id = id;
  std::size_t i = 0;
  for (const lumera::MacroEvent& e : events) m.events[i++] = e;
  return m;
}

void lumeraSeeds(const std::string& data) {
  const lumera::MacroRecord keys = macro(0x101, {{0x41, 1, 20}, {0x41, 0, 300}, {0xA0, 1, 5}, {0x42, 1, 70000}});
  const lumera::MacroRecord mouse = macro(0x102, {{lumera::kMouseLeft, 1, 10}, {lumera::kMouseLeft, 0, 10},
                                                  {lumera::kMouseScrollUp, 1, 1}});
  // Flags byte, name length, name, file.
  put("mck", "keys", std::string("\x00\x0Amacro1.mck", 12) + lumera::encodeMacroFile(keys));
  put("mck", "mouse-in-folders", std::string("\x9B\x08mouse.mc", 10) + lumera::encodeMacroFile(mouse));

  lumera::LumeraConfig config;
  config.load(data + "/lumera/", false);
  lumera::ProfileRecord a = lumera::NewProfile(u"Profile 1", config, StillClock());
  a.id = 0x111;
  a.keys[0].funA.dwFunID = 0x05000000;
  a.keys[0].funA.nMacroId = 1;
  a.keys[1].nFnIndex = 3;
  a.keys[1].funB.dwFunID = 0x05000000;
  a.keys[1].funB.nMacroId = 2;
  lumera::setProfileProgramName(a, u"game.exe");
  lumera::ProfileRecord b = lumera::NewProfile(u"Per-key", config, StillClock());
  b.id = 0x222;
  b.effectIndex = config.options().GameIndex;
  for (std::size_t k = 0; k < lumera::kKeyCount; ++k) b.groupColours[0][k] = static_cast<lumera::Colour>(k * 0x010203);
  std::vector<std::uint8_t> two(2 * lumera::kProfileRecordSize);
  lumera::writeProfileRecord(two.data(), a);
  put("pro_dct", "one-profile", str(two).substr(0, lumera::kProfileRecordSize));
  lumera::writeProfileRecord(two.data() + lumera::kProfileRecordSize, b);
  put("pro_dct", "two-profiles", str(two));

  // Reply scripts (fake_hid.h): control 1 and a length before each reply.
  std::string passwordOk("\x01\x08\x05\x01\x5A\x00\x00\x00\x00\x00", 10);
  std::string profile("\x01\x8F", 2);
  profile.push_back('\x83');
  profile.append(6, '\0');
  for (int i = 0; i < 136; ++i) profile.push_back(static_cast<char>(i * 7));
  put("lumera_replies", "apply-ok", std::string(1, '\x00') + passwordOk + profile);
  put("lumera_replies", "apply-per-key-logged", std::string(1, '\x09') + passwordOk + profile);
  put("lumera_replies", "password-and-profile", std::string(1, '\x02') + passwordOk + profile);
  put("lumera_replies", "password-refused", std::string(1, '\x02') + std::string("\x01\x03\x05\x01\x00", 5) +
                                                std::string("\x00\x00", 2) + profile);
}

void q350Seeds() {
  q350::ProfileImage image;
  image.settings.signature = q350::kProfileSignature;
  image.settings.keyMap = q350::DefaultKeyMap();
  image.settings.setFactoryLighting();
  image.settings.keyMap[q350::KeyList()[0].matrixIndex] = q350::kKindMacro;
  image.extra.setMacroId(q350::KeyList()[0].matrixIndex, 2);
  image.extra.setText(5, u"note");
  put("q350_profile", "factory-with-macro-key", image.toBytes());
  q350::ProfileEntry entry;
  entry.magic = q350::ProfileEntry::kMagic;
  entry.active = 1;
  entry.setName(u"Profile 1");
  entry.setPath(u"Profile\\Profile1.cfg");
  std::string exported = image.toBytes();
  exported.resize(q350::kExportFileSize);
  entry.store(reinterpret_cast<unsigned char*>(exported.data()) + q350::kProfileFileSize);
  put("q350_profile", "exported", exported);

  q350::MacroLibrary lib;
  for (std::uint32_t id = 1; id <= 3; ++id) {
    q350::MacroImage m;
    m.id = id | (id << 24);
    m.repeat = id == 2 ? q350::kRepeatToggle : id;
    m.setName(u"Macro");
    m.events.push_back(q350::makeEvent(q350::kEventDelay, 40));
    for (std::uint32_t e = 0; e < 12 * id; ++e) {
      m.events.push_back(q350::makeEvent(e % 2 ? q350::kEventRelease : q350::kEventPress, id == 3 ? 0xA0 : 0x41 + e / 2));
      m.events.push_back(q350::makeEvent(q350::kEventDelay, 25 * e));
    }
    m.size = static_cast<std::uint32_t>(q350::MacroImage::kHeaderSize + 4 * m.events.size());
    lib.store(m);
    if (id == 1) put("q350_macros", "macro-image", m.toBytes());
  }
  put("q350_macros", "three-records", lib.toBytes().substr(0, 3 * q350::StoredMacro::kSize));

  // Stale report, then the version reply; the control byte's reply.
  std::array<std::uint8_t, 64> version{};
  version[0] = 4;
  version[3] = 3;
  version[8] = 7;
  version[9] = 10;
  std::string script("\x01\x40", 2);
  script.append(reinterpret_cast<const char*>(version.data()), version.size());
  script.push_back('\0');
  script.append("\x01\x40", 2);
  script.append(reinterpret_cast<const char*>(version.data()), version.size());
  script.push_back('\0');
  script.append("\x01\x40", 2);
  script.append(64, '\x01');
  put("q350_replies", "stale-then-version", script);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: fuzz_make_seeds <corpus folder> <data folder>\n");
    return 2;
  }
  gCorpus = argv[1];
  lumeraSeeds(argv[2]);
  q350Seeds();
  return 0;
}
