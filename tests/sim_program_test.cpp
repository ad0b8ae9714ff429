/*
** sim_program_test.cpp: tolvarin-sim as a shell user meets it.  An
** output path that cannot be written, two outputs on one file and a
** design out of bounds end it before anything runs (status 2, one line,
** nothing on standard output); standard output that cannot be written
** is said, status 1, and a closed one does not swallow a file; the
** exported netlist, run by the ngspice program, prints the report's
** figures; Ctrl-C and SIGTERM mid-sweep leave the rows and files of the
** drive frequencies done, and a stop during the tuning is said as that.
*/
#include <gtest/gtest.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "sim/circuit/format.h"
#include "sim/engine/ngspice_runner.h"

namespace {

#define REQUIRE_NGSPICE()    \
  if (!SimulatorAvailable()) \
  GTEST_SKIP() << "built without ngspice (apt-get install libngspice0-dev)"

std::string Temp(const std::string& name) {
  return testing::TempDir() + "sim_program_" + std::to_string(getpid()) + "_" + name;
}

std::string Read(const std::string& path) {
  std::ifstream in(path);
  std::stringstream buf;
  buf << in.rdbuf();
  return buf.str();
}

bool Exists(const std::string& path) {
  return access(path.c_str(), F_OK) == 0;
}

int Count(const std::string& text, char c) {
  int n = 0;
  for (char x : text) n += x == c;
  return n;
}

struct Outcome {
  int status;
  std::string out, err;
};

/* A shell command line; its standard output and error go to files unless
   the line redirects them itself ({out} and {err} name the files). */
Outcome Shell(const std::string& line) {
  const std::string out = Temp("stdout"), err = Temp("stderr");
  std::string cmd = line;
  for (const auto& [key, path] : {std::pair{"{out}", out}, std::pair{"{err}", err}})
    for (size_t at; (at = cmd.find(key)) != std::string::npos;) cmd.replace(at, 5, path);
  const int st = std::system(("exec 2>" + err + " >" + out + "; " + cmd).c_str());
  Outcome o{WIFEXITED(st) ? WEXITSTATUS(st) : -1, Read(out), Read(err)};
  std::remove(out.c_str());
  std::remove(err.c_str());
  return o;
}

std::string Sim(const std::string& args) {
  return std::string(TOLVARIN_SIM_BINARY) + " " + args;
}

TEST(SimProgramRefuses, BeforeAnythingRunsWithOneLine) {
  const std::string file = Temp("both.csv");
  struct Case {
    std::string args;
    const char* says;
  };
  const Case cases[] = {
      {"--csv /nonexistent/x.csv --sweep 3:4:0.05", "--csv"},
      {"--csv " + file + " --netlist " + file, "--netlist"},
      {"--netlist " + testing::TempDir(), "--netlist"},
      {"--ron 1000", "no output power"},
      {"--vcc 0.05", "--vcc"},
      {"--power 3e-4 --ron 1000 --freq 500", "Ro "},
      {"--freq 0.5 --ql 20 --topology basic-el --sweep 1000:1000:1", "--sweep"},
      /* Values too small for what holds them are not read as no part. */
      {"--choke 1e-46", "--choke"},
      {"--power 1e-46", "--power"},
      /* A number of 30000 digits is scanned, not matched by recursion. */
      {"--freq " + std::string(30000, '1'), "--freq"},
      {"--freq 0." + std::string(30000, '0') + "1", "--freq"},
      /* Standard output is a file here: the CSV would replace the report. */
      {"--csv /dev/stdout", "--csv"},
      /* A series not offered, a mask unknown or not below the fundamental,
         a reference not above zero, a file that cannot be written. */
      {"--series E48", "--series"},
      {"--mask loud", "--mask"},
      {"--mask -3", "--mask"},
      {"--touchstone-ref -5", "--touchstone-ref"},
      {"--choke-q -3", "--choke-q"},
      {"--bom-csv /nonexistent/b.csv", "--bom-csv"},
      {"--touchstone /nonexistent/n.s2p", "--touchstone"},
  };
  for (const Case& c : cases) {
    const Outcome o = Shell(Sim(c.args));
    EXPECT_EQ(o.status, 2) << c.args;
    EXPECT_EQ(o.out, "") << c.args; /* not even the heading */
    EXPECT_EQ(Count(o.err, '\n'), 1) << o.err;
    EXPECT_NE(o.err.find(c.says), std::string::npos) << o.err;
  }
  EXPECT_FALSE(Exists(file));
}

TEST(SimProgramOutput, AFailedStandardOutputIsSaidWithStatusOne) {
  const std::string csv = Temp("closed.csv");
  const std::string lines[] = {Sim("> /dev/full"), Sim("--json > /dev/full"),
                               Sim("--help > /dev/full"), Sim("--csv " + csv + " >&-")};
  for (const std::string& line : lines) {
    const Outcome o = Shell(line);
    EXPECT_EQ(o.status, 1) << line;
    EXPECT_NE(o.err.find("tolvarin-sim: cannot write standard output: "), std::string::npos)
        << line << ": " << o.err;
    EXPECT_EQ(Count(o.err, '\n'), 1) << o.err;
  }
  /* The file did not take the closed descriptor's place: it is the CSV,
     not the report. */
  const std::string text = Read(csv);
  EXPECT_EQ(text.rfind("drive_mhz,", 0), 0u) << text.substr(0, 80);
  std::remove(csv.c_str());
}

/* The figures of "ngspice -b file": the "Name value unit" lines after
   the "Last of N periods" line, those with a number. */
std::map<std::string, double> NgspiceFigures(const std::string& text) {
  std::map<std::string, double> figures;
  const size_t block = text.find("Last of ");
  if (block == std::string::npos) return figures;
  for (const char* name : {"Pout", "Pdc", "Pdev", "Vpk", "Von", "ZVS err", "Slope", "H2", "H3"}) {
    const size_t at = text.find("\n" + std::string(name) + " ", block);
    if (at == std::string::npos) continue;
    /* A figure ngspice could not measure is printed blank: no number. */
    const char* value = text.c_str() + at + 2 + std::strlen(name);
    char* end = nullptr;
    const double v = std::strtod(value, &end);
    if (end != value) figures[name] = v;
  }
  return figures;
}

bool Within(double a, double b, double rel, double floor) {
  return std::fabs(a - b) <= std::max(floor, rel * std::max(std::fabs(a), std::fabs(b)));
}

/* The engines' agreement tolerance: powers 0.5 % or 1 mW, the peak
   0.2 %, the ZVS error 0.002, the harmonics 0.3 dB; the slope as closely
   as the ZVS error.  The exported netlist, run by the ngspice program,
   must print all nine figures and agree with the report's ngspice run of
   the same circuit, at design frequencies across the range (0.5 to
   500 MHz, among them those whose last period ends where ngspice's own
   printing of the time rounds up: 13.56, 21.2, 50.1, 144, 430 MHz), in
   every topology.  Most runs are a fixed 60 periods to bound the test's
   time; the first three let the program find the length (60, 240 or 960
   periods). */
TEST(SimProgramNetlist, NgspiceRunsTheExportedNetlistToTheReportsFigures) {
  REQUIRE_NGSPICE();
  if (Shell("command -v ngspice").status != 0) GTEST_SKIP() << "no ngspice program on the PATH";
  const std::string cir = Temp("export.cir");
  const char* const designs[] = {
      "",
      "--topology pinet-el-tch --notch --ql 5",
      "--topology basic-el --freq 30 --ql 10 --ron 0.5",
      "--periods 60 --freq 0.5",
      "--periods 60 --freq 1.9 --topology pinet",
      "--periods 60 --freq 3.8 --topology pinet-el",
      "--periods 60 --freq 7.1 --topology basic-el",
      "--periods 60 --freq 13.56",
      "--periods 60 --freq 13.56 --topology pinet-el-tch",
      "--periods 60 --freq 14.2 --topology pinet-el-tch --notch",
      "--periods 60 --freq 21.2 --topology basic-el",
      "--periods 60 --freq 27.12 --topology pinet --ql 10",
      "--periods 60 --freq 50.1 --topology pinet-el",
      "--periods 60 --freq 144 --topology pinet-el-tch --notch --ql 2.5",
      "--periods 60 --freq 430 --topology pinet",
      "--periods 60 --freq 500 --topology basic-el --ql 20",
  };
  for (const char* design : designs) {
    const Outcome report =
        Shell(Sim(std::string(design) + " --engine ngspice --json --netlist " + cir));
    ASSERT_EQ(report.status, 0) << design << report.err;
    const nlohmann::json p = nlohmann::json::parse(report.out)["points"][0];
    const Outcome ngspice = Shell("ngspice -b " + cir);
    ASSERT_EQ(ngspice.status, 0) << design << ngspice.err;
    std::map<std::string, double> f = NgspiceFigures(ngspice.out);
    EXPECT_EQ(f.size(), 9u) << design << "\n" << ngspice.out;
    if (f.size() != 9u) continue;
    EXPECT_NE(ngspice.out.find("Last of " + std::to_string(int(p["periods"])) + " periods"),
              std::string::npos)
        << design;
    EXPECT_TRUE(Within(f["Pout"], p["pout_W"], 5e-3, 1e-3)) << design << " " << f["Pout"];
    EXPECT_TRUE(Within(f["Pdc"], p["pdc_W"], 5e-3, 1e-3)) << design << " " << f["Pdc"];
    EXPECT_TRUE(Within(f["Pdev"], p["pdev_W"], 5e-3, 1e-3)) << design << " " << f["Pdev"];
    EXPECT_TRUE(Within(f["Vpk"], p["vpk_V"], 2e-3, 0.0)) << design << " " << f["Vpk"];
    EXPECT_NEAR(f["ZVS err"], double(p["zvs_err"]), 0.002) << design;
    EXPECT_NEAR(f["Slope"], double(p["slope"]), 0.002) << design;
    EXPECT_NEAR(f["H2"], double(p["h2_dBc"]), 0.3) << design;
    EXPECT_NEAR(f["H3"], double(p["h3_dBc"]), 0.3) << design;
  }
  std::remove(cir.c_str());
}

/* The program with standard output a pipe; `sig` is sent once `rows`
   table rows have come, or with rows 0 `delayMs` in. */
Outcome StopAfterRows(const std::string& args, int rows, int sig, int delayMs = 300) {
  int out[2];
  if (pipe(out) != 0) return {-1, "", ""};
  const std::string err = Temp("stop.err");
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(out[1], 1);
    close(out[0]);
    close(out[1]);
    const std::string line = "exec " + Sim(args) + " 2>" + err;
    execl("/bin/sh", "sh", "-c", line.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(out[1]);
  std::string text;
  char buf[4096];
  bool sent = false;
  if (rows == 0) {
    usleep(useconds_t(delayMs) * 1000);
    kill(pid, sig);
    sent = true;
  }
  for (ssize_t n; (n = read(out[0], buf, sizeof buf)) > 0;) {
    text.append(buf, size_t(n));
    /* A row starts with a drive frequency; headings and notes do not. */
    int seen = 0;
    std::istringstream lines(text);
    for (std::string l; std::getline(lines, l);) seen += l.size() > 6 && l[1] == '.' && l[5] == ' ';
    if (!sent && seen >= rows) {
      kill(pid, sig);
      sent = true;
    }
  }
  close(out[0]);
  int st = 0;
  waitpid(pid, &st, 0);
  Outcome o{WIFEXITED(st) ? WEXITSTATUS(st) : -1, text, Read(err)};
  std::remove(err.c_str());
  return o;
}

TEST(SimProgramStop, CtrlCKeepsTheRowsAndFilesOfTheFrequenciesDone) {
  REQUIRE_NGSPICE();
  const std::string csv = Temp("stop.csv"), cir = Temp("stop.cir");
  const Outcome o = StopAfterRows(
      "--engine ngspice --ql 10 --sweep 3:4:0.05 --csv " + csv + " --netlist " + cir, 2, SIGINT);
  EXPECT_EQ(o.status, 130) << o.err;
  size_t done = 0;
  ASSERT_EQ(std::sscanf(o.err.c_str(), "tolvarin-sim: interrupted after %zu of 21", &done), 1)
      << o.err;
  EXPECT_GE(done, 2u);
  EXPECT_LT(done, 21u);
  EXPECT_EQ(Count(o.err, '\n'), 1) << o.err;
  /* Every row done is printed, and one steady period of each in the CSV. */
  for (size_t i = 0; i < done; i++) {
    char drive[16];
    std::snprintf(drive, sizeof drive, "\n%.3f ", 3.0 + 0.05 * double(i));
    EXPECT_NE(o.out.find(drive), std::string::npos) << drive;
  }
  EXPECT_EQ(Count(Read(csv), '\n'), 1 + int(done) * 360);
  const std::string netlist = Read(cir);
  EXPECT_EQ(netlist.rfind(".end\n"), netlist.size() - 5);
  std::remove(csv.c_str());
  std::remove(cir.c_str());
}

TEST(SimProgramStop, SigtermEndsTheJsonWithThePointsDone) {
  REQUIRE_NGSPICE();
  /* JSON prints no rows: stop after a while, long before 21 runs of 300
     periods end (each takes most of a second). */
  int out[2];
  ASSERT_EQ(pipe(out), 0);
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(out[1], 1);
    close(out[0]);
    close(out[1]);
    const std::string line =
        Sim("--engine ngspice --periods 300 --ql 10 --sweep 3:4:0.05 --json 2>/dev/null");
    execl("/bin/sh", "sh", "-c", ("exec " + line).c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(out[1]);
  usleep(2000 * 1000);
  kill(pid, SIGTERM);
  std::string text;
  char buf[4096];
  for (ssize_t n; (n = read(out[0], buf, sizeof buf)) > 0;) text.append(buf, size_t(n));
  close(out[0]);
  int st = 0;
  waitpid(pid, &st, 0);
  ASSERT_TRUE(WIFEXITED(st));
  EXPECT_EQ(WEXITSTATUS(st), 143);
  const nlohmann::json doc = nlohmann::json::parse(text);
  EXPECT_LT(doc["points"].size(), 21u);
  for (const nlohmann::json& p : doc["points"]) EXPECT_TRUE(p["ok"]);
}

/* Stopped while tuning (here in ngspice's confirming runs, some 2.5 s)
   is said as that, not as a failed simulation nor as a sweep stopped. */
TEST(SimProgramStop, DuringTheTuningSaysSo) {
  REQUIRE_NGSPICE();
  const Outcome o = StopAfterRows("--tune --coss 150@12 --ql 10", 0, SIGINT);
  EXPECT_EQ(o.status, 130) << o.err;
  /* The one line of the program's own (a sanitizer build may add its report). */
  EXPECT_EQ(o.err.substr(0, o.err.find('\n') + 1), "tolvarin-sim: interrupted while tuning\n");
  EXPECT_EQ(o.err.rfind("tolvarin-sim:"), 0u) << o.err;
  EXPECT_EQ(o.out, "");
}

/* With --json every run whose options were taken prints one document,
   with "error" when it ends without figures. */
TEST(SimProgramJson, EveryExitPrintsOneDocument) {
  REQUIRE_NGSPICE();
  struct Case {
    const char* args;
    int status;
    const char* error; /* in "error" */
  };
  const Case cases[] = {
      {"--json --ron 1000", 2, "no output power"},
      {"--json --tune --coss 10000", 1, "fits up to"},
      {"--json --tolerance --samples 3", 0, nullptr},
  };
  for (const Case& c : cases) {
    const Outcome o = Shell(Sim(c.args));
    EXPECT_EQ(o.status, c.status) << c.args;
    const nlohmann::json doc = nlohmann::json::parse(o.out);
    EXPECT_EQ(doc["topology"], "basic") << c.args;
    if (c.error)
      EXPECT_NE(doc["error"].get<std::string>().find(c.error), std::string::npos) << o.out;
    else
      EXPECT_FALSE(doc.contains("error")) << o.out;
  }
}

/* A 1000 uH choke wound by the coil model: the heading, the JSON and the
   netlist carry one DC resistance, and its loss, (Pdc / Vcc)^2 Rdc, is
   said when it passes 2 % of Pdc; a bought choke's resistance replaces
   it. */
TEST(SimProgramChoke, HeadingJsonAndNetlistSayTheSameChoke) {
  const std::string cir = Temp("choke.cir");
  const Outcome text = Shell(Sim("--choke 1000 --netlist " + cir));
  const nlohmann::json doc = nlohmann::json::parse(Shell(Sim("--choke 1000 --json")).out);
  const double rdc = doc["losses"]["choke_rdc_ohm"];
  EXPECT_GT(rdc, 10.0); /* 1000 uH on the designed form: a thin wire */
  EXPECT_NE(text.out.find(Format("choke Rdc %.3g ohm", rdc)), std::string::npos) << text.out;
  /* The netlist's series resistance of the choke. */
  std::istringstream lines(Read(cir));
  double inNetlist = 0.0;
  for (std::string l; std::getline(lines, l);)
    if (l.rfind("R", 0) == 0 && l.find("lp1") != std::string::npos) {
      std::istringstream f(l);
      std::string name, a, b, value;
      f >> name >> a >> b >> value;
      if (value.find('k') == std::string::npos && name.find("sh") == std::string::npos)
        inNetlist = std::atof(value.c_str());
    }
  EXPECT_NEAR(inNetlist, rdc, 1e-3 * rdc) << Read(cir);
  const double pdc = doc["points"][0]["pdc_W"], share = pdc / 144.0 * rdc;
  ASSERT_EQ(doc["warnings"].size(), 1u);
  EXPECT_NE(doc["warnings"][0].get<std::string>().find(Format("%.1f %%", 100.0 * share)),
            std::string::npos)
      << doc["warnings"];
  const nlohmann::json bought =
      nlohmann::json::parse(Shell(Sim("--choke 1000 --choke-rdc 0.05 --choke-q 80 --json")).out);
  EXPECT_DOUBLE_EQ(bought["losses"]["choke_rdc_ohm"], 0.05);
  EXPECT_NEAR(bought["losses"]["choke_qu"].get<double>(), 80.0, 1e-4);
  EXPECT_TRUE(bought["warnings"].empty());
  std::remove(cir.c_str());
}

/* Smaller things a shell user meets: the version is the calculator's;
   -0 is 0; a reader that goes away early leaves the CSV whole; the JSON
   writes a float field as the float reads (367.09186, not
   367.09185791015625). */
TEST(SimProgram, ShellUsersSmallerThings) {
  const Outcome version = Shell(Sim("--version"));
  const Outcome calc = Shell(std::string(TOLVARIN_BINARY) + " --version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ("tolvarin-sim" + calc.out.substr(calc.out.find(' ')), version.out);
  EXPECT_NE(Shell(Sim("--ron -0")).out.find("Ron 0 ohm"), std::string::npos);
  const std::string csv = Temp("pipe.csv");
  const Outcome piped = Shell(Sim("--sweep 3.7:3.9:0.1 --csv " + csv) + " | head -1");
  EXPECT_EQ(Count(Read(csv), '\n'), 1 + 3 * 360);
  std::remove(csv.c_str());
  const std::string json = Shell(Sim("--json")).out;
  EXPECT_NE(json.find("\"Cp1_pF\": 367.09186,"), std::string::npos) << json;
}

/* Stopped during an analysis, the run says how far the analysis came,
   and its report holds the samples done. */
TEST(SimProgramStop, DuringAnAnalysisSaysHowFarItCame) {
  /* Two seconds in: well into 100000 samples (some 20 s, longer in a
     sanitizer build), past the start-up of any build. */
  const Outcome o = StopAfterRows("--tolerance --samples 100000", 0, SIGINT, 2000);
  EXPECT_EQ(o.status, 130) << o.err;
  int done = -1;
  ASSERT_EQ(
      std::sscanf(o.err.c_str(),
                  "tolvarin-sim: interrupted during the tolerance run after %d of 100000", &done),
      1)
      << o.err;
  EXPECT_LT(done, 100000);
  EXPECT_NE(o.out.find(Format("Stopped after %d of the 100000 samples.", done)), std::string::npos)
      << o.out;
}

/* A run past a second shows how far it is on standard error when that
   is a terminal, and clears the line when it ends. */
TEST(SimProgramProgress, ALongRunShowsHowFarItIsOnATerminal) {
  int master = -1, slave = -1;
  ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(slave, 2);
    close(master);
    close(slave);
    const std::string line = "exec " + Sim("--tolerance --samples 100000") + " >/dev/null";
    execl("/bin/sh", "sh", "-c", line.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(slave);
  usleep(2500 * 1000);
  kill(pid, SIGINT);
  std::string text;
  char buf[4096];
  for (ssize_t n; (n = read(master, buf, sizeof buf)) > 0;) text.append(buf, size_t(n));
  close(master);
  int st = 0;
  waitpid(pid, &st, 0);
  int done = 0, left = 0;
  const size_t at = text.find("\rtolerance: ");
  ASSERT_NE(at, std::string::npos) << text;
  ASSERT_EQ(std::sscanf(text.c_str() + at, "\rtolerance: %d of 100000 samples, about %d s left",
                        &done, &left),
            2)
      << text;
  EXPECT_GT(done, 0);
  EXPECT_GT(left, 0);
  EXPECT_NE(text.find("interrupted during the tolerance run"), std::string::npos) << text;
}

/* A reader that takes nothing (its pipe full) does not hold the program
   past a stop signal: the blocked write gives up and the run ends with
   the signal's status. */
TEST(SimProgramStop, ABlockedStandardOutputDoesNotHoldIt) {
  int out[2];
  ASSERT_EQ(pipe(out), 0);
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(out[1], 1);
    close(out[0]);
    close(out[1]);
    const std::string line = "exec " + Sim("--json --sweep 3:4:0.005 2>/dev/null");
    execl("/bin/sh", "sh", "-c", line.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(out[1]);
  usleep(1500 * 1000); /* the document (some 100 kB) has filled the pipe */
  kill(pid, SIGTERM);
  int st = 0;
  pid_t ended = 0;
  for (int i = 0; i < 100 && ended == 0; i++) {
    usleep(100 * 1000);
    ended = waitpid(pid, &st, WNOHANG);
  }
  if (ended == 0) {
    kill(pid, SIGKILL);
    waitpid(pid, &st, 0);
  }
  close(out[0]);
  ASSERT_NE(ended, 0) << "still blocked 10 s after SIGTERM";
  ASSERT_TRUE(WIFEXITED(st));
  EXPECT_EQ(WEXITSTATUS(st), 143);
}

}  // namespace
