// kavroctl lumera profiles [--appdata DIR] [--program-dir DIR] [--json]
//                          [--set-program ID NAME | --clear-program ID]
// The profiles of "pro.dct" and which one "curid.dct" names current; and
// the program whose running switches the keyboard to a profile (Lumera's
// automatic switch), which the window sets with a right click on a
// profile button.
#include <QJsonDocument>
#include <algorithm>
#include <cstdio>

#include "cli/cmd_lumera_common.h"
#include "cli/command.h"
#include "lumera/model/profile.h"
#include "platform/paths.h"
#include "platform/format.h"
#include "platform/text.h"

namespace {

using namespace ::lumera;

constexpr const char* kUsage =
    "[--appdata DIR] [--program-dir DIR] [--json] [--set-program ID NAME | --clear-program ID]";

// --set-program / --clear-program: changes one profile's program name and
// writes "pro.dct" back (whole or not at all).
int setProgram(const cli::Args& args, const std::string& folder, ProfileList& profiles) {
  const bool set = args.has("set-program");
  const std::string idText = args.option(set ? "set-program" : "clear-program");
  long long id = 0;
  if (!cli::parseNumber(idText, id) || id == 0) return cli::fail("a profile id is a number (see 'kavroctl lumera profiles')", 2);
  auto it = std::find_if(profiles.begin(), profiles.end(), [id](const ProfileRecord& p) { return p.id == id; });
  if (it == profiles.end()) return cli::fail("no profile with id " + idText + " in " + folder);
  std::u16string name;
  if (set) {
    name = platform::toUtf16(args.positional[0]);
    if (name.empty() || name.size() >= kProgramNameUnits)
      return cli::fail("a program name has 1 to " + std::to_string(kProgramNameUnits - 1) + " characters", 2);
  }
  setProfileProgramName(*it, name);
  if (!SaveProfiles(folder, profiles)) return cli::fail("cannot write pro.dct in " + folder + ": " + platform::lastErrorText());
  if (set)
    std::printf("%s\n", platform::format("profile 0x%08X switches in while \"%s\" runs", it->id, name).c_str());
  else
    std::printf("%s\n", platform::format("profile 0x%08X is linked to no program", it->id).c_str());
  return 0;
}

int run(const cli::Args& args) {
  const bool set = args.has("set-program"), clear = args.has("clear-program");
  if ((set && clear) || args.positional.size() != (set ? 1u : 0u))
    return cli::fail(std::string("usage: kavroctl lumera profiles ") + kUsage, 2);
  cli::lumera::StderrMessages messages;
  const std::string folder = cli::lumera::appDataOption(args.option("appdata"), args.option("program-dir"));
  if (folder.empty()) return 1;
  ProfileList profiles;
  std::vector<int> slotNumbers;
  if (!LoadProfiles(folder, profiles, &slotNumbers)) return cli::fail("cannot read pro.dct in " + folder);
  if (set || clear) return setProgram(args, folder, profiles);
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

KAVRO_COMMAND({"lumera", "profiles"}, kUsage,
              "list the profiles of pro.dct and the current one of curid.dct; link a profile to a program",
              {"appdata", "program-dir", "set-program", "clear-program"}, {"json"}, &run)
