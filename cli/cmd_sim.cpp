// kavroctl sim ...: drives a running kbsim (the keyboard simulator) through
// its socket: $KAVRO_SIM_SOCKET, else kavro-kbsim.sock in the runtime
// folder, or --socket PATH.
#include <QBuffer>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/cmd_lumera_common.h"
#include "cli/command.h"
#include "cli/keyboard_picture.h"
#include "platform/hid/sim_link.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "sim/control.h"

namespace {

sim::Control controlFor(const cli::Args& args) { return sim::Control(args.option("socket")); }

int failed(const sim::Control& control) { return cli::fail(control.lastError()); }

bool keyboardArg(const cli::Args& args, std::size_t i, int& index) {
  long long v = 0;
  if (args.positional.size() <= i || !cli::parseNumber(args.positional[i], v) || v < 0) return false;
  index = static_cast<int>(v);
  return true;
}

int runList(const cli::Args& args) {
  sim::Control control = controlFor(args);
  std::vector<sim::KeyboardStatus> list;
  if (!control.list(list)) return failed(control);
  if (list.empty()) std::printf("no keyboards (plug one with: kavroctl sim plug q350rgb|q350)\n");
  for (const sim::KeyboardStatus& k : list) {
    std::printf("%d %-8s %-9s VID_%04X&PID_%04X version 0x%04X \"%s\"", k.index, k.model.c_str(),
                k.plugged ? "plugged" : "unplugged", k.vendorId, k.productId, k.version, k.product.c_str());
    if (k.slowMs) std::printf(" slow=%ums", k.slowMs);
    if (k.failNext) std::printf(" fail-next=%u", k.failNext);
    if (k.unplugAfter >= 0) std::printf(" unplug-after=%d", k.unplugAfter);
    if (k.mute) std::printf(" mute");
    if (k.rejectedFrames) std::printf(" rejected-frames=%u", k.rejectedFrames);
    std::printf("\n");
  }
  return 0;
}

int runPlug(const cli::Args& args) {
  if (args.positional.size() != 1) return cli::fail("usage: kavroctl sim plug q350rgb|q350|N", 2);
  sim::Control control = controlFor(args);
  int index = -1;
  if (keyboardArg(args, 0, index)) {
    if (!control.replug(index)) return failed(control);
  } else if (!control.plug(args.positional[0], &index)) {
    return failed(control);
  }
  std::printf("%d\n", index);
  return 0;
}

int runUnplug(const cli::Args& args) {
  int index = -1;
  if (args.positional.size() != 1 || !keyboardArg(args, 0, index)) return cli::fail("usage: kavroctl sim unplug N", 2);
  sim::Control control = controlFor(args);
  return control.unplug(index) ? 0 : failed(control);
}

int runFault(const cli::Args& args) {
  static const char* kUsage = "usage: kavroctl sim fault N slow MS | fail COUNT | unplug-after COUNT | mute on|off | clear";
  int index = -1;
  if (args.positional.size() < 2 || !keyboardArg(args, 0, index)) return cli::fail(kUsage, 2);
  sim::Control control = controlFor(args);
  const std::string& what = args.positional[1];
  if (what == "clear" && args.positional.size() == 2) return control.clearFaults(index) ? 0 : failed(control);
  if (args.positional.size() != 3) return cli::fail(kUsage, 2);
  const std::string& value = args.positional[2];
  if (what == "mute") {
    if (value != "on" && value != "off") return cli::fail(kUsage, 2);
    return control.mute(index, value == "on") ? 0 : failed(control);
  }
  long long n = 0;
  if (!cli::parseNumber(value, n) || n < 0) return cli::fail(kUsage, 2);
  bool ok = false;
  if (what == "slow") ok = control.slow(index, static_cast<unsigned>(n));
  else if (what == "fail") ok = control.failNext(index, static_cast<unsigned>(n));
  else if (what == "unplug-after") ok = control.unplugAfter(index, static_cast<unsigned>(n));
  else return cli::fail(kUsage, 2);
  return ok ? 0 : failed(control);
}

int runSet(const cli::Args& args) {
  static const char* kUsage =
      "usage: kavroctl sim set N version V | firmware V | product TEXT | password HEX12";
  int index = -1;
  if (args.positional.size() != 3 || !keyboardArg(args, 0, index)) return cli::fail(kUsage, 2);
  sim::Control control = controlFor(args);
  const std::string& what = args.positional[1];
  const std::string& value = args.positional[2];
  long long n = 0;
  bool ok = false;
  if (what == "product") {
    ok = control.setProduct(index, value);
  } else if (what == "password") {
    std::vector<std::uint8_t> bytes;
    if (!platform::hexDecode(value, bytes) || bytes.size() != 6) return cli::fail("the password is 6 bytes in hex", 2);
    ok = control.setPassword(index, bytes);
  } else if ((what == "version" || what == "firmware") && cli::parseNumber(value, n) && n >= 0) {
    ok = what == "version" ? control.setVersion(index, static_cast<unsigned>(n))
                           : control.setFirmware(index, static_cast<unsigned>(n));
  } else {
    return cli::fail(kUsage, 2);
  }
  return ok ? 0 : failed(control);
}

int runDump(const cli::Args& args) {
  int index = -1;
  if (args.positional.size() != 1 || !keyboardArg(args, 0, index))
    return cli::fail("usage: kavroctl sim dump N [--out FILE]", 2);
  sim::Control control = controlFor(args);
  std::vector<std::uint8_t> memory;
  if (!control.dump(index, memory)) return failed(control);
  if (args.has("out")) {
    const std::string& out = args.option("out");
    if (!platform::writeFileAtomic(out, std::string_view(reinterpret_cast<const char*>(memory.data()), memory.size())))
      return cli::fail("cannot write " + out + ": " + platform::lastErrorText());
    return 0;
  }
  // Address, 16 bytes; runs of zero lines are folded into "*".
  bool folded = false;
  for (std::size_t a = 0; a < memory.size(); a += 16) {
    const std::size_t n = std::min<std::size_t>(16, memory.size() - a);
    bool zero = true;
    for (std::size_t i = 0; i < n; ++i) zero = zero && memory[a + i] == 0;
    if (zero && a > 0 && a + 16 < memory.size()) {
      if (!folded) std::printf("*\n");
      folded = true;
      continue;
    }
    folded = false;
    std::printf("%06zx  %s\n", a, platform::hexEncode(memory.data() + a, n, true).c_str());
  }
  return 0;
}

int runTranscript(const cli::Args& args) {
  long long from = 0;
  if (!args.positional.empty() || (args.has("from") && (!cli::parseNumber(args.option("from"), from) || from < 0)))
    return cli::fail("usage: kavroctl sim transcript [--from LINE]", 2);
  sim::Control control = controlFor(args);
  std::vector<std::string> lines;
  if (!control.transcript(lines, static_cast<std::size_t>(from))) return failed(control);
  for (const std::string& line : lines) std::printf("%s\n", line.c_str());
  return 0;
}

int runRender(const cli::Args& args) {
  static const char* kUsage = "usage: kavroctl sim render N FILE.png [--program-dir DIR | --memory]";
  int index = -1;
  if (args.positional.size() != 2 || !keyboardArg(args, 0, index) || (args.flag("memory") && args.has("program-dir")))
    return cli::fail(kUsage, 2);
  sim::Control control = controlFor(args);
  if (args.flag("memory")) {
    // The simulator draws its memory: give it a path that means the same there.
    std::error_code ec;
    const std::string path = std::filesystem::absolute(args.positional[1], ec).string();
    return control.render(index, path) ? 0 : failed(control);
  }

  // The keyboard as Lumera lays it out: the layout of the program folder,
  // with the LED layout the program would pick for this keyboard's version.
  std::vector<sim::KeyboardStatus> list;
  if (!control.list(list)) return failed(control);
  const auto k = std::find_if(list.begin(), list.end(), [&](const sim::KeyboardStatus& s) { return s.index == index; });
  if (k == list.end()) return cli::fail("no keyboard " + std::to_string(index), 1);
  if (k->model != "q350rgb") return cli::fail("keyboard " + std::to_string(index) + " is not a Q350RGB (use --memory)", 2);
  const std::string folder = cli::lumera::programFolderOption(args.option("program-dir"));
  if (folder.empty()) return 1;
  const cli::lumera::StderrMessages messages;
  lumera::LumeraConfig config;
  config.load(folder, false);
  config.initLedMatrix(k->version);
  std::vector<std::uint8_t> memory;
  if (!control.dump(index, memory)) return failed(control);
  const cli::lumera::ProgramTexts texts(folder);
  const cli::KeyboardPicture picture = cli::DrawKeyboardPicture(memory, config, texts);
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!picture.image.save(&buffer, "PNG") ||
      !platform::writeFileAtomic(args.positional[1],
                                 std::string_view(png.constData(), static_cast<std::size_t>(png.size()))))
    return cli::fail("cannot write " + args.positional[1] + ": " + platform::lastErrorText());
  std::printf("%s: %s\n", args.positional[1].c_str(), platform::toUtf8(picture.effectName).c_str());
  return 0;
}

