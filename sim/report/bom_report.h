/*
** bom_report.h: the bill of materials as text, JSON and CSV.
*/
#ifndef TOLVARIN_SIM_REPORT_BOM_REPORT_H
#define TOLVARIN_SIM_REPORT_BOM_REPORT_H

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "sim/analysis/bill_of_materials.h"

/* The table and the coils' windings, for capacitors of `series` at
   designMHz. */
std::string BomText(const std::vector<BomRow>& rows, int series, double designMHz);

/* "bom": a list of objects, one a part. */
nlohmann::json BomJson(const std::vector<BomRow>& rows);

/* One line a part under a heading line. */
std::string BomCsv(const std::vector<BomRow>& rows);

/* What to buy or wind: "330+27" (pF) or the winding, one line. */
std::string BomParts(const BomRow& r);

#endif
