/*
** analysis_report.h: the text and the JSON of the load-mismatch and the
** sensitivity runs (the tolerance run has tolerance_report.h).
*/
#ifndef TOLVARIN_SIM_ANALYSIS_REPORT_H
#define TOLVARIN_SIM_ANALYSIS_REPORT_H

#include <nlohmann/json.hpp>
#include <string>

#include "sim/mismatch.h"
#include "sim/sensitivity.h"

/* A row per phase, the worst of each figure marked '*', then the worst
   cases one per line. */
std::string MismatchReport(const MismatchRun& run);

/* "mismatch": one object per phase. */
nlohmann::json MismatchJson(const MismatchRun& run);

/* One table, largest effect first. */
std::string SensitivityReport(const SensitivityRun& run);

/* "sensitivity": one object per element, in the table's order. */
nlohmann::json SensitivityJson(const SensitivityRun& run);

#endif
