/*
** part_stress.h: what each part of a circuit carries in its steady
** state: the voltage across it and the current through it over one
** period, their peak and RMS, and the power its loss takes.
**
** The voltages are worked out harmonic by harmonic from the switch
** voltage the engine found: the output network is linear, so its every
** node follows from the switch node's voltage.  That reads only the
** engine's published result (SimResult's Vsw), so it holds for either
** engine and for a nonlinear device (whose capacitance sits at the switch
** node, which is given).
**
** The current of every part with a loss, and its loss, come from the
** exact periodic steady state when the exact engine gave r: integrated
** over the period in the engine's own state spaces (BuildStateSpaces),
** so they add up to its Ploss.  Harmonics cannot hold the spike of a
** shunt capacitor discharged by a switch that closes at a voltage (a
** design not yet tuned); for ngspice's results they are all there is.
*/
#ifndef TOLVARIN_SIM_ANALYSIS_PART_STRESS_H
#define TOLVARIN_SIM_ANALYSIS_PART_STRESS_H

#include <complex>
#include <string>
#include <vector>

#include "sim/circuit/circuit.h"
#include "sim/engine/steady_state.h"

/* Harmonics of the drive summed: all that kPeriodSamples samples hold
   below their Nyquist frequency. */
enum { kStressHarmonics = kPeriodSamples / 2 - 1 };

struct PartStress {
  std::string Name;         /* as the circuit names it */
  double Vpk;               /* V: largest |v| over the period, across the part and its loss */
  double Irms;              /* A, DC included */
  double Pdiss;             /* W: in its loss resistances (the load: what it takes) */
  std::vector<double> V, I; /* kPeriodSamples over the period, counted from NodeA to NodeB */
};

/* The stress of every part of c (in the order of c.Parts) in the steady
   state r, which must have run.  The choke's DC current is r's Pdc /
   Vcc.  Failed when r has no waveform or the network cannot be solved. */
Status PartStresses(const Circuit& c, const SimResult& r, std::vector<PartStress>& out);

/* The part's admittance at angular frequency w, its losses in (a
   capacitor at DC: 0). */
std::complex<double> PartAdmittance(const CircuitPart& p, double w);

/* The stress named `name` in out, or null. */
const PartStress* FindStress(const std::vector<PartStress>& s, const std::string& name);

#endif
