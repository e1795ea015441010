// kavroctl: inspect the programs' files, apply profiles from scripts and
// drive the keyboard simulator, all through the same code the programs run.
#include <QCoreApplication>
#include <QGuiApplication>
#include <QJsonDocument>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>

#include "cli/command.h"
#include "platform/clock.h"

namespace cli {

namespace {
std::vector<Command>& table() {
  static std::vector<Command> t;
  return t;
}

std::string joinWords(const std::vector<std::string>& words) {
  std::string r;
  for (const auto& w : words) r += (r.empty() ? "" : " ") + w;
  return r;
}

// Lists the commands whose words start with `group` (all of them for an empty
// group); false when there is none.
bool printCommands(std::FILE* out, const std::vector<std::string>& group) {
  std::vector<const Command*> sorted;
  for (const Command& c : table())
    if (c.words.size() >= group.size() && std::equal(group.begin(), group.end(), c.words.begin()))
      sorted.push_back(&c);
  if (sorted.empty()) return false;
  std::sort(sorted.begin(), sorted.end(), [](const Command* a, const Command* b) { return a->words < b->words; });
  std::fprintf(out, "usage: kavroctl %s%s<command> [arguments]\n\ncommands:\n", joinWords(group).c_str(),
               group.empty() ? "" : " ");
  for (const Command* c : sorted)
    std::fprintf(out, "  %s %s\n      %s\n", joinWords(c->words).c_str(), c->usage.c_str(), c->summary.c_str());
  return true;
}

void printUsage(std::FILE* out, const Command& c) {
  std::fprintf(out, "usage: kavroctl %s %s\n  %s\n", joinWords(c.words).c_str(), c.usage.c_str(), c.summary.c_str());
  if (c.valueOptions.empty() && c.flagOptions.empty()) return;
  std::fprintf(out, "\noptions:\n");
  for (const std::string& o : c.valueOptions) std::fprintf(out, "  --%s VALUE\n", o.c_str());
  for (const std::string& o : c.flagOptions) std::fprintf(out, "  --%s\n", o.c_str());
  std::fprintf(out, "  --help, -h\n");
}

bool isHelpWord(const std::string& w) { return w == "--help" || w == "-h"; }
}  // namespace

void registerCommand(Command command) { table().push_back(std::move(command)); }
const std::vector<Command>& commands() { return table(); }

int fail(const std::string& message, int status) {
  std::fprintf(stderr, "kavroctl: %s\n", message.c_str());
  return status;
}

bool parseNumber(const std::string& text, long long& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  value = std::strtoll(text.c_str(), &end, 0);
  return errno == 0 && end && *end == 0;
}

void printJson(const QJsonDocument& doc) {
  const QByteArray bytes = doc.toJson(QJsonDocument::Indented);
  std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
}

}  // namespace cli

namespace {
// Commands that draw text into pictures need the GUI application object (for
// fonts); they draw offscreen, so no display is needed.
bool needsGui(int argc, char** argv) {
  if (argc < 3 || std::string(argv[1]) != "sim" || std::string(argv[2]) != "render") return false;
  for (int i = 3; i < argc; ++i)
    if (std::string(argv[i]) == "--memory") return false;
  return true;
}
}  // namespace

int main(int argc, char** argv) {
  std::unique_ptr<QCoreApplication> application;
  if (needsGui(argc, argv)) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    application = std::make_unique<QGuiApplication>(argc, argv);
  } else {
    application = std::make_unique<QCoreApplication>(argc, argv);
  }
  platform::setProgramName("kavroctl");
  std::vector<std::string> words(argv + 1, argv + argc);
  if (words.empty() || (words.size() == 1 && (words[0] == "help" || cli::isHelpWord(words[0])))) {
    cli::printCommands(words.empty() ? stderr : stdout, {});
    return words.empty() ? 2 : 0;
  }
  // "--help" or "-h" anywhere asks for the usage of what the other words name.
  const bool wantsHelp = std::any_of(words.begin(), words.end(), cli::isHelpWord);
  if (wantsHelp) words.erase(std::remove_if(words.begin(), words.end(), cli::isHelpWord), words.end());

  // The command with the longest matching word prefix.
  const cli::Command* best = nullptr;
  for (const cli::Command& c : cli::commands()) {
    if (c.words.size() > words.size()) continue;
    if (!std::equal(c.words.begin(), c.words.end(), words.begin())) continue;
    if (!best || c.words.size() > best->words.size()) best = &c;
  }
  if (wantsHelp) {
    if (best) {
      cli::printUsage(stdout, *best);
      return 0;
    }
    if (cli::printCommands(stdout, words)) return 0;
  }
  if (!best) {
    // A command group named without its command ("kavroctl sim"): show what it has.
    if (cli::printCommands(stderr, words)) return 2;
    cli::fail("unknown command '" + cli::joinWords(words) + "' (try 'kavroctl help')");
    return 2;
  }

  cli::Args args;
  for (std::size_t i = best->words.size(); i < words.size(); ++i) {
    const std::string& w = words[i];
    if (w.size() > 2 && w.compare(0, 2, "--") == 0) {
      std::string name = w.substr(2);
      std::string inlineValue;
      const std::size_t eq = name.find('=');
      const bool hasInline = eq != std::string::npos;
      if (hasInline) {
        inlineValue = name.substr(eq + 1);
        name.resize(eq);
      }
      const auto& vo = best->valueOptions;
      const auto& fo = best->flagOptions;
      if (std::find(vo.begin(), vo.end(), name) != vo.end()) {
        if (hasInline) {
          args.options[name] = inlineValue;
        } else if (i + 1 < words.size()) {
          args.options[name] = words[++i];
        } else {
          return cli::fail("option --" + name + " needs a value", 2);
        }
      } else if (std::find(fo.begin(), fo.end(), name) != fo.end() && !hasInline) {
        args.flags.insert(name);
      } else {
        std::string cmd;
        for (const auto& part : best->words) cmd += (cmd.empty() ? "" : " ") + part;
        return cli::fail("unknown option --" + name + "\nusage: kavroctl " + cmd + " " + best->usage, 2);
      }
    } else {
      args.positional.push_back(w);
    }
  }
  return best->run(args);
}
