// Huge pages against normal pages for a 24-megapixel photo: the open (decode into a new image),
// a quarter turn and a Lanczos halving, each timed in a fresh process (a new address space, no
// kept blocks), as a program start meets them. Prints the median and the worst of the starts.
#include <sys/wait.h>
#include <turbojpeg.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "documents/WKGraphicsCodec.h"
#include "imaging/WKBitmap.h"
#include "imaging/WKPageMemory.h"

namespace {

constexpr int32_t W = 6000, H = 4000;

// A photo-like 24-megapixel JPEG at quality 90, 4:2:0.
bool MakePhoto(const std::string& path) {
  std::vector<uint8_t> rgb(size_t(W) * H * 3);
  uint32_t noise = 1;
  for (int32_t y = 0; y < H; ++y)
    for (int32_t x = 0; x < W; ++x) {
      noise = noise * 1664525u + 1013904223u;
      uint8_t* p = &rgb[(size_t(y) * W + x) * 3];
      p[0] = uint8_t((x / 23 + y / 17) * 3 + (noise >> 28));
      p[1] = uint8_t((x + 2 * y) / 40 + (noise >> 29));
      p[2] = uint8_t((3 * x + y) / 50);
    }
  tjhandle tj = tjInitCompress();
  unsigned char* out = nullptr;
  unsigned long size = 0;
  const bool ok = tjCompress2(tj, rgb.data(), W, 0, H, TJPF_RGB, &out, &size, TJSAMP_420, 90, 0) == 0;
  tjDestroy(tj);
  FILE* file = ok ? std::fopen(path.c_str(), "wb") : nullptr;
  const bool written = file != nullptr && std::fwrite(out, 1, size, file) == size;
  if (file != nullptr) std::fclose(file);
  tjFree(out);
  return written;
}

double Milliseconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

// In the child: open, turn and halve; the three times in milliseconds.
void TimeSteps(const std::string& path, double out[3]) {
  TWKLTBitmap image;
  TImageInfo info;
  std::string error;
  auto start = std::chrono::steady_clock::now();
  if (!DecodeImageFile(path, image, info, error)) std::exit(2);
  out[0] = Milliseconds(start);
  start = std::chrono::steady_clock::now();
  if (!image.RotateRight()) std::exit(3);
  out[1] = Milliseconds(start);
  start = std::chrono::steady_clock::now();
  if (!image.Resize(H / 2, W / 2)) std::exit(4);
  out[2] = Milliseconds(start);
}

bool FreshStart(const std::string& path, bool huge, double out[3]) {
  int fds[2];
  if (pipe(fds) != 0) return false;
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    SetHugePagesForTest(huge);
    double times[3] = {};
    TimeSteps(path, times);
    const bool sent = write(fds[1], times, sizeof times) == ssize_t(sizeof times);
    _exit(sent ? 0 : 5);
  }
  close(fds[1]);
  const bool read_ = read(fds[0], out, 3 * sizeof(double)) == ssize_t(3 * sizeof(double));
  close(fds[0]);
  int status = 0;
  return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0 && read_;
}

}  // namespace

int main(int argc, char** argv) {
  const int starts = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
  const std::string path = "/tmp/qm-page-bench-" + std::to_string(getpid()) + ".jpg";
  if (!MakePhoto(path)) return 1;
  const char* names[3] = {"open", "quarter turn", "Lanczos halving"};
  std::vector<double> times[2][3];
  // Alternating, so that the load of the machine falls on both alike.
  for (int i = 0; i < starts; ++i)
    for (const bool huge : {true, false}) {
      double t[3];
      if (!FreshStart(path, huge, t)) return 1;
      for (int s = 0; s < 3; ++s) times[huge ? 1 : 0][s].push_back(t[s]);
    }
  std::remove(path.c_str());
  std::printf("%d fresh starts each, milliseconds          median   worst\n", starts);
  for (int s = 0; s < 3; ++s)
    for (const int huge : {1, 0}) {
      std::vector<double>& v = times[huge][s];
      std::sort(v.begin(), v.end());
      std::printf("%-16s %-13s                  %7.1f %7.1f\n", names[s], huge ? "huge pages" : "normal pages",
                  v[v.size() / 2], v.back());
    }
  return 0;
}
