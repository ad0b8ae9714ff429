/*
** analysis_table.h: the analyses tolvarin-sim runs after the per-drive
** table, as one table.  A row says whether the options ask for the
** analysis and runs it, giving its text and its JSON; main walks the
** table.  A new analysis is its own files (analysis/, report/) and one
** row here.
*/
#ifndef TOLVARIN_SIM_CLI_ANALYSIS_TABLE_H
#define TOLVARIN_SIM_CLI_ANALYSIS_TABLE_H

#include <nlohmann/json.hpp>
#include <string>

#include "app/design_state.h"
#include "sim/circuit/circuit.h"
#include "sim/circuit/status.h"
#include "sim/cli/sim_options.h"

/* What every analysis is run on. */
struct AnalysisInput {
  const DesignState& Calc; /* the calculator's design */
  const SimOptions& Options;
  const Circuit& Chosen; /* the circuit of the chosen design */
  int Engine;            /* SimEngine */
  double DriveMHz;       /* the design frequency as typed */
};

/* What an analysis gives. */
struct AnalysisOutput {
  std::string Text;
  nlohmann::json Json;
  bool AllRan = false; /* every steady state it asked for was found */
  int Done, Total;     /* its steps ("samples", "phases", "elements") */
  const char* Unit;
  bool Stopped = false; /* a stop signal ended it after Done of Total */
  /* Its picture, drawn when --plot or --report asks for pictures: the
     file name (null for an analysis without one), caption and SVG. */
  const char* PictureFile = nullptr;
  const char* PictureCaption = nullptr;
  Status PictureDrawn;
  std::string Picture;
};

struct AnalysisRow {
  const char* Key; /* its key in the JSON document */
  bool (*Asked)(const SimOptions& o);
  void (*Run)(const AnalysisInput& in, AnalysisOutput& out);
};

extern const AnalysisRow kAnalyses[];
extern const int kAnalysisCount;

#endif
