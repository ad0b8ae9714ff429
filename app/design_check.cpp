/*
** design_check.cpp: the list of every value the screens print, each
** checked for being finite.  A value added to a screen belongs here too.
*/
#include "app/design_check.h"

#include <cmath>
#include <initializer_list>

#include "app/design_trial.h"
#include "engine/power_estimate.h"
#include "sweep/sweep_plan.h"
#include "sweep/topology_sweeps.h"

static bool AllFinite(std::initializer_list<float> values) {
  for (float v : values)
    if (!std::isfinite(v)) return false;
  return true;
}

static bool CoilPrintsFinite(const CoilRecord& c) {
  return AllFinite({c.Uhy, c.Dia, c.Len, c.Nturns, c.Qu, c.Rac, c.Rdc, c.Pdiss});
}

static bool MainScreenPrintsFinite(const DesignState& s) {
  const float deviceEff = DeviceEfficiency(s);
  if (!AllFinite({s.Freq,  s.Vcc,        s.Ron,     s.Power,   s.QL,       s.QC,     s.Rload,
                  s.Pdc,   s.Idc,        s.Vpk,     s.Safety,  s.DevBV,    s.DevIpk, s.DevDiss,
                  s.Lp1,   s.Cp1,        s.Ls2,     s.Cs2,     s.Ro,       s.PwrOut, s.Pcoils,
                  s.Pcaps, s.OverallEff, deviceEff, s.RoPiRef, s.Cp2PiRef, s.Rt}))
    return false;
  if (s.MatchEL == kElNone) return true;
  if (!AllFinite({s.Qmatch, s.Ls3, s.Cp3, s.VLp1, s.VCp1, s.VCs2, s.VLs2, s.VLs3, s.VCp3, s.VRload,
                  s.ILp1, s.ICp1, s.ICs2, s.ILs2, s.ILs3, s.ICp3, s.IRload}))
    return false;
  if (!CoilPrintsFinite(s.Coils[kChokeLp1])) return false;
  if (s.MatchEL == kElStepUp) return CoilPrintsFinite(s.Coils[kLs2PlusLs3]);
  return CoilPrintsFinite(s.Coils[kTuneLs2]) && CoilPrintsFinite(s.Coils[kMatchLs3]);
}

/* The turns ratios only enter the BASIC and PINET rows and matches. */
static bool AlternatePagePrintsFinite(const DesignState& s) {
  if (!AllFinite({s.NTBAS, s.ZTBAS, s.Ls2BAS, s.Cs2BAS, s.RoBAS, s.QmatchBAS, s.LMBAS, s.CMBAS}))
    return false;
  if (!AllFinite({s.NTPI, s.ZTPI, s.Ls2PI, s.Cp2PI, s.RoPI, s.QmatchPI, s.LMPI, s.CMPI}))
    return false;
  return AllFinite({s.Cpin, s.LsTCH, s.Cpout, s.LsTrap, s.CsTrap, s.Cs1, s.Cp2N, s.Ls2N});
}

static bool ColumnPrintsFinite(const SweepColumn& c) {
  for (int k = 0; k < kSweep3Fo; k++) /* point 24 has no row */
    if (!AllFinite({c.Rp[k], c.Xp[k], c.Pwr[k]})) return false;
  return AllFinite({c.Db2xFo, c.Db3xFo});
}

static bool SweepColumnsPrintFinite(DesignState& t) {
  ComputeAllSweeps(t);
  for (const SweepColumn* c :
       {&t.SweepBAS, &t.SweepBASEL, &t.SweepBASELTCH, &t.SweepPI, &t.SweepPIEL, &t.SweepPIELTCH})
    if (!ColumnPrintsFinite(*c)) return false;
  return true;
}

/* The sweep pages as they could be shown: with the filter response as it
   stands, and after N with either notch setting and the coil Q of now.
   An extreme impedance step overflows the swept resistances long before
   any printed element value does. */
static bool SweepPagesPrintFinite(const DesignState& s) {
  DesignTrial trial(s); /* never taken: the pages sweep afresh */
  DesignState& t = trial.Design();
  if (!SweepColumnsPrintFinite(t)) return false;
  for (int notch = 0; notch < 2; notch++) {
    ComputeFilterResponse(t, notch);
    if (!SweepColumnsPrintFinite(t)) return false;
  }
  return true;
}

bool DesignPrintsFinite(const DesignState& s) {
  return MainScreenPrintsFinite(s) && AlternatePagePrintsFinite(s) && SweepPagesPrintFinite(s);
}
