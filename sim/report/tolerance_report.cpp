/*
** tolerance_report.cpp: a tolerance run as text and JSON.  Deviations
** are shown in % of each element's value; the worst samples list every
** element they vary, so the part that moved the peak stands out.
*/
#include "sim/report/tolerance_report.h"

#include <algorithm>
#include <cmath>

#include "sim/report/run_report.h"

using nlohmann::json;

namespace {

const int kHistogramBins = 10;
const int kBarWidth = 46;

std::string Pad(const std::string& s, size_t width) {
  return std::string(s.size() < width ? width - s.size() : 0, ' ') + s;
}

std::string Heading(const ToleranceRun& run) {
  const ToleranceSettings& t = run.Settings;
  return Format("\nTolerance: %d samples (seed %llu) by the %s engine at %.6g MHz, each part\n",
                t.Samples, static_cast<unsigned long long>(t.Seed), EngineName(t.Engine),
                t.DriveMHz) +
         Format("off uniformly: capacitors +/- %g %%, coils +/- %g %%, Ron +0 to +%g %%%s.\n",
                t.CapPct, t.CoilPct, t.RonPct,
                t.CossPct > 0.0 ? Format(",\nthe device's Coss +/- %g %%", t.CossPct).c_str() : "");
}

std::string StatsTable(const ToleranceRun& run) {
  std::string out = "                      Nominal     Median    5th pct   95th pct\n";
  for (int f = 0; f < kFigureCount; f++) {
    const FigureStats& s = run.Stats[f];
    std::string line = kFigures[f].Label;
    line.resize(18, ' ');
    for (double v : {s.Nominal, s.Median, s.P5, s.P95}) line += Pad(FigureText(f, v), 11);
    out += line + "\n";
  }
  return out;
}

std::string FirstError(const ToleranceRun& run) {
  for (const ToleranceSample& s : run.Samples)
    if (!s.Run.Ok()) return s.Run.Why();
  return "";
}

std::string Shares(const ToleranceRun& run) {
  const ToleranceSettings& t = run.Settings;
  std::string out = Format("Vpk within the device rating, %.1f V: %.1f %% of the samples.\n",
                           t.Vmax, 100.0 * run.WithinVmax);
  if (t.PdevMax > 0.0)
    out += Format("Device dissipation under %g W: %.1f %% of the samples.\n", t.PdevMax,
                  100.0 * run.UnderPdevMax);
  if (run.MaskApplies) {
    const FigureStats& m = run.Margin;
    out += Format(
        "Worst harmonic margin to the %s limit, dB: nominal %.1f, median %.1f,\n"
        "5th pct %.1f, 95th pct %.1f; within the limit: %.1f %% of the samples.\n",
        t.Mask.Kind == kMaskFcc ? "fcc" : "flat", m.Nominal, m.Median, m.P5, m.P95,
        100.0 * run.MaskPassShare);
  }
  if (run.Stopped)
    out += Format("Stopped after %zu of the %d samples.\n", run.Samples.size(), t.Samples);
  if (run.Failed > 0)
    out += Format("%d of the samples had no steady state and are left out (the first: %s).\n",
                  run.Failed, FirstError(run).c_str());
  return out;
}

std::vector<double> Column(const ToleranceRun& run, int figure) {
  std::vector<double> v;
  for (const ToleranceSample& s : run.Samples)
    if (s.Run.Ok()) v.push_back(s.Figs.Of[figure]);
  return v;
}

/* "Lp1 +1.2  Cp1 -4.8 ..." wrapped at 80 columns under an indent. */
std::string Deviations(const ToleranceRun& run, const ToleranceSample& s) {
  const std::string indent(8, ' ');
  std::string out, line = indent;
  for (size_t k = 0; k < run.Ranges.size(); k++) {
    const std::string item =
        Format("%s %+.1f  ", run.Ranges[k].Element.c_str(), 100.0 * s.Deviation[k]);
    if (line.size() + item.size() > 80) {
      out += line + "\n";
      line = indent;
    }
    line += item;
  }
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return out + line + "\n";
}

std::string WorstSamples(const ToleranceRun& run) {
  std::string out =
      Format("\nThe %zu samples of highest Vpk, each part off by (%%):\n", run.Worst.size());
  for (int i : run.Worst) {
    const Figures& f = run.Samples[i].Figs;
    out += Format(
        "%6d  Vpk %s V  Pout %s W  Pdev %s W  ZVS err %s  Slope %s\n", i + 1,
        FigureText(kFigVpk, f.Of[kFigVpk]).c_str(), FigureText(kFigPout, f.Of[kFigPout]).c_str(),
        FigureText(kFigPdev, f.Of[kFigPdev]).c_str(), FigureText(kFigZvs, f.Of[kFigZvs]).c_str(),
        FigureText(kFigSlope, f.Of[kFigSlope]).c_str());
    out += Deviations(run, run.Samples[i]);
  }
  return out;
}

json FiguresJson(const Figures& f) {
  json j;
  for (int k = 0; k < kFigureCount; k++) j[kFigures[k].Key] = f.Of[k];
  return j;
}

}  // namespace

