/*
** main_menu.cpp: the two menu lines, one key, and the entry of the six
** design inputs.
**
** An entry is refused, with a notice on the next main screen, when the
** value is outside the design's domain (no power, no supply, no load, a
** negative on-resistance) or when the design it produces would print a
** value that is not finite.  A refused entry leaves the input as it was;
** everything else the entry does (follow-up actions, the full pass)
** happens as for an entry that was not a number, so long as the design
** stays printable: no screen ever shows "nan" or "inf".
*/
#include "app/main_menu.h"

#include <cmath>
#include <cstdio>

#include "app/design_check.h"
#include "app/help_pages.h"
#include "app/design_pass.h"
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

/* What follows every entry of the input, accepted or not: a new frequency
   wants its own coil forms and sweep plan, a new load 1:1 transformers. */
void FollowUp(DesignState& s, Input in) {
  if (in == kFreq) {
    SetDefaultCoilForm(s);
    PlanSweep(s, s.Freq);
  } else if (in == kRload) {
    ResetTurnsRatios(s);
  }
}

/* The notice when a follow-up is left undone, alone and after a refusal.
   Only the frequency's and the load's follow-ups change the design. */
const char* FollowUpKept(Input in) {
  return in == kFreq ? "Freq unchanged, coil forms kept: default forms would overflow the design"
                     : "Rload unchanged, turns ratios kept: at 1:1 the design would overflow";
}

const char* FollowUpKeptSuffix(Input in) {
  return in == kFreq ? "; forms kept" : "; ratios kept";
}

/* Would the design with v in the input, after its follow-up, print only
   finite values, on the first screen and after a Space pass? */
bool EntryKeepsDesignFinite(const DesignState& s, Input in, float v) {
  static DesignState trial; /* static: no copy on the stack, no heap */
  trial = s;
  Field(trial, in) = v;
  FollowUp(trial, in);
  ComputePass(trial, kFullPass);
  if (!DesignPrintsFinite(trial)) return false;
  ComputePass(trial, kLightPass);
  return DesignPrintsFinite(trial);
}

/* The notice of a refused value; suffix tells of a follow-up left undone.
   Every notice fits one 80-column line. */
void Refuse(DesignState& s, Input in, float v, const char* why, const char* suffix) {
  if (std::isfinite(v))
    std::snprintf(s.Notice, sizeof s.Notice, "%s %g refused: %s%s", Name(in), double(v), why,
                  suffix);
  else
    std::snprintf(s.Notice, sizeof s.Notice, "%s refused: %s%s", Name(in), why, suffix);
}

const char kOutOfRange[] = "the design would overflow or underflow";

/* Reads a new value for the input.  A value that cannot stand is refused
   and the input keeps its value; the follow-up still happens, as after an
   entry that was not a number, unless the design as it stands would not
   survive it either (a load far out of range that only a turns ratio
   brought back, say): then that is left undone too, and said so. */
void EnterInput(DesignState& s, Input in, const char* prompt) {
  float& field = Field(s, in);
  Print(prompt, double(field));
  float v = field;
  const bool typed = ReadNumber(&v);
  v = Limit(in, v);
  if (v == 0.0f) v = 0.0f; /* -0 is 0: a sign alone must not show on screen */
  RequestFullPass(s);
  const char* fault = nullptr;
  if (typed) {
    fault = DomainFault(in, v);
    if (!fault && !EntryKeepsDesignFinite(s, in, v)) fault = kOutOfRange;
    if (!fault) {
      field = v;
      FollowUp(s, in);
      return;
    }
  }
  const bool followUpHolds = EntryKeepsDesignFinite(s, in, field);
  if (followUpHolds) FollowUp(s, in);
  if (fault)
    Refuse(s, in, v, fault, followUpHolds ? "" : FollowUpKeptSuffix(in));
  else if (!followUpHolds)
    std::snprintf(s.Notice, sizeof s.Notice, "%s", FollowUpKept(in));
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
