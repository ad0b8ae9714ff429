/*
** schematic_text.h: the circuit's schematic as a compact text drawing
** for the terminal (--schematic): the ladder top to bottom, each part
** with its kind, name and value, the branches to ground beside it.
*/
#ifndef TOLVARIN_SIM_REPORT_SCHEMATIC_TEXT_H
#define TOLVARIN_SIM_REPORT_SCHEMATIC_TEXT_H

#include <string>

#include "sim/circuit/circuit.h"
#include "sim/report/schematic_layout.h"

/* The drawing of layout (of c), lines of at most 80 columns ending in
   newlines, under a heading line naming the network. */
std::string SchematicText(const Circuit& c, const SchematicLayout& layout);

/* "L", "C", "R": the kind of a part as both schematics mark it. */
const char* PartKindMark(const CircuitPart& p);

/* "switch" and "load" for those nodes, empty for the others. */
const char* NodeLabel(const std::string& node);

#endif
