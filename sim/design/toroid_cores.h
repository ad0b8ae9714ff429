/*
** toroid_cores.h: the toroid cores a coil can be wound on, one row a
** core, and the materials they are pressed from, one row a material:
** the inductance index AL as the makers publish it, the size, the band
** the material is for and how far its AL may be off.
*/
#ifndef TOLVARIN_SIM_DESIGN_TOROID_CORES_H
#define TOLVARIN_SIM_DESIGN_TOROID_CORES_H

#include <string>

enum CoreKind { kIronPowder = 0, kFerrite };

struct ToroidMaterial {
  const char* Name; /* "mix 2" */
  CoreKind Kind;
  double NhPerAl; /* nH per turn squared of one unit of the published AL */
  double LowMHz;  /* the band it is for; 0 and 0: none published, chosen only by --core */
  double HighMHz;
  double AlTolPct;     /* +/- % the maker allows its AL */
  const char* TolNote; /* where AlTolPct comes from */
};

struct ToroidCore {
  const char* Name; /* "T-50-2" */
  int Material;     /* row of kToroidMaterials */
  double Al;        /* as published: uH per 100 turns (iron powder), mH per 1000 turns (ferrite) */
  double OdMm, IdMm, HeightMm;
};

extern const ToroidMaterial kToroidMaterials[];
extern const int kToroidMaterialCount;
extern const ToroidCore kToroidCores[];
extern const int kToroidCoreCount;

/* The row of the core named `name` ("T-50-2"), or -1. */
int CoreByName(const std::string& name);

/* "T-37-2, T-37-6, ...", for the help and the errors. */
std::string CoreNameList();

/* The core's AL in nH per turn squared. */
double AlNh(const ToroidCore& c);

/* True when the core's material is for frequency mhz. */
bool CoreCovers(const ToroidCore& c, double mhz);

#endif
