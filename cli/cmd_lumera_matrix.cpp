// kavroctl lumera matrix [--appdata DIR] [--program-dir DIR] --profile ID [--json]
// Encodes a stored profile as the keyboard's key matrix and macro buffers.
#include <QJsonDocument>
#include <cstdio>

#include "cli/cmd_lumera_common.h"
#include "cli/command.h"
#include "lumera/model/macro.h"
#include "lumera/model/matrix.h"
#include "platform/paths.h"

namespace {

using namespace ::lumera;

int run(const cli::Args& args) {
  long long id = 0;
  if (!args.positional.empty() || !args.has("profile") || !cli::parseNumber(args.option("profile"), id))
    return cli::fail("usage: kavroctl lumera matrix [--appdata DIR] [--program-dir DIR] --profile ID [--json]", 2);
  cli::lumera::StderrMessages messages;
  LumeraConfig config;
  if (!cli::lumera::loadProgramConfig(args.option("program-dir"), config)) return 1;
  const std::string folder = args.has("appdata") ? args.option("appdata") : AppDataFolder(config);

  ProfileList profiles;
  if (!LoadProfiles(folder, profiles)) return cli::fail("cannot read pro.dct in " + folder);
  const auto profile = std::find_if(profiles.begin(), profiles.end(),
                                    [id](const ProfileRecord& p) { return p.id == static_cast<std::int32_t>(id); });
  if (profile == profiles.end()) return cli::fail("no profile with id " + args.option("profile") + " in " + folder);

  MacroList macros;
  ReadMacroLibrary(platform::joinPath(folder, "Mac"), config.options().MacroDir != 0, config.options().MacroHasMsKey,
                   macros);
  KeyMatrix matrix;
  FillMatrix(*profile, macros, config, matrix);
  const auto payload = matrix.payload();
  const std::size_t bufferSize = static_cast<std::size_t>(config.hwParam().nMacroBufferSize);

  if (args.flag("json")) {
    QJsonArray buffers;
    for (int i = 0; i < matrix.macroCount; ++i)
      buffers.append(QString::fromStdString(
          cli::lumera::hexLines(matrix.macroBuffers.data() + static_cast<std::size_t>(i) * bufferSize, bufferSize, 0)));
    cli::printJson(QJsonDocument(QJsonObject{
        {"profile", static_cast<double>(id)},
        {"matrix", QString::fromStdString(cli::lumera::hexLines(payload.data(), payload.size(), 0))},
        {"macroCount", matrix.macroCount},
        {"macroBuffers", buffers},
        {"messages", messages.json()}}));
    return 0;
  }
  std::printf("key matrix (%zu bytes, each code most significant byte first):\n%s\n", payload.size(),
              cli::lumera::hexLines(payload.data(), payload.size(), 32).c_str());
  std::printf("macro buffers: %d\n", matrix.macroCount);
  for (int i = 0; i < matrix.macroCount; ++i)
    std::printf("buffer %d:\n%s\n", i + 1,
                cli::lumera::hexLines(matrix.macroBuffers.data() + static_cast<std::size_t>(i) * bufferSize, bufferSize,
                                      32)
                    .c_str());
  return 0;
}

}  // namespace

KAVRO_COMMAND({"lumera", "matrix"}, "[--appdata DIR] [--program-dir DIR] --profile ID [--json]",
              "encode a stored profile as the key matrix payload and macro buffers, in hex",
              {"appdata", "program-dir", "profile"}, {"json"}, &run)
