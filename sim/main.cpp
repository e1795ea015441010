// kbsim: virtual Q350 and Q350RGB keyboards on a local socket.
//
//   kbsim [--socket PATH] [--transcript FILE] [--keyboard q350rgb|q350]...
//
// Prints "ready" on a line of its own once it listens, then serves until it
// gets SIGINT or SIGTERM or a "stop" request.
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/hid/sim_link.h"
#include "sim/bus.h"
#include "sim/server.h"

namespace {

sim::Server* gServer = nullptr;

void onSignal(int) {
  if (gServer) gServer->stop();
}

void printUsage(std::FILE* out) {
  std::fprintf(out,
               "usage: kbsim [--socket PATH] [--transcript FILE] [--keyboard q350rgb|q350]...\n"
               "  --socket      where to listen (default: $KAVRO_SIM_SOCKET, else kavro-kbsim.sock\n"
               "                in the runtime folder)\n"
               "  --transcript  file that gets one line per report\n"
               "  --keyboard    a keyboard plugged in from the start (repeatable)\n"
               "  --help, -h    this text\n");
}

int usage(const char* message) {
  std::fprintf(stderr, "kbsim: %s\n", message);
  printUsage(stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  platform::setProgramName("kbsim");
  std::string socketPath = platform::simSocketPath();
  std::string transcriptPath;
  std::vector<std::string> keyboards;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      printUsage(stdout);
      return 0;
    }
    if (i + 1 >= argc) return usage(("missing value after " + arg).c_str());
    if (arg == "--socket") socketPath = argv[++i];
    else if (arg == "--transcript") transcriptPath = argv[++i];
    else if (arg == "--keyboard") keyboards.push_back(argv[++i]);
    else return usage(("unknown argument " + arg).c_str());
  }

  sim::Transcript transcript;
  if (!transcript.open(transcriptPath)) {
    std::fprintf(stderr, "kbsim: cannot write the transcript %s: %s\n", transcriptPath.c_str(), std::strerror(errno));
    return 1;
  }
  sim::Bus bus(transcript);
  for (const std::string& model : keyboards) {
    std::unique_ptr<sim::Keyboard> kb = sim::makeKeyboard(model);
    if (!kb) return usage(("unknown keyboard " + model).c_str());
    bus.plug(std::move(kb));
  }
  sim::Server server(bus, transcript);
  std::string error;
  if (!server.listen(socketPath, error)) {
    std::fprintf(stderr, "kbsim: %s\n", error.c_str());
    return 1;
  }
  gServer = &server;
  struct sigaction sa {};
  sa.sa_handler = onSignal;
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGTERM, &sa, nullptr);
  std::signal(SIGPIPE, SIG_IGN);

  std::printf("ready\n");
  std::fflush(stdout);
  server.run();
  gServer = nullptr;
  return 0;
}
