// Runs a piece of a test as an ordinary user, so that file permissions count: root may write any
// file, so a test run as root gives the work to a child process that has become "nobody".
#pragma once

#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

namespace test_support {

inline constexpr uid_t kNobody = 65534;

// The user the work runs as: this one, or nobody when this one is root.
inline uid_t WorkingUser() { return ::geteuid() == 0 ? kNobody : ::geteuid(); }

// Gives the folder and everything in it to the working user.
inline void HandOver(const std::string& folder) {
  if (::geteuid() != 0) return;
  (void)!::chown(folder.c_str(), kNobody, kNobody);
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
    (void)!::lchown(entry.path().c_str(), kNobody, kNobody);
}

// The text the work returns, as the working user sees things ("" on a failure to run at all).
inline std::string RunAsWorkingUser(const std::function<std::string()>& work) {
  if (::geteuid() != 0) return work();
  int pipe[2];
  if (::pipe(pipe) != 0) return {};
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(pipe[0]);
    std::string result = "could not become nobody";
    if (::setgid(kNobody) == 0 && ::setuid(kNobody) == 0) result = work();
    (void)!::write(pipe[1], result.data(), result.size());
    ::_exit(0);
  }
  ::close(pipe[1]);
  std::string result;
  char buffer[4096];
  for (ssize_t n; (n = ::read(pipe[0], buffer, sizeof buffer)) > 0;) result.append(buffer, size_t(n));
  ::close(pipe[0]);
  ::waitpid(child, nullptr, 0);
  return result;
}

}  // namespace test_support
