/*
** parts_build.h: the tuned design as it can be soldered: each capacitor
** from a preferred-number series (E24 unless asked), each coil wound by
** the calculator's coil model on the form the calculator chose for it,
** or on a toroid.
*/
#ifndef TOLVARIN_SIM_DESIGN_PARTS_BUILD_H
#define TOLVARIN_SIM_DESIGN_PARTS_BUILD_H

#include <string>
#include <vector>

#include "sim/design/e24.h"
#include "sim/design/tune.h"

/* A capacitor of the design and the parts chosen for it. */
struct BuiltCapacitor {
  std::string Name; /* as the circuit names it */
  double TunedPf;
  E24Choice Parts;
};

/* A coil wound for the design. */
struct WoundCoil {
  std::string Name; /* "Lp1", "Ls2", "Ls2+LM", "LM" */
  CoilRecord Coil;
  ToroidWinding Toroid; /* its core when wound on one (Core -1: air) */
};

struct PartsBuild {
  SimulatedDesign Built; /* its record, circuit and steady state */
  std::vector<BuiltCapacitor> Capacitors;
  std::vector<WoundCoil> Coils;
};

/* The coils of a tuned design wound to its inductances as the choice
   asks. */
void WindTunedCoils(const DesignState& tuned, int topology, const CoilChoice& choice,
                    DesignState& out, std::vector<WoundCoil>& coils);

/* The design to build from a tuning: coils wound, capacitors chosen, and
   its steady state at the design frequency (by ngspice when the device is
   nonlinear); failed when it could not be simulated. */
Status BuildWithParts(const SimulatedDesign& tuned, int topology, bool notch,
                      const TuneSettings& settings, PartsBuild& out);

#endif
