/*
** circuit.h: one amplifier circuit as plain data, built from a design.
**
** Every engine reads this record (the exact periodic steady state and
** ngspice, through the netlist writer), and so do the report and the JSON
** output.  A circuit is a supply, an ideal switch of two resistances
** driven at a duty (50 % unless asked), and a list of two-terminal parts between named
** nodes: the choke, the shunt capacitor across the switch, the output
** network and the load.  Each coil and capacitor carries its loss.
*/
#ifndef TOLVARIN_SIM_CIRCUIT_CIRCUIT_H
#define TOLVARIN_SIM_CIRCUIT_CIRCUIT_H

#include <string>
#include <vector>

#include "app/design_state.h"

enum PartKind { kResistor, kCoil, kCapacitor };

/* Node names every circuit has; "0" is ground. */
extern const char* const kNodeGround;
extern const char* const kNodeSupply; /* the supply's positive terminal */
extern const char* const kNodeSwitch; /* the switch, Cp1 and the choke meet here */
extern const char* const kNodeLoad;   /* the load's top */
extern const char* const kNodePin;    /* the drain pin, when a package coil stands before the die */

/* One part between NodeA and NodeB.  A coil's current and a capacitor's
   voltage are counted from A to B. */
struct CircuitPart {
  std::string Name; /* as the netlist and the report name it: "Cp1", "Ls2", "Rload" */
  PartKind Kind;
  std::string NodeA, NodeB;
  double Value;      /* ohm, H or F */
  double SeriesLoss; /* ohm in series: a capacitor's X / Qcap, a coil's XL / Qu, the choke's Rdc */
  double ShuntLoss;  /* ohm across the coil alone (the choke's Qu x XL); 0 for none */
  double Initial;    /* where a transient starts: a coil's current (A), a capacitor's voltage */
  bool Single = false; /* its value is a single-precision field of the design, as the
                          calculator holds it (not a value worked out in double) */
};

/* The switch: Ron when on, Roff when off; on for the first Duty of each
   period, with linear conductance ramps of Ramp periods at turn-on (from
   the period's start) and at turn-off (from Duty of the period). */
struct SwitchModel {
  double Ron = 0.0, Roff = 0.0; /* ohm */
  double Ramp = 0.0;            /* fraction of a period, 0 for a hard switch */
  double Duty = 0.5;            /* the share of the period the switch is driven on */
};

/* One point of an output-capacitance curve read from a datasheet. */
struct CossPoint {
  double Volts;  /* V, drain to source */
  double Farads; /* F */
};

/* The switching device beyond its channel: its output capacitance from
   the switch node to ground, and its body diode.  The capacitance is
   linear, or graded like a junction and fitted to one datasheet point,
   C(v) = Cj (1 + v / Vj)^-M, or a table of points read off the
   datasheet's curve (Table, two points or more, in rising voltage and
   falling capacitance).  Between two points of a table above 0 V the
   capacitance follows a power law, a straight line on the datasheet's
   log-log axes as a junction's is; from a point at 0 V to the next it is
   a straight line; outside the table it keeps the end point's value. */
struct DeviceModel {
  double Coss = 0.0;      /* F, 0 for none: the capacitance, or a graded one's value at CossVolts,
                             or a table's value at its last point */
  double CossVolts = 0.0; /* V: the datasheet point of a graded capacitance (a table's last) */
  double Grading = 0.0;   /* M; 0 for a linear capacitance or a table */
  bool BodyDiode = false;
  std::vector<CossPoint> Table = {}; /* empty unless the capacitance is a table */
  /* The body diode as a junction: saturation current (A), emission
     coefficient and series resistance (ohm).  Without a device record it
     is a fast silicon junction with a little series resistance. */
  double DiodeIs = 1e-12, DiodeN = 1.0, DiodeRs = 0.01;
};

/* The thermal voltage kT/q at ngspice's nominal 27 degrees C, V. */
extern const double kThermalVolts;

/* Vj of a graded output capacitance, V. */
extern const double kJunctionPotential;

/* True when the device's capacitance changes with voltage: graded or a
   table. */
