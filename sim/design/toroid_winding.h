/*
** toroid_winding.h: a coil wound on a toroid core: the core chosen for
** the frequency and the wire, whole turns from the core's AL, the wire
** gauge from the current it carries, and the Q and DC resistance the
** built circuit gives it.
*/
#ifndef TOLVARIN_SIM_DESIGN_TOROID_WINDING_H
#define TOLVARIN_SIM_DESIGN_TOROID_WINDING_H

#include "sim/design/toroid_cores.h"

/* What the coils are wound on (--coils). */
enum CoilsOn { kCoilsAir = 0, kCoilsToroid, kCoilsOnCount };

struct CoilChoice {
  int On = kCoilsAir; /* CoilsOn */
  int Core = -1;      /* every coil on this row of kToroidCores (--core); -1: chosen a coil */
  double Q = 0.0;     /* a toroid coil's Q (--coil-q); 0: kDefaultToroidQ */
};

/* A toroid coil's Q when --coil-q gives none.  The references give no Q
   figure for any material and band, so this is the program's own
   default, a conservative one for iron powder at HF. */
extern const double kDefaultToroidQ;

/* Current density the wire gauge is sized for, A per mm^2 of copper: a
   common rule for windings cooled by air, not a published limit. */
extern const double kAmpsPerMm2;

struct ToroidWinding {
  int Core = -1;         /* row of kToroidCores; -1: no listed core takes the wire */
  bool Fits = false;     /* the turns fit one layer on the core's inner circumference */
  bool Forced = false;   /* the core is --core's */
  int Turns = 0;         /* whole turns */
  int Gauge = 0;         /* AWG */
  double WireMm = 0.0;   /* bare diameter */
  double Uh = 0.0;       /* as wound: AL N^2 */
  double Q = 0.0;        /* at the design frequency */
  bool QDefault = false; /* Q is kDefaultToroidQ, not --coil-q's */
  double RdcOhm = 0.0;   /* copper at 20 degC */
};

/* "air", "toroid", and the value of a name (-1 for none). */
const char* CoilsOnName(int on);
int CoilsOnByName(const char* name);

/* Whole turns that give uh on core c (at least one). */
int TurnsFor(const ToroidCore& c, double uh);

/* The finest gauge from AWG 0 to AWG kFinestGauge whose copper carries
   amps at kAmpsPerMm2; -1 when even AWG 0 is too thin. */
int GaugeForAmps(double amps);

/* True when `turns` of AWG gauge lie side by side on the core's inner
   circumference. */
bool WireFits(const ToroidCore& c, int turns, int gauge);

/* The coil of uh carrying amps RMS (DC included) at mhz wound as the
   choice asks: on its core, or on the smallest listed core whose
   material is for mhz and takes the wire in one layer. */
void WindToroid(double uh, double mhz, double amps, const CoilChoice& choice, ToroidWinding& out);

/* +/- % a toroid coil's inductance may be off: its core's AL tolerance,
   the largest of the cores the choice may take. */
double ToroidTolerancePct(const CoilChoice& choice);

#endif
