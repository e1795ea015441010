// kavroctl q350 show: what a Q350Config profile file (or an exported one)
// holds, read exactly as the program reads it: the lighting fields and every
// key entry with the name the key assignment page shows for it.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

#include "cli/cmd_q350_common.h"
#include "cli/command.h"
#include "platform/format.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "q350config/settings/key_tables.h"
#include "q350config/settings/macro_library.h"

namespace {

using namespace ::q350;

// The program folder whose "Macro.cfg" and language texts name the macros
// and functions: --program-dir, else the folder above the profile's own
// (profiles live in "<program>/Profile/"), else the profile's own folder
// (where an export may sit), else the installed program.
std::string programFolderFor(const cli::Args& args, const std::string& profilePath) {
  if (args.has("program-dir")) return args.option("program-dir");
  std::string own = platform::folderOf(profilePath);
  if (own.empty()) own = "./";
  for (const std::string& folder : {platform::joinPath(own, ".."), own}) {
    if (platform::fileExists(platform::findFileNoCase(folder, "Macro.cfg")) ||
        platform::isDirectory(platform::findFileNoCase(folder, "Language")))
      return folder;
  }
  return cli::q350::installedProgramFolder();
}

QString qs(const std::u16string& s) { return QString::fromStdU16String(s); }

int runShow(const cli::Args& args) {
  if (args.positional.size() != 1)
    return cli::fail("usage: kavroctl q350 show PROFILE.cfg [--program-dir DIR] [--json]", 2);
  const std::string& path = args.positional[0];
  std::string bytes;
  if (!platform::readFile(path, bytes, kExportFileSize))
    return cli::fail("cannot read " + path + ": " + platform::lastErrorText());
  const ProfileImage image = ProfileImage::fromBytes(bytes);
  const ProfileSettings& s = image.settings;
  if (s.signature != kProfileSignature)
    return cli::fail(platform::format("%s is not a Q350 profile (signature 0x%08X)", path, s.signature));

  const std::string folder = programFolderFor(args, path);
  MacroLibrary macros;
  std::string libraryBytes;
  if (!folder.empty() && platform::readFile(platform::findFileNoCase(folder, "Macro.cfg"), libraryBytes,
                                            MacroLibrary::kFileSize))
    macros.load(libraryBytes);
  cli::q350::LanguageTexts texts;
  texts.load(folder);
  const KeyMap defaults = DefaultKeyMap();
  const bool exported = bytes.size() >= kExportFileSize;
  ProfileEntry entry;
  if (exported) entry = ProfileEntry::load(reinterpret_cast<const unsigned char*>(bytes.data()) + kProfileFileSize);

  if (args.flag("json")) {
    QJsonArray zones;
    for (const std::uint32_t c : s.zoneColour) zones.append(QString::fromStdString(cli::q350::colourText(c)));
    QJsonObject lighting{{"lightingMode", static_cast<double>(s.lightingMode)},
                         {"effectSpeed", static_cast<double>(s.effectSpeed)},
                         {"brightness", static_cast<double>(s.brightness)},
                         {"lightingSwitch", static_cast<double>(s.lightingSwitch)},
                         {"allZones", static_cast<double>(s.allZones)},
                         {"commonColour", QString::fromStdString(cli::q350::colourText(s.commonColour))},
                         {"zoneColour", zones}};
    QJsonArray keys;
    for (std::size_t i = 0; i < kKeyCount; ++i) {
      const std::uint32_t e = s.keyMap[i];
      QJsonObject key{{"index", static_cast<int>(i)},
                      {"entry", QString::fromStdString(platform::format("0x%08X", e))},
                      {"kind", entryKind(e)},
                      {"name", qs(AssignmentName(e, image.extra.macroId(i), macros, &texts))},
                      {"factory", e == defaults[i]}};
      if (entryKind(e) == kKindMacro) key.insert("macroId", static_cast<double>(image.extra.macroId(i)));
      keys.append(key);
    }
    QJsonObject root{{"file", QString::fromStdString(path)},
                     {"bytes", static_cast<double>(bytes.size())},
                     {"lighting", lighting},
                     {"keys", keys}};
    if (exported)
      root.insert("profileEntry", QJsonObject{{"name", qs(entry.nameText())},
                                              {"active", static_cast<double>(entry.active)},
                                              {"path", qs(entry.pathText())}});
    cli::printJson(QJsonDocument(root));
    return 0;
  }

  std::printf("profile   %s (%zu bytes%s)\n", path.c_str(), bytes.size(),
              bytes.size() < kProfileFileSize ? ", short: the rest reads as zero" : "");
  if (exported)
    std::printf("exported  from %s%s\n", platform::toUtf8(entry.nameText()).c_str(), entry.active ? " (active)" : "");
  std::printf("lighting  mode %u, speed %u, brightness %u, switch %u, all zones %u\n", s.lightingMode,
              s.effectSpeed, s.brightness, s.lightingSwitch, s.allZones);
  std::printf("common    %s\nzones    ", cli::q350::colourText(s.commonColour).c_str());
  for (const std::uint32_t c : s.zoneColour) std::printf(" %s", cli::q350::colourText(c).c_str());
  std::printf("\nkeys      (* differs from the factory table)\n");
  for (std::size_t i = 0; i < kKeyCount; ++i) {
    const std::uint32_t e = s.keyMap[i];
    std::string name = platform::toUtf8(AssignmentName(e, image.extra.macroId(i), macros, &texts));
    if (entryKind(e) == kKindMacro) name = platform::format("macro 0x%08X ", image.extra.macroId(i)) + name;
    std::printf("  %3zu  0x%08X %c %s\n", i, e, e == defaults[i] ? ' ' : '*', name.c_str());
  }
  return 0;
}

}  // namespace

KAVRO_COMMAND({"q350", "show"}, "PROFILE.cfg [--program-dir DIR] [--json]",
              "show a Q350Config profile file: lighting and every key entry with its name", {"program-dir"},
              {"json"}, &runShow)
