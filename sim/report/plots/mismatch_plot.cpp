/*
** mismatch_plot.cpp: two polar panels, square on the page.  Each draws
** its own grid (circles at round values, a spoke every 30 degrees,
** labelled), the figure at each phase joined round the circle, and the
** rating as a thick dashed circle.  The nominal (matched) value is a
** dotted circle.
*/
#include "sim/report/plots/mismatch_plot.h"

#include <plplot/plplot.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "sim/circuit/format.h"
#include "sim/report/plots/svg_canvas.h"

namespace {

const double kPi = 3.14159265358979323846;

/* Square places on the 800 x 500 page: 300 px each way. */
const PanelPlace kVpkPlace = {0.08, 0.455, 0.12, 0.72};
const PanelPlace kPdevPlace = {0.565, 0.94, 0.12, 0.72};

/* A round step for the grid circles of radius up to r. */
double GridStep(double r) {
  const double raw = r / 4.0, decade = std::pow(10.0, std::floor(std::log10(raw)));
  for (double m : {1.0, 2.0, 5.0, 10.0})
    if (m * decade >= raw) return m * decade;
  return 10.0 * decade;
}

void Circle(double r, int style, double width) {
  std::vector<double> x, y;
  for (int k = 0; k <= 120; k++) {
    x.push_back(r * std::cos(2.0 * kPi * k / 120));
    y.push_back(r * std::sin(2.0 * kPi * k / 120));
  }
  DrawLine(x, y, style, width);
}

void Polar(SvgCanvas& canvas, const char* name, const PanelPlace& place, const MismatchRun& run,
           int figure, double rating, const char* unit, const char* title) {
  std::vector<double> x, y;
  double most = std::max(rating, FiguresOf(run.Nominal).Of[figure]);
  for (const MismatchPoint& p : run.Points)
    if (p.Result.Run.Ok() && std::isfinite(FiguresOf(p.Result).Of[figure])) {
      const double v = FiguresOf(p.Result).Of[figure], a = p.PhaseDeg * kPi / 180.0;
      x.push_back(v * std::cos(a));
      y.push_back(v * std::sin(a));
      most = std::max(most, v);
    }
  /* A figure of zero everywhere (a lossless switch) still gets a grid. */
  if (!(most > 0.0) || !std::isfinite(most)) most = 1.0;
  if (x.empty()) x.push_back(0.0), y.push_back(0.0);
  x.push_back(x.front()); /* round the circle */
  y.push_back(y.front());
  const double r = 1.1 * most, edge = 1.45 * most; /* spokes to r, their labels beyond */
  BeginBarePanel(canvas, name, place, {-edge, edge, -edge, edge}, title);
  const double step = GridStep(most);
  for (double g = step; g <= most * 1.0001 + step; g += step) {
    if (g > r) break;
    Circle(g, 3, 0.5);
    DrawText(g * std::cos(kPi / 12), g * std::sin(kPi / 12), 0.0, Format("%g %s", g, unit));
  }
  for (int deg = 0; deg < 360; deg += 30) {
    const double a = deg * kPi / 180.0;
    DrawLine({0.0, r * std::cos(a)}, {0.0, r * std::sin(a)}, 3, 0.5);
    DrawText(1.13 * r * std::cos(a), 1.13 * r * std::sin(a) - 0.03 * r, 0.5, Format("%d", deg));
  }
  Circle(FiguresOf(run.Nominal).Of[figure], 4, 1.0);
  if (rating > 0.0) Circle(rating, 2, 2.0);
  DrawLine(x, y, 1, 2.0);
  PLFLT* px = x.data();
  PLFLT* py = y.data();
  plpoin(PLINT(x.size() - 1), px, py, 17);
}

}  // namespace

Status MismatchSvg(const std::string& design, const MismatchRun& run, double vmax, double pdevMax,
                   std::string& svg) {
  bool any = false;
  for (const MismatchPoint& p : run.Points) any = any || p.Result.Run.Ok();
  if (!any || !run.Nominal.Run.Ok()) return Status::Failed("no phase of the mismatch ran");
  SvgCanvas canvas;
  Status st = BeginCanvas(canvas, "Mismatch: " + design);
  if (!st.Ok()) return st;
  Polar(canvas, "vpk", kVpkPlace, run, kFigVpk, vmax, "V", "peak switch voltage (V)");
  Polar(canvas, "pdev", kPdevPlace, run, kFigPdev, pdevMax, "W", "device dissipation (W)");
  plvpor(0.08, 0.94, 0.12, 0.72);
  plmtex("t", 5.5, 0.5, 0.5,
         Format("Load on the VSWR %.3g circle: %s", run.Vswr, design.c_str()).c_str());
  plmtex("b", 2.0, 0.5, 0.5,
         "angle: phase of the load's reflection (deg); thick solid: the figure; long dashes: "
         "matched; thick short dashes: the rating");
  return EndCanvas(canvas, svg);
}
