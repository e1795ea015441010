// A kbsim child process for tests: started on a socket and a transcript in
// a fresh temporary folder, stopped (and the folder removed) with the object.
//
//   sim::SimProcess sim;
//   ASSERT_TRUE(sim.start({"q350rgb"}));
//   testsupport::ScopedEnv env("KAVRO_SIM_SOCKET", sim.socketPath());
//   ... run the code under test ...
//   auto frames = sim.transcript();       // parsed lines
//   sim.control().unplug(0);
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "sim/control.h"

namespace sim {

class SimProcess {
 public:
  SimProcess();
  ~SimProcess();
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  // Starts kbsim with the given keyboards and waits (up to 10 s) until it
  // prints "ready". The program is `kbsimPath`, else $KAVRO_KBSIM, else
  // "kbsim" in the program folder; the socket is `socketPath`, else one in
  // the temporary folder.
  bool start(const std::vector<std::string>& keyboards = {}, const std::string& kbsimPath = {},
             const std::string& socketPath = {});
  // Asks kbsim to stop and waits for it (killing it when it will not).
  // False when it had to be killed or ended with a non-zero status.
  bool stop();
  bool running() const { return pid_ > 0; }

  const std::string& socketPath() const { return socket_; }
  const std::string& transcriptPath() const { return transcriptFile_; }
  const std::string& folder() const { return folder_; }
  const std::string& error() const { return error_; }
  Control& control() { return control_; }

  // The transcript from line `from` on, parsed; and its length so far.
  std::vector<TranscriptLine> transcript(std::size_t from = 0);
  std::size_t transcriptSize();

 private:
  std::string folder_;
  std::string socket_;
  std::string transcriptFile_;
  std::string error_;
  pid_t pid_ = -1;
  Control control_;
};

}  // namespace sim
