/*
** circuit.cpp: the circuit of a design, built by walking its row of the
** topology table from the switch node to the load.
**
** Every part of the network carries its loss at the design frequency: a
** capacitor a series resistance of X / Qcap, a coil a series resistance
** of XL / Qu with the Qu of the coil record the calculator winds it on.
** The choke carries its winding's DC resistance in series and its RF loss
** as Qu x XL across the inductance alone, so the DC current does not pay
** the RF loss.  A coil whose Qu is 0 (not designed) is lossless.
**
** The pi-network has no series capacitor: a DC block after its shunt
** capacitor keeps the supply's DC out of the load.
**
** The open switch is 1 Mohm, or 10^4 x Ro when that is more, so it stays
** far above the network's resistance; the closed one is at least kMinRon.
*/
#include "sim/circuit/circuit.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdio>

#include "engine/single_precision.h"
#include "sim/circuit/topology_table.h"
#include "sweep/sweep_plan.h"

const char* const kNodeGround = "0";
const char* const kNodeSupply = "vcc";
const char* const kNodeSwitch = "d";
const char* const kNodeLoad = "out";
const char* const kNodePin = "pin";
const double kSwitchRamp = 0.005;
const double kMinRon = 1e-3;
const double kThermalVolts = 8.617333262e-5 * 300.15; /* Boltzmann's constant over q, x 300.15 K */

namespace {

const double kOffResistance = 1e6;   /* the open switch: 1 Mohm, */
const double kOffToRo = 1e4;         /* or 10^4 x Ro when that is more */
const double kBlockReactance = 0.01; /* DC block, as a fraction of the pi-net resistance */

/* The state of one walk along a row. */
struct Builder {
  Circuit* c;
  const DesignState* s;
  const TopologyRow* row;
  double w0;        /* design angular frequency: losses are set there */
  std::string node; /* where the next stage starts */
  int nodes;        /* internal nodes made so far */
};

std::string NewNode(Builder& b) {
  return "n" + std::to_string(++b.nodes);
}

/* `shown` is the value in the unit the design record holds it (uH, pF,
   ohm): one a float holds exactly came from the record's fields. */
void Add(Builder& b, const char* name, PartKind kind, const std::string& a, const std::string& z,
         double value, double seriesLoss, double initial, double shown) {
  CircuitPart p{name, kind, a, z, value, seriesLoss, 0.0, initial};
  p.Single = double(static_cast<float>(shown)) == shown;
  b.c->Parts.push_back(p);
}

/* A coil of uh microhenries with the loss of a coil of unloaded Q qu. */
void Coil(Builder& b, const char* name, const std::string& a, const std::string& z, double uh,
          double qu) {
  const double henry = uh * 1e-6;
  Add(b, name, kCoil, a, z, henry, qu > 0.0 ? b.w0 * henry / qu : 0.0, 0.0, uh);
}

/* A capacitor of pf picofarads with the loss of the design's Qcap. */
void Capacitor(Builder& b, const char* name, const std::string& a, const std::string& z, double pf,
               double initial = 0.0) {
  const double farad = pf * 1e-12;
  const double qcap = b.s->Qcap;
  Add(b, name, kCapacitor, a, z, farad, qcap > 0.0 ? 1.0 / (b.w0 * farad * qcap) : 0.0, initial,
      pf);
}

/* One coil wound for Ls2 and the match coil when they are in series:
   the calculator books them so for a series-first BASIC match. */
bool SharedCoil(const Builder& b) {
  return b.row->SharedTuneCoil && b.s->*b.row->Match.Arrangement == kElStepUp;
}

double CoilQu(const Builder& b, CoilLossRule rule) {
  const CoilRecord* coils = b.s->Coils;
  if (rule == kLossNone) return 0.0;
  if (SharedCoil(b)) return coils[kLs2PlusLs3].Qu;
  return rule == kLossTuneCoil ? coils[kTuneLs2].Qu : coils[kMatchLs3].Qu;
}

void Choke(Builder& b) {
  const DesignState& s = *b.s;
  const CoilRecord& choke = s.Coils[kChokeLp1];
  const double henry = double(s.Lp1) * 1e-6;
  CircuitPart p{"Lp1", kCoil, kNodeSupply, kNodeSwitch, henry, 0.0, 0.0, 0.0};
  p.SeriesLoss = std::max(0.0, double(choke.Rdc));
  p.ShuntLoss = choke.Qu > 0.0f ? double(choke.Qu) * b.w0 * henry : 0.0;
  /* The choke carries the DC input current from the start. */
  p.Initial = double(s.Power) / double(s.Vcc);
  p.Single = true;
  b.c->Parts.push_back(p);
}

void ElMatch(Builder& b, const NetworkStage& st) {
  const MatchFields& m = b.row->Match;
  const int arrangement = b.s->*m.Arrangement;
  const double lm = b.s->*m.Lm, cm = b.s->*m.Cm;
  const double qu = CoilQu(b, st.Loss);
  assert(IsElArrangement(arrangement));
  if (arrangement == kElNone) return; /* equal resistances: no match */
  const std::string next = NewNode(b);
  if (arrangement == kElStepUp) {
    Coil(b, "LM", b.node, next, lm, qu);
    Capacitor(b, "CM", next, kNodeGround, cm);
  } else {
    Capacitor(b, "CM", b.node, kNodeGround, cm);
    Coil(b, "LM", b.node, next, lm, qu);
  }
  b.node = next;
}

void Filter(Builder& b) {
  const DesignState& s = *b.s;
  const double qu = TrapCoilQ(s); /* wound as the sweep winds its trap */
  const std::string next = NewNode(b);
  Capacitor(b, "Cpin", b.node, kNodeGround, s.Cpin);
  Coil(b, "LsTCH", b.node, next, s.LsTCH, qu);
  if (b.c->Notch) {
    Coil(b, "LsTrap", next, "trap", s.LsTrap, qu);
    Capacitor(b, "CsTrap", "trap", kNodeGround, s.CsTrap);
  } else {
    Capacitor(b, "Cpout", next, kNodeGround, s.Cpout);
  }
  b.node = next;
}

void Stage(Builder& b, const NetworkStage& st, CircuitUse use) {
  const DesignState& s = *b.s;
  const double vcc = s.Vcc;
  switch (st.Kind) {
    case kStageSeriesCoil: {
      const std::string next = NewNode(b);
      Coil(b, st.Name, b.node, next, s.*st.Value, CoilQu(b, st.Loss));
      b.node = next;
      break;
    }
    case kStageSeriesCapacitor: {
      const std::string next = NewNode(b);
      Capacitor(b, st.Name, b.node, next, s.*st.Value, vcc); /* it blocks the DC */
      b.node = next;
      break;
    }
    case kStageShuntCapacitor: Capacitor(b, st.Name, b.node, kNodeGround, s.*st.Value); break;
    case kStageDcBlock: {
      if (use != kPowerCircuit) break;
      const std::string next = NewNode(b);
      const double pf = 1e12 / (b.w0 * kBlockReactance * double(s.*b.row->Tuned.Ro));
      Capacitor(b, st.Name, b.node, next, pf, vcc);
      b.node = next;
      break;
    }
    case kStageElMatch: ElMatch(b, st); break;
    case kStageFilter: Filter(b); break;
    case kStageEnd: break;
  }
}

/* The last node of the walk becomes the load node. */
void NameLoadNode(Circuit& c, const std::string& last) {
  for (CircuitPart& p : c.Parts) {
    if (p.NodeA == last) p.NodeA = kNodeLoad;
    if (p.NodeB == last) p.NodeB = kNodeLoad;
  }
}

}  // namespace

