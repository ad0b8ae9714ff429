/*
** period_samples.cpp: the waveforms of the solved period at uniform
** instants, and the peak of the switch voltage between them.
**
** Within a segment each sample follows from the one before by the
** segment's propagator over one sample interval; the first sample of a
** segment from the segment's start.  The peak is refined within a sample
** either side of the largest by Newton's method on the voltage's Taylor
** series about it (to the fourth derivative, which a 360th of a period
** leaves exact to a few parts in 10^9).
*/
#include "sim/engine/period_samples.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <utility>

namespace {

/* The segment that instant t of the period belongs to; an instant on a
   boundary belongs to the segment that ends there, so t = 0 is the end
   of the period, with the switch still open.  The search starts at
   segment `from`, every segment before which ends before t: instants
   taken in order need not pass the segments behind them again. */
int SegmentAt(const std::vector<ExactSegment>& segs, double t, double period, int from = 0) {
  if (t <= 0.0) t = period;
  for (size_t k = from; k < segs.size(); k++)
    if (t <= segs[k].Start + segs[k].Length) return static_cast<int>(k);
  return static_cast<int>(segs.size()) - 1;
}

/* exp(M tau) - I. */
void Propagator(const ChainMatrix& m, double tau, ChainMatrix& f) {
  ChainExpm1(m, tau, ChainLevels(m, tau), f);
}

/* z at instant t, 0 < t <= period or t = 0, in segment k. */
ChainVector StateAt(const ExactWorkspace& w, int k, double t, double period) {
  const ExactSegment& s = w.Segments[k];
  const double tau = (t <= 0.0 ? period : t) - s.Start;
  ChainMatrix f;
  Propagator(w.Systems[s.System].M, tau, f);
  const ChainVector& z = w.Start[k];
  return z + f * z;
}

/* The waveforms at samples from .. to - 1 of one segment, each a step
   of `step` (exp(M dt) - I) from the one before, z the state at sample
   from - 1 and on return at sample to - 1.  At a size N known when
   compiled Eigen unrolls the step's products, several times faster than
   at the run-time size. */
struct Run {
  int From, To;
  std::vector<double>& Vsw;
  std::vector<double>*Isw, *Vload;
};

template <int N>
using Square = Eigen::Matrix<double, N, N, 0, N == Eigen::Dynamic ? int(kMaxAugmented) : N,
                             N == Eigen::Dynamic ? int(kMaxAugmented) : N>;

template <int N>
void StepRun(const ChainMatrix& step, const ExactSystem& sys, ChainVector& z, const Run& run) {
  using Column = Eigen::Matrix<double, N, 1, 0, Square<N>::MaxRowsAtCompileTime, 1>;
  using Row = Eigen::Matrix<double, 1, N, Eigen::RowMajor, 1, Square<N>::MaxColsAtCompileTime>;
  const Square<N> e = step;
  const Row voltage = sys.SwitchVoltage, current = sys.SwitchCurrent, load = sys.LoadVoltage;
  Column x = z, dx(x.size());
  for (int i = run.From; i < run.To; i++) {
    dx.noalias() = e.lazyProduct(x);
    x += dx;
    run.Vsw[i] = voltage.dot(x);
    if (run.Isw) (*run.Isw)[i] = current.dot(x);
    if (run.Vload) (*run.Vload)[i] = load.dot(x);
  }
  z = x;
}

/* The kernels of augmented sizes 2 .. kFixedSizes, by size; a larger
   circuit takes the run-time size. */
const int kFixedSizes = 14;
using RunKernel = void (*)(const ChainMatrix&, const ExactSystem&, ChainVector&, const Run&);
template <int... N>
constexpr auto RunKernels(std::integer_sequence<int, N...>) {
  return std::array<RunKernel, sizeof...(N)>{&StepRun<N + 2>...};
}
constexpr auto kRun = RunKernels(std::make_integer_sequence<int, kFixedSizes - 1>());

void StepSamples(const ChainMatrix& step, const ExactSystem& sys, ChainVector& z, const Run& run) {
  const Eigen::Index m = step.rows();
  if (m >= 2 && m <= kFixedSizes)
    kRun[m - 2](step, sys, z, run);
  else
    StepRun<Eigen::Dynamic>(step, sys, z, run);
}

}  // namespace

