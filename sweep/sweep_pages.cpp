/*
** sweep_pages.cpp: the power estimate: the BASIC page, then the PINET
** page, each a table of Rp, Xp and Pwr of three variants of one network
** over the sweep, with the harmonic figures below it.
**
** N on either page flips the second-harmonic trap of the filter and shows
** that page again; the setting outlives the visit.  The two pages differ
** only in their head, their columns and the PINET mismatch caution, so
** each prints its own head and both share the table printer.
*/
#include "sweep/sweep_pages.h"

#include "console/console.h"
#include "engine/single_precision.h"
#include "sweep/sweep_plan.h"
#include "sweep/topology_sweeps.h"

namespace {

/* The three columns of one page, left to right. */
struct PageColumns {
  const SweepColumn* col[3];
};

const char* NotchText(const DesignState& s) {
  return s.TchNotch == 1 ? "is USED" : "is NOT USED";
}

/* What follows the design-frequency row of the PINET page: a caution
   when the filter-terminated pi-net is off the BASIC resistance by 4 %
   or more, otherwise the empty line. */
const char* PinetMismatchLine(const DesignState& s) {
  const float ratio =
      F(double(s.SweepBAS.Rp[kSweepDesignPoint]) / double(s.SweepPIELTCH.Rp[kSweepDesignPoint]));
  if (ratio >= 1.04f) return "***Caution-Pinet+TCH (Ro < RL) Mismatch***\n";
  if (ratio <= 0.96f) return "***Caution-Pinet+TCH (Ro > RL) Mismatch***\n";
  return "\n";
}

void PrintRow(const DesignState& s, const PageColumns& p, int i) {
  const SweepColumn& a = *p.col[0];
  const SweepColumn& b = *p.col[1];
  const SweepColumn& c = *p.col[2];
  Print("%4.2e  %6.1f %6.1f %6.2f  %6.1f %6.1f %6.2f  %6.1f %6.1f %6.2f\n", s.SweepFreq[i], a.Rp[i],
        a.Xp[i], a.Pwr[i], b.Rp[i], b.Xp[i], b.Pwr[i], c.Rp[i], c.Xp[i], c.Pwr[i]);
}

/* Everything below the page's own head: the table, with an empty line
   before the design-frequency row and afterDesignRow after it, then the
   harmonic figures.  Point 24 (3 Fo) has no row. */
void PrintSweepTable(const DesignState& s, const PageColumns& p, const char* afterDesignRow) {
  Print("Freq-Mhz    Rp     Xp     Pwr     Rp     Xp     Pwr     Rp     Xp     Pwr  \n");
  Print("________    ___________________   ___________________   __________________\n");
  for (int i = 0; i < kSweep3Fo; i++) {
    if (i == kSweepDesignPoint) Print("\n");
    PrintRow(s, p, i);
    if (i == kSweepDesignPoint) Print("%s", afterDesignRow);
  }
  Print("\n2xFo-db                %6.1f                %6.1f                %6.1f\n",
        p.col[0]->Db2xFo, p.col[1]->Db2xFo, p.col[2]->Db2xFo);
  Print("3xFo-db                %6.1f                %6.1f                %6.1f\n",
        p.col[0]->Db3xFo, p.col[1]->Db3xFo, p.col[2]->Db3xFo);
}

/* The prompt under a page; true when the key asks for the notch to flip,
   in which case it is flipped and the filter swept again. */
bool NotchToggled(DesignState& s, const char* onwards) {
  Print("\nPress <N> to toggle TCH Notch\n");
  Print("%s", onwards);
  const int key = ReadKey();
  if (key != 'N' && key != 'n') return false;
  s.TchNotch = s.TchNotch == 0 ? 1 : 0;
  ComputeFilterResponse(s, s.TchNotch);
  return true;
}

}  // namespace

void ShowBasicSweepPage(const DesignState& s) {
  const char* notch = NotchText(s);
  ClearScreen();
  Print("[BASIC] POWER VS FREQUENCY ESTIMATE FROM ZIN converted to Rp-Xp\n\n");
  Print(
      "The CE waveform remains valid if Rp and Xp are within\n"
      "approx 10%% of the BASIC Rp and Xp design center value.\n ");
  Print("\nNTBAS=1:%0.3f   ZTBAS=1:%0.3f           The TCH 2xFo notch %s\n", s.NTBAS, s.ZTBAS,
        notch);
  Print("\nSWEEP       BASIC                 BASIC+EL              BASIC+EL+TCH\n");
  const PageColumns p = {{&s.SweepBAS, &s.SweepBASEL, &s.SweepBASELTCH}};
  PrintSweepTable(s, p, "\n");
}

void ShowPinetSweepPage(const DesignState& s) {
  const char* notch = NotchText(s);
  ClearScreen();
  Print("[PINET] POWER VS FREQUENCY ESTIMATE FROM ZIN converted to Rp-Xp\n\n");
  Print(
      "The CE waveform remains valid if Rp and Xp are within\n"
      "approx 10%% of the PINET Rp and Xp design center value.\n ");
  Print("\nNTPI=1:%0.3f   ZTPI=1:%0.3f             The TCH 2xFo notch %s\n", s.NTPI, s.ZTPI, notch);
  Print("\nSWEEP       PINET                 PINET+EL              PINET+EL+TCH\n");
  const PageColumns p = {{&s.SweepPI, &s.SweepPIEL, &s.SweepPIELTCH}};
  PrintSweepTable(s, p, PinetMismatchLine(s));
}

void RunPowerEstimate(DesignState& s) {
  ComputeSweepBAS(s);
  ComputeSweepBASEL(s);
  do {
    ComputeSweepBASELTCH(s);
    ShowBasicSweepPage(s);
  } while (NotchToggled(s, "Any other key to continue Power Estimate...\n"));
  ComputeSweepPI(s);
  ComputeSweepPIEL(s);
  do {
    ComputeSweepPIELTCH(s);
    ShowPinetSweepPage(s);
  } while (NotchToggled(s, "Any other key to exit Power Estimate...\n"));
}
