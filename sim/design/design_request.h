/*
** design_request.h: the design the simulator is asked to make: the six
** inputs as the calculator takes them, the network and its trap, and the
** capacitors' Q.
*/
#ifndef TOLVARIN_SIM_DESIGN_DESIGN_REQUEST_H
#define TOLVARIN_SIM_DESIGN_DESIGN_REQUEST_H

#include "app/design_inputs.h"

struct DesignRequest {
  float Freq; /* MHz */
  float Power;
  float Vcc;
  float QL;
  float Rload;
  float Ron;
  int Topology;       /* row of the topology table */
  bool Notch = false; /* the filter's output capacitor becomes the 2 x Fo trap */
  float CapQ = 0.0f;  /* every capacitor's Q; 0: the calculator's own (500) */
};

/* Each design input's field, indexed as the calculator's input table. */
extern float DesignRequest::*const kRequestInputs[kDesignInputCount];

/* The calculator's built-in example, BASIC, no trap. */
DesignRequest ExampleRequest();

#endif