int runInject(const cli::Args& args) {
  int index = -1, mi = -1;
  std::vector<std::uint8_t> report;
  if (args.positional.size() != 3 || !keyboardArg(args, 0, index) || !keyboardArg(args, 1, mi) ||
      !platform::hexDecode(args.positional[2], report))
    return cli::fail("usage: kavroctl sim inject N INTERFACE HEX", 2);
  sim::Control control = controlFor(args);
  return control.inject(index, mi, report) ? 0 : failed(control);
}

int runStop(const cli::Args& args) {
  sim::Control control = controlFor(args);
  return control.stop() ? 0 : failed(control);
}

}  // namespace

KAVRO_COMMAND({"sim", "list"}, "[--socket PATH]", "list the simulator's keyboards", {"socket"}, {}, runList)
KAVRO_COMMAND({"sim", "plug"}, "q350rgb|q350|N [--socket PATH]",
              "plug a new keyboard in (or keyboard N back in); prints its number", {"socket"}, {}, runPlug)
KAVRO_COMMAND({"sim", "unplug"}, "N [--socket PATH]", "pull keyboard N out", {"socket"}, {}, runUnplug)
KAVRO_COMMAND({"sim", "fault"}, "N slow MS|fail COUNT|unplug-after COUNT|mute on|off|clear [--socket PATH]",
              "slow keyboard N down, fail its next transfers, unplug it mid-write, silence its input reports",
              {"socket"}, {}, runFault)
