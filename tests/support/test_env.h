// Test helpers: private folders and environment for one test.
#pragma once

#include <string>
#include <vector>

namespace testsupport {

// A fresh temporary folder, removed with everything in it on destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  // path() joined with a relative name.
  std::string file(const std::string& name) const;
  // Writes a file (creating folders on the way); returns its full path.
  std::string write(const std::string& name, const std::string& bytes) const;

 private:
  std::string path_;
};

// Sets an environment variable for the lifetime of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  bool had_;
  std::string old_;
};

// A private home: HOME, XDG_DATA_HOME, XDG_CONFIG_HOME, XDG_RUNTIME_DIR and
// XDG_DESKTOP_DIR point into a temporary folder (the desktop folder exists).
class SandboxHome {
 public:
  SandboxHome();
  const std::string& home() const { return dir_.path(); }
  std::string desktop() const { return dir_.file("Desktop"); }
  std::string appData() const { return dir_.file(".local/share"); }
  std::string config() const { return dir_.file(".config"); }
  std::string runtime() const { return dir_.file("run"); }

 private:
  TempDir dir_;
  ScopedEnv home_, data_, config_, runtime_, desktop_, registry_;
};

// The outcome of running a program.
struct ProcessResult {
  int status = -1;  // exit status, -1 when it did not exit normally
  std::string out, err;
};

// Runs a shell command line with standard output and error captured (through
// files in `scratch`, so large outputs cannot dead-lock a pipe).
ProcessResult runCommand(const std::string& commandLine, const TempDir& scratch);
// Runs the built kavroctl with the given (shell-quoted) arguments.
ProcessResult runKavroctl(const std::string& arguments, const TempDir& scratch);
// Quotes one argument for the shell.
std::string shellQuote(const std::string& argument);

// Reads a whole file ("" when missing).
std::string readAll(const std::string& path);

// Where the source tree and the build tree are (set by CTest).
std::string sourceDir();
std::string binaryDir();

}  // namespace testsupport
