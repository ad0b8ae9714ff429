/*
** device_record.h: a switching transistor as its datasheet describes it:
** ratings, on-resistance, output capacitance, body diode, gate charge,
** edges and heat.  The built-in library and a user's device file both
** give one; the circuit takes its DeviceModel and switch from it.
*/
#ifndef TOLVARIN_SIM_DESIGN_DEVICE_RECORD_H
#define TOLVARIN_SIM_DESIGN_DEVICE_RECORD_H

#include <limits>
#include <string>
#include <vector>

#include "sim/circuit/circuit.h"

/* A value the datasheet does not give (or that is not confirmed). */
inline constexpr double kAbsent = std::numeric_limits<double>::quiet_NaN();

/* True unless v is kAbsent. */
bool Known(double v);

enum DeviceKind { kSiMosfet = 0, kGan, kOtherDevice, kDeviceKindCount };

/* The kind's name as a device file spells it ("si-mosfet"), and the kind
   of a name (-1 for none). */
const char* DeviceKindName(int kind);
int DeviceKindByName(const std::string& name);

/* The reverse conduction of the device: a silicon body diode as a
   junction, or a GaN transistor's reverse drop at 1 A. */
struct DiodeRecord {
  double IsA = kAbsent; /* saturation current */
  double N = kAbsent;   /* emission coefficient */
  double RsOhm = kAbsent;
  double DropV = kAbsent; /* a GaN part's reverse drop instead of IsA and N */
};

struct DeviceRecord {
  std::string Name, Maker, Source; /* Source: the datasheet, its number and revision */
  int Kind = kOtherDevice;
  double VdsMaxV = kAbsent;       /* V(BR)DSS */
  double RonOhm = kAbsent;        /* RDS(on) at 25 C */
  double RonTempcoPerK = kAbsent; /* its relative rise per kelvin */
  std::vector<CossPoint> Coss;    /* in rising voltage (a file gives pF); empty when not given */
  double CossM = kAbsent;         /* grading of a single point; 0 linear */
  bool HasDiode = false;          /* Diode holds a model */
  DiodeRecord Diode;
  double QgNc = kAbsent, VgsV = kAbsent; /* total gate charge at that drive */
  double RiseNs = kAbsent, FallNs = kAbsent;
  double LeadNh = kAbsent;
  double RthJcKPerW = kAbsent;
  double RthJaKPerW = kAbsent; /* the built-in library's free-air figure; no file key */
  double TjMaxC = kAbsent;
};

/* Grading given to a single Coss point when the record gives none: the
   --coss-m default, a vertical MOSFET's abrupt junction. */
extern const double kDefaultGrading;

/* The heatsink assumed when only the junction-to-case resistance is
   known: a mica washer and a small finned heatsink, K/W, added to RthJC. */
extern const double kAssumedHeatsinkKPerW;

/* The device's capacitance and, with `diode`, its body
   diode: a record's junction, its GaN drop as a junction that carries 1 A
   at that drop, or without either a fast silicon junction. */
DeviceModel DeviceModelOf(const DeviceRecord& r, bool diode);

/* The edge time of the record (the mean of rise and fall), s; 0 when
   not given. */
double RecordEdgeSeconds(const DeviceRecord& r);

/* Junction to ambient, K/W: RthJC plus the assumed heatsink, else the
   free-air figure, else kAbsent. */
double DefaultRth(const DeviceRecord& r);

#endif
