/*
** sim_measure_test.cpp: the figures of a run, the text plot and the
** report text, on waveforms made here whose answers are known: sines of
** set amplitude, meters that rise at a set power, a transient that dies
** away too slowly to be seen between two neighbouring periods.
*/
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "sim/measure.h"
#include "sim/options.h"
#include "sim/report.h"
#include "sim/sim_design.h"
#include "sim/text_plot.h"
#include "tests/test_support.h"

namespace {

const double kPi = 3.141592653589793;

/* A run of `periods` periods of 1 us on an uneven time grid (300 points
   a period, wobbling by a third of a step, every period start on the
   grid), with the switch voltage v(t) = 12 + 30 sin(2 pi t / T - 0.3),
   and meters rising at constant power within each period (the DC input
   short by `drift` x exp(-k / tau) in period k when tau > 0). */
RawRun MakeRun(int periods, double drift, double tau) {
  const double T = 1e-6;
  const int n = 300;
  RawRun run;
  double ein = 0.0;
  for (int k = 0; k <= periods; k++) {
    const double pin = 3.0 * (1.0 - (tau > 0.0 ? drift * std::exp(-k / tau) : 0.0));
    for (int j = 0; j < (k == periods ? 1 : n); j++) {
      const double f = (j + (j == 0 ? 0.0 : std::sin(j) / 3.0)) / n;
      const double t = k * T + f * T;
      run.time.push_back(t);
      run.vsw.push_back(12.0 + 30.0 * std::sin(2.0 * kPi * t / T - 0.3));
      run.isw.push_back(0.0);
      run.vload.push_back(10.0 * std::sin(2.0 * kPi * t / T) + std::sin(4.0 * kPi * t / T));
      run.ein.push_back(ein + pin * f);
      run.eout.push_back(2.5 * t / T);
      run.edev.push_back(0.1 * t / T);
    }
    ein += pin;
  }
  return run;
}

TEST(SimMeasure, InterpolationHoldsTheEnds) {
  const std::vector<double> t = {0.0, 1.0, 3.0}, v = {0.0, 10.0, 30.0};
  EXPECT_DOUBLE_EQ(ValueAt(t, v, 2.0), 20.0);
  EXPECT_DOUBLE_EQ(ValueAt(t, v, 0.25), 2.5);
  EXPECT_DOUBLE_EQ(ValueAt(t, v, -1.0), 0.0);
  EXPECT_DOUBLE_EQ(ValueAt(t, v, 9.0), 30.0);
  /* A repeated time point (a breakpoint) gives the later value, no
     division by zero. */
  const std::vector<double> t2 = {0.0, 1.0, 1.0, 2.0}, v2 = {0.0, 1.0, 5.0, 5.0};
  EXPECT_TRUE(std::isfinite(ValueAt(t2, v2, 1.0)));
  std::vector<double> out;
  Resample(t, v, 0.0, 2.0, 4, out);
  EXPECT_EQ(out, (std::vector<double>{0.0, 5.0, 10.0, 15.0}));
}

TEST(SimMeasure, HarmonicsOfKnownSines) {
  std::vector<double> p(kPeriodSamples);
  for (int i = 0; i < kPeriodSamples; i++) {
    const double x = 2.0 * kPi * i / double(kPeriodSamples);
    p[i] = 4.0 + 10.0 * std::cos(x + 1.0) + 1.0 * std::sin(2.0 * x) + 0.01 * std::cos(3.0 * x);
  }
  EXPECT_NEAR(HarmonicAmplitude(p, 1), 10.0, 1e-9);
  EXPECT_NEAR(HarmonicAmplitude(p, 2), 1.0, 1e-9);
  EXPECT_NEAR(Dbc(HarmonicAmplitude(p, 2), HarmonicAmplitude(p, 1)), -20.0, 1e-6);
  EXPECT_NEAR(Dbc(HarmonicAmplitude(p, 3), HarmonicAmplitude(p, 1)), -60.0, 1e-6);
  EXPECT_DOUBLE_EQ(Dbc(0.0, 1.0), -200.0);
  EXPECT_DOUBLE_EQ(Dbc(1.0, 0.0), 0.0);
}

TEST(SimMeasure, SteadyRunGivesItsPowersAndVoltages) {
  const RawRun run = MakeRun(20, 0.0, 0.0);
  SimResult r;
  MeasureRun(run, 1e-6, 20, r);
  EXPECT_NEAR(r.Pdc, 3.0, 1e-9);
  EXPECT_NEAR(r.Pout, 2.5, 1e-9);
  EXPECT_NEAR(r.Pdev, 0.1, 1e-9);
  EXPECT_NEAR(r.Ploss, 0.4, 1e-9);
  EXPECT_NEAR(r.Eff, 2.5 / 3.0, 1e-9);
  /* Peak 12 + 30 from the raw points (within the grid's reach of the
     crest: steps under 1.7 / 300 of a period), turn-on value
     12 + 30 sin(-0.3). */
  EXPECT_NEAR(r.Vpeak, 42.0, 30.0 * (1.0 - std::cos(2.0 * kPi * 1.7 / 300.0)));
  EXPECT_NEAR(r.Von, 12.0 + 30.0 * std::sin(-0.3), 1e-9);
  EXPECT_NEAR(r.ZvsError, r.Von / r.Vpeak, 1e-12);
  EXPECT_NEAR(r.H2dBc, -20.0, 0.01);
  EXPECT_LT(r.H3dBc, -60.0);
  EXPECT_EQ(r.Steady, 1);
  ASSERT_EQ(r.Vsw.size(), size_t(kPeriodSamples));
}

TEST(SimMeasure, SlowTransientIsNotSteadyThoughNeighboursAgree) {
  /* 5 % of the input dying away with a time constant of 50 periods:
     periods 58 and 59 differ by 0.15 (e^-58/50 - e^-59/50) / 3 = 0.03 %,
     periods 30 and 59 by 0.15 (e^-30/50 - e^-59/50) / 3 = 1.2 %. */
  const RawRun run = MakeRun(60, 0.05, 50.0);
  SimResult r;
  MeasureRun(run, 1e-6, 60, r);
  EXPECT_EQ(r.Steady, 0);
  EXPECT_NEAR(r.Settle, 0.15 * (std::exp(-0.6) - std::exp(-1.18)) / r.Pdc, 1e-9);
  /* Long enough for it to die: steady. */
  const RawRun longer = MakeRun(600, 0.05, 50.0);
  MeasureRun(longer, 1e-6, 600, r);
  EXPECT_EQ(r.Steady, 1);
  EXPECT_LT(r.Settle, kSteadyTolerance);
}

TEST(SimTextPlot, SineFillsItsPanelWithinEightyColumns) {
  std::vector<double> v(kPeriodSamples), i(kPeriodSamples);
  for (int k = 0; k < kPeriodSamples; k++) {
    v[k] = 40.0 * std::sin(2.0 * kPi * k / double(kPeriodSamples));
    i[k] = k < kPeriodSamples / 2 ? 0.5 : 0.0;
  }
  const std::vector<std::string> lines = Lines(PlotPeriod(v, i, 3.8));
  for (const std::string& l : lines) EXPECT_LE(l.size(), 80u) << l;
  /* Title, 14 voltage rows, title, 8 current rows, axis, marks, drive. */
  ASSERT_EQ(lines.size(), 1u + 14u + 1u + 8u + 3u);
  const std::string& top = lines[1];
  const std::string& bottom = lines[14];
  EXPECT_EQ(top.substr(0, 9), "     40 |");
  EXPECT_EQ(bottom.substr(0, 9), "    -40 |");
  /* The crest sits a quarter period in (column 9 + 71 / 4), the trough
     three quarters in. */
  const size_t crest = top.find('*'), trough = bottom.find('*');
  ASSERT_NE(crest, std::string::npos);
  ASSERT_NE(trough, std::string::npos);
  EXPECT_NEAR(double(crest + top.rfind('*')) / 2.0, 9.0 + 71.0 / 4.0, 1.5);
  EXPECT_NEAR(double(trough + bottom.rfind('*')) / 2.0, 9.0 + 3.0 * 71.0 / 4.0, 1.5);
  /* Zero line drawn with '-' where the trace is not. */
  int zero = 0;
  for (const std::string& l : lines)
    if (l.substr(0, 9) == "      0 |") zero++;
  EXPECT_EQ(zero, 2);
  EXPECT_NE(lines[25].find("T/2"), std::string::npos);
  EXPECT_EQ(lines[25].find("T/2"), 9u + 35u);
}

TEST(SimTextPlot, FlatWaveformDoesNotDivideByZero) {
  const std::vector<double> flat(kPeriodSamples, 0.0);
  const std::string panel = PlotPanel(flat, 6, "flat");
  EXPECT_EQ(panel.find("nan"), std::string::npos);
  EXPECT_EQ(panel.find("inf"), std::string::npos);
}

TEST(SimReport, RowsLineUpUnderTheHeadingWithinEightyColumns) {
  const std::vector<std::string> heading = Lines(ReportTableHeading());
  ASSERT_EQ(heading.size(), 3u);
  SimResult r;
  r.Ok = 1;
  r.Steady = 0;
  r.DriveMHz = 3.8;
  r.Pout = 123.456;
  r.Pdc = 1234.5;
  r.Eff = 0.9876;
  r.Pdev = 0.0123;
  r.Ploss = -0.001;
  r.Vpeak = 1234.56;
  r.ZvsError = -0.0512;
  r.H2dBc = -120.3;
  r.H3dBc = -27.04;
  r.Periods = 960;
  const std::string row = ReportRow(r, 12.0);
  ASSERT_EQ(row.back(), '\n');
  EXPECT_EQ(row.size() - 1, heading[1].size() + 1); /* the not-steady mark */
  EXPECT_LE(row.size() - 1, 80u);
  /* Each number ends under the end of its heading. */
  const std::string line = row.substr(0, row.size() - 1);
  size_t at = 0;
  while ((at = heading[1].find_first_not_of(' ', at)) != std::string::npos) {
    const size_t end = heading[1].find(' ', at);
    const size_t last = (end == std::string::npos ? heading[1].size() : end) - 1;
    EXPECT_NE(line[last], ' ') << heading[1].substr(at, last - at + 1) << " in " << line;
    if (end == std::string::npos) break;
    at = end;
  }
  EXPECT_NE(row.find(" 102.9 "), std::string::npos); /* 1234.56 / 12, squeezed into 5 */
  EXPECT_EQ(row.find("nan"), std::string::npos);
}

TEST(SimReport, FixedWidthsGiveWayToBigNumbers) {
  EXPECT_EQ(Fixed(2.5934, 6, 3), " 2.593");
  EXPECT_EQ(Fixed(1234.5, 6, 3), "1234.5");
  EXPECT_EQ(Fixed(-0.0512, 6, 3), "-0.051");
  EXPECT_EQ(Fixed(123456.0, 6, 3), "123456");
  EXPECT_EQ(Fixed(NAN, 5, 1), "  0.0");
}

TEST(SimReport, HeadingFitsAndShowsPlainNumbers) {
  /* QL 1.8 makes Cs2 about 100 nF: shown as pF without an exponent. */
  for (int topology = 0; topology < kSimTopologyCount; topology++) {
    SimOptions o;
    DefaultSimOptions(o);
    o.QL = 1.8f;
    o.Topology = topology;
    DesignState s;
    DesignForSimulation(o, s);
    const std::string heading = ReportHeading(s, o);
    EXPECT_EQ(heading.find("e+"), std::string::npos) << heading;
    EXPECT_NE(heading.find(TopologyTitle(topology)), std::string::npos);
    for (const std::string& l : Lines(heading)) EXPECT_LE(l.size(), 80u) << l;
  }
}

TEST(SimReport, CsvHasOneRowPerSample) {
  SimResult r;
  r.Ok = 1;
  r.DriveMHz = 4.0;
  r.Vsw.assign(kPeriodSamples, 1.0);
  r.Isw.assign(kPeriodSamples, 2.0);
  r.Vload.assign(kPeriodSamples, 3.0);
  SimResult failed;
  const std::vector<std::string> lines = Lines(CsvText({r, failed}));
  ASSERT_EQ(lines.size(), 1u + kPeriodSamples);
  EXPECT_EQ(lines[0], "drive_mhz,time_ns,v_switch,i_switch,v_load");
  EXPECT_EQ(lines[1], "4,0,1,2,3");
  EXPECT_EQ(lines[kPeriodSamples / 2 + 1], "4,125,1,2,3"); /* half of 250 ns */
}

}  // namespace
