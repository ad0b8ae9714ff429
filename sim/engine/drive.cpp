/*
** drive.cpp: one drive frequency through an engine.  The exact engine
** solves the steady state at once, of a circuit prepared once for a
** sweep when the caller holds it prepared.  For ngspice the run length is found
** by trying: a short run first, and a longer one only when the last two
** periods of the short one still differ; whatever the outcome, the result
** says how far from steady the last period was.  A netlist asked for
** is the exported one, with its measurements; the runs leave them out.
*/
#include "sim/engine/drive.h"

#include <cstring>

#include "sim/engine/exact_engine.h"
#include "sim/engine/measure.h"
#include "sim/engine/netlist.h"
#include "sim/engine/ngspice_runner.h"

const int kAutoPeriods[] = {60, 240, 960};

namespace {

const char* const kEngineNames[kEngineCount] = {"exact", "ngspice"};

}  // namespace

const char* EngineName(int engine) {
  return kEngineNames[engine];
}

int EngineByName(const char* name) {
  for (int e = 0; e < kEngineCount; e++)
    if (std::strcmp(name, kEngineNames[e]) == 0) return e;
  return -1;
}

int EngineFor(const Circuit& c, int asked) {
  return IsNonlinear(c) ? kEngineNgspice : asked;
}
const int kAutoPeriodsCount = 3;

void RunNgspiceTransient(const Circuit& c, double driveMHz, int periods, SimResult& r,
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
  r.Run = RunNetlist(lines, names, re, im);
  if (!r.Run.Ok()) return;
  /* A background run says nothing of how it ended but its vectors. */
  if (re[0].back() < periods / hz * (1.0 - 1e-9)) {
    r.Run = Status::Failed("ngspice: the run stopped early");
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
  MeasureRun(run, 1.0 / hz, periods, c.Vcc, c.Device.BodyDiode, r);
  r.Run = Status::Done();
}

void SimulateDrive(const Circuit& c, int engine, int periods, double driveMHz, SimResult& r,
                   std::vector<std::string>* netlist, int detail, ExactWorkspace* prepared) {
  if (netlist)
    BuildExportedNetlist(c, driveMHz * 1e6, periods > 0 ? periods : kAutoPeriods[0], *netlist);
  if (engine == kEngineExact) {
    if (prepared) {
      SolveExact(*prepared, driveMHz, detail, r);
      return;
    }
    ExactWorkspace w;
    PrepareExact(c, w);
    SolveExact(w, driveMHz, detail, r);
    return;
  }
  if (periods > 0) {
    RunNgspiceTransient(c, driveMHz, periods, r, netlist);
    return;
  }
  for (int i = 0; i < kAutoPeriodsCount; i++) {
    RunNgspiceTransient(c, driveMHz, kAutoPeriods[i], r, netlist);
    if (!r.Run.Ok() || r.Steady) return;
  }
}

Status DeviceImpedance(const Circuit& n, const std::vector<double>& hz, std::vector<double>& rp,
                       std::vector<double>& xp) {
  rp.assign(hz.size(), 0.0);
  xp.assign(hz.size(), 0.0);
  const std::vector<std::string> names = {std::string(kNodeSwitch)};
  for (size_t i = 0; i < hz.size(); i++) {
    std::vector<std::string> lines;
    BuildAcNetlist(n, hz[i], hz[i], 1, lines);
    std::vector<std::vector<double>> re, im;
    const Status run = RunNetlist(lines, names, re, im);
    if (!run.Ok()) return run;
    const double r = re[0][0];
    const double x = im[0].empty() ? 0.0 : im[0][0];
    /* 1 / (r + jx) = g + jb; Rp = 1 / g, Xp = -1 / b. */
    const double mag2 = r * r + x * x;
    rp[i] = r != 0.0 ? mag2 / r : 1e30;
    xp[i] = x != 0.0 ? mag2 / x : 1e30;
  }
  return Status::Done();
}
