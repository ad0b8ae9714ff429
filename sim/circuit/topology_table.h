/*
** topology_table.h: the output networks tolvarin-sim can build, as one
** table.  A row names the network, lists its stages from the switch node
** to the load and says where each value comes from in the design record;
** the circuit builder walks the stages, the command line and the help
** take the names, the report takes the titles.  Adding a network is one
** row.
*/
#ifndef TOLVARIN_SIM_CIRCUIT_TOPOLOGY_TABLE_H
#define TOLVARIN_SIM_CIRCUIT_TOPOLOGY_TABLE_H

#include <string>

#include "app/design_state.h"

/* One stage of a network, from the switch side towards the load. */
enum StageKind {
  kStageEnd = 0,         /* ends the list */
  kStageSeriesCoil,      /* a coil from this node to a new one */
  kStageSeriesCapacitor, /* a capacitor from this node to a new one; charged to Vcc */
  kStageShuntCapacitor,  /* a capacitor from this node to ground */
  kStageDcBlock,         /* a series capacitor of negligible reactance, power circuit only */
  kStageElMatch,         /* the row's EL match, in the arrangement the design chose */
  kStageFilter           /* the Tchebychev low-pass filter, with the trap when the notch is on */
};

/* Which coil record gives a coil its Qu (its loss). */
enum CoilLossRule {
  kLossNone = 0,
  kLossTuneCoil,  /* Ls2: Tune-Ls2, or Ls2+Ls3 when the row shares one coil */
  kLossMatchCoil, /* LM: Match-Ls3, or Ls2+Ls3 when the row shares one coil */
};

struct NetworkStage {
  StageKind Kind;
  const char* Name;          /* element name in the circuit and the netlist */
  float DesignState::*Value; /* uH or pF as the design record holds it; null for blocks */
  CoilLossRule Loss;
};

/* The EL match of a row: the arrangement field and its two values. */
struct MatchFields {
  int DesignState::*Arrangement;
  float DesignState::*Lm; /* uH */
  float DesignState::*Cm; /* pF */
};

/* The values a tuning moves, and how the series-equivalent capacitor and
   resistance the network sees become them: as they are (the series form,
   BASIC) or through the pi conversion to a shunt capacitor and the pi-net
   resistance (PINET). */
enum NetworkForm { kSeriesForm, kPiForm };

struct TunedFields {
  NetworkForm Form;
  float DesignState::*Ls2; /* uH */
  float DesignState::*Cap; /* pF: Cs2 or Cp2 */
  float DesignState::*Ro;  /* ohm: Ro or the pi-net resistance */
};

enum { kMaxStages = 6 };

struct TopologyRow {
  const char* Name;  /* as the command line spells it */
  const char* Title; /* as headings print it */
  NetworkStage Stages[kMaxStages];
  const char* LoadName;                  /* "Ro" for the network's own resistance, "Rload" */
  float DesignState::*Load;              /* ohm */
  MatchFields Match;                     /* for kStageElMatch */
  bool SharedTuneCoil = false;           /* a series-first match is wound on Ls2's coil */
  TunedFields Tuned;                     /* what a tuning moves */
  const SweepColumn DesignState::*Sweep; /* the calculator's sweep model of it */
};

enum { kTopologyCount = 5 };

/* Row t, 0 <= t < kTopologyCount. */
const TopologyRow& Topology(int t);

/* The row named `name`, or -1. */
int TopologyByName(const std::string& name);

/* "basic, basic-el, ..." for help and error texts. */
std::string TopologyNameList();

/* True when the row ends in Rload (a match or a filter), false when the
   load is the network's own resistance. */
bool TopologyDrivesRload(int t);

/* True when the row has the filter (the only one a notch can go in). */
bool TopologyHasFilter(int t);

#endif
