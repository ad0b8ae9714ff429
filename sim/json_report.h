/*
** json_report.h: a run of tolvarin-sim as one JSON document.
*/
#ifndef TOLVARIN_SIM_JSON_REPORT_H
#define TOLVARIN_SIM_JSON_REPORT_H

#include <nlohmann/json.hpp>
#include <vector>

#include "sim/circuit.h"
#include "sim/sim_types.h"

/* A float as it was typed or printed: the float 3.8f is 3.7999999523,
   and a script should read 3.8. */
double Typed(float v);

/* The figures of one result under the keys of "points". */
nlohmann::json PointJson(const SimResult& r);
nlohmann::json PointsJson(const std::vector<SimResult>& results);

/* Every part of the circuit keyed by name and unit ("Cp1_pF"). */
nlohmann::json ElementsJson(const Circuit& c);

/* The whole document: engine, topology, inputs, elements and points,
   and ngspice's points as "confirm" when given. */
nlohmann::json RunJson(const SimOptions& o, const Circuit& c, const std::vector<SimResult>& points,
                       const std::vector<SimResult>* confirm);

#endif
