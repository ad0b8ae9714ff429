/*
** tolerance_report.h: the text and the JSON of a tolerance run.
*/
#ifndef TOLVARIN_SIM_REPORT_TOLERANCE_REPORT_H
#define TOLVARIN_SIM_REPORT_TOLERANCE_REPORT_H

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "sim/analysis/tolerance.h"

/* The statistics, the shares within the device's limits, the histograms
   of Vpk and of the device dissipation and the five worst samples; lines
   within 80 columns. */
std::string ToleranceReport(const ToleranceRun& run);

/* "tolerance": samples, seed, the ranges, stats, within_vmax (and
   under_pdev_max when asked), failed, worst. */
nlohmann::json ToleranceJson(const ToleranceRun& run);

/* A histogram of values (at least one) in `bins` equal bins from the
   least to the greatest, each line its range with `decimals` decimals, a
   bar and its count, within 80 columns; one line when all are equal. */
std::string TextHistogram(const std::vector<double>& values, int bins, int decimals);

#endif
