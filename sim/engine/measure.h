/*
** measure.h: the figures of one transient run, from the simulator's raw
** (unevenly spaced) output.
*/
#ifndef TOLVARIN_SIM_ENGINE_MEASURE_H
#define TOLVARIN_SIM_ENGINE_MEASURE_H

#include <vector>

#include "sim/engine/steady_state.h"

/* The last period may differ from the one before, and from the one half
   way through the run, by this much (relative to the peak switch voltage,
   and to the DC input power) and still count as steady. */
extern const double kSteadyTolerance;

/* The slope at turn-on is fitted over this fraction of a period before
   it (the exported netlist's measurements use it too). */
extern const double kSlopeWindow;

/* The vectors of one transient run, as the simulator gave them. */
struct RawRun {
  std::vector<double> time;
  std::vector<double> vsw;   /* switch voltage */
  std::vector<double> isw;   /* current into the switch */
  std::vector<double> vload; /* load voltage */
  std::vector<double> ein;   /* energy meters: rise by the period's average power */
  std::vector<double> eout;
  std::vector<double> edev;
};

/* v at time x by linear interpolation in the increasing times t; held at
   the ends. */
double ValueAt(const std::vector<double>& t, const std::vector<double>& v, double x);

/* n samples of v at t0 + i * span / n, i = 0 .. n - 1. */
void Resample(const std::vector<double>& t, const std::vector<double>& v, double t0, double span,
              int n, std::vector<double>& out);

/* Amplitude of harmonic k of one period held as uniform samples. */
double HarmonicAmplitude(const std::vector<double>& period, int k);

/* Level of amplitude a relative to the fundamental a1, dB, within
   -200 to 200 (a zero fundamental gives 0). */
double Dbc(double a, double a1);

/* Below this switch voltage (V) a body diode conducts: a clamp. */
inline constexpr double kClampVolts = 0.3;

/* Fills the figures of r (not DriveMHz nor Run) from a run of `periods`
   periods of length `period` seconds with supply vcc, with or without
   reverse conduction across the switch.  The switch turns on at the
   start of every period. */
void MeasureRun(const RawRun& run, double period, int periods, double vcc, bool reverseConduction,
                SimResult& r);

#endif
