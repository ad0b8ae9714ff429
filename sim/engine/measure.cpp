/*
** measure.cpp: turns a transient run into the figures the tool reports.
**
** Powers come from the energy meters of the netlist, which the simulator
** integrates at its own time steps; that keeps short events, such as the
** discharge of Cp1 when the switch turns on with voltage left across it,
** in the books.  Waveform figures come from the raw points (the peak) or
** from uniform samples of the last period (harmonics, plot, CSV, and the
** comparisons with earlier periods, which decide "steady").
*/
#include "sim/engine/measure.h"

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>

#include "engine/single_precision.h"

const double kSteadyTolerance = 0.002;
const double kSlopeWindow = 1.0 / 50.0;

namespace {

/* Average power of the period [a, a + period] from an energy meter. */
double PeriodPower(const RawRun& run, const std::vector<double>& meter, double a, double period) {
  return ValueAt(run.time, meter, a + period) - ValueAt(run.time, meter, a);
}

double PeakIn(const RawRun& run, double a, double b) {
  double peak = ValueAt(run.time, run.vsw, a);
  for (size_t i = 0; i < run.time.size(); i++)
    if (run.time[i] >= a && run.time[i] <= b) peak = std::max(peak, run.vsw[i]);
  return peak;
}

/* Harmonic k of one period of uniform samples as a phasor. */
/* cos and sin of 2 pi j / kPeriodSamples: every harmonic of a period's
   samples reads the same table. */
struct Twiddles {
  double c[kPeriodSamples], s[kPeriodSamples];
  Twiddles() {
    for (int j = 0; j < kPeriodSamples; j++) {
      c[j] = std::cos(kTwoPi * j / double(kPeriodSamples));
      s[j] = std::sin(kTwoPi * j / double(kPeriodSamples));
    }
  }
};

void Phasor(const std::vector<double>& period, int k, double* re, double* im) {
  const size_t n = period.size();
  *re = *im = 0.0;
  if (n == size_t(kPeriodSamples)) {
    static const Twiddles table;
    /* j = k i mod n, stepped rather than divided: a division per sample
       and the sums stored at every sample were the largest cost of a
       tolerance run's harmonics. */
    const size_t step = size_t(k) % n;
    size_t j = 0;
    double sumRe = 0.0, sumIm = 0.0; /* in registers, not stored each sample */
    for (size_t i = 0; i < n; i++) {
      sumRe += period[i] * table.c[j];
      sumIm -= period[i] * table.s[j];
      j += step;
      if (j >= n) j -= n;
    }
    *re = sumRe;
    *im = sumIm;
  } else {
    for (size_t i = 0; i < n; i++) {
      const double phase = kTwoPi * double(k) * double(i) / double(n);
      *re += period[i] * std::cos(phase);
      *im -= period[i] * std::sin(phase);
    }
  }
  *re *= 2.0 / double(n);
  *im *= 2.0 / double(n);
}

/* Harmonics of the switch voltage compared, not its samples: a sample on
   the steep edge of a hard turn-on moves with the simulator's time steps,
   while the harmonics only move when the waveform does. */
const int kComparedHarmonics = 5;

/* How far the period starting at `a` is from the one starting at `b`:
   the largest change of the switch voltage's first harmonics, its peak
   and its value at turn-on against the peak, and of the DC input and
   output powers against the DC input. */
double Change(const RawRun& run, double period, double a, double b, double peak, double pdc) {
  std::vector<double> one, other;
  Resample(run.time, run.vsw, a, period, kPeriodSamples, one);
  Resample(run.time, run.vsw, b, period, kPeriodSamples, other);
  double dv = std::fabs(PeakIn(run, a, a + period) - PeakIn(run, b, b + period));
  dv = std::max(dv, std::fabs(ValueAt(run.time, run.vsw, a) - ValueAt(run.time, run.vsw, b)));
  for (int k = 0; k <= kComparedHarmonics; k++) {
    double re1, im1, re2, im2;
    Phasor(one, k, &re1, &im1);
    Phasor(other, k, &re2, &im2);
    dv = std::max(dv, std::hypot(re1 - re2, im1 - im2));
  }
  const double vscale = std::fabs(peak) > 0.0 ? std::fabs(peak) : 1.0;
  const double pscale = std::fabs(pdc) > 0.0 ? std::fabs(pdc) : 1.0;
  const double din =
      std::fabs(PeriodPower(run, run.ein, a, period) - PeriodPower(run, run.ein, b, period));
  const double dout =
      std::fabs(PeriodPower(run, run.eout, a, period) - PeriodPower(run, run.eout, b, period));
  return std::max(dv / vscale, std::max(din, dout) / pscale);
}

/* The slope of v just before time `at`, from a least-squares cubic
   through the raw points of the last fiftieth of a period before it: the
   simulator's points are too far apart for a difference of two.  When
   reverse conduction holds the switch below zero at turn-on, the fit
   takes only the clamped stretch at the end of the window: a fit across
   the fall into the clamp would report the fall's slope, not the flat
   voltage the switch turns on at. */
double SlopeBefore(const RawRun& run, double at, double period, bool reverseConduction) {
  const double window = period * kSlopeWindow;
  std::vector<double> tau, value;
  for (size_t i = 0; i < run.time.size(); i++)
    if (run.time[i] >= at - window && run.time[i] <= at) {
      tau.push_back((run.time[i] - at) / window);
      value.push_back(run.vsw[i]);
    }
  if (reverseConduction && !value.empty() && value.back() < -kClampVolts) {
    /* The clamped stretch: below the diode's knee and within a tenth of
       a volt of the voltage at turn-on (a diode's drop moves some 60 mV
       for ten times its current). */
    const double end = value.back();
    size_t first = value.size();
    while (first > 0 && value[first - 1] < -kClampVolts && std::fabs(value[first - 1] - end) <= 0.1)
      first--;
    tau.erase(tau.begin(), tau.begin() + first);
    value.erase(value.begin(), value.begin() + first);
  }
  const int terms = static_cast<int>(std::min<size_t>(4, tau.size()));
  if (terms < 2) return 0.0;
  Eigen::MatrixXd a(tau.size(), terms);
  Eigen::VectorXd b(tau.size());
  for (size_t i = 0; i < tau.size(); i++) {
    for (int k = 0; k < terms; k++) a(i, k) = std::pow(tau[i], k);
    b(i) = value[i];
  }
  const Eigen::VectorXd fit = a.colPivHouseholderQr().solve(b);
  return fit(1) / window;
}

}  // namespace

