/*
** tolerance.h: Monte Carlo over the parts' tolerances.  Each sample is
** the circuit with every varied element off its value by a fraction drawn
** uniformly from that element's range, all independent; its steady state
** at the drive frequency gives the six figures.  The spread of each
** figure is told by its median and its 5th and 95th percentiles.
*/
#ifndef TOLVARIN_SIM_ANALYSIS_TOLERANCE_H
#define TOLVARIN_SIM_ANALYSIS_TOLERANCE_H

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "sim/analysis/emission_mask.h"
#include "sim/analysis/variation.h"
#include "sim/circuit/circuit.h"
#include "sim/engine/steady_state.h"

/* One element and the fractions it may be off by: uniform in [Low, High]. */
struct ElementRange {
  std::string Element; /* a part's name, or kRonElement */
  double Low, High;    /* fractions, Low <= High, Low > -1 */
};

/* The ranges of --cap-tol, --coil-tol and --ron-tol (in %): every
   capacitor within +/- capPct, every coil within +/- coilPct, Ron from
   its value to ronPct higher.  The device's own capacitance is the
   device's, not a part's tolerance: it stays, unless cossPct (in %,
   --coss-tol) spreads it within +/- that. */
std::vector<ElementRange> ToleranceRanges(const Circuit& c, double capPct, double coilPct,
                                          double ronPct, double cossPct = 0.0);

/* Uniform numbers in [0, 1) from the 53 high bits of std::mt19937_64,
   whose output the standard fixes: the same seed gives the same sequence
   with every library (its distributions are not so fixed). */
class UniformSource {
 public:
  explicit UniformSource(std::uint64_t seed) : engine_(seed) {}
  double Next() { return static_cast<double>(engine_() >> 11) * 0x1p-53; }

 private:
  std::mt19937_64 engine_;
};

struct ToleranceSettings {
  double CapPct, CoilPct, RonPct; /* the ranges of ToleranceRanges */
  int Samples;
  std::uint64_t Seed;
  int Engine;           /* SimEngine */
  int Periods;          /* ngspice: drive periods, 0 until steady */
  double DriveMHz;      /* the design frequency */
  double Vmax;          /* V: the device's rating */
  double PdevMax;       /* W: the device's dissipation limit; 0: none */
  MaskChoice Mask;      /* the harmonics' limit */
  double CossPct = 0.0; /* the device's output capacitance within +/- this, %; 0: held */
};

struct ToleranceSample {
  std::vector<double> Deviation; /* fraction of each range's element, in range order */
  Status Run;
  Figures Figs;
  double WorstMargin; /* dB: the harmonics' least margin to the limit */
  bool MaskPass = false;
};

struct FigureStats {
  double Nominal, Median, P5, P95;
};

struct ToleranceRun {
  ToleranceSettings Settings;
  std::vector<ElementRange> Ranges;
  SimResult Nominal;
  std::vector<ToleranceSample> Samples;
  int Failed;                      /* samples with no steady state */
  FigureStats Stats[kFigureCount]; /* over the samples that ran */
  double WithinVmax;               /* share of those with Vpk <= Vmax */
  double UnderPdevMax;             /* share with Pdev <= PdevMax, when asked */
  std::vector<int> Worst;          /* up to five samples, highest Vpk first */
  bool MaskApplies = false;        /* the limit gives figures at this frequency */
  FigureStats Margin;              /* the worst harmonic margin, dB */
  double MaskPassShare;            /* share of the samples that ran within the limit */
  bool Stopped = false;            /* the progress stopped it: Samples holds those done */
};

/* Told how far a run is: once when the nominal is done (done 0), then
   after every sample. */
using ToleranceProgress = AnalysisProgress;

/* The deviations of every sample, drawn in order: sample by sample, and
   within a sample range by range. */
void DrawDeviations(const std::vector<ElementRange>& ranges, int samples, std::uint64_t seed,
                    std::vector<std::vector<double>>& out);

/* The nominal circuit with a sample's deviations. */
Circuit SampleCircuit(const Circuit& nominal, const std::vector<ElementRange>& ranges,
                      const std::vector<double>& deviation);

/* The p-th quantile (0 <= p <= 1) of sorted values, linear between
   order statistics: position p (n - 1). */
double Quantile(const std::vector<double>& sorted, double p);

/* The whole run on circuit c over the settings' ranges.  A nominal that
   fails leaves no samples (out.Nominal.Run failed). */
void RunTolerance(const Circuit& c, const ToleranceSettings& settings, ToleranceRun& out,
                  const ToleranceProgress& progress = nullptr);

/* The same over the ranges given (the settings' percentages unused). */
void RunToleranceOver(const Circuit& c, const std::vector<ElementRange>& ranges,
                      const ToleranceSettings& settings, ToleranceRun& out,
                      const ToleranceProgress& progress = nullptr);

#endif
