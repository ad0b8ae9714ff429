/*
** device_heat.cpp: the junction temperature found by iterating
** TJ <- Ta + Pdev(TJ) Rth.  The first step is the plain fixed-point one;
** after it each step is the secant of g(TJ) = Ta + Pdev(TJ) Rth - TJ
** through the last two, which lands in one or two steps because the
** dissipation is all but linear in Ron over a few tens of kelvin.  A
** circuit whose dissipation grows faster with temperature than the
** heatsink takes it away has no such temperature (thermal runaway); so
** has one hotter than any datasheet rates.
*/
#include "sim/analysis/device_heat.h"

#include <algorithm>
#include <cmath>

#include "sim/engine/drive.h"

const double kHeatTolerance = 0.1;

namespace {

const int kMaxSteadyStates = 20;

/* Past this the junction has long left every rating: the iteration has
   run away. */
const double kRunawayC = 1000.0;

/* g(tj), with the steady state there in r. */
bool Excess(const Circuit& c, const HeatRequest& h, double tj, SimResult& r, double* g,
            int* count) {
  Circuit hot = c;
  hot.Switch.Ron = std::max(kMinRon, RonAt(h, tj));
  SimulateDrive(hot, EngineFor(hot, h.Engine), h.Periods, h.DriveMHz, r);
  (*count)++;
  if (!r.Run.Ok()) return false;
  *g = h.AmbientC + r.Pdev * h.RthKPerW - tj;
  return true;
}

}  // namespace

double RonAt(const HeatRequest& h, double tjC) {
  return h.RonOhm * (1.0 + h.TempcoPerK * (tjC - 25.0));
}

void SolveHeat(const Circuit& c, const HeatRequest& h, HeatOutcome& out) {
  out = HeatOutcome{};
  double t0 = h.AmbientC, g0 = 0.0;
  if (!Excess(c, h, t0, out.Point, &g0, &out.SteadyStates)) {
    out.Solved = out.Point.Run;
    return;
  }
  double t1 = t0 + g0, g1 = g0;
  while (std::fabs(g1) > kHeatTolerance || out.SteadyStates == 1) {
    if (out.SteadyStates >= kMaxSteadyStates || !(std::fabs(t1) < kRunawayC)) {
      out.Solved = Status::Failed(
          "no steady junction temperature: the dissipation grows with temperature faster than "
          "the heatsink takes it away (thermal runaway)");
      return;
    }
    SimResult r;
    if (!Excess(c, h, t1, r, &g1, &out.SteadyStates)) {
      out.Solved = r.Run;
      return;
    }
    out.Point = r;
    if (std::fabs(g1) <= kHeatTolerance) break;
    const double slope = (g1 - g0) / (t1 - t0);
    const double next = slope < 0.0 ? t1 - g1 / slope : t1 + g1;
    t0 = t1;
    g0 = g1;
    t1 = next;
  }
  out.TjC = t1;
  out.RonHot = std::max(kMinRon, RonAt(h, t1));
  out.Solved = Status::Done();
}