KAVRO_COMMAND({"sim", "set"}, "N version V|firmware V|product TEXT|password HEX12 [--socket PATH]",
              "change keyboard N's version number, firmware version (Q350), product string or password (Q350RGB)",
              {"socket"}, {}, runSet)
KAVRO_COMMAND({"sim", "dump"}, "N [--out FILE] [--socket PATH]", "keyboard N's memory, as hex or raw into a file",
              {"socket", "out"}, {}, runDump)
KAVRO_COMMAND({"sim", "transcript"}, "[--from LINE] [--socket PATH]", "every report the simulator saw",
              {"socket", "from"}, {}, runTranscript)
KAVRO_COMMAND({"sim", "render"}, "N FILE.png [--program-dir DIR | --memory] [--socket PATH]",
              "picture of what Q350RGB N shows, key by key as Lumera's layout in DIR (default: the installed "
              "Lumera) places them, under the effect's name; --memory: the simulator's grid of the stored colour "
              "groups and colour table (or the Q350's zones)",
              {"socket", "program-dir"}, {"memory"}, runRender)
KAVRO_COMMAND({"sim", "inject"}, "N INTERFACE HEX [--socket PATH]",
              "make keyboard N send an input report on an interface", {"socket"}, {}, runInject)
KAVRO_COMMAND({"sim", "stop"}, "[--socket PATH]", "end the simulator", {"socket"}, {}, runStop)
