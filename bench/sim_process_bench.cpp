/*
** sim_process_bench.cpp: tolvarin-sim as whole processes, each started
** by fork and exec and waited for, wall-clock time: an empty C++ program
** (the floor), a plain one writing a line through the C++ streams (the
** floor of any C++ program's start), the empty one linked with libngspice
** (what linking it cost every start), the program's --version (its
** start-up alone), its default run, its 201-point sweep, its 1000-sample
** tolerance run and its tuning (without the ngspice confirmation).
**
** The same runs of an earlier build of the program are measured beside
** them when TOLVARIN_BEFORE_SIM names its binary, e.g.
**   TOLVARIN_BEFORE_SIM=/tmp/before/tolvarin-sim ./build/tolvarin_sim_bench \
**     --benchmark_filter=Process
*/
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

/* Runs the program with the arguments, its output to /dev/null; false
   when it could not be started or did not exit with status 0. */
bool RunProcess(const std::string& program, const std::vector<std::string>& args) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid < 0) return false;
  if (pid == 0) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void Process(benchmark::State& state, const std::string& program,
             const std::vector<std::string>& args) {
  if (program.empty()) {
    state.SkipWithError("no such program in this build");
    return;
  }
  for (auto _ : state)
    if (!RunProcess(program, args)) {
      state.SkipWithError(("the run failed: " + program).c_str());
      break;
    }
}

std::string Before() {
  const char* p = std::getenv("TOLVARIN_BEFORE_SIM");
  return p ? p : "";
}

/* The runs measured, by name: after (this build) and before. */
const std::vector<std::string> kDesignPoint = {};
const std::vector<std::string> kVersion = {"--version"};
const std::vector<std::string> kSweep = {"--sweep", "2.85:4.85:0.01"};
const std::vector<std::string> kTolerance = {"--tolerance", "--samples", "1000"};
const std::vector<std::string> kTune = {"--tune", "--no-confirm"};

void ProcessEmptyMain(benchmark::State& state) {
  Process(state, TOLVARIN_EMPTY_BINARY, {});
}
void ProcessPlainCxxMain(benchmark::State& state) {
  Process(state, TOLVARIN_PLAIN_BINARY, {});
}
void ProcessVersion(benchmark::State& state) {
  Process(state, TOLVARIN_SIM_BINARY, kVersion);
}
void ProcessEmptyMainLinkingNgspice(benchmark::State& state) {
  Process(state, TOLVARIN_EMPTY_NGSPICE_BINARY, {});
}
void ProcessDesignPoint(benchmark::State& state) {
  Process(state, TOLVARIN_SIM_BINARY, kDesignPoint);
}
void ProcessDesignPointBefore(benchmark::State& state) {
  Process(state, Before(), kDesignPoint);
}
void ProcessSweep201(benchmark::State& state) {
  Process(state, TOLVARIN_SIM_BINARY, kSweep);
}
void ProcessSweep201Before(benchmark::State& state) {
  Process(state, Before(), kSweep);
}
void ProcessTolerance1000(benchmark::State& state) {
  Process(state, TOLVARIN_SIM_BINARY, kTolerance);
}
void ProcessTolerance1000Before(benchmark::State& state) {
  Process(state, Before(), kTolerance);
}
void ProcessTune(benchmark::State& state) {
  Process(state, TOLVARIN_SIM_BINARY, kTune);
}
void ProcessTuneBefore(benchmark::State& state) {
  Process(state, Before(), kTune);
}

BENCHMARK(ProcessEmptyMain)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ProcessPlainCxxMain)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ProcessVersion)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ProcessEmptyMainLinkingNgspice)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ProcessDesignPointBefore)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ProcessDesignPoint)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ProcessSweep201Before)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ProcessSweep201)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ProcessTolerance1000Before)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ProcessTolerance1000)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ProcessTuneBefore)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ProcessTune)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
