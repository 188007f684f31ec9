// Starting a program as a separate process and waiting for its exit code without blocking
// signals: the caller's thread polls with short sleeps and may do its own work in between.
#pragma once

#include <sys/types.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TProcess {
 public:
  // Starts program (a path, not searched in $PATH) with argv = program followed by
  // arguments, the current environment, no inherited descriptors beyond 0-2, no blocked or
  // ignored signals, and the working directory when it is not empty. Null on failure with
  // the system's error number in error.
  static std::unique_ptr<TProcess> Start(const std::string& program, const std::vector<std::string>& arguments,
                                         const std::string& workingDirectory, int& error);

  // The exit code as the parent sees it: 0..255 (an exit code of -1 reads as 255); a process
  // ended by a signal gives 128 + the signal number. -1 while it still runs or when its status
  // is lost (for instance when SIGCHLD is ignored).
  int ExitCode() const { return ExitCode_; }
  bool Running();
  // Polls every sleepMilliseconds until the process has ended, calling idle (when set) on
  // every pass; returns ExitCode().
  int Wait(const std::function<void()>& idle = {}, int sleepMilliseconds = 10);

  pid_t Pid() const { return Pid_; }
  // Waits for the process if it still runs, so that no zombie stays behind.
  ~TProcess();
  TProcess(const TProcess&) = delete;
  TProcess& operator=(const TProcess&) = delete;

 private:
  explicit TProcess(pid_t pid) : Pid_(pid) {}
  pid_t Pid_;
  bool Ended_ = false;
  int ExitCode_ = -1;
};
