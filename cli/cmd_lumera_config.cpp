// kavroctl lumera config PROGRAM_DIR [--json] [--version 0x201]
// Runs Lumera's data initialisation on a program folder and shows what it
// read: the options, the key, LED and gesture layouts, the effect table.
#include <QJsonDocument>
#include <cstdio>

#include "cli/cmd_lumera_common.h"
#include "cli/command.h"
#include "lumera/model/config.h"
#include "platform/format.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace {

using namespace ::lumera;

QJsonValue optionJson(const OptionValue& v) {
  switch (v.kind) {
    case OptionValue::Kind::Text: return QString::fromStdString(platform::toUtf8(v.text));
    case OptionValue::Kind::Numbers: {
      QJsonArray a;
      for (std::int64_t n : v.numbers) a.append(static_cast<double>(n));
      return a;
    }
    default: return static_cast<double>(v.number);
  }
}

std::string optionText(const OptionValue& v) {
  switch (v.kind) {
    case OptionValue::Kind::Text: return "\"" + platform::toUtf8(v.text) + "\"";
    case OptionValue::Kind::Colour: return platform::format("0x%06X", v.number);
    case OptionValue::Kind::Numbers: {
      std::string s;
      for (std::size_t i = 0; i < v.numbers.size(); ++i) s += (i ? "," : "") + std::to_string(v.numbers[i]);
      return s;
    }
    default: return std::to_string(v.number);
  }
}

// Records up to the last one that differs from a fresh layout record.
template <std::size_t N>
std::size_t usedRecords(const std::array<KeyInfo, N>& records, int count) {
  KeyInfo fresh;
  fresh.funA.dwMatrixInx = 29;
  std::size_t used = static_cast<std::size_t>(count);
  for (std::size_t i = used; i < N; ++i)
    if (records[i] != fresh) used = i + 1;
  return used;
}

QJsonObject effectJson(const EffectOption& e) {
  QJsonArray flags, colours;
  for (auto f : e.flags) flags.append(f);
  for (Colour c : e.colours) colours.append(static_cast<double>(c));
  return QJsonObject{{"code", e.code}, {"flags", flags}, {"colours", colours}};
}

int run(const cli::Args& args) {
  if (args.positional.size() != 1) return cli::fail("usage: kavroctl lumera config PROGRAM_DIR [--json] [--version 0x201]", 2);
  const std::string folder = args.positional[0];
  if (!platform::isDirectory(folder)) return cli::fail(folder + " is not a folder");
  long long version = 0;
  if (args.has("version") && (!cli::parseNumber(args.option("version"), version) || version < 0 || version > 0xFFFF))
    return cli::fail("--version takes a number such as 0x201", 2);

  cli::lumera::StderrMessages messages;
  LumeraConfig cfg;
  cfg.load(folder, false);
  if (version != 0) cfg.initLedMatrix(static_cast<unsigned>(version));

  const std::size_t keys = usedRecords(cfg.keyLayout(), cfg.keyCount());
  if (args.flag("json")) {
    QJsonObject options;
    for (const OptionEntry& e : cfg.optionEntries()) options.insert(QString::fromStdString(e.key), optionJson(e.value));
    QJsonArray keyArray, ledArray, gestureArray, effectArray;
    for (std::size_t i = 0; i < keys; ++i) keyArray.append(cli::lumera::keyInfoJson(cfg.keyLayout()[i]));
    for (int i = 0; i < cfg.ledCount(); ++i) ledArray.append(cli::lumera::keyInfoJson(cfg.ledLayout()[static_cast<std::size_t>(i)]));
    for (const KeyInfo& g : cfg.gestureLayout()) gestureArray.append(cli::lumera::keyInfoJson(g));
    for (const EffectOption& e : cfg.options().effects) effectArray.append(effectJson(e));
    cli::printJson(QJsonDocument(QJsonObject{{"options", options},
                                             {"keys", keyArray},
                                             {"leds", ledArray},
                                             {"gestures", gestureArray},
                                             {"effects", effectArray},
                                             {"messages", messages.json()}}));
    return 0;
  }

  std::printf("options:\n");
  for (const OptionEntry& e : cfg.optionEntries()) std::printf("  %s = %s\n", e.key.c_str(), optionText(e.value).c_str());
  std::printf("keys (%d read from section KEY):\n", cfg.keyCount());
  for (std::size_t i = 0; i < keys; ++i)
    std::printf("  K%zu: %s\n", i + 1, cli::lumera::keyInfoText(cfg.keyLayout()[i]).c_str());
  std::printf("leds (%d from %s):\n", cfg.ledCount(), cfg.ledFile().empty() ? "no file" : cfg.ledFile().c_str());
  for (int i = 0; i < cfg.ledCount(); ++i)
    std::printf("  K%d: %s\n", i + 1, cli::lumera::keyInfoText(cfg.ledLayout()[static_cast<std::size_t>(i)]).c_str());
  std::printf("gestures:\n");
  for (std::size_t i = 0; i < cfg.gestureLayout().size(); ++i)
    std::printf("  K%zu: %s\n", i + 1, cli::lumera::keyInfoText(cfg.gestureLayout()[i]).c_str());
  std::printf("effects:\n");
  for (std::size_t i = 0; i < cfg.options().effects.size(); ++i) {
    const EffectOption& e = cfg.options().effects[i];
    std::string colours;
    for (Colour c : e.colours) colours += platform::format(" 0x%06X", c);
    std::printf("  LedOpt%zu: code=%u flags=%u,%u,%u,%u,%u colours:%s\n", i + 1, e.code, e.flags[0], e.flags[1],
                e.flags[2], e.flags[3], e.flags[4], colours.c_str());
  }
  return 0;
}

}  // namespace

KAVRO_COMMAND({"lumera", "config"}, "PROGRAM_DIR [--json] [--version 0x201]",
              "run Lumera's data initialisation on a program folder and print options and tables",
              {"version"}, {"json"}, &run)
