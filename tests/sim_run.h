/*
** sim_run.h: the built tolvarin-sim run from a test, through the shell.
*/
#ifndef TOLVARIN_TESTS_SIM_RUN_H
#define TOLVARIN_TESTS_SIM_RUN_H

#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "sim/cli/options.h"

/* The program with the arguments; returns what it wrote to standard
   output, or to standard error alone when stderrOnly, and sets *status
   to its exit status (-1 when a signal ended it). */
inline std::string RunSim(const std::string& args, bool stderrOnly, int* status,
                          const std::string& env = "") {
  const std::string redirect = stderrOnly ? " 2>&1 >/dev/null" : " 2>/dev/null";
  const std::string program = (env.empty() ? "" : "env " + env + " ") + TOLVARIN_SIM_BINARY;
  std::FILE* p = popen((program + " " + args + redirect).c_str(), "r");
  std::string out;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  const int st = pclose(p);
  *status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return out;
}

/* How a command line read: to run, to show the help, or refused. */
enum ParseOutcome { kOptionsRun, kOptionsHelp, kOptionsError };

/* The options of the arguments (the program's name goes first); *error
   receives the refusal's line. */
inline int ParseArgs(std::vector<const char*> args, SimOptions& o, std::string* error) {
  args.insert(args.begin(), "tolvarin-sim");
  const Status st = ParseSimOptions(static_cast<int>(args.size()), args.data(), o);
  *error = st.Why();
  return !st.Ok() ? kOptionsError : o.Help ? kOptionsHelp : kOptionsRun;
}

#endif
