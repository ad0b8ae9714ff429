/*
** test_support.cpp: see test_support.h.
*/
#include "tests/test_support.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <sstream>
#include <vector>

#include "app/design_pass.h"
#include "app/main_loop.h"
#include "console/console.h"

DesignState StartDesign() {
  DesignState s{};
  SetStartValues(s);
  ComputePass(s, kFullPass);
  return s;
}

std::string RunSession(const std::string& keys, DesignState* final) {
  static std::vector<char> out(1 << 22);
  ConsoleUseMemory(keys.data(), keys.size(), out.data(), out.size());
  static DesignState s;
  s = DesignState{};
  SetStartValues(s);
  RunMainLoop(s);
  if (final) *final = s;
  size_t n = ConsoleOutputLength();
  if (n > out.size()) n = out.size();
  return std::string(out.data(), n);
}

std::string RunBinary(const std::string& keys, int* status) {
  int in[2], out[2];
  if (pipe(in) != 0 || pipe(out) != 0) return "";
  pid_t pid = fork();
  if (pid == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    close(in[0]);
    close(in[1]);
    close(out[0]);
    close(out[1]);
    execl(TOLVARIN_BINARY, "tolvarin", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  /* Write the whole script first; the program reads it as it goes.  A
     large script would need a writer thread, but test scripts are small. */
  if (write(in[1], keys.data(), keys.size()) < 0) {
  }
  close(in[1]);
  std::string result;
  char buf[4096];
  ssize_t n;
  while ((n = read(out[0], buf, sizeof buf)) > 0) result.append(buf, size_t(n));
  close(out[0]);
  int st = 0;
  waitpid(pid, &st, 0);
  if (status) *status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
  return result;
}

std::string LastScreen(const std::string& transcript) {
  size_t at = transcript.rfind('\f');
  return at == std::string::npos ? transcript : transcript.substr(at + 1);
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t from = 0;
  for (size_t at; (at = text.find(separator, from)) != std::string::npos; from = at + 1)
    parts.push_back(text.substr(from, at - from));
  parts.push_back(text.substr(from));
  return parts;
}

std::vector<std::string> Screens(const std::string& transcript) {
  std::vector<std::string> screens = Split(transcript, '\f');
  screens.erase(screens.begin());
  return screens;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}
