/*
** alternate_page.cpp: the page of alternate topologies: the BASIC and
** PINET networks behind their transformers with their EL matches, the
** separate Tchebychev filter with its trap, and the Norton transform.
**
** It is the one place where the two turns ratios are entered.  A ratio
** is kept within 0.2 to 5.0; a ratio under which this page would print a
** value that is not finite (an extreme design) is refused and the old
** ratio stays.
*/
#include "topologies/alternate_page.h"

#include "app/design_trial.h"
#include "console/console.h"
#include "topologies/norton.h"
#include "topologies/transformer_matching.h"

namespace {

/* One EL-match line: the elements named in the order they stand from the
   network towards the load. */
void PrintMatchLine(int arrangement, float q, float lUh, float cPf) {
  if (arrangement == kElStepDown)
    Print("   Qmatch=%0.3f   Shunt  CM= %0.1f pf  Series LM= %0.3f uh\n", q, cPf, lUh);
  else
    Print("   Qmatch=%0.3f   Series LM= %0.3f uh  Shunt  CM= %0.1f pf\n", q, lUh, cPf);
}

void PrintBasic(const DesignState& s) {
  Print("\n(1)BASIC Class-E Element Values: \n");
  Print("   Cp1-pf    NT    ZT    Ls2-uh     Cs2-pf    Ro ohms\n");
  Print("%8.1f  %6.2f%6.2f%10.2f%10.1f%10.2f\n", s.Cp1, s.NTBAS, s.ZTBAS, s.Ls2BAS, s.Cs2BAS,
        s.RoBAS);
  Print("\n(1a)BASIC EL-Matching network-Ro %4.2f ohms to %4.2f ohms\n", s.RoBAS, s.Rload);
  Print("   For Ro and RL within 5%% of each other,the matching network is not needed.\n");
  PrintMatchLine(s.MatchBAS, s.QmatchBAS, s.LMBAS, s.CMBAS);
  Print("\n");
}

void PrintPinet(const DesignState& s) {
  Print("\n(2)PINET Element Values for Alternate topology:(Cs2 to Cp2 conversion)\n");
  Print("   Cp1-pf    NT    ZT    Ls2-uh    Cp2-pf     Ro ohms\n");
  Print("%8.1f  %6.2f%6.2f%10.2f%10.1f%10.2f\n", s.Cp1, s.NTPI, s.ZTPI, s.Ls2PI, s.Cp2PI, s.RoPI);
  Print("\n");
  Print("(2a)PINET EL-Matching network-Ro %4.2f ohms to %4.2f ohms\n", s.RoPI, s.Rload);
  Print("   For Ro and RL within 5%% of each other,the matching network is not needed.\n");
  PrintMatchLine(s.MatchPI, s.QmatchPI, s.LMPI, s.CMPI);
  Print("\n");
}

void PrintFilter(const DesignState& s) {
  Print("\n(3)Separate Tchebychev filter (LPF):\n");
  Print("  Cpin-pf     Ls-uhy      Cpout-pf    RL-ohms\n");
  Print("%8.1f   %8.3f   %10.1f   %8.2f\n", s.Cpin, s.LsTCH, s.Cpout, s.Rload);
  Print("\n(3a)Tchebychev filter Cp-out Conversion:\n");
  Print("   Replace the Cp-out cap (%0.1f-pf) with a series (Ls+Cs)trap to ground.\n", s.Cpout);
  Print("   Second harmonic suppression will improve by approx 20 db.\n");
  Print("   The filter impedance at Fo=%0.3f mhz is unchanged.\n", s.Freq);
  Print("   Ls=%0.3f uhy       Cs=%0.1f pf\n\n", s.LsTrap, s.CsTrap);
}

void PrintNorton(const DesignState& s) {
  Print("\n(4)Norton transform of 'BASIC' circuit into adjacent Cs1 and Cp2\n");
  Print("   [Occasional use for devices with low Cdev]\n");
  Print("  Cs1-pf    Cp2-pf      Ls2-uhy    Rt-ohms\n");
  Print(" %6.1f    %6.1f     %6.3f     %6.2f\n", s.Cs1, s.Cp2N, s.Ls2N, s.Rt);
}

void DrawPage(DesignState& s, const char* notice) {
  ClearScreen();
  Print("ALTERNATE TOPOLOGIES: Q=%0.2f  V=%0.1f volts  P=%0.1f watts  Fo=%0.2f mhz\n", s.QL, s.Vcc,
        s.Power, s.Freq);
  PrintBasic(s);
  PrintPinet(s);
  PrintFilter(s);
  ComputeNortonTransform(s);
  PrintNorton(s);
  Print(
      "\nPress <B> or <P> to change BASIC or PINET Turns Ratio.\n"
      "Any other key to exit Alternate topology....\n");
  if (notice) Print("%s\n", notice);
}

/* 0.2 to 5.0, both limits accepted; "not at least 0.2" also catches a
   value that compares with nothing. */
float ClampTurnsRatio(float v) {
  if (!(v >= 0.2f)) return 0.2f;
  if (v > 5.0f) return 5.0f;
  return v;
}

/* Prompt, number, one more key, clamp, recompute.  Returns
   false when the ratio was refused and the old one kept. */
bool EnterTurnsRatio(DesignState& s, float DesignState::*ratio, const char* prompt) {
  Print(prompt, double(s.*ratio));
  float v = s.*ratio;
  ReadNumber(&v);
  /* The typed ratio stays on screen under the page (page, prompt and
     entry fit the console together) until one more key is pressed; only
     then is the page drawn anew.  That key does nothing else, but it is
     always read: every scripted session that enters a ratio carries it. */
  ReadKey();
  DesignTrial trial(s);
  trial.Design().*ratio = ClampTurnsRatio(v);
  ComputeTransformerMatching(trial.Design());
  if (!trial.PrintsFinite()) return false;
  trial.TakeInto(s);
  return true;
}

}  // namespace

int ShowAlternatePage(DesignState& s) {
  const char* notice = nullptr;
  for (;;) {
    DrawPage(s, notice);
    notice = nullptr;
    const int key = ReadKey();
    float DesignState::*ratio = nullptr;
    const char* prompt = nullptr;
    if (key == 'B' || key == 'b') {
      ratio = &DesignState::NTBAS;
      prompt = "Enter BASIC turns ratio <%f> ...\n";
    } else if (key == 'P' || key == 'p') {
      ratio = &DesignState::NTPI;
      prompt = "Enter PINET turns ratio <%f> ...\n";
    } else {
      return key;
    }
    if (!EnterTurnsRatio(s, ratio, prompt))
      notice = "Turns ratio refused: this design would overflow single precision with it";
  }
}
