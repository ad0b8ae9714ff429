/*
** emission_mask.cpp: the limits.  47 CFR 97.307 as it stands for
** transmitters installed after 1 January 2003:
**   (d) below 30 MHz, every spurious emission's mean power at least 43 dB
**       below the fundamental's;
**   (e) 30 to 225 MHz, at least 60 dB below; for a transmitter of 25 W or
**       less, no more than 25 uW and at least 40 dB below, but it need not
**       be brought below 10 uW.
** The rule names the band of the transmitted frequency, so the design
** frequency decides; above 225 MHz it gives no figure.
*/
#include "sim/analysis/emission_mask.h"

#include <algorithm>
#include <cmath>

#include "sim/circuit/format.h"
#include "sim/engine/measure.h"

namespace {

const double kHfLimitDb = 43.0;     /* 97.307(d) */
const double kHfTopMHz = 30.0;      /* (d) below, (e) from */
const double kVhfTopMHz = 225.0;    /* (e) up to */
const double kVhfLimitDb = 60.0;    /* (e) */
const double kSmallTxW = 25.0;      /* (e): a transmitter of this mean power or less */
const double kSmallTxDb = 40.0;     /* (e): at least this far below */
const double kSmallTxSpurW = 25e-6; /* (e): no more than this */
const double kFloorW = 10e-6;       /* (e): need not be brought below this */

/* How far below the fundamental (dB) the VHF rule asks a harmonic to be
   for a fundamental of p1 W. */
double VhfAttenuation(double p1) {
  if (p1 > kSmallTxW) return kVhfLimitDb;
  const double toPower = 10.0 * std::log10(p1 / kSmallTxSpurW);
  const double toFloor = 10.0 * std::log10(p1 / kFloorW);
  return std::min(std::max(kSmallTxDb, toPower), toFloor);
}

void FccLimit(double mhz, double p1, MaskResult& m) {
  m.Name = "fcc";
  double below = 0.0;
  if (mhz < kHfTopMHz) {
    below = kHfLimitDb;
    m.Rule = "47 CFR 97.307(d), below 30 MHz: 43 dB below the fundamental";
  } else if (mhz <= kVhfTopMHz) {
    below = VhfAttenuation(p1);
    m.Rule = p1 > kSmallTxW
                 ? "47 CFR 97.307(e), 30 to 225 MHz: 60 dB below the fundamental"
                 : Format("47 CFR 97.307(e), 30 to 225 MHz, 25 W or less: %.1f dB below", below);
  } else {
    m.Applies = false;
    m.Rule = "47 CFR 97.307 gives no figure above 225 MHz";
    return;
  }
  for (double& l : m.Limit) l = -below;
}

}  // namespace

LoadAmplitudes LoadAmplitudesOf(const SimResult& r) {
  LoadAmplitudes a{};
  for (int k = 1; k <= kLastMaskHarmonic; k++) a.Of[k] = HarmonicAmplitude(r.Vload, k);
  return a;
}

Harmonics HarmonicsOf(const LoadAmplitudes& a) {
  Harmonics h{};
  for (int k = kFirstMaskHarmonic; k <= kLastMaskHarmonic; k++)
    h.Dbc[k - kFirstMaskHarmonic] = Dbc(a.Of[k], a.Of[1]);
  return h;
}

double FundamentalPowerOf(const LoadAmplitudes& a, double rload) {
  return a.Of[1] * a.Of[1] / (2.0 * rload);
}

Harmonics LoadHarmonics(const SimResult& r) {
  return HarmonicsOf(LoadAmplitudesOf(r));
}

double FundamentalPower(const SimResult& r, double rload) {
  const double a1 = HarmonicAmplitude(r.Vload, 1);
  return a1 * a1 / (2.0 * rload);
}

MaskResult ApplyMask(const MaskChoice& c, double designMHz, double p1, const Harmonics& h) {
  MaskResult m{};
  m.Applies = true;
  switch (c.Kind) {
    case kMaskFcc: FccLimit(designMHz, p1, m); break;
    case kMaskFlat:
      m.Name = Format("%g dBc", -c.FlatDbc);
      m.Rule = Format("every harmonic at least %g dB below the fundamental", c.FlatDbc);
      for (double& l : m.Limit) l = -c.FlatDbc;
      break;
    default:
      m.Name = "none";
      m.Rule = "no limit asked";
      m.Applies = false;
  }
  m.Pass = true;
  m.Worst = 0;
  for (int i = 0; i < kMaskHarmonics; i++) {
    m.Margin[i] = m.Applies ? m.Limit[i] - h.Dbc[i] : 0.0;
    if (!m.Applies) m.Limit[i] = 0.0;
    if (m.Margin[i] < 0.0) m.Pass = false;
    if (m.Margin[i] < m.Margin[m.Worst]) m.Worst = i;
  }
  return m;
}
