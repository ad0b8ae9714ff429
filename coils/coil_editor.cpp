/*
** coil_editor.cpp: the coil editor page.  It prints below the menu of the
** screen already shown, asks for a coil and one parameter, reads one
** number and redesigns that coil; the main loop's next (light) pass shows
** the result, and keeps it until an input edit redesigns the coils.
**
** Diameter, length and turns trade against each other at the coil's
** inductance; only the choke's inductance can be changed, which scales
** its turns and keeps its form.  An entry that would make the coil
** degenerate (nothing to wind, too few turns for the inductance) or print
** a value that is not finite is refused: the coil keeps all its values
** and the next main screen says why.
*/
#include "coils/coil_editor.h"

#include <cmath>
#include <cstdio>
#include <initializer_list>

#include "app/design_trial.h"
#include "coils/coil_model.h"
#include "console/console.h"
#include "engine/el_match.h"
#include "engine/single_precision.h"

namespace {

enum Param { kDia, kLen, kTurns, kInductance };

/* The coil a selection names, or -1 when it names none. */
int SelectedCoil(int selection) {
  switch (selection) {
    case kSelectChoke: return kChokeLp1;
    case kSelectTune: return kTuneLs2;
    case kSelectMatch: return kMatchLs3;
    case kSelectLs2PlusLs3: return kLs2PlusLs3;
    default: return -1;
  }
}

/* The editor's name of a coil, by its index in the design. */
const char* const kCoilNames[kCoilCount] = {"Choke", "Tune", "Match", "Ls2+LM"};

/* The name the parameter prompt shows: the chosen coil's, or "No". */
const char* CoilName(int selection) {
  const int coil = SelectedCoil(selection);
  return coil < 0 ? "No" : kCoilNames[coil];
}

const char* ParamName(Param p) {
  static const char* const names[] = {"Dia", "Len", "Nturns", "Uhy"};
  return names[p];
}

/* Shows the coil menu of the arrangement and takes one key; false after
   the exit key.  With no EL network the tuning coil stands alone, so the
   separate menu serves. */
bool ChooseCoil(DesignState& s) {
  const bool combined = s.MatchEL == kElStepUp;
  s.CoilSelection = combined ? kSelectCombinedMenu : kSelectSeparateMenu;
  Print("\nSelect Coil to Change...\n");
  Print(combined ? "Choke   Ls2+lm   eXit\n" : "Choke   Tune   Match    eXit\n");
  switch (ReadKey()) {
    case 'X':
    case 'x': return false;
    case 'C':
    case 'c': s.CoilSelection = kSelectChoke; break;
    case 'T':
    case 't':
      if (!combined) s.CoilSelection = kSelectTune;
      break;
    case 'M':
    case 'm':
      if (!combined) s.CoilSelection = kSelectMatch;
      break;
    case 'L':
    case 'l':
      if (combined) s.CoilSelection = kSelectLs2PlusLs3;
      break;
    default: break;
  }
  return true;
}

/* The coil after the entry v of p, before any check. */
CoilRecord Reshape(const DesignState& s, CoilRecord c, Param p, float v) {
  switch (p) {
    case kDia:
      c.Dia = v;
      DesignCoil(s, c);
      return c;
    case kLen:
      c.Len = v;
      DesignCoil(s, c);
      return c;
    case kTurns: c.Nturns = v; break;
    case kInductance: {
      /* Turns go with the square root of the inductance, so the form
         keeps its length. */
      const double ratio = double(v) / double(c.Uhy);
      c.Uhy = v;
      c.Nturns = F(double(c.Nturns) * std::sqrt(ratio));
      break;
    }
  }
  c.Len = LengthForTurns(c.Dia, c.Uhy, c.Nturns);
  c.Qu = CoilQu(c.Dia, c.Len, s.Freq);
  c.Pitch = F(double(c.Len) / double(c.Nturns));
  c.AWGMIN = MinGauge(c.Pitch);
  return c;
}

bool CoilFinite(const CoilRecord& c) {
  for (float v :
       {c.Uhy, c.Nturns, c.Len, c.Dia, c.Pitch, c.Qu, c.Rac, c.XL, c.Pdiss, c.Rdc, c.PdissDc})
    if (!std::isfinite(v)) return false;
  return true;
}

/* Would the design with the coil reshaped print only finite values, and
   would the coil's own figures, shown or not, all be finite? */
bool CoilEditKeepsDesignFinite(const DesignState& s, int coil, const CoilRecord& c) {
  DesignTrial trial(s);
  DesignState& t = trial.Design();
  t.Coils[coil] = c;
  t.Lp1 = t.Coils[kChokeLp1].Uhy;
  /* The pass that follows the editor. */
  return trial.PassPrintsFinite(kLightPass) && CoilFinite(t.Coils[coil]);
}

/* Why the entry v of p cannot stand, or nullptr.  old is the coil before
   the entry, c the coil after it. */
const char* Fault(const DesignState& s, int coil, const CoilRecord& old, const CoilRecord& c,
                  Param p, float v) {
  static const char* const mustBePositive[] = {
      "the diameter must be above 0 inches", "the length must be above 0 inches",
      "the turns must be above 0", "the inductance must be above 0 uH"};
  if (!std::isfinite(v)) return "the value is too large to hold";
  if (!(v > 0.0f)) return mustBePositive[p];
  if (!(old.Uhy > 0.0f) || !std::isfinite(old.Uhy))
    return p == kInductance ? "the choke has no inductance to scale"
                            : "the coil has no inductance here";
  if (!(c.Len > 0.0f)) return "too few turns for this inductance";
  if (!CoilFinite(c) || !CoilEditKeepsDesignFinite(s, coil, c))
    return "the design would overflow or underflow";
  return nullptr;
}

void Refuse(DesignState& s, int coil, Param p, float v, const char* why) {
  if (std::isfinite(v))
    std::snprintf(s.Notice, sizeof s.Notice, "%s coil %s %g refused: %s", kCoilNames[coil],
                  ParamName(p), double(v), why);
  else
    std::snprintf(s.Notice, sizeof s.Notice, "%s coil %s refused: %s", kCoilNames[coil],
                  ParamName(p), why);
}

/* Prompts for p of the coil, reads a number and applies it unless it is
   refused.  An entry that is not a number changes nothing and says
   nothing. */
void Enter(DesignState& s, int coil, Param p, const char* prompt) {
  CoilRecord& c = s.Coils[coil];
  float* const fields[] = {&c.Dia, &c.Len, &c.Nturns, &c.Uhy};
  float v = *fields[p];
  Print(prompt, double(v));
  const bool typed = ReadNumber(&v);
  const CoilRecord reshaped = Reshape(s, c, p, v);
  if (const char* why = Fault(s, coil, c, reshaped, p, v)) {
    if (typed) Refuse(s, coil, p, v, why);
    return;
  }
  c = reshaped;
  if (coil == kChokeLp1) s.Lp1 = c.Uhy; /* the design's choke is this coil */
}

}  // namespace

