// A process-wide named marker that other processes can see: a lock file of that name in
// the user's runtime folder, held with a shared flock while the object lives. The kernel
// releases the lock when the process ends, however it ends.
#pragma once

#include <memory>
#include <string>

class TNamedMutex {
 public:
  // Creates (or opens) the marker without waiting for anyone; none when the runtime
  // folder cannot be used.
  static std::unique_ptr<TNamedMutex> Create(const std::string& name);
  // True while some process holds the marker of that name.
  static bool IsHeld(const std::string& name);
  // The lock file's path for a name: $XDG_RUNTIME_DIR, else the temporary folder.
  static std::string PathFor(const std::string& name);

  ~TNamedMutex();
  TNamedMutex(const TNamedMutex&) = delete;
  TNamedMutex& operator=(const TNamedMutex&) = delete;

 private:
  explicit TNamedMutex(int fd) : Fd_(fd) {}
  int Fd_;
};
