/*
** wire_table_test.cpp: the wire table against published AWG data and the
** resistivity of annealed copper, and its two screens as a session shows
** them.
*/
#include "coils/wire_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "tests/test_support.h"

namespace {

/* The AWG definition: 0.005 in at gauge 36, 0.46 in at gauge 0000 (-3),
   39 steps between, so d = 0.005 x 92^((36 - g) / 39) inches. */
double AwgDiameter(int g) {
  return 0.005 * std::pow(92.0, (36.0 - g) / 39.0);
}

/* The table's diameter formula drifts from the AWG definition by up to
   0.1 % at gauge 41 (python3), so the resistance by up to 0.2 %. */
const double kDiaTol = 1.2e-3;
const double kOhmTol = 2.5e-3;

/* Annealed copper at 20 degC: 1.7241e-8 ohm metre (the IACS value).
   Resistance of one inch of wire of diameter d inches. */
double CopperOhmsPerInch(double dInches) {
  const double rho = 1.7241e-8;
  const double dMetres = dInches * 0.0254;
  const double area = 3.14159265358979 * dMetres * dMetres / 4.0;
  return rho / area * 0.0254;
}

TEST(WireRow, DiametersMatchPublishedGauges) {
  /* Published bare diameters (inches), e.g. the usual AWG tables. */
  EXPECT_NEAR(ComputeWireRow(10).Dia, 0.1019, 0.00006);
  EXPECT_NEAR(ComputeWireRow(18).Dia, 0.0403, 0.00006);
  EXPECT_NEAR(ComputeWireRow(30).Dia, 0.0100, 0.00006);
  for (int g = 0; g <= 41; ++g)
    EXPECT_NEAR(ComputeWireRow(g).Dia / AwgDiameter(g), 1.0, kDiaTol) << "gauge " << g;
}

TEST(WireRow, ResistanceIsThatOfAnnealedCopper) {
  for (int g = 0; g <= 41; ++g) {
    const WireRow r = ComputeWireRow(g);
    const double perInch = CopperOhmsPerInch(AwgDiameter(g));
    EXPECT_NEAR(r.OhmsPerInch / perInch, 1.0, kOhmTol) << "gauge " << g;
    EXPECT_NEAR(r.OhmsPerFoot / (perInch * 12.0), 1.0, kOhmTol) << "gauge " << g;
    EXPECT_NEAR(r.OhmsPerKft / (perInch * 12000.0), 1.0, kOhmTol) << "gauge " << g;
  }
  /* Published ohms per 1000 ft at 20 degC: AWG 10 0.9989, AWG 30 103.2. */
  EXPECT_NEAR(ComputeWireRow(10).OhmsPerKft, 0.9989, 0.002);
  EXPECT_NEAR(ComputeWireRow(30).OhmsPerKft, 103.2, 0.2);
}

TEST(WireRow, CurrentFallsByAFixedRatioPerGauge) {
  /* 10^1.82652 = 67.07 A at gauge 0; each gauge divides by 10^0.063065
     = 1.1563 (python3). */
  EXPECT_NEAR(ComputeWireRow(0).Amps, 67.07, 0.01);
  for (int g = 1; g <= 41; ++g)
    EXPECT_NEAR(ComputeWireRow(g - 1).Amps / ComputeWireRow(g).Amps, 1.1563, 1e-4);
}

const char kHeader[] = "AWG(solid)   Dia-in   Ohms/in\t Ohms/ft   Ohms/Kft  ~DCAmps/10degC rise";

/* Checks one screen: header, empty line, gauges first..first+21 whose
   printed figures agree with the AWG definition and copper, the prompt;
   50 lines at most. */
void CheckScreen(const std::string& screen, int first, const std::string& prompt) {
  const std::vector<std::string> lines = Lines(screen);
  ASSERT_EQ(lines.size(), 25u);
  EXPECT_EQ(lines[0], kHeader);
  EXPECT_EQ(lines[1], "");
  for (int i = 0; i < 22; ++i) {
    const int g = first + i;
    int gauge = -1;
    double dia, perInch, perFoot, perKft, amps;
    ASSERT_EQ(std::sscanf(lines[2 + i].c_str(), "%d %lf %lf %lf %lf %lf", &gauge, &dia, &perInch,
                          &perFoot, &perKft, &amps),
              6)
        << lines[2 + i];
    EXPECT_EQ(gauge, g);
    EXPECT_EQ(lines[2 + i].size(), 59u) << "gauge in 3, 6 blanks, five fields of 10";
    const double d = AwgDiameter(g);
    const double r = CopperOhmsPerInch(d);
    /* Printed to 4, 5, 4, 3, 2 decimals: the rounding plus the drift. */
    EXPECT_NEAR(dia, d, 0.00005 + d * kDiaTol) << "gauge " << g;
    EXPECT_NEAR(perInch, r, 0.000005 + r * kOhmTol) << "gauge " << g;
    EXPECT_NEAR(perFoot, r * 12, 0.00005 + r * 12 * kOhmTol) << "gauge " << g;
    EXPECT_NEAR(perKft, r * 12000, 0.0005 + r * 12000 * kOhmTol) << "gauge " << g;
    EXPECT_NEAR(amps, std::pow(10.0, 1.82652 - 0.063065 * g), 0.005) << "gauge " << g;
  }
  EXPECT_EQ(lines[24], prompt);
}

TEST(WireTablePage, TwoScreensOfGaugesThatOverlapAt20And21) {
  const std::vector<std::string> screens = Split(RunSession("w  x"), '\f');
  /* main screen, wire screen 1, wire screen 2, main screen */
  ASSERT_GE(screens.size(), 4u);
  const std::string& one = screens[screens.size() - 3];
  const std::string& two = screens[screens.size() - 2];
  CheckScreen(one, 0, "[68degF values]...Press any key to continue Wire Table...");
  CheckScreen(two, 20, "[68degF values]...Press any key to exit Wire Table...");
  EXPECT_NE(LastScreen(RunSession("w  x")).find("Basic Class-E Element Values:"),
            std::string::npos);
}

TEST(WireTablePage, AnyKeyMovesOnAndTheDesignIsUntouched) {
  DesignState before, after;
  const std::string plain = RunSession(" x", &before);
  const std::string viaWire = RunSession("wXqx", &after);
  /* X on the first screen only continues; q leaves; x then ends the
     program from the main menu. */
  EXPECT_EQ(LastScreen(viaWire), LastScreen(plain));
  EXPECT_EQ(after.Coils[kChokeLp1].Nturns, before.Coils[kChokeLp1].Nturns);
  EXPECT_EQ(after.PwrOut, before.PwrOut);
}

}  // namespace
