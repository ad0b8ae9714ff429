/*
** device_report.h: the transistor in the text report and the JSON
** document: its section, its object, the library's list, and the line
** that says where a real part's body diode would conduct.
*/
#ifndef TOLVARIN_SIM_REPORT_DEVICE_REPORT_H
#define TOLVARIN_SIM_REPORT_DEVICE_REPORT_H

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "sim/analysis/device_figures.h"
#include "sim/engine/steady_state.h"

/* The device section: f's figures, then `notes` (what the run assumed
   for values the record does not give), one line each. */
std::string DeviceText(const DeviceFigures& f, const std::vector<std::string>& notes);

/* The JSON "device" object; an unknown figure is null. */
nlohmann::json DeviceJson(const DeviceFigures& f);

/* --device list: one row per part of the library. */
std::string DeviceListText();

/* One line when r's switch voltage falls below kDiodeConducts in a
   circuit that has no body diode; "" otherwise. */
std::string DiodeHint(const SimResult& r, bool bodyDiode);

#endif