void SamplePeriod(const ExactWorkspace& w, double period, std::vector<double>& vsw,
                  std::vector<double>* isw, std::vector<double>* vload) {
  vsw.assign(kPeriodSamples, 0.0);
  if (isw) isw->assign(kPeriodSamples, 0.0);
  if (vload) vload->assign(kPeriodSamples, 0.0);
  const double dt = period / double(kPeriodSamples);
  int k = -1;       /* segment of the sample before, -1 for none */
  int from = 0;     /* where the search for a sample's segment starts */
  int stepFor = -1; /* the system whose propagator over dt step holds */
  ChainMatrix step;
  ChainVector z;
  for (int i = 0; i < kPeriodSamples;) {
    const double t = i * dt;
    const int at = SegmentAt(w.Segments, t, period, from);
    if (i > 0) from = at;
    const int system = w.Segments[at].System;
    const ExactSystem& sys = w.Systems[system];
    if (at == k) {
      /* This sample and those after it in the segment, stepped. */
      const ExactSegment& s = w.Segments[at];
      int to = i + 1;
      while (to < kPeriodSamples && to * dt <= s.Start + s.Length) to++;
      /* A rising and a falling ramp step share their system, and so
         their propagator over dt. */
      if (stepFor != system) Propagator(sys.M, dt, step);
      stepFor = system;
      StepSamples(step, sys, z, Run{i, to, vsw, isw, vload});
      i = to;
      continue;
    }
    z = StateAt(w, at, t, period);
    k = i == 0 ? -1 : at; /* t = 0 belongs to the last segment */
    vsw[i] = sys.SwitchVoltage.dot(z);
    if (isw) (*isw)[i] = sys.SwitchCurrent.dot(z);
    if (vload) (*vload)[i] = sys.LoadVoltage.dot(z);
    i++;
  }
}

double PeakVoltage(const ExactWorkspace& w, double period, const std::vector<double>& v) {
  const int n = static_cast<int>(v.size());
  assert(n > 0);
  const int best = static_cast<int>(std::max_element(v.begin(), v.end()) - v.begin());
  const double dt = period / n;
  if (best == 0) return v[best];
  const int k = SegmentAt(w.Segments, best * dt, period);
  const ExactSegment& s = w.Segments[k];
  if ((best - 1) * dt < s.Start || (best + 1) * dt > s.Start + s.Length) return v[best];
  const ExactSystem& sys = w.Systems[s.System];
  /* d[j]: the j-th derivative of the voltage at the sample; M z has a
     zero last entry, so M^j z is the state's j-th derivative. */
  ChainVector dz = sys.M * StateAt(w, k, best * dt, period);
  double d[5] = {v[best], sys.SwitchVoltage.dot(dz), 0.0, 0.0, 0.0};
  for (int j = 2; j < 5; j++) {
    dz = (sys.M * dz).eval();
    d[j] = sys.SwitchVoltage.dot(dz);
  }
  auto at = [&](double tau, int from) {
    double sum = 0.0, term = 1.0;
    for (int j = from; j < 5; j++) {
      sum += d[j] * term;
      term *= tau / (j - from + 1);
    }
    return sum;
  };
  double tau = 0.0;
  for (int it = 0; it < 8; it++) {
    const double slope = at(tau, 1), curve = at(tau, 2);
    if (!(curve < 0.0)) break;
    const double next = tau - slope / curve;
    if (!(std::fabs(next) < dt)) break;
    const bool done = std::fabs(next - tau) < 1e-9 * dt;
    tau = next;
    if (done) break;
  }
  return std::max(v[best], at(tau, 0));
}