std::string TextHistogram(const std::vector<double>& values, int bins, int decimals) {
  const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
  const double low = *lo, high = *hi;
  if (!(high > low)) return Format("  all %.*f: %zu\n", decimals, low, values.size());
  std::vector<int> count(bins, 0);
  for (double v : values)
    count[std::min(bins - 1, static_cast<int>((v - low) / (high - low) * bins))]++;
  const int most = *std::max_element(count.begin(), count.end());
  /* Every edge as wide as the widest. */
  const int width = static_cast<int>(
      std::max(Format("%.*f", decimals, low).size(), Format("%.*f", decimals, high).size()));
  std::string out;
  for (int b = 0; b < bins; b++) {
    const double from = low + (high - low) * b / bins, to = low + (high - low) * (b + 1) / bins;
    const int bar = static_cast<int>(std::lround(double(kBarWidth) * count[b] / most));
    out += Format("  %*.*f to %*.*f |", width, decimals, from, width, decimals, to) +
           std::string(bar, '#') + std::string(kBarWidth - bar, ' ') + Format(" %5d\n", count[b]);
  }
  return out;
}

std::string ToleranceReport(const ToleranceRun& run) {
  if (!run.Nominal.Run.Ok())
    return Heading(run) + "The nominal design has no steady state: " + run.Nominal.Run.Why() + "\n";
  std::string out = Heading(run) + StatsTable(run) + Shares(run);
  const std::vector<double> vpk = Column(run, kFigVpk), pdev = Column(run, kFigPdev);
  if (vpk.empty()) return out;
  out += "\nVpk over the samples, V:\n" + TextHistogram(vpk, kHistogramBins, 2);
  out += "Device dissipation over the samples, W:\n" + TextHistogram(pdev, kHistogramBins, 4);
  return out + WorstSamples(run);
}

json ToleranceJson(const ToleranceRun& run) {
  const ToleranceSettings& t = run.Settings;
  json j;
  j["samples"] = t.Samples;
  j["seed"] = t.Seed;
  j["engine"] = EngineName(t.Engine);
  j["cap_tol_pct"] = t.CapPct;
  j["coil_tol_pct"] = t.CoilPct;
  j["ron_tol_pct"] = t.RonPct;
  j["coss_tol_pct"] = t.CossPct;
  if (run.Stopped) j["stopped_after"] = run.Samples.size();
  if (!run.Nominal.Run.Ok()) {
    j["error"] = run.Nominal.Run.Why();
    return j;
  }
  json stats;
  for (int f = 0; f < kFigureCount; f++) {
    const FigureStats& s = run.Stats[f];
    stats[kFigures[f].Key] = {
        {"nominal", s.Nominal}, {"median", s.Median}, {"p5", s.P5}, {"p95", s.P95}};
  }
  j["stats"] = stats;
  j["vmax_V"] = t.Vmax;
  j["within_vmax"] = run.WithinVmax;
  if (t.PdevMax > 0.0) {
    j["pdev_max_W"] = t.PdevMax;
    j["under_pdev_max"] = run.UnderPdevMax;
  }
  if (run.MaskApplies) {
    const FigureStats& m = run.Margin;
    j["worst_harmonic_margin_dB"] = {
        {"nominal", m.Nominal}, {"median", m.Median}, {"p5", m.P5}, {"p95", m.P95}};
    j["within_mask"] = run.MaskPassShare;
  }
  j["failed"] = run.Failed;
  json worst = json::array();
  for (int i : run.Worst) {
    json w = FiguresJson(run.Samples[i].Figs);
    w["sample"] = i + 1;
    json dev;
    for (size_t k = 0; k < run.Ranges.size(); k++)
      dev[run.Ranges[k].Element] = 100.0 * run.Samples[i].Deviation[k];
    w["deviation_pct"] = dev;
    worst.push_back(w);
  }
  j["worst"] = worst;
  return j;
}
