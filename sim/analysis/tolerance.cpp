/*
** tolerance.cpp: the Monte Carlo run.  All deviations are drawn before
** the first sample runs, so a sample's parts depend on the seed alone,
** not on which samples failed.  The statistics are over the samples that
** ran; the worst are those of the highest peak switch voltage, which is
** what breaks the device.
*/
#include "sim/analysis/tolerance.h"

#include <algorithm>
#include <cassert>
#include <numeric>

#include "sim/engine/drive.h"

namespace {

/* How many of the worst samples a run keeps. */
const int kWorstKept = 5;

void Statistics(ToleranceRun& run) {
  std::vector<double> values;
  const Figures nominal = FiguresOf(run.Nominal);
  for (int f = 0; f < kFigureCount; f++) {
    values.clear();
    for (const ToleranceSample& s : run.Samples)
      if (s.Run.Ok()) values.push_back(s.Figs.Of[f]);
    std::sort(values.begin(), values.end());
    FigureStats& st = run.Stats[f];
    st.Nominal = nominal.Of[f];
    st.Median = values.empty() ? st.Nominal : Quantile(values, 0.5);
    st.P5 = values.empty() ? st.Nominal : Quantile(values, 0.05);
    st.P95 = values.empty() ? st.Nominal : Quantile(values, 0.95);
  }
}

/* The share of the samples that ran whose figure is at most `limit`. */
double ShareAtMost(const ToleranceRun& run, int figure, double limit) {
  int ran = 0, within = 0;
  for (const ToleranceSample& s : run.Samples) {
    if (!s.Run.Ok()) continue;
    ran++;
    within += s.Figs.Of[figure] <= limit;
  }
  return ran > 0 ? double(within) / ran : 0.0;
}

/* The limit applied to one steady state of circuit c; the load's
   harmonics are worked once for the fundamental's power and the levels. */
MaskResult MaskOf(const Circuit& c, const SimResult& r, const ToleranceSettings& t) {
  const LoadAmplitudes a = LoadAmplitudesOf(r);
  return ApplyMask(t.Mask, t.DriveMHz, FundamentalPowerOf(a, LoadResistance(c)), HarmonicsOf(a));
}

void MaskStatistics(ToleranceRun& run, const MaskResult& nominal) {
  std::vector<double> margins;
  int pass = 0;
  for (const ToleranceSample& s : run.Samples) {
    if (!s.Run.Ok()) continue;
    margins.push_back(s.WorstMargin);
    pass += s.MaskPass;
  }
  std::sort(margins.begin(), margins.end());
  FigureStats& m = run.Margin;
  m.Nominal = nominal.Margin[nominal.Worst];
  m.Median = margins.empty() ? m.Nominal : Quantile(margins, 0.5);
  m.P5 = margins.empty() ? m.Nominal : Quantile(margins, 0.05);
  m.P95 = margins.empty() ? m.Nominal : Quantile(margins, 0.95);
  run.MaskPassShare = margins.empty() ? 0.0 : double(pass) / double(margins.size());
}

void FindWorst(ToleranceRun& run) {
  std::vector<int> ran;
  for (int i = 0; i < static_cast<int>(run.Samples.size()); i++)
    if (run.Samples[i].Run.Ok()) ran.push_back(i);
  const size_t kept = std::min<size_t>(kWorstKept, ran.size());
  std::partial_sort(ran.begin(), ran.begin() + kept, ran.end(), [&run](int a, int b) {
    const double va = run.Samples[a].Figs.Of[kFigVpk], vb = run.Samples[b].Figs.Of[kFigVpk];
    return va != vb ? va > vb : a < b;
  });
  run.Worst.assign(ran.begin(), ran.begin() + kept);
}

}  // namespace

std::vector<ElementRange> ToleranceRanges(const Circuit& c, double capPct, double coilPct,
                                          double ronPct, double cossPct) {
  std::vector<ElementRange> out;
  for (const std::string& e : CircuitElements(c)) {
    if (e == kRonElement) {
      out.push_back({e, 0.0, ronPct / 100.0});
      continue;
    }
    const CircuitPart* p = FindPart(c, e);
    if (IsDevicePart(*p)) continue; /* the device's own, not a part bought to a tolerance */
    const double tol = (p->Kind == kCapacitor ? capPct : coilPct) / 100.0;
    out.push_back({e, -tol, tol});
  }
  /* The device's capacitance spreads as its datasheet says, not as a
     bought part's; a range only when asked, so that runs without it draw
     the same samples as before. */
  const bool hasCoss = FindPart(c, kDeviceCapacitance) != nullptr || c.Device.Coss > 0.0;
  if (cossPct > 0.0 && hasCoss)
    out.push_back({kDeviceCapacitance, -cossPct / 100.0, cossPct / 100.0});
  return out;
}

