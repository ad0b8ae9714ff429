/*
** ngspice_runner.cpp: the only file that knows ngspice's shared-library
** interface.  The circuit goes in as lines in memory (no files); "run"
** executes in the caller's thread, so no callback arrives from another
** one; the vectors are copied out before the circuit and its plots are
** dropped again, so a sweep does not pile up memory in the library.
**
** ngspice talks through its print callback.  Nothing of it reaches the
** terminal: lines that report an error are kept, and the last one
** becomes the reason given to the caller.
*/
#include "sim/ngspice_runner.h"

const char* SimulatorMissingText() {
  return "tolvarin-sim: this build has no ngspice; install it (apt-get install "
         "libngspice0-dev) and rebuild";
}

#ifndef TOLVARIN_HAVE_NGSPICE

bool SimulatorAvailable() {
  return false;
}

std::string RunNetlist(const std::vector<std::string>&, const std::vector<std::string>&,
                       std::vector<std::vector<double>>&, std::vector<std::vector<double>>&) {
  return SimulatorMissingText();
}

#else

#include <sharedspice.h>

#include <cstdio>
#include <cstring>

/* ngspice allocates for the life of the process and never frees it; the
   leak checker of sanitizer builds is told to look past the library. */
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libngspice\n";
}

namespace {

bool initialized = false;
bool exited = false;   /* ngspice asked to quit: it cannot be used again */
std::string lastError; /* the last error line of the current run */

int OnPrint(char* text, int, void*) {
  /* Lines come prefixed with "stdout " or "stderr ". */
  const char* body = text;
  if (std::strncmp(body, "stdout ", 7) == 0 || std::strncmp(body, "stderr ", 7) == 0) body += 7;
  if (std::strstr(body, "rror") != nullptr || std::strstr(body, "singular") != nullptr ||
      std::strstr(body, "too small") != nullptr)
    lastError = body;
  return 0;
}

int OnStatus(char*, int, void*) {
  return 0;
}

int OnExit(int, NG_BOOL, NG_BOOL, int, void*) {
  exited = true;
  return 0;
}

bool Initialize() {
  if (!initialized) {
    ngSpice_Init(OnPrint, OnStatus, OnExit, nullptr, nullptr, nullptr, nullptr);
    initialized = true;
  }
  return !exited;
}

int Command(const char* command) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%s", command);
  return ngSpice_Command(buf);
}

std::string Failure(const char* what) {
  std::string reason = std::string("ngspice: ") + what;
  if (!lastError.empty()) reason += ": " + lastError;
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r')) reason.pop_back();
  return reason;
}

/* Copies one vector of the current plot; false when it does not exist. */
bool CopyVector(const std::string& name, std::vector<double>& re, std::vector<double>& im) {
  std::vector<char> buf(name.begin(), name.end());
  buf.push_back('\0');
  /* The returned record is overwritten by the next call: copy at once. */
  pvector_info v = ngGet_Vec_Info(buf.data());
  if (v == nullptr || v->v_length <= 0) return false;
  re.assign(v->v_length, 0.0);
  im.clear();
  if (v->v_realdata != nullptr) {
    re.assign(v->v_realdata, v->v_realdata + v->v_length);
  } else if (v->v_compdata != nullptr) {
    im.assign(v->v_length, 0.0);
    for (int i = 0; i < v->v_length; i++) {
      re[i] = v->v_compdata[i].cx_real;
      im[i] = v->v_compdata[i].cx_imag;
    }
  } else {
    return false;
  }
  return true;
}

void DropCircuit() {
  Command("destroy all");
  Command("remcirc");
}

}  // namespace

bool SimulatorAvailable() {
  return true;
}

std::string RunNetlist(const std::vector<std::string>& lines, const std::vector<std::string>& names,
                       std::vector<std::vector<double>>& re, std::vector<std::vector<double>>& im) {
  if (!Initialize()) return Failure("the simulator has shut down");
  lastError.clear();
  /* ngSpice_Circ wants writable lines and a null at the end. */
  std::vector<std::vector<char>> text;
  for (const std::string& l : lines) text.emplace_back(l.begin(), l.end());
  std::vector<char*> pointers;
  for (std::vector<char>& t : text) {
    t.push_back('\0');
    pointers.push_back(t.data());
  }
  pointers.push_back(nullptr);
  if (ngSpice_Circ(pointers.data()) != 0 || !lastError.empty()) {
    std::string reason = Failure("the netlist was refused");
    DropCircuit();
    return reason;
  }
  const int status = Command("run");
  if (status != 0 || exited || !lastError.empty()) {
    std::string reason = Failure("the simulation failed");
    DropCircuit();
    return reason;
  }
  re.assign(names.size(), std::vector<double>());
  im.assign(names.size(), std::vector<double>());
  for (size_t i = 0; i < names.size(); i++)
    if (!CopyVector(names[i], re[i], im[i])) {
      DropCircuit();
      return "ngspice: no result for " + names[i];
    }
  DropCircuit();
  return "";
}

#endif
