// A process-wide named marker that other processes can see: a lock file of that name, held with
// a shared flock while the object lives. The kernel releases the lock when the process ends,
// however it ends. The file lies in a folder only the user can write, and is never reached
// through a symbolic link, so no one else can point it at a file of the user's.
#pragma once

#include <memory>
#include <string>

class TNamedMutex {
 public:
  // Creates (or opens) the marker without waiting for anyone; none when no folder of the
  // user's own can be used.
  static std::unique_ptr<TNamedMutex> Create(const std::string& name);
  // True while some process holds the marker of that name.
  static bool IsHeld(const std::string& name);
  // The folder of the lock files: $XDG_RUNTIME_DIR when it is the user's own and no one else
  // may write it, else the folder "quillmoor-<uid>" (made with mode 0700) in $TMPDIR or /tmp,
  // when it is the user's own and no one else may write it; empty otherwise.
  static std::string LockFolder();
  // The lock file's path for a name; empty when there is no lock folder.
  static std::string PathFor(const std::string& name);

  ~TNamedMutex();
  TNamedMutex(const TNamedMutex&) = delete;
  TNamedMutex& operator=(const TNamedMutex&) = delete;

 private:
  explicit TNamedMutex(int fd) : Fd_(fd) {}
  int Fd_;
};
