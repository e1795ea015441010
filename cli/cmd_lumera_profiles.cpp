// kavroctl lumera profiles [--appdata DIR] [--program-dir DIR] [--json]
// The profiles of "pro.dct" and which one "curid.dct" names current.
#include <QJsonDocument>
#include <cstdio>

#include "cli/cmd_lumera_common.h"
#include "cli/command.h"
#include "lumera/model/profile.h"
#include "platform/format.h"
#include "platform/text.h"

namespace {

using namespace ::lumera;

int run(const cli::Args& args) {
  if (!args.positional.empty()) return cli::fail("usage: kavroctl lumera profiles [--appdata DIR] [--json]", 2);
  cli::lumera::StderrMessages messages;
  const std::string folder = cli::lumera::appDataOption(args.option("appdata"), args.option("program-dir"));
  if (folder.empty()) return 1;
  ProfileList profiles;
  std::vector<int> slotNumbers;
  if (!LoadProfiles(folder, profiles, &slotNumbers)) return cli::fail("cannot read pro.dct in " + folder);
  const std::int32_t current = LoadCurrentId(folder);

  if (args.flag("json")) {
    QJsonArray list;
    for (std::size_t i = 0; i < profiles.size(); ++i) {
      const ProfileRecord& p = profiles[i];
      list.append(QJsonObject{{"slot", slotNumbers[i]},
                              {"id", p.id},
                              {"name", QString::fromStdString(platform::toUtf8(profileName(p)))},
                              {"programName", QString::fromStdString(platform::toUtf8(profileProgramName(p)))},
                              {"effectIndex", p.effectIndex},
                              {"colourGroup", p.colourGroup},
                              {"current", p.id == current}});
    }
    cli::printJson(QJsonDocument(QJsonObject{{"folder", QString::fromStdString(folder)},
                                             {"currentId", current},
                                             {"profiles", list}}));
    return 0;
  }
  std::printf("%s: %zu profiles, curid.dct names 0x%08X\n", folder.c_str(), profiles.size(),
              static_cast<unsigned>(current));
  for (std::size_t i = 0; i < profiles.size(); ++i) {
    const ProfileRecord& p = profiles[i];
    std::printf("%s\n", platform::format("slot %2d: id=0x%08X name=\"%s\" program=\"%s\" effect=%d colourGroup=%u%s",
                                         slotNumbers[i], p.id, profileName(p), profileProgramName(p), p.effectIndex,
                                         p.colourGroup, p.id == current ? "  (current)" : "")
                            .c_str());
  }
  return 0;
}

}  // namespace

KAVRO_COMMAND({"lumera", "profiles"}, "[--appdata DIR] [--program-dir DIR] [--json]",
              "list the profiles of pro.dct and the current one of curid.dct", {"appdata", "program-dir"}, {"json"},
              &run)
