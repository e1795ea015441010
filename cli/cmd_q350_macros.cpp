// kavroctl q350 macros: the macros of a Q350Config macro library
// ("Macro.cfg") that the macro page lists, with their events.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

#include "cli/cmd_q350_common.h"
#include "cli/command.h"
#include "platform/format.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "q350config/settings/macro_library.h"
#include "q350config/settings/user_files.h"

namespace {

using namespace ::q350;

int runMacros(const cli::Args& args) {
  if (args.positional.size() > 1)
    return cli::fail("usage: kavroctl q350 macros [Macro.cfg | --program-dir DIR] [--json]", 2);
  std::string path;
  if (!args.positional.empty()) {
    path = args.positional[0];
  } else {
    // The library the program uses: in its folder, or in the per-user copy
    // when that folder is read-only.
    const std::string folder =
        args.has("program-dir") ? args.option("program-dir") : cli::q350::installedProgramFolder();
    if (folder.empty() || !platform::isDirectory(folder))
      return cli::fail("no installed Q350Config found; name the macro file or --program-dir", 2);
    path = platform::findFileNoCase(ResolveDataFolder(folder), "Macro.cfg");
  }
  std::string bytes;
  if (!platform::readFile(path, bytes, MacroLibrary::kFileSize + 1))
    return cli::fail("cannot read " + path + ": " + platform::lastErrorText());
  if (bytes.size() != MacroLibrary::kFileSize)
    std::fprintf(stderr, "kavroctl: %s has %zu bytes, a macro library %zu; read as the program reads it\n",
                 path.c_str(), bytes.size(), MacroLibrary::kFileSize);
  MacroLibrary library;
  library.load(bytes);
  const std::vector<std::size_t> listed = library.listedAll();

  if (args.flag("json")) {
    QJsonArray macros;
    for (const std::size_t i : listed) {
      const StoredMacro& m = library.at(i);
      QJsonArray events;
      for (std::size_t k = 0; k < m.eventCount(); ++k) events.append(cli::q350::eventJson(m.events[k]));
      macros.append(QJsonObject{{"record", static_cast<int>(i)},
                                {"id", QString::fromStdString(platform::format("0x%08X", m.id))},
                                {"category", static_cast<int>(m.category())},
                                {"name", QString::fromStdU16String(m.nameText())},
                                {"repeat", static_cast<double>(m.repeat)},
                                {"repeatMode", QString::fromStdString(cli::q350::repeatText(m.repeat))},
                                {"events", events}});
    }
    cli::printJson(QJsonDocument(QJsonObject{{"file", QString::fromStdString(path)}, {"macros", macros}}));
    return 0;
  }

  std::printf("%s: %zu macros\n", path.c_str(), listed.size());
  for (const std::size_t i : listed) {
    const StoredMacro& m = library.at(i);
    std::printf("record %3zu  id 0x%08X  category %u  \"%s\"  repeat %s  %zu events\n", i, m.id, m.category(),
                platform::toUtf8(m.nameText()).c_str(), cli::q350::repeatText(m.repeat).c_str(), m.eventCount());
    std::string line;
    for (std::size_t k = 0; k < m.eventCount(); ++k) line += (k ? ", " : "    ") + cli::q350::eventText(m.events[k]);
    if (!line.empty()) std::printf("%s\n", line.c_str());
  }
  return 0;
}

}  // namespace

KAVRO_COMMAND({"q350", "macros"}, "[Macro.cfg | --program-dir DIR] [--json]",
              "list the macros of a Q350Config macro library with their events", {"program-dir"}, {"json"},
              &runMacros)