void BuildCircuit(const DesignState& s, int topology, bool notch, CircuitUse use, Circuit& c) {
  const TopologyRow& row = Topology(topology);
  assert(notch == 0 || TopologyHasFilter(topology));
  c = Circuit{};
  char origin[160];
  std::snprintf(
      origin, sizeof origin, "%.4g MHz, %.4g W, Vcc %.4g V, QL %.4g, Rload %.4g ohm, Ron %.4g ohm",
      double(s.Freq), double(s.Power), double(s.Vcc), double(s.QL), double(s.Rload), double(s.Ron));
  c.Origin = origin;
  c.Topology = topology;
  c.Notch = notch;
  c.DesignHz = s.FreqHz;
  c.Qcap = s.Qcap;
  c.Vcc = s.Vcc;
  c.Switch.Ron = std::max(double(s.Ron), kMinRon);
  c.Switch.Roff = std::max(kOffResistance, kOffToRo * double(s.Ro));
  c.Switch.Ramp = kSwitchRamp;
  Builder b{&c, &s, &row, kTwoPi * double(s.FreqHz), kNodeSwitch, 0};
  if (use == kPowerCircuit) Choke(b);
  /* Where the device's own capacitance takes the whole shunt capacitance
     no Cp1 is left: a capacitor of nothing would be an open circuit with
     an infinite series loss. */
  if (s.Cp1 > 0.0f) Capacitor(b, "Cp1", kNodeSwitch, kNodeGround, s.Cp1);
  for (const NetworkStage& st : row.Stages) {
    if (st.Kind == kStageEnd) break;
    Stage(b, st, use);
  }
  assert(b.node != kNodeSwitch);
  NameLoadNode(c, b.node);
  c.Parts.push_back(
      CircuitPart{row.LoadName, kResistor, kNodeLoad, kNodeGround, s.*row.Load, 0.0, 0.0, 0.0});
  c.Parts.back().Single = true;
  c.Load = static_cast<int>(c.Parts.size()) - 1;
}

namespace {

/* The index of the part called name, or the number of parts. */
size_t PartIndex(const Circuit& c, const char* name) {
  size_t at = 0;
  while (at < c.Parts.size() && c.Parts[at].Name != name) at++;
  return at;
}

}  // namespace

