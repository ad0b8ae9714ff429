/*
** two_port.h: the output network as a two-port: port 1 the switch node
** (the shunt capacitance across it), port 2 the load's node, both to
** ground; its scattering parameters to a real reference resistance.
*/
#ifndef TOLVARIN_SIM_ANALYSIS_TWO_PORT_H
#define TOLVARIN_SIM_ANALYSIS_TWO_PORT_H

#include <complex>
#include <vector>

#include "sim/circuit/circuit.h"
#include "sim/circuit/status.h"

/* S11, S21, S12, S22 at one frequency. */
struct SParameters {
  double Hz;
  std::complex<double> S11, S21, S12, S22;
};

/* The network of power circuit c: every part but the choke, the load
   and, unless keepBlock, the DC block (transparent at RF by design, as
   the AC impedance leaves it out); a nonlinear device as its value at
   Vcc. */
Circuit OutputNetwork(const Circuit& c, bool keepBlock = false);

/* The S-parameters of network n (from OutputNetwork) to reference ref
   ohm at each frequency; failed when its nodal matrix is singular. */
Status NetworkSParameters(const Circuit& n, const std::vector<double>& hz, double ref,
                          std::vector<SParameters>& out);

/* The admittance the switch node sees at hz with rload across port 2
   (siemens). */
Status InputAdmittance(const Circuit& n, double rload, double hz, std::complex<double>& y);

/* How much less of the switch voltage network n (with rload at port 2)
   passes to the load at k x hz than at hz, dB (negative): 20 log10 of
   the ratio of the voltage transfers.  Added to the switch voltage's
   harmonic k in dBc it gives the load's, exactly. */
Status NetworkTransferDb(const Circuit& n, double rload, double hz, int k, double& db);

/* n points from a to b Hz on a logarithmic scale, a and b included. */
std::vector<double> LogGrid(double a, double b, int n);

#endif
