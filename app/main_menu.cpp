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

#include "app/design_inputs.h"
#include "app/design_pass.h"
#include "app/design_trial.h"
#include "app/help_pages.h"
#include "coils/coil_editor.h"
#include "coils/coil_model.h"
#include "coils/wire_table.h"
#include "console/console.h"
#include "sweep/sweep_pages.h"
#include "sweep/sweep_plan.h"
#include "topologies/alternate_page.h"
#include "topologies/transformer_matching.h"

namespace {

/* The menu's side of an input: its key, its prompt, and the notice of an
   entry below its limit (none where the entry is pulled into range). */
struct InputEntry {
  int key;
  DesignInput input;
  const char* prompt;
  const char* belowLimit;
};

const InputEntry kInputEntries[] = {
    {'f', kInputFreq, "Enter frequency <%f> Mhz...\n", nullptr},
    {'p', kInputPower, "Enter power <%f> watts...\n", "Power must be above 0 watts"},
    {'v', kInputVcc, "Enter VCC <%f> volts...\n", "Vcc must be above 0 volts"},
    {'q', kInputQL, "Enter Q <%f>\n", nullptr},
    {'o', kInputRon, "Enter Ron <%f> ohms\n", "Ron must not be negative"},
    {'r', kInputRload, "Enter Rload <%f> ohms\n", "Rload must be above 0 ohms"},
};

float& Field(DesignState& s, DesignInput in) {
  return s.*kDesignInputs[in].field;
}

const char* Name(DesignInput in) {
  return kDesignInputs[in].name;
}

/* An entry of an input with a range, pulled into it.  "Not at least the
   minimum" also catches a value that compares with nothing. */
float PullIntoRange(DesignInput in, float v) {
  const DesignInputSpec& spec = kDesignInputs[in];
  if (spec.rule != kPullIntoRange) return v;
  if (!(v >= spec.low)) v = spec.low;
  if (v > spec.high) v = spec.high;
  return v;
}

/* Why v cannot be a value of the input at all, or nullptr. */
const char* DomainFault(const InputEntry& e, float v) {
  if (!std::isfinite(v)) return "the value is too large to hold";
  const DesignInputSpec& spec = kDesignInputs[e.input];
  switch (spec.rule) {
    case kAboveLow: return v > spec.low ? nullptr : e.belowLimit;
    case kAtLeastLow: return v >= spec.low ? nullptr : e.belowLimit;
    case kPullIntoRange: break;
  }
  return nullptr;
}

/* What follows every entry of the input, accepted or not: a new frequency
   wants its own coil forms and sweep plan, a new load 1:1 transformers. */
void FollowUp(DesignState& s, DesignInput in) {
  if (in == kInputFreq) {
    SetDefaultCoilForm(s);
    PlanSweep(s, s.Freq);
  } else if (in == kInputRload) {
    ResetTurnsRatios(s);
  }
}

/* The notice when a follow-up is left undone, alone and after a refusal.
   Only the frequency's and the load's follow-ups change the design. */
const char* FollowUpKept(DesignInput in) {
  return in == kInputFreq
             ? "Freq unchanged, coil forms kept: default forms would overflow the design"
             : "Rload unchanged, turns ratios kept: at 1:1 the design would overflow";
}

const char* FollowUpKeptSuffix(DesignInput in) {
  return in == kInputFreq ? "; forms kept" : "; ratios kept";
}

/* Would the design with v in the input, after its follow-up, print only
   finite values, on the first screen and after a Space pass? */
bool EntryKeepsDesignFinite(const DesignState& s, DesignInput in, float v) {
  DesignTrial trial(s);
  Field(trial.Design(), in) = v;
  FollowUp(trial.Design(), in);
  return trial.PassPrintsFinite(kFullPass) && trial.PassPrintsFinite(kLightPass);
}

/* The notice of a refused value; suffix tells of a follow-up left undone.
   Every notice fits one 80-column line. */
void Refuse(DesignState& s, DesignInput in, float v, const char* why, const char* suffix) {
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
void EnterInput(DesignState& s, const InputEntry& e) {
  const DesignInput in = e.input;
  float& field = Field(s, in);
  Print(e.prompt, double(field));
  float v = field;
  const bool typed = ReadNumber(&v);
  v = PullIntoRange(in, v);
  if (v == 0.0f) v = 0.0f; /* -0 is 0: a sign alone must not show on screen */
  RequestFullPass(s);
  const char* fault = nullptr;
  if (typed) {
    fault = DomainFault(e, v);
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
  const int key = Lower(ReadKey());
  for (const InputEntry& e : kInputEntries)
    if (key == e.key) {
      EnterInput(s, e);
      return 0;
    }
  switch (key) {
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
