/*
** run_report.h: the text tolvarin-sim prints, and its CSV file.
*/
#ifndef TOLVARIN_SIM_REPORT_RUN_REPORT_H
#define TOLVARIN_SIM_REPORT_RUN_REPORT_H

#include <string>
#include <vector>

#include "app/design_state.h"
#include "sim/circuit/circuit.h"
#include "sim/circuit/format.h"
#include "sim/design/design_request.h"
#include "sim/engine/steady_state.h"

/* One line naming the network and how its figures were found: by
   `engine`, which is the one asked for unless the device made it
   ngspice; `confirm` when ngspice's figures stand beside the exact
   engine's. */
std::string ReportTitle(const DesignRequest& d, int asked, bool confirm, int engine);

/* Design inputs, the circuit's parts, its losses, and the calculator's
   own estimate for comparison. */
std::string ReportHeading(const DesignState& s, const Circuit& c);

/* The share of the DC input power the choke's DC resistance may take
   before the report says so. */
inline constexpr double kChokeLossShare = 0.02;

/* One line when the choke's DC resistance takes more than
   kChokeLossShare of Pdc at any drive frequency of the results, with the
   figure; "" otherwise. */
std::string ChokeLossWarning(const Circuit& c, const std::vector<SimResult>& results);

/* One line when the circuit has no Cp1 because the device's own
   capacitance at Vcc is at least the calculator's whole shunt capacitance
   cp1Pf: the circuit simulated is then not tuned to class E; "" otherwise. */
std::string ShuntCapacitanceWarning(const Circuit& c, double cp1Pf);

/* The table: its heading, one row per result, and the notes under it. */
std::string ReportTableHeading();
std::string ReportRow(const SimResult& r, double vcc);
std::string ReportNotes(const std::vector<SimResult>& results);

/* With --confirm: how far ngspice's figures are from the exact engine's. */
std::string ReportAgreement(const std::vector<SimResult>& exact,
                            const std::vector<SimResult>& ngspice);

/* The impedance section (--impedance): AC analysis lossless and with
   losses at each drive frequency, and the calculator's sweep model at the
   design frequency. */
std::string ReportImpedance(const DesignState& s, int topology, const std::vector<double>& mhz,
                            const std::vector<double>& rp0, const std::vector<double>& xp0,
                            const std::vector<double>& rp, const std::vector<double>& xp);

/* "drive_mhz,time_ns,v_switch,i_switch,v_load" and one row per sample
   of each result's steady period. */
std::string CsvText(const std::vector<SimResult>& results);

#endif
