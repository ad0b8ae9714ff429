/*
** sim_engine_reference_test.cpp: the exact engine gives the answers it
** gave before it was rebuilt for speed.  tests/data/exact_engine_reference.csv
** holds the previous engine's figures (bench/previous/, 17 significant
** digits) over every topology, the trap on and off, loaded Q 1.8 to 20,
** design frequencies 0.5 to 500 MHz, each driven at its design frequency
** and 10 % either side; every figure must come out again within 1e-9.
*/
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "sim/circuit/topology_table.h"
#include "sim/design/calculator_circuit.h"
#include "sim/engine/drive.h"
#include "sim/engine/exact_engine.h"

namespace {

/* One row of the table. */
struct Reference {
  std::string topology;
  int notch = 0;
  double ql = 0.0, mhz = 0.0, drive = 0.0;
  bool ok = false;
  double f[13] = {};
};

enum { kFigures = 13 };
const char* const kNames[kFigures] = {"Pout",    "Pdc",     "Pdev",      "Ploss", "Vpeak",
                                      "Von",     "ZVS",     "Slope",     "H2",    "H3",
                                      "Vsw[90]", "Isw[45]", "Vload[135]"};

std::vector<Reference> ReadTable() {
  std::ifstream in(std::string(TOLVARIN_SOURCE_DIR) + "/tests/data/exact_engine_reference.csv");
  std::vector<Reference> rows;
  std::string line;
  std::getline(in, line); /* the heading */
  while (std::getline(in, line)) {
    std::stringstream cells(line);
    std::string cell;
    std::vector<std::string> c;
    while (std::getline(cells, cell, ',')) c.push_back(cell);
    if (c.size() != 6 + kFigures) continue;
    Reference r;
    r.topology = c[0];
    r.notch = std::atoi(c[1].c_str());
    r.ql = std::strtod(c[2].c_str(), nullptr);
    r.mhz = std::strtod(c[3].c_str(), nullptr);
    r.drive = std::strtod(c[4].c_str(), nullptr);
    r.ok = c[5] == "1";
    for (int k = 0; k < kFigures; k++) r.f[k] = std::strtod(c[6 + k].c_str(), nullptr);
    rows.push_back(r);
  }
  return rows;
}

void Figures(const SimResult& r, double f[kFigures]) {
  const double v[kFigures] = {r.Pout,
                              r.Pdc,
                              r.Pdev,
                              r.Ploss,
                              r.Vpeak,
                              r.Von,
                              r.ZvsError,
                              r.Slope,
                              r.H2dBc,
                              r.H3dBc,
                              r.Vsw.size() > 90 ? r.Vsw[90] : NAN,
                              r.Isw.size() > 45 ? r.Isw[45] : NAN,
                              r.Vload.size() > 135 ? r.Vload[135] : NAN};
  for (int k = 0; k < kFigures; k++) f[k] = v[k];
}

/* A harmonic comes from 360 samples of the load voltage, each rounded
   to about 1e-12 of the fundamental by the period's products (the two
   engines' samples differ by up to 3e-12 of it); a harmonic 110 dB down
   is 3e-6 of the fundamental, so 1e-9 of its own size is beyond what the
   samples hold.  It is held to 1e-9 of itself or 1e-10 of the
   fundamental (0.0003 dB at -110 dBc, 0.000003 dB at -70 dBc). */
const double kHarmonicFloor = 1e-10;

/* Figure k of a reference row within 1e-9 of the larger, or of its
   scale: a figure that is a small difference of large ones (the turn-on
   voltage at zero-voltage switching, a near-lossless part's loss, a
   current through a closed switch near zero) keeps only the absolute
   rounding of the terms it comes from, so it is held to 1e-9 of their
   size: the input power for powers, the peak for voltages, the input
   current for currents, 1 for the ZVS error and the slope (both scaled
   to order one); the harmonics as said above. */
bool Same(const Reference& ref, int k, double got, double vcc) {
  if (k == 8 || k == 9) { /* a harmonic, as its amplitude over the fundamental's */
    const double a = std::pow(10.0, got / 20.0), b = std::pow(10.0, ref.f[k] / 20.0);
    return std::fabs(a - b) <= std::max(1e-9 * std::max(a, b), kHarmonicFloor);
  }
  const double pdc = std::fabs(ref.f[1]), vpk = std::fabs(ref.f[4]);
  const double scale[kFigures] = {pdc, pdc, pdc, pdc, vpk,       vpk, 1.0,
                                  1.0, 0.0, 0.0, vpk, pdc / vcc, vpk};
  const double want = ref.f[k];
  return std::fabs(got - want) <= 1e-9 * std::max({std::fabs(got), std::fabs(want), scale[k]});
}

TEST(SimEngineReference, EveryFigureAsThePreviousEngineGaveIt) {
  const std::vector<Reference> table = ReadTable();
  ASSERT_EQ(table.size(), 450u) << "the reference table is incomplete";
  int failures = 0;
  for (const Reference& ref : table) {
    DesignRequest q = ExampleRequest();
    q.Freq = static_cast<float>(ref.mhz);
    q.QL = static_cast<float>(ref.ql);
    DesignState s;
    DesignForSimulation(q, s);
    const int t = TopologyByName(ref.topology.c_str());
    ASSERT_GE(t, 0) << ref.topology;
    Circuit c;
    BuildCircuit(s, t, ref.notch, kPowerCircuit, c);
    SimResult r;
    ExactSteadyState(c, ref.drive, r);
    const std::string what = ref.topology + (ref.notch ? "+trap " : " ") + std::to_string(ref.mhz) +
                             " MHz QL " + std::to_string(ref.ql) + " at " +
                             std::to_string(ref.drive);
    ASSERT_EQ(r.Run.Ok(), ref.ok) << what;
    if (!ref.ok) continue;
    double f[kFigures];
    Figures(r, f);
    for (int k = 0; k < kFigures; k++)
      if (!Same(ref, k, f[k], c.Vcc) && ++failures <= 20)
        ADD_FAILURE() << what << ": " << kNames[k] << " " << f[k] << " against " << ref.f[k];
  }
  EXPECT_EQ(failures, 0);
}

}  // namespace
