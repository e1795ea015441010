// kavroctl macro show FILE.mck [--json]
// A Lumera macro file decoded, with the hardware buffer it becomes.
#include <QJsonDocument>
#include <cstdio>

#include "cli/cmd_lumera_common.h"
#include "cli/command.h"
#include "lumera/model/keycodes.h"
#include "lumera/model/macro.h"
#include "platform/format.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace {

using namespace ::lumera;

std::string eventKeyName(std::uint16_t code) {
  static const char* const kMouse[] = {"tc_click", "tc_menu", "tc_middle", "tc_forward",
                                       "tc_back", "tc_scrollup", "tc_scrolldown"};
  if (code >= kMouseLeft && code <= kMouseScrollDown) return kMouse[code - kMouseLeft];
  return platform::toUtf8(KeyName(code, keysAsTexts()));
}

int run(const cli::Args& args) {
  if (args.positional.size() != 1) return cli::fail("usage: kavroctl macro show FILE.mck [--json]", 2);
  const std::string& path = args.positional[0];
  MacroRecord m;
  switch (readMacroFile(path, 0x7F, m)) {
    case MacroFileStatus::Ok: break;
    case MacroFileStatus::CannotRead: return cli::fail("cannot read " + path + ": " + platform::lastErrorText());
    case MacroFileStatus::WrongSize: return cli::fail(path + " is not a macro file (not 1714 bytes)");
    case MacroFileStatus::WrongMagic: return cli::fail(path + " is not a macro file (wrong magic number)");
    case MacroFileStatus::UnsupportedKey: return cli::fail(path + " holds an unsupported key");
  }
  std::uint8_t hardware[256] = {};
  const int length = StMacro_To_HdMacro(&m, hardware);
  const std::size_t events = macroEventCount(m);

  if (args.flag("json")) {
    QJsonArray list;
    for (std::size_t i = 0; i < events; ++i) {
      const MacroEvent& e = m.events[i];
      list.append(QJsonObject{{"keyCode", e.keyCode},
                              {"name", QString::fromStdString(eventKeyName(e.keyCode))},
                              {"down", e.down != 0},
                              {"delay", static_cast<double>(e.delay)}});
    }
    cli::printJson(QJsonDocument(QJsonObject{
        {"id", m.id},
        {"name", QString::fromStdString(platform::toUtf8(macroName(m)))},
        {"repeatMode", static_cast<double>(m.repeatMode)},
        {"loopCount", m.loopCount},
        {"autoDelay", static_cast<double>(m.autoDelay)},
        {"events", list},
        {"hardware", QString::fromStdString(cli::lumera::hexLines(hardware, static_cast<std::size_t>(length), 0))}}));
    return 0;
  }
  std::printf("%s\n", platform::format("id=0x%06X name=\"%s\" repeatMode=%u loopCount=%u autoDelay=%u events=%u", m.id,
                                       macroName(m), m.repeatMode, m.loopCount, m.autoDelay, events)
                          .c_str());
  for (std::size_t i = 0; i < events; ++i) {
    const MacroEvent& e = m.events[i];
    std::printf("  %3zu: %-12s %-8s %u ms\n", i + 1, eventKeyName(e.keyCode).c_str(), e.down ? "pressed" : "released",
                e.delay);
  }
  std::printf("hardware buffer (%d bytes):\n%s\n", length,
              cli::lumera::hexLines(hardware, static_cast<std::size_t>(length), 32).c_str());
  return 0;
}

}  // namespace

KAVRO_COMMAND({"macro", "show"}, "FILE.mck [--json]", "decode a Lumera macro file and show its hardware buffer", {},
              {"json"}, &run)
