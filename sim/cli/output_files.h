/*
** output_files.h: the files tolvarin-sim writes (--csv, --netlist),
** checked before anything is simulated and written whole or not at all.
*/
#ifndef TOLVARIN_SIM_CLI_OUTPUT_FILES_H
#define TOLVARIN_SIM_CLI_OUTPUT_FILES_H

#include <string>
#include <vector>

#include "sim/circuit/status.h"

/* One output file asked for: the option that named it, and its path. */
struct OutputFile {
  const char* Option; /* "--csv" */
  std::string Path;
};

/* Done when every path can be written and no two name one file; failed
   naming the first option that cannot, and why, otherwise. */
Status CheckOutputFiles(const std::vector<OutputFile>& files);

/* Writes text to path through a temporary file in the same folder,
   renamed into place, so the path holds the old file or the whole new
   one; a link is followed.  A path that is not a regular file (a device,
   a pipe) is written straight.  Failed, saying why, when it could not. */
Status WriteWholeFile(const std::string& path, const std::string& text);

#endif
