/*
** device_record.cpp: what a device record makes of the circuit's device,
** and the defaults a record leaves to the program.
*/
#include "sim/design/device_record.h"

#include <cmath>

const double kDefaultGrading = 0.5;
const double kAssumedHeatsinkKPerW = 5.0;

namespace {

const char* const kKindNames[kDeviceKindCount] = {"si-mosfet", "gan", "other"};

/* The current a GaN part's reverse drop is read at, A, and the
   saturation current the junction standing for it is given. */
const double kDropAmps = 1.0;
const double kDropIs = 1e-12;

}  // namespace

bool Known(double v) {
  return !std::isnan(v);
}

const char* DeviceKindName(int kind) {
  return kKindNames[kind];
}

int DeviceKindByName(const std::string& name) {
  for (int k = 0; k < kDeviceKindCount; k++)
    if (name == kKindNames[k]) return k;
  return -1;
}

DeviceModel DeviceModelOf(const DeviceRecord& r, bool diode) {
  DeviceModel d;
  if (r.Coss.size() == 1) {
    d.Coss = r.Coss[0].Farads;
    d.CossVolts = r.Coss[0].Volts;
    d.Grading = Known(r.CossM) ? r.CossM : kDefaultGrading;
    /* A grading needs a point above 0 V to be fitted to. */
    if (d.CossVolts <= 0.0) d.Grading = 0.0;
  } else if (r.Coss.size() > 1) {
    d.Table = r.Coss;
    d.Coss = r.Coss.back().Farads;
    d.CossVolts = r.Coss.back().Volts;
  }
  d.BodyDiode = diode;
  if (diode && r.HasDiode) {
    const DiodeRecord& b = r.Diode;
    if (Known(b.DropV)) {
      /* Is exp(drop / (N Vt)) = 1 A. */
      d.DiodeIs = kDropIs;
      d.DiodeN = b.DropV / (kThermalVolts * std::log(kDropAmps / kDropIs));
    } else {
      d.DiodeIs = b.IsA;
      d.DiodeN = b.N;
    }
    if (Known(b.RsOhm)) d.DiodeRs = b.RsOhm;
  }
  return d;
}

double RecordEdgeSeconds(const DeviceRecord& r) {
  if (Known(r.RiseNs) && Known(r.FallNs)) return 0.5 * (r.RiseNs + r.FallNs) * 1e-9;
  if (Known(r.RiseNs)) return r.RiseNs * 1e-9;
  if (Known(r.FallNs)) return r.FallNs * 1e-9;
  return 0.0;
}

double DefaultRth(const DeviceRecord& r) {
  if (Known(r.RthJcKPerW)) return r.RthJcKPerW + kAssumedHeatsinkKPerW;
  return r.RthJaKPerW;
}
