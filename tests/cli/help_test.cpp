// --help and -h: on kavroctl itself, on each command group and on every
// command, and on kbsim. Each prints its usage on standard output and exits 0.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <regex>
#include <set>
#include <sstream>

#include "tests/support/test_env.h"

namespace {

struct Outcome {
  int status = -1;
  std::string out, err;
};

Outcome run(const testsupport::TempDir& dir, const std::string& binary, const std::string& arguments) {
  const std::string command =
      "'" + binary + "' " + arguments + " >'" + dir.file("out") + "' 2>'" + dir.file("err") + "' </dev/null";
  const int raw = std::system(command.c_str());
  Outcome r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = testsupport::readAll(dir.file("out"));
  r.err = testsupport::readAll(dir.file("err"));
  return r;
}

const std::string kKavroctl = testsupport::binaryDir() + "/cli/kavroctl";

// Every command's words, as "kavroctl --help" lists them ("  sim render N FILE.png ...").
std::vector<std::string> listedCommands(const std::string& help) {
  std::vector<std::string> found;
  std::istringstream lines(help);
  std::string line;
  const std::regex entry("^  ([a-z0-9]+(?: [a-z0-9]+)?)(?: |$).*");
  std::smatch m;
  while (std::getline(lines, line))
    if (std::regex_match(line, m, entry)) found.push_back(m[1]);
  return found;
}

}  // namespace

TEST(CliHelp, TopLevelListsEveryCommand) {
  testsupport::TempDir dir;
  for (const char* ask : {"--help", "-h", "help"}) {
    const Outcome r = run(dir, kKavroctl, ask);
    EXPECT_EQ(r.status, 0) << ask;
    EXPECT_NE(r.out.find("usage: kavroctl <command>"), std::string::npos) << ask;
    EXPECT_NE(r.out.find("  sim render"), std::string::npos) << ask;
    EXPECT_NE(r.out.find("  q350 apply"), std::string::npos) << ask;
  }
  // Nothing at all is a usage error, with the list on standard error.
  const Outcome bare = run(dir, kKavroctl, "");
  EXPECT_EQ(bare.status, 2);
  EXPECT_NE(bare.err.find("  lumera apply"), std::string::npos);
}

TEST(CliHelp, EveryCommandAnswersHelpWithItsUsage) {
  testsupport::TempDir dir;
  const std::vector<std::string> all = listedCommands(run(dir, kKavroctl, "--help").out);
  ASSERT_GE(all.size(), 15u);
  std::set<std::string> groups;
  for (const std::string& words : all) {
    for (const char* ask : {"--help", "-h"}) {
      const Outcome r = run(dir, kKavroctl, words + " " + ask);
      EXPECT_EQ(r.status, 0) << words << " " << ask << ": " << r.err;
      EXPECT_EQ(r.out.rfind("usage: kavroctl " + words + " ", 0), 0u) << words << " " << ask << ": " << r.out;
      EXPECT_TRUE(r.err.empty()) << words << ": " << r.err;
    }
    if (words.find(' ') != std::string::npos) groups.insert(words.substr(0, words.find(' ')));
  }
  EXPECT_EQ(groups, (std::set<std::string>{"hid", "lumera", "macro", "q350", "sim"}));

  // Help wins over arguments that would otherwise be wrong, and names the options.
  const Outcome apply = run(dir, kKavroctl, "q350 apply --profile 9 --bogus --help");
  EXPECT_EQ(apply.status, 0);
  EXPECT_NE(apply.out.find("--program-dir VALUE"), std::string::npos) << apply.out;
}

TEST(CliHelp, GroupsListTheirCommands) {
  testsupport::TempDir dir;
  const Outcome sim = run(dir, kKavroctl, "sim --help");
  EXPECT_EQ(sim.status, 0);
  EXPECT_EQ(sim.out.rfind("usage: kavroctl sim <command>", 0), 0u) << sim.out;
  EXPECT_NE(sim.out.find("  sim render"), std::string::npos);
  EXPECT_EQ(sim.out.find("  lumera"), std::string::npos) << "only the group's own commands";

  // A group without its command is a usage error that still shows the group.
  const Outcome bare = run(dir, kKavroctl, "sim");
  EXPECT_EQ(bare.status, 2);
  EXPECT_NE(bare.err.find("  sim plug"), std::string::npos);

  const Outcome unknown = run(dir, kKavroctl, "nosuch --help");
  EXPECT_EQ(unknown.status, 2);
  EXPECT_NE(unknown.err.find("unknown command 'nosuch'"), std::string::npos) << unknown.err;
}

TEST(CliHelp, SimulatorAnswersHelp) {
  testsupport::TempDir dir;
  for (const char* ask : {"--help", "-h"}) {
    const Outcome r = run(dir, KAVRO_KBSIM_PATH, ask);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("usage: kbsim ", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("--transcript"), std::string::npos);
  }
  const Outcome wrong = run(dir, KAVRO_KBSIM_PATH, "--nonsense x");
  EXPECT_EQ(wrong.status, 2);
  EXPECT_NE(wrong.err.find("unknown argument --nonsense"), std::string::npos);
}
