/*
** design_trial.h: a trial design.  A trial starts as a copy of the
** design; the caller changes it and computes it, asks whether every value
** the screens would print from it is finite, and then takes it (the
** design becomes the trial) or drops it (the trial ends untaken).  The
** design itself is not touched until it is taken.
**
** Trials nest: the check of every printed value sweeps the power
** estimate's columns in a trial of its own, and it runs inside the trial
** of an entry.  So each trial takes the next of a few static buffers when
** it starts and gives it back when it ends, the last taken first (as the
** trials' scopes end); a check inside an entry never writes over the
** entry's trial, and no trial allocates or copies onto the stack.
*/
#ifndef TOLVARIN_APP_DESIGN_TRIAL_H
#define TOLVARIN_APP_DESIGN_TRIAL_H

#include "app/design_pass.h"
#include "app/design_state.h"

/* How many trials can be open at once: an entry's, and the check's
   inside it. */
enum { kTrialDepth = 2 };

class DesignTrial {
 public:
  /* Starts a trial from the design s.  At most kTrialDepth trials may be
     open at once. */
  explicit DesignTrial(const DesignState& s);
  /* Ends the trial; untaken, that drops it. */
  ~DesignTrial();
  DesignTrial(const DesignTrial&) = delete;
  DesignTrial& operator=(const DesignTrial&) = delete;

  /* The trial design, to change and compute. */
  DesignState& Design() { return *design_; }

  /* Computes one pass of the trial; true when every value the screens
     would print from it is then finite. */
  bool PassPrintsFinite(PassKind kind);

  /* True when every value the screens would print from the trial as it
     stands is finite; it must have been computed. */
  bool PrintsFinite() const;

  /* The design s becomes the trial. */
  void TakeInto(DesignState& s) const;

 private:
  DesignState* design_;
};

#endif
