// For tests that need a real X server: outside one, the test program runs itself again under
// xvfb-run on a 1280 x 1024 screen with Qt's xcb platform.
#pragma once

#include <unistd.h>

#include <QStandardPaths>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <vector>

namespace xvfb_rerun {

// The exit code ctest counts as skipped.
inline constexpr int kSkipped = 77;

// Returns only under the X server (with -1) or when the program cannot run there: kSkipped when
// one of the tools is not installed, 1 when xvfb-run cannot be started.
inline int RerunUnderXvfb(int argc, char** argv, std::initializer_list<const char*> tools) {
  if (std::getenv("QM_UNDER_XVFB") != nullptr) return -1;
  for (const char* tool : tools) {
    if (QStandardPaths::findExecutable(tool).isEmpty()) {
      std::printf("%s is not installed: skipped\n", tool);
      return kSkipped;
    }
  }
  setenv("QM_UNDER_XVFB", "1", 1);
  setenv("QT_QPA_PLATFORM", "xcb", 1);
  std::vector<char*> args{const_cast<char*>("xvfb-run"), const_cast<char*>("-a"), const_cast<char*>("-s"),
                          const_cast<char*>("-screen 0 1280x1024x24")};
  for (int i = 0; i < argc; ++i) args.push_back(argv[i]);
  args.push_back(nullptr);
  execvp("xvfb-run", args.data());
  std::perror("xvfb-run");
  return 1;
}

}  // namespace xvfb_rerun
