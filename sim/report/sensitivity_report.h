/*
** sensitivity_report.h: the text and the JSON of a sensitivity run.
*/
#ifndef TOLVARIN_SIM_REPORT_SENSITIVITY_REPORT_H
#define TOLVARIN_SIM_REPORT_SENSITIVITY_REPORT_H

#include <nlohmann/json.hpp>
#include <string>

#include "sim/analysis/sensitivity.h"

/* One table, largest effect first. */
std::string SensitivityReport(const SensitivityRun& run);

/* "sensitivity": one object per element, in the table's order. */
nlohmann::json SensitivityJson(const SensitivityRun& run);

#endif
