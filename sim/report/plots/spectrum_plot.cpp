/*
** spectrum_plot.cpp: a bar from the bottom of the scale up to each
** harmonic's level in dBc, H1 to H10, and the emission limit each harmonic
** is held to as a dashed step across its bar; the scale reaches 10 dB
** below the lowest bar or limit in whole tens, so every one is seen.
*/
#include "sim/report/plots/spectrum_plot.h"

#include <cmath>
#include <vector>

#include "sim/circuit/format.h"
#include "sim/report/plots/svg_canvas.h"

namespace {

const PanelPlace kPlace = {0.10, 0.95, 0.12, 0.90};
const double kBarHalfWidth = 0.3; /* of one harmonic's spacing */

/* The limit as a step: flat across each harmonic's slot, H2 to H10. */
void DrawLimit(const MaskResult& mask) {
  std::vector<double> x, y;
  for (int i = 0; i < kMaskHarmonics; i++) {
    const double h = kFirstMaskHarmonic + i;
    x.push_back(h - 0.5);
    x.push_back(h + 0.5);
    y.push_back(mask.Limit[i]);
    y.push_back(mask.Limit[i]);
  }
  DrawLine(x, y, 2, 1.5);
  DrawText(double(kLastMaskHarmonic) + 0.5, mask.Limit[kMaskHarmonics - 1] + 2.0, 1.0,
           "limit: " + mask.Name);
}

}  // namespace

Status SpectrumSvg(const std::string& design, double driveMHz, const Harmonics& h,
                   const MaskResult& mask, std::string& svg) {
  /* The levels are against the fundamental (negative); H1 is 0 dBc. */
  std::vector<double> level = {0.0};
  for (double dbc : h.Dbc) level.push_back(dbc);
  double lowest = 0.0;
  for (double l : level)
    if (std::isfinite(l)) lowest = std::min(lowest, l);
  if (mask.Applies)
    for (double l : mask.Limit)
      if (std::isfinite(l)) lowest = std::min(lowest, l);
  const PanelWindow w = {0.4, double(level.size()) + 0.6, 10.0 * std::floor(lowest / 10.0) - 10.0,
                         10.0};
  SvgCanvas canvas;
  Status st = BeginCanvas(canvas, "Spectrum: " + design);
  if (!st.Ok()) return st;
  BeginPanel(canvas, "spectrum", kPlace, w, "harmonic of the drive frequency",
             "level at the load (dBc)",
             Format("Harmonics at the load, drive %.6g MHz: %s", driveMHz, design.c_str()).c_str());
  const std::vector<double> zeroX = {w.X0, w.X1}, zeroY = {0.0, 0.0};
  DrawLine(zeroX, zeroY, 3, 0.5);
  for (size_t k = 0; k < level.size(); k++) {
    if (!std::isfinite(level[k])) continue;
    const double x = double(k + 1);
    DrawBar(x - kBarHalfWidth, x + kBarHalfWidth, w.Y0, level[k]);
    DrawText(x, level[k] + 0.02 * (w.Y1 - w.Y0), 0.5, Format("%.1f", level[k]));
  }
  if (mask.Applies) DrawLimit(mask);
  return EndCanvas(canvas, svg);
}
