/*
** sim_bounded_run_test.cpp: every ngspice run ends.  The run that never
** finished (a 0.5 MHz design, BASIC+EL at QL 20, driven at 1000 MHz,
** which the command line now refuses up front) is halted at its time
** limit and at its memory limit, and by a stop signal; the simulator
** works on after each, with figures worked out by hand.  Every test skips
** in a build without ngspice.
*/
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <complex>
#include <string>
#include <thread>
#include <vector>

#include "sim/circuit/circuit.h"
#include "sim/circuit/topology_table.h"
#include "sim/cli/options.h"
#include "sim/cli/stop_signals.h"
#include "sim/design/calculator_circuit.h"
#include "sim/engine/drive.h"
#include "sim/engine/netlist.h"
#include "sim/engine/ngspice_runner.h"
#include "tests/sim_example.h"

namespace {

#define REQUIRE_NGSPICE()    \
  if (!SimulatorAvailable()) \
  GTEST_SKIP() << "built without ngspice (apt-get install libngspice0-dev)"

Circuit NeverEndingCircuit() {
  const int topology = TopologyByName("basic-el");
  static DesignState s;
  s = ExampleWith([topology](DesignRequest& r) {
    r.Freq = 0.5f;
    r.QL = 20.0f;
    r.Topology = topology;
  });
  Circuit c;
  BuildCircuit(s, topology, false, kPowerCircuit, c);
  return c;
}

std::vector<std::string> NeverEndingNetlist() {
  std::vector<std::string> lines;
  BuildTransientNetlist(NeverEndingCircuit(), 1000e6, 60, lines);
  return lines;
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

/* 1 A into 1 kohm across 1 nF at 100 kHz: the simulator still answers
   right after a halted run. */
void ExpectTheSimulatorWorks() {
  std::vector<std::vector<double>> re, im;
  ASSERT_EQ(RunNetlist(
                {"rc", "I1 0 a DC 0 AC 1", "R1 a 0 1k", "C1 a 0 1n", ".ac lin 1 100k 100k", ".end"},
                {"a"}, re, im)
                .Why(),
            "");
  const std::complex<double> y(1e-3, 6.283185307179586e5 * 1e-9);
  EXPECT_NEAR(re[0][0], (1.0 / y).real(), 1e-9);
  EXPECT_NEAR(im[0][0], (1.0 / y).imag(), 1e-9);
}

TEST(SimBoundedRun, TheRunThatNeverEndedStopsAtItsTimeLimit) {
  REQUIRE_NGSPICE();
  std::vector<std::vector<double>> re, im;
  const auto start = std::chrono::steady_clock::now();
  const std::string why = RunNetlist(NeverEndingNetlist(), {"time"}, re, im, {1.0, 1e6}).Why();
  const double seconds = SecondsSince(start);
  EXPECT_EQ(why, "given up after 1 s (the time limit of a run)");
  EXPECT_GE(seconds, 1.0);
  EXPECT_LT(seconds, 10.0) << "the halt did not end the run";
  ExpectTheSimulatorWorks();
}

TEST(SimBoundedRun, TheRunThatNeverEndedStopsAtItsMemoryLimit) {
  REQUIRE_NGSPICE();
  std::vector<std::vector<double>> re, im;
  const std::string why = RunNetlist(NeverEndingNetlist(), {"time"}, re, im, {600.0, 8.0}).Why();
  EXPECT_EQ(why, "given up past 8 MB (the memory limit of a run)");
  ExpectTheSimulatorWorks();
}

TEST(SimBoundedRun, AStopSignalHaltsTheRunAndTheOnesAfter) {
  REQUIRE_NGSPICE();
  std::thread ctrlC([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    SetStopSignal(SIGINT);
  });
  SimResult r;
  const auto start = std::chrono::steady_clock::now();
  SimulateDrive(NeverEndingCircuit(), kEngineNgspice, 0, 1000.0, r);
  ctrlC.join();
  EXPECT_FALSE(r.Run.Ok());
  EXPECT_EQ(r.Run.Why(), "interrupted");
  EXPECT_LT(SecondsSince(start), 10.0) << "the signal did not end the run";
  /* Once stopped, no run starts. */
  std::vector<std::vector<double>> re, im;
  EXPECT_EQ(RunNetlist({"r", "R1 a 0 1k", "I1 0 a DC 1", ".op", ".end"}, {"a"}, re, im).Why(),
            "interrupted");
  SetStopSignal(0);
  ExpectTheSimulatorWorks();
}

/* A run that ends in the background thread with an error is still a
   failure: the time step of a circuit that cannot be solved. */
TEST(SimBoundedRun, AFailedBackgroundRunSaysWhy) {
  REQUIRE_NGSPICE();
  std::vector<std::vector<double>> re, im;
  const std::string why =
      RunNetlist({"loop", "V1 a 0 DC 1", "V2 a 0 DC 2", ".tran 1n 10n", ".end"}, {"time"}, re, im)
          .Why();
  EXPECT_NE(why, "");
  EXPECT_EQ(why.find('\n'), std::string::npos) << why;
  ExpectTheSimulatorWorks();
}

}  // namespace
