/*
** sim_run.h: the built tolvarin-sim run from a test, through the shell.
*/
#ifndef TOLVARIN_TESTS_SIM_RUN_H
#define TOLVARIN_TESTS_SIM_RUN_H

#include <sys/wait.h>

#include <cstdio>
#include <string>

/* The program with the arguments; returns what it wrote to standard
   output, or to standard error alone when stderrOnly, and sets *status
   to its exit status (-1 when a signal ended it). */
inline std::string RunSim(const std::string& args, bool stderrOnly, int* status) {
  const std::string redirect = stderrOnly ? " 2>&1 >/dev/null" : " 2>/dev/null";
  std::FILE* p = popen((std::string(TOLVARIN_SIM_BINARY) + " " + args + redirect).c_str(), "r");
  std::string out;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  const int st = pclose(p);
  *status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return out;
}

#endif
