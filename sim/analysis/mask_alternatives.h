/*
** mask_alternatives.h: when a design's harmonics fail their limit, the
** same design inputs in every other network, each held to the limit, so
** the report can say which network would pass.
*/
#ifndef TOLVARIN_SIM_ANALYSIS_MASK_ALTERNATIVES_H
#define TOLVARIN_SIM_ANALYSIS_MASK_ALTERNATIVES_H

#include <vector>

#include "sim/analysis/emission_mask.h"
#include "sim/design/design_request.h"
#include "sim/design/tune.h"

struct MaskAlternative {
  int Topology;
  bool Notch = false;
  bool Ran = false; /* its steady state was found */
  MaskResult Mask;
};

/* The calculator's design of r's inputs in every network and trap
   setting but r's own, with the settings' choke and device (linearised),
   by the exact engine at the design frequency. */
std::vector<MaskAlternative> OtherNetworks(const DesignRequest& r, const TuneSettings& settings,
                                           const MaskChoice& mask);

#endif
