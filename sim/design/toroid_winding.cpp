/*
** toroid_winding.cpp: winding a coil on a toroid.
**
** L = AL N^2 holds for any number of turns only roughly: the makers
** measure AL with an evenly spaced full single layer, and few or bunched
** turns read high, so a coil is wound as one layer round the whole core.
** The wire must then fit side by side on the inner circumference, the
** circle through the centres of the wires lying against the hole.  A
** coil's length of wire per turn is the rectangle of the core's cross
** section with the wire's thickness round it.
*/
#include "sim/design/toroid_winding.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>

#include "coils/coil_model.h"

const double kDefaultToroidQ = 100.0;
const double kAmpsPerMm2 = 4.0;

namespace {

const double kMmPerInch = 25.4;
const double kPi = 3.14159265358979323846;

/* Finer wire than this is hard to wind and to strip; its loss rises. */
const int kFinestGauge = 30;

/* Share of the inner circumference the turns may take: enamel and the
   gap between the winding's two ends take the rest. */
const double kFill = 0.9;

const char* const kCoilsOnNames[kCoilsOnCount] = {"air", "toroid"};

double WireMm(int gauge) {
  return double(WireDia(gauge)) * kMmPerInch;
}

double RdcOf(const ToroidCore& c, int turns, int gauge) {
  const double d = WireMm(gauge);
  const double turnMm = 2.0 * c.HeightMm + (c.OdMm - c.IdMm) + 4.0 * d;
  return double(OhmsPerInch(WireDia(gauge))) * turnMm / kMmPerInch * turns;
}

void WindOn(int core, double uh, int gauge, ToroidWinding& out) {
  const ToroidCore& c = kToroidCores[core];
  out.Core = core;
  out.Turns = TurnsFor(c, uh);
  out.Fits = gauge >= 0 && WireFits(c, out.Turns, gauge);
  out.Uh = AlNh(c) * out.Turns * out.Turns * 1e-3;
  out.RdcOhm = gauge >= 0 ? RdcOf(c, out.Turns, gauge) : 0.0;
}

/* The smallest core for mhz that takes the wire, the table's order
   breaking ties; -1 for none. */
int ChooseCore(double uh, double mhz, int gauge) {
  int best = -1;
  for (int i = 0; i < kToroidCoreCount; i++) {
    const ToroidCore& c = kToroidCores[i];
    if (!CoreCovers(c, mhz) || !WireFits(c, TurnsFor(c, uh), gauge)) continue;
    if (best < 0 || c.OdMm < kToroidCores[best].OdMm) best = i;
  }
  return best;
}

}  // namespace

const char* CoilsOnName(int on) {
  assert(on >= 0 && on < kCoilsOnCount);
  return kCoilsOnNames[on];
}

int CoilsOnByName(const char* name) {
  for (int i = 0; i < kCoilsOnCount; i++)
    if (std::strcmp(name, kCoilsOnNames[i]) == 0) return i;
  return -1;
}

int TurnsFor(const ToroidCore& c, double uh) {
  const double n = std::round(std::sqrt(uh * 1e3 / AlNh(c)));
  return n < 1.0 ? 1 : static_cast<int>(n);
}

int GaugeForAmps(double amps) {
  const double mm2 = amps / kAmpsPerMm2;
  for (int g = kFinestGauge; g >= 0; g--) {
    const double d = WireMm(g);
    if (kPi / 4.0 * d * d >= mm2) return g;
  }
  return -1;
}

bool WireFits(const ToroidCore& c, int turns, int gauge) {
  if (gauge < 0) return false;
  const double d = WireMm(gauge);
  return c.IdMm > d && turns * d <= kFill * kPi * (c.IdMm - d);
}

void WindToroid(double uh, double mhz, double amps, const CoilChoice& choice, ToroidWinding& out) {
  out = ToroidWinding{};
  out.Gauge = GaugeForAmps(amps);
  out.WireMm = out.Gauge >= 0 ? WireMm(out.Gauge) : 0.0;
  out.QDefault = !(choice.Q > 0.0);
  out.Q = out.QDefault ? kDefaultToroidQ : choice.Q;
  out.Forced = choice.Core >= 0;
  const int core = out.Forced ? choice.Core : ChooseCore(uh, mhz, out.Gauge);
  if (core >= 0) WindOn(core, uh, out.Gauge, out);
}

double ToroidTolerancePct(const CoilChoice& choice) {
  if (choice.Core >= 0) return kToroidMaterials[kToroidCores[choice.Core].Material].AlTolPct;
  double pct = 0.0;
  for (int m = 0; m < kToroidMaterialCount; m++)
    if (kToroidMaterials[m].HighMHz > 0.0) pct = std::max(pct, kToroidMaterials[m].AlTolPct);
  return pct;
}
