/*
** sim_options_test.cpp: the command line of tolvarin-sim, in process and
** through the built program: defaults, every option, the one-line errors
** with status 2, the help text, and the drive frequencies of a sweep.
*/
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "sim/circuit/topology_table.h"
#include "sim/cli/option_table.h"
#include "sim/cli/options.h"
#include "sim/engine/ngspice_runner.h"
#include "sim/engine/steady_state.h"
#include "tests/sim_run.h"

namespace {

int Lines(const std::string& text) {
  int n = 0;
  for (char c : text) n += c == '\n';
  return n;
}

TEST(SimOptions, DefaultsAreTheCalculatorsBuiltInExample) {
  SimOptions o;
  std::string error;
  ASSERT_EQ(ParseArgs({}, o, &error), kOptionsRun);
  EXPECT_FLOAT_EQ(o.Design.Freq, 3.8f);
  EXPECT_FLOAT_EQ(o.Design.Power, 2.5f);
  EXPECT_FLOAT_EQ(o.Design.Vcc, 12.0f);
  EXPECT_FLOAT_EQ(o.Design.QL, 2.5f);
  EXPECT_FLOAT_EQ(o.Design.Rload, 50.0f);
  EXPECT_FLOAT_EQ(o.Design.Ron, 0.2f);
  EXPECT_EQ(o.Design.Topology, TopologyByName("basic"));
  EXPECT_EQ(o.Engine, kEngineExact);
  EXPECT_EQ(o.Design.Notch, 0);
  EXPECT_EQ(o.Periods, 0);
  std::vector<double> mhz;
  DriveFrequencies(o, mhz);
  ASSERT_EQ(mhz.size(), 1u);
  EXPECT_DOUBLE_EQ(mhz[0], 3.8);
}

TEST(SimOptions, EveryOptionInBothSpellings) {
  SimOptions o;
  std::string error;
  ASSERT_EQ(ParseArgs({"--freq", "7.1", "--power=10", "--vcc", "24", "--ql=5", "--rload", "75",
                       "--ron=0", "--topology", "pinet-el-tch", "--notch", "--periods=120", "--csv",
                       "w.csv", "--netlist=n.cir", "--impedance"},
                      o, &error),
            kOptionsRun)
      << error;
  EXPECT_FLOAT_EQ(o.Design.Freq, 7.1f);
  EXPECT_FLOAT_EQ(o.Design.Power, 10.0f);
  EXPECT_FLOAT_EQ(o.Design.Vcc, 24.0f);
  EXPECT_FLOAT_EQ(o.Design.QL, 5.0f);
  EXPECT_FLOAT_EQ(o.Design.Rload, 75.0f);
  EXPECT_FLOAT_EQ(o.Design.Ron, 0.0f);
  EXPECT_EQ(o.Design.Topology, TopologyByName("pinet-el-tch"));
  EXPECT_EQ(o.Design.Notch, 1);
  EXPECT_EQ(o.Periods, 120);
  EXPECT_EQ(o.CsvPath, "w.csv");
  EXPECT_EQ(o.NetlistPath, "n.cir");
  EXPECT_EQ(o.Impedance, 1);
  for (int t = 0; t < kTopologyCount; t++) {
    ASSERT_EQ(ParseArgs({"--topology", Topology(t).Name}, o, &error), kOptionsRun);
    EXPECT_EQ(o.Design.Topology, t);
  }
  ASSERT_EQ(ParseArgs({"--engine=ngspice", "--json"}, o, &error), kOptionsRun) << error;
  EXPECT_EQ(o.Engine, kEngineNgspice);
  EXPECT_EQ(o.Json, 1);
  ASSERT_EQ(ParseArgs({"--confirm"}, o, &error), kOptionsRun) << error;
  EXPECT_EQ(o.Confirm, 1);
}

TEST(SimOptions, LimitsAreInclusiveWhereTheCalculatorsAre) {
  SimOptions o;
  std::string error;
  EXPECT_EQ(ParseArgs({"--freq", "0.5", "--ql", "20"}, o, &error), kOptionsRun);
  EXPECT_EQ(ParseArgs({"--freq", "500", "--ql", "1.8"}, o, &error), kOptionsRun);
  EXPECT_EQ(ParseArgs({"--ron", "0"}, o, &error), kOptionsRun);
  EXPECT_EQ(ParseArgs({"--power", "0"}, o, &error), kOptionsError);
  EXPECT_EQ(ParseArgs({"--vcc", "-12"}, o, &error), kOptionsError);
  EXPECT_EQ(ParseArgs({"--rload", "0"}, o, &error), kOptionsError);
  EXPECT_EQ(ParseArgs({"--ron", "-0.1"}, o, &error), kOptionsError);
  EXPECT_EQ(ParseArgs({"--ql", "1.79"}, o, &error), kOptionsError);
  EXPECT_EQ(ParseArgs({"--freq", "500.1"}, o, &error), kOptionsError);
  EXPECT_EQ(ParseArgs({"--periods", "2"}, o, &error), kOptionsError);
  EXPECT_EQ(ParseArgs({"--periods", "10.5"}, o, &error), kOptionsError);
  EXPECT_EQ(ParseArgs({"--freq", "nan"}, o, &error), kOptionsError);
  EXPECT_EQ(ParseArgs({"--power", "inf"}, o, &error), kOptionsError);
  /* Decimal only, as the calculator reads numbers. */
  EXPECT_EQ(ParseArgs({"--freq", "0x10"}, o, &error), kOptionsError);
  EXPECT_EQ(ParseArgs({"--freq", "1e1"}, o, &error), kOptionsRun);
  EXPECT_EQ(ParseArgs({"--periods", "4001"}, o, &error), kOptionsError);
}

TEST(SimOptions, EachFaultIsOneLineNamingTheOption) {
  struct Case {
    std::vector<const char*> args;
    const char* named;
  };
  const Case cases[] = {
      {{"--freq"}, "--freq"},                              /* missing value */
      {{"--ql", "3", "--ql=4"}, "--ql"},                   /* given twice */
      {{"--ql", "abc"}, "--ql"},                           /* not a number */
      {{"--vcc", "12V"}, "--vcc"},                         /* trailing text */
      {{"--ql", "25"}, "--ql"},                            /* out of range */
      {{"--topology", "classd"}, "--topology"},            /* unknown topology */
      {{"--bogus"}, "--bogus"},                            /* unknown option */
      {{"extra"}, "extra"},                                /* stray argument */
      {{"--sweep", "4:3:0.1"}, "--sweep"},                 /* backwards */
      {{"--sweep", "3.5:4.0"}, "--sweep"},                 /* two parts */
      {{"--sweep", "3.5:4.0:0"}, "--sweep"},               /* no step */
      {{"--sweep", "1:100:0.01"}, "--sweep"},              /* too many points */
      {{"--notch"}, "--notch"},                            /* no filter to trap */
      {{"--csv="}, "--csv"},                               /* empty file name */
      {{"--engine", "spice3"}, "--engine"},                /* unknown engine */
      {{"--engine", "ngspice", "--confirm"}, "--confirm"}, /* nothing to confirm against */
  };
  for (const Case& c : cases) {
    SimOptions o;
    std::string error;
    EXPECT_EQ(ParseArgs(c.args, o, &error), kOptionsError) << c.named;
    EXPECT_NE(error.find(c.named), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
  }
}

TEST(SimOptions, SweepListsEveryDriveFrequencyEndIncluded) {
  SimOptions o;
  std::string error;
  ASSERT_EQ(ParseArgs({"--sweep", "3.5:4.0:0.1"}, o, &error), kOptionsRun);
  std::vector<double> mhz;
  DriveFrequencies(o, mhz);
  ASSERT_EQ(mhz.size(), 6u); /* 3.5, 3.6, ... 4.0: the end survives 0.1's rounding */
  EXPECT_NEAR(mhz.front(), 3.5, 1e-12);
  EXPECT_NEAR(mhz.back(), 4.0, 1e-12);
  ASSERT_EQ(ParseArgs({"--sweep", "1:2:0.3"}, o, &error), kOptionsRun);
  DriveFrequencies(o, mhz);
  ASSERT_EQ(mhz.size(), 4u); /* 1.0, 1.3, 1.6, 1.9: 2.2 would pass the end */
  EXPECT_NEAR(mhz.back(), 1.9, 1e-12);
}

TEST(SimOptions, HelpNamesEveryOption) {
  SimOptions o;
  std::string error;
  EXPECT_EQ(ParseArgs({"--ql", "3", "--help"}, o, &error), kOptionsHelp);
  const std::string help = SimHelpText();
  for (int i = 0; i < kOptionRowCount; i++)
    EXPECT_NE(help.find(std::string("  ") + kOptionRows[i].Name + " "), std::string::npos)
        << kOptionRows[i].Name;
  for (int t = 0; t < kTopologyCount; t++)
    EXPECT_NE(help.find(Topology(t).Name), std::string::npos);
  size_t start = 0;
  while (start < help.size()) {
    const size_t end = help.find('\n', start);
    EXPECT_LE(end - start, 80u) << help.substr(start, end - start);
    start = end + 1;
  }
}

TEST(SimProgram, BadOptionsExitWithStatusTwoAndOneLine) {
  const char* cases[] = {"--freq", "--ql abc", "--ql 0", "--topology classd", "--frequency 3"};
  for (const char* args : cases) {
    int status = 0;
    const std::string err = RunSim(args, true, &status);
    EXPECT_EQ(status, 2) << args;
    EXPECT_EQ(Lines(err), 1) << err;
    const std::string option = std::string(args).substr(0, std::string(args).find(' '));
    EXPECT_NE(err.find(option), std::string::npos) << err;
  }
}

TEST(SimProgram, HelpExitsWithStatusZero) {
  int status = -1;
  const std::string out = RunSim("--help", false, &status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(out, SimHelpText());
}

TEST(SimProgram, WithoutTheSimulatorSaysHowToInstallIt) {
  if (SimulatorAvailable()) GTEST_SKIP() << "this build has ngspice";
  int status = 0;
  const std::string err = RunSim("--engine ngspice", true, &status);
  EXPECT_EQ(status, 2);
  EXPECT_EQ(Lines(err), 1);
  EXPECT_NE(err.find("apt-get install libngspice0-dev"), std::string::npos);
}

}  // namespace