void DrawDeviations(const std::vector<ElementRange>& ranges, int samples, std::uint64_t seed,
                    std::vector<std::vector<double>>& out) {
  UniformSource u(seed);
  out.assign(samples, std::vector<double>(ranges.size()));
  for (std::vector<double>& sample : out)
    for (size_t k = 0; k < ranges.size(); k++) {
      const ElementRange& r = ranges[k];
      sample[k] = r.Low + (r.High - r.Low) * u.Next();
    }
}

Circuit SampleCircuit(const Circuit& nominal, const std::vector<ElementRange>& ranges,
                      const std::vector<double>& deviation) {
  assert(deviation.size() == ranges.size());
  Circuit c = nominal;
  for (size_t k = 0; k < ranges.size(); k++) ChangeElement(c, ranges[k].Element, deviation[k]);
  return c;
}

double Quantile(const std::vector<double>& sorted, double p) {
  assert(!sorted.empty() && p >= 0.0 && p <= 1.0);
  const double at = p * double(sorted.size() - 1);
  const size_t below = static_cast<size_t>(at);
  if (below + 1 >= sorted.size()) return sorted.back();
  const double w = at - double(below);
  return sorted[below] + w * (sorted[below + 1] - sorted[below]);
}

void RunTolerance(const Circuit& c, const ToleranceSettings& settings, ToleranceRun& out,
                  const ToleranceProgress& progress) {
  RunToleranceOver(
      c, ToleranceRanges(c, settings.CapPct, settings.CoilPct, settings.RonPct, settings.CossPct),
      settings, out, progress);
}

void RunToleranceOver(const Circuit& c, const std::vector<ElementRange>& ranges,
                      const ToleranceSettings& settings, ToleranceRun& out,
                      const ToleranceProgress& progress) {
  assert(settings.Samples > 0);
  out = ToleranceRun{};
  out.Settings = settings;
  out.Ranges = ranges;
  /* The harmonics a limit is checked on come from the sampled waveform. */
  const int detail = settings.Mask.Kind == kMaskNone ? kDetailFigures : kDetailFull;
  SimulateDrive(c, settings.Engine, settings.Periods, settings.DriveMHz, out.Nominal, nullptr,
                detail);
  if (!out.Nominal.Run.Ok()) return;
  out.Stopped = progress && !progress(0, settings.Samples);
  std::vector<std::vector<double>> deviations;
  DrawDeviations(ranges, settings.Samples, settings.Seed, deviations);
  out.Samples.resize(out.Stopped ? 0 : settings.Samples);
  /* Every sample changes values only: the exact engine builds each one's
     state space but solves them all in the memory of one workspace. */
  ExactWorkspace w;
  const bool exact = settings.Engine == kEngineExact;
  SimResult r;
  for (int i = 0; i < static_cast<int>(out.Samples.size()); i++) {
    ToleranceSample& s = out.Samples[i];
    s.Deviation = deviations[i];
    const Circuit sample = SampleCircuit(c, ranges, s.Deviation);
    if (exact) PrepareExact(sample, w);
    SimulateDrive(sample, settings.Engine, settings.Periods, settings.DriveMHz, r, nullptr, detail,
                  exact ? &w : nullptr);
    s.Run = r.Run;
    s.Figs = FiguresOf(r);
    if (r.Run.Ok()) {
      const MaskResult m = MaskOf(sample, r, settings);
      s.WorstMargin = m.Margin[m.Worst];
      s.MaskPass = m.Pass;
    }
    out.Failed += !s.Run.Ok();
    if (progress && !progress(i + 1, settings.Samples)) {
      out.Stopped = true;
      out.Samples.resize(i + 1);
    }
  }
  Statistics(out);
  out.WithinVmax = ShareAtMost(out, kFigVpk, settings.Vmax);
  out.UnderPdevMax = settings.PdevMax > 0.0 ? ShareAtMost(out, kFigPdev, settings.PdevMax) : 0.0;
  FindWorst(out);
  const MaskResult nominal = MaskOf(c, out.Nominal, settings);
  out.MaskApplies = nominal.Applies;
  if (out.MaskApplies) MaskStatistics(out, nominal);
}