double ValueAt(const std::vector<double>& t, const std::vector<double>& v, double x) {
  if (t.empty()) return 0.0;
  if (x <= t.front()) return v.front();
  if (x >= t.back()) return v.back();
  const size_t i = std::upper_bound(t.begin(), t.end(), x) - t.begin(); /* t[i-1] <= x < t[i] */
  const double dt = t[i] - t[i - 1];
  if (dt <= 0.0) return v[i];
  return v[i - 1] + (x - t[i - 1]) / dt * (v[i] - v[i - 1]);
}

void Resample(const std::vector<double>& t, const std::vector<double>& v, double t0, double span,
              int n, std::vector<double>& out) {
  out.assign(n, 0.0);
  for (int i = 0; i < n; i++) out[i] = ValueAt(t, v, t0 + span * i / n);
}

double HarmonicAmplitude(const std::vector<double>& period, int k) {
  if (period.empty()) return 0.0;
  double re, im;
  Phasor(period, k, &re, &im);
  return std::hypot(re, im);
}

double Dbc(double a, double a1) {
  if (!(a1 > 0.0)) return 0.0;
  const double db = 20.0 * std::log10(std::max(a, 1e-300) / a1);
  return std::min(200.0, std::max(-200.0, db));
}

void MeasureRun(const RawRun& run, double period, int periods, double vcc, bool reverseConduction,
                SimResult& r) {
  const double last = (periods - 1) * period; /* start of the last period */
  r.Periods = periods;
  r.Pdc = PeriodPower(run, run.ein, last, period);
  r.Pout = PeriodPower(run, run.eout, last, period);
  r.Pdev = PeriodPower(run, run.edev, last, period);
  r.Ploss = r.Pdc - r.Pout - r.Pdev;
  r.Eff = r.Pdc > 0.0 ? r.Pout / r.Pdc : 0.0;
  r.Vpeak = PeakIn(run, last, last + period);
  r.Von = ValueAt(run.time, run.vsw, last);
  r.ZvsError = r.Vpeak != 0.0 ? r.Von / r.Vpeak : 0.0;
  r.Slope = SlopeBefore(run, last, period, reverseConduction) * period / (kTwoPi * vcc);
  Resample(run.time, run.vsw, last, period, kPeriodSamples, r.Vsw);
  Resample(run.time, run.isw, last, period, kPeriodSamples, r.Isw);
  Resample(run.time, run.vload, last, period, kPeriodSamples, r.Vload);
  const double h1 = HarmonicAmplitude(r.Vload, 1);
  r.H2dBc = Dbc(HarmonicAmplitude(r.Vload, 2), h1);
  r.H3dBc = Dbc(HarmonicAmplitude(r.Vload, 3), h1);
  /* The last two periods must agree; so must the last and the one half
     way through the run, because a slow transient (the choke with a DC
     block, a high QL) changes little from one period to the next and
     still has far to go. */
  if (periods >= 3) {
    const double middle = (periods / 2) * period;
    r.Settle = std::max(Change(run, period, last, last - period, r.Vpeak, r.Pdc),
                        Change(run, period, last, middle, r.Vpeak, r.Pdc));
  } else {
    r.Settle = 1.0;
  }
  r.Steady = r.Settle <= kSteadyTolerance ? 1 : 0;
}
