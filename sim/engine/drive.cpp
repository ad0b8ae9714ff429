/*
** drive.cpp: one drive frequency through an engine.  The exact engine
** solves the steady state at once, of a circuit prepared once for a
** sweep when the caller holds it prepared.  For ngspice the run length is
** found by trying: a short run first, and only when the last two periods
** of it still differ a longer one that goes on from the short one's final
** state (each coil's current, each capacitor's voltage), so nothing is
** simulated twice; whatever the outcome, the result says how far from
** steady the last period was.  A netlist asked for
** is the exported one, with its measurements; the runs leave them out.
*/
#include "sim/engine/drive.h"

#include <cassert>
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

const char* MethodName(int method) {
  static const char* const names[] = {"pwl-exact", "shooting"};
  return names[method];
}

int EngineByName(const char* name) {
  for (int e = 0; e < kEngineCount; e++)
    if (std::strcmp(name, kEngineNames[e]) == 0) return e;
  return -1;
}

int EngineFor(const Circuit&, int asked) {
  return asked;
}
const int kAutoPeriodsCount = 3;

namespace {

/* The vectors the measurements read, in the order of RawRun. */
const std::vector<std::string>& MeasuredVectors() {
  static const std::vector<std::string> names = {"time",   kNodeSwitch, kSwitchCurrent, kNodeLoad,
                                                 kMeterIn, kMeterOut,   kMeterDevice};
  return names;
}

/* Periods first + 1 to `periods` of circuit c, whose parts start at
   period `first` from their Initial values: a run of periods - first
   periods, its times counted from the start of the whole (so r.Periods
   and the measurements are those of all `periods`).  With `next`, each
   part's Initial there becomes its state at the end of period `periods`,
   where a continuation starts. */
void RunSegment(const Circuit& c, double hz, int first, int periods, SimResult& r, Circuit* next) {
  std::vector<std::string> lines, names = MeasuredVectors();
  BuildTransientNetlist(c, hz, periods - first, lines, next != nullptr);
  std::vector<StateProbe> probes;
  StateProbes(c, probes);
  if (next)
    for (const StateProbe& p : probes)
      for (const std::string& v : {p.Current, p.Plus, p.Minus})
        if (!v.empty()) names.push_back(v);
  std::vector<std::vector<double>> re, im;
  r.Run = RunNetlist(lines, names, re, im);
  if (!r.Run.Ok()) return;
  for (double& t : re[0]) t += first / hz;
  /* A background run says nothing of how it ended but its vectors; the
     last period must end inside them. */
  if (!(re[0].back() > periods / hz)) {
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
  if (!next) return;
  *next = c;
  size_t v = MeasuredVectors().size();
  const double end = periods / hz;
  for (size_t i = 0; i < probes.size(); i++) {
    double state = 0.0;
    if (!probes[i].Current.empty()) state = ValueAt(re[0], re[v++], end);
    if (!probes[i].Plus.empty()) state += ValueAt(re[0], re[v++], end);
    if (!probes[i].Minus.empty()) state -= ValueAt(re[0], re[v++], end);
    next->Parts[i].Initial = state;
  }
}

/* Runs circuit c for each length of `lengths` in turn until one is
   steady (or, with `untilSteady` false, just the one length); r has the
   figures of the last.  Each length continues the run before from its
   parts' states; a nonlinear device's capacitance has no initial value
   in the netlist, so its runs start over. */
void RunLengths(const Circuit& c, double driveMHz, const int* lengths, int count, bool untilSteady,
                SimResult& r, std::vector<std::string>* netlist) {
  r = SimResult{};
  r.DriveMHz = driveMHz;
  r.Engine = kEngineNgspice;
  const double hz = driveMHz * 1e6;
  const bool carryOn = !IsNonlinear(c);
  Circuit from = c, next;
  int done = 0;
  for (int i = 0; i < count; i++) {
    /* The half-way period that "steady" compares with lies in the
       continuation: each length is at least twice the one before. */
    assert(i == 0 || lengths[i] >= 2 * lengths[i - 1]);
    const bool more = untilSteady && i + 1 < count && carryOn;
    RunSegment(carryOn ? from : c, hz, carryOn ? done : 0, lengths[i], r, more ? &next : nullptr);
    if (!r.Run.Ok() || (untilSteady && r.Steady)) break;
    from = next;
    done = lengths[i];
  }
  r.DriveMHz = driveMHz;
  r.Engine = kEngineNgspice;
  /* The exported netlist is one run of the whole length from the parts'
     own initial values: up to the integration's error, the same. */
  if (netlist) BuildExportedNetlist(c, hz, r.Periods > 0 ? r.Periods : lengths[0], *netlist);
}

}  // namespace

void RunNgspiceTransient(const Circuit& c, double driveMHz, int periods, SimResult& r,
                         std::vector<std::string>* netlist) {
  RunLengths(c, driveMHz, &periods, 1, false, r, netlist);
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
  RunLengths(c, driveMHz, kAutoPeriods, kAutoPeriodsCount, true, r, netlist);
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
