/*
** previous_harmonics.cpp: the harmonics at the load and the emission
** limit as they were worked (see previous_harmonics.h).
*/
#include "bench/previous/previous_harmonics.h"

#include <cmath>

#include "engine/single_precision.h"
#include "sim/engine/measure.h"

namespace previous {
namespace {

struct Twiddles {
  double c[kPeriodSamples], s[kPeriodSamples];
  Twiddles() {
    for (int j = 0; j < kPeriodSamples; j++) {
      c[j] = std::cos(kTwoPi * j / double(kPeriodSamples));
      s[j] = std::sin(kTwoPi * j / double(kPeriodSamples));
    }
  }
};

/* Not inlined, as the program's was not: its sums then went through
   memory at every sample. */
[[gnu::noinline]] void Phasor(const std::vector<double>& period, int k, double* re, double* im) {
  static const Twiddles table;
  const size_t n = period.size();
  *re = *im = 0.0;
  for (size_t i = 0; i < n; i++) {
    const size_t j = (size_t(k) * i) % n;
    *re += period[i] * table.c[j];
    *im -= period[i] * table.s[j];
  }
  *re *= 2.0 / double(n);
  *im *= 2.0 / double(n);
}

double Amplitude(const std::vector<double>& period, int k) {
  if (period.size() != size_t(kPeriodSamples)) return HarmonicAmplitude(period, k);
  double re, im;
  Phasor(period, k, &re, &im);
  return std::hypot(re, im);
}

}  // namespace

MaskResult ApplyMaskTo(const Circuit& c, const SimResult& r, const MaskChoice& m,
                       double designMHz) {
  const double a1 = Amplitude(r.Vload, 1);
  const double p1 = a1 * a1 / (2.0 * LoadResistance(c));
  Harmonics h{};
  const double b1 = Amplitude(r.Vload, 1);
  for (int k = kFirstMaskHarmonic; k <= kLastMaskHarmonic; k++)
    h.Dbc[k - kFirstMaskHarmonic] = Dbc(Amplitude(r.Vload, k), b1);
  return ApplyMask(m, designMHz, p1, h);
}

}  // namespace previous
