#pragma once
// A Modbus TCP peer for the tests: a Python script run as a child process on 127.0.0.1. It
// prints "PORT <n>" once it listens; the object kills it (and reaps it) when it goes, on every
// path out of a test.
#include <string>
#include <vector>

#include <sys/types.h>

class TPeerProcess {
 public:
  TPeerProcess() = default;
  TPeerProcess(const TPeerProcess&) = delete;
  TPeerProcess& operator=(const TPeerProcess&) = delete;
  ~TPeerProcess() { Kill(); }

  // Starts the script in tests/plc/peers with Debian's Python and waits (at most a few seconds)
  // for its port. On failure says why in error, naming a missing pymodbus plainly.
  bool Start(const std::string& script, const std::vector<std::string>& args, std::string& error);
  // Kills the process at once, as a PLC that loses power; does nothing when none runs.
  void Kill();
  bool Running() const { return FPid > 0; }
  int Port() const { return FPort; }

 private:
  pid_t FPid = -1;
  int FStdin = -1;
  int FStdout = -1;
  int FPort = 0;
};

// A loopback port on which nothing listens (bound, read and released).
int UnusedLoopbackPort();
