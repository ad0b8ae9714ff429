/*
** ngspice_runner.cpp: the only file that knows ngspice's shared-library
** interface.  The circuit goes in as lines in memory (no files); the
** analysis runs in ngspice's background thread ("bg_run") while this
** thread watches the clock, the process's memory and the stop signal,
** and halts it ("bg_halt") past a limit; the vectors are copied out
** before the circuit and its plots are dropped again, so a sweep does not
** pile up memory in the library.
**
** ngspice talks through callbacks, from either thread: nothing of its
** text reaches the terminal; lines that report an error are kept, and the
** last one becomes the reason given to the caller.  The background thread
** reports itself as it starts and as it ends (the sense of its flag
** differs between ngspice's versions, so the calls are counted).
**
** The library is opened (dlopen) the first time a run needs it, not
** linked: relocating it cost every process about a millisecond at start,
** also the runs of the exact engine that never call it.  Its name is the
** one the build found (TOLVARIN_NGSPICE_SONAME), or the one
** TOLVARIN_NGSPICE_LIBRARY names; where it cannot be opened the program
** says what a build without ngspice says.
*/
#include "sim/engine/ngspice_runner.h"

const RunLimits kRunLimits = {60.0, 1024.0};

const char* SimulatorMissingText() {
  return "this build has no ngspice; install it (apt-get install "
         "libngspice0-dev) and rebuild";
}

#ifndef TOLVARIN_HAVE_NGSPICE

bool SimulatorAvailable() {
  return false;
}

Status RunNetlist(const std::vector<std::string>&, const std::vector<std::string>&,
                  std::vector<std::vector<double>>&, std::vector<std::vector<double>>&,
                  const RunLimits&) {
  return Status::Failed(SimulatorMissingText());
}

#else

#include <dlfcn.h>
#include <pthread.h>
#include <sharedspice.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>

#include "sim/engine/stop_request.h"

/* ngspice allocates for the life of the process and never frees it; the
   leak checker of sanitizer builds is told to look past the library. */
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libngspice\n";
}

#ifndef TOLVARIN_NGSPICE_SONAME
#define TOLVARIN_NGSPICE_SONAME "libngspice.so.0"
#endif

namespace {

/* The library's entry points this file calls, found by name once it is
   open; the types are those of its header. */
struct NgspiceCalls {
  decltype(&ngSpice_Init) Init = nullptr;
  decltype(&ngSpice_Command) Command = nullptr;
  decltype(&ngSpice_Circ) Circ = nullptr;
  decltype(&ngGet_Vec_Info) VecInfo = nullptr;
};

NgspiceCalls ng;

/* Their names, in the order of NgspiceCalls' fields. */
const char* const kSymbols[] = {"ngSpice_Init", "ngSpice_Command", "ngSpice_Circ",
                                "ngGet_Vec_Info"};
const int kSymbolCount = sizeof kSymbols / sizeof kSymbols[0];

enum LoadState { kNotTried = 0, kLoaded, kMissing };
int loadState = kNotTried;

/* Opens the library and finds every entry point, the first time only;
   true when all are there.  A library that lacks one is closed again and
   counts as missing. */
bool LoadLibrary() {
  if (loadState != kNotTried) return loadState == kLoaded;
  loadState = kMissing;
  const char* name = std::getenv("TOLVARIN_NGSPICE_LIBRARY");
  if (name == nullptr || *name == '\0') name = TOLVARIN_NGSPICE_SONAME;
  void* handle = dlopen(name, RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) return false;
  void* found[kSymbolCount];
  for (int i = 0; i < kSymbolCount; i++) {
    found[i] = dlsym(handle, kSymbols[i]);
    if (found[i] == nullptr) {
      dlclose(handle);
      return false;
    }
  }
  ng.Init = reinterpret_cast<decltype(ng.Init)>(found[0]);
  ng.Command = reinterpret_cast<decltype(ng.Command)>(found[1]);
  ng.Circ = reinterpret_cast<decltype(ng.Circ)>(found[2]);
  ng.VecInfo = reinterpret_cast<decltype(ng.VecInfo)>(found[3]);
  loadState = kLoaded;
  return true;
}

/* What the callbacks share with the watching thread. */
std::mutex guard;
std::condition_variable changed;
bool exited = false;   /* ngspice asked to quit: it cannot be used again */
std::string lastError; /* the last error line of the current run */
int threadReports = 0; /* the background thread's calls since this run began */
bool initialized = false;

/* How often the watch looks at the clock, the memory and the signal. */
const std::chrono::milliseconds kWatchInterval(20);

int OnPrint(char* text, int, void*) {
  /* Lines come prefixed with "stdout " or "stderr ". */
  const char* body = text;
  if (std::strncmp(body, "stdout ", 7) == 0 || std::strncmp(body, "stderr ", 7) == 0) body += 7;
  if (std::strstr(body, "rror") != nullptr || std::strstr(body, "singular") != nullptr ||
      std::strstr(body, "too small") != nullptr) {
    std::lock_guard<std::mutex> lock(guard);
    lastError = body;
  }
  return 0;
}

int OnStatus(char*, int, void*) {
  return 0;
}

int OnExit(int, NG_BOOL, NG_BOOL, int, void*) {
  std::lock_guard<std::mutex> lock(guard);
  exited = true;
  changed.notify_all();
  return 0;
}

int OnBackgroundThread(NG_BOOL, int, void*) {
  std::lock_guard<std::mutex> lock(guard);
  threadReports++;
  changed.notify_all();
  return 0;
}

bool Initialize() {
  if (!initialized) {
    ng.Init(OnPrint, OnStatus, OnExit, nullptr, nullptr, OnBackgroundThread, nullptr);
    initialized = true;
  }
  std::lock_guard<std::mutex> lock(guard);
  return !exited;
}

int Command(const char* command) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%s", command);
  return ng.Command(buf);
}

