/*
** sim_tolerance_test.cpp: the Monte Carlo run against what it must
** reproduce: no spread at all without tolerances, ngspice's figures of
** the very circuit a sample stands for, the quantiles of a uniform part
** carried through a monotonic response, and the generator the C++
** standard fixes.
*/
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "sim/analysis/mismatch.h"
#include "sim/analysis/sensitivity.h"
#include "sim/analysis/tolerance.h"
#include "sim/engine/drive.h"
#include "sim/engine/exact_engine.h"
#include "sim/engine/ngspice_runner.h"
#include "sim_example.h"

namespace {

ToleranceSettings Settings(int samples, double capPct, double coilPct, double ronPct) {
  ToleranceSettings t{};
  t.CapPct = capPct;
  t.CoilPct = coilPct;
  t.RonPct = ronPct;
  t.Samples = samples;
  t.Seed = 1;
  t.Engine = kEngineExact;
  t.DriveMHz = 3.8;
  t.Vmax = 53.4;
  return t;
}

TEST(SimTolerance, WithoutTolerancesEverySampleIsTheNominal) {
  ToleranceRun run;
  RunTolerance(ExampleCircuit(), Settings(50, 0.0, 0.0, 0.0), run);
  ASSERT_TRUE(run.Nominal.Run.Ok()) << run.Nominal.Run.Why();
  ASSERT_EQ(run.Samples.size(), 50u);
  const Figures nominal = FiguresOf(run.Nominal);
  for (const ToleranceSample& s : run.Samples) {
    ASSERT_TRUE(s.Run.Ok()) << s.Run.Why();
    for (int f = 0; f < kFigureCount; f++) EXPECT_EQ(s.Figs.Of[f], nominal.Of[f]) << f;
  }
  EXPECT_EQ(run.Stats[kFigVpk].P95, run.Stats[kFigVpk].P5);
}

/* The worst sample of a run, its circuit simulated by ngspice: the
   figures the run holds are that circuit's, and it is far enough from
   the nominal that a sample simulated with other parts would show. */
TEST(SimTolerance, SampleFiguresAreThoseOfItsCircuitInNgspice) {
  if (!SimulatorAvailable()) GTEST_SKIP() << "built without ngspice";
  const Circuit c = TunedExample();
  ToleranceRun run;
  RunTolerance(c, Settings(40, 5.0, 3.0, 20.0), run);
  ASSERT_TRUE(run.Nominal.Run.Ok()) << run.Nominal.Run.Why();
  ASSERT_EQ(run.Failed, 0);
  for (int i : {run.Worst.front(), 0}) {
    const ToleranceSample& s = run.Samples[i];
    SimResult ng;
    SimulateDrive(SampleCircuit(c, run.Ranges, s.Deviation), kEngineNgspice, 0, 3.8, ng);
    ASSERT_TRUE(ng.Run.Ok() && ng.Steady) << ng.Run.Why();
    const double* f = s.Figs.Of;
    EXPECT_TRUE(AgreesWithNgspice(f[kFigPout], f[kFigPdev], f[kFigEff], f[kFigVpk], f[kFigZvs],
                                  f[kFigSlope], ng))
        << "sample " << i << ": Pout " << f[kFigPout] << " " << ng.Pout << ", Vpk " << f[kFigVpk]
        << " " << ng.Vpeak << ", ZVS " << f[kFigZvs] << " " << ng.ZvsError;
  }
  const double worst = run.Samples[run.Worst.front()].Figs.Of[kFigVpk];
  EXPECT_GT(worst, 1.02 * run.Nominal.Vpeak);
}

/* Cp1 alone within +/- 5 %: its q-quantile is 1 + 0.1 (q - 0.5) times
   its value, and Pout falls as Cp1 rises, so Pout's q-quantile is Pout
   at Cp1's (1 - q)-quantile.  The sample quantile of 1000 uniform
   draws has a standard deviation of sqrt(q (1 - q) / 1000) x 0.1 of
   the value (at most 0.16 %): Pout's quantile must lie between Pout at
   Cp1's quantile less and plus four of those. */
TEST(SimTolerance, OneCapacitorGivesTheQuantilesOfADirectEvaluation) {
  const Circuit c = TunedExample();
  const double cp1 = FindPart(c, "Cp1")->Value;
  auto poutAt = [&](double fraction) {
    Circuit changed = c;
    SetPartValue(changed, "Cp1", cp1 * (1.0 + fraction));
    SimResult r;
    ExactSteadyState(changed, 3.8, r);
    EXPECT_TRUE(r.Run.Ok()) << r.Run.Why();
    return r.Pout;
  };
  ASSERT_GT(poutAt(-0.05), poutAt(0.05)); /* monotonic, falling */
  const int n = 1000;
  ToleranceRun run;
  RunToleranceOver(c, {{"Cp1", -0.05, 0.05}}, Settings(n, 0, 0, 0), run);
  ASSERT_EQ(run.Failed, 0);
  const FigureStats& pout = run.Stats[kFigPout];
  const struct { double q, got; } cases[] = {{0.05, pout.P5}, {0.5, pout.Median}, {0.95, pout.P95}};
  for (const auto& k : cases) {
    const double at = 0.1 * (0.5 - k.q); /* Cp1's (1 - q)-quantile */
    const double sigma = std::sqrt(k.q * (1.0 - k.q) / n) * 0.1;
    EXPECT_LE(k.got, poutAt(at - 4.0 * sigma)) << "q " << k.q;
    EXPECT_GE(k.got, poutAt(at + 4.0 * sigma)) << "q " << k.q;
  }
}

/* The share within the rating: with the rating at the run's own 95th
   percentile of Vpk (between the 190th and 191st of 200 distinct values)
   190 samples are at most it; at the median of the dissipation, 100. */
TEST(SimTolerance, ShareWithinTheRatingCountsTheSamples) {
  const Circuit c = ExampleCircuit();
  ToleranceRun first, second;
  ToleranceSettings t = Settings(200, 5.0, 3.0, 20.0);
  RunTolerance(c, t, first);
  t.Vmax = first.Stats[kFigVpk].P95;
  t.PdevMax = first.Stats[kFigPdev].Median;
  RunTolerance(c, t, second);
  EXPECT_DOUBLE_EQ(second.WithinVmax, 0.95);
  EXPECT_DOUBLE_EQ(second.UnderPdevMax, 0.5);
}

/* An analysis told to stop keeps the steps done and says it stopped:
   the tolerance run its samples, the mismatch run its phases, the
   sensitivity run its elements. */
TEST(SimTolerance, AnalysesStopWhereTheProgressSays) {
  const AnalysisProgress three = [](int done, int) { return done < 3; };
  ToleranceRun tolerance;
  RunTolerance(ExampleCircuit(), Settings(100, 5.0, 3.0, 20.0), tolerance, three);
  EXPECT_TRUE(tolerance.Stopped);
  EXPECT_EQ(tolerance.Samples.size(), 3u);
  MismatchRun mismatch;
  RunMismatch(ExampleCircuit(), 2.0, kEngineExact, 0, 3.8, mismatch, three);
  EXPECT_TRUE(mismatch.Stopped);
  EXPECT_EQ(mismatch.Points.size(), 3u);
  SensitivityRun sensitivity;
  RunSensitivity(ExampleCircuit(), kEngineExact, 0, 3.8, sensitivity, three);
  EXPECT_TRUE(sensitivity.Stopped);
  EXPECT_EQ(sensitivity.Effects.size(), 3u);
  EXPECT_GT(sensitivity.Elements, 3);
}

/* A seed means the same sequence everywhere: std::mt19937_64's 10000th
   output from its default seed 5489 is fixed by the C++ standard. */
TEST(SimTolerance, UniformsComeFromTheStandardsGenerator) {
  UniformSource u(5489);
  for (int i = 1; i < 10000; i++) u.Next();
  EXPECT_EQ(u.Next(), double(9981545732273789042ull >> 11) * 0x1p-53);
  /* Each range is met and kept: capacitors and coils both ways, Ron up. */
  const Circuit c = ExampleCircuit();
  const std::vector<ElementRange> ranges = ToleranceRanges(c, 5.0, 3.0, 20.0);
  std::vector<std::vector<double>> d;
  DrawDeviations(ranges, 2000, 7, d);
  for (size_t k = 0; k < ranges.size(); k++) {
    double low = 1.0, high = -1.0;
    for (const std::vector<double>& s : d) {
      low = std::min(low, s[k]);
      high = std::max(high, s[k]);
    }
    const double tol = ranges[k].Element == "Ron" ? 0.2 : ranges[k].Element[0] == 'C' ? 0.05 : 0.03;
    const double from = ranges[k].Element == "Ron" ? 0.0 : -tol;
    EXPECT_GE(low, from) << ranges[k].Element;
    EXPECT_LT(low, from + 0.01 * tol) << ranges[k].Element;
    EXPECT_LE(high, tol) << ranges[k].Element;
    EXPECT_GT(high, 0.99 * tol) << ranges[k].Element;
  }
}

/* The share within a harmonic limit counts the samples whose every
   harmonic H2 .. H10 at the load (worked here from each sample's load
   voltage by a direct Fourier sum) is at least the limit below the
   fundamental; the limit set inside the spread leaves some of each. */
TEST(SimTolerance, ShareWithinTheHarmonicLimitCountsTheSamples) {
  const Circuit c = ExampleCircuit();
  ToleranceSettings t = Settings(40, 5.0, 3.0, 20.0);
  t.Mask = MaskChoice{kMaskFlat, 12.9};
  ToleranceRun run;
  RunTolerance(c, t, run);
  int pass = 0;
  std::vector<double> worst;
  for (const ToleranceSample& s : run.Samples) {
    SimResult r;
    SimulateDrive(SampleCircuit(c, run.Ranges, s.Deviation), kEngineExact, 0, 3.8, r);
    double amp[11] = {};
    for (int k = 1; k <= 10; k++) {
      double re = 0.0, im = 0.0;
      for (int i = 0; i < kPeriodSamples; i++) {
        re += r.Vload[i] * std::cos(2.0 * M_PI * k * i / double(kPeriodSamples));
        im += r.Vload[i] * std::sin(2.0 * M_PI * k * i / double(kPeriodSamples));
      }
      amp[k] = std::hypot(re, im);
    }
    double least = 1e9;
    for (int k = 2; k <= 10; k++)
      least = std::min(least, -12.9 - 20.0 * std::log10(amp[k] / amp[1]));
    worst.push_back(least);
    pass += least >= 0.0;
  }
  EXPECT_GT(pass, 0);
  EXPECT_LT(pass, 40);
  EXPECT_DOUBLE_EQ(run.MaskPassShare, pass / 40.0);
  std::sort(worst.begin(), worst.end());
  EXPECT_NEAR(run.Margin.Median, Quantile(worst, 0.5), 1e-9);
  EXPECT_NEAR(run.Margin.P5, Quantile(worst, 0.05), 1e-9);
}

/* The run solves every sample in one workspace; each sample's figures
   and harmonic margin must be, to the bit, those of its circuit solved
   alone, with and without a limit (which decides how much of a steady
   state the run asks for). */
TEST(SimTolerance, SamplesSolvedInOneWorkspaceAreThoseSolvedAlone) {
  const Circuit c = ExampleCircuit();
  for (int kind : {kMaskFcc, kMaskNone}) {
    ToleranceSettings t = Settings(100, 5.0, 3.0, 20.0);
    t.Mask = MaskChoice{kind, 0.0};
    ToleranceRun run;
    RunTolerance(c, t, run);
    ASSERT_EQ(run.Samples.size(), 100u);
    for (size_t i = 0; i < run.Samples.size(); i++) {
      const ToleranceSample& s = run.Samples[i];
      const Circuit sample = SampleCircuit(c, run.Ranges, s.Deviation);
      SimResult alone;
      ExactSteadyState(sample, 3.8, alone);
      ASSERT_EQ(s.Run.Ok(), alone.Run.Ok()) << i;
      const Figures f = FiguresOf(alone);
      for (int k = 0; k < kFigureCount; k++) EXPECT_EQ(s.Figs.Of[k], f.Of[k]) << i << " " << k;
      if (kind == kMaskNone) continue;
      const MaskResult m = ApplyMask(t.Mask, 3.8, FundamentalPower(alone, LoadResistance(sample)),
                                     LoadHarmonics(alone));
      EXPECT_EQ(s.WorstMargin, m.Margin[m.Worst]) << i;
      EXPECT_EQ(s.MaskPass, m.Pass) << i;
    }
  }
}

}  // namespace

