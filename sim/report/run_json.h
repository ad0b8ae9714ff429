/*
** run_json.h: a run of tolvarin-sim as one JSON document.
*/
#ifndef TOLVARIN_SIM_REPORT_RUN_JSON_H
#define TOLVARIN_SIM_REPORT_RUN_JSON_H

#include <nlohmann/json.hpp>
#include <vector>

#include "sim/circuit/circuit.h"
#include "sim/design/design_request.h"
#include "sim/engine/steady_state.h"

/* The figures of one result under the keys of "points". */
nlohmann::json PointJson(const SimResult& r);
nlohmann::json PointsJson(const std::vector<SimResult>& results);

/* Every part of the circuit keyed by name and unit ("Cp1_pF"). */
nlohmann::json ElementsJson(const Circuit& c);

/* What the circuit's parts lose: "cap_q", "coil_qu", "choke_qu",
   "choke_rdc_ohm" (as the text heading gives them). */
nlohmann::json LossesJson(const Circuit& c);

/* The whole document: the engine, the design's topology and inputs,
   the circuit's elements and points, and ngspice's points as "confirm"
   when given. */
nlohmann::json RunJson(const DesignRequest& d, int engine, const Circuit& c,
                       const std::vector<SimResult>& points, const std::vector<SimResult>* confirm);

#endif
