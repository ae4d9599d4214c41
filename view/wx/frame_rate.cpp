#include "view/wx/frame_rate.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

struct FrameRate {
  long paints = 0;
  long paintsThisSecond = 0;
  long second = 0;
  std::chrono::steady_clock::time_point start;
  std::FILE* log = nullptr;

  FrameRate() {
    const char* path = std::getenv("BRIMOSS_FPS_LOG");
    if (path && *path) log = std::fopen(path, "a");
  }
};

FrameRate& rate() {
  static FrameRate r;
  return r;
}

}  // namespace

void CountPaint() {
  FrameRate& r = rate();
  const auto now = std::chrono::steady_clock::now();
  if (r.paints++ == 0) r.start = now;
  if (!r.log) return;
  const long second = static_cast<long>(std::chrono::duration<double>(now - r.start).count());
  if (second != r.second) {
    std::fprintf(r.log, "%ld %ld\n", r.second + 1, r.paintsThisSecond);
    std::fflush(r.log);
    r.second = second;
    r.paintsThisSecond = 0;
  }
  ++r.paintsThisSecond;
}

long PaintCount() { return rate().paints; }
