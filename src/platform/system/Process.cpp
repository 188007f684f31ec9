#include "platform/system/Process.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

extern char** environ;

std::unique_ptr<TProcess> TProcess::Start(const std::string& program, const std::vector<std::string>& arguments,
                                          const std::string& workingDirectory, int& error) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
  if (!workingDirectory.empty()) posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str());
  // The child starts with no blocked signals and default handling, whatever the caller set.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t signals;
  sigemptyset(&signals);
  posix_spawnattr_setsigmask(&attributes, &signals);
  sigfillset(&signals);
  posix_spawnattr_setsigdefault(&attributes, &signals);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  pid_t pid = -1;
  error = ::posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) return nullptr;
  return std::unique_ptr<TProcess>(new TProcess(pid));
}

bool TProcess::Running() {
  if (Ended_) return false;
  int status = 0;
  const pid_t rc = ::waitpid(Pid_, &status, WNOHANG);
  if (rc == 0) return true;
  if (rc < 0 && errno == EINTR) return true;
  Ended_ = true;
  if (rc < 0) return false;  // status lost; ExitCode stays -1
  if (WIFEXITED(status)) ExitCode_ = WEXITSTATUS(status);
  else if (WIFSIGNALED(status)) ExitCode_ = 128 + WTERMSIG(status);
  return false;
}

int TProcess::Wait(const std::function<void()>& idle, int sleepMilliseconds) {
  const timespec pause{0, long(sleepMilliseconds) * 1000000L};
  while (Running()) {
    if (idle) idle();
    ::nanosleep(&pause, nullptr);  // a signal only shortens the pause
  }
  return ExitCode_;
}

TProcess::~TProcess() {
  if (Ended_) return;
  int status;
  while (::waitpid(Pid_, &status, 0) < 0 && errno == EINTR) {
  }
}
