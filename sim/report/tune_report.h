/*
** tune_report.h: the text and JSON of --tune: one table, a column per
** design, and the coils to wind.
*/
#ifndef TOLVARIN_SIM_REPORT_TUNE_REPORT_H
#define TOLVARIN_SIM_REPORT_TUNE_REPORT_H

#include <nlohmann/json.hpp>
#include <string>

#include "sim/design/tuning_run.h"

/* The table of the calculator's, the tuned and the built design, or the
   line that says why there is no tuned design. */
std::string TuneReport(const DesignState& calc, const TuningRun& run);

/* "designs": calculator, tuned and built, each with its elements and its
   point at the design frequency, tuned and built with ngspice's
   "confirm" when it ran. */
nlohmann::json DesignsJson(const TuningRun& run);

#endif
