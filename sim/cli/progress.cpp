/*
** progress.cpp: progress lines on standard error, overwritten in place
** with a carriage return when standard error is a terminal.
*/
#include "sim/cli/progress.h"

#include <unistd.h>

#include <cstdio>

#include "sim/engine/steady_state.h"
#include "sim/engine/stop_request.h"
#include "sim/report/tolerance_report.h"

bool ShowToleranceProgress(int engine, int done, int total, double secondsPerRun) {
  static const bool terminal = isatty(fileno(stderr)) != 0;
  if (engine != kEngineNgspice) return StopSignal() == 0;
  if (done == 0) {
    std::fprintf(stderr, "tolvarin-sim: %s\n", ToleranceEstimate(total, secondsPerRun).c_str());
  } else if (terminal) {
    std::fprintf(stderr, "\rtolerance: %d of %d samples%s", done, total, done == total ? "\n" : "");
    std::fflush(stderr);
  }
  return StopSignal() == 0;
}
