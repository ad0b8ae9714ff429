/*
** simulate.cpp: one drive frequency through an engine.  The exact engine
** solves the steady state at once.  For ngspice the run length is found
** by trying: a short run first, and a longer one only when the last two
** periods of the short one still differ; whatever the outcome, the result
** says how far from steady the last period was.  A netlist asked for
** is the exported one, with its measurements; the runs leave them out.
*/
#include "sim/simulate.h"

#include "sim/exact_engine.h"
#include "sim/measure.h"
#include "sim/netlist.h"
#include "sim/ngspice_runner.h"

const int kAutoPeriods[] = {60, 240, 960};
const int kAutoPeriodsCount = 3;

void SimulateFor(const Circuit& c, double driveMHz, int periods, SimResult& r,
                 std::vector<std::string>* netlist) {
  r = SimResult{};
  r.DriveMHz = driveMHz;
  r.Engine = kEngineNgspice;
  r.Periods = periods;
  const double hz = driveMHz * 1e6;
  std::vector<std::string> lines;
  BuildTransientNetlist(c, hz, periods, lines);
  if (netlist) BuildExportedNetlist(c, hz, periods, *netlist);
  const std::vector<std::string> names = {"time",   kNodeSwitch, kSwitchCurrent, kNodeLoad,
                                          kMeterIn, kMeterOut,   kMeterDevice};
  std::vector<std::vector<double>> re, im;
  r.Error = RunNetlist(lines, names, re, im);
  if (!r.Error.empty()) return;
  /* A background run says nothing of how it ended but its vectors. */
  if (re[0].back() < periods / hz * (1.0 - 1e-9)) {
    r.Error = "ngspice: the run stopped early";
    return;
  }
  RawRun run;
  run.time = re[0];
  run.vsw = re[1];
  run.isw = re[2];
  run.vload = re[3];
  run.ein = re[4];
  run.eout = re[5];
  run.edev = re[6];
  MeasureRun(run, 1.0 / hz, periods, c.Vcc, r);
  r.Ok = 1;
}

void SimulateDrive(const Circuit& c, int engine, int periods, double driveMHz, SimResult& r,
                   std::vector<std::string>* netlist) {
  if (netlist)
    BuildExportedNetlist(c, driveMHz * 1e6, periods > 0 ? periods : kAutoPeriods[0], *netlist);
  if (engine == kEngineExact) {
    ExactSteadyState(c, driveMHz, r);
    return;
  }
  if (periods > 0) {
    SimulateFor(c, driveMHz, periods, r, netlist);
    return;
  }
  for (int i = 0; i < kAutoPeriodsCount; i++) {
    SimulateFor(c, driveMHz, kAutoPeriods[i], r, netlist);
    if (!r.Ok || r.Steady) return;
  }
}

std::string DeviceImpedance(const Circuit& n, const std::vector<double>& hz,
                            std::vector<double>& rp, std::vector<double>& xp) {
  rp.assign(hz.size(), 0.0);
  xp.assign(hz.size(), 0.0);
  const std::vector<std::string> names = {std::string(kNodeSwitch)};
  for (size_t i = 0; i < hz.size(); i++) {
    std::vector<std::string> lines;
    BuildAcNetlist(n, hz[i], hz[i], 1, lines);
    std::vector<std::vector<double>> re, im;
    const std::string error = RunNetlist(lines, names, re, im);
    if (!error.empty()) return error;
    const double r = re[0][0];
    const double x = im[0].empty() ? 0.0 : im[0][0];
    /* 1 / (r + jx) = g + jb; Rp = 1 / g, Xp = -1 / b. */
    const double mag2 = r * r + x * x;
    rp[i] = r != 0.0 ? mag2 / r : 1e30;
    xp[i] = x != 0.0 ? mag2 / x : 1e30;
  }
  return "";
}
