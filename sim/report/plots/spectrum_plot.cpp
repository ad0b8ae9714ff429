/*
** spectrum_plot.cpp: a bar from the bottom of the scale up to each
** harmonic's level in dBc; the scale reaches 10 dB below the lowest bar
** in whole tens, so every bar is seen.
*/
#include "sim/report/plots/spectrum_plot.h"

#include <cmath>
#include <vector>

#include "sim/circuit/format.h"
#include "sim/report/plots/svg_canvas.h"

namespace {

const PanelPlace kPlace = {0.10, 0.95, 0.12, 0.90};
const double kBarHalfWidth = 0.3; /* of one harmonic's spacing */

}  // namespace

Status SpectrumSvg(const std::string& design, const SimResult& r, std::string& svg) {
  /* The run's figures are already levels against the fundamental (negative). */
  const std::vector<double> level = {0.0, r.H2dBc, r.H3dBc};
  double lowest = 0.0;
  for (double l : level)
    if (std::isfinite(l)) lowest = std::min(lowest, l);
  const PanelWindow w = {0.4, double(level.size()) + 0.6, 10.0 * std::floor(lowest / 10.0) - 10.0,
                         10.0};
  SvgCanvas canvas;
  Status st = BeginCanvas(canvas, "Spectrum: " + design);
  if (!st.Ok()) return st;
  BeginPanel(
      canvas, "spectrum", kPlace, w, "harmonic of the drive frequency", "level at the load (dBc)",
      Format("Harmonics at the load, drive %.6g MHz: %s", r.DriveMHz, design.c_str()).c_str());
  const std::vector<double> zeroX = {w.X0, w.X1}, zeroY = {0.0, 0.0};
  DrawLine(zeroX, zeroY, 2, 0.5);
  for (size_t h = 0; h < level.size(); h++) {
    if (!std::isfinite(level[h])) continue;
    const double x = double(h + 1);
    DrawBar(x - kBarHalfWidth, x + kBarHalfWidth, w.Y0, level[h]);
    DrawText(x, level[h] + 0.02 * (w.Y1 - w.Y0), 0.5, Format("%.1f dBc", level[h]));
  }
  return EndCanvas(canvas, svg);
}
