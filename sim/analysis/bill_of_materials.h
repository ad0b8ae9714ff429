/*
** bill_of_materials.h: every physical part of a circuit as one row: its
** value, what to buy or wind, and the stress it carries in the steady
** state at the design frequency.
*/
#ifndef TOLVARIN_SIM_ANALYSIS_BILL_OF_MATERIALS_H
#define TOLVARIN_SIM_ANALYSIS_BILL_OF_MATERIALS_H

#include <string>
#include <vector>

#include "app/design_state.h"
#include "sim/analysis/part_stress.h"
#include "sim/circuit/circuit.h"
#include "sim/design/e24.h"
#include "sim/design/parts_build.h"
#include "sim/design/toroid_winding.h"

enum BomKind { kBomCapacitor = 0, kBomCoil, kBomChoke };

/* A capacitor's voltage rating is the smallest standard one at or above
   this many times its peak voltage. */
extern const double kRatingMargin;

struct BomRow {
  std::string
      Name; /* as the circuit and the report name it; "Ls2+LM" for one coil wound for both */
  BomKind Kind;
  double Value;           /* pF or uH, as the circuit holds it */
  E24Choice Parts;        /* a capacitor: what to buy */
  double Vpk;             /* V: peak across it */
  double Irms;            /* A: RMS through it, DC included */
  double Pdiss;           /* W: what its loss takes */
  double Q;               /* at the design frequency, from the loss the circuit gives it */
  double RatingV;         /* a capacitor: the rating to buy; 0 when above every standard one */
  const char* Dielectric; /* a capacitor's */
  CoilRecord Coil;        /* a coil: wound by the calculator's coil model; Nturns 0 for none */
  ToroidWinding Toroid;   /* a coil on a toroid: its core, turns and wire */
  bool OnToroid = false;  /* wound on a toroid (Toroid.Core -1: no listed core takes it) */
  bool Bought = false;    /* the choke is bought: ChokeRdc and Q are its datasheet's */
  double ChokeRdc;        /* the choke's DC resistance, ohm */
};

/* What the coils of a bill of materials are: wound as the choice asks,
   the choke bought when --choke-rdc or --choke-q gave its figures. */
struct BomCoils {
  CoilChoice Choice{};
  bool BoughtChoke = false;
};

/* "capacitor", "coil", "choke". */
const char* BomKindName(int kind);

/* The rows of circuit c of design s in its steady state r at the design
   frequency: every coil and capacitor but the device's own capacitance,
   in circuit order, capacitors from the series, or as `chosen` (a
   build's choice, when given) has them, coils as `coils` asks, each
   toroid's wire sized for the RMS current the steady state gives it.
   Failed when r gives no stresses. */
Status BuildBom(const Circuit& c, const SimResult& r, const DesignState& s, int series,
                std::vector<BomRow>& out, const std::vector<BuiltCapacitor>* chosen = nullptr,
                const BomCoils& coils = BomCoils{});

/* The smallest standard voltage rating at or above volts, 0 when none is. */
double StandardRating(double volts);

#endif
