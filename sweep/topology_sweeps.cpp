/*
** topology_sweeps.cpp: the impedance the switching device sees, and the
** power it would deliver, for six output-network variants over the sweep.
**
** The six variants are one family.  Each is a ladder of reactive elements
** listed from the load to the device (optional EL match, then the network
** itself, ending with the series Ls2), behind one of three loads: the
** network's own resistance, Rload, or the Tchebychev filter.  One walker
** carries the impedance up the ladder, holding it in series form across
** series elements and in parallel form across shunt ones; one set of
** closing steps refers it through the transformer, adds Cp1 and turns the
** column into power and harmonic figures.
*/
#include "sweep/topology_sweeps.h"

#include <cassert>
#include <cmath>

#include "engine/single_precision.h"
#include "sweep/impedance.h"

namespace {

enum Placement { kSeries, kShunt };
enum Part { kCapacitor, kInductor };

/* Where the ladder starts.  A plain resistance is combined with the first
   element directly.  The filter is taken in the form the first element
   needs; without a match in front of it, it is always taken in series
   form and converted afresh, as a shunt element requires. */
enum Load { kLoadResistance, kLoadFilter, kLoadFilterSeries };

struct Element {
  Placement placement;
  Part part;
  float value; /* pF or uH */
};

enum { kMaxElements = 4 };

struct Ladder {
  Load load;
  float r;  /* the resistance, for kLoadResistance */
  float zt; /* impedance ratio of the transformer after Cp1 */
  int count;
  Element e[kMaxElements];
};

void Add(Ladder& l, Placement placement, Part part, float value) {
  assert(l.count < kMaxElements);
  l.e[l.count].placement = placement;
  l.e[l.count].part = part;
  l.e[l.count].value = value;
  l.count++;
}

/* The EL match seen from the load: a step up puts the shunt C across the
   load and the series L next to the network, a step down the other way
   round, kElNone has no network. */
void AddMatch(Ladder& l, int match, float lmUh, float cmPf) {
  assert(IsElArrangement(match));
  if (match == kElStepUp) {
    Add(l, kShunt, kCapacitor, cmPf);
    Add(l, kSeries, kInductor, lmUh);
  } else if (match == kElStepDown) {
    Add(l, kSeries, kInductor, lmUh);
    Add(l, kShunt, kCapacitor, cmPf);
  }
}

enum Network { kBasic, kPinet };
enum Termination { kOwnResistance, kMatchedLoad, kMatchedFilter };

Ladder BuildLadder(const DesignState& s, Network net, Termination term) {
  const bool basic = net == kBasic;
  const int match = basic ? s.MatchBAS : s.MatchPI;
  Ladder l{};
  l.zt = basic ? s.ZTBAS : s.ZTPI;
  l.load = kLoadResistance;
  l.r = basic ? s.RoBAS : s.RoPI;
  if (term == kMatchedLoad) {
    /* Without a match the network's resistance equals Rload exactly. */
    l.r = s.Rload;
  } else if (term == kMatchedFilter) {
    l.load = match == kElNone ? kLoadFilterSeries : kLoadFilter;
  }
  if (term != kOwnResistance) {
    if (basic)
      AddMatch(l, match, s.LMBAS, s.CMBAS);
    else
      AddMatch(l, match, s.LMPI, s.CMPI);
  }
  if (basic)
    Add(l, kSeries, kCapacitor, s.Cs2BAS);
  else
    Add(l, kShunt, kCapacitor, s.Cp2PI);
  Add(l, kSeries, kInductor, basic ? s.Ls2BAS : s.Ls2PI);
  return l;
}

float Reactance(const Element& e, float w) {
  return e.part == kCapacitor ? CapReactance(e.value, w) : IndReactance(e.value, w);
}

/* The impedance being carried up the ladder, in the form of the element
   it last crossed. */
struct Carried {
  Placement form;
  ImpedancePair z;
};

/* Across one element: add a series reactance to x, or a shunt one in
   parallel to xp, converting first when the form changes. */
void Cross(Carried& c, const Element& e, float w) {
  const float x = Reactance(e, w);
  if (e.placement == kSeries) {
    if (c.form == kShunt) c.z = ParallelToSeries(c.z.r, c.z.x);
    c.z.x = F(double(c.z.x) + double(x));
  } else {
    if (c.form == kSeries) c.z = SeriesToParallel(c.z.r, c.z.x, kNetworkGuard);
    c.z.x = ParallelReactance(c.z.x, x);
  }
  c.form = e.placement;
}

/* The ladder's impedance at point k, in series form after its last
   (series) element. */
ImpedancePair Walk(const DesignState& s, const Ladder& l, int k) {
  const float w = s.SweepOmega[k];
  Carried c;
  int first = 0;
  if (l.load == kLoadResistance) {
    c.form = l.e[0].placement;
    c.z.r = l.r;
    c.z.x = Reactance(l.e[0], w);
    first = 1;
  } else {
    c.form = l.load == kLoadFilterSeries ? kSeries : l.e[0].placement;
    c.z.r = c.form == kSeries ? s.FilterRs[k] : s.FilterRp[k];
    c.z.x = c.form == kSeries ? s.FilterXs[k] : s.FilterXp[k];
  }
  for (int i = first; i < l.count; i++) Cross(c, l.e[i], w);
  return c.z;
}

/* Refer the ladder to the device side of the transformer and put Cp1
   across it. */
void Close(const DesignState& s, const Ladder& l, int k, ImpedancePair z, SweepColumn& col) {
  ImpedancePair p = SeriesToParallel(z.r, z.x, kNetworkGuard);
  p.r = F(double(p.r) / double(l.zt));
  p.x = F(double(p.x) / double(l.zt));
  p.x = ParallelReactance(p.x, CapReactance(s.Cp1, s.SweepOmega[k]));
  col.Rp[k] = p.r;
  col.Xp[k] = p.x;
}

/* Power scales with the BASIC design-frequency resistance over the
   point's resistance; the reactance plays no part. */
void ClosePowerFigures(const DesignState& s, SweepColumn& col) {
  const float rpRef = s.SweepBAS.Rp[kSweepDesignPoint];
  for (int k = 0; k < kSweepPoints; k++)
    col.Pwr[k] = F(double(s.Power) * double(rpRef) / double(col.Rp[k]));
  col.Db2xFo = F(10.0 * std::log10(double(rpRef) / double(col.Rp[kSweep2Fo])));
  col.Db3xFo = F(10.0 * std::log10(double(rpRef) / double(col.Rp[kSweep3Fo])));
}

/* Whether the BASIC column holds, at the design frequency, what the
   design gives now: every other column's power is scaled by it. */
[[maybe_unused]] bool BasicColumnIsCurrent(const DesignState& s) {
  const Ladder l = BuildLadder(s, kBasic, kOwnResistance);
  SweepColumn now;
  Close(s, l, kSweepDesignPoint, Walk(s, l, kSweepDesignPoint), now);
  const float a = now.Rp[kSweepDesignPoint], b = s.SweepBAS.Rp[kSweepDesignPoint];
  return a == b || (std::isnan(a) && std::isnan(b));
}

void Sweep(DesignState& s, Network net, Termination term, SweepColumn& col) {
  const Ladder l = BuildLadder(s, net, term);
  assert(&col == &s.SweepBAS || BasicColumnIsCurrent(s)); /* BASIC first */
  for (int k = 0; k < kSweepPoints; k++) Close(s, l, k, Walk(s, l, k), col);
  ClosePowerFigures(s, col);
}

}  // namespace

void ComputeSweepBAS(DesignState& s) {
  Sweep(s, kBasic, kOwnResistance, s.SweepBAS);
}
void ComputeSweepBASEL(DesignState& s) {
  Sweep(s, kBasic, kMatchedLoad, s.SweepBASEL);
}
void ComputeSweepBASELTCH(DesignState& s) {
  Sweep(s, kBasic, kMatchedFilter, s.SweepBASELTCH);
}
void ComputeSweepPI(DesignState& s) {
  Sweep(s, kPinet, kOwnResistance, s.SweepPI);
}
void ComputeSweepPIEL(DesignState& s) {
  Sweep(s, kPinet, kMatchedLoad, s.SweepPIEL);
}
void ComputeSweepPIELTCH(DesignState& s) {
  Sweep(s, kPinet, kMatchedFilter, s.SweepPIELTCH);
}

void ComputeAllSweeps(DesignState& s) {
  ComputeSweepBAS(s);
  ComputeSweepBASEL(s);
  ComputeSweepBASELTCH(s);
  ComputeSweepPI(s);
  ComputeSweepPIEL(s);
  ComputeSweepPIELTCH(s);
}
