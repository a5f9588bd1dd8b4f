#include "modbus_peer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace {

// Debian's interpreter: the one that sees python3-pymodbus.
constexpr const char* kPython = "/usr/bin/python3";
constexpr int kStartupLimitMs = 15000;

}  // namespace

bool TPeerProcess::Start(const std::string& script, const std::vector<std::string>& args,
                         std::string& error) {
  Kill();
  int in[2];
  int out[2];
  if (pipe2(in, O_CLOEXEC) != 0) {
    error = std::string("pipe: ") + std::strerror(errno);
    return false;
  }
  if (pipe2(out, O_CLOEXEC) != 0) {
    error = std::string("pipe: ") + std::strerror(errno);
    close(in[0]);
    close(in[1]);
    return false;
  }
  const std::string path = std::string(TORVANE_TEST_DATA) + "/peers/" + script;
  std::vector<std::string> words{kPython, "-u", path};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  pid_t pid = -1;
  const int rc = posix_spawn(&pid, kPython, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(in[0]);
  close(out[1]);
  if (rc != 0) {
    close(in[1]);
    close(out[0]);
    error = std::string("cannot start ") + kPython + ": " + std::strerror(rc) +
            " (scripts/setup installs python3 and python3-pymodbus)";
    return false;
  }
  FPid = pid;
  FStdin = in[1];
  FStdout = out[0];

  // Read the first line, bounded in time.
  std::string line;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartupLimitMs);
  while (line.find('\n') == std::string::npos) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline - std::chrono::steady_clock::now())
                          .count();
    pollfd p{FStdout, POLLIN, 0};
    if (left <= 0 || poll(&p, 1, static_cast<int>(left)) <= 0) {
      error = "the peer " + script + " did not report its port within " +
              std::to_string(kStartupLimitMs) + " ms";
      Kill();
      return false;
    }
    char buf[256];
    const ssize_t n = read(FStdout, buf, sizeof buf);
    if (n <= 0) break;
    line.append(buf, static_cast<std::size_t>(n));
  }
  if (line.rfind("NOPYMODBUS", 0) == 0) {
    error = "python3-pymodbus is not installed for " + std::string(kPython) +
            " (run scripts/setup): " + line.substr(0, line.find('\n'));
    Kill();
    return false;
  }
  if (line.rfind("PORT ", 0) != 0) {
    error = "the peer " + script + " did not start (it said: \"" + line + "\")";
    Kill();
    return false;
  }
  FPort = std::atoi(line.c_str() + 5);
  return FPort > 0;
}

void TPeerProcess::Kill() {
  if (FPid > 0) {
    kill(FPid, SIGKILL);
    int status = 0;
    while (waitpid(FPid, &status, 0) < 0 && errno == EINTR) {
    }
    FPid = -1;
  }
  if (FStdin >= 0) close(FStdin);
  if (FStdout >= 0) close(FStdout);
  FStdin = FStdout = -1;
}

int UnusedLoopbackPort() {
  const int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = 0;
  socklen_t len = sizeof a;
  int port = 0;
  if (s >= 0 && bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
      getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) == 0)
    port = ntohs(a.sin_port);
  if (s >= 0) close(s);
  return port;
}