std::string LastError() {
  std::lock_guard<std::mutex> lock(guard);
  return lastError;
}

std::string Failure(const char* what) {
  std::string reason = std::string("ngspice: ") + what;
  const std::string error = LastError();
  if (!error.empty()) reason += ": " + error;
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r')) reason.pop_back();
  return reason;
}

/* The process's resident memory, MB (0 when the system does not say). */
double ResidentMegaBytes() {
  std::ifstream statm("/proc/self/statm");
  long size = 0, resident = 0;
  if (!(statm >> size >> resident)) return 0.0;
  return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

/* Failed, with why, when the run must stop now; done while it may go on. */
Status PastLimit(const RunLimits& limits, std::chrono::steady_clock::time_point start,
                 double startMegaBytes) {
  char buf[96];
  if (StopSignal() != 0) return Status::Failed("interrupted");
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (seconds > limits.Seconds) {
    std::snprintf(buf, sizeof buf, "given up after %g s (the time limit of a run)", limits.Seconds);
    return Status::Failed(buf);
  }
  if (ResidentMegaBytes() - startMegaBytes > limits.MegaBytes) {
    std::snprintf(buf, sizeof buf, "given up past %g MB (the memory limit of a run)",
                  limits.MegaBytes);
    return Status::Failed(buf);
  }
  return Status::Done();
}

/* Runs the loaded circuit's analysis in the background thread until it
   ends, or fails with why it was halted. */
Status RunWithinLimits(const RunLimits& limits) {
  const auto start = std::chrono::steady_clock::now();
  const double startMegaBytes = ResidentMegaBytes();
  {
    std::lock_guard<std::mutex> lock(guard);
    threadReports = 0;
  }
  /* The background thread is made here and keeps the signal mask it is
     made with: SIGINT and SIGTERM go to this thread alone, whose waits
     they may cut short, never to ngspice's work. */
  sigset_t stops, before;
  sigemptyset(&stops);
  sigaddset(&stops, SIGINT);
  sigaddset(&stops, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stops, &before);
  const int started = Command("bg_run");
  pthread_sigmask(SIG_SETMASK, &before, nullptr);
  if (started != 0) return Status::Failed(Failure("the simulation did not start"));
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(guard);
      if (changed.wait_for(lock, kWatchInterval, [] { return threadReports >= 2 || exited; }))
        return Status::Done();
    }
    const Status going = PastLimit(limits, start, startMegaBytes);
    if (!going.Ok()) {
      Command("bg_halt"); /* returns once the thread has ended */
      return going;
    }
  }
}

/* Copies one vector of the current plot; false when it does not exist. */
bool CopyVector(const std::string& name, std::vector<double>& re, std::vector<double>& im) {
  std::vector<char> buf(name.begin(), name.end());
  buf.push_back('\0');
  /* The returned record is overwritten by the next call: copy at once. */
  pvector_info v = ng.VecInfo(buf.data());
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
  return LoadLibrary();
}

Status RunNetlist(const std::vector<std::string>& lines, const std::vector<std::string>& names,
                  std::vector<std::vector<double>>& re, std::vector<std::vector<double>>& im,
                  const RunLimits& limits) {
  if (!LoadLibrary()) return Status::Failed(SimulatorMissingText());
  if (!Initialize()) return Status::Failed(Failure("the simulator has shut down"));
  if (StopSignal() != 0) return Status::Failed("interrupted");
  {
    std::lock_guard<std::mutex> lock(guard);
    lastError.clear();
  }
  /* ngSpice_Circ wants writable lines and a null at the end. */
  std::vector<std::vector<char>> text;
  for (const std::string& l : lines) text.emplace_back(l.begin(), l.end());
  std::vector<char*> pointers;
  for (std::vector<char>& t : text) {
    t.push_back('\0');
    pointers.push_back(t.data());
  }
  pointers.push_back(nullptr);
  if (ng.Circ(pointers.data()) != 0 || !LastError().empty()) {
    std::string reason = Failure("the netlist was refused");
    DropCircuit();
    return Status::Failed(reason);
  }
  const Status ran = RunWithinLimits(limits);
  if (!ran.Ok() || !Initialize() || !LastError().empty()) {
    std::string reason = ran.Ok() ? Failure("the simulation failed") : ran.Why();
    DropCircuit();
    return Status::Failed(reason);
  }
  re.assign(names.size(), std::vector<double>());
  im.assign(names.size(), std::vector<double>());
  for (size_t i = 0; i < names.size(); i++)
    if (!CopyVector(names[i], re[i], im[i])) {
      DropCircuit();
      return Status::Failed("ngspice: no result for " + names[i]);
    }
  DropCircuit();
  return Status::Done();
}

#endif
