/*
** sweep_reference.h: what the sweep tests measure against.
**
** FillNetworksByHand sets the values the sweep reads from the other
** modules (transformer-referred networks, EL matches, filter, trap, coil
** Q) from the basic design, written here from circuit theory: an L match
** has Q = sqrt(Rhigh / Rlow - 1), a series reactance Rlow x Q and a
** shunt reactance Rhigh / Q; the filter is the 0.4 dB prototype
** (1.491, 1.118, 1.491) scaled to Rload and 1.1548556 x Fo; the trap is
** three quarters of Cpout tuned to 2 Fo.
**
** The Ref* functions compute the same circuits directly with complex
** arithmetic: series elements add impedance, shunt elements add
** admittance.  They share nothing with the program's ladder walker.
*/
#ifndef TOLVARIN_TESTS_SWEEP_REFERENCE_H
#define TOLVARIN_TESTS_SWEEP_REFERENCE_H

#include <cmath>
#include <complex>

#include "app/design_state.h"

namespace sweepref {

using Z = std::complex<double>;

const double kPi2 = 2.0 * M_PI;

inline float F(double v) {
  return static_cast<float>(v);
}

/* L match from r to rload at angular frequency w: arrangement, LM (uH),
   CM (pF). */
inline int Match(double r, double rload, double w, float* lm, float* cm) {
  if (rload == r) {
    *lm = *cm = 0.0f;
    return 0;
  }
  const double lo = rload < r ? rload : r, hi = rload < r ? r : rload;
  const double q = std::sqrt(hi / lo - 1.0);
  *lm = F(lo * q / w * 1e6);
  *cm = F(q / (hi * w) * 1e12);
  return rload > r ? 1 : 2;
}

/* The other modules' values for the turns ratios nb and np and a coil Q
   of qu on every coil; s must hold a computed basic design. */
inline void FillNetworksByHand(DesignState& s, double nb, double np, double qu) {
  const double w = kPi2 * double(s.Freq) * 1e6;
  s.NTBAS = F(nb);
  s.ZTBAS = F(nb * nb);
  s.Ls2BAS = F(double(s.Ls2) * nb * nb);
  s.Cs2BAS = F(double(s.Cs2) / (nb * nb));
  s.RoBAS = F(double(s.Ro) * nb * nb);
  s.MatchBAS = Match(s.RoBAS, s.Rload, w, &s.LMBAS, &s.CMBAS);
  s.NTPI = F(np);
  s.ZTPI = F(np * np);
  s.Ls2PI = F(double(s.Ls2) * np * np);
  s.Cp2PI = F(double(s.Cp2PiRef) / (np * np));
  s.RoPI = F(double(s.RoPiRef) * np * np);
  s.MatchPI = Match(s.RoPI, s.Rload, w, &s.LMPI, &s.CMPI);
  const double wc = w * 1.1548556;
  s.Cpin = F(1.491 / (double(s.Rload) * wc) * 1e12);
  s.Cpout = s.Cpin;
  s.LsTCH = F(double(s.Rload) * 1.118 / wc * 1e6);
  s.CsTrap = F(0.75 * double(s.Cpout));
  s.LsTrap = F(1.0 / (4.0 * w * w * double(s.CsTrap) * 1e-12) * 1e6);
  for (CoilRecord& c : s.Coils) c.Qu = F(qu);
}

inline Z Cap(double pf, double w) {
  return 1.0 / Z(0.0, w * pf * 1e-12);
}
inline Z Ind(double uh, double w) {
  return Z(0.0, w * uh * 1e-6);
}
inline Z Par(Z a, Z b) {
  return 1.0 / (1.0 / a + 1.0 / b);
}

inline double TrapQ(const DesignState& s) {
  if (s.MatchEL == 1) return s.Coils[kLs2PlusLs3].Qu;
  if (s.MatchEL == 2) return s.Coils[kMatchLs3].Qu;
  return s.Coils[kTuneLs2].Qu;
}

/* Input impedance of the filter terminated in Rload at point k. */
inline Z RefFilter(const DesignState& s, int notch, int k) {
  const double w = s.SweepOmega[k];
  Z end = Cap(s.Cpout, w);
  if (notch) {
    const Z xl = Ind(s.LsTrap, w);
    end = xl.imag() / TrapQ(s) + xl + Cap(s.CsTrap, w);
  }
  const Z z = Par(double(s.Rload), end) + Ind(s.LsTCH, w);
  return Par(z, Cap(s.Cpin, w));
}

enum Variant { kBas, kBasEl, kBasElTch, kPi, kPiEl, kPiElTch };

/* Impedance seen by the device at point k, Cp1 included.  openStandIn
   models the one deliberate departure from exact arithmetic: when the
   series L and shunt C of an arrangement-2 match resonate exactly in
   single precision, the program stands 1e6 ohm in for the open circuit
   their parallel combination would be. */
inline Z RefDevice(const DesignState& s, Variant v, int notch, int k, bool openStandIn = false) {
  const double w = s.SweepOmega[k];
  const bool basic = v <= kBasElTch;
  const int match = basic ? s.MatchBAS : s.MatchPI;
  const double lm = basic ? s.LMBAS : s.LMPI, cm = basic ? s.CMBAS : s.CMPI;
  Z z;
  if (v == kBas) z = double(s.RoBAS);
  if (v == kPi) z = double(s.RoPI);
  if (v == kBasEl || v == kPiEl) z = double(s.Rload);
  if (v == kBasElTch || v == kPiElTch) z = RefFilter(s, notch, k);
  if (v != kBas && v != kPi) {
    if (match == 1) z = Par(z, Cap(cm, w)) + Ind(lm, w);
    if (match == 2 && !openStandIn) z = Par(z + Ind(lm, w), Cap(cm, w));
    if (match == 2 && openStandIn) {
      z = z + Ind(lm, w);
      z = Par(std::norm(z) / z.real(), Z(0.0, 1e6));
    }
  }
  if (basic)
    z = z + Cap(s.Cs2BAS, w) + Ind(s.Ls2BAS, w);
  else
    z = Par(z, Cap(s.Cp2PI, w)) + Ind(s.Ls2PI, w);
  z /= basic ? double(s.ZTBAS) : double(s.ZTPI);
  return Par(z, Cap(s.Cp1, w));
}

/* The impedance of a series pair and of a parallel pair. */
inline Z Series(double r, double x) {
  return Z(r, x);
}
inline Z Parallel(double rp, double xp) {
  return 1.0 / Z(1.0 / rp, -1.0 / xp);
}

/* Distance of got from want, relative to the size of want. */
inline double Off(Z got, Z want) {
  return std::abs(got - want) / std::abs(want);
}

/* Parallel form of z: Rp = 1 / G, Xp = -1 / B. */
inline double ParallelR(Z z) {
  return 1.0 / (1.0 / z).real();
}
inline double ParallelX(Z z) {
  return -1.0 / (1.0 / z).imag();
}

}  // namespace sweepref

#endif