int CoilEditor(DesignState& s) {
  if (!ChooseCoil(s)) return -1;
  const int coil = SelectedCoil(s.CoilSelection);
  Print("\nSelect %s Coil Parameter to Change...\n", CoilName(s.CoilSelection));
  Print(coil == kChokeLp1 ? "Uhy  Dia  Len  Nturns  eXit\n" : "Dia  Len  Nturns  eXit\n");
  switch (ReadKey()) {
    case 'D':
    case 'd':
      if (coil >= 0) Enter(s, coil, kDia, "Enter Form Diam <%f> inches...\n");
      break;
    case 'L':
    case 'l':
      if (coil >= 0) Enter(s, coil, kLen, "Enter Winding Length <%f> inches...\n");
      break;
    case 'N':
    case 'n':
      if (coil >= 0) Enter(s, coil, kTurns, "Enter Number of Turns <%f>...\n");
      break;
    case 'U':
    case 'u':
      /* The choke, whichever coil was chosen: the other inductances are
         the network's own (Ls2 and Ls3 tune and match it), while the
         choke only has to be large beside Ls2, so its value is free.  The
         key answers in every menu, so the editor also serves as an
         inductance and Q calculator from whatever coil was picked. */
      Enter(s, kChokeLp1, kInductance, "Enter Inductance <%f> uhy...\n");
      return -1;
    case 'X':
    case 'x': return -1;
    default: break;
  }
  EstimateElementStresses(s);
  EstimateCoilLosses(s);
  return 0;
}
