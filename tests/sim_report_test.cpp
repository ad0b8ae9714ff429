/*
** sim_report_test.cpp: the text of tolvarin-sim: the table's columns
** line up within 80 columns, numbers give way to their width, the
** heading prints plain numbers, the CSV holds one row per sample.
*/
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "sim/circuit/circuit.h"
#include "sim/circuit/status.h"
#include "sim/circuit/topology_table.h"
#include "sim/cli/options.h"
#include "sim/design/calculator_circuit.h"
#include "sim/report/run_report.h"
#include "tests/test_support.h"

namespace {

TEST(SimReport, RowsLineUpUnderTheHeadingWithinEightyColumns) {
  const std::vector<std::string> heading = Lines(ReportTableHeading());
  ASSERT_EQ(heading.size(), 3u);
  SimResult r;
  r.Run = Status::Done();
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
  r.Slope = 1.234;
  r.Periods = 960;
  r.Engine = kEngineNgspice;
  const std::string row = ReportRow(r, 12.0);
  ASSERT_EQ(row.back(), '\n');
  EXPECT_EQ(row.size() - 1, heading[1].size());
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
  EXPECT_NE(row.find(" 103 "), std::string::npos); /* 1234.56 / 12, squeezed into 4 */
  EXPECT_NE(row.find(" 960*\n"), std::string::npos);
  r.Engine = kEngineExact;
  EXPECT_NE(ReportRow(r, 12.0).find("   ex\n"), std::string::npos);
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
  for (int topology = 0; topology < kTopologyCount; topology++) {
    const DesignRequest r = [topology] {
      DesignRequest q = ExampleRequest();
      q.QL = 1.8f;
      q.Topology = topology;
      return q;
    }();
    DesignState s;
    DesignForSimulation(r, s);
    Circuit c;
    BuildCircuit(s, topology, false, kPowerCircuit, c);
    const std::string heading =
        ReportTitle(r, kEngineExact, false, kEngineExact) + ReportHeading(s, c);
    EXPECT_EQ(heading.find("e+"), std::string::npos) << heading;
    EXPECT_NE(heading.find(Topology(topology).Title), std::string::npos);
    for (const std::string& l : Lines(heading)) EXPECT_LE(l.size(), 80u) << l;
  }
}

TEST(SimReport, CsvHasOneRowPerSample) {
  SimResult r;
  r.Run = Status::Done();
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