void AddDevice(Circuit& c, const DeviceModel& d) {
  c.Device = d;
  if (d.Coss > 0.0 && !IsGradedCoss(d)) {
    /* The device's own capacitance beside Cp1, with the loss every
       capacitor has, so the shunt capacitance behaves as one capacitor
       whichever share the device takes. */
    size_t at = PartIndex(c, "Cp1");
    if (at == c.Parts.size()) at = PartIndex(c, "Lp1"); /* no Cp1 left: after the choke */
    const double esr = c.Qcap > 0.0 ? 1.0 / (kTwoPi * c.DesignHz * d.Coss * c.Qcap) : 0.0;
    at = at == c.Parts.size() ? 0 : at + 1;
    c.Parts.insert(c.Parts.begin() + at, CircuitPart{"Coss", kCapacitor, kNodeSwitch, kNodeGround,
                                                     d.Coss, esr, 0.0, 0.0});
    if (c.Load >= static_cast<int>(at)) c.Load++;
    c.Device.Coss = 0.0;
  }
}

void AddPackage(Circuit& c, double henry) {
  assert(henry > 0.0 && FindPart(c, "Lpkg") == nullptr);
  size_t at = 0;
  double dc = 0.0; /* the choke's DC current flows through the package too */
  for (size_t i = 0; i < c.Parts.size(); i++) {
    CircuitPart& p = c.Parts[i];
    if (p.Name == "Lp1") dc = p.Initial;
    if (p.Name == "Lp1" || p.Name == "Cp1" || p.Name == "Coss") at = i + 1;
    if (p.Name == "Coss") continue;
    if (p.NodeA == kNodeSwitch) p.NodeA = kNodePin;
    if (p.NodeB == kNodeSwitch) p.NodeB = kNodePin;
  }
  c.Parts.insert(c.Parts.begin() + at,
                 CircuitPart{"Lpkg", kCoil, kNodePin, kNodeSwitch, henry, 0.0, 0.0, dc});
  if (c.Load >= static_cast<int>(at)) c.Load++;
}

bool IsDevicePart(const CircuitPart& p) {
  return p.Name == "Coss" || p.Name == "Lpkg";
}

bool IsNonlinear(const Circuit& c) {
  return IsGradedCoss(c.Device) || c.Device.BodyDiode;
}

DeviceModel LinearisedDevice(const DeviceModel& d, double vcc) {
  DeviceModel out;
  out.Coss = d.Coss > 0.0 ? CossAt(d, vcc) : 0.0;
  return out;
}

Circuit Linearised(const Circuit& c) {
  Circuit out = c;
  out.Device.BodyDiode = false;
  /* A linear capacitance is already the part "Coss": adding it again
     would double it. */
  if (!IsGradedCoss(c.Device)) return out;
  out.Device = DeviceModel{};
  AddDevice(out, LinearisedDevice(c.Device, c.Vcc));
  return out;
}

void DropLosses(Circuit& c) {
  for (CircuitPart& p : c.Parts)
    if (p.Kind != kResistor) p.SeriesLoss = p.ShuntLoss = 0.0;
}

void SetPartValue(Circuit& c, const std::string& name, double value) {
  CircuitPart* p = FindPart(c, name);
  assert(p != nullptr && value > 0.0);
  const double scale = value / p->Value;
  if (p->Kind == kCoil) p->SeriesLoss *= scale;
  if (p->Kind == kCapacitor) p->SeriesLoss /= scale;
  p->Value = value;
  p->Single = false;
}

const CircuitPart* FindPart(const Circuit& c, const std::string& name) {
  for (const CircuitPart& p : c.Parts)
    if (p.Name == name) return &p;
  return nullptr;
}

CircuitPart* FindPart(Circuit& c, const std::string& name) {
  for (CircuitPart& p : c.Parts)
    if (p.Name == name) return &p;
  return nullptr;
}

double LoadResistance(const Circuit& c) {
  return c.Parts[c.Load].Value;
}

double DisplayValue(const CircuitPart& p) {
  if (p.Kind == kCoil) return p.Value * 1e6;
  if (p.Kind == kCapacitor) return p.Value * 1e12;
  return p.Value;
}

const char* DisplayUnit(const CircuitPart& p) {
  if (p.Kind == kCoil) return "uH";
  if (p.Kind == kCapacitor) return "pF";
  return "ohm";
}

CircuitLosses LossesOf(const Circuit& c) {
  const double w = kTwoPi * c.DesignHz;
  CircuitLosses l{c.Qcap, 0.0, 0.0, 0.0};
  if (const CircuitPart* ls2 = FindPart(c, "Ls2"))
    l.CoilQ = ls2->SeriesLoss > 0.0 ? w * ls2->Value / ls2->SeriesLoss : 0.0;
  if (const CircuitPart* choke = FindPart(c, "Lp1")) {
    l.ChokeQ = choke->ShuntLoss > 0.0 ? choke->ShuntLoss / (w * choke->Value) : 0.0;
    l.ChokeRdc = choke->SeriesLoss;
  }
  return l;
}
