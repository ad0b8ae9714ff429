/*
** progress.cpp: progress lines on standard error, overwritten in place
** with a carriage return when standard error is a terminal.
*/
#include "sim/cli/progress.h"

#include <unistd.h>

#include <cstdio>

#include "sim/engine/stop_request.h"

namespace {

/* A run shorter than this shows nothing. */
const double kQuietSeconds = 1.0;

bool Terminal() {
  static const bool terminal = isatty(fileno(stderr)) != 0;
  return terminal;
}

double Seconds(const ProgressMeter& m) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - m.Start).count();
}

}  // namespace

ProgressMeter StartProgress(const char* what, const char* unit) {
  return ProgressMeter{what, unit, std::chrono::steady_clock::now(), false};
}

bool ShowProgress(ProgressMeter& m, int done, int total) {
  const double seconds = Seconds(m);
  if (Terminal() && seconds >= kQuietSeconds && done > 0) {
    if (total > 0)
      std::fprintf(stderr, "\r%s: %d of %d %s, about %.0f s left  ", m.What, done, total, m.Unit,
                   seconds / done * (total - done));
    else
      std::fprintf(stderr, "\r%s: %d %s, %.0f s  ", m.What, done, m.Unit, seconds);
    std::fflush(stderr);
    m.Shown = true;
  }
  return StopSignal() == 0;
}

void EndProgress(ProgressMeter& m) {
  if (!m.Shown) return;
  std::fprintf(stderr, "\r%*s\r", 72, "");
  std::fflush(stderr);
  m.Shown = false;
}
