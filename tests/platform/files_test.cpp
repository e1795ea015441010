#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "platform/folders.h"
#include "platform/paths.h"
#include "tests/support/test_env.h"

using namespace platform;
using testsupport::ScopedEnv;
using testsupport::TempDir;

TEST(Paths, JoinAndSeparators) {
  EXPECT_EQ(joinPath("/opt/kavro/", "Profile\\Profile1.cfg"), "/opt/kavro/Profile/Profile1.cfg");
  EXPECT_EQ(joinPath("/opt/kavro", "/skins/x.png"), "/opt/kavro/skins/x.png");
  EXPECT_EQ(joinPath("/", "etc"), "/etc");
  EXPECT_EQ(joinPath("", "a"), "a");
  EXPECT_EQ(fileNameOf("/a/b\\c.mck"), "c.mck");
  EXPECT_EQ(folderOf("/a/b/c.mck"), "/a/b/");
  EXPECT_EQ(folderOf("c.mck"), "");
}

TEST(Paths, ProgramFolderIsTheExecutablesFolderUnlessOverridden) {
  const std::string folder = programFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '/');
  EXPECT_TRUE(isDirectory(folder));
  setProgramFolder("/x/y");
  EXPECT_EQ(programFolder(), "/x/y/");
  setProgramFolder("");
  EXPECT_EQ(programFolder(), folder);
}

TEST(Paths, CaseInsensitiveLookupPrefersAnExactMatch) {
  TempDir dir;
  dir.write("Cfg.ini", "x");
  dir.write("skins/Gest/gest1_nr.png", "p");
  EXPECT_EQ(findFileNoCase(dir.path(), "cfg.ini"), dir.file("Cfg.ini"));
  EXPECT_EQ(findFileNoCase(dir.path(), "CFG.INI"), dir.file("Cfg.ini"));
  EXPECT_EQ(findFileNoCase(dir.path(), "none.ini"), dir.file("none.ini"));
  EXPECT_EQ(resolveNoCase(dir.path(), "SKINS\\gest\\GEST1_NR.png"), dir.file("skins/Gest/gest1_nr.png"));
  dir.write("cfg.ini", "y");
  EXPECT_EQ(findFileNoCase(dir.path(), "cfg.ini"), dir.file("cfg.ini"));
}

TEST(Paths, AtomicWriteReplacesWholeOrLeavesTheOldFile) {
  TempDir dir;
  const std::string target = dir.file("pro.dct");
  ASSERT_TRUE(writeFileAtomic(target, std::string("\x00\x01\x02", 3)));
  std::string bytes;
  ASSERT_TRUE(readFile(target, bytes));
  EXPECT_EQ(bytes, std::string("\x00\x01\x02", 3));
  struct stat st{};
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);

  // A folder that cannot be written: the write fails and the file stays.
  ASSERT_EQ(::chmod(dir.path().c_str(), 0500), 0);
  if (::geteuid() != 0) {
    EXPECT_FALSE(writeFileAtomic(target, "new"));
    ASSERT_TRUE(readFile(target, bytes));
    EXPECT_EQ(bytes.size(), 3u);
  }
  ::chmod(dir.path().c_str(), 0700);
  EXPECT_FALSE(writeFileAtomic(dir.file("missing/sub/file"), "x"));
  EXPECT_FALSE(readFile(dir.file("missing"), bytes));
  EXPECT_FALSE(readFile(dir.path(), bytes));  // a folder is not a file
  ASSERT_TRUE(readFile(target, bytes, 2));
  EXPECT_EQ(bytes.size(), 2u);
}

namespace {
void ageFile(const std::string& path, int seconds) {
  struct timespec times[2];
  times[0].tv_sec = times[1].tv_sec = ::time(nullptr) - seconds;
  times[0].tv_nsec = times[1].tv_nsec = 0;
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}
bool exists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }
}  // namespace

TEST(Paths, AtomicWriteSweepsOnlyItsOwnStaleTemporaries) {
  TempDir dir;
  const std::string target = dir.file("curid.dct");
  // Left by a killed save of this target an hour ago: removed.
  const std::string stale = target + ".tmpA1b2C3";
  dir.write("curid.dct.tmpA1b2C3", "half");
  ageFile(stale, 3600);
  // Same pattern but of another target, a different length, a name a user
  // chose, a fresh one (a save under way elsewhere): all kept.
  const std::vector<std::string> kept = {"pro.dct.tmpA1b2C3", "curid.dct.tmpA1b2C", "curid.dct.tmp-notes",
                                         "curid.dct.tmpA1b2C3x", "curid.dct.tmpZZZZZZ"};
  for (const std::string& name : kept) {
    dir.write(name, "keep");
    if (name != "curid.dct.tmpZZZZZZ") ageFile(dir.file(name), 3600);
  }
  // One still held by a living writer (its lock) is kept however old.
  dir.write("curid.dct.tmpLOCKED", "live");
  ageFile(dir.file("curid.dct.tmpLOCKED"), 3600);
  const int held = ::open(dir.file("curid.dct.tmpLOCKED").c_str(), O_RDONLY);
  ASSERT_GE(held, 0);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);

  ASSERT_TRUE(writeFileAtomic(target, "id"));
  EXPECT_FALSE(exists(stale));
  for (const std::string& name : kept) EXPECT_TRUE(exists(dir.file(name))) << name;
  EXPECT_TRUE(exists(dir.file("curid.dct.tmpLOCKED")));
  ::close(held);
  std::string bytes;
  ASSERT_TRUE(readFile(target, bytes));
  EXPECT_EQ(bytes, "id");
}

TEST(Folders, FollowTheXdgVariables) {
  TempDir dir;
  ScopedEnv home("HOME", dir.path());
  ScopedEnv data("XDG_DATA_HOME", "");
  ScopedEnv config("XDG_CONFIG_HOME", "");
  ScopedEnv desktop("XDG_DESKTOP_DIR", "");
  EXPECT_EQ(localAppDataFolder(), dir.path() + "/.local/share");
  EXPECT_EQ(configFolder(), dir.path() + "/.config");
  EXPECT_EQ(desktopFolder(), dir.path() + "/Desktop");

  dir.write(".config/user-dirs.dirs", "# comment\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n");
  EXPECT_EQ(desktopFolder(), dir.path() + "/Schreibtisch");
  {
    ScopedEnv d2("XDG_DESKTOP_DIR", "/elsewhere/desk/");
    EXPECT_EQ(desktopFolder(), "/elsewhere/desk");
  }
  ScopedEnv data2("XDG_DATA_HOME", dir.file("data"));
  EXPECT_EQ(localAppDataFolder(), dir.file("data"));
  ScopedEnv relative("XDG_CONFIG_HOME", "relative/path");  // ignored: not absolute
  EXPECT_EQ(configFolder(), dir.path() + "/.config");
}
