/*
** basic_synthesis.cpp: the class-E output network (shunt Cp1, series Ls2
** and Cs2 into Ro) from closed-form design equations whose correction
** factors are polynomials in 1/QL.  The supply enters in full: no
** saturation voltage is subtracted.
**
** Every named result is stored as float before the next formula reads it;
** the arithmetic between stores is double.
*/
#include "engine/basic_synthesis.h"

#include "engine/single_precision.h"

void SynthesizeBasic(DesignState& s) {
  const double qL = s.QL;
  s.FreqHz = F(double(s.Freq) * 1000000.0);
  s.Vpk = F(3.56 * double(s.Vcc));
  s.DevBV = F(double(s.Vpk) / double(s.Safety));

  const float a = F(double(s.Vcc) * double(s.Vcc) / double(s.Power));
  const float k = F((1.001245 - 0.451759 / qL) - 0.402444 / (qL * qL));
  s.Ro = F(double(a) * 0.576801 * double(k));

  const double freqHz = s.FreqHz;
  const double ro = s.Ro;
  s.Ls2 = F(qL * ro / (kTwoPi * freqHz)); /* henries */
  s.Ls2 = F(double(s.Ls2) * 1000000.0);   /* uH */

  s.Cp1 = F(1.0 / (34.2219 * freqHz * ro)); /* farads */
  s.Cp1 = F((0.91424 / qL + 0.99866 - 1.03175 / (qL * qL)) * double(s.Cp1));
  s.Cp1 = F(double(s.Cp1) * 1e12); /* pF */

  s.Cs2 = F(1.0 / (kTwoPi * freqHz * ro)); /* farads */
  s.Cs2 = F(double(s.Cs2) / (qL - 0.104823));
  s.Cs2 = F((1.01468 / (qL - 1.7879) + 1.00121) * double(s.Cs2));
  s.Cs2 = F(double(s.Cs2) * 1e12); /* pF */

  const float x = F(1.0 / (kTwoPi * freqHz * double(s.Cs2) * 1e-12)); /* reactance of Cs2 */
  s.QC = F(double(x) / ro);

  /* Series Cs2 + Ro as its parallel equivalent at the design frequency:
     the pi-net reference. */
  const double qc = s.QC;
  s.RoPiRef = F((qc * qc + 1.0) * ro);
  s.Cp2PiRef = F(qc * qc * double(s.Cs2) / (qc * qc + 1.0));
}
