/*
** main_menu.cpp: the two menu lines, one key, and the entry of the six
** design inputs.
**
** An entry is refused, with a notice on the next main screen, when the
** value is outside the design's domain (no power, no supply, no load, a
** negative on-resistance) or when the design it produces would print a
** value that is not finite.  A refused entry leaves the input as it was;
** everything else the entry does (follow-up actions, the full pass)
** happens as for an entry that was not a number.
*/
#include "app/main_menu.h"

#include <cmath>
#include <cstdio>

#include "app/design_check.h"
#include "app/help_pages.h"
#include "app/main_loop.h"
#include "coils/coil_editor.h"
#include "coils/coil_model.h"
#include "coils/wire_table.h"
#include "console/console.h"
#include "sweep/sweep_pages.h"
#include "sweep/sweep_plan.h"
#include "topologies/alternate_page.h"
#include "topologies/transformer_matching.h"

namespace {

enum Input { kFreq, kPower, kVcc, kQL, kRload, kRon };

float& Field(DesignState& s, Input in) {
  switch (in) {
    case kFreq: return s.Freq;
    case kPower: return s.Power;
    case kVcc: return s.Vcc;
    case kQL: return s.QL;
    case kRload: return s.Rload;
    case kRon: break;
  }
  return s.Ron;
}

const char* Name(Input in) {
  static const char* const names[] = {"Freq", "Power", "Vcc", "QL", "Rload", "Ron"};
  return names[in];
}

/* The menu's limits.  "Not at least the minimum" also catches a value
   that compares with nothing. */
float Limit(Input in, float v) {
  if (in == kFreq) {
    if (!(v >= 0.5f)) v = 0.5f;
    if (v > 500.0f) v = 500.0f;
  } else if (in == kQL) {
    if (!(v >= 1.8f)) v = 1.8f;
    if (v > 20.0f) v = 20.0f;
  }
  return v;
}

/* Why v cannot be a value of the input at all, or nullptr. */
const char* DomainFault(Input in, float v) {
  if (!std::isfinite(v)) return "the value is too large to hold";
  switch (in) {
    case kPower: return v > 0.0f ? nullptr : "Power must be above 0 watts";
    case kVcc: return v > 0.0f ? nullptr : "Vcc must be above 0 volts";
    case kRload: return v > 0.0f ? nullptr : "Rload must be above 0 ohms";
    case kRon: return v >= 0.0f ? nullptr : "Ron must not be negative";
    default: return nullptr;
  }
}

/* What follows every entry of the input, accepted or not. */
void FollowUp(DesignState& s, Input in) {
  if (in == kFreq) {
    SetDefaultCoilForm(s);
    PlanSweep(s, s.Freq);
  } else if (in == kRload) {
    ResetTurnsRatios(s);
  }
  s.FullRecalc = 1;
}

/* Would the design with v in the input print only finite values, on the
   first screen and after a Space pass? */
bool DesignHolds(const DesignState& s, Input in, float v) {
  static DesignState trial; /* static: no copy on the stack, no heap */
  trial = s;
  Field(trial, in) = v;
  FollowUp(trial, in);
  ComputePass(trial);
  if (!DesignPrintsFinite(trial)) return false;
  ComputePass(trial);
  return DesignPrintsFinite(trial);
}

void Refuse(DesignState& s, Input in, float v, const char* why) {
  if (std::isfinite(v))
    std::snprintf(s.Notice, sizeof s.Notice, "%s %g refused: %s", Name(in), double(v), why);
  else
    std::snprintf(s.Notice, sizeof s.Notice, "%s refused: %s", Name(in), why);
}

void EnterInput(DesignState& s, Input in, const char* prompt) {
  float& field = Field(s, in);
  Print(prompt, double(field));
  float v = field;
  ReadNumber(&v);
  v = Limit(in, v);
  if (const char* fault = DomainFault(in, v))
    Refuse(s, in, v, fault);
  else if (!DesignHolds(s, in, v))
    Refuse(s, in, v, "the design would overflow single precision");
  else
    field = v;
  FollowUp(s, in);
}

}  // namespace

/* Commands answer to their letter in either case; keys beyond ASCII
   letters (kKeyNone, kKeyEnd) pass through unchanged and match nothing. */
static int Lower(int key) {
  return key >= 'A' && key <= 'Z' ? key - 'A' + 'a' : key;
}

int MainMenu(DesignState& s) {
  Print("\nSelect letter...(or <Space> to update efficiency estimate)\n");
  Print("Freq  Power  Vcc  QL  Rload  rOn  Coil  Alt  BB  Wire  Help  eXit\n");
  switch (Lower(ReadKey())) {
    case 'f': EnterInput(s, kFreq, "Enter frequency <%f> Mhz...\n"); break;
    case 'p': EnterInput(s, kPower, "Enter power <%f> watts...\n"); break;
    case 'v': EnterInput(s, kVcc, "Enter VCC <%f> volts...\n"); break;
    case 'q': EnterInput(s, kQL, "Enter Q <%f>\n"); break;
    case 'o': EnterInput(s, kRon, "Enter Ron <%f> ohms\n"); break;
    case 'r': EnterInput(s, kRload, "Enter Rload <%f> ohms\n"); break;
    case 'c': CoilEditor(s); break;
    case 'a': ShowAlternatePage(s); break;
    case 'b': RunPowerEstimate(s); break;
    case 'w': WireTable(); break;
    case 'h': ShowHelpPages(); break;
    case 'x':
    case kKeyEnd: return -1;
    default: break; /* a light pass, as Space offers */
  }
  return 0;
}
