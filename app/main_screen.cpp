/*
** main_screen.cpp: the main design screen, block by block: inputs and
** device ratings, basic elements, EL match, element stresses, coil table,
** power balance and the two reference lines of the alternate topologies;
** last, above the menu, the lines that explain: a design whose losses
** exceed its power, and the notice of a refused entry.
*/
#include "app/main_screen.h"

#include "coils/coil_table.h"
#include "console/console.h"
#include "engine/power_estimate.h"

/* One line of an 80-column screen. */
static const char kLossesExceedPgen[] =
    "Losses exceed Pgen: by this estimate the design cannot deliver power";

static void PrintTopBlock(const DesignState& s) {
  ClearScreen();
  Print("                                        \n\n");
  Print("Freq-Mhz  Vdc    Ron   Pwatts    QL    QC      Rload\n");
  Print("%7.2f%7.1f%7.2f %7.1f%8.2f%6.2f%10.2f\n", s.Freq, s.Vcc, s.Ron, s.Power, s.QL, s.QC,
        s.Rload);
  Print("\n");
  Print("Pdc     Idc     Vpk    Safety  Dev-BV  Dev-Ipk  DevDiss\n");
  Print("%5.1f %5.2f%8.1f%8.1f%9.1f%8.2f%9.2f\n", s.Pdc, s.Idc, s.Vpk, s.Safety, s.DevBV, s.DevIpk,
        s.DevDiss);
  Print("\n");
  Print("Basic Class-E Element Values:\n");
  Print("QL      Lp1-uh    Cp1-pf   Ls2-uh     Cs2-pf    Ro ohms\n");
  Print("%4.2f%10.2f%10.1f%9.2f  %10.1f%10.2f\n", s.QL, s.Lp1, s.Cp1, s.Ls2, s.Cs2, s.Ro);
}

static void PrintMatchBlock(const DesignState& s) {
  if (s.MatchEL == kElNone) return;
  Print("\n");
  Print("EL-Matching network Basic-Ro %4.2f ohms to %4.2f ohms\n", s.Ro, s.Rload);
  if (s.MatchEL == kElStepUp)
    Print("Qmatch=%0.3f    Series Ls3= %0.3f uh   Shunt  Cp3= %0.1f pf\n", s.Qmatch, s.Ls3, s.Cp3);
  else
    Print("Qmatch=%0.3f    Shunt  Cp2= %0.1f pf   Series Ls3= %0.3f uh\n", s.Qmatch, s.Cp3, s.Ls3);
}

/* The EL columns stand in circuit order from the network to the load, so
   they swap with the arrangement. */
static void PrintStressBlock(const DesignState& s) {
  Print("\n");
  Print("Element Voltage and Current Estimate:(Includes EL-Match)\n");
  if (s.MatchEL == kElStepUp) {
    Print("          Lp1     Cp1     Cs2     Ls2     Ls3     Cp3     Rload\n");
    Print("VRMS  %8.2f%8.2f%8.2f%8.2f%8.2f%8.2f%8.2f \n", s.VLp1, s.VCp1, s.VCs2, s.VLs2, s.VLs3,
          s.VCp3, s.VRload);
    Print("IRMS  %8.2f%8.2f%8.2f%8.2f%8.2f%8.2f%8.2f \n", s.ILp1, s.ICp1, s.ICs2, s.ILs2, s.ILs3,
          s.ICp3, s.IRload);
  } else if (s.MatchEL == kElStepDown) {
    Print("          Lp1     Cp1     Cs2     Ls2     Cp3     Ls3      Rload\n");
    Print("VRMS  %8.2f%8.2f%8.2f%8.2f%8.2f%8.2f%8.2f \n", s.VLp1, s.VCp1, s.VCs2, s.VLs2, s.VCp3,
          s.VLs3, s.VRload);
    Print("IRMS  %8.2f%8.2f%8.2f%8.2f%8.2f%8.2f%8.2f \n", s.ILp1, s.ICp1, s.ICs2, s.ILs2, s.ICp3,
          s.ILs3, s.IRload);
  }
}

static void PrintPowerBlock(const DesignState& s) {
  const float deviceEff = DeviceEfficiency(s);
  Print("\n");
  Print("Pwr Out = %0.2f watts=Pgen[%0.2f]-Pcoils[%0.2f]-Pcaps[%0.2f]-Pdev[%0.2f]\n", s.PwrOut,
        s.Power, s.Pcoils, s.Pcaps, s.DevDiss);
  Print("Overall Eff.= %3.2f   Device Eff.= %3.2f   \n", s.OverallEff, deviceEff);
}

void PrintMainScreen(const DesignState& s) {
  PrintTopBlock(s);
  PrintMatchBlock(s);
  PrintStressBlock(s);
  if (s.MatchEL == kElStepUp) CoilTable(s, kCoilTableCombined);
  if (s.MatchEL == kElStepDown) CoilTable(s, kCoilTableSeparate);
  PrintPowerBlock(s);
  Print("\nPi-net reference (Ro=%0.2f ohms :  Cp2=%8.2f pf)\n", s.RoPiRef, s.Cp2PiRef);
  Print("Norton reference (Rt=%0.2f ohms)\n", s.Rt);
  /* Such a design is kept (its inputs are valid and every value prints),
     but its figures describe nothing that can be built. */
  if (LossesExceedPgen(s)) Print("%s\n", kLossesExceedPgen);
  if (s.Notice[0] != '\0') Print("%s\n", s.Notice);
}
