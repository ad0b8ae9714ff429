/*
** plot_module.cpp: opening tolvarin-sim-plots.so from the program's own
** folder (see the header).  The folder is that of the executable itself
** (/proc/self/exe, links resolved), never the current directory nor the
** library path, so a run uses the pictures built with it.
*/
#include "sim/report/plot_module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>

const char* const kPlotModuleFile = "tolvarin-sim-plots.so";

namespace {

/* The folder of the running program, with its final slash; empty when
   it cannot be read. */
std::string ProgramFolder() {
  char path[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return std::string();
  const std::string exe(path, size_t(n));
  const size_t slash = exe.rfind('/');
  return slash == std::string::npos ? std::string() : exe.substr(0, slash + 1);
}

Status Open(const PlotModule*& plots) {
  const std::string folder = ProgramFolder();
  if (folder.empty())
    return Status::Failed(std::string("cannot find the program's folder to open ") +
                          kPlotModuleFile);
  const std::string path = folder + kPlotModuleFile;
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) return Status::Failed(std::string("cannot open the plot module: ") + dlerror());
  using Entry = const PlotModule* (*)();
  const auto entry = reinterpret_cast<Entry>(dlsym(handle, TOLVARIN_PLOT_MODULE_ENTRY));
  const PlotModule* table = entry ? entry() : nullptr;
  if (!table || table->Version != kPlotModuleVersion) {
    dlclose(handle);
    return Status::Failed(path + " is not this build's plot module");
  }
  plots = table;
  return Status::Done();
}

}  // namespace

Status OpenPlotModule(const PlotModule*& plots) {
  /* Opened once: a failure is told again to every caller, never retried. */
  static const PlotModule* table = nullptr;
  static const Status opened = Open(table);
  plots = table;
  return opened;
}
