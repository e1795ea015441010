// kavroctl's command table. Each command lives in its own file and registers
// itself with one KAVRO_COMMAND line, so adding a command touches nothing else.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

class QJsonObject;
class QJsonDocument;

namespace cli {

struct Args {
  std::vector<std::string> positional;
  std::map<std::string, std::string> options;  // "--name value"
  std::set<std::string> flags;                 // "--name"

  bool flag(const std::string& name) const { return flags.count(name) != 0; }
  bool has(const std::string& name) const { return options.count(name) != 0; }
  std::string option(const std::string& name, const std::string& def = {}) const {
    const auto it = options.find(name);
    return it == options.end() ? def : it->second;
  }
};

struct Command {
  std::vector<std::string> words;          // e.g. {"lumera", "config"}
  std::string usage;                       // what follows the words
  std::string summary;                     // one line for the help list
  std::vector<std::string> valueOptions;   // options that take a value
  std::vector<std::string> flagOptions;    // options that take none
  int (*run)(const Args&) = nullptr;
};

void registerCommand(Command command);
const std::vector<Command>& commands();

// Prints "kavroctl: <message>" on standard error and returns `status`.
int fail(const std::string& message, int status = 1);
// Parses "0x201", "513" and the like; false on anything else.
bool parseNumber(const std::string& text, long long& value);
// Writes a JSON document (indented) to standard output.
void printJson(const QJsonDocument& doc);

struct Registrar {
  explicit Registrar(Command command) { registerCommand(std::move(command)); }
};

}  // namespace cli

#define KAVRO_CLI_CONCAT2(a, b) a##b
#define KAVRO_CLI_CONCAT(a, b) KAVRO_CLI_CONCAT2(a, b)
#define KAVRO_COMMAND(...) \
  static const ::cli::Registrar KAVRO_CLI_CONCAT(kavroCommand_, __LINE__){::cli::Command{__VA_ARGS__}};
