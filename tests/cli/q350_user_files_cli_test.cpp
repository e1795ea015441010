// kavroctl q350 on a read-only Q350Config install: it reads the per-user
// copy the program writes (seeded on first use), never the shipped file.
// Root may write anywhere, so as root kavroctl runs as "nobody", for whom
// the install is as read-only as a system install is for a user.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/paths.h"
#include "q350config/settings/macro_library.h"
#include "q350config/settings/settings_store.h"
#include "tests/support/test_env.h"

using namespace q350;

namespace {

TEST(Q350UserFilesCli, KavroctlUsesThePerUserCopyOfAReadOnlyInstall) {
  testsupport::TempDir program, home, scratch;
  const std::string shipped(MacroLibrary::kFileSize, '\0');
  program.write("Macro.cfg", shipped);
  platform::makeFolders(program.file("Profile"));
  ASSERT_EQ(::chmod(program.file("Macro.cfg").c_str(), 0444), 0);
  ASSERT_EQ(::chmod(program.file("Profile").c_str(), 0555), 0);
  ASSERT_EQ(::chmod(program.path().c_str(), 0555), 0);
  ASSERT_EQ(::chmod(home.path().c_str(), 0777), 0);  // the other user's home

  const std::string dataHome = home.file(".local/share");
  const std::string userLibrary = dataHome + "/kavro/Q350/Macro.cfg";
  std::string prefix = "env HOME=" + testsupport::shellQuote(home.path()) +
                       " XDG_DATA_HOME=" + testsupport::shellQuote(dataHome) + " ";
  if (::geteuid() == 0) prefix = "setpriv --reuid=65534 --regid=65534 --clear-groups " + prefix;
  auto macros = [&] {
    return testsupport::runCommand(prefix + testsupport::shellQuote(testsupport::binaryDir() + "/cli/kavroctl") +
                                       " q350 macros --program-dir " + testsupport::shellQuote(program.path()),
                                   scratch);
  };

  // First use: the per-user copy is made from the shipped library.
  testsupport::ProcessResult r = macros();
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find(userLibrary + ": 0 macros"), std::string::npos) << r.out;
  EXPECT_EQ(testsupport::readAll(userLibrary), shipped);

  // The program stores a macro there (as its macro page would) ...
  SettingsStore store(dataHome + "/kavro/Q350/");
  store.setPauseFunction([](unsigned) {});
  ASSERT_TRUE(store.LoadMacroLibrary());
  MacroImage macro;
  macro.size = 104 + 4 * 2;
  macro.id = 0x15000003;
  macro.events = {makeEvent(kEventPress, 0x41), makeEvent(kEventRelease, 0x41)};
  ASSERT_TRUE(store.StoreMacroImage(macro));
  ASSERT_EQ(::chmod(userLibrary.c_str(), 0666), 0);

  // ... and kavroctl sees it; the shipped library stays cleared.
  r = macros();
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find(userLibrary + ": 1 macros"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("0x15000003"), std::string::npos) << r.out;
  EXPECT_EQ(testsupport::readAll(program.file("Macro.cfg")), shipped);

  ::chmod(program.path().c_str(), 0755);  // so that the folder can be removed
  ::chmod(program.file("Profile").c_str(), 0755);
}

}  // namespace
