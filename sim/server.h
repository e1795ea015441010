// The simulator's socket server: the line protocol of PROTOCOL.md on a Unix
// stream socket, one thread, poll() based. Slowed transfers and reads that
// wait for an input report are parked with a deadline, so one slow keyboard
// never holds up another client.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "sim/bus.h"

namespace sim {

class Server {
 public:
  explicit Server(Bus& bus, Transcript& transcript);
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // Binds and listens. A socket file nobody listens on is replaced; one
  // that answers belongs to another simulator and makes this fail.
  bool listen(const std::string& path, std::string& error);
  // Serves until stop() or a "stop" request.
  void run();
  // From any thread or a signal handler.
  void stop();

 private:
  struct Connection;
  void accept();
  bool readFrom(Connection& c);
  void flush(Connection& c);
  void processLines(Connection& c);
  void handle(Connection& c, const std::string& line, bool delayed);
  void transfer(Connection& c, const std::vector<std::string>& words);
  void finishRead(Connection& c, bool timedOut);
  void serviceTimers();
  int nextTimeout() const;
  void reply(Connection& c, const std::string& line);
  void onPlug(bool arrival, const Slot& slot);
  void onInput(const Slot& slot, int interfaceNumber, const Bytes& report);
  std::string control(const std::vector<std::string>& words, Connection& c);

  Bus& bus_;
  Transcript& transcript_;
  int listen_ = -1;
  int wake_[2] = {-1, -1};
  std::string path_;
  bool stopping_ = false;
  std::vector<std::unique_ptr<Connection>> connections_;
};

}  // namespace sim
