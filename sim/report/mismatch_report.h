/*
** mismatch_report.h: the text and the JSON of a load-mismatch run.
*/
#ifndef TOLVARIN_SIM_REPORT_MISMATCH_REPORT_H
#define TOLVARIN_SIM_REPORT_MISMATCH_REPORT_H

#include <nlohmann/json.hpp>
#include <string>

#include "sim/analysis/mismatch.h"

/* A row per phase, the worst of each figure marked '*', then the worst
   cases one per line. */
std::string MismatchReport(const MismatchRun& run);

/* "mismatch": one object per phase. */
nlohmann::json MismatchJson(const MismatchRun& run);

#endif
