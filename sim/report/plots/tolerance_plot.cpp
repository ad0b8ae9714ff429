/*
** tolerance_plot.cpp: three histograms side by side, kBins bins each
** over the samples' range (widened to take the limit, so it is seen);
** the nominal value a dashed line, the limit (Vmax, PdevMax when asked)
** a solid one with its name.
*/
#include "sim/report/plots/tolerance_plot.h"

#include <plplot/plplot.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "sim/circuit/format.h"
#include "sim/report/plots/svg_canvas.h"

namespace {

const int kBins = 12;

struct HistogramPanel {
  const char* Name;
  int Figure;
  const char* Label;
  PanelPlace Place;
};

const HistogramPanel kPanels[] = {
    {"pout", kFigPout, "output power (W)", {0.07, 0.33, 0.14, 0.84}},
    {"vpk", kFigVpk, "peak switch voltage (V)", {0.39, 0.65, 0.14, 0.84}},
    {"pdev", kFigPdev, "device dissipation (W)", {0.71, 0.97, 0.14, 0.84}},
};

/* The limit of a figure, 0 for none. */
double LimitOf(const ToleranceRun& run, int figure) {
  if (figure == kFigVpk) return run.Settings.Vmax;
  if (figure == kFigPdev) return run.Settings.PdevMax;
  return 0.0;
}

void Histogram(SvgCanvas& canvas, const HistogramPanel& p, const ToleranceRun& run) {
  std::vector<double> v;
  for (const ToleranceSample& s : run.Samples)
    if (s.Run.Ok() && std::isfinite(s.Figs.Of[p.Figure])) v.push_back(s.Figs.Of[p.Figure]);
  if (v.empty()) v.push_back(FiguresOf(run.Nominal).Of[p.Figure]);
  const double limit = LimitOf(run, p.Figure), nominal = FiguresOf(run.Nominal).Of[p.Figure];
  double lo = *std::min_element(v.begin(), v.end()), hi = *std::max_element(v.begin(), v.end());
  lo = std::min(lo, nominal);
  hi = std::max(hi, nominal);
  if (limit > 0.0) lo = std::min(lo, limit), hi = std::max(hi, limit);
  if (hi - lo <= 1e-12 * std::max(1.0, std::fabs(hi))) lo -= 0.5, hi += 0.5;
  const double width = (hi - lo) / kBins;
  std::vector<int> count(kBins, 0);
  for (double x : v) count[size_t(std::min(kBins - 1, int((x - lo) / width)))]++;
  const int most = *std::max_element(count.begin(), count.end());
  const PanelWindow w = {lo - 0.5 * width, hi + 0.5 * width, 0.0, 1.15 * most + 1.0};
  BeginPanel(canvas, p.Name, p.Place, w, p.Label, p.Figure == kFigPout ? "samples" : "", "");
  for (int b = 0; b < kBins; b++)
    if (count[size_t(b)] > 0) DrawBar(lo + b * width, lo + (b + 1) * width, 0.0, count[size_t(b)]);
  const std::vector<double> yy = {w.Y0, w.Y1};
  DrawLine({nominal, nominal}, yy, 4, 1.0);
  DrawText(nominal, 0.93 * w.Y1, 0.5, "nominal");
  if (limit > 0.0) {
    DrawLine({limit, limit}, yy, 1, 2.0);
    /* Named on the side of the line towards the panel's middle. */
    const bool right = limit > 0.5 * (w.X0 + w.X1);
    DrawText(limit + (right ? -0.01 : 0.01) * (w.X1 - w.X0), 0.97 * w.Y1, right ? 1.0 : 0.0,
             p.Figure == kFigVpk ? "Vmax" : "Pdev max");
  }
}

}  // namespace

Status ToleranceSvg(const std::string& design, const ToleranceRun& run, std::string& svg) {
  bool any = false;
  for (const ToleranceSample& s : run.Samples) any = any || s.Run.Ok();
  if (!any || !run.Nominal.Run.Ok()) return Status::Failed("no tolerance sample ran");
  SvgCanvas canvas;
  Status st = BeginCanvas(canvas, "Tolerance: " + design);
  if (!st.Ok()) return st;
  for (const HistogramPanel& p : kPanels) Histogram(canvas, p, run);
  int ran = 0;
  for (const ToleranceSample& s : run.Samples) ran += s.Run.Ok() ? 1 : 0;
  plvpor(0.07, 0.97, 0.14, 0.84);
  plmtex("t", 2.5, 0.5, 0.5, Format("Tolerance, %d samples: %s", ran, design.c_str()).c_str());
  return EndCanvas(canvas, svg);
}
