/*
** device_figures.cpp: the device's figures from the engine's published
** result (SimResult's samples and Pdev), so they hold for every engine.
**
** The split of the dissipation reads the uniform samples of the switch's
** voltage and current: the samples where the switch is fully on give the
** conduction loss, the channel's whole product v i over the period less
** that gives the edges; what the engine's Pdev holds beyond the channel
** is the body diode's.  The edges take the rounding of the samples, so
** the three add up to Pdev exactly.
*/
#include "sim/analysis/device_figures.h"

#include <algorithm>
#include <cmath>

#include "sim/circuit/format.h"

const double kDiodeConducts = -0.6;

namespace {

bool FullyOn(const SwitchModel& s, double phase) {
  return phase >= s.Ramp && phase < s.Duty;
}

}  // namespace

double LowestSwitchVoltage(const SimResult& r) {
  if (r.Vsw.empty()) return 0.0;
  return *std::min_element(r.Vsw.begin(), r.Vsw.end());
}

void FigureDevice(const DeviceRecord& rec, const Circuit& c, const SimResult& r, double driveMHz,
                  double tjC, DeviceFigures& f) {
  f = DeviceFigures{};
  f.Name = rec.Name;
  f.VdsMaxV = rec.VdsMaxV;
  f.VpkV = r.Vpeak;
  if (Known(rec.VdsMaxV)) f.MarginV = rec.VdsMaxV - r.Vpeak;
  const size_t n = std::min(r.Vsw.size(), r.Isw.size());
  double sum2 = 0.0, channel = 0.0, on = 0.0;
  for (size_t i = 0; i < n; i++) {
    const double v = r.Vsw[i], a = r.Isw[i];
    f.IpkA = std::max(f.IpkA, std::fabs(a));
    sum2 += a * a;
    channel += v * a;
    if (FullyOn(c.Switch, double(i) / double(n))) on += v * a;
  }
  if (n > 0) {
    f.IrmsA = std::sqrt(sum2 / n);
    channel /= n;
    on /= n;
  }
  f.ConductionW = on;
  f.ReverseW = c.Device.BodyDiode ? std::max(0.0, r.Pdev - channel) : 0.0;
  f.EdgesW = r.Pdev - f.ConductionW - f.ReverseW;
  if (Known(rec.QgNc) && Known(rec.VgsV)) f.GateW = rec.QgNc * 1e-9 * rec.VgsV * driveMHz * 1e6;
  f.TjC = tjC;
  f.TjMaxC = rec.TjMaxC;
  f.RonHotOhm = c.Switch.Ron;
  if (Known(rec.VdsMaxV) && r.Vpeak > rec.VdsMaxV)
    f.Warnings.push_back(
        Format("the peak switch voltage %.4g V is over the device's V(BR)DSS %.4g V", r.Vpeak,
               rec.VdsMaxV));
  if (Known(tjC) && Known(rec.TjMaxC) && tjC > rec.TjMaxC)
    f.Warnings.push_back(Format(
        "the junction temperature %.4g C is over the device's TJ max %.4g C", tjC, rec.TjMaxC));
}