bool IsGradedCoss(const DeviceModel& d);

/* The output capacitance at switch voltage v (F).  Below -Vj / 2 a graded
   one keeps its value there: the formula's pole at -Vj is not physics. */
double CossAt(const DeviceModel& d, double v);

/* The charge the output capacitance takes from 0 V to switch voltage v
   (C), the integral of CossAt; Q(v) / v is the charge-equivalent
   capacitance Co(tr) up to v. */
double QossAt(const DeviceModel& d, double v);

struct Circuit {
  std::string Origin;  /* the design inputs it was built from, one line */
  int Topology = 0;    /* row of the topology table */
  bool Notch = false;  /* the filter has its 2 x Fo trap */
  double DesignHz = 0; /* the losses are those of this frequency */
  double Qcap = 0;     /* the capacitors' Q, for a device capacitance added later */
  double Vcc = 0;      /* V */
  SwitchModel Switch;
  std::vector<CircuitPart> Parts; /* choke, Cp1, the network in order, the load last */
  int Load = 0;                   /* index of the load resistor in Parts */
  DeviceModel Device;             /* its nonlinear part; a linear Coss is a part "Coss" */
};

/* What the circuit is for: the whole amplifier, or the output network
   alone as the switch sees it (no supply, choke or DC block; the switch
   node driven by the caller). */
enum CircuitUse { kPowerCircuit, kNetworkOnly };

/* The fraction of a period each switch ramp takes in a designed circuit. */
extern const double kSwitchRamp;

/* The closed switch is never below this resistance (ohm). */
extern const double kMinRon;

/* The circuit of the design s in topology t. */
void BuildCircuit(const DesignState& s, int topology, bool notch, CircuitUse use, Circuit& c);

/* The device put in: a linear output capacitance as the part "Coss"
   beside Cp1, with the loss of the circuit's capacitors, the rest into
   c.Device. */
void AddDevice(Circuit& c, const DeviceModel& d);

/* The device's package: a coil "Lpkg" of `henry` from the die (the
   switch node, the switch and Coss) to the drain pin, where every other
   part that met the switch now meets.  The switch voltage is then the
   die's, what the device itself stands. */
void AddPackage(Circuit& c, double henry);

/* True for the parts that are the device's own (Coss, Lpkg): they are
   not bought, wound or toleranced as the circuit's parts are. */
bool IsDevicePart(const CircuitPart& p);

/* A graded capacitance as a linear one of its value at vcc, no diode. */
DeviceModel LinearisedDevice(const DeviceModel& d, double vcc);

/* True when the circuit is not piecewise linear: a graded capacitance
   (or a table) or a body diode; the exact engine cannot solve it. */
bool IsNonlinear(const Circuit& c);

/* The same circuit made piecewise linear: a graded capacitance as a
   linear one of its value at Vcc (a linear one stays as it is), no body
   diode. */
Circuit Linearised(const Circuit& c);

/* Every coil and capacitor made lossless (the load stays). */
void DropLosses(Circuit& c);

/* Sets the value of the part named `name` (ohm, H or F) keeping its Q:
   a capacitor's or coil's loss resistance scales with its reactance. */
void SetPartValue(Circuit& c, const std::string& name, double value);

/* The part named `name`, or null. */
const CircuitPart* FindPart(const Circuit& c, const std::string& name);
CircuitPart* FindPart(Circuit& c, const std::string& name);

/* The load resistance the output power is delivered into (ohm). */
double LoadResistance(const Circuit& c);

/* What the circuit loses, as its parts carry it: the capacitors' Q, the
   Qu of the tuning coil Ls2 and of the choke at the design frequency (0
   for a lossless one), and the choke's DC resistance. */
struct CircuitLosses {
  double CapQ, CoilQ, ChokeQ, ChokeRdc;
};
CircuitLosses LossesOf(const Circuit& c);

/* A part's value in the unit the report and JSON give it: uH, pF or
   ohm, and that unit's name. */
double DisplayValue(const CircuitPart& p);
const char* DisplayUnit(const CircuitPart& p);

#endif
