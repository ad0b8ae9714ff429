/*
** sim_text_plot_test.cpp: the text plot of one period, on a sine whose
** crest and trough columns are known, and on a flat line.
*/
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "sim/engine/steady_state.h"
#include "sim/report/text_plot.h"
#include "tests/test_support.h"

namespace {

const double kPi = 3.141592653589793;

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

}  // namespace
