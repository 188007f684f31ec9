// Progress of a long open (a picture of many megapixels): the user interface shows how far the
// decode is and lets the user call it off. An open makes one around its work; decoders report
// through it on the thread that opens. Nothing shows until the first report, so small pictures
// open without it; without hooks (no user interface) nothing shows and nothing is called off.
#pragma once

#include <functional>
#include <string>

class TWKLoadProgress {
 public:
  struct THooks {
    std::function<void(const std::string& fileName)> Begin;
    // The share done (0..1); false when the user called the open off.
    std::function<bool(double done)> Update;
    std::function<void()> End;
  };
  static void SetHooks(THooks hooks);

  explicit TWKLoadProgress(const std::string& fileName);
  ~TWKLoadProgress();
  TWKLoadProgress(const TWKLoadProgress&) = delete;
  TWKLoadProgress& operator=(const TWKLoadProgress&) = delete;

  // The share done of the open under way; false once the user has called it off (true when no
  // open is under way).
  static bool Report(double done);
  // The open under way was called off.
  static bool Cancelled();
  // An open is under way (the user interface keeps running while it shows its progress).
  static bool Running();

 private:
  std::string FileName_;
  bool Shown_ = false;
  bool Cancelled_ = false;
  TWKLoadProgress* Outer_ = nullptr;
};
