/*
** transformer_matching.cpp: BASIC and PINET networks behind an ideal
** transformer after Cp1, each matched to Rload by the EL rule.
**
** Cp1 stays on the device side.  Everything beyond the transformer is
** referred through it: inductances and resistances times the impedance
** ratio, capacitances divided by it.
*/
#include "topologies/transformer_matching.h"

#include "engine/el_match.h"
#include "engine/single_precision.h"

namespace {

/* The EL match from r to Rload; equal resistances need no network, and
   the page then shows the match as all zeros. */
int MatchToLoad(const DesignState& s, float r, float* q, float* lUh, float* cPf) {
  const int arrangement = ElMatchRule(r, s.Rload, s.FreqHz, q, lUh, cPf);
  if (arrangement == kElNone) {
    *q = 0.0f;
    *lUh = 0.0f;
    *cPf = 0.0f;
  }
  return arrangement;
}

}  // namespace

void ResetTurnsRatios(DesignState& s) {
  s.NTBAS = 1.0f;
  s.ZTBAS = 1.0f;
  s.NTPI = 1.0f;
  s.ZTPI = 1.0f;
}

void ComputeTransformerMatching(DesignState& s) {
  s.ZTBAS = F(double(s.NTBAS) * double(s.NTBAS));
  s.Ls2BAS = F(double(s.Ls2) * double(s.ZTBAS));
  s.Cs2BAS = F(double(s.Cs2) / double(s.ZTBAS));
  s.RoBAS = F(double(s.Ro) * double(s.ZTBAS));
  s.MatchBAS = MatchToLoad(s, s.RoBAS, &s.QmatchBAS, &s.LMBAS, &s.CMBAS);

  s.ZTPI = F(double(s.NTPI) * double(s.NTPI));
  s.Ls2PI = F(double(s.Ls2) * double(s.ZTPI));
  s.Cp2PI = F(double(s.Cp2PiRef) / double(s.ZTPI));
  s.RoPI = F(double(s.RoPiRef) * double(s.ZTPI));
  s.MatchPI = MatchToLoad(s, s.RoPI, &s.QmatchPI, &s.LMPI, &s.CMPI);
}