namespace {

/* --coss-tol spreads the device's own capacitance, graded as it is: every
   sample's output power lies between those of the circuit with the whole
   graded curve 20 % lower and 20 % higher, set directly, and the samples
   reach well into that span. */
TEST(SimTolerance, TheDeviceCapacitanceSpreadsWithinItsRange) {
  Circuit c = ExampleCircuit();
  SetPartValue(c, "Cp1", FindPart(c, "Cp1")->Value - 80e-12);
  DeviceModel d;
  d.Coss = 80e-12;
  d.CossVolts = 12.0;
  d.Grading = 0.5;
  AddDevice(c, d);
  double ends[2];
  for (int i = 0; i < 2; i++) {
    Circuit e = c;
    e.Device.Coss *= i == 0 ? 0.8 : 1.2;
    SimResult r;
    ExactSteadyState(e, 3.8, r);
    ASSERT_TRUE(r.Run.Ok()) << r.Run.Why();
    ends[i] = r.Pout;
  }
  const double lo = std::min(ends[0], ends[1]), hi = std::max(ends[0], ends[1]);
  ToleranceSettings t = Settings(40, 0.0, 0.0, 0.0);
  t.CossPct = 20.0;
  ToleranceRun run;
  RunTolerance(c, t, run);
  ASSERT_EQ(run.Samples.size(), 40u);
  for (const ToleranceSample& s : run.Samples) {
    ASSERT_TRUE(s.Run.Ok()) << s.Run.Why();
    EXPECT_GE(s.Figs.Of[kFigPout], lo - 1e-9);
    EXPECT_LE(s.Figs.Of[kFigPout], hi + 1e-9);
  }
  EXPECT_GT(run.Stats[kFigPout].P95 - run.Stats[kFigPout].P5, 0.5 * (hi - lo));
}

}  // namespace
