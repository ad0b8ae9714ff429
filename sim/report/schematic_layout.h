/*
** schematic_layout.h: where each part of a circuit goes in its
** schematic, worked out from the circuit record alone, so that every
** network of the topology table (and any row added to it) is drawn.
**
** The drawing is a ladder read from top to bottom: the supply, the parts
** in series from the supply through the switch node to the load node
** (the main line), and at each node of that line the branches to ground
** beside it (the switch, a shunt capacitor, a trap of two parts, the
** load).  The text and SVG schematics both draw this layout.
*/
#ifndef TOLVARIN_SIM_REPORT_SCHEMATIC_LAYOUT_H
#define TOLVARIN_SIM_REPORT_SCHEMATIC_LAYOUT_H

#include <string>
#include <vector>

#include "sim/circuit/circuit.h"
#include "sim/circuit/status.h"

/* One step down the main line: a node with its branches to ground, or a
   part in series from the node above to the one below. */
struct LadderStep {
  bool IsNode = false;
  std::string Node;                     /* IsNode: the node's name */
  std::vector<std::vector<int>> Shunts; /* IsNode: each branch's parts from the node to ground */
  bool HasSwitch = false;               /* IsNode: the switch hangs here */
  int Part;                             /* !IsNode: index in Circuit::Parts */
  /* IsNode: the device's package coil from this node (the drain pin) to
     the die, where the switch hangs, and the die's other branches. */
  int Package = -1;
  std::vector<std::vector<int>> DieShunts;
};

struct SchematicLayout {
  std::vector<LadderStep> Steps; /* from the supply node down to the load node */
};

/* The layout of c; failed when c is not a ladder from the supply to the
   load (a part that no branch or series step takes). */
Status LayOut(const Circuit& c, SchematicLayout& out);

/* "Ls2 8.234 uH": a part's name and value as the schematics label it. */
std::string PartLabel(const CircuitPart& p);

#endif
