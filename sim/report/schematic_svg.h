/*
** schematic_svg.h: the circuit's schematic as an SVG picture for the
** plots folder and the HTML report: the ladder of the layout, each part
** drawn with its symbol, name and value.
*/
#ifndef TOLVARIN_SIM_REPORT_SCHEMATIC_SVG_H
#define TOLVARIN_SIM_REPORT_SCHEMATIC_SVG_H

#include <string>

#include "sim/circuit/circuit.h"
#include "sim/report/schematic_layout.h"

/* A whole SVG document (black on white), titled `title`. */
std::string SchematicSvg(const Circuit& c, const SchematicLayout& layout, const std::string& title);

#endif
