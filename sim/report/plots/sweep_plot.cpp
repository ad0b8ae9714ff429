/*
** sweep_plot.cpp: four panels on one page, two by two, each a line
** through the drive frequencies done with a mark at each.
*/
#include "sim/report/plots/sweep_plot.h"

#include <plplot/plplot.h>

#include "sim/report/plots/svg_canvas.h"

namespace {

/* One panel: its record name, axis label, place and the figure it takes
   from a run (scaled to the label's unit). */
struct SweepPanel {
  const char* Name;
  const char* Label;
  PanelPlace Place;
  double (*Figure)(const SimResult& r);
};

const SweepPanel kPanels[] = {
    {"pout",
     "output power (W)",
     {0.08, 0.46, 0.56, 0.90},
     [](const SimResult& r) { return r.Pout; }},
    {"eff",
     "efficiency (%)",
     {0.58, 0.96, 0.56, 0.90},
     [](const SimResult& r) { return 100.0 * r.Eff; }},
    {"vpk",
     "peak switch voltage (V)",
     {0.08, 0.46, 0.10, 0.44},
     [](const SimResult& r) { return r.Vpeak; }},
    {"pdev",
     "device dissipation (W)",
     {0.58, 0.96, 0.10, 0.44},
     [](const SimResult& r) { return r.Pdev; }},
};

}  // namespace

Status SweepSvg(const std::string& design, const std::vector<SimResult>& results,
                std::string& svg) {
  std::vector<double> mhz;
  for (const SimResult& r : results)
    if (r.Run.Ok()) mhz.push_back(r.DriveMHz);
  if (mhz.empty()) return Status::Failed("no drive frequency of the sweep was done");
  double x0 = mhz.front(), x1 = mhz.back();
  if (x1 <= x0) x0 -= 0.5, x1 += 0.5;
  const double pad = 0.03 * (x1 - x0);
  SvgCanvas canvas;
  Status st = BeginCanvas(canvas, "Sweep: " + design);
  if (!st.Ok()) return st;
  for (const SweepPanel& p : kPanels) {
    std::vector<double> y;
    for (const SimResult& r : results)
      if (r.Run.Ok()) y.push_back(p.Figure(r));
    const PanelWindow w = WindowOf(x0 - pad, x1 + pad, {y}, 0.1);
    BeginPanel(canvas, p.Name, p.Place, w, "drive frequency (MHz)", p.Label, "");
    DrawLine(mhz, y, 1, 1.5);
    plpoin(PLINT(y.size()), mhz.data(), y.data(), 17);
  }
  /* The page's title over both columns. */
  plvpor(0.08, 0.96, 0.56, 0.90);
  plmtex("t", 2.2, 0.5, 0.5, ("Against the drive frequency: " + design).c_str());
  return EndCanvas(canvas, svg);
}
