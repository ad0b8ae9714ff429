/*
** device_figures.h: what the transistor goes through in one steady
** period: its peak voltage against its rating, its peak and RMS current,
** where its dissipation goes, the gate drive's power, its junction
** temperature against its limit.
*/
#ifndef TOLVARIN_SIM_ANALYSIS_DEVICE_FIGURES_H
#define TOLVARIN_SIM_ANALYSIS_DEVICE_FIGURES_H

#include <string>
#include <vector>

#include "sim/circuit/circuit.h"
#include "sim/design/device_record.h"
#include "sim/engine/steady_state.h"

struct DeviceFigures {
  std::string Name;
  double VdsMaxV = kAbsent; /* V(BR)DSS */
  double VpkV = 0.0;
  double MarginV = kAbsent; /* VdsMax - Vpk */
  double IpkA = 0.0;        /* the largest switch current, either way */
  double IrmsA = 0.0;
  /* The device's dissipation split three ways, summing to the engine's
     Pdev: the channel while fully on, the channel during the edges (and
     the trickle through Roff), the body diode. */
  double ConductionW = 0.0, EdgesW = 0.0, ReverseW = 0.0;
  double GateW = kAbsent; /* Qg Vgs f, dissipated in the gate driver */
  double TjC = kAbsent, TjMaxC = kAbsent;
  double RonHotOhm = 0.0;
  double RthKPerW = kAbsent;
  double AmbientC = 25.0;
  std::vector<std::string> Warnings; /* one line per limit exceeded */
};

/* The figures of the device `rec` in circuit c from its steady state r
   at driveMHz; tjC (kAbsent when unknown) is the junction's temperature. */
void FigureDevice(const DeviceRecord& rec, const Circuit& c, const SimResult& r, double driveMHz,
                  double tjC, DeviceFigures& f);

/* The lowest switch voltage of the period, V. */
double LowestSwitchVoltage(const SimResult& r);

/* Where a real MOSFET's body diode starts to conduct, V: below it a
   circuit without one goes where a real part cannot. */
extern const double kDiodeConducts;

#endif
