/*
** design_inputs.h: the six design inputs as one table: the name the
** notices give each, its field, its start value and the limits an entry
** must keep, in the unit the screens show it in.  The start-up design,
** the main menu's entries and the simulator's command line all read it.
*/
#ifndef TOLVARIN_APP_DESIGN_INPUTS_H
#define TOLVARIN_APP_DESIGN_INPUTS_H

#include <limits>

#include "app/design_state.h"

/* The inputs, in the order the main menu's line names them. */
enum DesignInput { kInputFreq, kInputPower, kInputVcc, kInputQL, kInputRload, kInputRon };
enum { kDesignInputCount = 6 };

/* What happens to an entry outside the limits.  Freq and QL have a range
   the design equations were fitted over, and an entry beyond it is pulled
   to the nearer end; the others only have to make a design at all, so an
   entry at or below the low end is refused. */
enum InputLimitRule {
  kPullIntoRange, /* low <= v <= high, v outside taken as the nearer end */
  kAboveLow,      /* low < v, else refused */
  kAtLeastLow,    /* low <= v, else refused */
};

struct DesignInputSpec {
  const char* name; /* as the notices name it */
  float DesignState::*field;
  float start; /* the start-up design's value */
  float low;
  float high; /* infinity: no upper limit but the finite range of float */
  InputLimitRule rule;
  const char* unit; /* of start, low and high, as the screens show them */
};

inline constexpr float kNoUpperLimit = std::numeric_limits<float>::infinity();

/* Indexed by DesignInput. */
inline constexpr DesignInputSpec kDesignInputs[kDesignInputCount] = {
    {"Freq", &DesignState::Freq, 3.8f, 0.5f, 500.0f, kPullIntoRange, "MHz"},
    {"Power", &DesignState::Power, 2.5f, 0.0f, kNoUpperLimit, kAboveLow, "W"},
    {"Vcc", &DesignState::Vcc, 12.0f, 0.0f, kNoUpperLimit, kAboveLow, "V"},
    {"QL", &DesignState::QL, 2.5f, 1.8f, 20.0f, kPullIntoRange, ""},
    {"Rload", &DesignState::Rload, 50.0f, 0.0f, kNoUpperLimit, kAboveLow, "ohm"},
    {"Ron", &DesignState::Ron, 0.2f, 0.0f, kNoUpperLimit, kAtLeastLow, "ohm"},
};

#endif
